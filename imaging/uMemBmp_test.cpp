#include "imaging/uMemBmp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

uint32_t Get32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct LayoutCase {
  int width, height, colors, bits;
  bool oddDepths, deepColor;
  int stride, entries, bitCount, colorCount;
  uint32_t colorsUsed;
};

TEST(MemBmp, AllocateLaysOutTheBmpImage) {
  const LayoutCase cases[] = {
      {3, 2, 0, 1, false, false, 4, 2, 1, 2, 0},
      {10, 1, 5, 8, false, false, 12, 5, 8, 5, 5},
      {10, 1, 256, 8, false, false, 12, 256, 8, 256, 0},
      {10, 1, 0, 3, false, false, 12, 256, 8, 256, 0},
      {10, 1, 0, 3, true, false, 8, 16, 4, 16, 0},
      {10, 1, 12, 4, true, false, 8, 12, 4, 12, 12},
      {10, 1, 288, 32, false, false, 32, 0, 24, 280, 0},
      {10, 1, 288, 32, false, true, 40, 0, 32, 288, 0},
      {10, 1, 304, 48, false, true, 32, 0, 24, 280, 0},
      {10, 1, 271, 12, false, false, 20, 0, 15, 271, 0},
      {10, 1, 272, 16, false, false, 20, 0, 16, 272, 0},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " bits " << c.bits);
    tMemBmp bmp;
    bmp.AllowOddDepths = c.oddDepths;
    bmp.AllowDeepColor = c.deepColor;
    bmp.Allocate(c.width, c.height, false, nullptr, c.colors, c.bits);
    EXPECT_EQ(bmp.RowStride, c.stride);
    EXPECT_EQ(bmp.PaletteSize, c.entries * 4);
    EXPECT_EQ(bmp.ImageSize, uint32_t(c.stride * c.height));
    EXPECT_EQ(bmp.FileSize, 54u + c.entries * 4 + c.stride * c.height);
    EXPECT_EQ(bmp.BitCount(), c.bitCount);
    EXPECT_EQ(bmp.ColorCount(), c.colorCount);
    const uint8_t* img = bmp.Image();
    EXPECT_EQ(img[0], 'B');
    EXPECT_EQ(img[1], 'M');
    EXPECT_EQ(Get32(img + 2), bmp.FileSize);
    EXPECT_EQ(Get32(img + 10), 54u + bmp.PaletteSize);
    EXPECT_EQ(Get32(img + 14), 40u);
    EXPECT_EQ(Get32(img + 34), bmp.ImageSize);
    EXPECT_EQ(Get32(img + 46), c.colorsUsed);
    EXPECT_EQ(bmp.Data->DataSize(), int64_t(bmp.FileSize));
  }
}

TEST(MemBmp, FirstExampleIsSeventyBytes) {
  tMemBmp bmp;
  bmp.Allocate(3, 2, false, nullptr, 0, 1);
  EXPECT_EQ(bmp.FileSize, 70u);
  EXPECT_EQ(bmp.ImageSize, 8u);
}

TEST(MemBmp, ScanLineCountsFromTheTopAndClamps) {
  tMemBmp bmp;
  bmp.Allocate(4, 5, false, nullptr, 0, 24);
  EXPECT_EQ(bmp.ScanLine(0), bmp.Bits + 4 * bmp.RowStride);
  EXPECT_EQ(bmp.ScanLine(4), bmp.Bits);
  EXPECT_EQ(bmp.ScanLine(-5), bmp.ScanLine(0));
  EXPECT_EQ(bmp.ScanLine(5 + 3), bmp.ScanLine(4));
}

TEST(MemBmp, ReallocateReplacesLayoutAndClearsRows) {
  tMemBmp bmp;
  bmp.Allocate(4, 4, false, nullptr, 0, 24);
  std::memset(bmp.Bits, 0xAB, bmp.ImageSize);
  bmp.Allocate(8, 2, false, nullptr, 0, 8);
  EXPECT_EQ(bmp.Width(), 8);
  EXPECT_EQ(bmp.BitCount(), 8);
  for (uint32_t i = 0; i < bmp.ImageSize; ++i) ASSERT_EQ(bmp.Bits[i], 0);
}

