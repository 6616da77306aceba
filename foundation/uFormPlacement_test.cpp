#include "foundation/uFormPlacement.h"

#include <gtest/gtest.h>

namespace {

TEST(HeaderWidths, ToTextAndBack) {
  EXPECT_EQ(HeaderWidthsToText({160, 18, 18, 136, 84, 76, 69}), "160,18,18,136,84,76,69");
  EXPECT_EQ(HeaderWidthsToText({}), "");
  EXPECT_EQ(HeaderWidthsToText(std::vector<int>(100, 12345)).size(), 251u);  // 42 whole widths

  std::vector<int> widths{1, 2, 3};
  HeaderWidthsFromText("160,x,18", widths);
  EXPECT_EQ(widths, (std::vector<int>{160, 2, 18}));
  HeaderWidthsFromText("5,,-7,9,10", widths);  // empty and negative pieces count but set nothing
  EXPECT_EQ(widths, (std::vector<int>{5, 2, 18}));
  HeaderWidthsFromText("", widths);
  EXPECT_EQ(widths, (std::vector<int>{5, 2, 18}));
  HeaderWidthsFromText(" 7,8", widths);
  EXPECT_EQ(widths, (std::vector<int>{7, 8, 18}));
}

TEST(FormPlacement, PlaceKeepsRightAndBottomEdgesOnScreen) {
  int left, top;
  PlaceFormAt(100, 50, 300, 200, 1024, 740, left, top);
  EXPECT_EQ(left, 100);
  EXPECT_EQ(top, 50);
  PlaceFormAt(900, 700, 300, 200, 1024, 740, left, top);
  EXPECT_EQ(left, 724);
  EXPECT_EQ(top, 540);
  PlaceFormAt(-50, -10, 300, 200, 1024, 740, left, top);  // left and top edges are not held
  EXPECT_EQ(left, -50);
  EXPECT_EQ(top, -10);
}

TEST(FormPlacement, RestoreKeepsSizeAndPlacesOnlyOnScreen) {
  tFormRestore r = RestoreFormBounds({1004, 748, 400, 300}, 1024, 768);
  EXPECT_TRUE(r.Designed);
  EXPECT_EQ(r.Bounds.Left, 1004);
  r = RestoreFormBounds({1014, 100, 400, 300}, 1024, 768);  // screen width - 10
  EXPECT_FALSE(r.Designed);
  EXPECT_EQ(r.Bounds.Width, 400);
  EXPECT_EQ(r.Bounds.Height, 300);
  EXPECT_FALSE(RestoreFormBounds({0, 749, 400, 300}, 1024, 768).Designed);
}

TEST(FormPlacement, FrameSize) {
  tFrameInfo f;
  f.FixedFrame = 3;
  f.SizeFrame = 4;
  f.CaptionHeight = 19;
  f.MenuHeight = 19;
  f.ScrollBarSize = 17;
  struct {
    tFrameBorder border;
    bool designing, menu, scroll, vertical;
    int size;
  } cases[] = {
      {tFrameBorder::None, false, true, true, true, 0},
      {tFrameBorder::None, true, false, false, false, 8},  // design mode counts as sizeable
      {tFrameBorder::Sizeable, false, false, false, false, 8},
      {tFrameBorder::Sizeable, false, false, false, true, 8 + 18},
      {tFrameBorder::Sizeable, false, true, true, true, 8 + 18 + 20 + 16},
      {tFrameBorder::Single, false, false, true, false, 6 + 16},
      {tFrameBorder::Dialog, false, false, false, false, 8},
      {tFrameBorder::Dialog, false, true, true, true, 8 + 18 + 20 + 17},
  };
  for (auto& c : cases) {
    f.Border = c.border;
    f.Designing = c.designing;
    f.HasMenu = c.menu;
    f.HasScrollBar = c.scroll;
    EXPECT_EQ(FormFrameSize(f, c.vertical), c.size)
        << static_cast<int>(c.border) << c.designing << c.menu << c.scroll << c.vertical;
  }
}

}  // namespace
