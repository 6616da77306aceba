#include "thumbnails/uShowLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(ShowLayout, CornerCycleStartsTopLeftFromTheDefault) {
  tShowLayout layout;
  layout.Init(1000, 800, 1, true, -1, 4, 3);
  const TRect expected[] = {{0, 0, 100, 50},     {900, 0, 1000, 50},  {0, 750, 100, 800},
                            {900, 750, 1000, 800}, {450, 375, 550, 425}, {0, 0, 100, 50}};
  for (const auto& r : expected) {
    layout.PlacePicture(100, 50);
    EXPECT_EQ(layout.PictureRect, r);
  }
  EXPECT_EQ(NextCornerPosition(3), -1);
  EXPECT_EQ(NextCornerPosition(-1), 0);
}

TEST(ShowLayout, CentredAndFixedCornerPlacement) {
  tShowLayout layout;
  layout.Init(1000, 800, 0, true, 2, 4, 3);
  layout.PlacePicture(100, 50);
  EXPECT_EQ(layout.PictureRect, (TRect{450, 375, 550, 425}));
  layout.PlacePicture(1200, 50);  // larger than the screen: offset 0 that way
  EXPECT_EQ(layout.PictureRect, (TRect{0, 375, 1200, 425}));
  // The slide show's fixed position: mode 1 without the cycle.
  layout.Init(1000, 800, 1, true, 3, 4, 3);
  layout.CycleCorners = false;
  layout.PlacePicture(100, 50);
  layout.PlacePicture(100, 50);
  EXPECT_EQ(layout.PictureRect, (TRect{900, 750, 1000, 800}));
  layout.CornerPosition = 1;
  layout.PlaceAgain();
  EXPECT_EQ(layout.PictureRect, (TRect{900, 0, 1000, 50}));
}

TEST(ShowLayout, FitPictureSize) {
  struct {
    int mode;
    bool original;
    int w, h;
    bool resized;
    int ow, oh;
  } cases[] = {
      {0, true, 400, 300, false, 400, 300},   // small pictures keep their size
      {0, false, 400, 300, true, 1000, 750},  // ... or fill the screen
      {0, true, 2000, 800, true, 1000, 400},  // large ones shrink
      {0, true, 1000, 800, false, 1000, 800},
      {0, true, 2000, 500, true, 1000, 250},  // wider only: still shrinks
      {2, true, 400, 300, false, 400, 300},   // float: half the screen at most
      {2, true, 800, 300, true, 500, 188},
      {2, false, 100, 100, true, 400, 400},
  };
  for (const auto& c : cases) {
    tShowLayout layout;
    layout.Init(1000, 800, c.mode, c.original, -1, 4, 3);
    int ow = 0, oh = 0;
    EXPECT_EQ(layout.FitPictureSize(c.w, c.h, ow, oh), c.resized) << c.w << "x" << c.h;
    EXPECT_EQ(ow, c.ow) << c.w << "x" << c.h;
    EXPECT_EQ(oh, c.oh) << c.w << "x" << c.h;
  }
}

TEST(ShowLayout, FloatBouncesOffAllFourEdgesAndNamesTheUncoveredStrips) {
  tShowLayout layout;
  layout.Init(100, 80, 2, true, -1, 4, 3);
  layout.PlacePicture(50, 40);
  EXPECT_EQ(layout.FloatMaxLeft, 50);
  EXPECT_EQ(layout.FloatMaxTop, 40);
  auto step = layout.FloatStep();
  EXPECT_EQ(layout.PictureRect, (TRect{4, 3, 54, 43}));
  EXPECT_EQ(step.Vertical, (TRect{0, 0, 4, 40}));     // left edge of the old place
  EXPECT_EQ(step.Horizontal, (TRect{0, 0, 50, 3}));   // top edge of the old place
  bool hitLeft = false, hitRight = false, hitTop = false, hitBottom = false;
  for (int i = 0; i < 200; ++i) {
    const TRect old = layout.PictureRect;
    step = layout.FloatStep();
    const TRect& r = layout.PictureRect;
    ASSERT_GE(r.Left, 0);
    ASSERT_GE(r.Top, 0);
    ASSERT_LE(r.Right, 100);
    ASSERT_LE(r.Bottom, 80);
    hitLeft |= r.Left == 0;
    hitRight |= r.Right == 100 - 2;  // 4-pixel steps from 0 reach 48 of 50
    hitTop |= r.Top == 0;
    hitBottom |= r.Bottom >= 80 - 3;
    if (layout.FloatDX < 0) EXPECT_EQ(step.Vertical, (TRect{old.Right - 4, old.Top, old.Right, old.Bottom}));
    if (layout.FloatDY < 0) EXPECT_EQ(step.Horizontal, (TRect{old.Left, old.Bottom - 3, old.Right, old.Bottom}));
  }
  EXPECT_TRUE(hitLeft && hitRight && hitTop && hitBottom);
}

TEST(ShowLayout, FloatPositionIsLoweredForALargerPicture) {
  tShowLayout layout;
  layout.Init(100, 80, 2, true, -1, 4, 3);
  layout.FloatLeft = 45;
  layout.FloatTop = 30;
  layout.PlacePicture(50, 50);
  EXPECT_EQ(layout.PictureRect, (TRect{45, 30, 95, 80}));
  layout.PlacePicture(60, 60);
  EXPECT_EQ(layout.PictureRect, (TRect{40, 20, 100, 80}));
}

TEST(ShowLayout, DropCells) {
  struct {
    int x, y;
    bool taken;
    int position;
  } cases[] = {{10, 10, true, 0},   {950, 10, true, 1}, {500, 400, true, -1}, {10, 790, true, 2},
               {990, 790, true, 3}, {500, 10, false, 0}, {10, 400, false, 0}, {-1, 5, false, 0}};
  for (const auto& c : cases) {
    int position = 0;
    EXPECT_EQ(DropCellPosition(c.x, c.y, 1000, 800, position), c.taken) << c.x << "," << c.y;
    if (c.taken) EXPECT_EQ(position, c.position);
  }
}

}  // namespace
