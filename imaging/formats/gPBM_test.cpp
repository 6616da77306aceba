#include "imaging/formats/gPBM.h"

#include <gtest/gtest.h>

#include "imaging/formats/ReaderTestUtil.h"
#include "tests/DiffDecode.h"

namespace {

using readertest::Decode;
using tBytes = std::vector<uint8_t>;

tBytes Text(const std::string& s) { return tBytes(s.begin(), s.end()); }

tBytes Rgb(tGraphicID& id, int x, int y) {
  const uint8_t* bgr = id.Bitmap->GetRGBLine(y) + 3 * x;
  return {bgr[2], bgr[1], bgr[0]};
}

TEST(PbmTest, Headers) {
  struct Case {
    std::string header;
    bool taken;
  } cases[] = {
      {"P5\n3 2\n255\n", true},
      {"P5\n3\n# a comment between width and height\n2\n255\n", true},
      {"P5\n#\n3\t#\r2#\n255 ", true},  // one comment before each token
      {"P5\n3 2 255\n", true},
      {"P5\n# one\n# two\n3 2\n255\n", false},  // two comments before one token
      {"P5 3 2\n255\n", false},
      {"P5\n0 2\n255\n", false},
      {"P5\n3 2\n256\n", false},
      {"P5\n3 2\n1\n", false},
      {"P5\n3 -2\n255\n", false},
      {"P5\n3\n", false},
      {"P5\n30000 1\n255\n", true},
      {"P5\n30001 1\n255\n", false},
      {"P6\n10000 1\n255\n", true},
      {"P6\n10001 1\n255\n", false},
      {"P6\n3 2\n65535\n", false},
      {"P6\n99999999999999999999 2\n255\n", false},
      {"P2\n3 2\n255\n", false},
      {"P3\n3 2\n255\n", false},
      {"P4\n3 2\n", false},
      {"P1\n3 2\n", false},
      {"P7\n3 2\n255\n", false},
  };
  for (const Case& c : cases) {
    tBytes file = Text(c.header);
    file.resize(file.size() + 18, 7);
    auto id = readertest::Identify(file);
    EXPECT_EQ(id != nullptr, c.taken) << c.header;
    if (id) {
      EXPECT_EQ(id->FormatId, fmtPBM) << c.header;
    }
  }
}

TEST(PbmTest, GreyMap) {
  tBytes file = Text("P5\n3 2\n255\n\n");  // the pixels start after the one blank behind 255
  file.insert(file.end(), {1, 2, 3, 4, 5});
  auto id = Decode(file);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->SubType, "type 5 grayscale");
  EXPECT_EQ(id->BitsPerPixel, 8);
  EXPECT_EQ(id->Colors, 256);
  EXPECT_EQ(id->GrayFlag, 1);
  EXPECT_EQ(id->HasPalette, 1);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(readertest::Indices(*id, 0), (tBytes{10, 1, 2}));
  EXPECT_EQ(readertest::Indices(*id, 1), (tBytes{3, 4, 5}));
  EXPECT_EQ(Rgb(*id, 1, 1), (tBytes{4, 4, 4}));
  EXPECT_EQ(id->Info[1], "b3x2x256 PBMPLUS type 5 grayscale");
}

TEST(PbmTest, PixMapAndShortData) {
  tBytes file = Text("P6\n2 2\n255\n");
  file.insert(file.end(), {1, 2, 3, 4, 5, 6, 7, 8, 9});
  auto id = Decode(file);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->SubType, "type 6");
  EXPECT_EQ(id->BitsPerPixel, 24);
  EXPECT_EQ(id->Colors, 280);
  EXPECT_EQ(id->GrayFlag, 0);
  EXPECT_EQ(Rgb(*id, 0, 0), (tBytes{1, 2, 3}));
  EXPECT_EQ(Rgb(*id, 1, 0), (tBytes{4, 5, 6}));
  // Row 1 is cut short: what came stays, the rest is black.
  EXPECT_EQ(id->ErrorCode, errEndOfFile);
  EXPECT_EQ(id->RowsDone, 1);
  EXPECT_EQ(Rgb(*id, 0, 1), (tBytes{7, 8, 9}));
  EXPECT_EQ(Rgb(*id, 1, 1), (tBytes{0, 0, 0}));
  EXPECT_EQ(id->Info.back(), "kEnd Of File at 20");
}

