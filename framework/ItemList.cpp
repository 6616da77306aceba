#include "framework/ItemList.h"

#include "framework/Text.h"

int TItemList::Count() const { return static_cast<int>(Ask(messages_.getCount)); }

int TItemList::Add(const std::string& text, void* object) {
  std::wstring w = Utf8ToWide(text);
  int i = static_cast<int>(Send(messages_.addString, 0, reinterpret_cast<LPARAM>(w.c_str())));
  if (i >= 0) Send(messages_.setItemData, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(object));
  return i;
}

void TItemList::Clear() { Send(messages_.resetContent); }

std::string TItemList::String(int index) const {
  LRESULT n = Ask(messages_.getTextLen, static_cast<WPARAM>(index));
  if (n < 0) return {};
  std::wstring w(static_cast<size_t>(n) + 1, L'\0');
  Ask(messages_.getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(w.data()));
  w.resize(static_cast<size_t>(n));
  return WideToUtf8(w);
}

void* TItemList::Object(int index) const {
  LRESULT d = Ask(messages_.getItemData, static_cast<WPARAM>(index));
  return d == -1 ? nullptr : reinterpret_cast<void*>(d);
}

void TItemList::DrawItem(int index, const RECT& rect, UINT state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  canvas_.FillRect(rect);
  canvas_.TextOut(rect.left + 2, rect.top, String(index));
}

void TItemList::DrawRow(const DRAWITEMSTRUCT& d) {
  canvas_.SetHandle(d.hDC);
  canvas_.Font = Font();
  canvas_.Brush.SetColor(Color);
  int index = static_cast<int>(d.itemID);
  if ((index >= 0 || messages_.highlightNoRow) && (d.itemState & ODS_SELECTED)) {
    canvas_.Brush.SetColor(clHighlight);
    canvas_.Font.SetColor(clHighlightText);
  }
  if (index >= 0)
    DrawItem(index, d.rcItem, d.itemState);
  else
    canvas_.FillRect(d.rcItem);
  if (d.itemState & ODS_FOCUS) canvas_.DrawFocusRect(d.rcItem);
  canvas_.SetHandle(nullptr);
}

LRESULT TItemList::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case CN_COMMAND:
      Notified(HIWORD(w));
      return 0;
    case CN_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(l)->itemHeight = static_cast<UINT>(itemHeight_);
      return TRUE;
    case CN_DRAWITEM:
      DrawRow(*reinterpret_cast<DRAWITEMSTRUCT*>(l));
      return TRUE;
  }
  return TWindow::WndProc(message, w, l);
}
