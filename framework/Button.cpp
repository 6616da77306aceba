#include "framework/Button.h"

#include "framework/Form.h"
#include "framework/HintWindow.h"

TButton::TButton(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y,
                 int width, int height)
    : TWindow(owner) {
  CreateControl(parent, L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, x, y, width, height,
                caption);
}

// The window may outlive this object by a moment: the hint must not wait for its last messages.
TButton::~TButton() { ForgetControlHint(Handle()); }

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
  if (ControlHintMessage(*this, Hint, message, w, l)) return 0;
  if (message == CN_COMMAND && HIWORD(w) == BN_CLICKED) {
    Click();
    return 0;
  }
  return TWindow::WndProc(message, w, l);
}
