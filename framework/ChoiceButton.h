// Check boxes, radio buttons and the group boxes that frame them: the system's own buttons.
#pragma once
#include <string>

#include "framework/Window.h"

class TChoiceButton : public TWindow {
 public:
  enum tKind { ckCheckBox, ckRadio };
  // A radio with groupStart begins a new group of radios (WS_GROUP): arrow keys and automatic
  // unchecking stay within a group.
  TChoiceButton(TComponent* owner, TWindow* parent, tKind kind, const std::string& caption, int x,
                int y, int width, int height, bool groupStart = false);
  bool Checked() const;
  // Sets the state without a click event.
  void SetChecked(bool checked);

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
};

class TGroupBox : public TWindow {
 public:
  TGroupBox(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y, int width,
            int height);

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
};
