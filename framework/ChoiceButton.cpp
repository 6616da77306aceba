#include "framework/ChoiceButton.h"

TChoiceButton::TChoiceButton(TComponent* owner, TWindow* parent, DWORD style,
                             const std::string& caption, int x, int y, int width, int height)
    : TWindow(owner) {
  CreateControl(parent, L"BUTTON", WS_VISIBLE | style, 0, x, y, width, height, caption);
}

bool TChoiceButton::Checked() const {
  return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TChoiceButton::SetChecked(bool checked) {
  ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

LRESULT TChoiceButton::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (message == CN_COMMAND && HIWORD(w) == BN_CLICKED) {
    Click();
    return 0;
  }
  if (message == CN_BASE + WM_CTLCOLORSTATIC || message == CN_BASE + WM_CTLCOLORBTN) {
    SetBkColor(reinterpret_cast<HDC>(w), GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  return TWindow::WndProc(message, w, l);
}
