#include "imaging/formats/gPCX.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "imaging/Palettes.h"
#include "imaging/PictureTestUtil.h"
#include "imaging/formats/gReader_testkit.h"
#include "tests/DiffDecode.h"
#include "tests/TestSupport.h"

namespace {

using testsupport::tReference;

void Set16(std::vector<uint8_t>& v, size_t at, int x) {
  v[at] = static_cast<uint8_t>(x);
  v[at + 1] = static_cast<uint8_t>(x >> 8);
}
int Get16(const std::vector<uint8_t>& v, size_t at) { return v[at] | (v[at + 1] << 8); }

// A PCX file made field by field: the recipe is the test's fixture.
struct tPcxRecipe {
  int version = 5, bits = 8, planes = 1, bytesPerLine = -1;  // -1: the expected count
  int xmin = 0, ymin = 0, width = 4, height = 2;
  std::vector<uint8_t> headerPalette;  // the 48 bytes at 16
  std::vector<uint8_t> data;           // run-length coded
  std::vector<uint8_t> trailer;        // after the data
  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> v(128, 0);
    v[0] = 10, v[1] = static_cast<uint8_t>(version), v[2] = 1, v[3] = static_cast<uint8_t>(bits);
    Set16(v, 4, xmin);
    Set16(v, 6, ymin);
    Set16(v, 8, xmin + width - 1);
    Set16(v, 10, ymin + height - 1);
    std::copy(headerPalette.begin(), headerPalette.end(), v.begin() + 16);
    v[65] = static_cast<uint8_t>(planes);
    int bpl = bytesPerLine >= 0 ? bytesPerLine
              : planes == 1     ? (width * bits + 7) / 8
              : planes == 3     ? width
                                : (width + 7) / 8;
    Set16(v, 66, bpl);
    v.insert(v.end(), data.begin(), data.end());
    v.insert(v.end(), trailer.begin(), trailer.end());
    return v;
  }
  // Uncompressed scan lines (no byte of 192 or more) of the header's layout.
  tPcxRecipe& Plain(uint8_t value = 0x11) {
    std::vector<uint8_t> v = Build();
    data.assign(size_t(Get16(v, 66)) * planes * height, value);
    return *this;
  }
};

class PcxTest : public readertest::tFormatsTest {
 protected:
  PcxTest() { fileName = "pic.pcx"; }
};

std::vector<uint8_t> Row(tMemBmp& pic, int y, int count) {
  const uint8_t* bytes = pic.GetByteLine(y);
  return std::vector<uint8_t>(bytes, bytes + count);
}

