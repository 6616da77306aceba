// The full-screen zoom window: the whole picture fitted to the screen, a selected part fitted
// to the screen, or a magnifier that shows an enlarged part and pans with the pointer. Modal;
// any click or key closes it. One exists at a time.
#pragma once
#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "framework/Form.h"
#include "framework/ScrollBox.h"
#include "viewers/picture/uZoomRules.h"

class TZoomWindow : public TForm {
 public:
  TZoomWindow(TComponent* owner, TBitmap& source);
  ~TZoomWindow() override;

  TPaintBox* PaintBox = nullptr;
  TBitmap& Source;
  int SourceWidth = 0, SourceHeight = 0;
  RECT SourceRect{};
  RECT DestRect{};
  bool Magnifier = false;
  TCursor SavedCursor = crDefault;

  // The source fitted into the window, centred.
  void FitDest();
  void PanTo(int x, int y);

 protected:
  void KeyDown(WORD& key, TShiftState shift) override;
  void DoShow() override;
  void DoClose(TCloseAction& action) override;

 private:
  void PaintBoxPaint(TCanvas& canvas);
  void Finish();
};

// The window while it is shown (null otherwise).
extern TZoomWindow* ZoomWindow;

void ShowFullScreen(TForm* owner, TBitmap& source);
// False, showing nothing, for a selection under 8 x 8 pixels.
bool ShowZoomedSelection(TForm* owner, TBitmap& source, const RECT& selection);
// point: screen coordinates of the pointer, which places the enlarged part.
void ShowMagnifier(TForm* owner, TBitmap& source, POINT point, int zoomPercent);
