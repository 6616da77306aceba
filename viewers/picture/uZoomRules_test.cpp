#include "viewers/picture/uZoomRules.h"

#include <gtest/gtest.h>

namespace {

TEST(ZoomRules, SelectionsUnderEightPixelsAreNotZoomed) {
  struct tCase {
    TRect r;
    bool shown;
  };
  const tCase cases[] = {
      {{0, 0, 7, 100}, false},   {{0, 0, 8, 8}, true},  {{20, 30, 12, 22}, true},
      {{20, 30, 13, 22}, false}, {{5, 5, 5, 5}, false},
  };
  for (const tCase& c : cases) EXPECT_EQ(SelectionZoomable(c.r), c.shown) << c.r.Left;
  EXPECT_FALSE(CanZoomPicture(15, 100));
  EXPECT_TRUE(CanZoomPicture(16, 16));
}

TEST(ZoomRules, MagnifierPartFollowsZoomAndProportions) {
  struct tCase {
    int w, h, zoom;
    int partW, partH;
  };
  const tCase cases[] = {
      {800, 600, 100, 800, 600},  // the whole 4:3 picture
      {800, 600, 200, 400, 300},  // half its width fills the screen
      {800, 600, 125, 640, 480},
      {1600, 300, 100, 400, 300},  // wider than 4:3: limited by the height
      {800, 600, 10, 3200, 2400},  // below 25 % counts as one quarter, no division by zero
      {800, 600, 0, 3200, 2400},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.zoom);
    tMagnifierSize s = MagnifierSource(c.w, c.h, c.zoom);
    EXPECT_EQ(s.Width, c.partW);
    EXPECT_EQ(s.Height, c.partH);
  }
  EXPECT_EQ(MagnifierQuarters(125), 5);
  EXPECT_EQ(MagnifierQuarters(24), 1);
}

TEST(ZoomRules, PointerAcrossTheScreenPansAcrossThePicture) {
  tMagnifierSize part = MagnifierSource(1600, 300, 100);
  TRect left = MagnifierPan(1600, 300, part, 0, 0, 1024, 768);
  EXPECT_EQ(left, (TRect{0, 0, 400, 300}));
  TRect right = MagnifierPan(1600, 300, part, 1024, 768, 1024, 768);
  EXPECT_EQ(right.Right, 1600);  // the picture's right edge
  TRect mid = MagnifierPan(1600, 300, part, 512, 384, 1024, 768);
  EXPECT_EQ(mid.Left, 600);
}
}  // namespace