TEST_F(PcxTest, IdentificationTests) {
  const readertest::tIdentifyCase<tPcxRecipe> cases[] = {
      {"8 bits", [](tPcxRecipe&) {}, true},
      {"1 bit", [](tPcxRecipe& r) { r.bits = 1; }, true},
      {"2 bits", [](tPcxRecipe& r) { r.bits = 2; }, true},
      {"3 bits in one plane", [](tPcxRecipe& r) { r.bits = 3; }, false},
      {"4 planes of 1 bit", [](tPcxRecipe& r) { r.bits = 1, r.planes = 4; }, true},
      {"8 planes of 1 bit", [](tPcxRecipe& r) { r.bits = 1, r.planes = 8; }, true},
      {"9 planes of 1 bit", [](tPcxRecipe& r) { r.bits = 1, r.planes = 9; }, false},
      {"2 planes of 8 bits", [](tPcxRecipe& r) { r.planes = 2; }, false},
      {"2 planes of 2 bits", [](tPcxRecipe& r) { r.bits = 2, r.planes = 2; }, true},
      {"4 planes of 8 bits, version 2", [](tPcxRecipe& r) { r.planes = 4, r.version = 2; }, true},
      {"4 planes of 8 bits, version 5", [](tPcxRecipe& r) { r.planes = 4; }, false},
      {"3 planes of 8 bits", [](tPcxRecipe& r) { r.planes = 3; }, true},
      // Three planes are expected to hold a byte per pixel, whatever their bits.
      {"3 planes of 1 bit",
       [](tPcxRecipe& r) { r.bits = 1, r.planes = 3, r.width = 40, r.bytesPerLine = 5; }, false},
      {"3 planes of 1 bit, a byte each", [](tPcxRecipe& r) { r.bits = 1, r.planes = 3; }, true},
      {"bytes per line 8 over", [](tPcxRecipe& r) { r.bytesPerLine = 12; }, true},
      {"bytes per line 9 over", [](tPcxRecipe& r) { r.bytesPerLine = 13; }, false},
      {"bytes per line short", [](tPcxRecipe& r) { r.bytesPerLine = 3; }, false},
      {"bytes per line over 2048", [](tPcxRecipe& r) { r.width = 2045, r.bytesPerLine = 2049; },
       false},
      {"one pixel wide", [](tPcxRecipe& r) { r.width = 1; }, false},
      {"ymin over 10000", [](tPcxRecipe& r) { r.ymin = 10001; }, false},
      {"24 bits over 10000 high", [](tPcxRecipe& r) { r.planes = 3, r.height = 10001; }, false},
      {"8 bits 30000 high", [](tPcxRecipe& r) { r.height = 30000; }, true},
  };
  for (const auto& c : cases) {
    tPcxRecipe r;
    c.change(r);
    r.Plain();
    EXPECT_EQ(Decode(r.Build()) != nullptr, c.identified) << c.what;
  }
  tPcxRecipe r;
  std::vector<uint8_t> file = r.Plain().Build();
  file[0] = 11;  // the manufacturer byte
  EXPECT_EQ(Decode(file), nullptr);
}

// 640 x 480, 4 one-bit planes of 80 bytes: a 16-colour picture. 90 bytes per line for a
// 640-pixel plane is more than 8 over and not PCX.
TEST_F(PcxTest, SixteenColourPlanes) {
  tPcxRecipe r;
  r.bits = 1, r.planes = 4, r.width = 640, r.height = 480, r.version = 5;
  for (int i = 0; i < 48; ++i) r.headerPalette.push_back(static_cast<uint8_t>(i * 5));
  // Plane p of every line: 80 bytes of 0xF0 >> p's pattern, as runs of 40 twice.
  for (int y = 0; y < 480; ++y)
    for (int p = 0; p < 4; ++p)
      for (int k = 0; k < 2; ++k)
        r.data.insert(r.data.end(), {0xC0 | 40, static_cast<uint8_t>(1 << p)});
  auto id = Decode(r.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->BitsPerPixel, 4);
  EXPECT_EQ(id->Colors, 16);
  EXPECT_EQ(id->SubType, "Type 5h");
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->RowsDone, 480);
  // Pixel 8k + 7 - p has bit p set: index 1 << p.
  EXPECT_EQ(Row(*id->Bitmap, 479, 8), (std::vector<uint8_t>{0, 0, 0, 0, 8, 4, 2, 1}));
  const uint8_t* rgb = id->Bitmap->GetRGBLine(0);
  EXPECT_EQ(rgb[7 * 3 + 2], 15);  // index 1: the header palette's second entry, red 3 x 5
  EXPECT_EQ(id->Info[2], "g1 bit(s)/pixel, 4 plane(s) 80 byte(s)/line");

  r.bytesPerLine = 90;
  EXPECT_EQ(Decode(r.Build()), nullptr);
}

