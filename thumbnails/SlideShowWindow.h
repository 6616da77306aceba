// The main program's slide show: tagged files, a script from the script editor or a test show
// of the screen saver settings, full screen, automatic (a delay per picture) or manual (keys
// step through the list), with music, a volume panel, an information panel and a menu.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "foundation/cSlider.h"
#include "framework/Button.h"
#include "framework/Label.h"
#include "framework/PaintedWindow.h"
#include "framework/Panel.h"
#include "thumbnails/ShowForm.h"

// The volume panel's level box: the wave and MIDI output levels as two bars with their
// percentages, read from the player; an output whose volume cannot be read shows an empty,
// hatched bar.
class TVolumeLevelBox : public TPaintedWindow {
 public:
  TVolumeLevelBox(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
                  TMciPlayer& player);
  // 0..100 (the mean of both channels), -1 when the output's volume cannot be read.
  int Level(bool midi) const { return levels_[midi ? 1 : 0]; }
  // Reads the levels again and repaints.
  void Refresh();

 protected:
  void Paint(TCanvas& canvas) override;

 private:
  TMciPlayer& player_;
  int levels_[2] = {-1, -1};
};

// What the slide show needs of the main program.
struct tSlideShowHost {
  int32_t* SlidePosition = nullptr;  // "Slide shows"/"Position", changed at once by "C" and drops
  bool LastSlideSound = true;        // the end-of-slides sound in manual shows
  int32_t ZoomPercent = 125;
  std::function<void()> PlayEndOfSlidesSound;
  // The magnifier over the picture ("Z"), owned by the show; none: the key does nothing.
  std::function<void(TForm* show, TBitmap& picture, int zoomPercent)> ShowMagnifier;
};

class TSlideShowWindow : public TShowForm {
 public:
  // list: full paths, or (ownerIsMainWindow) the folder in entry 0 and names after it.
  TSlideShowWindow(TComponent* owner, HWND ownerWindow, std::vector<std::string> list,
                   bool ownerIsMainWindow, uint16_t delay, const std::string& wallpaper,
                   uint32_t color, bool originalSize, tSlideShowHost host);
  ~TSlideShowWindow() override;

  bool Manual() const { return manual_; }
  bool Paused() const;
  bool Loading() const { return loading_; }
  TPanel* VolPanel = nullptr;
  TPanel* IdPanel = nullptr;
  TPanel* PausedPanel = nullptr;
  TLabel* IdLabels[4] = {};
  TSlider* waveVol = nullptr;
  TSlider* midiVol = nullptr;
  TVolumeLevelBox* VolPB = nullptr;

  // The keys and the mouse, as the window's message hook sees them (tests call these too).
  void KeyPressed(WORD key);
  void KeyReleased(WORD key);
  void DropAt(int x, int y);
  void SetPaused(bool paused);

 protected:
  void DoClose(TCloseAction& action) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;

  void PictureShown() override;
  void PictureDone() override;
  void PictureTimerTick() override;
  bool HoldEnds() override;
  bool OpenPicture(const std::string& name) override;
  bool PlayMusic(const std::string& name) override;

 private:
  void Step(int direction);
  void PopupMenu(POINT screenPoint);
  void ShowInformation();
  void CyclePosition();
  void SetPosition(int32_t position);

  HWND ownerWindow_;
  tSlideShowHost host_;
  bool manual_ = false;
  bool loading_ = false;
  bool skip_ = false;
  bool dragging_ = false;
  std::string delayText_;
};

// Starts a slide show over the whole screen; the window frees itself when it closes and then
// posts WM_REFRESHLIST to ownerWindow (when given).
TSlideShowWindow* StartSlideShow(TComponent* owner, HWND ownerWindow,
                                 const std::vector<std::string>& list, bool ownerIsMainWindow,
                                 uint16_t delay, const std::string& wallpaper, uint32_t color,
                                 bool originalSize, const tSlideShowHost& host);
