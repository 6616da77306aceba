#include "imaging/Quantize.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "imaging/PictureTestUtil.h"
#include "imaging/uImageOps.h"
#include "tests/DiffDecode.h"

namespace {

using pictest::FromBgr;
using pictest::Pixel;

std::unique_ptr<tMemBmp> Noise(int width, int height, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> bgr(size_t(width) * height * 3);
  for (auto& v : bgr) v = static_cast<uint8_t>(rng());
  return FromBgr(width, height, bgr);
}

std::unique_ptr<tMemBmp> Flat(int width, int height, uint8_t b, uint8_t g, uint8_t r) {
  std::vector<uint8_t> bgr;
  for (int i = 0; i < width * height; ++i) bgr.insert(bgr.end(), {b, g, r});
  return FromBgr(width, height, bgr);
}

// The quantizer's distance: red counts twice, green three times, blue once.
double Weighted(const uint8_t* bgr, const uint8_t* rgb) {
  double db = bgr[0] - rgb[2], dg = 3.0 * (bgr[1] - rgb[1]), dr = 2.0 * (bgr[2] - rgb[0]);
  return std::sqrt(db * db + dg * dg + dr * dr);
}

TEST(Quantize, MappingWithoutDitherTakesTheNearestEntry) {
  std::mt19937 rng(5);
  tRGBPalette palette{};
  for (int i = 0; i < 16 * 3; ++i) palette[i] = static_cast<uint8_t>(rng());
  auto picture = Noise(64, 48, 9);
  // Pixels equal to an entry take exactly that entry.
  for (int i = 0; i < 16; ++i) {
    uint8_t* p = picture->ScanLine(0) + i * 3;
    p[0] = palette[i * 3 + 2], p[1] = palette[i * 3 + 1], p[2] = palette[i * 3];
  }
  auto out = MapToPalette(*picture, 16, palette);
  ASSERT_EQ(out->BitCount(), 8);  // 4 bits are stored as 8 unless odd depths are allowed
  ASSERT_EQ(out->PaletteEntries(), 16);
  EXPECT_EQ(out->GrayFlag, 0);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(Pixel(*out, i, 0), uint32_t(i));
  // Every other pixel takes the nearest entry, up to the quantizer's histogram cells (5 bits of
  // blue and red, 6 of green): at most twice a cell's half-diagonal further than the best.
  const double slack = 2 * std::sqrt(4.0 * 4 + 6.0 * 6 + 8.0 * 8);
  for (int y = 0; y < picture->Height(); ++y) {
    const uint8_t* src = picture->ScanLine(y);
    for (int x = 0; x < picture->Width(); ++x) {
      double best = 1e9;
      for (int i = 0; i < 16; ++i) best = std::min(best, Weighted(src + x * 3, &palette[i * 3]));
      double chosen = Weighted(src + x * 3, &palette[Pixel(*out, x, y) * 3]);
      ASSERT_LE(chosen, best + slack) << x << "," << y;
    }
  }
  EXPECT_EQ(picture->BitCount(), 24);  // the input is left alone
}

TEST(Quantize, PaletteSizesFollowTheColourCount) {
  auto picture = Noise(40, 30, 1);
  const std::pair<int, int> cases[] = {{8, 8}, {16, 8}, {256, 8}, {100, 8}, {30, 8}};
  for (auto [n, bits] : cases) {
    auto out = ReduceOptimalDithered(*picture, n);
    EXPECT_EQ(out->BitCount(), bits) << n;
    EXPECT_EQ(out->PaletteEntries(), 1 << BitsForColors(n)) << n;
    int32_t counts[256];
    Histogram(*out, counts, nullptr);
    for (int i = n; i < 256; ++i) EXPECT_EQ(counts[i], 0) << n << " index " << i;
  }
  EXPECT_EQ(ReduceOptimal(*picture, 4)->PaletteEntries(), 8);
  EXPECT_EQ(ReduceOptimal(*picture, 300)->PaletteEntries(), 256);
  EXPECT_EQ(ReduceTo256(*picture)->BitCount(), 8);
  auto cube = ReduceOnePass(*picture, 27);
  EXPECT_EQ(cube->PaletteEntries(), 32);
}

TEST(Quantize, LibraryErrorsBecomeJPEGerror) {
  auto picture = Noise(8, 8, 2);
  EXPECT_THROW(ReduceOptimalDithered(*picture, 4), JPEGerror);  // the two-pass needs 8
  EXPECT_THROW(ReduceOptimalDithered(*picture, 300), JPEGerror);
  EXPECT_THROW(ReduceOnePass(*picture, 3), JPEGerror);
  EXPECT_THROW(MapToPalette(*picture, 0, GrayPalette(2)), JPEGerror);
  try {
    ReduceOptimalDithered(*picture, 2);
    FAIL();
  } catch (const JPEGerror& e) {
    EXPECT_NE(std::string(e.what()).find("8"), std::string::npos) << e.what();
  }
  // Map-only mode accepts 2 colours.
  EXPECT_EQ(MapToPalette(*picture, 2, GrayPalette(2))->BitCount(), 1);
}

TEST(Quantize, EmptyPicturesGiveEmptyResults) {
  auto empty = Noise(0, 5, 3);
  EXPECT_EQ(ReduceOptimalDithered(*empty, 256)->Width(), 0);
  EXPECT_EQ(ReduceOnePass(*empty, 256)->Height(), 5);
  EXPECT_EQ(MapToPaletteDithered(*empty, 16, GrayPalette(16))->Width(), 0);
}

TEST(Quantize, GreyReductions) {
  auto picture = Noise(20, 10, 4);
  auto bw = ReduceToGray(*picture, 2);
  EXPECT_EQ(bw->BitCount(), 1);
  EXPECT_EQ(bw->GrayFlag, 1);
  auto three = ReduceToGray(*picture, 3);
  EXPECT_EQ(three->GrayFlag, 1);
  uint8_t pal[768];
  three->GetPalette(pal);
  EXPECT_EQ(pal[3], 169);
  EXPECT_EQ(pal[6], 254);
  int32_t counts[256];
  Histogram(*three, counts, nullptr);
  EXPECT_EQ(counts[3], 0);
  EXPECT_GT(counts[0] * counts[1] * counts[2], 0);

  // Grey pictures keep the levels the new palette has.
  auto ramp = std::make_unique<tMemBmp>();
  tQuadPalette quads = RGBToQuads(GrayPalette(256));
  ramp->Allocate(256, 3, true, quads.data(), 256, 8);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 256; ++x) ramp->ScanLine(y)[x] = uint8_t(x);
  }
  auto same = ReduceToGray(*ramp, 256);
  EXPECT_EQ(std::vector<uint8_t>(same->Bits, same->Bits + same->ImageSize),
            std::vector<uint8_t>(ramp->Bits, ramp->Bits + ramp->ImageSize));
  auto sixteen = ReduceToGray(*ramp, 16);
  EXPECT_EQ(sixteen->GrayFlag, 1);
  EXPECT_EQ(Pixel(*sixteen, 31, 0), 1u);
  EXPECT_EQ(Pixel(*sixteen, 255, 2), 15u);
  EXPECT_EQ(Pixel(*sixteen, 0, 1), 0u);

  auto threshold = ThresholdBlackWhite(*Flat(4, 4, 100, 100, 100));
  EXPECT_EQ(threshold->GrayFlag, 1);
  EXPECT_EQ(Pixel(*threshold, 2, 2), 0u);
  EXPECT_EQ(Pixel(*ThresholdBlackWhite(*Flat(4, 4, 150, 150, 150)), 2, 2), 1u);
}