TEST_F(PcxTest, RowLayouts) {
  struct Case {
    const char* what;
    int bits, planes, width;
    std::vector<uint8_t> line;  // one scan line, uncompressed
    std::vector<uint8_t> pixels;
    int storedBits;
  } cases[] = {
      {"1 bit", 1, 1, 9, {0xA5, 0x80}, {1, 0, 1, 0, 0, 1, 0, 1, 1}, 1},
      {"2 bits", 2, 1, 5, {0x1B, 0x80}, {0, 1, 2, 3, 2}, 8},
      {"4 bits", 4, 1, 3, {0x12, 0x30}, {1, 2, 3}, 8},
      {"2 planes", 1, 2, 3, {0xA0, 0x60}, {1, 2, 3}, 8},
      {"3 one-byte planes of 1 bit", 1, 3, 2, {0x80, 0, 0, 0, 0x40, 0}, {1, 4}, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    tPcxRecipe r;
    r.bits = c.bits, r.planes = c.planes, r.width = c.width, r.height = 2;
    r.data = c.line;
    r.data.insert(r.data.end(), c.line.begin(), c.line.end());
    auto id = Decode(r.Build());
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->ErrorCode, 0);
    EXPECT_EQ(id->Bitmap->BitCount(), c.storedBits);
    EXPECT_EQ(Row(*id->Bitmap, 0, c.width), c.pixels);
    EXPECT_EQ(Row(*id->Bitmap, 1, c.width), c.pixels);
  }
}

TEST_F(PcxTest, TwentyFourBitPlanes) {
  tPcxRecipe r;
  r.planes = 3, r.width = 2, r.height = 2;
  r.data = {1, 2, 3, 4, 0xC1, 0xC5, 6};  // red, green, blue planes; a byte over 191 as a run
  r.data.insert(r.data.end(), r.data.begin(), r.data.end());
  auto id = Decode(r.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->BitsPerPixel, 24);
  EXPECT_EQ(id->Colors, 280);
  const uint8_t* bgr = id->Bitmap->GetRGBLine(0);
  EXPECT_EQ(std::vector<uint8_t>(bgr, bgr + 6), (std::vector<uint8_t>{0xC5, 3, 1, 6, 4, 2}));
}

TEST_F(PcxTest, RunsAndShortData) {
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
    int error, rowsDone;
    std::vector<uint8_t> top, bottom;
  } cases[] = {
      {"run across scan lines", {0xC6, 7, 1, 2}, 0, 2, {7, 7, 7, 7}, {7, 7, 1, 2}},
      {"run of 0", {0xC0, 9, 0xC8, 3}, 0, 2, {3, 3, 3, 3}, {3, 3, 3, 3}},
      {"data ends", {0xC5, 4}, errEndOfFile, 1, {4, 4, 4, 4}, {4, 0, 0, 0}},
      {"run value missing", {1, 2, 3, 4, 0xC2}, errEndOfFile, 1, {1, 2, 3, 4}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    tPcxRecipe r;
    r.data = c.data;
    auto id = Decode(r.Build());
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->ErrorCode, c.error);
    EXPECT_EQ(id->RowsDone, c.rowsDone);
    EXPECT_EQ(Row(*id->Bitmap, 0, 4), c.top);
    EXPECT_EQ(Row(*id->Bitmap, 1, 4), c.bottom);
    if (c.error) {
      EXPECT_EQ(id->Info.back().rfind("kEnd Of File at ", 0), 0u);
    }
  }
}

// The stream's buffer holds 4096 bytes: a count byte as the last of them takes its value from
// the next block.
TEST_F(PcxTest, RunSplitAcrossBufferBlocks) {
  for (int shift : {-1, 0, 1}) {
    tPcxRecipe r;
    r.width = 100, r.height = 41;
    r.data.assign(size_t(4095 + shift), 1);
    r.data.insert(r.data.end(), {0xC0 | 5, 7});
    r.data.resize(4100 + 1, 2);
    auto id = Decode(r.Build());
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->ErrorCode, 0);
    std::vector<uint8_t> all;
    for (int y = 0; y < 41; ++y) {
      auto row = Row(*id->Bitmap, y, 100);
      all.insert(all.end(), row.begin(), row.end());
    }
    std::vector<uint8_t> want(size_t(4095 + shift), 1);
    want.resize(4100 + shift, 7);
    want.resize(4100, 2);
    EXPECT_EQ(all, want) << shift;
  }
}

