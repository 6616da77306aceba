#include "imaging/formats/gIMG.h"

#include <gtest/gtest.h>

#include "imaging/formats/ReaderTestUtil.h"
#include "tests/DiffDecode.h"

namespace {

using readertest::Decode;
using readertest::Indices;
using readertest::PutBE16;
using tBytes = std::vector<uint8_t>;

// A GEM image made opcode by opcode: the recipe is the fixture.
struct tGem {
  int version = 1, headerWords = 8, planes = 1, patternLength = 2, width = 16, height = 2;
  tBytes body;

  tGem& Bits(const tBytes& bytes) {
    body.insert(body.end(), {0x80, static_cast<uint8_t>(bytes.size())});
    body.insert(body.end(), bytes.begin(), bytes.end());
    return *this;
  }
  tGem& Solid(int count, bool set) {
    body.push_back(static_cast<uint8_t>(count | (set ? 0x80 : 0)));
    return *this;
  }
  tGem& Pattern(int repeats, const tBytes& pattern) {
    body.insert(body.end(), {0, static_cast<uint8_t>(repeats)});
    body.insert(body.end(), pattern.begin(), pattern.end());
    return *this;
  }
  tGem& Replicate(int count) {
    body.insert(body.end(), {0, 0, 0xFF, static_cast<uint8_t>(count)});
    return *this;
  }
  tGem& Raw(const tBytes& bytes) {
    body.insert(body.end(), bytes.begin(), bytes.end());
    return *this;
  }
  tBytes Build() const {
    tBytes v;
    for (int w : {version, headerWords, planes, patternLength, 85, 85, width, height})
      PutBE16(v, w);
    v.insert(v.end(), body.begin(), body.end());
    return v;
  }
};

// Set bits are black (index 0); clear bits white (index 1).
TEST(ImgTest, OnePlaneOpcodes) {
  tGem g;
  g.height = 5;
  g.Solid(1, true)
      .Bits({0x0F})  // row 0
      .Replicate(3)
      .Pattern(1, {0xAA, 0x55})  // rows 1 to 3
      .Solid(2, false);          // row 4
  auto id = Decode(g.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->FormatId, fmtIMG);
  EXPECT_EQ(id->SubType, "");
  EXPECT_EQ(id->BitsPerPixel, 1);
  EXPECT_EQ(id->Colors, 2);
  EXPECT_EQ(id->GrayFlag, 1);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->RowsDone, 5);
  const tBytes want[] = {{0x00, 0xF0}, {0x55, 0xAA}, {0x55, 0xAA}, {0x55, 0xAA}, {0xFF, 0xFF}};
  for (int y = 0; y < 5; ++y)
    EXPECT_EQ(tBytes(id->Bitmap->ScanLine(y), id->Bitmap->ScanLine(y) + 2), want[y]) << y;
  EXPECT_EQ(id->Info[1], "b16x5x2 GEM/Ventura IMG ");
}

// Replication past the last row writes no further.
TEST(ImgTest, ReplicationStopsAtTheLastRow) {
  tGem g;
  g.height = 3;
  g.Bits({1, 2}).Replicate(200).Bits({3, 4});
  auto id = Decode(g.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->RowsDone, 3);
  EXPECT_EQ(id->Bitmap->ScanLine(2)[1], static_cast<uint8_t>(~4));
}

// Four plane rows of (width + 7) / 8 bytes each make a scan line, whatever the width; plane 0 is
// the lowest bit of the colour, and the colours come from the EGA palette.
TEST(ImgTest, FourPlanes) {
  tGem g;
  g.planes = 4, g.width = 13, g.height = 2;
  // Row 0: every plane clear (inverted: 15, white); row 1: plane 0 set at pixel 0, plane 1 at
  // pixel 12, plane 2 everywhere, plane 3 at pixel 8.
  g.Solid(8, false);
  g.Bits({0x80, 0x00}).Bits({0x00, 0x08}).Solid(2, true).Bits({0x00, 0x80});
  auto id = Decode(g.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->BitsPerPixel, 4);
  EXPECT_EQ(id->Colors, 16);
  EXPECT_EQ(id->GrayFlag, 0);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(Indices(*id, 0), tBytes(13, 15));
  tBytes row1(13, 15 ^ 4);
  row1[0] ^= 1, row1[12] ^= 2, row1[8] ^= 8;
  EXPECT_EQ(Indices(*id, 1), row1);
  const tBytes white = {255, 255, 255}, lightRed = {255, 85, 85}, cyan = {0, 170, 170};
  auto rgb = [&](int i) {
    return tBytes{id->Palette[i * 3], id->Palette[i * 3 + 1], id->Palette[i * 3 + 2]};
  };
  EXPECT_EQ(rgb(15), white);
  EXPECT_EQ(rgb(14), lightRed);
  EXPECT_EQ(rgb(1), cyan);
}

TEST(ImgTest, HeadersThatAreNotGem) {
  struct Case {
    const char* what;
    int tGem::*field;
    int value;
  } cases[] = {{"version 2", &tGem::version, 2}, {"9 header words", &tGem::headerWords, 9},
               {"2 planes", &tGem::planes, 2},   {"8 planes", &tGem::planes, 8},
               {"width 0", &tGem::width, 0},     {"height 30001", &tGem::height, 30001}};
  tGem good;
  good.Solid(4, true);
  ASSERT_NE(Decode(good.Build()), nullptr);
  for (const Case& c : cases) {
    tGem g = good;
    g.*c.field = c.value;
    EXPECT_EQ(Decode(g.Build()), nullptr) << c.what;
  }
}