TEST(PbmTest, LargeRastersWholeAndCutShort) {
  // Rasters of several hundred kilobytes, rows with and without padding, each whole and cut
  // inside a pixel somewhere past the first few hundred rows.
  struct Case {
    char type;
    int width, height;
  } cases[] = {{'6', 300, 400}, {'6', 301, 400}, {'5', 1000, 300}, {'5', 1001, 300},
               {'6', 7000, 20}};
  for (const Case& c : cases) {
    const int depth = c.type == '6' ? 3 : 1;
    const size_t rowBytes = size_t(c.width) * depth;
    const auto byteAt = [](size_t i) { return static_cast<uint8_t>(i * 7 + i / 251 + 1); };
    tBytes header = Text(std::string("P") + c.type + "\n" + std::to_string(c.width) + " " +
                         std::to_string(c.height) + "\n255\n");
    for (size_t cut : {rowBytes * c.height, rowBytes * (c.height - 3) - 2, rowBytes * 5 / 2}) {
      SCOPED_TRACE(testing::Message() << "P" << c.type << " " << c.width << "x" << c.height
                                      << " raster bytes " << cut);
      tBytes file = header;
      for (size_t i = 0; i < cut; ++i) file.push_back(byteAt(i));
      auto id = Decode(file);
      ASSERT_NE(id, nullptr);
      const bool whole = cut == rowBytes * c.height;
      EXPECT_EQ(id->ErrorCode, whole ? 0 : errEndOfFile);
      EXPECT_EQ(id->RowsDone, cut / rowBytes);
      for (int y = 0; y < c.height; ++y) {
        tBytes expected(rowBytes, 0), row(rowBytes);
        for (size_t i = 0; i < rowBytes; ++i) {
          const size_t at = y * rowBytes + i;
          if (at < cut) expected[i] = byteAt(at);
        }
        if (depth == 3) {
          const uint8_t* bgr = id->Bitmap->GetRGBLine(y);
          for (size_t i = 0; i < rowBytes; i += 3)
            row[i] = bgr[i + 2], row[i + 1] = bgr[i + 1], row[i + 2] = bgr[i];
        } else {
          row = readertest::Indices(*id, y);
        }
        ASSERT_EQ(row, expected) << "row " << y;
      }
    }
  }
}

// netpbm's own files: raw ones with maximum 255 read as netpbm reads them; plain ones, bitmaps
// and other maximum values are not this reader's.
TEST(PbmToolTest, NetpbmFiles) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  auto dir = testsupport::ScratchDir("pbm_tools");
  struct Case {
    const char* command;
    bool taken;
  } cases[] = {
      {"pgmramp -diagonal 61 37", true},
      {"pgmramp -ellipse 300 7", true},
      {"ppmpat -gingham3 -color=red,green,blue 53 29", true},
      {"ppmpat -madras 200 100", true},
      {"ppmrainbow -width=77 -height=13 red green blue", true},
      {"pgmramp -diagonal 61 37 | pamtopnm -plain", false},
      {"ppmpat -madras 20 10 | pamtopnm -plain", false},
      {"pbmmake -gray 20 10", false},
      {"pbmmake -gray 20 10 | pamtopnm -plain", false},
      {"pgmramp -diagonal 61 37 | pamdepth 1", false},
      {"ppmpat -madras 20 10 | pamdepth 1", false},
      {"ppmpat -madras 20 10 | pamdepth 1 | pamtopnm -plain", false},
      {"pgmramp -diagonal 61 37 | pamdepth 65535", false},
      {"ppmpat -madras 20 10 | pamdepth 65535", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    auto file = dir / "pic.pnm";
    ASSERT_EQ(testsupport::Run(std::string(c.command) + " > '" + file.string() + "' 2>/dev/null"),
              0);
    auto ours = testsupport::DecodeOurs(file);
    ASSERT_EQ(ours.identified, c.taken);
    if (!c.taken) continue;
    EXPECT_EQ(ours.formatId, fmtPBM);
    EXPECT_EQ(ours.errorCode, 0);
    testsupport::RgbImage theirs;
    ASSERT_TRUE(
        testsupport::DecodeReference(testsupport::tReference::Netpbm, file, theirs, "pamtopnm"));
    EXPECT_EQ(testsupport::ComparePixels(ours.image, theirs), "");
  }
}

}  // namespace