// A picture box away from the top left still decodes every line, from row 0.
TEST_F(PcxTest, BoxOffsetDecodesAllLines) {
  tPcxRecipe r;
  r.xmin = 3, r.ymin = 5, r.width = 4, r.height = 3;
  r.data = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};
  auto id = Decode(r.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->Width, 4);
  EXPECT_EQ(id->Height, 3);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->RowsDone, 3);
  for (int y = 0; y < 3; ++y)
    EXPECT_EQ(Row(*id->Bitmap, y, 4), std::vector<uint8_t>(4, static_cast<uint8_t>(y + 1)));
  EXPECT_EQ(id->Info.back(), "bImage at 3,5");
}

std::vector<uint8_t> RGB(const uint8_t* palette, int entry) {
  return std::vector<uint8_t>(palette + entry * 3, palette + entry * 3 + 3);
}

TEST_F(PcxTest, PaletteSources) {
  std::vector<uint8_t> header(48);
  for (int i = 0; i < 48; ++i) header[i] = static_cast<uint8_t>(100 + i);
  std::vector<uint8_t> trailer(769);
  trailer[0] = 12;
  for (int i = 1; i < 769; ++i) trailer[i] = static_cast<uint8_t>(i * 7);
  const tPalette16 ega = EgaPalette();
  const tRGBPalette substitute = Palette332();
  struct Case {
    const char* what;
    int version, bits, planes;
    bool withTrailer;
    int height;  // enough lines to put the trailer past the header
    std::string subType;
    std::vector<uint8_t> entry1;
    bool noPaletteLine;
  } cases[] = {
      {"16 colours: header palette", 5, 4, 1, false, 2, "Type 5h", {103, 104, 105}, false},
      {"16 colours, version 2: standard colours", 2, 4, 1, false, 2, "Type 2", RGB(ega.data(), 1),
       false},
      {"16 colours, version 3: standard colours", 3, 1, 4, false, 2, "Type 3", RGB(ega.data(), 1),
       false},
      {"256 colours: trailer", 5, 8, 1, true, 2, "Type 5i", {28, 35, 42}, false},
      {"256 colours, no trailer: substitute", 5, 8, 1, false, 300, "Type 5",
       RGB(substitute.data(), 1), true},
      // A file under 769 bytes: the probe would land before the file.
      {"256 colours, small file: substitute", 5, 8, 1, false, 2, "Type 5",
       RGB(substitute.data(), 1), true},
      {"8 colours: substitute", 5, 1, 3, false, 2, "Type 5", RGB(substitute.data(), 1), true},
      {"16 colours, trailer first", 5, 1, 4, true, 2, "Type 5i", {28, 35, 42}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    tPcxRecipe r;
    r.version = c.version, r.bits = c.bits, r.planes = c.planes, r.height = c.height;
    r.headerPalette = header;
    r.Plain(0x01);
    if (c.withTrailer) r.trailer = trailer;
    auto id = Decode(r.Build());
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->SubType, c.subType);
    EXPECT_EQ(RGB(id->Palette, 1), c.entry1);
    uint8_t table[768];
    id->Bitmap->GetPalette(table);
    EXPECT_EQ(RGB(table, 1), c.entry1);
    EXPECT_EQ(id->HasPalette, c.subType.size() > 6 ? 1 : 0);
    const bool line =
        std::find(id->Info.begin(), id->Info.end(),
                  "bNo PCX palette found! (using substitute palette)") != id->Info.end();
    EXPECT_EQ(line, c.noPaletteLine);
  }
}

