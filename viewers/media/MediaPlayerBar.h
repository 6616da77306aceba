// The media player's buttons: Play, Pause, Stop and Back, drawn as glyph buttons that are
// enabled as the player allows; the space key presses the focused one.
#pragma once
#include <functional>

#include "framework/PaintedWindow.h"
#include "viewers/media/uMedia.h"

class TMediaPlayerBar : public TPaintedWindow {
 public:
  TMediaPlayerBar(TComponent* owner, TWindow* parent, int x, int y, int width, int height);

  const TMPButtons& EnabledButtons() const { return enabled_; }
  void SetEnabledButtons(const TMPButtons& enabled);
  bool ButtonEnabled(TMPBtnType button) const;
  // Presses a button as a click does (nothing when it is disabled).
  void Press(TMPBtnType button);
  std::function<void(TMPBtnType)> OnButtonClick;

 protected:
  const wchar_t* ClassName() const override { return L"TavisMediaPlayer"; }
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;

 private:
  RECT ButtonRect(int index) const;
  int ButtonAt(int x, int y) const;
  TMPButtons enabled_;
  int focused_ = btPlay;
  int pressed_ = -1;
};