TEST(MemBmp, OversizedPictureRaisesOutOfMemory) {
  tMemBmp bmp;
  size_t old = tMemBmp::MaxDataSize;
  tMemBmp::MaxDataSize = 1000;
  EXPECT_THROW(bmp.Allocate(100, 100, false, nullptr, 0, 24), std::bad_alloc);
  tMemBmp::MaxDataSize = old;
  EXPECT_FALSE(bmp.HasLayout());
}

TEST(MemBmp, SixteenBitWithoutMasksReadsAs555) {
  tMemBmp bmp;
  bmp.Allocate(2, 1, false, nullptr, 0, 16);
  bmp.ScanLine(0)[0] = 0xFF;
  bmp.ScanLine(0)[1] = 0x7F;
  const uint8_t* rgb = bmp.GetRGBLine(0);
  EXPECT_EQ(rgb[0], 0xF8);
  EXPECT_EQ(rgb[1], 0xF8);
  EXPECT_EQ(rgb[2], 0xF8);
  EXPECT_EQ(bmp.ChannelShifts[0], -3);
  EXPECT_EQ(bmp.ChannelShifts[1], 2);
  EXPECT_EQ(bmp.ChannelShifts[2], 7);
}

TEST(MemBmp, MasksGiveChannelShifts) {
  struct Case {
    uint32_t mask;
    int32_t shift;
  } cases[] = {{0x001F, -3},      {0x07E0, 3},       {0xF800, 8}, {0xFF0000, 16},
               {0x80000000u, 24}, {0xFFE00000u, 21}, {0, 0}};
  for (const Case& c : cases) {
    tMemBmp bmp;
    bmp.Allocate(1, 1, false, nullptr, 0, 32);
    bmp.ChannelMasks[0] = c.mask;
    bmp.ChannelMasks[1] = 1;
    bmp.InitMasks();
    EXPECT_EQ(bmp.ChannelShifts[0], c.shift) << std::hex << c.mask;
  }
}

TEST(MemBmp, RgbRowsRoundTripThroughMasks) {
  for (int bits : {15, 16, 24, 32}) {
    tMemBmp bmp;
    bmp.AllowDeepColor = 1;
    bmp.Allocate(3, 2, false, nullptr, 0, bits);
    if (bits == 16) {
      bmp.ChannelMasks[0] = 0x001F, bmp.ChannelMasks[1] = 0x07E0, bmp.ChannelMasks[2] = 0xF800;
    }
    uint8_t row[9] = {0x08, 0x10, 0xF8, 0xF8, 0xFC, 0x00, 0x40, 0x80, 0xC0};
    bmp.SetRGBLine(1, row);
    const uint8_t* back = bmp.GetRGBLine(1);
    for (int i = 0; i < 9; ++i) {
      uint8_t want = row[i];
      if (bits == 15 || (bits == 16 && i % 3 != 1)) want &= 0xF8;
      if (bits == 16 && i % 3 == 1) want &= 0xFC;
      EXPECT_EQ(back[i], want) << "bits " << bits << " byte " << i;
    }
    const uint8_t blueOfFirst = back[0], redOfFirst = back[2];
    const uint8_t* swapped = bmp.GetRGBLineSwapped(1);
    EXPECT_EQ(swapped[0], redOfFirst);
    EXPECT_EQ(swapped[2], blueOfFirst);
  }
}

