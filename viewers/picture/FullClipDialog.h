// Whole picture or the selected part: the question Save, Print and Copy ask when the user has
// selected part of a picture, with both as previews.
#pragma once
#include <windows.h>

#include <string>

#include "foundation/uUtil.h"
#include "framework/BitBtn.h"
#include "framework/Bitmap.h"
#include "framework/Button.h"
#include "framework/Form.h"
#include "framework/Panel.h"
#include "framework/ScrollBox.h"

class TFullClipDlg : public TForm {
 public:
  explicit TFullClipDlg(TComponent* owner);

  TPanel *FullBevel = nullptr, *PartBevel = nullptr;
  TPaintBox *PaintFull = nullptr, *PaintPart = nullptr;
  TSpeedButton *FullBtn = nullptr, *PartBtn = nullptr;
  TButton *OKBtn = nullptr, *CancelBtn = nullptr, *HelpBtn = nullptr;

  // Not owned; the clip is normalised.
  void SetPicture(TBitmap* bitmap, const TRect& clip);

 private:
  void Preview(TCanvas& canvas, const RECT& source);
  TBitmap* bitmap_ = nullptr;
  TRect clip_{};
};

// 1 the whole picture, 2 the clipped part, 0 cancelled. A clip under 8 pixels wide or high
// gives 1 without asking.
int ChooseFullOrClip(TComponent* owner, TBitmap& bitmap, const TRect& clip,
                     const std::string& caption);