TEST(Quantize, PlusLimePalettes) {
  auto picture = Noise(30, 20, 6);
  auto plus = ReducePlusLime(*picture);
  ASSERT_EQ(plus->PaletteEntries(), 256);
  uint8_t pal[768];
  plus->GetPalette(pal);
  EXPECT_EQ(pal[765], 0);
  EXPECT_EQ(pal[766], 255);
  EXPECT_EQ(pal[767], 0);
  int32_t counts[256];
  Histogram(*plus, counts, nullptr);
  EXPECT_EQ(counts[255], 0);

  auto grey = GrayPlusLime(*picture);
  grey->GetPalette(pal);
  EXPECT_EQ(pal[3 * 254], 254);
  EXPECT_EQ(pal[766], 255);
  EXPECT_EQ(pal[765], 0);
  Histogram(*grey, counts, nullptr);
  EXPECT_EQ(counts[255], 0);
}

TEST(Quantize, NegativeImage) {
  // 256 greys: level v becomes 255 - v exactly.
  auto ramp = std::make_unique<tMemBmp>();
  tQuadPalette quads = RGBToQuads(GrayPalette(256));
  ramp->Allocate(256, 2, true, quads.data(), 256, 8);
  for (int x = 0; x < 256; ++x) ramp->ScanLine(0)[x] = ramp->ScanLine(1)[255 - x] = uint8_t(x);
  auto neg = NegativeImage(*ramp);
  EXPECT_EQ(neg->GrayFlag, 1);
  for (int x = 0; x < 256; ++x) {
    ASSERT_EQ(Pixel(*neg, x, 0), uint32_t(255 - x));
    ASSERT_EQ(Pixel(*neg, x, 1), uint32_t(x));
  }
  // True colour: every byte.
  auto noise = Noise(5, 3, 7);
  auto inv = NegativeImage(*noise);
  for (int y = 0; y < 3; ++y) {
    for (int i = 0; i < 15; ++i) ASSERT_EQ(inv->ScanLine(y)[i], 255 - noise->ScanLine(y)[i]);
  }
  // Other palette pictures: the table, not the indices.
  auto pal = pictest::Pattern(9, 4, 4);
  auto palNeg = NegativeImage(*pal);
  EXPECT_EQ(std::vector<uint8_t>(palNeg->Bits, palNeg->Bits + palNeg->ImageSize),
            std::vector<uint8_t>(pal->Bits, pal->Bits + pal->ImageSize));
  EXPECT_EQ(palNeg->ColorTable[5 * 4 + 1], 255 - pal->ColorTable[5 * 4 + 1]);
}

