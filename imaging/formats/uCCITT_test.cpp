#include "imaging/formats/uCCITT.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "imaging/formats/gTIFTestUtil.h"
#include "imaging/formats/uCCITTCodes.h"
#include "tests/DiffDecode.h"
#include "tests/TestSupport.h"

namespace {

// Bits written most significant first, from texts of '0' and '1' (other characters ignored).
std::vector<uint8_t> Bits(const std::string& text) {
  std::vector<uint8_t> out;
  int n = 0;
  for (char c : text) {
    if (c != '0' && c != '1') continue;
    if (n % 8 == 0) out.push_back(0);
    if (c == '1') out.back() |= static_cast<uint8_t>(0x80 >> (n % 8));
    ++n;
  }
  return out;
}

// Decodes a strip; rows come back as texts of '.' (white) and '#' (black).
struct tResult {
  int code = 0;
  std::vector<std::string> rows;
};
tResult Decode(const std::vector<uint8_t>& data, tFaxParams params, int rows) {
  tBuffStream stream("strip", std::make_unique<TMemoryStream>(data), false);
  params.RowsPerStrip = static_cast<uint32_t>(rows);
  auto codec = FaxCreate(params);
  tResult r;
  r.code =
      FaxDecodeStrip(*codec, static_cast<int32_t>(data.size()), stream, [&](const uint8_t* row) {
        std::string text;
        for (uint32_t x = 0; x < params.ImageWidth; ++x)
          text += (row[x >> 3] >> (7 - (x & 7))) & 1 ? '.' : '#';
        r.rows.push_back(text);
        return static_cast<int>(r.rows.size()) == rows;
      });
  return r;
}

tFaxParams Params(int compression, int width, uint32_t g3 = 0, int fillOrder = 1) {
  tFaxParams p;
  p.Compression = static_cast<uint16_t>(compression);
  p.ImageWidth = static_cast<uint32_t>(width);
  p.Group3Options = g3;
  p.FillOrder = static_cast<uint16_t>(fillOrder);
  return p;
}

TEST(FaxTest, ModifiedHuffmanRowsAreByteAligned) {
  // Width 8: W2 B4 W2, then all white; each row padded to its byte.
  auto data = Bits("0111 011 0111 00000 | 10011 000");
  tResult r = Decode(data, Params(2, 8), 2);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.rows, (std::vector<std::string>{"..####..", "........"}));
}

TEST(FaxTest, LongRunFromThreeCodes) {
  // 2560 + 64 + 3 white pixels: extended make-up 2560, make-up 64, terminating 3.
  const int width = 2560 + 64 + 3;
  auto data = Bits("000000000001 000000011111 11011 1000");
  tResult r = Decode(data, Params(3, width), 1);
  ASSERT_EQ(r.code, 0);
  EXPECT_EQ(r.rows[0], std::string(width, '.'));
}

TEST(FaxTest, EolBeforeTheWidthFailsTheStrip) {
  // W4 then EOL in a row 8 wide.
  auto data = Bits("000000000001 1011 000000000001 10011");
  tResult r = Decode(data, Params(3, 8), 2);
  EXPECT_EQ(r.code, 12);
  EXPECT_TRUE(r.rows.empty());
}

TEST(FaxTest, T6DataThatEndsLeavesRowsWhite) {
  // Row 0: horizontal W2 B2 then V0 on the reference's end; then the data ends.
  auto data = Bits("001 0111 11 1 0000");
  tResult r = Decode(data, Params(4, 8), 3);
  EXPECT_EQ(r.code, 0);
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(r.rows[0], "..##....");
  EXPECT_EQ(r.rows[1], "........");
  EXPECT_EQ(r.rows[2], "........");
}

TEST(FaxTest, UncompressedModeInTwoDimensionalRows) {
  // Extension 111 enters uncompressed mode: "01" (white, black), "001" (2 white, black),
  // "000001" (5 white), then exit "0000001" with 0 whites and the next run black ("1"),
  // followed by V0 against the all-white reference: black to the end of the row.
  auto data = Bits("0000001111 01 001 000001 00000011 1");
  tResult r = Decode(data, Params(4, 12), 1);
  ASSERT_EQ(r.code, 0);
  EXPECT_EQ(r.rows[0], ".#..#.....##");
}

