#include "foundation/cSmallCtlRules.h"

#include <gtest/gtest.h>

TEST(ProgressRules, SegmentsOfTheDefaultBar) {
  tProgressGeometry g;  // 104 x 18, margin 2, segments 8 wide 2 apart
  EXPECT_EQ(ProgressWorkingWidth(g), 102);
  struct {
    int percent, segments;
  } cases[] = {{0, 0}, {9, 0}, {10, 1}, {50, 5}, {52, 5}, {55, 5}, {100, 10}};
  for (auto c : cases) EXPECT_EQ(ProgressSegments(g, c.percent), c.segments) << c.percent;
  EXPECT_EQ(ProgressSegmentRect(g, 0), (TRect{2, 2, 10, 16}));
  EXPECT_EQ(ProgressSegmentRect(g, 3), (TRect{32, 2, 40, 16}));
  // A vertical bar grows from the bottom.
  tProgressGeometry v{18, 104};
  EXPECT_EQ(ProgressSegmentRect(v, 0), (TRect{2, 94, 16, 102}));
  EXPECT_EQ(ProgressSegmentRect(v, 1), (TRect{2, 84, 16, 92}));
}

TEST(ProgressRules, PercentOf) {
  EXPECT_EQ(ProgressPercentOf(1, 1000), 1);  // raised from 0
  EXPECT_EQ(ProgressPercentOf(5, 0), 0);
  EXPECT_EQ(ProgressPercentOf(0, 7), 0);
  EXPECT_EQ(ProgressPercentOf(1, 8), 12);  // 12.5 to the even neighbour
  EXPECT_EQ(ProgressPercentOf(3, 8), 38);  // 37.5
  EXPECT_EQ(ProgressPercentOf(50, 50), 100);
  EXPECT_EQ(ProgressPercentOf(int64_t{3} << 40, int64_t{4} << 40), 75);
}

TEST(ProgressRules, FitToWidth) {
  tProgressGeometry g;
  g.Width = 107;  // working width 105: 10 segments of pitch 10, 5 pixels left over
  tProgressFit fit;
  ASSERT_TRUE(ProgressFitToWidth(g, fit));
  EXPECT_EQ(fit.SegmentWidth, 8);
  EXPECT_EQ(fit.Length, 10 * 10 + 4 - 2);
  g.SegmentWidth = 5;  // pitch 7: 15 segments, pitch 105 div 15 = 7
  ASSERT_TRUE(ProgressFitToWidth(g, fit));
  EXPECT_EQ(fit.SegmentWidth, 5);
  EXPECT_EQ(fit.Length, 15 * 7 + 2);
  g.Width = 30;
  g.SegmentWidth = 4;  // working width 28: 4 segments of pitch 6, then pitch 7
  ASSERT_TRUE(ProgressFitToWidth(g, fit));
  EXPECT_EQ(fit.SegmentWidth, 5);
  EXPECT_EQ(fit.Length, 4 * 7 + 2);
  // A bar with no room for a segment has nothing to fit.
  for (tProgressGeometry tiny : {tProgressGeometry{8, 4}, tProgressGeometry{3, 1},
                                 tProgressGeometry{0, 0}, tProgressGeometry{4, 30, 20}}) {
    EXPECT_EQ(ProgressSegments(tiny, 100), 0);
    EXPECT_FALSE(ProgressFitToWidth(tiny, fit));
  }
}

TEST(SliderRules, ThumbAndPoints) {
  // Horizontal 108 x 20: scale 100 pixels from x 4.
  EXPECT_EQ(SliderThumbOffset(108, 20, 0), 4);
  EXPECT_EQ(SliderThumbOffset(108, 20, 50), 54);
  EXPECT_EQ(SliderThumbRect(108, 20, 50), (TRect{50, 1, 57, 18}));
  EXPECT_EQ(SliderPositionFromPoint(108, 20, 54, 3), 50);
  EXPECT_EQ(SliderPositionFromPoint(108, 20, -20, 3), 0);
  EXPECT_EQ(SliderPositionFromPoint(108, 20, 500, 3), 100);
  // Vertical, 100 high: position 0 is 96 pixels down, 100 is 4 down.
  EXPECT_EQ(SliderThumbOffset(20, 100, 0), 96);
  EXPECT_EQ(SliderThumbOffset(20, 100, 100), 4);
  EXPECT_EQ(SliderThumbRect(20, 100, 0), (TRect{1, 92, 18, 99}));
  EXPECT_EQ(SliderPositionFromPoint(20, 100, 5, 96), 0);
  EXPECT_EQ(SliderPositionFromPoint(20, 100, 5, 4), 100);
  EXPECT_EQ(SliderPositionFromPoint(20, 100, 5, 50), 50);
  // No scale at all on a slider 8 pixels long.
  EXPECT_EQ(SliderPositionFromPoint(8, 4, 6, 2), 0);
}

TEST(SliderRules, LogarithmicScale) {
  EXPECT_EQ(SliderLogPosition(0), 0);
  EXPECT_EQ(SliderLogPosition(10), 51);
  EXPECT_EQ(SliderLogPosition(100), 100);
  EXPECT_EQ(SliderStoredForLog(51), 10);
  EXPECT_EQ(SliderStoredForLog(100), 100);
  EXPECT_EQ(SliderStoredForLog(0), 0);
  for (int v = 0; v <= 100; ++v) {
    int s = SliderStoredForLog(v);
    EXPECT_LE(SliderLogPosition(s), v);
    if (s < 100) {
      EXPECT_GT(SliderLogPosition(s + 1), v);
    }
  }
}
