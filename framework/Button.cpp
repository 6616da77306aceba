#include "framework/Button.h"

#include "framework/Form.h"

TButton::TButton(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y,
                 int width, int height)
    : TWindow(owner) {
  CreateControl(parent, L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, x, y, width, height,
                caption);
}

void TButton::SetDefault(bool value) {
  TForm* form = ParentForm(this);
  if (!form) return;
  if (value) {
    form->DefaultButton = this;
  } else if (form->DefaultButton == this) {
    form->DefaultButton = nullptr;
  }
  Send(BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::SetCancel(bool value) {
  TForm* form = ParentForm(this);
  if (!form) return;
  if (value) {
    form->CancelButton = this;
  } else if (form->CancelButton == this) {
    form->CancelButton = nullptr;
  }
}

void TButton::Click() {
  TWindow::Click();
  if (ModalResult == 0) return;
  if (TForm* form = ParentForm(this)) form->ModalResult = ModalResult;
}

LRESULT TButton::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (message == CN_COMMAND && HIWORD(w) == BN_CLICKED) {
    Click();
    return 0;
  }
  return TWindow::WndProc(message, w, l);
}