TEST_F(PcxTest, CompanionPaletteFile) {
  auto dir = testsupport::ScratchDir("pcx_companion");
  tPcxRecipe r;
  r.bits = 4;
  r.Plain(0x12);
  testsupport::WriteFile(dir / "pic.pcx", r.Build());
  std::vector<uint8_t> pal(48);
  for (int i = 0; i < 48; ++i) pal[i] = static_cast<uint8_t>(i);  // 6-bit values
  testsupport::WriteFile(dir / "pic.pal", pal);
  auto id = Decode(r.Build(), (dir / "pic.pcx").string());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->SubType, "Type 5p");
  EXPECT_EQ(RGB(id->Palette, 2), (std::vector<uint8_t>{24, 28, 32}));
}

// Four colours: the CGA palette chosen by bits 5 and 6 of header byte 19, with the background
// (high nibble of byte 16) as entry 0.
TEST_F(PcxTest, CgaPalettes) {
  const auto cga = CgaPalettes();
  const tPalette16 ega = EgaPalette();
  struct Case {
    uint8_t byte16, byte19;
    int number;
  } cases[] = {{0x10, 0x00, 2}, {0x20, 0x20, 0}, {0xF0, 0x40, 3}, {0x00, 0x60, 1}};
  for (const Case& c : cases) {
    tPcxRecipe r;
    r.bits = 2;
    r.headerPalette.assign(48, 0);
    r.headerPalette[0] = c.byte16;
    r.headerPalette[3] = c.byte19;
    r.Plain(0x1B);
    auto id = Decode(r.Build());
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->Colors, 4);
    EXPECT_EQ(id->SubType, "Type 5h");
    EXPECT_EQ(RGB(id->Palette, 0), RGB(ega.data(), c.byte16 >> 4));
    for (int i = 1; i < 4; ++i) EXPECT_EQ(RGB(id->Palette, i), RGB(cga.data(), c.number * 4 + i));
  }
}

TEST_F(PcxTest, OneBitIsBlackAndWhite) {
  tPcxRecipe r;
  r.bits = 1;
  r.headerPalette.assign(48, 200);
  r.Plain(0x55);
  auto id = Decode(r.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->GrayFlag, 1);
  EXPECT_EQ(RGB(id->Palette, 0), (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(RGB(id->Palette, 1), (std::vector<uint8_t>{255, 255, 255}));
  EXPECT_EQ(id->SubType, "Type 5");
}

// --- Writer

std::vector<uint8_t> Written(tMemBmp& pic) {
  auto* mem = new TMemoryStream();
  tBuffStream out("out.pcx", std::unique_ptr<TStream>(mem), true);
  WritePCX(pic, out);
  out.Flush();
  return mem->Data();
}

TEST_F(PcxTest, WriterLayout) {
  struct Case {
    int pictureBits, width;
    int bits, planes, bytesPerLine;
    bool trailer;
  } cases[] = {{1, 9, 1, 1, 2, false}, {4, 5, 4, 1, 3, false}, {8, 5, 8, 1, 5, true},
               {24, 5, 8, 3, 5, true}, {15, 3, 8, 3, 3, true}, {32, 3, 8, 3, 3, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pictureBits);
    auto pic = pictest::Pattern(c.width, 3, c.pictureBits);
    std::vector<uint8_t> file = Written(*pic);
    EXPECT_EQ(file[0], 10);
    EXPECT_EQ(file[1], 5);
    EXPECT_EQ(file[2], 1);
    EXPECT_EQ(file[3], c.bits);
    EXPECT_EQ(Get16(file, 8), c.width - 1);
    EXPECT_EQ(Get16(file, 10), 2);
    EXPECT_EQ(Get16(file, 12), 120);
    EXPECT_EQ(file[65], c.planes);
    EXPECT_EQ(Get16(file, 66), c.bytesPerLine);  // not rounded to even
    EXPECT_EQ(Get16(file, 68), 1);
    EXPECT_EQ(Get16(file, 70), 120);
    if (c.trailer) {
      ASSERT_GT(file.size(), 128u + 769);
      EXPECT_EQ(file[file.size() - 769], 12);
      if (c.planes == 3) {
        // The 24-bit file's palette is empty: zeros.
        EXPECT_TRUE(std::all_of(file.end() - 768, file.end(), [](uint8_t b) { return b == 0; }));
      }
    }
  }
}

// Readers show a 1-bit file's 0 as black and 1 as white: a picture whose first entry is the
// lighter one is written inverted, with its entries swapped in the header palette.
TEST_F(PcxTest, WriterKeepsInvertedGreyPictures) {
  auto pic = std::make_unique<tMemBmp>();
  const uint8_t quads[] = {255, 255, 255, 0, 0, 0, 0, 0};
  pic->Allocate(10, 2, true, quads, 2, 1);
  const uint8_t pixels[] = {0, 0, 1, 0, 1, 1, 1, 1, 1, 0};
  pic->SetByteLine(0, pixels);
  pic->SetByteLine(1, pixels);
  std::vector<uint8_t> file = Written(*pic);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 16, file.begin() + 22),
            (std::vector<uint8_t>{0, 0, 0, 255, 255, 255}));
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 128, file.end()),
            (std::vector<uint8_t>{0xC1, 0xD0, 0x40, 0xC1, 0xD0, 0x40}));
  auto id = Decode(file);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*id->Bitmap),
                                       testsupport::PictureToRgb(*pic)),
            "");
  // 256 grey levels from white down to black keep their palette in the trailer.
  auto gray = pictest::Pattern(7, 3, 8);
  for (int i = 0; i < 256; ++i) std::memset(gray->ColorTable + i * 4, 255 - i, 3);
  gray->GrayFlag = 1;
  file = Written(*gray);
  EXPECT_EQ(file[file.size() - 768], 255);
  id = Decode(file);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*id->Bitmap),
                                       testsupport::PictureToRgb(*gray)),
            "");
}