TEST(FaxTest, FillOrderTwoIsTheReversedBytes) {
  auto data = Bits("000000000001 0111 011 0111 000000000001 10011");
  auto reversed = data;
  for (uint8_t& b : reversed) b = fax::ReversedBits()[b];
  tResult a = Decode(data, Params(3, 8), 2);
  tResult b = Decode(reversed, Params(3, 8, 0, 2), 2);
  EXPECT_EQ(a.code, 0);
  EXPECT_EQ(a.rows, b.rows);
}

// Random rows with long and short runs, 1 = black.
std::vector<std::vector<uint8_t>> RandomRows(int width, int rows, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::vector<uint8_t>> out;
  for (int y = 0; y < rows; ++y) {
    std::vector<uint8_t> row((width + 7) / 8, 0);
    int x = 0, color = 0;
    while (x < width) {
      int run = rng() % 4 == 0 ? rng() % 3000 : rng() % 12;
      if (y > 0 && rng() % 3 == 0) break;  // keep some rows close to the one above
      for (int i = 0; i < run && x < width; ++i, ++x)
        if (color) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
      color ^= 1;
    }
    if (x < width && y > 0) {
      for (; x < width; ++x)
        if ((out.back()[x >> 3] >> (7 - (x & 7))) & 1)
          row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    }
    out.push_back(row);
  }
  return out;
}

TEST(FaxTest, EncoderRoundTripsEveryKind) {
  const int width = 3001, rows = 40;
  auto input = RandomRows(width, rows, 7);
  struct Kind {
    int compression;
    uint32_t g3;
    float yres;
  } kinds[] = {{3, 0, 98}, {3, 1, 98}, {3, 1, 196}, {3, 5, 196}, {3, 4, 98}, {4, 0, 0}};
  for (const Kind& k : kinds) {
    tFaxParams p = Params(k.compression, width, k.g3);
    p.YResolution = k.yres;
    auto codec = FaxCreate(p);
    codec->EncodeStart();
    for (const auto& row : input) ASSERT_EQ(codec->EncodeRow(row.data()), 0);
    codec->EncodeFinish();
    tResult r = Decode(codec->Output, p, rows);
    ASSERT_EQ(r.code, 0) << k.compression << " " << k.g3;
    ASSERT_EQ(r.rows.size(), size_t(rows));
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < width; ++x)
        ASSERT_EQ(r.rows[y][x] == '#', ((input[y][x >> 3] >> (7 - (x & 7))) & 1) == 1)
            << k.compression << " " << k.g3 << " row " << y << " x " << x;
  }
  EXPECT_EQ(FaxCreate(Params(2, 8))->EncodeRow(input[0].data()), -1);
  EXPECT_EQ(FaxCreate(Params(5, 8)), nullptr);
}

TEST(FaxTest, EncodedStripsDecodeWithLibtiff) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "no reference tools";
  const int width = 1234, rows = 30;
  auto input = RandomRows(width, rows, 11);
  auto dir = testsupport::ScratchDir("fax_libtiff");
  for (uint32_t g3 : {0u, 1u, 5u}) {
    for (int compression : {3, 4}) {
      if (compression == 4 && g3) continue;
      tFaxParams p = Params(compression, width, g3);
      p.YResolution = 196;
      auto codec = FaxCreate(p);
      codec->EncodeStart();
      for (const auto& row : input) codec->EncodeRow(row.data());
      codec->EncodeFinish();
      tifftest::tPage page = tifftest::MakePage(width, rows, {1}, 0, compression);
      page.Tags.push_back({uint16_t(compression == 3 ? 292 : 293), 4, {g3}});
      page.Strips = {codec->Output};
      auto file = dir / ("f" + std::to_string(compression) + "_" + std::to_string(g3) + ".tif");
      testsupport::WriteFile(file, tifftest::BuildTiff({page}));
      testsupport::RgbImage ref;
      ASSERT_TRUE(
          testsupport::DecodeReference(testsupport::tReference::Netpbm, file, ref, "tifftopnm"))
          << file;
      bool same = ref.width == width && ref.height == rows;
      for (int y = 0; y < rows && same; ++y)
        for (int x = 0; x < width && same; ++x)
          same = (ref.samples[size_t(y) * width + x] == 0) ==
                 (((input[y][x >> 3] >> (7 - (x & 7))) & 1) == 1);
      EXPECT_TRUE(same) << compression << " " << g3;
    }
  }
}

}  // namespace
