#include "framework/ListView.h"

#include <commctrl.h>

#include "framework/ImageList.h"
#include "framework/Text.h"

TListView::TListView(TComponent* owner, TWindow* parent, int x, int y, int width, int height)
    : TWindow(owner) {
  CreateControl(parent, WC_LISTVIEWW,
                WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                    LVS_NOSORTHEADER | LVS_SHAREIMAGELISTS,
                WS_EX_CLIENTEDGE, x, y, width, height);
  Send(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void TListView::AddColumn(const std::string& caption, int width, TAlignment alignment) {
  std::wstring text = Utf8ToWide(caption);
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  col.fmt = alignment == taRightJustify ? LVCFMT_RIGHT : alignment == taCenter ? LVCFMT_CENTER : LVCFMT_LEFT;
  col.cx = width;
  col.pszText = text.data();
  Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(columns_), reinterpret_cast<LPARAM>(&col));
  ++columns_;
}

int TListView::ColumnWidth(int column) const {
  return static_cast<int>(::SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

int TListView::AddItem(const std::string& caption, const std::vector<std::string>& subItems) {
  return AddItem(caption, subItems, -1);
}

int TListView::AddItem(const std::string& caption, const std::vector<std::string>& subItems,
                       int image) {
  std::wstring text = Utf8ToWide(caption);
  LVITEMW item{};
  item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = Count();
  item.iImage = image;
  item.pszText = text.data();
  const int row = static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (row < 0) return row;
  for (size_t i = 0; i < subItems.size(); ++i) SetItemText(row, static_cast<int>(i + 1), subItems[i]);
  return row;
}

void TListView::SetItemText(int row, int column, const std::string& text) {
  std::wstring wide = Utf8ToWide(text);
  LVITEMW s{};
  s.iSubItem = column;
  s.pszText = wide.data();
  Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&s));
}

void TListView::SetItemImage(int row, int image) {
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iImage = image;
  Send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TListView::SetItemStateIndex(int row, int index) {
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(index);
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int TListView::ItemStateIndex(int row) const {
  const auto state = static_cast<UINT>(::SendMessageW(Handle(), LVM_GETITEMSTATE,
                                                      static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
  return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
}

int TListView::ItemAt(int x, int y) const {
  LVHITTESTINFO hit{};
  hit.pt = {x, y};
  return static_cast<int>(::SendMessageW(Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

void TListView::SetViewStyle(TViewStyle style) {
  static const DWORD kStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  const LONG_PTR old = GetWindowLongPtrW(Handle(), GWL_STYLE);
  SetWindowLongPtrW(Handle(), GWL_STYLE, (old & ~LONG_PTR(LVS_TYPEMASK)) | kStyles[style]);
  // Icon views arrange their items anew in the new spacing.
  Send(LVM_ARRANGE, LVA_DEFAULT);
  Invalidate();
}

TViewStyle TListView::ViewStyle() const {
  switch (GetWindowLongPtrW(Handle(), GWL_STYLE) & LVS_TYPEMASK) {
    case LVS_ICON: return vsIcon;
    case LVS_SMALLICON: return vsSmallIcon;
    case LVS_LIST: return vsList;
    default: return vsReport;
  }
}

void TListView::SetImages(TImageList* large, TImageList* small, TImageList* state) {
  Send(LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(large ? large->Handle() : nullptr));
  Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(small ? small->Handle() : nullptr));
  Send(LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(state ? state->Handle() : nullptr));
}

int TListView::Count() const {
  return static_cast<int>(::SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0));
}

std::string TListView::ItemText(int row, int column) const {
  wchar_t buffer[1024] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 1024;
  ::SendMessageW(Handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return WideToUtf8(buffer);
}

void TListView::Clear() { Send(LVM_DELETEALLITEMS); }

int TListView::Selected() const {
  return static_cast<int>(
      ::SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::SetSelected(int row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void TListView::SetRedraw(bool on) {
  Send(WM_SETREDRAW, on ? TRUE : FALSE);
  if (on) Invalidate();
}

LRESULT TListView::WndProc(UINT message, WPARAM w, LPARAM l) {
  // Enter arrives as NM_RETURN; its character would report it a second time.
  if (message == WM_CHAR && w == L'\r') return 0;
  if (message == CN_NOTIFY) {
    const auto* hdr = reinterpret_cast<const NMHDR*>(l);
    if (hdr->code == NM_DBLCLK) {
      DblClick();
      return 0;
    }
    if (hdr->code == NM_RETURN) {
      wchar_t key = L'\r';
      KeyPress(key);
      return 0;
    }
  }
  return TWindow::WndProc(message, w, l);
}
