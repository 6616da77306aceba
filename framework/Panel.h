// Panels: a raised or lowered 3-D frame around child controls, with an optional centred caption.
#pragma once
#include "framework/Window.h"

enum TBevelCut { bvNone, bvLowered, bvRaised };

class TCanvas;

class TPanel : public TWindow {
 public:
  TPanel(TComponent* owner, TWindow* parent, int x, int y, int width, int height);
  TBevelCut BevelOuter = bvRaised;
  TColor Color = clBtnFace;

 protected:
  const wchar_t* ClassName() const override { return L"TavisPanel"; }
  UINT ClassStyle() const override { return CS_HREDRAW | CS_VREDRAW; }
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  virtual void Paint(TCanvas& canvas);
};
