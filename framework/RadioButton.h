// A radio button: the system's own. The radios of one group are the radio children of one parent
// (a group box or a panel), from the one made with firstOfGroup up to the next such: the arrow
// keys move within the group, Tab moves into it at its first, and a click unchecks the others.
#pragma once
#include "framework/ChoiceButton.h"

class TRadioButton : public TChoiceButton {
 public:
  TRadioButton(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y,
               int width, int height, bool firstOfGroup = false)
      : TChoiceButton(owner, parent, BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP | WS_TABSTOP : 0),
                      caption, x, y, width, height) {}
};
