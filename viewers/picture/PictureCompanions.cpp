#include "viewers/picture/PictureCompanions.h"

#include <cstdlib>
#include <utility>

namespace {
struct tCompanions {
  TFullOrClipChooser fullOrClip;
  TDetailsShower details;
  TCommentsEditor comments;
  TPaletteColorChooser paletteColors;
};
tCompanions& Companions() {
  static tCompanions c;
  return c;
}
}  // namespace

void SetFullOrClipChooser(TFullOrClipChooser chooser) {
  Companions().fullOrClip = std::move(chooser);
}
void SetDetailsShower(TDetailsShower shower) { Companions().details = std::move(shower); }
void SetCommentsEditor(TCommentsEditor editor) { Companions().comments = std::move(editor); }
void SetPaletteColorChooser(TPaletteColorChooser chooser) {
  Companions().paletteColors = std::move(chooser);
}
bool HasDetailsShower() { return static_cast<bool>(Companions().details); }
bool HasCommentsEditor() { return static_cast<bool>(Companions().comments); }

int ChooseFullOrClipPart(TForm* owner, TBitmap& bitmap, const RECT& clip,
                         const std::string& caption) {
  if (std::abs(clip.right - clip.left) < 8 || std::abs(clip.bottom - clip.top) < 8) return 1;
  return Companions().fullOrClip ? Companions().fullOrClip(owner, bitmap, clip, caption) : 1;
}

void ShowDetailsOf(TForm* window, tGraphicID& picture, POINT at) {
  if (Companions().details) Companions().details(window, picture, at);
}

void EditCommentsOf(TForm* owner, tGraphicID& picture) {
  if (Companions().comments) Companions().comments(owner, picture);
}

void ChooseGifColors(TForm* owner, int colors, const uint8_t* palette, int32_t& transparent,
                     int32_t& background) {
  if (Companions().paletteColors)
    Companions().paletteColors(owner, colors, palette, transparent, background);
}
