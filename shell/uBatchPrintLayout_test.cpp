#include "shell/uBatchPrintLayout.h"

#include <gtest/gtest.h>

namespace {
constexpr int kW = 4800, kH = 6600;  // a portrait page at 600 dpi (203 mm wide)
}

TEST(BatchPrintLayout, GridsPerStyleAndPosition) {
  struct Case {
    const char* what;
    int style, perPage;
    bool landscape;
    int pageW, pageH;
    int rows, columns, cellW, cellH, offX, offY;
    bool onePerJob, noRotate;
  };
  const Case cases[] = {
      {"separate, one per job", bpSeparatePictures, 0, false, kW, kH, 1, 1, kW, kH, 0, 0, true,
       false},
      {"separate, 2", bpSeparatePictures, 1, false, kW, kH, 2, 1, 4800, 3300, 0, 0, false, false},
      {"separate, 4", bpSeparatePictures, 2, false, kW, kH, 2, 2, 2400, 3300, 0, 0, false, false},
      {"separate, 8", bpSeparatePictures, 3, false, kW, kH, 4, 2, 2400, 1650, 0, 0, false, false},
      {"album portrait 2", bpAlbumPage, 1, false, kW, kH, 2, 1, 3300, 3300, 1500, 0, false, true},
      {"album portrait 6", bpAlbumPage, 2, false, kW, kH, 3, 2, 2200, 2200, 400, 0, false, true},
      {"album portrait 12", bpAlbumPage, 3, false, kW, kH, 4, 3, 1650, 1650, 0, 0, false, true},
      {"album landscape 6", bpAlbumPage, 2, true, kH, kW, 2, 3, 2200, 2200, 0, 400, false, true},
      {"album landscape 12", bpAlbumPage, 3, true, kH, kW, 3, 4, 1650, 1650, 0, 0, false, true},
      // Position 0 has no column: one square cell per page instead of a division by zero.
      {"album portrait, position 0", bpAlbumPage, 0, false, kW, kH, 1, 1, kW, kW, 0, 0, false,
       true},
      {"album landscape, position 0", bpAlbumPage, 0, true, kH, kW, 1, 1, kW, kW, 0, 0, false,
       true},
  };
  for (const Case& c : cases) {
    const tBatchPrintLayout l = BatchPrintLayout(c.style, c.perPage, c.landscape, c.pageW, c.pageH,
                                                 203, 3);
    EXPECT_EQ(l.Rows, c.rows) << c.what;
    EXPECT_EQ(l.Columns, c.columns) << c.what;
    EXPECT_EQ(l.CellsPerPage, c.rows * c.columns) << c.what;
    EXPECT_EQ(l.CellWidth, c.cellW) << c.what;
    EXPECT_EQ(l.CellHeight, c.cellH) << c.what;
    EXPECT_EQ(l.GridOffset, (TPoint{c.offX, c.offY})) << c.what;
    EXPECT_EQ(l.OnePerJob, c.onePerJob) << c.what;
    EXPECT_EQ(l.NoRotate, c.noRotate) << c.what;
    EXPECT_EQ(l.Border, 3 * c.pageW / 203) << c.what;
    EXPECT_EQ(l.BoxWidth, c.cellW - 2 * l.Border) << c.what;
    EXPECT_EQ(l.BoxHeight, c.cellH - 2 * l.Border) << c.what;
  }
}

TEST(BatchPrintLayout, BorderInMillimetres) {
  // 0 mm reported: 209 mm taken.
  EXPECT_EQ(BatchPrintLayout(bpSeparatePictures, 1, false, 2090, 2956, 0, 5).Border, 50);
  EXPECT_EQ(BatchPrintLayout(bpSeparatePictures, 1, false, 2090, 2956, 209, 0).Border, 0);
  // A page size of 0 gives no division by zero and no negative box.
  const tBatchPrintLayout l = BatchPrintLayout(bpAlbumPage, 3, false, 0, 0, 0, 5);
  EXPECT_GE(l.BoxWidth, 1);
  EXPECT_GE(l.BoxHeight, 1);
  const tCellPlacement p = PlacePicture(l, 0, 10, 10, 5, 5);
  EXPECT_LE(p.Picture.Left, p.Picture.Right);
}

TEST(BatchPrintLayout, PlacementInCells) {
  // Eight per page: 4 rows x 2 columns of 2400 x 1650, border 0.
  const tBatchPrintLayout l = BatchPrintLayout(bpSeparatePictures, 3, false, kW, kH, 203, 0);
  struct Case {
    int printed, w, h;
    bool newPage, rotate;
    TRect picture;
  };
  const Case cases[] = {
      {0, 2400, 825, true, false, {0, 412, 2399, 1236}},
      // Portrait on a landscape cell: turned a quarter; cell 3 is row 1, column 1.
      {3, 1650, 2400, false, true, {2400, 1650, 4799, 3299}},
      {7, 2400, 1650, false, false, {2400, 4950, 4799, 6599}},
      // The ninth starts a new page in cell 0.
      {8, 2400, 1650, true, false, {0, 0, 2399, 1649}},
  };
  for (const Case& c : cases) {
    const tCellPlacement p = PlacePicture(l, c.printed, c.w, c.h, 100, 20);
    EXPECT_EQ(p.NewPage, c.newPage) << c.printed;
    EXPECT_EQ(p.Rotate, c.rotate) << c.printed;
    EXPECT_EQ(p.Picture, c.picture) << c.printed;
  }
  // The name sits at the cell's bottom right: right = origin + cell - 2.
  const tCellPlacement p = PlacePicture(l, 0, 2400, 825, 100, 20);
  EXPECT_EQ(p.NamePos, (TPoint{2400 - 2 - 100 + 1, 1650 - 2 - 20 + 1}));
  // A name wider than the image box is placed by the box width.
  const tCellPlacement wide = PlacePicture(l, 0, 400, 300, 9000, 20);
  EXPECT_EQ(wide.NamePos.X, 2400 - 2 - 2400 + 1);
}

TEST(BatchPrintLayout, AlbumNeverTurnsAndKeepsItsOffset) {
  const tBatchPrintLayout l = BatchPrintLayout(bpAlbumPage, 2, false, kW, kH, 203, 2);
  const int b = l.Border;
  // A wide picture on a square cell stays as it is: full box width, centred vertically.
  const int box = 2200 - 2 * b;
  const tCellPlacement p = PlacePicture(l, 1, box, box / 2, 0, 0);
  EXPECT_FALSE(p.Rotate);
  EXPECT_FALSE(PlacePicture(l, 0, 100, 300, 0, 0).Rotate);
  // Cell 1 is column 1 of row 0; the grid starts at x 400.
  EXPECT_EQ(p.Picture.Left, 400 + 2200 + b);
  EXPECT_EQ(p.Picture.Right, 400 + 2200 + b + box - 1);
  EXPECT_EQ(p.Picture.Top, b + (box - box / 2) / 2);
  EXPECT_EQ(p.CellRect, (TRect{400 + 2200, 0, 400 + 4400, 2200}));
}

TEST(BatchPrintLayout, OutlineLines) {
  const tBatchPrintLayout l = BatchPrintLayout(bpAlbumPage, 1, false, kW, kH, 203, 0);
  // 2 rows x 1 column of 3300 at x offset 1500.
  const std::vector<tGridLine> expected = {
      {{4800, 0}, {4800, 6600}}, {{1500, 6600}, {4800, 6600}}, {{1500, 0}, {4800, 0}},
      {{1500, 3300}, {4800, 3300}}, {{1500, 0}, {1500, 6600}},
  };
  EXPECT_EQ(GridOutline(l), expected);
}
