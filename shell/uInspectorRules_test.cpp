#include "shell/uInspectorRules.h"

#include <gtest/gtest.h>

TEST(InspectorRules, StripLayout) {
  EXPECT_EQ(InspectorColumns(1000, 93), 10);
  EXPECT_EQ(InspectorColumns(50, 93), 1);
  struct Row {
    int height, items, columns, rows;
  } rows[] = {{600, 50, 10, 1}, {601, 10, 10, 1}, {601, 11, 10, 2},
              {769, 20, 10, 2}, {769, 21, 10, 3}, {768, 40, 10, 2}};
  for (const Row& r : rows)
    EXPECT_EQ(InspectorRows(r.height, r.items, r.columns), r.rows) << r.height << " " << r.items;
  EXPECT_EQ(InspectorListHeight(93, 2, 17), 93 * 2 + 17 + 4);
  EXPECT_TRUE(InspectorCanAddRow(300, 93));
  EXPECT_FALSE(InspectorCanAddRow(292, 93));
}

TEST(InspectorRules, PictureTarget) {
  struct Row {
    int aw, ah, w, h;
    TRect want;
  } rows[] = {
      {400, 300, 100, 50, {152, 127, 252, 177}},   // smaller: centred at its size
      {400, 300, 800, 300, {2, 77, 402, 227}},     // wider: fitted, centred
      {400, 300, 400, 300, {2, 2, 402, 302}},      // exactly the area
  };
  for (const Row& r : rows) EXPECT_EQ(InspectorTarget(r.aw, r.ah, r.w, r.h), r.want) << r.w;
}

TEST(InspectorRules, WaitsFollowingItemsLinesHints) {
  EXPECT_EQ(InspectorFrameWait(7, true), 70);
  EXPECT_EQ(InspectorFrameWait(0, true), 100);
  EXPECT_EQ(InspectorFrameWait(7, false), 100);
  EXPECT_EQ(InspectorNextIndex(3, 5), 3);
  EXPECT_EQ(InspectorNextIndex(5, 5), 4);
  EXPECT_EQ(InspectorNextIndex(0, 0), -1);
  std::string name;
  int index = -1;
  EXPECT_TRUE(ParseInspectorLine(InspectorLine("a=b.gif", 12), name, index));
  EXPECT_EQ(name, "a=b.gif");
  EXPECT_EQ(index, 12);
  for (const char* bad : {"", "=3", "x=", "x=3a", "x=-1", "x"})
    EXPECT_FALSE(ParseInspectorLine(bad, name, index)) << bad;
  EXPECT_EQ(InspectorHint(true, true), "Click to open");
  EXPECT_EQ(InspectorHint(false, false), "Double-click to display");
}
