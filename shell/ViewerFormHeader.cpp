// The header's two glyph sections: the tag mark over the tag column (a click toggles every
// tag) and the picture glyph over the category column (a click switches between names and
// thumbnails). A pressed section shows its glyph one pixel down and to the right.
#include <windows.h>

#include <array>
#include <memory>

#include "framework/Bitmap.h"
#include "framework/Canvas.h"
#include "imaging/uGraphics.h"
#include "shell/ViewerForm.h"

namespace {
// Header sections 1 and 2, and their glyphs.
constexpr int kTagSection = 1, kCategorySection = 2;
}  // namespace

void TViewerForm::ConnectHeaderGlyphs() {
  auto glyphs = std::make_shared<std::array<TBitmap, 2>>();
  (*glyphs)[0].LoadFromResourceName("FG_CHECK");
  (*glyphs)[1].LoadFromResourceName("FG_PICTURE");
  for (int section : {kTagSection, kCategorySection})
    HeaderControl1->SetSectionOwnerDraw(section, true);
  HeaderControl1->OnDrawSection = [glyphs](TComponent*, int section, TCanvas& canvas,
                                           const RECT& rect, bool pressed) {
    if (section != kTagSection && section != kCategorySection) return;
    TBitmap& glyph = (*glyphs)[section == kTagSection ? 0 : 1];
    RECT face = rect;
    InflateRect(&face, -2, -2);
    canvas.Brush.SetColor(clBtnFace);
    canvas.FillRect(face);
    if (glyph.Empty()) return;
    const int shift = pressed ? 1 : 0;
    const int x = (rect.left + rect.right - glyph.Width()) / 2 + shift;
    const int y = (rect.top + rect.bottom - glyph.Height()) / 2 + shift;
    // Only inside the section, however narrow the user made it.
    const int saved = SaveDC(canvas.Handle());
    IntersectClipRect(canvas.Handle(), face.left, face.top, face.right, face.bottom);
    DrawTransparentAt(glyph, canvas, clBtnFace, x, y);
    RestoreDC(canvas.Handle(), saved);
  };
}
