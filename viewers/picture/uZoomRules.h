// Geometry of the full-screen zoom window: which part of the picture goes onto the screen for a
// zoomed selection and for the magnifier, and how the magnifier follows the pointer.
#pragma once
#include "foundation/uTypes.h"

// Selections narrower or lower than this many pixels are not zoomed.
constexpr int kMinZoomSelection = 8;
// Pictures smaller than this on either side cannot be zoomed.
constexpr int kMinZoomPicture = 16;

bool CanZoomPicture(int width, int height);
// Whether a selection (corners in any order) is large enough to be shown.
bool SelectionZoomable(const TRect& selection);

// The magnifier's factor in quarters (125 % gives 5). A setting below 25 % would give none and
// divide by zero: it counts as one quarter.
int MagnifierQuarters(int zoomPercent);

struct tMagnifierSize {
  int Width = 0, Height = 0;  // the part of the picture that fills the screen
};
// A 4:3 part of the picture, enlarged by the zoom; a picture wider than 4:3 is limited by its
// height.
tMagnifierSize MagnifierSource(int pictureWidth, int pictureHeight, int zoomPercent);
// The part under the pointer at (x, y) of a window: the pointer's place across the window is
// the same place across the picture.
TRect MagnifierPan(int pictureWidth, int pictureHeight, const tMagnifierSize& part, int x, int y,
                   int windowWidth, int windowHeight);
