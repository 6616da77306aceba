#include "framework/ListBox.h"

#include <algorithm>
#include <vector>

namespace {
const TItemMessages kListBoxMessages{LB_GETCOUNT, LB_ADDSTRING,   LB_RESETCONTENT, LB_GETTEXTLEN,
                                     LB_GETTEXT,  LB_GETITEMDATA, LB_SETITEMDATA,  false};
}  // namespace

TListBox::TListBox(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
                   TListBoxStyle style, bool multiSelect)
    : TItemList(owner, kListBoxMessages), ownerDraw_(style == lbOwnerDrawFixed) {
  DWORD s = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
  if (ownerDraw_) s |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
  if (multiSelect) s |= LBS_EXTENDEDSEL;
  CreateControl(parent, L"LISTBOX", s, WS_EX_CLIENTEDGE, x, y, width, height);
}

void TListBox::CreateWnd() {
  if (ownerDraw_)
    Send(LB_SETITEMHEIGHT, 0, itemHeight_);
  else
    itemHeight_ = static_cast<int>(Send(LB_GETITEMHEIGHT, 0, 0));
  if (columns_ > 0) Send(LB_SETCOLUMNWIDTH, static_cast<WPARAM>(Width() / columns_), 0);
}

void TListBox::Reserve(int rows, int textBytes) {
  Send(LB_INITSTORAGE, static_cast<WPARAM>(rows), textBytes);
}

void TListBox::BeginUpdate() { Send(WM_SETREDRAW, FALSE); }

void TListBox::EndUpdate() {
  Send(WM_SETREDRAW, TRUE);
  Invalidate();
}

int TListBox::ItemIndex() const {
  bool multi = GetWindowLongW(Handle(), GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL);
  return static_cast<int>(::SendMessageW(Handle(), multi ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int index) {
  bool multi = GetWindowLongW(Handle(), GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL);
  if (multi)
    Send(LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
  else
    Send(LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool TListBox::Selected(int index) const {
  return ::SendMessageW(Handle(), LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void TListBox::SetSelected(int index, bool selected) {
  bool multi = GetWindowLongW(Handle(), GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL);
  if (multi)
    Send(LB_SETSEL, selected, index);
  else if (selected)
    SetItemIndex(index);
  else if (ItemIndex() == index)
    SetItemIndex(-1);
}

int TListBox::TopIndex() const {
  return static_cast<int>(::SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0));
}

void TListBox::SetTopIndex(int index) { Send(LB_SETTOPINDEX, static_cast<WPARAM>(index), 0); }

void TListBox::SetItemHeight(int height) {
  if (height < 1) height = 1;
  itemHeight_ = height;
  if (ownerDraw_) {
    Send(LB_SETITEMHEIGHT, 0, height);
    Invalidate();
  }
}

RECT TListBox::ItemRect(int index) const {
  RECT r{};
  ::SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&r));
  return r;
}

int TListBox::ItemAtPos(POINT p) const {
  // Worked out from the top row rather than asked (LB_ITEMFROMPOINT has 16 bits for the row).
  RECT client = ClientRect();
  if (!PtInRect(&client, p) || itemHeight_ <= 0) return -1;
  int i = TopIndex() + p.y / itemHeight_;
  if (columns_ > 0) {
    int columnWidth = std::max(1, Width() / columns_);
    i += (p.x / columnWidth) * std::max(1, static_cast<int>(client.bottom) / itemHeight_);
  }
  if (i < 0 || i >= Count()) return -1;
  RECT r = ItemRect(i);
  return PtInRect(&r, p) ? i : -1;
}

void TListBox::SetColumns(int columns) {
  if (columns < 0) columns = 0;
  if (columns == columns_) return;
  bool recreate = (columns_ == 0) != (columns == 0);
  columns_ = columns;
  if (!recreate) {
    Send(LB_SETCOLUMNWIDTH, static_cast<WPARAM>(Width() / columns_), 0);
    Invalidate();
    return;
  }
  // The system list box reads its column style only when it is made: the rows move over to a
  // new window.
  int n = Count();
  std::vector<std::pair<std::string, void*>> rows;
  rows.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) rows.emplace_back(String(i), Object(i));
  int index = ItemIndex(), top = TopIndex();
  bool focused = Focused();
  RecreateWnd([&](TCreateParams& p) {
    if (columns_ > 0)
      p.style = (p.style | LBS_MULTICOLUMN | WS_HSCROLL) & ~WS_VSCROLL;
    else
      p.style = (p.style & ~(LBS_MULTICOLUMN | WS_HSCROLL)) | WS_VSCROLL;
  });
  BeginUpdate();
  Reserve(n, n * 2);
  for (auto& row : rows) Add(row.first, row.second);
  EndUpdate();
  if (index < n) SetItemIndex(index);
  if (top < n) SetTopIndex(top);
  if (focused) SetFocus();
}

void TListBox::Notified(WORD code) {
  if (code == LBN_SELCHANGE)
    Click();
  else if (code == LBN_DBLCLK)
    DblClick();
}
