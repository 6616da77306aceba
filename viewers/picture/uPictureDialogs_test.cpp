#include <gtest/gtest.h>

#include "viewers/picture/uDetailsText.h"
#include "viewers/picture/uPaletteGrid.h"

TEST(PaletteGrid, ShapesFitTheirSizeToTheCellGrid) {
  struct Case {
    tGridShape shape;
    bool large;
    int width, height;
    int columns, rows, cellWidth, cellHeight, fittedWidth, fittedHeight;
  } cases[] = {
      {gs_4x4, false, 224, 224, 4, 4, 56, 56, 224, 224},
      {gs_16x1, false, 100, 30, 16, 1, 6, 30, 96, 30},
      {gs_8x2, false, 256, 64, 8, 2, 32, 32, 256, 64},
      {gs_8x2, true, 256, 64, 32, 8, 8, 8, 256, 64},
      {gs_1x16, false, 20, 50, 1, 16, 20, 3, 20, 48},
      {gs_4x4, true, 256, 256, 16, 16, 16, 16, 256, 256},
      {gs_2x8, true, 250, 250, 8, 32, 31, 7, 248, 224},
      // Smaller than the grid: one pixel a cell.
      {gs_16x1, true, 10, 10, 64, 4, 1, 2, 64, 8},
  };
  for (const Case& c : cases) {
    tGridMetrics m = GridMetrics(c.shape, c.large, c.width, c.height);
    EXPECT_EQ(m.Columns, c.columns) << c.shape;
    EXPECT_EQ(m.Rows, c.rows) << c.shape;
    EXPECT_EQ(m.CellWidth, c.cellWidth) << c.shape;
    EXPECT_EQ(m.CellHeight, c.cellHeight) << c.shape;
    EXPECT_EQ(m.Width, c.fittedWidth) << c.shape;
    EXPECT_EQ(m.Height, c.fittedHeight) << c.shape;
  }
}

TEST(PaletteGrid, CellUnderAPointIsLimitedToTheGrid) {
  tGridMetrics m = GridMetrics(gs_4x4, false, 224, 224);
  EXPECT_EQ(CellAt(m, 0, 0), 0);
  EXPECT_EQ(CellAt(m, 57, 0), 1);
  EXPECT_EQ(CellAt(m, 0, 56), 4);
  EXPECT_EQ(CellAt(m, 223, 223), 15);
  EXPECT_EQ(CellAt(m, 5000, -30), 3);
  EXPECT_EQ(CellAt(m, -1, 9999), 12);
}

TEST(PaletteGrid, ArrowKeysMoveAmongTheCellsInUse) {
  const tGridMetrics m = GridMetrics(gs_4x4, false, 224, 224);
  using K = tGridKey;
  struct Case {
    int count, from;
    K key;
    int to;
  } cases[] = {
      {16, 0, K::Right, 1},  {16, 15, K::Right, 0}, {16, 0, K::Left, 15},
      {16, 5, K::Left, 4},   {16, 1, K::Down, 5},   {16, 13, K::Down, 2},
      {16, 15, K::Down, 0},  {16, 6, K::Up, 2},     {16, 2, K::Up, 13},
      {16, 0, K::Up, 15},    {16, 9, K::Home, 0},   {16, 3, K::End, 15},
      // Two colours: the other 14 cells cannot be reached.
      {2, 1, K::Right, 0},   {2, 0, K::Left, 1},    {2, 1, K::Down, 0},
      {2, 0, K::Down, 1},    {2, 0, K::Up, 1},      {2, 1, K::Up, 0},
      {2, 0, K::End, 1},
      // Ten colours: columns of three and two cells.
      {10, 2, K::Up, 9},     {10, 3, K::Up, 6},     {10, 0, K::Up, 7},
      {10, 9, K::Down, 2},   {10, 6, K::Down, 3},
  };
  for (const Case& c : cases) {
    const int to = MoveFocus(m, c.count, c.from, c.key);
    EXPECT_EQ(to, c.to) << c.count << " " << c.from << " " << static_cast<int>(c.key);
    EXPECT_LT(to, c.count);
  }
}

