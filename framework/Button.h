// Push buttons: a click runs OnClick and, with a modal result, ends the form's modal run; the
// default button answers Enter and the cancel button Esc. A button with a hint shows it when the
// mouse rests on it.
#pragma once
#include "framework/Window.h"

class TButton : public TWindow {
 public:
  TButton(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y, int width,
          int height);
  ~TButton() override;
  int ModalResult = 0;
  // The tooltip text (none when empty).
  std::string Hint;
  void SetDefault(bool value);
  void SetCancel(bool value);
  void Click() override;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
};