TEST(ImgTest, Errors) {
  tGem threeBytePattern;
  threeBytePattern.patternLength = 3;
  struct Case {
    const char* what;
    tGem gem;
    int error, rowsDone;
  } cases[] = {
      {"empty bit string", tGem().Solid(2, true).Bits({}), errRunLength, 1},
      {"solid run past the line", tGem().Solid(2, true).Solid(3, true), errRunLength, 1},
      {"bit string past the line", tGem().Solid(1, true).Bits({1, 2}), errRunLength, 0},
      {"pattern runs past the line", tGem().Pattern(2, {1, 2}), errRunLength, 0},
      {"pattern longer than the line", threeBytePattern.Solid(2, true).Pattern(1, {1, 2, 3}),
       errRunLength, 1},
      {"replication without 0xFF", tGem().Solid(2, true).Raw({0, 0, 0xFE, 2}), errBadCode, 1},
      {"data ends", tGem().Solid(2, true).Raw({0x80, 2, 1}), errEndOfFile, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto id = Decode(c.gem.Build());
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->ErrorCode, c.error);
    EXPECT_EQ(id->RowsDone, c.rowsDone);
    EXPECT_EQ(id->Info.back().rfind("k" + ErrorName(c.error) + " at ", 0), 0u);
  }
}

// A bilevel picture with runs of many lengths, different on each row, as PBM.
tBytes Pbm(int width, int height) {
  std::string head = "P4\n" + std::to_string(width) + " " + std::to_string(height) + "\n";
  tBytes v(head.begin(), head.end());
  for (int y = 0; y < height; ++y) {
    tBytes row(static_cast<size_t>((width + 7) / 8), 0);
    for (int x = 0; x < width; ++x)
      if ((x / (1 + y % 11) + y / 5) % 3 == 0 || (x * 5 + y) % 23 == 0)
        row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    v.insert(v.end(), row.begin(), row.end());
  }
  return v;
}

TEST(ImgToolTest, NetpbmFilesMatchGemtopnmAndFfmpeg) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  auto dir = testsupport::ScratchDir("img_tools");
  for (auto [width, height] : {std::pair{16, 4}, {37, 23}, {200, 64}, {1000, 9}}) {
    SCOPED_TRACE(testing::Message() << width << "x" << height);
    testsupport::WriteFile(dir / "in.pbm", Pbm(width, height));
    auto file = dir / "out.img";
    ASSERT_EQ(testsupport::Run("pbmtogem '" + (dir / "in.pbm").string() + "' > '" + file.string() +
                               "' 2>/dev/null"),
              0);
    auto ours = testsupport::DecodeOurs(file);
    ASSERT_TRUE(ours.identified);
    EXPECT_EQ(ours.formatId, fmtIMG);
    EXPECT_EQ(ours.errorCode, 0);
    testsupport::RgbImage gem, ffmpeg;
    ASSERT_TRUE(
        testsupport::DecodeReference(testsupport::tReference::Netpbm, file, gem, "gemtopnm"));
    ASSERT_TRUE(readertest::DecodeFfmpeg(file, "gem_pipe", ffmpeg));
    EXPECT_EQ(testsupport::ComparePixels(ours.image, gem), "");
    EXPECT_EQ(testsupport::ComparePixels(ours.image, ffmpeg), "");
  }
}

// Four-plane files written here, every opcode used, widths on and off a multiple of 8. ffmpeg's
// palette is its own: the pictures must agree colour for colour, not in the colours themselves.
TEST(ImgToolTest, FourPlaneFilesMatchFfmpeg) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  auto dir = testsupport::ScratchDir("img_ffmpeg");
  for (int width : {13, 16, 61}) {
    SCOPED_TRACE(width);
    const int bytes = (width + 7) / 8, height = 16;
    tGem g;
    g.planes = 4, g.width = width, g.height = height;
    for (int y = 0; y < height; ++y) {
      if (y % 5 == 1) g.Replicate(2), ++y;
      for (int p = 0; p < 4; ++p) {
        tBytes plane;
        for (int i = 0; i < bytes; ++i)
          plane.push_back(static_cast<uint8_t>((y * 37 + p * 101 + i * 13) * (p + 1)));
        if ((y + p) % 4 == 0) {
          g.Solid(bytes, (y + p) % 8 == 0);
        } else if ((y + p) % 4 == 1 && bytes % 2 == 0) {
          g.Pattern(bytes / 2, {plane[0], plane[1]});
        } else {
          g.Bits(plane);
        }
      }
    }
    auto file = dir / "four.img";
    testsupport::WriteFile(file, g.Build());
    auto ours = testsupport::DecodeOurs(file);
    ASSERT_TRUE(ours.identified);
    EXPECT_EQ(ours.errorCode, 0);
    EXPECT_EQ(ours.rowsDone, height);
    testsupport::RgbImage ffmpeg;
    ASSERT_TRUE(readertest::DecodeFfmpeg(file, "gem_pipe", ffmpeg));
    EXPECT_EQ(readertest::SamePartition(ours.image, ffmpeg), "");
  }
}

}  // namespace
