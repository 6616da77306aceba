// A framed, captioned box that parents its controls (its radios form one group). It paints its
// whole inside in the button face: the system's button-class group box leaves its inside to the
// parent, which a parent that clips its children never paints (black under Wine), and as a parent
// it would not pass its children's notifications on.
#pragma once
#include "framework/PaintedWindow.h"

class TGroupBox : public TPaintedWindow {
 public:
  TGroupBox(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y, int width,
            int height);

 protected:
  const wchar_t* ClassName() const override { return L"TavisGroupBox"; }
  void Paint(TCanvas& canvas) override;
};