TEST(PaletteGrid, MarkAndTexts) {
  EXPECT_EQ(MarkColor(0x000000), 0xFFFFFFu);
  EXPECT_EQ(MarkColor(0xFFFFFF), 0x000000u);
  EXPECT_EQ(MarkColor(0x7F80FF), 0xFF0000u);
  EXPECT_EQ(FrameWidth(13), 1);
  EXPECT_EQ(FrameWidth(14), 2);
  const uint8_t rgb[] = {1, 2, 3, 250, 128, 0};
  EXPECT_EQ(PaletteIndexText(1, rgb, 2), "color number=1\rr=250\rg=128\rb=0");
  EXPECT_EQ(PaletteIndexText(-1, rgb, 2), "(none)");
  EXPECT_EQ(PaletteIndexText(2, rgb, 2), "(none)");
  EXPECT_EQ(DetailsPaletteText(0, rgb, 2), "Image Palette:\rcolor number=0\rR=1, G=2, B=3");
  // A picture's colour count never makes a copy read past a palette.
  for (auto [given, used] : {std::pair{0, 2}, {1, 2}, {2, 2}, {16, 16}, {256, 256}, {257, 256},
                             {65536, 256}, {-5, 2}})
    EXPECT_EQ(PaletteCopyCount(given), used) << given;
}

TEST(DetailsText, KindsColoursAndOptionalLines) {
  const std::vector<std::string> info = {"kFile: a.gif", "bSize: 10 x 20", "gLZW codes: 9",
                                         "mimg tag", "rA comment", "RAnother", "", "xodd"};
  int optional = -1;
  std::vector<tDetailLine> shown = DetailLines(info, false, optional);
  EXPECT_EQ(optional, 2);
  ASSERT_EQ(shown.size(), 6u);
  EXPECT_EQ(shown[0].Text, "File: a.gif");
  EXPECT_EQ(shown[0].Color, 0u);
  EXPECT_EQ(shown[1].Color, 0xFF0000u);
  EXPECT_EQ(shown[2].Text, "A comment");
  EXPECT_EQ(shown[2].Color, 0x0000FFu);
  EXPECT_EQ(shown[3].Color, 0x0000FFu);
  EXPECT_EQ(shown[4].Text, "");
  std::vector<tDetailLine> all = DetailLines(info, true, optional);
  ASSERT_EQ(all.size(), 8u);
  EXPECT_EQ(all[2].Text, "LZW codes: 9");
  EXPECT_EQ(all[2].Color, 0x008000u);
  EXPECT_EQ(all[3].Color, 0u);
}

TEST(DetailsText, CaptionRowsClipAndComments) {
  EXPECT_EQ(DetailsCaption("C:\\pics\\a b.gif", false), "a b.gif details");
  EXPECT_EQ(DetailsCaption("C:\\pics\\a.png", true), "a.png details and comments");
  EXPECT_EQ(DetailsRows(0), 5);
  EXPECT_EQ(DetailsRows(12), 12);
  EXPECT_EQ(DetailsRows(40), 20);
  EXPECT_TRUE(ClipTooSmall({10, 10, 10, 10}));
  EXPECT_TRUE(ClipTooSmall({10, 10, 17, 50}));
  EXPECT_TRUE(ClipTooSmall({50, 50, 0, 43}));
  EXPECT_FALSE(ClipTooSmall({50, 50, 42, 42}));
  EXPECT_FALSE(ClipTooSmall({0, 0, 8, 8}));
  EXPECT_EQ(CommentsFileName("C:\\Program Files\\Tavis\\Tavishore32.exe"),
            "C:\\Program Files\\Tavis\\Tavishore32.cmt");
  EXPECT_EQ(CommentsCaption(""), "Enter Comments");
  EXPECT_EQ(CommentsCaption("x"), "Edit Comments");
}
