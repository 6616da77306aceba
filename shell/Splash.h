// The splash window of an ordinary start: borderless, on top, round-cornered, with the program's
// picture, name and version; it stays at least three seconds. And the one shared OK/Cancel
// dialog form that other dialogs derive from.
#pragma once
#include <memory>

#include "framework/Bitmap.h"
#include "framework/Button.h"
#include "framework/Form.h"
#include "framework/Label.h"
#include "framework/Panel.h"

class TSplash : public TForm {
 public:
  explicit TSplash(TComponent* owner);
  ~TSplash() override;

  // The two bevels, drawn by the form itself: the outer frame (hidden once the round region is
  // set) and the frame of the picture.
  RECT FormFrame{2, 2, 282, 265};
  bool FormFrameVisible = true;
  RECT PictureFrame{8, 50, 276, 188};
  TLabel* lblProgramName = nullptr;
  TLabel* lblProgramVersion = nullptr;

  std::unique_ptr<TBitmap> SplashBitmap;
  // The time (days) before which the splash does not close.
  double EndTime = 0;
  uint16_t PaintCount = 0;
  // The name of the picture loaded (for the screen's depth).
  std::string BitmapName;
  // The window was given its round region.
  bool Rounded = false;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  void DoShow() override;
  void DoClose(TCloseAction& action) override;

 private:
  void FormPaint();
};

extern TSplash* Splash;

// Shows the splash for a start without arguments; paints it once before returning.
void ShowSplashIfNormal();
// Waits (handling messages) until the splash's end time, then closes it.
void CloseSplashWhenDue();

class TOKBottomDlg : public TForm {
 public:
  explicit TOKBottomDlg(TComponent* owner);
  TPanel* Bevel1 = nullptr;
  TButton* OKBtn = nullptr;
  TButton* CancelBtn = nullptr;
};

extern TOKBottomDlg* OKBottomDlg;
