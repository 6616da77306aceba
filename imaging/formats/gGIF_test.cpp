#include "imaging/formats/gGIF.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "foundation/uFormat.h"
#include "imaging/formats/gGIF_testkit.h"
#include "imaging/uFonts.h"
#include "tests/DiffDecode.h"
#include "tests/TestSupport.h"

namespace {

using giftest::DecodeAll;
using giftest::HasLine;
using giftest::LiteralCodes;
using giftest::PackCodes;
using giftest::tGifBuilder;
using testsupport::RgbImage;

constexpr uint32_t kPlain = 0x20000000;

std::filesystem::path GifFile(const std::string& name) {
  auto path = testsupport::TestData("gif/" + name);
  EXPECT_TRUE(std::filesystem::exists(path)) << path;
  return path;
}

// Row-major pixel indices 0..colors-1 in a pattern that is not a plain run.
std::vector<int> Pattern(int width, int height, int colors) {
  std::vector<int> p(size_t(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) p[size_t(y) * width + x] = (x * 3 + y * 5 + x * y) % colors;
  return p;
}

class GifTest : public testing::Test {
 protected:
  void SetUp() override { GraphicOptions = 0; }
  void TearDown() override {
    GraphicOptions = 0;
    UnregisterAllFormats();
  }
};

// ---- identification and header lines

TEST_F(GifTest, SignatureRules) {
  struct Case {
    std::string signature;
    bool identified;
    int version;
  } cases[] = {{"GIF87a", true, 1},  {"GIF89a", true, 2},  {"GIF90z", true, 0},
               {"GIF8a7", false, 0}, {"GIF89A", false, 0}, {"gif89a", false, 0}};
  for (const Case& c : cases) {
    tGifBuilder b;
    b.Header(c.signature, 4, 2, 2).Image(0, 0, 4, 2, Pattern(4, 2, 4)).Trailer();
    auto d = DecodeAll(b.v);
    ASSERT_EQ(d.Id != nullptr, c.identified) << c.signature;
    if (!d.Id) continue;
    EXPECT_EQ(d.Id->FormatId, fmtGIF);
    EXPECT_EQ(d.Id->SubType, "version " + c.signature.substr(3));
    EXPECT_EQ(HasLine(*d.Id, "kUnknown GIF version \"" + c.signature.substr(3) + "\""),
              c.version == 0);
    EXPECT_EQ(d.Frames.size(), 1u) << c.signature;
    EXPECT_EQ(d.Id->ErrorCode, 0);
  }
}

TEST_F(GifTest, BackgroundIndexLine) {
  struct Case {
    int index;
    std::string line;
    int kept;
  } cases[] = {{0, "", 0},
               {5, "bBackground color 5", 5},
               {200, "bBackground color 200 (Nonsense! ignored)", 0}};
  for (const Case& c : cases) {
    tGifBuilder b;
    b.Header("GIF89a", 4, 2, 4, true, c.index).Image(0, 0, 4, 2, Pattern(4, 2, 16)).Trailer();
    auto d = DecodeAll(b.v);
    ASSERT_TRUE(d.Id);
    EXPECT_EQ(d.Id->BackgroundIndex, c.kept);
    bool any = std::any_of(d.Id->Info.begin(), d.Id->Info.end(),
                           [](const std::string& l) { return l.rfind("bBackground", 0) == 0; });
    EXPECT_EQ(any, !c.line.empty());
    if (!c.line.empty()) {
      EXPECT_TRUE(HasLine(*d.Id, c.line)) << c.index;
    }
  }
}

TEST_F(GifTest, ScreenThatCannotBeAPicture) {
  tGifBuilder b;
  b.Header("GIF89a", 0, 5, 1).Image(0, 0, 1, 1, {1}).Trailer();
  auto d = DecodeAll(b.v);
  ASSERT_TRUE(d.Id);  // still a GIF
  EXPECT_EQ(d.Id->ErrorCode, errInvalidImage);
  EXPECT_EQ(d.Id->ErrorText, "Invalid GIF: 0x5x2");
  EXPECT_TRUE(d.Frames.empty());
  EXPECT_EQ(d.DoneMessages, 1);
}

// ---- frames, rows and the LZW stream

TEST_F(GifTest, DepthsAndGlobalTableInPlainMode) {
  for (int bits : {1, 2, 3, 4, 5, 8}) {
    const int colors = 1 << bits, w = 13, h = 7;
    std::vector<int> pixels = Pattern(w, h, colors);
    tGifBuilder b;
    b.Header("GIF89a", w, h, bits).Image(0, 0, w, h, pixels, std::max(2, bits)).Trailer();
    auto d = DecodeAll(b.v);
    ASSERT_TRUE(d.Id) << bits;
    ASSERT_EQ(d.Frames.size(), 1u);
    EXPECT_EQ(d.Id->ErrorCode, 0);
    EXPECT_EQ(d.Id->Colors, colors);
    std::vector<uint8_t> table;
    tGifBuilder::PutTable(table, colors, 0);
    const RgbImage& img = d.Frames[0].Image;
    for (size_t i = 0; i < pixels.size(); ++i) {
      ASSERT_EQ(d.Frames[0].Indices[i], pixels[i]) << bits << " at " << i;
      for (int c = 0; c < 3; ++c) ASSERT_EQ(img.samples[i * 3 + c], table[pixels[i] * 3 + c]);
    }
  }
}

TEST_F(GifTest, InterlacedThreeRowFrame) {
  GraphicOptions = goDisplayInterlace;
  // Stored rows in pass order 0, 2, 1.
  tGifBuilder b;
  b.Header("GIF89a", 2, 3, 2).Image(0, 0, 2, 3, {1, 1, 3, 3, 2, 2}, 2, true).Trailer();
  auto d = DecodeAll(b.v);
  ASSERT_EQ(d.Frames.size(), 1u);
  EXPECT_EQ(d.Frames[0].Indices, (std::vector<uint8_t>{1, 1, 2, 2, 3, 3}));
  EXPECT_EQ(d.Partials, 1);
  EXPECT_TRUE(HasLine(*d.Id, "bImage  1: 2x3x2 at (   0,   0) interlaced "));
}

TEST_F(GifTest, LzwStreamEdgeCases) {
  // A 4x1 frame with minimum code size 2: clear 4, end 5.
  struct Case {
    const char* what;
    std::vector<int> codes;
    bool terminator;
    int error, warning;
    std::vector<uint8_t> row;  // expected indices (background 0 where nothing came)
    const char* line;
  } cases[] = {
      {"plain", {4, 1, 2, 3, 0, 5}, true, 0, 0, {1, 2, 3, 0}, nullptr},
      {"no leading clear", {1, 2, 3, 0, 5}, true, 0, 0, {1, 2, 3, 0}, nullptr},
      {"clear then end", {4, 5}, true, 0, 0, {0, 0, 0, 0}, nullptr},
      {"string of the entry being made", {4, 1, 6, 2, 5}, true, 0, 0, {1, 1, 1, 2}, nullptr},
      {"consecutive clears",
       {4, 4, 4, 1, 2, 3, 0, 5},
       true,
       0,
       0,
       {1, 2, 3, 0},
       "g3 consecutive clear codes"},
      {"code past next free", {4, 1, 7, 5}, true, errBadCode, 0, {0, 0, 0, 0}, nullptr},
      {"table code right after clear", {4, 6, 5}, true, errBadCode, 0, {0, 0, 0, 0}, nullptr},
      {"string longer than the pixels left",
       {4, 1, 2, 3, 7},
       true,
       errSequentialOverrun,
       0,
       {1, 2, 3, 2},
       nullptr},
      {"end code missing after the last row",
       {4, 1, 2, 3, 0},
       true,
       0,
       errFileDamaged,
       {1, 2, 3, 0},
       "gGIF ERROR! Missing LZW end code! (ignored)"},
      {"data ends early", {4, 1}, true, errFileDamaged, 0, {0, 0, 0, 0}, nullptr},
  };
  for (const Case& c : cases) {
    tGifBuilder b;
    b.Header("GIF89a", 4, 1, 2).Descriptor(0, 0, 4, 1).Data(PackCodes(2, c.codes, c.terminator));
    b.Trailer();
    auto d = DecodeAll(b.v);
    ASSERT_TRUE(d.Id) << c.what;
    ASSERT_EQ(d.Frames.size(), 1u) << c.what;
    EXPECT_EQ(d.Id->ErrorCode, c.error) << c.what;
    EXPECT_EQ(d.Id->WarningCode, c.warning) << c.what;
    EXPECT_EQ(d.Frames[0].Indices, c.row) << c.what;
    if (c.line) {
      EXPECT_TRUE(HasLine(*d.Id, c.line)) << c.what;
    }
    EXPECT_EQ(d.DoneMessages, 1) << c.what;
  }
}

TEST_F(GifTest, InterlacedOverrunIsErrorFour) {
  tGifBuilder b;
  b.Header("GIF89a", 2, 2, 2).Descriptor(0, 0, 2, 2, true);
  b.Data(PackCodes(2, {4, 1, 2, 3, 1, 2, 5})).Trailer();
  auto d = DecodeAll(b.v);
  EXPECT_EQ(d.Id->ErrorCode, errInterlaceOverrun);
  EXPECT_EQ(d.Frames[0].Indices, (std::vector<uint8_t>{1, 2, 3, 1}));
}

TEST_F(GifTest, FrameChecks) {
  struct Case {
    const char* what;
    int screenBits, left, top, width, height, localBits;
    int error;
    std::string text;
  } cases[] = {
      {"past the right edge", 2, 10, 0, 91, 1, 0, errInvalidImage, "Invalid image 91x1x2 at 10,0"},
      {"empty", 2, 0, 0, 0, 3, 0, errInvalidImage, "Invalid image 0x3x2 at 0,0"},
      {"deeper than a 1-bit screen", 1, 0, 0, 1, 1, 2, errInvalidImage, ""},
      {"fits", 2, 10, 0, 90, 1, 0, 0, ""},
  };
  for (const Case& c : cases) {
    tGifBuilder b;
    b.Header("GIF89a", 100, 4, c.screenBits)
        .Image(c.left, c.top, c.width, c.height, std::vector<int>(size_t(c.width) * c.height, 1), 2,
               false, c.localBits)
        .Trailer();
    auto d = DecodeAll(b.v);
    ASSERT_TRUE(d.Id) << c.what;
    EXPECT_EQ(d.Id->ErrorCode, c.error) << c.what;
    EXPECT_EQ(d.Id->ErrorText, c.text) << c.what;
    EXPECT_EQ(d.Frames.size(), c.error ? 0u : 1u) << c.what;
  }
}

TEST_F(GifTest, RowsBelowThePictureAreDropped) {
  // A 2x3 frame at top 2 on a 2x3 screen: only its first row lands (on the last picture row).
  tGifBuilder b;
  b.Header("GIF89a", 2, 3, 2).Image(0, 0, 2, 3, {1, 1, 1, 1, 1, 1});
  b.Image(0, 2, 2, 3, {2, 2, 3, 3, 3, 3}).Trailer();
  auto d = DecodeAll(b.v);
  ASSERT_EQ(d.Frames.size(), 2u);
  EXPECT_EQ(d.Id->ErrorCode, 0);
  EXPECT_EQ(d.Frames[1].Indices, (std::vector<uint8_t>{1, 1, 1, 1, 2, 2}));
}

TEST_F(GifTest, DamagedStreams) {
  tGifBuilder good;
  good.Header("GIF89a", 4, 4, 2).Image(0, 0, 4, 4, Pattern(4, 4, 4)).Trailer();
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int error;
    size_t frames;
  } cases[] = {
      {"no trailer", std::vector<uint8_t>(good.v.begin(), good.v.end() - 1), errEndOfFile, 1},
      {"bad block",
       [&] {
         auto v = good.v;
         v.back() = 'x';
         return v;
       }(),
       errBadBlockId, 1},
      {"minimum code size 9",
       [&] {
         tGifBuilder b;
         b.Header("GIF89a", 4, 4, 2).Descriptor(0, 0, 4, 4).Data({9, 1, 0, 0}).Trailer();
         return b.v;
       }(),
       errBadMinCode, 1},
      {"cut in the descriptor", std::vector<uint8_t>(good.v.begin(), good.v.begin() + 13 + 12 + 5),
       errEndOfFile, 0},
      {"cut in the data", std::vector<uint8_t>(good.v.begin(), good.v.end() - 4), errFileDamaged,
       1},
      {"cut in an extension",
       [&] {
         tGifBuilder b;
         b.Header("GIF89a", 4, 4, 2).Extension(0xFE, {{'a', 'b', 'c'}});
         b.v.erase(b.v.end() - 3, b.v.end());
         return b.v;
       }(),
       errEndOfFile, 0},
  };
  for (const Case& c : cases) {
    auto d = DecodeAll(c.bytes);
    ASSERT_TRUE(d.Id) << c.what;
    EXPECT_EQ(d.Id->ErrorCode, c.error) << c.what;
    EXPECT_EQ(d.Frames.size(), c.frames) << c.what;
    EXPECT_EQ(d.DoneMessages, 1) << c.what;
    EXPECT_EQ(d.Id->Info.back().substr(0, 1), "k") << c.what;
  }
}

// ---- extensions

TEST_F(GifTest, GraphicControlDelaysAndUserInput) {
  tGifBuilder b;
  b.Header("GIF89a", 2, 1, 2).Control(0, 7, -1, true).Image(0, 0, 2, 1, {1, 2});
  b.Control(2, 0, 3).Image(0, 0, 2, 1, {3, 3});
  b.Control(3, 300, 1).Image(0, 0, 2, 1, {1, 3}).Trailer();
  auto d = DecodeAll(b.v);
  ASSERT_EQ(d.Frames.size(), 4u);  // the restored picture shows as a last frame
  EXPECT_TRUE(d.Frames[0].Delayed);
  EXPECT_EQ(d.Frames[0].Delay, 7u);
  EXPECT_EQ(d.Frames[0].WaitForInput, 1);
  EXPECT_EQ(d.Frames[1].Delay, 0u);
  EXPECT_EQ(d.Frames[2].Delay, 300u);
  EXPECT_FALSE(d.Frames[3].Delayed);
  EXPECT_TRUE(HasLine(*d.Id, "bGraphic control:delay 7 (1/100th seconds) wait for key or click "));
  EXPECT_TRUE(HasLine(*d.Id, "bGraphic control:Restore to background Transparent color 3"));
  EXPECT_TRUE(HasLine(
      *d.Id,
      "bGraphic control:delay 300 (1/100th seconds) Restore to previous Transparent color 1"));
}

TEST_F(GifTest, DisposalAndTransparencyInPlainMode) {
  // Frame 2 is restored to background (index 0) before frame 3; frame 3 to the previous picture.
  tGifBuilder b;
  b.Header("GIF89a", 3, 1, 2).Image(0, 0, 3, 1, {1, 2, 3});
  b.Control(2, 0).Image(1, 0, 2, 1, {3, 3});
  b.Control(3, 0).Image(0, 0, 1, 1, {2});
  b.Image(2, 0, 1, 1, {1}).Trailer();
  auto d = DecodeAll(b.v);
  ASSERT_EQ(d.Frames.size(), 4u);
  EXPECT_EQ(d.Frames[0].Indices, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(d.Frames[1].Indices, (std::vector<uint8_t>{1, 3, 3}));
  EXPECT_EQ(d.Frames[2].Indices, (std::vector<uint8_t>{2, 0, 0}));
  EXPECT_EQ(d.Frames[3].Indices, (std::vector<uint8_t>{0, 0, 1}));
  EXPECT_EQ(d.Id->ErrorCode, 0);
}

TEST_F(GifTest, LoopModeStartsAgainAtTheFirstFrame) {
  tGifBuilder b;
  b.Header("GIF89a", 2, 1, 2).Control(0, 3).Image(0, 0, 2, 1, {1, 2});
  b.Control(2, 4).Image(1, 0, 1, 1, {3}).Trailer();
  RegisterAllFormats();
  auto* stream = new tBuffStream("loop.gif", std::make_unique<TMemoryStream>(b.v), false);
  tGraphicID id(stream);
  ASSERT_TRUE(id.IdentifyPicture());
  id.Loop = 1;
  id.LoadPicture();
  std::vector<std::vector<uint8_t>> pictures;
  for (int i = 0; i < 4; ++i) {
    const uint8_t* row = id.Bitmap->GetByteLine(0);
    pictures.emplace_back(row, row + 2);
    id.LoadNextPicture();
  }
  EXPECT_EQ(pictures, (std::vector<std::vector<uint8_t>>{{1, 2}, {1, 3}, {1, 2}, {1, 3}}));
  EXPECT_EQ(id.ImageCount, 5);
  EXPECT_TRUE(id.Stream != nullptr);
  EXPECT_EQ(id.ErrorCode, 0);
}

TEST_F(GifTest, OptionsSwitchOffDisposalAndTransparency) {
  tGifBuilder b;
  b.Header("GIF89a", 2, 1, 2).Image(0, 0, 2, 1, {1, 2});
  b.Control(2, 0, 3).Image(0, 0, 2, 1, {3, 1});
  b.Image(0, 0, 1, 1, {2}).Trailer();
  GraphicOptions = goNoGifDisposal | goNoGifTransparency;
  auto d = DecodeAll(b.v);
  ASSERT_EQ(d.Frames.size(), 3u);
  EXPECT_EQ(d.Frames[1].TransparentIndex, -1);
  EXPECT_EQ(d.Frames[2].Indices, (std::vector<uint8_t>{2, 1}));  // not restored to background
  GraphicOptions = 0;
  d = DecodeAll(b.v);
  EXPECT_EQ(d.Frames[1].TransparentIndex, 3);
  EXPECT_EQ(d.Frames[2].Indices, (std::vector<uint8_t>{2, 0}));
}

TEST_F(GifTest, Version87aControlForms) {
  tGifBuilder b;
  b.Header("GIF87a", 2, 1, 2);
  b.Extension(0x01, {{4, 1, 2}});     // delay 4 x 25, transparent 2
  b.Extension(0x01, {{1, 2, 3, 4}});  // wrong length
  b.Extension(0xFE, {{'x'}});         // not defined in 87a
  b.Image(0, 0, 2, 1, {1, 2}).Trailer();
  auto d = DecodeAll(b.v);
  ASSERT_EQ(d.Frames.size(), 1u);
  EXPECT_EQ(d.Frames[0].Delay, 100u);
  EXPECT_EQ(d.Frames[0].TransparentIndex, 2);
  EXPECT_TRUE(HasLine(*d.Id, "bGraphic control:delay 100 (1/100th seconds) Transparent color 2"));
  EXPECT_TRUE(HasLine(*d.Id, "bInvalid GIF87a extension 01 size 4"));
  EXPECT_TRUE(HasLine(*d.Id, "bUndefined GIF87a extension FE"));
  EXPECT_FALSE(d.Id->HasRemarks());
}

TEST_F(GifTest, CommentsApplicationAndOtherBlocks) {
  tGifBuilder b;
  b.Header("GIF89a", 2, 1, 2);
  b.Extension(0xFE, {{'H', 'e', 'l', 'l', 'o'}, {' ', 'y', 'o', 'u'}});
  b.Extension(0xFF, {{'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'}, {1, 0, 0}});
  b.Extension(0xFF, {{'s', 'h', 'o', 'r', 't'}});
  b.Extension(0xF9, {{1, 2, 3}});
  b.Extension(0x7A, {{1, 2, 3}});
  b.Image(0, 0, 2, 1, {1, 2}).Trailer();
  auto d = DecodeAll(b.v);
  ASSERT_EQ(d.Frames.size(), 1u);
  EXPECT_EQ(d.Id->ErrorCode, 0);
  EXPECT_TRUE(HasLine(*d.Id, "rHello you"));
  EXPECT_TRUE(HasLine(*d.Id, "gApplication extension:\"NETSCAPE\" authentication 50,46,48"));
  EXPECT_TRUE(HasLine(*d.Id, "bInvalid GIF89a extension FF size 5"));
  EXPECT_TRUE(HasLine(*d.Id, "bInvalid GIF89a extension F9 size 3"));
}

// A plain-text block over a 40x32 screen of 2 colours (foreground 1, background 0).
std::vector<uint8_t> PlainTextGif(int gridWidth, int gridHeight, int cellWidth, int cellHeight,
                                  const std::string& text) {
  tGifBuilder b;
  b.Header("GIF89a", 40, 32, 1);
  std::vector<uint8_t> header = {
      0, 0, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(cellWidth), static_cast<uint8_t>(cellHeight),
      1, 0};
  header[4] = static_cast<uint8_t>(gridWidth);
  header[6] = static_cast<uint8_t>(gridHeight);
  b.Extension(0x01, {header, std::vector<uint8_t>(text.begin(), text.end())});
  b.Trailer();
  return b.v;
}

// The glyph rows of ch as pixels (foreground 1), each pixel repeated hScale times.
std::vector<uint8_t> GlyphRow(uint8_t bits, int hScale, int width) {
  std::vector<uint8_t> row;
  for (int x = 0; x < 8 * hScale; ++x) row.push_back(bits & (0x80 >> (x / hScale)) ? 1 : 0);
  row.resize(size_t(width), 0);
  return row;
}

TEST_F(GifTest, PlainTextIsDrawnWithTheBitmapFonts) {
  struct Case {
    int gridW, gridH, cellW, cellH;
    bool tall;
    int hScale, vScale;
  } cases[] = {
      {16, 8, 8, 8, false, 1, 1}, {32, 16, 16, 16, true, 2, 1}, {40, 28, 8, 28, true, 1, 2}};
  for (const Case& c : cases) {
    auto d = DecodeAll(PlainTextGif(c.gridW, c.gridH, c.cellW, c.cellH, "AB"));
    ASSERT_EQ(d.Frames.size(), 1u);
    const std::vector<uint8_t>& px = d.Frames[0].Indices;
    for (int y = 0; y < 8; ++y) {
      int g = y / c.vScale;
      uint8_t bitsA = c.tall ? Font8x14['A'][g] : Font8x8['A'][g];
      std::vector<uint8_t> want = GlyphRow(bitsA, c.hScale, c.cellW);
      std::vector<uint8_t> got(px.begin() + y * 40, px.begin() + y * 40 + c.cellW);
      EXPECT_EQ(got, want) << c.cellW << "x" << c.cellH << " row " << y;
    }
  }
  auto d = DecodeAll(PlainTextGif(16, 8, 8, 8, "AB"));
  EXPECT_TRUE(HasLine(*d.Id, "gPlain text: 1 rows of 2 characters"));
}

TEST_F(GifTest, PlainTextWithOddCells) {
  // Zero-sized cells draw nothing; narrow and short cells clip their glyphs.
  struct Case {
    int cellW, cellH;
    const char* line;
  } cases[] = {{0, 8, "gPlain text: 2 rows of 0 characters"},
               {8, 0, "gPlain text: 0 rows of 5 characters"},
               {5, 8, "gPlain text: 2 rows of 8 characters"},
               {3, 5, "gPlain text: 3 rows of 13 characters"}};
  for (const Case& c : cases) {
    auto d = DecodeAll(
        PlainTextGif(40, 16, c.cellW, c.cellH, "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM"));
    ASSERT_TRUE(d.Id);
    EXPECT_EQ(d.Id->ErrorCode, 0) << c.cellW << "x" << c.cellH;
    ASSERT_EQ(d.Frames.size(), 1u);
    EXPECT_TRUE(HasLine(*d.Id, c.line)) << c.line;
    if (c.cellW == 5) {
      // 'M' row 0 is 0xC6: the first 5 pixels of each cell.
      std::vector<uint8_t> row0(d.Frames[0].Indices.begin(), d.Frames[0].Indices.begin() + 10);
      EXPECT_EQ(row0, (std::vector<uint8_t>{1, 1, 0, 0, 0, 1, 1, 0, 0, 0}));
    }
  }
}

// ---- window-background mode

TEST_F(GifTest, BackgroundModeMergesLocalTables) {
  // Frame 1 uses the global table, frame 2 its own (colours from another seed).
  tGifBuilder b;
  b.Header("GIF89a", 4, 1, 2).Image(0, 0, 4, 1, {0, 1, 2, 3});
  b.Image(2, 0, 2, 1, {1, 2}, 2, false, 2).Trailer();
  std::vector<uint8_t> global, local;
  tGifBuilder::PutTable(global, 4, 0);
  tGifBuilder::PutTable(local, 4, 77);
  auto rgb = [](const std::vector<uint8_t>& t, int i) {
    return std::vector<uint16_t>{t[i * 3], t[i * 3 + 1], t[i * 3 + 2]};
  };
  auto pixel = [](const RgbImage& img, int x) {
    return std::vector<uint16_t>(img.samples.begin() + x * 3, img.samples.begin() + x * 3 + 3);
  };
  auto bg = DecodeAll(b.v, 0x00FF00FF);
  ASSERT_EQ(bg.Frames.size(), 2u);
  EXPECT_EQ(bg.Id->Bitmap->BitCount(), 8);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(pixel(bg.Frames[0].Image, x), rgb(global, x)) << x;
  EXPECT_EQ(pixel(bg.Frames[1].Image, 1), rgb(global, 1));
  EXPECT_EQ(pixel(bg.Frames[1].Image, 2), rgb(local, 1));
  EXPECT_EQ(pixel(bg.Frames[1].Image, 3), rgb(local, 2));
  // Plain mode keeps the indices and the global table.
  auto plain = DecodeAll(b.v);
  EXPECT_EQ(pixel(plain.Frames[1].Image, 2), rgb(global, 1));
}

TEST_F(GifTest, BackgroundModeTransparency) {
  // Frame 1 on the blank picture shows its transparent pixels in the window colour; frame 2's
  // transparent pixels keep frame 1; frame 3 uses the first transparent index as a colour.
  tGifBuilder b;
  b.Header("GIF89a", 3, 1, 2).Control(1, 0, 1).Image(0, 0, 3, 1, {1, 2, 3});
  b.Control(1, 0, 3).Image(0, 0, 3, 1, {3, 1, 3});
  b.Image(0, 0, 1, 1, {1}).Trailer();
  std::vector<uint8_t> table;
  tGifBuilder::PutTable(table, 4, 0);
  auto d = DecodeAll(b.v, 0x00123456);
  ASSERT_EQ(d.Frames.size(), 3u);
  auto px = [&](int f, int x) {
    const auto& s = d.Frames[f].Image.samples;
    return std::vector<int>{s[x * 3], s[x * 3 + 1], s[x * 3 + 2]};
  };
  auto color = [&](int i) {
    return std::vector<int>{table[i * 3], table[i * 3 + 1], table[i * 3 + 2]};
  };
  const std::vector<int> window = {0x56, 0x34, 0x12};
  EXPECT_EQ(px(0, 0), window);
  EXPECT_EQ(px(0, 1), color(2));
  EXPECT_EQ(px(1, 0), window);  // transparent: frame 1 stays
  EXPECT_EQ(px(1, 1), color(1));
  EXPECT_EQ(px(1, 2), color(3));  // frame 1's pixel, frame 2 transparent there
  EXPECT_EQ(px(2, 0), color(1));
  EXPECT_EQ(d.Frames[1].TransparentIndex, -1);
}

// ---- files we did not make

// Frames as giftext reports them (geometry, disposal, transparency).
struct tFrameInfo {
  int left = 0, top = 0, width = 0, height = 0, disposal = 0;
  bool transparent = false;
};

bool GiftextFrames(const std::filesystem::path& file, std::vector<tFrameInfo>& frames,
                   std::vector<uint8_t>& backgroundRgb) {
  std::vector<uint8_t> out;
  if (testsupport::Run("giftext -c '" + file.string() + "'", &out) != 0) return false;
  std::istringstream in(std::string(out.begin(), out.end()));
  std::string line;
  tFrameInfo next;
  int background = 0;
  bool global = false;
  std::vector<uint8_t> table(768);
  auto after = [&](const char* key, int& value) {
    size_t at = line.find(key);
    if (at == std::string::npos) return false;
    value = std::atoi(line.c_str() + at + std::strlen(key));
    return true;
  };
  while (std::getline(in, line)) {
    after("BackGround = ", background);
    if (line.find("Global Color Map:") != std::string::npos) global = true;
    if (line.find("Image #") != std::string::npos) global = false;
    // Colour map lines: "  0: aah aah aah     1: 9ah afh d9h ..."
    for (size_t at = 0; global && (at = line.find(':', at)) != std::string::npos; ++at) {
      size_t start = line.find_last_not_of("0123456789", at - 1);
      int i = std::atoi(line.c_str() + (start == std::string::npos ? 0 : start + 1));
      unsigned r, g, b;
      if (i >= 0 && i < 256 &&
          std::sscanf(line.c_str() + at + 1, " %xh %xh %xh", &r, &g, &b) == 3) {
        table[i * 3] = static_cast<uint8_t>(r);
        table[i * 3 + 1] = static_cast<uint8_t>(g);
        table[i * 3 + 2] = static_cast<uint8_t>(b);
      }
    }
    after("Disposal Mode: ", next.disposal);
    if (line.find("Transparency on: yes") != std::string::npos) next.transparent = true;
    if (line.find("Image Size - ") != std::string::npos) {
      after("Left = ", next.left);
      after("Top = ", next.top);
      after("Width = ", next.width);
      after("Height = ", next.height);
      frames.push_back(next);
      next = tFrameInfo();
    }
  }
  backgroundRgb.assign(table.begin() + background * 3, table.begin() + background * 3 + 3);
  return !frames.empty();
}

// Every frame of a file as giftopnm decodes it (colour and transparency), composed as the
// reader composes frames in window-background mode with the window colour = the GIF's
// background colour.
bool ComposedReference(const std::filesystem::path& file, std::vector<RgbImage>& composed) {
  std::vector<tFrameInfo> frames;
  std::vector<uint8_t> back;
  if (!GiftextFrames(file, frames, back)) return false;
  auto dir = testsupport::ScratchDir("gif_compose");
  std::vector<uint8_t> colour, alpha;
  if (testsupport::Run(
          "giftopnm -image=all -alphaout=" + (dir / "a.pbm").string() + " '" + file.string() + "'",
          &colour) != 0)
    return false;
  alpha = testsupport::ReadFile(dir / "a.pbm");
  // Both streams hold one netpbm picture per frame, one after another.
  auto split = [](const std::vector<uint8_t>& all, size_t count) {
    std::vector<RgbImage> images;
    size_t at = 0;
    auto number = [&](size_t& i) {
      while (i < all.size() && std::isspace(all[i])) ++i;
      size_t v = 0;
      while (i < all.size() && std::isdigit(all[i])) v = v * 10 + (all[i++] - '0');
      return v;
    };
    for (size_t k = 0; k < count && at + 2 < all.size(); ++k) {
      size_t i = at + 2;
      const bool bitmap = all[at + 1] == '4';
      size_t w = number(i), h = number(i);
      if (!bitmap) number(i);
      ++i;  // the one white-space character before the data
      size_t end = i + (bitmap ? (w + 7) / 8 * h : w * h * 3);
      if (end > all.size()) break;
      RgbImage img;
      if (!testsupport::ParseNetpbm(std::vector<uint8_t>(all.begin() + at, all.begin() + end), img))
        break;
      images.push_back(img);
      at = end;
    }
    return images;
  };
  std::vector<RgbImage> colours = split(colour, frames.size()),
                        alphas = split(alpha, frames.size());
  if (colours.size() != frames.size() || alphas.size() != frames.size()) return false;
  const std::vector<tFrameInfo>& f = frames;
  RgbImage canvas;
  {
    std::vector<uint8_t> out;
    testsupport::Run("gifsicle --info '" + file.string() + "'", &out);
    std::string s(out.begin(), out.end());
    size_t at = s.find("logical screen ");
    if (at == std::string::npos ||
        std::sscanf(s.c_str() + at, "logical screen %dx%d", &canvas.width, &canvas.height) != 2)
      return false;
  }
  canvas.samples.resize(size_t(canvas.width) * canvas.height * 3);
  auto fill = [&] {
    for (size_t i = 0; i < canvas.samples.size(); ++i) canvas.samples[i] = back[i % 3];
  };
  fill();
  bool blank = true;
  RgbImage saved;
  for (size_t k = 0; k < f.size(); ++k) {
    if (f[k].disposal == 3) saved = canvas;
    const RgbImage& c = colours[k];
    const RgbImage& a = alphas[k];
    for (int y = 0; y < c.height && f[k].top + y < canvas.height; ++y)
      for (int x = 0; x < c.width && f[k].left + x < canvas.width; ++x) {
        size_t src = size_t(y) * c.width + x;
        size_t dst = (size_t(f[k].top + y) * canvas.width + f[k].left + x) * 3;
        // Black (transparent) parses as 0. giftopnm keeps an earlier frame's transparent index
        // for frames whose control block has none: giftext's flag decides.
        bool opaque = !f[k].transparent || a.samples[src] != 0;
        for (int ch = 0; ch < 3; ++ch) {
          if (opaque) {
            canvas.samples[dst + ch] = c.samples[src * 3 + ch];
          } else if (blank) {
            canvas.samples[dst + ch] = back[ch];
          }
        }
      }
    composed.push_back(canvas);
    blank = false;
    if (f[k].disposal == 2) {
      fill();
      blank = true;
    } else if (f[k].disposal == 3) {
      canvas = saved;
    }
  }
  return true;
}

TEST_F(GifTest, TestFilesMatchGiftopnm) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference tools not available";
  for (const char* name : {"anim_dog.gif", "flag_fr.gif", "triangle-001.gif", "video-001.5bpp.gif",
                           "video-001.gif", "video-001.interlaced.gif", "video-005.gray.gif"}) {
    auto path = GifFile(name);
    auto d = DecodeAll(testsupport::ReadFile(path));
    ASSERT_TRUE(d.Id) << name;
    ASSERT_FALSE(d.Frames.empty()) << name;
    EXPECT_EQ(d.Id->ErrorCode, 0) << name;
    RgbImage ref;
    ASSERT_TRUE(
        testsupport::DecodeReference(testsupport::tReference::Netpbm, path, ref, "giftopnm"));
    RgbImage ours = d.Frames[0].Image;
    ours.channels = 3;  // colours only: giftopnm leaves transparency out
    if (d.Frames[0].Image.channels == 4) {
      ours.samples.clear();
      for (size_t i = 0; i < d.Frames[0].Image.samples.size(); ++i)
        if (i % 4 != 3) ours.samples.push_back(d.Frames[0].Image.samples[i]);
    }
    EXPECT_EQ(testsupport::ComparePixels(ours, ref), "") << name;
  }
}

TEST_F(GifTest, InterlacedAndTransparentFilesMatchImageMagick) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference tools not available";
  for (const char* name : {"video-001.interlaced.gif", "triangle-001.gif"}) {
    auto path = GifFile(name);
    auto d = DecodeAll(testsupport::ReadFile(path));
    ASSERT_EQ(d.Frames.size(), 1u) << name;
    RgbImage ref;
    ASSERT_TRUE(testsupport::DecodeReference(testsupport::tReference::ImageMagickAlpha, path, ref));
    RgbImage ours = d.Frames[0].Image;
    if (ours.channels == 4)  // ImageMagick gives see-through pixels their colour too
      for (size_t i = 0; i < ours.samples.size(); i += 4)
        if (ours.samples[i + 3] == 0)
          for (int c = 0; c < 3; ++c) ours.samples[i + c] = ref.samples[i + c];
    EXPECT_EQ(testsupport::ComparePixels(ours, ref), "") << name;
  }
}

