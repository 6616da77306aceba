// The arithmetic of the segmented progress bar and the slider: segment counts and places, the
// fitting of a bar to whole segments, and the slider's thumb, scale and logarithmic positions.
// The controls (cProgress, cSlider) only paint what these give.
#pragma once
#include <cstdint>

#include "foundation/uTypes.h"

// A progress bar's size and segment settings.
struct tProgressGeometry {
  int Width = 104, Height = 18;
  int Margin = 2, SegmentWidth = 8, SegmentGap = 2;
  bool Horizontal() const { return Width > Height; }
};

// The length along the bar that segments may use: the longer side less the margins, plus one
// gap (the last segment needs none).
int ProgressWorkingWidth(const tProgressGeometry& g);
// Whole segments for a percent (0 for a bar too small for one).
int ProgressSegments(const tProgressGeometry& g, int percent);
// Segment i (from 0): left to right on a horizontal bar, bottom up on a vertical one.
TRect ProgressSegmentRect(const tProgressGeometry& g, int i);
// A part of a total as a whole percent, halves to the even neighbour; at least 1 when the part
// is not 0, and 0 for a total of 0.
int ProgressPercentOf(int64_t part, int64_t total);

// Fitting a bar to whole segments: the segment width that fills the working width best and the
// bar's new length along its axis. False (nothing to change) when not one segment fits.
struct tProgressFit {
  int SegmentWidth = 0;
  int Length = 0;
};
bool ProgressFitToWidth(const tProgressGeometry& g, tProgressFit& fit);

// The slider: a 0..100 scale over the control's long side with 4 pixels kept free at each end;
// a vertical slider counts from the bottom.
int SliderThumbOffset(int width, int height, int stored);
int SliderPositionFromPoint(int width, int height, int x, int y);
TRect SliderThumbRect(int width, int height, int stored);
// Trunc(ln(x + 1) / ln(101) x 100): 0 gives 0, 10 gives 51, 100 gives 100.
int SliderLogPosition(int x);
// The largest stored position 0..100 whose logarithmic position does not exceed the value.
int SliderStoredForLog(int value);
