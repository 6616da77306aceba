#include "imaging/Palettes.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <span>
#include <tuple>
#include <vector>

namespace {

using tRGB = std::tuple<int, int, int>;

tRGB Entry(std::span<const uint8_t> p, int i) { return {p[i * 3], p[i * 3 + 1], p[i * 3 + 2]}; }

// Entries of a palette against their expected colours; a failure names the first that differs.
testing::AssertionResult HasEntries(std::span<const uint8_t> p,
                                    std::initializer_list<std::pair<int, tRGB>> want) {
  for (const auto& [i, rgb] : want)
    if (Entry(p, i) != rgb)
      return testing::AssertionFailure()
             << "entry " << i << " is " << testing::PrintToString(Entry(p, i)) << ", not "
             << testing::PrintToString(rgb);
  return testing::AssertionSuccess();
}

TEST(Palettes, SixteenColourTables) {
  EXPECT_TRUE(HasEntries(VgaPalette(), {{1, {0, 0, 128}},
                                        {6, {128, 128, 0}},
                                        {8, {192, 192, 192}},
                                        {13, {255, 0, 255}},
                                        {15, {255, 255, 255}}}));
  EXPECT_TRUE(
      HasEntries(EgaPalette(), {{6, {170, 85, 0}}, {8, {85, 85, 85}}, {14, {255, 255, 85}}}));
  EXPECT_TRUE(HasEntries(
      CgaPalettes(),
      {{3, {255, 255, 0}}, {6, {119, 0, 0}}, {11, {255, 255, 255}}, {15, {119, 119, 119}}}));
}

TEST(Palettes, EgaRegistersGiveTheStandardColoursAndIgnoreHighBits) {
  EXPECT_TRUE(HasEntries(
      Ega64Palette(), {{0, {0, 0, 0}}, {1, {0, 0, 170}}, {4, {170, 0, 0}}, {63, {255, 255, 255}}}));
  // The adapter's power-on register values select the 16 text colours.
  uint8_t regs[16] = {0, 1, 2, 3, 4, 5, 20, 7, 56, 57, 58, 59, 60, 61, 62, 63};
  EXPECT_EQ(EgaRegistersToRGB(regs), EgaPalette());
  for (auto& r : regs) r |= 0xC0;  // bytes from a file may carry anything above bit 5
  EXPECT_EQ(EgaRegistersToRGB(regs), EgaPalette());
}

TEST(Palettes, CubeAndThumbnailPalettes) {
  EXPECT_TRUE(HasEntries(CubePalette(), {{36 + 12 + 3, {51, 102, 153}}, {215, {255, 255, 255}}}));

  auto t = ThumbnailPalette();
  EXPECT_TRUE(HasEntries(t, {{1, {31, 31, 159}},
                             {6, {159, 95, 31}},
                             {15, {255, 255, 255}},
                             {16, {31, 31, 95}},  // (31,31,31) is left out
                             {255, {255, 255, 159}}}));
  std::set<tRGB> distinct;
  for (int i = 0; i < 256; ++i) distinct.insert(Entry(t, i));
  EXPECT_EQ(distinct.size(), 256u);
  for (int i = 17; i < 256; ++i) EXPECT_LT(Entry(t, i - 1), Entry(t, i)) << i;  // grid order
}

TEST(Palettes, GrayPalette) {
  auto ramp = GrayPalette(256);
  for (int k = 0; k < 256; ++k) ASSERT_EQ(Entry(ramp, k), tRGB(k, k, k));
  EXPECT_EQ(GrayPalette(200), ramp);
  EXPECT_EQ(GrayPalette(1), ramp);
  EXPECT_EQ(GrayPalette(0), ramp);
  EXPECT_TRUE(HasEntries(GrayPalette(2), {{0, {0, 0, 0}}, {1, {255, 255, 255}}, {2, {2, 2, 2}}}));
  auto g16 = GrayPalette(16);
  std::vector<int> want = {0, 31, 47, 63, 79, 95, 111, 127, 143, 159, 175, 191, 207, 223, 239, 255};
  for (int k = 0; k < 16; ++k) EXPECT_EQ(g16[k * 3], want[k]) << k;
  EXPECT_EQ(Entry(g16, 16), tRGB(16, 16, 16));
  auto g3 = GrayPalette(3);
  EXPECT_EQ(g3[3], 169);
  EXPECT_EQ(g3[6], 254);
  EXPECT_EQ(GrayPalette(128)[127 * 3], 255);
}

TEST(Palettes, BrowserAnd332Palettes) {
  EXPECT_TRUE(HasEntries(BrowserPalette(), {{215, {255, 255, 255}},
                                            {216, {0, 0, 0}},
                                            {217, {63, 63, 63}},
                                            {223, {255, 255, 255}},
                                            {224, {0, 0, 0}},
                                            {225, {0, 0, 128}},
                                            {241, {31, 31, 31}},
                                            {255, {255, 255, 255}}}));
  EXPECT_TRUE(HasEntries(Palette332(), {{0, {0, 0, 0}},
                                        {1, {31, 31, 95}},
                                        {32 * 2 + 4 * 5 + 3, {95, 191, 223}},
                                        {254, {255, 255, 159}},
                                        {255, {255, 255, 255}}}));
}

TEST(Palettes, LayoutConversions) {
  tRGBPalette rgb;
  for (int i = 0; i < 768; ++i) rgb[i] = static_cast<uint8_t>(i * 7 + 3);
  auto q = RGBToQuads(rgb);
  EXPECT_EQ(q[4], rgb[5]);  // blue of entry 1
  EXPECT_EQ(q[6], rgb[3]);  // red of entry 1
  EXPECT_EQ(q[7], 0);
  EXPECT_EQ(QuadsToRGB(q), rgb);
  auto bq = BGRTriplesToQuads(rgb);
  EXPECT_EQ(bq[4], rgb[3]);
  EXPECT_EQ(bq[7], 0);
  EXPECT_EQ(QuadsToBGRTriples(bq), rgb);

  uint8_t blue[3] = {1, 2, 3}, green[3] = {4, 5, 6}, red[3] = {7, 8, 9};
  const uint8_t* map[3] = {blue, green, red};
  auto cq = ColormapToQuads(map, 2);
  EXPECT_EQ(std::vector<int>(cq.begin(), cq.begin() + 12),
            (std::vector<int>{1, 4, 7, 0, 2, 5, 8, 0, 0, 0, 0, 0}));
  EXPECT_EQ(ColormapToQuads(nullptr, 5), tQuadPalette{});
}

TEST(Palettes, ShiftPalette) {
  std::vector<uint8_t> p = {0x3F, 0x01, 0xC0};
  ShiftPalette(p, 2);
  EXPECT_EQ(p, (std::vector<uint8_t>{0xFC, 0x04, 0x00}));
  ShiftPalette(p, -2);
  EXPECT_EQ(p, (std::vector<uint8_t>{0x3F, 0x01, 0x00}));
  ShiftPalette(p, 0);
  EXPECT_EQ(p, (std::vector<uint8_t>{0x3F, 0x01, 0x00}));
  ShiftPalette(p, 40);
  EXPECT_EQ(p, (std::vector<uint8_t>{0, 0, 0}));
}

TEST(Palettes, GammaTable) {
  auto id = GammaTable(1.0);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(id[i], i);
  auto g = GammaTable(1.7);
  EXPECT_EQ(g[0], 0);
  EXPECT_EQ(g[255], 255);
  EXPECT_EQ(g[128], 79);  // 255 (128/255)^1.7
  EXPECT_EQ(g[1], 0);
  for (int i = 1; i < 256; ++i) ASSERT_LE(g[i - 1], g[i]);
  auto dark = GammaTable(0.5);
  EXPECT_EQ(dark[64], 128);
}

TEST(Palettes, BitsForColors) {
  const std::pair<int, int> cases[] = {{-3, 1},  {0, 1},   {1, 1},   {2, 1},     {3, 2},
                                       {4, 2},   {5, 3},   {16, 4},  {17, 5},    {128, 7},
                                       {129, 8}, {256, 8}, {257, 8}, {100000, 8}};
  for (auto [n, bits] : cases) EXPECT_EQ(BitsForColors(n), bits) << n;
}

TEST(Palettes, IsGrayPalette) {
  auto grey = RGBToQuads(GrayPalette(256));
  auto colour = RGBToQuads(BrowserPalette());
  EXPECT_TRUE(IsGrayPalette(1, 2, colour.data()));
  EXPECT_TRUE(IsGrayPalette(1, 2, nullptr));
  EXPECT_FALSE(IsGrayPalette(8, 256, nullptr));
  EXPECT_FALSE(IsGrayPalette(24, 0, grey.data()));
  EXPECT_TRUE(IsGrayPalette(8, 256, grey.data()));
  EXPECT_FALSE(IsGrayPalette(8, 256, colour.data()));
  EXPECT_TRUE(IsGrayPalette(8, 0, colour.data()));
  EXPECT_TRUE(IsGrayPalette(8, 1, colour.data()));  // entry 0 is black
}

TEST(Palettes, NearestColor) {
  auto q = RGBToQuads(GrayPalette(2));
  // Top 6 bits: (3, 3, 3) is black exactly.
  EXPECT_EQ(NearestColor(3, 3, 3, q.data(), 2).Index, 0);
  EXPECT_EQ(NearestColor(3, 3, 3, q.data(), 2).Distance, 0);
  EXPECT_EQ(NearestColor(200, 200, 200, q.data(), 2).Index, 1);
  EXPECT_EQ(NearestColor(200, 200, 200, q.data(), 2).Distance, 3 * 13 * 13);  // 50 against 63
  uint8_t twins[8] = {10, 10, 10, 0, 10, 10, 10, 0};
  EXPECT_EQ(NearestColor(50, 50, 50, twins, 2).Index, 0);  // first of equals
  EXPECT_EQ(NearestColor(50, 50, 50, twins, 0).Index, 0);
}

TEST(Palettes, MergePaletteAppendsReusesAndStopsWhenFull) {
  tQuadPalette q{};
  q[0] = 255;  // entry 0: blue (0, 0, 255)
  int used = 1;
  uint8_t rgb[4 * 3] = {0, 0, 254, 10, 20, 30, 10, 20, 30, 200, 0, 0};
  uint8_t map[4];
  MergePalette(used, rgb, 4, map, q.data());
  EXPECT_EQ(used, 3);
  EXPECT_EQ(std::vector<int>(map, map + 4), (std::vector<int>{0, 1, 1, 2}));
  EXPECT_EQ(std::vector<int>(q.begin() + 4, q.begin() + 12),
            (std::vector<int>{30, 20, 10, 0, 0, 0, 200, 0}));

  int full = 256;
  tQuadPalette grey = RGBToQuads(GrayPalette(256));
  uint8_t one[3] = {100, 101, 180};
  MergePalette(full, one, 1, map, grey.data());
  EXPECT_EQ(full, 256);
  EXPECT_EQ(map[0], NearestColor(100, 101, 180, grey.data(), 256).Index);
}

TEST(Palettes, MergePaletteOf256ColoursIntoOneEntrySharesTheTwoDarkest) {
  tQuadPalette q{};
  q[0] = q[1] = q[2] = 255;  // background white
  int used = 1;
  tRGBPalette rgb;
  for (int i = 0; i < 256; ++i) {  // distinct on 6 bits; 7 and 200 made the darkest
    rgb[i * 3] = static_cast<uint8_t>((i & 15) * 16);
    rgb[i * 3 + 1] = static_cast<uint8_t>((i >> 4) * 16);
    rgb[i * 3 + 2] = 100;
  }
  rgb[7 * 3] = rgb[7 * 3 + 1] = rgb[7 * 3 + 2] = 0;
  rgb[200 * 3] = rgb[200 * 3 + 1] = 0;
  rgb[200 * 3 + 2] = 40;
  uint8_t map[256];
  MergePalette(used, rgb.data(), 256, map, q.data());
  EXPECT_EQ(used, 256);
  EXPECT_EQ(map[200], map[7]);
  std::set<int> entries(map, map + 256);
  EXPECT_EQ(entries.size(), 255u);
  EXPECT_EQ(entries.count(0), 0u);  // nothing was white
}

TEST(Palettes, SysColorFromThePlatform) {
  // The test programs run on the plain platform: the classic Windows scheme.
  EXPECT_EQ(SysColorToRGB(15), (std::array<uint8_t, 3>{212, 208, 200}));  // COLOR_BTNFACE
  EXPECT_EQ(SysColorToRGB(1), (std::array<uint8_t, 3>{58, 110, 165}));    // COLOR_BACKGROUND
  EXPECT_EQ(SysColorToRGB(10000), (std::array<uint8_t, 3>{0, 0, 0}));
}

}  // namespace