TEST(MemBmp, GetLine16ConvertsFromRgb) {
  tMemBmp bmp;
  bmp.Allocate(1, 1, false, nullptr, 0, 24);
  uint8_t* row = bmp.ScanLine(0);
  row[0] = 0xFF, row[1] = 0x84, row[2] = 0x42;  // blue, green, red
  EXPECT_EQ(bmp.GetLine16(0, 15)[0], (0x40 << 7) | (0x80 << 2) | (0xFF >> 3));
  EXPECT_EQ(bmp.GetLine16(0, 16)[0], (0x40 << 8) | (0x84 << 3) | (0xFF >> 3));
}

// Pixel values past the colour table must not read past it: they read as black.
TEST(MemBmp, IndicesPastTheTableReadAsBlack) {
  uint8_t quads[5 * 4];
  for (int i = 0; i < 20; ++i) quads[i] = static_cast<uint8_t>(0x80 + i);
  tMemBmp bmp;
  bmp.Allocate(4, 1, false, quads, 5, 8);
  uint8_t* row = bmp.ScanLine(0);
  row[0] = 4, row[1] = 5, row[2] = 255, row[3] = 0;
  const uint8_t* rgb = bmp.GetRGBLine(0);
  EXPECT_EQ(rgb[0], 0x80 + 16);
  for (int i = 3; i < 9; ++i) EXPECT_EQ(rgb[i], 0) << i;
  EXPECT_EQ(rgb[9], 0x80);
  const uint8_t* gray = bmp.GetGrayLine(0);  // 16 colours or fewer: grey levels in 4 bits
  EXPECT_EQ(gray[0], (0x80 + 16) >> 4);
  EXPECT_EQ(gray[1], 0);
  EXPECT_EQ(gray[2], 0);
  bmp.GrayFlag = 1;
  const uint8_t* q = bmp.GetQuantizeLine(0);
  EXPECT_EQ(q[1], 0);
  EXPECT_EQ(q[3], 0x80);
}

TEST(MemBmp, ByteLinesPackAndUnpack) {
  for (int bits : {1, 4}) {
    tMemBmp bmp;
    bmp.AllowOddDepths = 1;
    bmp.Allocate(5, 1, false, nullptr, 0, bits);
    uint8_t pixels[5] = {1, 0, 1, 1, 0};
    if (bits == 4) pixels[1] = 15, pixels[4] = 9;
    bmp.SetByteLine(0, pixels);
    const uint8_t* back = bmp.GetByteLine(0);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(back[x], pixels[x]);
    EXPECT_EQ(bmp.ScanLine(0)[0], bits == 1 ? 0xB0 : 0x1F);
  }
}

TEST(MemBmp, GrayLineOfSixteenColoursIsShifted) {
  uint8_t quads[16 * 4] = {};
  quads[3 * 4] = 0xF0;
  tMemBmp bmp;
  bmp.Allocate(1, 1, true, quads, 16, 4);
  bmp.ScanLine(0)[0] = 3;
  EXPECT_EQ(bmp.GetGrayLine(0)[0], 0x0F);
}

