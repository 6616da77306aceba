// Hint windows: a small borderless popup in the info colours showing one text over a screen
// rectangle, without taking the focus. Controls with a hint show it in one such window shared by
// all of them.
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

// The hint of a control (a push button's tooltip). The control's window procedure hands its
// messages here first. The mouse resting on the control for Application.HintPause shows the
// text below the mouse for Application.HintHidePause; leaving the control, a click or a key hides
// it, and it does not come back until the mouse has left. Nothing while Application.ShowHint is
// off or the hint is empty. True when the message was the hint's own (its timers).
bool ControlHintMessage(TWindow& control, const std::string& hint, UINT message, WPARAM w,
                        LPARAM l);
// A control going away takes its hint with it.
void ForgetControlHint(HWND control);
// The controls' hint window while it shows, else null.
THintWindow* ControlHintShowing();