TEST_F(PcxTest, WriterRoundTripsThroughTheReader) {
  for (int width : {2, 3, 9, 130, 300}) {
    for (int bits : {4, 8, 15, 24, 32}) {
      SCOPED_TRACE(testing::Message() << "bits " << bits << " width " << width);
      auto pic = pictest::Pattern(width, 6, bits);
      auto id = Decode(Written(*pic));
      ASSERT_NE(id, nullptr);
      EXPECT_EQ(id->ErrorCode, 0);
      EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*id->Bitmap),
                                           testsupport::PictureToRgb(*pic)),
                "");
    }
  }
}

// --- Against independent decoders

// The same pixels up to a renaming of colours: for files whose palette the two sides take from
// different places (grey for 1 bit, the CGA palettes for 2 bits).
std::string SameIndices(const testsupport::RgbImage& ours, const testsupport::RgbImage& theirs) {
  if (ours.width != theirs.width || ours.height != theirs.height) return "sizes differ";
  std::map<std::vector<uint16_t>, std::vector<uint16_t>> forward, backward;
  const size_t n = size_t(ours.width) * ours.height;
  for (size_t i = 0; i < n; ++i) {
    std::vector<uint16_t> a(ours.samples.begin() + i * 3, ours.samples.begin() + i * 3 + 3);
    std::vector<uint16_t> b(theirs.samples.begin() + i * 3, theirs.samples.begin() + i * 3 + 3);
    if (forward.emplace(a, b).first->second != b || backward.emplace(b, a).first->second != a)
      return "pixel " + std::to_string(i) + " breaks the colour correspondence";
  }
  return "";
}

TEST_F(PcxTest, GreenFileMatchesPcxtoppm) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  auto path = testsupport::TestData("pcx/green.pcx");
  auto ours = testsupport::DecodeOurs(path);
  ASSERT_TRUE(ours.identified);
  EXPECT_EQ(ours.formatId, fmtPCX);
  EXPECT_EQ(ours.errorCode, 0);
  testsupport::RgbImage theirs;
  ASSERT_TRUE(testsupport::DecodeReference(tReference::Netpbm, path, theirs, "pcxtoppm"));
  EXPECT_EQ(testsupport::ComparePixels(ours.image, theirs), "");
}

