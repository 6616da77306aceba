// Push buttons: a click runs OnClick and, with a modal result, ends the form's modal run; the
// default button answers Enter and the cancel button Esc.
#pragma once
#include "framework/Window.h"

class TButton : public TWindow {
 public:
  TButton(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y, int width,
          int height);
  int ModalResult = 0;
  void SetDefault(bool value);
  void SetCancel(bool value);
  void Click() override;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
};
