#include "thumbnails/uShowLayout.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/uUtil.h"

int32_t NextCornerPosition(int32_t position) {
  ++position;
  return position > kPlaceBottomRight ? kPlaceCentre : position;
}

bool DropCellPosition(int x, int y, int screenWidth, int screenHeight, int32_t& position) {
  if (screenWidth <= 0 || screenHeight <= 0 || x < 0 || y < 0 || x >= screenWidth ||
      y >= screenHeight)
    return false;
  const int cell = int64_t(x) * 3 / screenWidth + 3 * (int64_t(y) * 3 / screenHeight);
  switch (cell) {
    case 0: position = kPlaceTopLeft; return true;
    case 2: position = kPlaceTopRight; return true;
    case 4: position = kPlaceCentre; return true;
    case 6: position = kPlaceBottomLeft; return true;
    case 8: position = kPlaceBottomRight; return true;
  }
  return false;
}

void tShowLayout::Init(int32_t screenWidth, int32_t screenHeight, int32_t mode, bool originalSize,
                       int32_t position, int32_t floatX, int32_t floatY) {
  ScreenWidth = screenWidth;
  ScreenHeight = screenHeight;
  Mode = mode;
  OriginalSize = originalSize;
  CornerPosition = position;
  FloatDX = floatX;
  FloatDY = floatY;
  FloatLeft = FloatTop = 0;
  PictureRect = LastRect = TRect{0, 0, screenWidth, screenHeight};
}

bool tShowLayout::FitPictureSize(int32_t w, int32_t h, int32_t& outW, int32_t& outH) const {
  outW = w;
  outH = h;
  if (w <= 0 || h <= 0) return false;
  int32_t boxW = ScreenWidth, boxH = ScreenHeight;
  if (Mode == 2) {
    boxW /= 2;
    boxH /= 2;
  }
  int fw = 0, fh = 0;
  FitRect(boxW, boxH, w, h, fw, fh);
  if (fw <= 0 || fh <= 0) return false;
  if (OriginalSize && !(fw < w && fh < h)) return false;
  if (fw == w && fh == h) return false;
  outW = fw;
  outH = fh;
  return true;
}

void tShowLayout::PlaceAtCorner(int32_t w, int32_t h) {
  const int32_t right = std::max(0, ScreenWidth - w), bottom = std::max(0, ScreenHeight - h);
  int32_t x = 0, y = 0;
  switch (CornerPosition) {
    case kPlaceTopLeft: break;
    case kPlaceTopRight: x = right; break;
    case kPlaceBottomLeft: y = bottom; break;
    case kPlaceBottomRight: x = right; y = bottom; break;
    default: x = right / 2; y = bottom / 2; break;
  }
  PictureRect = TRect{x, y, x + w, y + h};
}

void tShowLayout::PlacePicture(int32_t w, int32_t h) {
  PictureRect = TRect{0, 0, w, h};
  if (Mode == 2) {
    FloatMaxLeft = std::max(0, ScreenWidth - w);
    FloatMaxTop = std::max(0, ScreenHeight - h);
    FloatLeft = std::min(FloatLeft, FloatMaxLeft);
    FloatTop = std::min(FloatTop, FloatMaxTop);
    PictureRect = TRect{FloatLeft, FloatTop, FloatLeft + w, FloatTop + h};
  } else if (Mode == 1) {
    if (CycleCorners) CornerPosition = NextCornerPosition(CornerPosition);
    PlaceAtCorner(w, h);
  } else {
    const int32_t saved = CornerPosition;
    CornerPosition = kPlaceCentre;
    PlaceAtCorner(w, h);
    CornerPosition = saved;
  }
}

void tShowLayout::PlaceAgain() {
  PlaceAtCorner(PictureRect.Right - PictureRect.Left, PictureRect.Bottom - PictureRect.Top);
}

tShowLayout::tFloatStep tShowLayout::FloatStep() {
  if (FloatLeft + FloatDX < 0 || FloatLeft + FloatDX > FloatMaxLeft) FloatDX = -FloatDX;
  if (FloatTop + FloatDY < 0 || FloatTop + FloatDY > FloatMaxTop) FloatDY = -FloatDY;
  // A picture as wide as the room moves not at all that way (it would bounce in place).
  const int32_t dx = (FloatLeft + FloatDX < 0 || FloatLeft + FloatDX > FloatMaxLeft) ? 0 : FloatDX;
  const int32_t dy = (FloatTop + FloatDY < 0 || FloatTop + FloatDY > FloatMaxTop) ? 0 : FloatDY;
  const TRect old = PictureRect;
  tFloatStep step;
  if (dx < 0)
    step.Vertical = TRect{old.Right + dx, old.Top, old.Right, old.Bottom};
  else if (dx > 0)
    step.Vertical = TRect{old.Left, old.Top, old.Left + dx, old.Bottom};
  if (dy < 0)
    step.Horizontal = TRect{old.Left, old.Bottom + dy, old.Right, old.Bottom};
  else if (dy > 0)
    step.Horizontal = TRect{old.Left, old.Top, old.Right, old.Top + dy};
  FloatLeft += dx;
  FloatTop += dy;
  PictureRect = TRect{FloatLeft, FloatTop, FloatLeft + (old.Right - old.Left),
                      FloatTop + (old.Bottom - old.Top)};
  return step;
}
