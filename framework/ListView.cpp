#include "framework/ListView.h"

#include <commctrl.h>

#include "framework/Text.h"

TListView::TListView(TComponent* owner, TWindow* parent, int x, int y, int width, int height)
    : TWindow(owner) {
  CreateControl(parent, WC_LISTVIEWW,
                WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                    LVS_NOSORTHEADER,
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
  std::wstring text = Utf8ToWide(caption);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = Count();
  item.pszText = text.data();
  const int row = static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (row < 0) return row;
  for (size_t i = 0; i < subItems.size(); ++i) {
    std::wstring sub = Utf8ToWide(subItems[i]);
    LVITEMW s{};
    s.iSubItem = static_cast<int>(i + 1);
    s.pszText = sub.data();
    Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&s));
  }
  return row;
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
