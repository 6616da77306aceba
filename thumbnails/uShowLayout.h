// Where a slide show puts its pictures: fitted to the screen (never enlarged with the original
// size flag), centred, in turn in the corners, at a fixed corner (main program's slide show),
// or floating and bouncing off the screen's edges. Rectangles have exclusive right and bottom.
#pragma once
#include <cstdint>

#include "foundation/uTypes.h"

enum : int32_t { kPlaceCentre = -1, kPlaceTopLeft, kPlaceTopRight, kPlaceBottomLeft, kPlaceBottomRight };

// The next position of the corner cycle: centre, top left, top right, bottom left, bottom right.
int32_t NextCornerPosition(int32_t position);
// The position a picture dropped at (x, y) of the screen takes: the 3 x 3 grid's corner cells
// and its centre; false for the other cells.
bool DropCellPosition(int x, int y, int screenWidth, int screenHeight, int32_t& position);

class tShowLayout {
 public:
  int32_t ScreenWidth = 0, ScreenHeight = 0;
  int32_t Mode = 0;            // 0 centred, 1 corners, 2 float
  bool CycleCorners = true;    // mode 1 moves on by itself (the screen saver)
  bool OriginalSize = true;
  int32_t CornerPosition = kPlaceCentre;
  int32_t FloatDX = 4, FloatDY = 3;
  int32_t FloatLeft = 0, FloatTop = 0, FloatMaxLeft = 0, FloatMaxTop = 0;
  TRect PictureRect, LastRect;

  void Init(int32_t screenWidth, int32_t screenHeight, int32_t mode, bool originalSize,
            int32_t position, int32_t floatX, int32_t floatY);

  // The size to show a w x h picture at: fitted into the screen (half of it each way when
  // floating); false when it is shown at its own size.
  bool FitPictureSize(int32_t w, int32_t h, int32_t& outW, int32_t& outH) const;
  // PictureRect for a new picture of that size (mode 1 of the saver moves to the next corner).
  void PlacePicture(int32_t w, int32_t h);
  // The same picture placed again at the current corner (the position was changed by hand).
  void PlaceAgain();

  struct tFloatStep {
    TRect Vertical, Horizontal;  // strips the move uncovered; empty when the step is 0
  };
  // One float step: bounce, move PictureRect, and name the strips to erase after drawing.
  tFloatStep FloatStep();

 private:
  void PlaceAtCorner(int32_t w, int32_t h);
};
