// Choosing the background and the transparent colour of a GIF save from the picture's palette.
#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/BitBtn.h"
#include "framework/Button.h"
#include "framework/Form.h"
#include "framework/Label.h"
#include "viewers/picture/cPaletteGrid.h"

class TPaletteDialog : public TForm {
 public:
  explicit TPaletteDialog(TComponent* owner);

  TPaletteGrid* Grid = nullptr;
  TSpeedButton *BackgroundBtn = nullptr, *TransparentBtn = nullptr;
  TPaintBox *BackgroundLabel = nullptr, *TransparentLabel = nullptr;
  TButton *ResetBtn = nullptr, *OKBtn = nullptr, *CancelBtn = nullptr, *HelpBtn = nullptr;

  // count is limited to 2..256 before anything is copied.
  void SetPalette(int count, const uint8_t* rgb);
  int Background = -1, Transparent = -1;
  // The labels and the grid for the indexes (as the dialog does when it comes up).
  void Activate();
  void ModeClicked();
  void Reset();

 protected:
  void KeyDown(WORD& key, TShiftState shift) override;

 private:
  int& CurrentIndex() { return TransparentBtn->Down() ? Transparent : Background; }
  void UpdateLabels();
  int count_ = 2;
  uint8_t palette_[768] = {};
  bool activating_ = false;
};

// Shows the dialog for a palette of count colours (RGB triples); on OK the two indexes (-1:
// none) are written back and the result is true.
bool ChoosePaletteColors(TComponent* owner, int count, const uint8_t* palette, int& transparent,
                         int& background);
