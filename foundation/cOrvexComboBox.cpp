#include "foundation/cOrvexComboBox.h"

TOrvex_ComboBox::TOrvex_ComboBox(TComponent* owner, TWindow* parent, int x, int y, int width,
                                 int height)
    : TComboBox(owner, parent, x, y, width, height, csOwnerDrawFixed) {}

TOrvex_ComboBox::~TOrvex_ComboBox() { HideHint(); }

THintWindow* TOrvex_ComboBox::HintWindow() const {
  return hint_ && hint_->Visible() ? hint_.get() : nullptr;
}

void TOrvex_ComboBox::DrawItem(int index, const RECT& rect, UINT state) {
  TComboBox::DrawItem(index, rect, state);
  if (!ItemHint || (state & ODS_COMBOBOXEDIT) || !DroppedDown()) return;
  if (state & ODS_SELECTED) ShowHint(index, rect);
}

void TOrvex_ComboBox::ShowHint(int index, const RECT& rect) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(Handle(), &info) || !info.hwndList) return;
  RECT list;
  GetClientRect(info.hwndList, &list);
  std::string text = String(index);
  int width = Canvas().TextWidth(text) + 2;  // the row's text starts 2 pixels in
  if (width <= list.right) {
    HideHint();
    return;
  }
  // Over the row, as wide as the text, in the combo's font.
  RECT r{rect.left, rect.top, rect.left + width + 4, rect.bottom};
  MapWindowPoints(info.hwndList, nullptr, reinterpret_cast<POINT*>(&r), 2);
  if (!hint_) {
    hint_ = std::make_unique<THintWindow>(nullptr);
    hint_->Color = clInfoBk;
  }
  hint_->Font() = Font();
  hint_->ActivateHint(r, text);
}

void TOrvex_ComboBox::HideHint() {
  if (hint_) hint_->ReleaseHint();
}

LRESULT TOrvex_ComboBox::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (message == CN_COMMAND && HIWORD(w) == CBN_CLOSEUP) HideHint();
  return TComboBox::WndProc(message, w, l);
}
