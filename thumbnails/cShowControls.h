// The few standard controls the slide show dialogs need beyond the framework's: a number edit
// with arrows (spin edit) and a track bar, each the system's own (and the framework's check box).
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/CheckBox.h"
#include "framework/Edit.h"
#include "framework/TrackBar.h"
#include "framework/Window.h"

// A number edit with up and down arrows, kept within its range and stepped by its increment.
class TSpinEdit : public TEdit {
 public:
  TSpinEdit(TComponent* owner, TWindow* parent, int x, int y, int width, int height, int minValue,
            int maxValue, int increment = 1);
  int Value() const;
  void SetValue(int value);
  int MinValue() const { return min_; }
  int MaxValue() const { return max_; }
  void SetEnabled(bool enabled);

 private:
  HWND upDown_ = nullptr;
  int min_, max_;
};

// The framework's track bar, whose position set by code also reports a change (the settings
// window lays itself out from it).
class TModeTrackBar : public TTrackBar {
 public:
  TModeTrackBar(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
                int minValue, int maxValue);
  void SetPosition(int position);
  // The parent passes its WM_HSCROLL on.
  void Scrolled();
};

// The colour dialog, starting at color, with the settings' custom colours ("ColorA=..."),
// which it keeps when given. False when cancelled.
// flags: more of the colour dialog's CC_ flags (CC_FULLOPEN, CC_SOLIDCOLOR).
bool PickColor(HWND owner, uint32_t& color, std::vector<std::string>* customColors,
               unsigned flags = 0);
// The open dialog for a wallpaper bitmap, starting at the current file or the Windows folder.
bool PickWallpaper(HWND owner, std::string& paper);
