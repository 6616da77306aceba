// Windows of their own class that paint their whole client area in Paint: the background is not
// erased first (so it does not flicker) and a change of size repaints all of it.
#pragma once
#include <string>

#include "framework/Window.h"

class TCanvas;

class TPaintedWindow : public TWindow {
 public:
  ~TPaintedWindow() override;
  // Shown below the mouse resting on the window (see framework/HintWindow.h).
  std::string Hint;

 protected:
  using TWindow::TWindow;
  UINT ClassStyle() const override { return CS_HREDRAW | CS_VREDRAW; }
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  virtual void Paint(TCanvas& canvas) = 0;
};
