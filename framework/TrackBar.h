// Track bars: the system's slider with tick marks. OnChange runs when the user moves the thumb
// (mouse or keys), not when the program sets the position.
#pragma once
#include <windows.h>

#include "framework/Window.h"

class TTrackBar : public TWindow {
 public:
  TTrackBar(TComponent* owner, TWindow* parent, int x, int y, int width, int height);

  int Min() const;
  int Max() const;
  void SetRange(int min, int max);
  int Position() const;
  void SetPosition(int position);
  // A tick mark every frequency positions.
  void SetFrequency(int frequency);
  TNotifyEvent OnChange;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
};
