#include "framework/ComboBox.h"

#include <algorithm>

#include "framework/Text.h"

namespace {
const TItemMessages kComboBoxMessages{CB_GETCOUNT,     CB_ADDSTRING, CB_RESETCONTENT,
                                      CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETITEMDATA,
                                      CB_SETITEMDATA,  true};
}  // namespace

TComboBox::TComboBox(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
                     TComboBoxStyle style)
    : TItemList(owner, kComboBoxMessages), editable_(style == csDropDown) {
  DWORD s = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL;
  s |= editable_ ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST;
  if (style == csOwnerDrawFixed) s |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
  CreateControl(parent, L"COMBOBOX", s, 0, x, y, width, height);
}

void TComboBox::SetString(int index, const std::string& text) {
  if (index < 0 || index >= Count()) return;
  void* object = Object(index);
  bool current = ItemIndex() == index;
  std::wstring w = Utf8ToWide(text);
  Send(CB_DELETESTRING, static_cast<WPARAM>(index), 0);
  Send(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(w.c_str()));
  Send(CB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object));
  if (current) SetItemIndex(index);
}

int TComboBox::ItemIndex() const {
  return static_cast<int>(::SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int index) { Send(CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

std::string TComboBox::Text() const {
  if (editable_) return Caption();
  int i = ItemIndex();
  return i < 0 ? std::string() : String(i);
}

void TComboBox::SetText(const std::string& text) {
  if (editable_) {
    SetCaption(text);
    return;
  }
  for (int i = 0; i < Count(); ++i)
    if (String(i) == text) return SetItemIndex(i);
}

void TComboBox::SetItemHeight(int height) {
  itemHeight_ = height;
  Send(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
  Send(CB_SETITEMHEIGHT, 0, height);
}

int TComboBox::ListItemHeight() const {
  return static_cast<int>(::SendMessageW(Handle(), CB_GETITEMHEIGHT, 0, 0));
}

void TComboBox::SetDropDownRows(int rows) {
  // The window is as high as the closed box while the list is up; the height given beyond it
  // is the list's, with its border.
  RECT r;
  GetWindowRect(Handle(), &r);
  const int closed = r.bottom - r.top;
  SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left,
               closed + std::max(1, rows) * ListItemHeight() + 2 * GetSystemMetrics(SM_CYBORDER),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TComboBox::DroppedDown() const {
  return ::SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TComboBox::Select() {
  Click();
  Change();
}

void TComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TComboBox::Notified(WORD code) {
  if (code == CBN_SELCHANGE)
    Select();
  else if (code == CBN_DROPDOWN)
    DropDown();
  else if (code == CBN_KILLFOCUS && OnExit)
    OnExit(this);
}
