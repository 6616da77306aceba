// A check box: the system's own, checked and unchecked by a click.
#pragma once
#include "framework/ChoiceButton.h"

class TCheckBox : public TChoiceButton {
 public:
  TCheckBox(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y, int width,
            int height)
      : TChoiceButton(owner, parent, WS_TABSTOP | BS_AUTOCHECKBOX, caption, x, y, width, height) {}
};