// Every frame in window-background mode against giftopnm's frames composed by the disposal
// rules; the merged colour table keeps colours to 6 bits.
void ExpectFramesMatchComposed(const std::filesystem::path& path, size_t frames) {
  std::vector<RgbImage> composed;
  ASSERT_TRUE(ComposedReference(path, composed)) << path;
  ASSERT_EQ(composed.size(), frames);
  std::vector<tFrameInfo> info;
  std::vector<uint8_t> back;
  ASSERT_TRUE(GiftextFrames(path, info, back));
  uint32_t window = back[0] | (back[1] << 8) | (back[2] << 16);
  auto d = DecodeAll(testsupport::ReadFile(path), window);
  ASSERT_TRUE(d.Id);
  EXPECT_EQ(d.Id->ErrorCode, 0);
  ASSERT_EQ(d.Frames.size(), frames);
  for (size_t k = 0; k < frames; ++k)
    EXPECT_EQ(testsupport::ComparePixels(d.Frames[k].Image, composed[k], 3), "")
        << path << " frame " << k + 1;
}

TEST_F(GifTest, AnimationFramesMatchComposedGiftopnmFrames) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference tools not available";
  ExpectFramesMatchComposed(GifFile("anim_dog.gif"), 4);
  auto d = DecodeAll(testsupport::ReadFile(GifFile("anim_dog.gif")), 0);
  ASSERT_EQ(d.Frames.size(), 4u);
  for (size_t k = 0; k < 3; ++k) EXPECT_EQ(d.Frames[k].Delay, 5u);
}