TEST_F(PcxTest, PpmtopcxFilesMatchPcxtoppm) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  auto dir = testsupport::ScratchDir("pcx_ppmtopcx");
  const std::string d = dir.string();
  // A picture with smooth areas and noise (runs and literals), quantised to each colour count.
  ASSERT_EQ(testsupport::Run("convert -size 203x77 -seed 4 plasma:fractal '" + d + "/full.ppm'"),
            0);
  for (int n : {2, 4, 16, 200})
    ASSERT_EQ(testsupport::Run("pnmquant " + std::to_string(n) + " '" + d + "/full.ppm' > '" + d +
                               "/q" + std::to_string(n) + ".ppm' 2>/dev/null"),
              0);
  struct Case {
    const char* options;
    const char* source;
    int bits, planes;
    bool sameColours;
  } cases[] = {
      {"-packed", "q2", 1, 1, false},   {"-packed", "q4", 2, 1, false},
      {"-packed", "q16", 4, 1, true},   {"-planes 2", "q4", 1, 2, false},
      {"-planes 4", "q16", 1, 4, true}, {"-8bit", "q16", 8, 1, true},
      {"-8bit", "q200", 8, 1, true},    {"-24bit", "q16", 8, 3, true},
      {"", "full", 8, 3, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.options << " " << c.source);
    auto file = dir / "t.pcx";
    ASSERT_EQ(testsupport::Run(std::string("ppmtopcx ") + c.options + " '" + d + "/" + c.source +
                               ".ppm' > '" + file.string() + "' 2>/dev/null"),
              0);
    auto bytes = testsupport::ReadFile(file);
    ASSERT_GT(bytes.size(), 128u);
    EXPECT_EQ(bytes[3], c.bits);
    EXPECT_EQ(bytes[65], c.planes);
    auto ours = testsupport::DecodeOurs(file);
    ASSERT_TRUE(ours.identified);
    EXPECT_EQ(ours.errorCode, 0);
    testsupport::RgbImage theirs;
    ASSERT_TRUE(testsupport::DecodeReference(tReference::Netpbm, file, theirs, "pcxtoppm"));
    if (c.sameColours) {
      EXPECT_EQ(testsupport::ComparePixels(ours.image, theirs), "");
    } else {
      EXPECT_EQ(SameIndices(ours.image, theirs), "");
    }
  }
}

TEST_F(PcxTest, WrittenFilesReadBackWithPcxtoppmAndPil) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  auto dir = testsupport::ScratchDir("pcx_writer");
  for (int bits : {1, 4, 8, 24}) {
    for (int width : {5, 131}) {
      SCOPED_TRACE(testing::Message() << "bits " << bits << " width " << width);
      auto pic = pictest::Pattern(width, 17, bits);
      if (bits == 1) {
        // Black and white, lighter entry first: the inverted case.
        std::memset(pic->ColorTable, 255, 3);
        std::memset(pic->ColorTable + 4, 0, 3);
      }
      auto file = dir / "w.pcx";
      testsupport::WriteFile(file, Written(*pic));
      auto ours = testsupport::PictureToRgb(*pic);
      testsupport::RgbImage theirs;
      ASSERT_TRUE(testsupport::DecodeReference(tReference::Netpbm, file, theirs, "pcxtoppm"));
      EXPECT_EQ(testsupport::ComparePixels(ours, theirs), "");
      // PIL reads one-plane PCX of 1 and 8 bits and 24-bit files, not 4-bit ones.
      if (bits == 4) continue;
      ASSERT_TRUE(testsupport::DecodeReference(tReference::Pil, file, theirs));
      EXPECT_EQ(testsupport::ComparePixels(ours, theirs), "");
    }
  }
}

}  // namespace
