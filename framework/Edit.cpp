#include "framework/Edit.h"

#include "framework/HintWindow.h"

TEdit::TEdit(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
             DWORD extraStyle)
    : TWindow(owner) {
  CreateControl(parent, L"EDIT", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | extraStyle, 0, x, y,
                width, height);
}

TEdit::~TEdit() { ForgetControlHint(Handle()); }

LRESULT TEdit::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (ControlHintMessage(*this, Hint, message, w, l)) return 0;
  if (message == CN_COMMAND && HIWORD(w) == EN_CHANGE) {
    if (OnChange) OnChange(this);
    return 0;
  }
  if (message == CN_COMMAND && HIWORD(w) == EN_KILLFOCUS) {
    if (OnExit) OnExit(this);
    return 0;
  }
  return TWindow::WndProc(message, w, l);
}