// ---- files made here by independent tools

TEST_F(GifTest, GeneratedFilesMatchGiftopnm) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference tools not available";
  auto dir = testsupport::ScratchDir("gif_generated");
  // Pictures of a few colour counts and sizes, sequential and interlaced.
  struct Case {
    const char* name;
    std::string command;
  } cases[] = {
      {"two.gif", "pbmmake -gray 37 23 | pamtogif"},
      {"four.gif", "pgmramp -lr 50 9 | pnmquant 4 | pamtogif -interlace"},
      {"colours.gif", "ppmpat -poles -randomseed=3 201 67 | pnmquant 200 | pamtogif"},
      {"big.gif", "ppmpat -poles -randomseed=5 640 480 | pnmquant 256 | ppmtogif"},
      {"interlaced.gif", "ppmpat -poles -randomseed=7 97 131 | pnmquant 64 | pamtogif -interlace"},
      {"narrow.gif", "pgmramp -tb 1 300 | pnmquant 16 | pamtogif"},
  };
  for (const Case& c : cases) {
    auto path = dir / c.name;
    ASSERT_EQ(testsupport::Run("(" + c.command + ") 2>/dev/null > '" + path.string() + "'"), 0)
        << c.name;
    auto d = DecodeAll(testsupport::ReadFile(path));
    ASSERT_EQ(d.Frames.size(), 1u) << c.name;
    EXPECT_EQ(d.Id->ErrorCode, 0) << c.name;
    RgbImage ref;
    ASSERT_TRUE(
        testsupport::DecodeReference(testsupport::tReference::Netpbm, path, ref, "giftopnm"));
    EXPECT_EQ(testsupport::ComparePixels(d.Frames[0].Image, ref), "") << c.name;
  }
}

