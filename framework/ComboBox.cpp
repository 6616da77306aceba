#include "framework/ComboBox.h"

#include "framework/Text.h"

TComboBox::TComboBox(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
                     TComboBoxStyle style)
    : TWindow(owner), editable_(style == csDropDown) {
  DWORD s = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL;
  s |= editable_ ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST;
  if (style == csOwnerDrawFixed) s |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
  CreateControl(parent, L"COMBOBOX", s, 0, x, y, width, height);
}

int TComboBox::Count() const {
  return static_cast<int>(::SendMessageW(Handle(), CB_GETCOUNT, 0, 0));
}

int TComboBox::Add(const std::string& text, void* object) {
  std::wstring w = Utf8ToWide(text);
  int i = static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str())));
  if (i >= 0) Send(CB_SETITEMDATA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(object));
  return i;
}

void TComboBox::Clear() { Send(CB_RESETCONTENT); }

std::string TComboBox::String(int index) const {
  LRESULT n = ::SendMessageW(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (n == CB_ERR) return {};
  std::wstring w(static_cast<size_t>(n) + 1, L'\0');
  ::SendMessageW(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(w.data()));
  w.resize(static_cast<size_t>(n));
  return WideToUtf8(w);
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

void* TComboBox::Object(int index) const {
  LRESULT d = ::SendMessageW(Handle(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  return d == CB_ERR ? nullptr : reinterpret_cast<void*>(d);
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

void TComboBox::DrawItem(int index, const RECT& rect, UINT state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  canvas_.FillRect(rect);
  canvas_.TextOut(rect.left + 2, rect.top, String(index));
}

LRESULT TComboBox::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case CN_COMMAND:
      if (HIWORD(w) == CBN_SELCHANGE)
        Select();
      else if (HIWORD(w) == CBN_DROPDOWN)
        DropDown();
      return 0;
    case CN_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(l)->itemHeight = static_cast<UINT>(itemHeight_);
      return TRUE;
    case CN_DRAWITEM: {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(l);
      canvas_.SetHandle(d->hDC);
      canvas_.Font = Font();
      canvas_.Brush.SetColor(Color);
      int index = static_cast<int>(d->itemID);
      if (d->itemState & ODS_SELECTED) {
        canvas_.Brush.SetColor(clHighlight);
        canvas_.Font.SetColor(clHighlightText);
      }
      if (index >= 0)
        DrawItem(index, d->rcItem, d->itemState);
      else
        canvas_.FillRect(d->rcItem);
      if (d->itemState & ODS_FOCUS) canvas_.DrawFocusRect(d->rcItem);
      canvas_.SetHandle(nullptr);
      return TRUE;
    }
  }
  return TWindow::WndProc(message, w, l);
}
