// Hint windows: a small borderless popup in the info colours showing one text over a screen
// rectangle, without taking the focus.
#pragma once
#include <string>

#include "framework/Window.h"

class THintWindow : public TWindow {
 public:
  explicit THintWindow(TComponent* owner);
  void ActivateHint(const RECT& screenRect, const std::string& text);
  void ReleaseHint();
  TColor Color = clInfoBk;

 protected:
  const wchar_t* ClassName() const override { return L"TavisHint"; }
  UINT ClassStyle() const override { return CS_SAVEBITS; }
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
};