TEST_F(GifTest, GeneratedAnimationsMatchComposedFrames) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference tools not available";
  auto dir = testsupport::ScratchDir("gif_animations");
  auto run = [&](const std::string& command) {
    ASSERT_EQ(testsupport::Run("cd '" + dir.string() + "' && " + command), 0) << command;
  };
  // Frames of different sizes and palettes; ImageMagick writes the later ones with local colour
  // tables. Then every disposal, transparency, delays and a comment; gifsicle's optimiser makes
  // frames that lean on transparency, interlaced.
  for (int i = 1; i <= 4; ++i)
    run(
        Format("ppmpat -poles -randomseed=%d %d %d | pnmquant %d 2>/dev/null | pamtogif %s "
               "> p%d.gif 2>/dev/null",
               {i, 20 + i * 10, 15 + i * 7, 64 >> i, i == 3 ? "-transparent=black" : "", i}));
  // (giftopnm checks a frame's transparent index against the colours of the frames after it,
  // so the transparent frame comes before the larger table.)
  run("convert -delay 10 -page 90x80+0+0 -dispose Background p1.gif -page +5+5 -dispose None "
      "p2.gif -page +3+25 -comment 'made here' p4.gif -page +20+10 -dispose Previous p3.gif "
      "-page +40+30 -dispose None -delay 250 p1.gif anim.gif");
  run("gifsicle --no-warnings -O2 -i --delay 7 p1.gif -p 3,3 p2.gif -p 30,12 p3.gif > opt.gif");
  for (const char* name : {"anim.gif", "opt.gif"}) {
    SCOPED_TRACE(name);
    std::vector<tFrameInfo> info;
    std::vector<uint8_t> back;
    ASSERT_TRUE(GiftextFrames(dir / name, info, back));
    ExpectFramesMatchComposed(dir / name, info.size());
  }
  auto d = DecodeAll(testsupport::ReadFile(dir / "anim.gif"), 0);
  EXPECT_TRUE(HasLine(*d.Id, "rmade here"));
  ASSERT_EQ(d.Frames.size(), 5u);
  EXPECT_EQ(d.Frames[0].Delay, 10u);
  EXPECT_EQ(d.Frames[4].Delay, 250u);
}

}  // namespace
