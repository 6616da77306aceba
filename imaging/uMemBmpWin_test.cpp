#include "imaging/uMemBmpWin.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Reads a DIB back as 24-bit bottom-up rows.
std::vector<uint8_t> Rows24(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<uint8_t> rows(size_t(stride) * height);
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, bitmap, 0, height, rows.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  return rows;
}

TEST(MemBmpWin, PaletteAndSixteenBitPicturesBecomeDibs) {
  struct Case {
    int bits;
  } cases[] = {{8}, {16}, {24}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    tMemBmp picture;
    uint8_t quads[2 * 4] = {0x10, 0x20, 0x30, 0, 0xF0, 0xE0, 0xD0, 0};
    picture.Allocate(3, 2, false, quads, 2, c.bits);
    // Top row: blue, green, red of the second entry in every depth.
    if (c.bits == 8) {
      picture.ScanLine(0)[1] = 1;
    } else {
      if (c.bits == 16) {
        picture.ChannelMasks[0] = 0x001F, picture.ChannelMasks[1] = 0x07E0,
        picture.ChannelMasks[2] = 0xF800;
      }
      uint8_t row[9] = {0, 0, 0, 0xF0, 0xE0, 0xD0, 0, 0, 0};
      picture.SetRGBLine(0, row);
    }
    HBITMAP bitmap = AssignToBitmap(picture);
    ASSERT_NE(bitmap, nullptr);
    std::vector<uint8_t> rows = Rows24(bitmap, 3, 2);
    DeleteObject(bitmap);
    const uint8_t* top = rows.data() + 12;  // bottom-up: the second stored row
    const uint8_t* expect = picture.GetRGBLine(0);
    EXPECT_EQ(top[3], expect[3]);
    EXPECT_EQ(top[4], expect[4]);
    EXPECT_EQ(top[5], expect[5]);
    EXPECT_NE(top[5], 0);
  }
}

TEST(MemBmpWin, ValuesPastTheTableShowBlack) {
  tMemBmp picture;
  uint8_t quads[2 * 4] = {0x10, 0x20, 0x30, 0, 0xF0, 0xE0, 0xD0, 0};
  picture.Allocate(2, 1, false, quads, 2, 8);
  picture.ScanLine(0)[0] = 1;
  picture.ScanLine(0)[1] = 200;
  HBITMAP bitmap = AssignToBitmap(picture);
  ASSERT_NE(bitmap, nullptr);
  std::vector<uint8_t> rows = Rows24(bitmap, 2, 1);
  DeleteObject(bitmap);
  EXPECT_EQ(rows[0], 0xF0);
  EXPECT_EQ(rows[3], 0);
  EXPECT_EQ(rows[4], 0);
  EXPECT_EQ(rows[5], 0);
}

TEST(MemBmpWin, NoLayoutNoBitmap) {
  tMemBmp picture;
  EXPECT_EQ(AssignToBitmap(picture), nullptr);
}

}  // namespace
