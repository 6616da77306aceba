#include "thumbnails/uThumbPrint.h"

#include <gtest/gtest.h>

namespace {

// A page of 10 pixels per millimetre whose height leaves room for the page text.
tThumbPrintDevice Page(int width, int height, bool landscape = false) {
  tThumbPrintDevice d;
  d.HorzRes = width * 10;
  d.VertRes = height * 10;
  d.HorzSize = width;
  d.VertSize = height;
  d.TextHeight = 40;
  d.Landscape = landscape;
  return d;
}

TEST(ThumbPrintLayout, Table) {
  struct tCase {
    tThumbPrintDevice device;
    int count, size;
    bool center;
    int cellWidth, cellHeight, columns, rows, pages, offsetX, offsetY;
  };
  const tCase cases[] = {
      // 4 x 5 cells of 240 x 300: 25 records take two pages.
      {Page(100, 155), 25, 0, false, 240, 300, 4, 5, 2, 40, 5},
      {Page(100, 155), 25, 0, true, 240, 300, 4, 5, 2, 20, 5},
      {Page(100, 155), 20, 0, false, 240, 300, 4, 5, 1, 40, 5},
      {Page(100, 155), 1, 0, false, 240, 300, 4, 5, 1, 40, 5},
      // Landscape: centred across, to the bottom unless centring.
      {Page(155, 100, true), 7, 0, false, 240, 300, 6, 3, 1, 55, 60},
      {Page(155, 100, true), 7, 0, true, 240, 300, 6, 3, 1, 55, 30},
      // Medium and large cells; A4 at 300 dpi.
      {Page(100, 155), 9, 1, false, 300, 360, 3, 4, 1, 100, 35},
      {{2480, 3508, 210, 297, 300, 300, 50, false}, 36, 2, false, 425, 495, 5, 6, 2, 355, 244},
      // Smaller than one cell: still one column and one row.
      {Page(20, 20), 3, 2, false, 360, 420, 1, 1, 3, 0, 0},
      // A driver without millimetres: from its resolution.
      {{3000, 3000, 0, 0, 300, 300, 0, false}, 1, 0, false, 283, 353, 10, 8, 1, 170, 88},
  };
  for (const tCase& c : cases) {
    const tThumbPrintLayout l = ThumbPrintLayout(c.device, c.count, c.size, c.center);
    const std::string what = std::to_string(c.device.HorzRes) + "x" +
                             std::to_string(c.device.VertRes) + " n=" + std::to_string(c.count);
    EXPECT_EQ(l.CellWidth, c.cellWidth) << what;
    EXPECT_EQ(l.CellHeight, c.cellHeight) << what;
    EXPECT_EQ(l.Columns, c.columns) << what;
    EXPECT_EQ(l.Rows, c.rows) << what;
    EXPECT_EQ(l.Pages, c.pages) << what;
    EXPECT_EQ(l.OffsetX, c.offsetX) << what;
    EXPECT_EQ(l.OffsetY, c.offsetY) << what;
    // Every cell, the name line included, stays above the page text and on the page.
    for (int k = 0; k < c.count; ++k) {
      const tThumbPrintCell cell = ThumbPrintCell(l, k);
      if (l.Columns * l.CellWidth <= c.device.HorzRes) {
        EXPECT_LE(cell.Left + l.CellWidth, c.device.HorzRes) << what << " k=" << k;
        EXPECT_LE(cell.Top + l.CellHeight, c.device.VertRes - c.device.TextHeight) << what;
      }
    }
  }
}

TEST(ThumbPrintLayout, NothingToPrint) {
  for (const auto& [count, size] : {std::pair{0, 0}, {-3, 1}, {5, 3}, {5, -1}})
    EXPECT_EQ(ThumbPrintLayout(Page(100, 155), count, size, false).Pages, 0) << count << " " << size;
}

TEST(ThumbPrintLayout, CellsFillRowByRowAndStartPages) {
  const tThumbPrintLayout l = ThumbPrintLayout(Page(100, 155), 25, 0, false);
  const std::tuple<int, int, int, int, bool> table[] = {
      // k, page, left, top, starts a page
      {0, 0, 40, 5, true},    {1, 0, 280, 5, false},  {4, 0, 40, 305, false},
      {19, 0, 760, 1205, false}, {20, 1, 40, 5, true}, {24, 1, 40, 305, false},
  };
  for (const auto& [k, page, left, top, starts] : table) {
    const tThumbPrintCell c = ThumbPrintCell(l, k);
    EXPECT_EQ(c.Page, page) << k;
    EXPECT_EQ(c.Left, left) << k;
    EXPECT_EQ(c.Top, top) << k;
    EXPECT_EQ(c.StartsPage, starts) << k;
  }
}

TEST(ThumbPrintLayout, PageTexts) {
  EXPECT_EQ(ThumbPrintPageText(1, 1), "Page 1");
  EXPECT_EQ(ThumbPrintPageText(1, 2), "Page 1 of 2");
  EXPECT_EQ(ThumbPrintPageText(2, 2), "Page 2 of 2");
  EXPECT_EQ(ThumbPrintHeader("Tavishore 32 Gallery    %s", "Page 2 of 2"),
            "Tavishore 32 Gallery    Page 2 of 2");
  // Only the first "%s" takes the text; a user's "%" in the title stays.
  EXPECT_EQ(ThumbPrintHeader("100% %s %s", "Page 1"), "100% Page 1 %s");
}

}  // namespace