// Row 0 runs right to left, row 1 left to right. A grey of 100 is 52 after the 1.7 gamma:
// row 0 ends white at x = 0 once two errors have gathered there; row 1 gets its carried error
// from the left and turns white at x = 2 (run the other way it would at x = 1).
TEST(Quantize, DitherToBlackWhiteIsSerpentineBurkes) {
  ASSERT_EQ(GammaTable(1.7)[100], 52);
  auto out = DitherToBlackWhite(*Flat(3, 2, 100, 100, 100));
  ASSERT_EQ(out->BitCount(), 1);
  EXPECT_EQ(out->GrayFlag, 0);
  std::vector<uint32_t> got;
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) got.push_back(Pixel(*out, x, y));
  }
  EXPECT_EQ(got, (std::vector<uint32_t>{1, 0, 0, 0, 0, 1}));
  EXPECT_EQ(ReduceToBlackWhite(*Flat(3, 2, 100, 100, 100))->GrayFlag, 1);
}

TEST(Quantize, DitherTo16KeepsTheColoursItCanShow) {
  // These EGA colours are their own choice and carry no error. The dark ones (blue, green, red,
  // brown, dark grey) add up to 255 or less after the gamma table and fall to black.
  const int keep[] = {0, 3, 5, 7, 9, 10, 11, 12, 13, 14, 15};
  tPalette16 ega = EgaPalette();
  std::vector<uint8_t> bgr;
  for (int y = 0; y < 3; ++y) {
    for (int i : keep) {
      for (int k = 0; k < 2; ++k)
        bgr.insert(bgr.end(), {ega[i * 3 + 2], ega[i * 3 + 1], ega[i * 3]});
    }
  }
  int width = static_cast<int>(std::size(keep)) * 2;
  auto out = DitherTo16(*FromBgr(width, 3, bgr));
  ASSERT_EQ(out->BitCount(), 8);
  ASSERT_EQ(out->PaletteEntries(), 16);
  EXPECT_EQ(out->ColorCount(), 16);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < width; ++x) ASSERT_EQ(Pixel(*out, x, y), uint32_t(keep[x / 2])) << x;
  }
  auto brown = DitherTo16(*Flat(4, 4, 0, 85, 170));
  int32_t counts[256];
  Histogram(*brown, counts, nullptr);
  EXPECT_EQ(counts[6], 0);
}

std::unique_ptr<tMemBmp> Greys(int width, int height, const std::vector<uint8_t>& levels) {
  auto p = std::make_unique<tMemBmp>();
  tQuadPalette quads = RGBToQuads(GrayPalette(256));
  p->Allocate(width, height, true, quads.data(), 256, 8);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) p->ScanLine(y)[x] = levels[size_t(y) * width + x];
  }
  return p;
}

std::vector<uint32_t> All(tMemBmp& p) {
  std::vector<uint32_t> v;
  for (int y = 0; y < p.Height(); ++y) {
    for (int x = 0; x < p.Width(); ++x) v.push_back(Pixel(p, x, y));
  }
  return v;
}

TEST(Quantize, EmbossImage) {
  EXPECT_EQ(All(*EmbossImage(*Greys(3, 2, std::vector<uint8_t>(6, 200)))),
            std::vector<uint32_t>(6, 227));
  EXPECT_EQ(All(*EmbossImage(*Greys(3, 2, std::vector<uint8_t>(6, 20)))),
            std::vector<uint32_t>(6, 227));
  // One dark pixel in the middle of a light 3 x 3: the pixels that have it on their right or
  // above-right turn 200, those that have it on their left or below-left turn 255.
  auto out = EmbossImage(*Greys(3, 3, {200, 200, 200, 200, 10, 200, 200, 200, 200}));
  EXPECT_EQ(out->GrayFlag, 1);
  EXPECT_EQ(All(*out), (std::vector<uint32_t>{227, 227, 255, 200, 227, 255, 200, 227, 227}));
  auto corner = EmbossImage(*Greys(3, 3, {200, 200, 200, 200, 200, 200, 200, 10, 200}));
  EXPECT_EQ(All(*corner), (std::vector<uint32_t>{227, 227, 227, 227, 227, 255, 200, 227, 255}));
}

