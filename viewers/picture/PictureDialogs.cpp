#include "viewers/picture/PictureDialogs.h"

#include "viewers/picture/CommentWindow.h"
#include "viewers/picture/DetailsWindow.h"
#include "viewers/picture/FullClipDialog.h"
#include "viewers/picture/PaletteDialog.h"
#include "viewers/picture/PictureCompanions.h"
#include "viewers/picture/PictureWindow.h"

void ConnectPictureDialogs() {
  SetFullOrClipChooser(
      [](TForm* owner, TBitmap& bitmap, const RECT& clip, const std::string& caption) {
        return ChooseFullOrClip(owner, bitmap, TRect{clip.left, clip.top, clip.right, clip.bottom},
                                caption);
      });
  SetDetailsShower([](TForm* window, tGraphicID& picture, POINT at) {
    ShowPictureDetails(dynamic_cast<TPictureWindow*>(window), picture, at);
  });
  SetCommentsEditor([](TForm* owner, tGraphicID& picture) { EditComments(owner, picture); });
  SetPaletteColorChooser([](TForm* owner, int colors, const uint8_t* palette,
                            int32_t& transparent, int32_t& background) {
    int t = transparent, b = background;
    if (ChoosePaletteColors(owner, colors, palette, t, b)) {
      transparent = t;
      background = b;
    }
  });
}
