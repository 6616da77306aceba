// Radio buttons and the group boxes that frame them. The radios of one group are the radio
// children of one parent (a group box or a panel); the first of each group starts the group, so
// the arrow keys move within it.
#pragma once
#include "framework/PaintedWindow.h"

class TRadioButton : public TWindow {
 public:
  // firstOfGroup: starts a new group of radios in the parent.
  TRadioButton(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y,
               int width, int height, bool firstOfGroup = false);
  bool Checked() const;
  void SetChecked(bool checked);

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
};

// A framed, captioned box that parents its controls (its radios form one group); unlike the
// button-class group box, its children's notifications reach their handlers.
class TFrameBox : public TPaintedWindow {
 public:
  TFrameBox(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y,
            int width, int height);

 protected:
  const wchar_t* ClassName() const override { return L"TavisFrameBox"; }
  void Paint(TCanvas& canvas) override;
};