TEST(Quantize, ImprintImage) {
  EXPECT_EQ(All(*ImprintImage(*Greys(2, 2, std::vector<uint8_t>(4, 200)))),
            std::vector<uint32_t>(4, 243));
  EXPECT_EQ(All(*ImprintImage(*Greys(2, 2, std::vector<uint8_t>(4, 100)))),
            std::vector<uint32_t>(4, 227));
  EXPECT_EQ(All(*ImprintImage(*Greys(2, 2, std::vector<uint8_t>(4, 10)))),
            std::vector<uint32_t>(4, 211));
  // Level 3 beside level 1: the right neighbour is lower (index 4), the left one too (index 0).
  auto out = ImprintImage(*Greys(3, 1, {10, 200, 10}));
  EXPECT_EQ(All(*out), (std::vector<uint32_t>{211, 195, 211}));
  auto step = ImprintImage(*Greys(3, 1, {200, 200, 10}));
  EXPECT_EQ(All(*step), (std::vector<uint32_t>{243, 255, 211}));
}

TEST(Quantize, PhotoTo256ColoursStaysCloseToTheSource) {
  if (!testsupport::HaveTool("djpeg") || !testsupport::HaveTool("convert")) GTEST_SKIP();
  testsupport::RgbImage photo;
  ASSERT_TRUE(pictest::LoadPhoto(photo));
  auto picture = pictest::FromRgbImage(photo);
  auto reduced = ReduceOptimalDithered(*picture, 256);
  double ours = pictest::MeanError(*reduced, photo);

  auto dir = testsupport::ScratchDir("quantize_photo");
  std::vector<uint8_t> ppm;
  ASSERT_EQ(
      testsupport::Run("djpeg -pnm '" + testsupport::TestData("jpeg/video-001.jpeg").string() +
                       "' > '" + (dir / "in.ppm").string() + "'"),
      0);
  ASSERT_EQ(testsupport::Run("convert '" + (dir / "in.ppm").string() + "' -colors 256 ppm:-", &ppm),
            0);
  testsupport::RgbImage magick;
  ASSERT_TRUE(testsupport::ParseNetpbm(ppm, magick));
  double theirs = pictest::MeanError(*pictest::FromRgbImage(magick), photo);
  std::printf("mean error per channel: ours %.2f, ImageMagick -colors 256 %.2f\n", ours, theirs);
  RecordProperty("ours", std::to_string(ours));
  RecordProperty("imagemagick", std::to_string(theirs));
  // Floyd-Steinberg noise costs about a level per channel against ImageMagick's dither.
  EXPECT_LT(ours, 6.0);
  EXPECT_LE(ours, theirs + 1.5);
}

// The quantizers run on our rows exactly as the library runs them on its own output: the same
// photo through djpeg's quantizing options gives the same pixels.
TEST(Quantize, SameAsTheLibrarysOwnQuantizingDecoder) {
  if (!testsupport::HaveTool("djpeg")) GTEST_SKIP();
  testsupport::RgbImage photo;
  ASSERT_TRUE(pictest::LoadPhoto(photo));
  auto picture = pictest::FromRgbImage(photo);
  std::string file = testsupport::TestData("jpeg/video-001.jpeg").string();
  struct {
    const char* options;
    tMemBmpPtr ours;
  } cases[] = {
      {"-colors 256", ReduceOptimalDithered(*picture, 256)},
      {"-colors 64 -dither none", ReduceOptimal(*picture, 64)},
      {"-colors 256 -onepass", ReduceOnePass(*picture, 256)},
      {"-colors 100 -onepass", ReduceOnePass(*picture, 100)},
  };
  for (auto& c : cases) {
    std::vector<uint8_t> ppm;
    ASSERT_EQ(testsupport::Run(std::string("djpeg -pnm ") + c.options + " '" + file + "'", &ppm),
              0);
    testsupport::RgbImage theirs;
    ASSERT_TRUE(testsupport::ParseNetpbm(ppm, theirs));
    EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*c.ours), theirs), "")
        << c.options;
  }
}

}  // namespace
