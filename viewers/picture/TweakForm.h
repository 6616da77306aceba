// The adjustment tool beside a picture window: gamma, contrast, brightness and colour sliders,
// sharpness, grey, negative, mirror and quarter turns, with a live preview of a reduced copy.
// Apply rebuilds the window's display from the decoded picture and leaves the values in the
// window, where Save takes them up.
#pragma once
#include <memory>

#include "foundation/cSlider.h"
#include "framework/BitBtn.h"
#include "framework/Bitmap.h"
#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/Form.h"
#include "framework/Label.h"
#include "framework/ScrollBox.h"
#include "framework/TrackBar.h"
#include "imaging/Quantize.h"
#include "viewers/picture/uTweakTable.h"

class TPictureWindow;

class TTweakForm : public TForm {
 public:
  explicit TTweakForm(TPictureWindow& target);
  ~TTweakForm() override;

  TSlider* Sliders[kTweakSliders] = {};
  TLabel* ValueLabels[kTweakSliders] = {};
  TTrackBar* tbSharp = nullptr;
  TLabel* lblSharp = nullptr;
  TCheckBox *chkGray = nullptr, *chkNegate = nullptr, *chkPreview = nullptr;
  TSpeedButton* btnMirror = nullptr;
  TSpeedButton* RotationButtons[4] = {};
  TButton *btnRotate = nullptr, *btnApply = nullptr, *btnReset = nullptr, *btnClose = nullptr;
  TPaintBox* Preview = nullptr;

  bool PreviewOn = false;
  bool Busy = false;
  uint8_t Table[256][3] = {};
  int Rotation = 0;
  tMemBmpPtr PreviewSource;
  std::unique_ptr<TBitmap> PreviewBitmap;
  TPictureWindow& Target;

  void BuildTable();
  void UpdatePreview();
  void ApplyAdjustment();
  void Reset();
  void SetRotation(int rotation);

 protected:
  void DoClose(TCloseAction& action) override;

 private:
  void ReadWindowValues();
  void WriteWindowValues();
  void SliderChanged(int index);
  void PreviewPaint(TCanvas& canvas);
  void PlaceBeside();
};

void ShowTweakForm(TPictureWindow& window);
