// The decisions of the save dialog, without a window: which options each format page offers,
// which colour choices it allows, the grey rules, the size with its proportions and limits, and
// the write-back to the options record. The form mirrors this state into its controls.
#pragma once
#include <cstdint>
#include <string>

#include "viewers/picture/uSaveOptions.h"

// A check box or radio button as the form shows it.
struct tChoiceState {
  bool Checked = false;
  bool Enabled = true;
  bool Visible = true;
};

// The colour radios by tag: 2, 8, 16 (best), 16 (standard), 32, 64, 128, 256 (best),
// 256 (browser), 32k, 64k, 16m.
constexpr int kColorRadioCount = 12;
constexpr int kColorCodes[kColorRadioCount] = {2, 8, 16, 16, 32, 64, 128, 256, 256, 271, 272, 280};
constexpr int crtStandard16 = 3, crtBest256 = 7, crtBrowser256 = 8, crt32k = 9, crt64k = 10,
              crt16m = 11;

class tSaveDialogModel {
 public:
  // Fills the dialog from the record; pictureName is the file being saved (the batch title in
  // batch mode).
  void Fill(const TSaveOptions& options, const std::string& pictureName);
  // The user's actions.
  void PageChanged(int page);
  void ColorClicked(int tag);
  void GrayscaleClicked(bool checked);
  void BmpStyleClicked(int style);
  void CompressedClicked(bool checked);
  void InterlacedClicked(bool checked);
  void StoreGammaClicked(bool checked);
  void BatchSizeClicked(int rule);
  // Leaving a size edit with what was typed (0 for text that is no number).
  void WidthLeft(int typed);
  void HeightLeft(int typed);
  // OK: everything back into the record.
  void WriteBack(TSaveOptions& options);

  std::string Caption;
  int Page = sfGIF;
  bool Batch = false;
  int BatchSize = bsOriginalSize;
  bool SizeEditsEnabled = true;
  int InitialWidth = 0, InitialHeight = 0, Width = 0, Height = 0;
  int CurrentColors = 0, InitialColors = 0;
  bool SourceGrey = false;
  int BmpStyle = 0;
  int JpegQuality = 75;
  int PngGamma = 100;
  bool GammaEnabled = false;
  bool CommentsEnabled = false;
  bool SpecialEnabled = false;
  bool GifPanelVisible = true;
  std::string InterlacedCaption = "Interlaced";
  std::string Best16Caption = "16 (best)";
  std::string Best256Caption = "256 (best)";
  tChoiceState Radios[kColorRadioCount];
  tChoiceState Compressed, Interlaced, TopDown, StoreGamma, Wallpaper, Grayscale, Dither,
      KeepProportions, Trim, CCITT;
  // The GIF panel.
  tChoiceState Tile, Center, ThumbnailPalette, Emboss, Imprint, PlusLime, Optimize, Smooth, Rescale;

  int CheckedRadio() const;

 private:
  void UpdateControls();
  void ReadSize(int width, int height);
  bool compressed_ = false, interlaced_ = false;
  bool updating_ = false;
};