TEST(MemBmp, PalettesConvertBetweenTriplesAndQuads) {
  tMemBmp bmp;
  bmp.Allocate(1, 1, false, nullptr, 3, 8);
  uint8_t triples[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  bmp.SetPalette(triples);
  EXPECT_EQ(bmp.ColorTable[0], 3);
  EXPECT_EQ(bmp.ColorTable[2], 1);
  uint8_t back[768];
  bmp.GetPalette(back);
  EXPECT_EQ(0, std::memcmp(back, triples, 9));
  EXPECT_EQ(back[9], 0);
  uint8_t r[3] = {10, 11, 12}, g[3] = {20, 21, 22}, b[3] = {30, 31, 32};
  bmp.SetColormap(r, g, b);
  EXPECT_EQ(bmp.ColorTable[4], 31);
  EXPECT_EQ(bmp.ColorTable[6], 11);
  EXPECT_FALSE(bmp.SetGrayFlag(true));
  EXPECT_TRUE(bmp.SetGrayFlag(false));
}

TEST(MemBmp, RowRoutines) {
  uint8_t packed[2] = {0xA5, 0x3C}, out[16], again[2];
  UnpackPixels(packed, out, 2, 2);
  const uint8_t want2[8] = {2, 2, 1, 1, 0, 3, 3, 0};
  EXPECT_EQ(0, std::memcmp(out, want2, 8));
  PackPixels(out, again, 2, 2);
  EXPECT_EQ(0, std::memcmp(again, packed, 2));

  // Two planes of one byte: plane 0 = 0xF0, plane 1 = 0xCC.
  uint8_t planes[2] = {0xF0, 0xCC}, chunky[8];
  PlanarToChunky(planes, chunky, 1, 2);
  const uint8_t forward[8] = {3, 3, 1, 1, 2, 2, 0, 0};
  EXPECT_EQ(0, std::memcmp(chunky, forward, 8));
  PlanarToChunky(planes, chunky, 1, -2);
  const uint8_t reverse[8] = {3, 3, 2, 2, 1, 1, 0, 0};
  EXPECT_EQ(0, std::memcmp(chunky, reverse, 8));

  uint8_t rgb[6] = {1, 2, 3, 4, 5, 6};
  SwapRedBlue(rgb, 2);
  const uint8_t swapped[6] = {3, 2, 1, 6, 5, 4};
  EXPECT_EQ(0, std::memcmp(rgb, swapped, 6));
}

TEST(MemBmpRows, SwapRedBlueEveryLengthInPlaceAndCopied) {
  // Rows of every length up to a few steps of the word-wide loop, odd and even; the bytes
  // after the row are never touched.
  for (int pixels = 0; pixels <= 11; ++pixels) {
    SCOPED_TRACE(pixels);
    std::vector<uint8_t> source(size_t(pixels) * 3 + 4), expected, copied(source.size(), 0xEE);
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 7 + 1);
    expected = source;
    for (int x = 0; x < pixels; ++x) std::swap(expected[x * 3], expected[x * 3 + 2]);
    std::vector<uint8_t> inPlace = source;
    SwapRedBlue(inPlace.data(), pixels);
    EXPECT_EQ(inPlace, expected);
    CopySwapRedBlue(source.data(), copied.data(), pixels);
    EXPECT_TRUE(std::equal(copied.begin(), copied.begin() + pixels * 3, expected.begin()));
    EXPECT_TRUE(std::all_of(copied.begin() + pixels * 3, copied.end(),
                            [](uint8_t b) { return b == 0xEE; }));
  }
}

TEST(MemBmpRows, ExchangeRowsEveryLength) {
  // Two rows back to back as a picture holds them, then bytes that must stay as they were;
  // lengths up to a few steps of the word-wide loops, whole pixels and not.
  for (bool swap : {false, true}) {
    for (size_t bytes = 0; bytes <= 40; ++bytes) {
      SCOPED_TRACE(testing::Message() << "swap " << swap << " bytes " << bytes);
      std::vector<uint8_t> buffer(2 * bytes + 4);
      for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(i * 7 + 1);
      auto turned = [&](const uint8_t* row) {
        std::vector<uint8_t> v(row, row + bytes);
        if (swap)
          for (size_t x = 0; x + 3 <= bytes; x += 3) std::swap(v[x], v[x + 2]);
        return v;
      };
      std::vector<uint8_t> expected = turned(buffer.data() + bytes), second = turned(buffer.data());
      expected.insert(expected.end(), second.begin(), second.end());
      expected.insert(expected.end(), buffer.end() - 4, buffer.end());
      ExchangeRows(buffer.data(), buffer.data() + bytes, bytes, swap);
      EXPECT_EQ(buffer, expected);
      // One row with itself: only its pixels turn.
      std::vector<uint8_t> row(expected.begin(), expected.begin() + bytes);
      ExchangeRows(row.data(), row.data(), bytes, swap);
      EXPECT_EQ(row, turned(expected.data()));
    }
  }
}

}  // namespace
