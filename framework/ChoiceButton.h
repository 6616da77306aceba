// Check boxes and radio buttons share this: the system's own buttons that hold a checked state.
// A click runs OnClick; they sit on button-face surfaces (dialogs, pages, group boxes).
#pragma once
#include <string>

#include "framework/Window.h"

class TChoiceButton : public TWindow {
 public:
  bool Checked() const;
  // Sets the state without a click event.
  void SetChecked(bool checked);

 protected:
  TChoiceButton(TComponent* owner, TWindow* parent, DWORD style, const std::string& caption, int x,
                int y, int width, int height);
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
};
