// Panels: a raised or lowered 3-D frame around child controls, with an optional centred caption.
#pragma once
#include "framework/PaintedWindow.h"

enum TBevelCut { bvNone, bvLowered, bvRaised };

class TPanel : public TPaintedWindow {
 public:
  TPanel(TComponent* owner, TWindow* parent, int x, int y, int width, int height);
  TBevelCut BevelOuter = bvRaised;
  TColor Color = clBtnFace;

 protected:
  const wchar_t* ClassName() const override { return L"TavisPanel"; }
  void Paint(TCanvas& canvas) override;
};
