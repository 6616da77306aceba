#include "foundation/cSmallCtlRules.h"

#include <cmath>

#include "foundation/uUtil.h"

int ProgressWorkingWidth(const tProgressGeometry& g) {
  int side = g.Horizontal() ? g.Width : g.Height;
  return side - (2 * g.Margin - g.SegmentGap);
}

int ProgressSegments(const tProgressGeometry& g, int percent) {
  int pitch = g.SegmentWidth + g.SegmentGap;
  int working = ProgressWorkingWidth(g);
  if (pitch <= 0 || working <= 0) return 0;
  return static_cast<int>(std::trunc(working * (percent * 0.01) / pitch));
}

TRect ProgressSegmentRect(const tProgressGeometry& g, int i) {
  int pitch = g.SegmentWidth + g.SegmentGap;
  if (g.Horizontal())
    return {g.Margin + i * pitch, g.Margin, g.Margin + g.SegmentWidth + i * pitch,
            g.Height - g.Margin};
  return {g.Margin, g.Height - g.Margin - g.SegmentWidth - i * pitch, g.Width - g.Margin,
          g.Height - g.Margin - i * pitch};
}

int ProgressPercentOf(int64_t part, int64_t total) {
  if (total == 0) return 0;
  int64_t p = RoundHalfEven(static_cast<double>(part) * 100.0 / static_cast<double>(total));
  if (p == 0 && part > 0) p = 1;
  return static_cast<int>(p);
}

bool ProgressFitToWidth(const tProgressGeometry& g, tProgressFit& fit) {
  // A bar too small for one segment has nothing to divide: dividing by its count of 0 would
  // be the only outcome.
  int n = ProgressSegments(g, 100);
  if (n <= 0) return false;
  int working = ProgressWorkingWidth(g);
  int pitch = working / n;
  if (pitch <= g.SegmentGap) return false;
  tProgressGeometry fitted = g;
  fitted.SegmentWidth = pitch - g.SegmentGap;
  fit.SegmentWidth = fitted.SegmentWidth;
  fit.Length = ProgressSegments(fitted, 100) * pitch + 2 * g.Margin - g.SegmentGap;
  return true;
}

namespace {
bool Horizontal(int width, int height) { return width > height; }
}  // namespace

int SliderThumbOffset(int width, int height, int stored) {
  if (Horizontal(width, height)) return MulDivRound(stored, width - 8, 100) + 4;
  return (height - 8) - MulDivRound(stored, height - 8, 100) + 4;
}

int SliderPositionFromPoint(int width, int height, int x, int y) {
  bool horizontal = Horizontal(width, height);
  int d = horizontal ? x - 4 : height - y - 4;
  int length = horizontal ? width - 8 : height - 8;
  if (length <= 0) return 0;  // no scale to point into
  if (d < 0) d = 0;
  if (d > length) d = length;
  return MulDivRound(d, 100, length);
}

TRect SliderThumbRect(int width, int height, int stored) {
  int offset = SliderThumbOffset(width, height, stored);
  if (Horizontal(width, height)) return {offset - 4, 1, offset + 3, height - 2};
  return {1, offset - 4, width - 2, offset + 3};
}

int SliderLogPosition(int x) {
  return static_cast<int>(std::trunc(std::log(x + 1.0) / std::log(101.0) * 100.0));
}

int SliderStoredForLog(int value) {
  int best = 0;
  for (int i = 0; i <= 100; ++i)
    if (SliderLogPosition(i) <= value) best = i;
  return best;
}
