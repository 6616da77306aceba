#include "framework/ChoiceButton.h"

TChoiceButton::TChoiceButton(TComponent* owner, TWindow* parent, tKind kind,
                             const std::string& caption, int x, int y, int width, int height,
                             bool groupStart)
    : TWindow(owner) {
  DWORD style = WS_VISIBLE | WS_TABSTOP | (kind == ckRadio ? BS_AUTORADIOBUTTON : BS_AUTOCHECKBOX);
  if (groupStart) style |= WS_GROUP;
  CreateControl(parent, L"BUTTON", style, 0, x, y, width, height, caption);
}

bool TChoiceButton::Checked() const {
  return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TChoiceButton::SetChecked(bool checked) {
  ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

namespace {
// Check boxes, radios and group boxes sit on button-face surfaces.
bool FaceColours(UINT message, WPARAM w, LRESULT& result) {
  if (message != CN_BASE + WM_CTLCOLORSTATIC && message != CN_BASE + WM_CTLCOLORBTN) return false;
  SetBkColor(reinterpret_cast<HDC>(w), GetSysColor(COLOR_BTNFACE));
  result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  return true;
}
}  // namespace

LRESULT TChoiceButton::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (message == CN_COMMAND && HIWORD(w) == BN_CLICKED) {
    Click();
    return 0;
  }
  LRESULT r;
  if (FaceColours(message, w, r)) return r;
  return TWindow::WndProc(message, w, l);
}

LRESULT TGroupBox::WndProc(UINT message, WPARAM w, LPARAM l) {
  LRESULT r;
  if (FaceColours(message, w, r)) return r;
  return TWindow::WndProc(message, w, l);
}

TGroupBox::TGroupBox(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y,
                     int width, int height)
    : TWindow(owner) {
  CreateControl(parent, L"BUTTON", WS_VISIBLE | BS_GROUPBOX, 0, x, y, width, height, caption);
}
