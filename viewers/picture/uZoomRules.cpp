#include "viewers/picture/uZoomRules.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/uUtil.h"

bool CanZoomPicture(int width, int height) {
  return width >= kMinZoomPicture && height >= kMinZoomPicture;
}

bool SelectionZoomable(const TRect& s) {
  return std::abs(s.Right - s.Left) >= kMinZoomSelection &&
         std::abs(s.Bottom - s.Top) >= kMinZoomSelection;
}

int MagnifierQuarters(int zoomPercent) { return std::max(1, zoomPercent / 25); }

tMagnifierSize MagnifierSource(int pictureWidth, int pictureHeight, int zoomPercent) {
  const int q = MagnifierQuarters(zoomPercent);
  tMagnifierSize s;
  s.Width = (pictureWidth / q) * 4;
  s.Height = MulDivRound(s.Width, 3, 4);
  if (pictureHeight < (s.Height * q) >> 2) {
    s.Height = (pictureHeight / q) * 4;
    s.Width = MulDivRound(s.Height, 4, 3);
  }
  return s;
}

TRect MagnifierPan(int pictureWidth, int pictureHeight, const tMagnifierSize& part, int x, int y,
                   int windowWidth, int windowHeight) {
  const int x0 = windowWidth > 0 ? MulDivRound(pictureWidth - part.Width, x, windowWidth) : 0;
  const int y0 = windowHeight > 0 ? MulDivRound(pictureHeight - part.Height, y, windowHeight) : 0;
  return TRect{x0, y0, x0 + part.Width, y0 + part.Height};
}
