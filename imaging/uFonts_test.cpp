#include "imaging/uFonts.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Glyph8(int c) { return {Font8x8[c], Font8x8[c] + 8}; }
std::vector<int> Glyph14(int c) { return {Font8x14[c], Font8x14[c] + 14}; }

TEST(Fonts, CodePage437Glyphs) {
  EXPECT_EQ(Glyph8(0x41), (std::vector<int>{0x30, 0x78, 0xCC, 0xCC, 0xFC, 0xCC, 0xCC, 0x00}));
  EXPECT_EQ(Glyph8(0xB3), std::vector<int>(8, 0x18));  // box drawing: vertical line
  EXPECT_EQ(Glyph8(0xDB), std::vector<int>(8, 0xFF));  // full block
  EXPECT_EQ(Glyph8(0x20), std::vector<int>(8, 0));
  EXPECT_EQ(Glyph14(0x41), (std::vector<int>{0x00, 0x00, 0x10, 0x38, 0x6C, 0xC6, 0xC6, 0xFE, 0xC6,
                                             0xC6, 0xC6, 0x00, 0x00, 0x00}));
  EXPECT_EQ(Glyph14(0xB3), std::vector<int>(14, 0x18));
  EXPECT_EQ(Glyph14(0xDB), std::vector<int>(14, 0xFF));
  EXPECT_EQ(Glyph14(0x20), std::vector<int>(14, 0));
  // Lower and upper half blocks split the cell.
  EXPECT_EQ(Glyph8(0xDC), (std::vector<int>{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Glyph14(0xDF),
            (std::vector<int>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(Fonts, EveryPrintableGlyphHasInk) {
  for (int c = 1; c < 256; ++c) {
    if (c == 0x20 || c == 0xFF) continue;
    int ink8 = 0, ink14 = 0;
    for (int r = 0; r < 8; ++r) ink8 |= Font8x8[c][r];
    for (int r = 0; r < 14; ++r) ink14 |= Font8x14[c][r];
    EXPECT_NE(ink8, 0) << std::hex << c;
    EXPECT_NE(ink14, 0) << std::hex << c;
  }
}

}  // namespace
