#include "imaging/formats/gBMP.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "imaging/formats/gReader_testkit.h"
#include "tests/DiffDecode.h"
#include "tests/TestSupport.h"

namespace {

using testsupport::tReference;

// A bmpsuite file; a missing one fails the test instead of passing as "not a picture".
std::filesystem::path BmpFile(const std::string& name) {
  auto path = testsupport::TestData("bmp") / name;
  EXPECT_TRUE(std::filesystem::exists(path)) << path;
  return path;
}

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x);
  Put16(v, x >> 16);
}
uint32_t Get32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// A Windows BMP made field by field: the recipe is the test's fixture.
struct tBmpRecipe {
  int width = 4, height = 2, bits = 8;
  uint32_t compression = 0, colorsUsed = 0;
  int entries = 2;  // colour table entries written
  std::vector<uint32_t> masks;
  std::vector<uint8_t> pixels;
  int32_t sizeField = -1;  // -1: the real size
  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> v;
    uint32_t offset = 14 + 40 + 4 * (entries + static_cast<int>(masks.size()));
    v.push_back('B');
    v.push_back('M');
    Put32(v, 0);
    Put32(v, 0);
    Put32(v, offset);
    Put32(v, 40);
    Put32(v, static_cast<uint32_t>(width));
    Put32(v, static_cast<uint32_t>(height));
    Put16(v, 1);
    Put16(v, static_cast<uint32_t>(bits));
    Put32(v, compression);
    Put32(v, static_cast<uint32_t>(pixels.size()));
    Put32(v, 0);
    Put32(v, 0);
    Put32(v, colorsUsed);
    Put32(v, 0);
    for (uint32_t m : masks) Put32(v, m);
    for (int i = 0; i < entries; ++i) Put32(v, 0x00102030u * (i + 1) & 0xFFFFFF);
    v.insert(v.end(), pixels.begin(), pixels.end());
    uint32_t size =
        sizeField >= 0 ? static_cast<uint32_t>(sizeField) : static_cast<uint32_t>(v.size());
    std::memcpy(&v[2], &size, 4);
    return v;
  }
};

using BmpTest = readertest::tFormatsTest;

TEST_F(BmpTest, SizeFieldRule) {
  tBmpRecipe r;
  r.pixels.assign(8, 1);
  const int real = static_cast<int>(r.Build().size());
  struct Case {
    int32_t field;
    std::string name;
    bool identified;
  } cases[] = {{real, "a.dat", true},         {real * 2, "a.dat", true},
               {real * 4, "a.dat", true},     {real / 2, "a.dat", false},
               {real + 1, "a.dat", false},    {real + 1, "dir.x/A.BMP", true},
               {real + 1, "a.bmp.gz", false}, {3, "x.Bmp", true}};
  for (const Case& c : cases) {
    r.sizeField = c.field;
    EXPECT_EQ(Decode(r.Build(), c.name) != nullptr, c.identified) << c.field << " " << c.name;
  }
}

TEST_F(BmpTest, MacBinaryWrappedFileDecodesPastTheHeader) {
  tBmpRecipe r;
  r.width = 2, r.height = 2, r.bits = 24, r.entries = 0;
  r.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  std::vector<uint8_t> file(128, 0);
  std::vector<uint8_t> body = r.Build();
  file.insert(file.end(), body.begin(), body.end());
  // The size field counts the picture only, so the name has to say BMP.
  EXPECT_EQ(Decode(file, "wrapped.dat"), nullptr);
  auto id = Decode(file, "wrapped.bmp");
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->Info[2], "bMacBinary header (skipped)");
  EXPECT_EQ(id->Bitmap->ScanLine(1)[0], 1);
  EXPECT_EQ(id->Bitmap->ScanLine(0)[5], 12);
  EXPECT_EQ(id->StopPosition, 128 + static_cast<int>(body.size()));
}

TEST_F(BmpTest, HeadersThatAreNotBmp) {
  auto with = [](auto change) {
    tBmpRecipe r;
    r.pixels.assign(8, 1);
    std::vector<uint8_t> v = r.Build();
    change(v);
    return v;
  };
  const std::vector<std::vector<uint8_t>> files = {
      with([](std::vector<uint8_t>& v) { v[0] = 'b'; }),
      with([](std::vector<uint8_t>& v) { v[14] = 100; }),                 // header size
      with([](std::vector<uint8_t>& v) { v[26] = 2; }),                   // planes
      with([](std::vector<uint8_t>& v) { v[30] = 4; }),                   // compression
      with([](std::vector<uint8_t>& v) { v[18] = 0; }),                   // zero width
      with([](std::vector<uint8_t>& v) { v[22] = 0x31, v[23] = 0x75; }),  // height 30001
      with([](std::vector<uint8_t>& v) { v[20] = 1; }),                   // width 65540
      with([](std::vector<uint8_t>& v) { v[24] = 1; }),                   // height 65538
  };
  for (size_t i = 0; i < files.size(); ++i) EXPECT_EQ(Decode(files[i]), nullptr) << i;
}

TEST_F(BmpTest, Rle8Decoding) {
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
    int error;
    std::vector<uint8_t> bottom, top;  // rows as decoded (width 4)
  } cases[] = {
      {"runs and end of line", {4, 7, 0, 0, 2, 1, 2, 2, 0, 1}, 0, {7, 7, 7, 7}, {1, 1, 2, 2}},
      {"end of line at row start is skipped",
       {0, 0, 4, 5, 0, 0, 0, 0, 4, 6},
       0,
       {5, 5, 5, 5},
       {6, 6, 6, 6}},
      {"short row ends at end of line", {2, 5, 0, 0, 4, 6}, 0, {5, 5, 0, 0}, {6, 6, 6, 6}},
      {"literal with pad",
       {0, 3, 1, 2, 3, 0, 1, 9, 0, 0, 0, 4, 4, 3, 2, 1},
       0,
       {1, 2, 3, 9},
       {4, 3, 2, 1}},
      {"end of bitmap leaves black", {4, 3, 0, 1, 4, 9}, 0, {3, 3, 3, 3}, {0, 0, 0, 0}},
      {"run past the edge", {4, 3, 5, 1}, errRunLength, {3, 3, 3, 3}, {0, 0, 0, 0}},
      {"literal past the edge",
       {4, 3, 0, 5, 1, 1, 1, 1, 1, 0},
       errRunLength,
       {3, 3, 3, 3},
       {0, 0, 0, 0}},
      // A full row is still to end with its end of line: pixels before it do not fit.
      {"run after a full row", {4, 3, 2, 1, 0, 0, 4, 6}, errRunLength, {3, 3, 3, 3}, {0, 0, 0, 0}},
      {"literal after a full row",
       {4, 3, 0, 3, 1, 1, 1, 0, 0, 0, 4, 6},
       errRunLength,
       {3, 3, 3, 3},
       {0, 0, 0, 0}},
      {"full top row needs no end", {4, 3, 0, 0, 4, 6}, 0, {3, 3, 3, 3}, {6, 6, 6, 6}},
      {"delta skips right and up", {2, 3, 0, 2, 1, 1, 1, 5}, 0, {3, 3, 0, 0}, {0, 0, 0, 5}},
      {"delta past the top", {4, 3, 0, 2, 0, 2}, errRunLength, {3, 3, 3, 3}, {0, 0, 0, 0}},
      {"delta past the edge", {2, 3, 0, 2, 3, 0}, errRunLength, {3, 3, 0, 0}, {0, 0, 0, 0}},
      {"data ends", {4, 3, 2}, errEndOfFile, {3, 3, 3, 3}, {0, 0, 0, 0}},
      {"literal ends", {4, 3, 0, 0, 0, 4, 1}, errEndOfFile, {3, 3, 3, 3}, {1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    tBmpRecipe r;
    r.compression = 1;
    r.entries = 16;
    r.colorsUsed = 16;
    r.pixels = c.data;
    auto id = Decode(r.Build());
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->SubType, "RLE8");
    EXPECT_EQ(id->ErrorCode, c.error);
    EXPECT_EQ(std::vector<uint8_t>(id->Bitmap->ScanLine(1), id->Bitmap->ScanLine(1) + 4), c.bottom);
    EXPECT_EQ(std::vector<uint8_t>(id->Bitmap->ScanLine(0), id->Bitmap->ScanLine(0) + 4), c.top);
    if (c.error) {
      std::string want = "k";
      want += ErrorName(c.error);
      EXPECT_EQ(id->Info.back().rfind(want + " at ", 0), 0u);
    }
  }
}

// ImageMagick codes each RLE8 row of an odd width as the padded row, two pixels too many: the
// first row is whole and the runs past its edge stop the decoding.
TEST_F(BmpTest, Rle8RowsPastTheEdgeFromImageMagick) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  auto file = testsupport::ScratchDir("bmp_rle_edge") / "wide.bmp";
  ASSERT_EQ(testsupport::Run("convert -seed 1 -size 150x103 plasma:fractal -type Palette "
                             "-compress RLE BMP3:" + file.string()),
            0);
  auto ours = testsupport::DecodeOurs(file);
  ASSERT_TRUE(ours.identified);
  EXPECT_EQ(ours.errorCode, errRunLength);
  ASSERT_EQ(ours.rowsDone, 1);
  testsupport::RgbImage theirs;
  ASSERT_TRUE(testsupport::DecodeReference(tReference::ImageMagick, file, theirs));
  EXPECT_EQ(testsupport::ComparePixels(testsupport::CropRows(ours.image, 102, 1),
                                       testsupport::CropRows(theirs, 102, 1)),
            "");
  // The rows above stay at index 0, as the top-left pixel shows it.
  auto rest = testsupport::CropRows(ours.image, 0, 102);
  for (size_t i = 0; i < rest.samples.size(); ++i)
    ASSERT_EQ(rest.samples[i], rest.samples[i % 3]) << i;
}

TEST_F(BmpTest, Rle4Decoding) {
  tBmpRecipe r;
  r.width = 5;
  r.bits = 4;
  r.compression = 2;
  r.entries = 16;
  // Bottom: a run of 5 alternating 1 and 2; top: a literal of 5 pixels (3 bytes, pad).
  r.pixels = {5, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 1};
  auto id = Decode(r.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->Bitmap->BitCount(), 8);
  const uint8_t* bottom = id->Bitmap->ScanLine(1);
  const uint8_t* top = id->Bitmap->ScanLine(0);
  EXPECT_EQ(std::vector<uint8_t>(bottom, bottom + 5), (std::vector<uint8_t>{1, 2, 1, 2, 1}));
  EXPECT_EQ(std::vector<uint8_t>(top, top + 5), (std::vector<uint8_t>{3, 4, 5, 6, 7}));
}

TEST_F(BmpTest, FourBitRowsAreWidenedAndAShortFileIsAnError) {
  tBmpRecipe r;
  r.width = 3, r.height = 2, r.bits = 4, r.entries = 16;
  r.pixels = {0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0};
  auto id = Decode(r.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(std::vector<uint8_t>(id->Bitmap->ScanLine(1), id->Bitmap->ScanLine(1) + 3),
            (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(std::vector<uint8_t>(id->Bitmap->ScanLine(0), id->Bitmap->ScanLine(0) + 3),
            (std::vector<uint8_t>{4, 5, 6}));
  r.pixels.resize(6);
  id = Decode(r.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, errEndOfFile);
  EXPECT_EQ(id->RowsDone, 1);
  EXPECT_EQ(id->Bitmap->ScanLine(1)[2], 3);
}

TEST_F(BmpTest, SixteenBitMasks) {
  struct Case {
    uint32_t compression;
    std::vector<uint32_t> masks;
    int bitsPerPixel;
    uint8_t blue, green, red;  // of pixel 0xFFFF... below
  } cases[] = {{0, {}, 15, 0xF8, 0xF8, 0xF8},
               {3, {0xF800, 0x07E0, 0x001F}, 16, 0xF8, 0xFC, 0xF8},
               {3, {0x7C00, 0x03E0, 0x001F}, 15, 0xF8, 0xF8, 0xF8}};
  for (const Case& c : cases) {
    tBmpRecipe r;
    r.width = 2, r.height = 1, r.bits = 16, r.entries = 0;
    r.compression = c.compression;
    r.masks = c.masks;
    r.pixels = {0xFF, 0xFF, 0x00, 0x00};
    auto id = Decode(r.Build());
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->BitsPerPixel, c.bitsPerPixel);
    EXPECT_EQ(readertest::Bgr(*id, 0, 0), (std::array<uint8_t, 3>{c.blue, c.green, c.red}));
  }
}

TEST_F(BmpTest, InfoLinesForGapsTrailingDataAndLargeColorCounts) {
  tBmpRecipe r;
  r.width = 2, r.height = 1, r.bits = 24, r.entries = 3, r.colorsUsed = 300;
  r.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
  r.pixels.resize(r.pixels.size() + 1234, 9);
  auto id = Decode(r.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, 0);
  const std::vector<std::string> want = {"kpic.dat",
                                         "gIgnore (stupid) color map colors=300",
                                         "gBMP header=54 bytes, bfOffBits=66",
                                         "b2x1x16m Windows Bitmap ",
                                         "gSkipping 12 (unused) bytes",
                                         "gSkipping 1,234 trailing (garbage) bytes"};
  EXPECT_EQ(id->Info, want);
  EXPECT_EQ(id->Bitmap->ScanLine(0)[3], 4);
}

// Pixel values past a short colour table read as black, not as memory past the table.
TEST_F(BmpTest, IndicesPastColorsUsedAreBlack) {
  tBmpRecipe r;
  r.entries = 2, r.colorsUsed = 2, r.height = 1;
  r.pixels = {1, 2, 200, 0};
  auto id = Decode(r.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->Colors, 2);
  const uint8_t* rgb = id->Bitmap->GetRGBLine(0);
  EXPECT_EQ(rgb[0], 0x60);
  EXPECT_EQ(rgb[2], 0x20);
  for (int i = 3; i < 9; ++i) EXPECT_EQ(rgb[i], 0);
}

TEST_F(BmpTest, UnusableBitCountIsAnError) {
  tBmpRecipe r;
  r.bits = 2;
  r.pixels.assign(8, 0x55);
  auto id = Decode(r.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, errUnknownCompression);
}

TEST_F(BmpTest, OutOfMemoryIsErrorTen) {
  tBmpRecipe r;
  r.width = 3000, r.height = 3000;
  size_t old = tMemBmp::MaxDataSize;
  tMemBmp::MaxDataSize = 1 << 20;
  auto id = Decode(r.Build());
  tMemBmp::MaxDataSize = old;
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, errInsufficientMemory);
  EXPECT_EQ(id->Info.back(), "kInsufficient Memory at 0");
  EXPECT_EQ(id->Stream, nullptr);
}

// A picture with every kind of row content for the writer.
std::unique_ptr<tMemBmp> Sample(int bits, int width, int height) {
  auto pic = std::make_unique<tMemBmp>();
  pic->AllowOddDepths = 1;
  int colors = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 256 + bits;
  std::vector<uint8_t> quads(256 * 4);
  for (int i = 0; i < 256; ++i) {
    quads[i * 4] = static_cast<uint8_t>(i * 37);
    quads[i * 4 + 1] = static_cast<uint8_t>(255 - i);
    quads[i * 4 + 2] = static_cast<uint8_t>(i * 11 + 5);
  }
  pic->Allocate(width, height, false, quads.data(), colors, bits);
  if (bits == 16)
    pic->ChannelMasks[0] = 0x001F, pic->ChannelMasks[1] = 0x07E0, pic->ChannelMasks[2] = 0xF800;
  std::vector<uint8_t> index(static_cast<size_t>(width)), rgb(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // Runs, literals and single pixels, different on each row.
      int v = (x / (1 + y % 7)) * 13 + y * 5 + (x % 9 == 3 ? 77 : 0);
      index[x] = static_cast<uint8_t>(bits < 8 ? v % (1 << bits) : v);
      for (int c = 0; c < 3; ++c) rgb[x * 3 + c] = static_cast<uint8_t>(v * (c + 3));
    }
    if (bits < 8) {
      pic->SetByteLine(y, index.data());
    } else if (bits == 8) {
      std::memcpy(pic->ScanLine(y), index.data(), size_t(width));
    } else {
      pic->SetRGBLine(y, rgb.data());
    }
  }
  return pic;
}

std::vector<uint8_t> Written(tMemBmp& pic, bool os2, bool rle, int bits) {
  auto* mem = new TMemoryStream();
  {
    tBuffStream out("out.bmp", std::unique_ptr<TStream>(mem), true);
    WriteBMP(pic, out, os2, rle, bits);
    out.Flush();
    return mem->Data();
  }
}

struct WriteCase {
  int bits;
  bool os2, rle;
  int readBits;  // the read-back picture's depth
};
const WriteCase kWriteCases[] = {
    {1, false, false, 1},   {4, false, false, 8},   {8, false, false, 8},  {15, false, false, 15},
    {16, false, false, 16}, {24, false, false, 24}, {8, false, true, 8},   {4, false, true, 8},
    {1, true, false, 1},    {8, true, false, 8},    {24, true, false, 24}, {16, true, false, 24}};

TEST_F(BmpTest, WriterRoundTripsThroughTheReader) {
  for (int width : {1, 2, 3, 7, 64, 300}) {
    for (const WriteCase& c : kWriteCases) {
      SCOPED_TRACE(testing::Message() << "bits " << c.bits << " os2 " << c.os2 << " rle " << c.rle
                                      << " width " << width);
      auto pic = Sample(c.bits, width, 9);
      std::vector<uint8_t> file = Written(*pic, c.os2, c.rle, c.bits);
      auto id = Decode(file, "w.bmp");
      ASSERT_NE(id, nullptr);
      EXPECT_EQ(id->ErrorCode, 0);
      EXPECT_EQ(id->Bitmap->BitCount(), c.readBits);
      EXPECT_EQ(Get32(&file[2]), file.size());
      EXPECT_EQ(Get32(&file[34]), c.os2 ? Get32(&file[34]) : pic->ImageSize);
      auto ours = testsupport::PictureToRgb(*pic);
      auto back = testsupport::PictureToRgb(*id->Bitmap);
      EXPECT_EQ(testsupport::ComparePixels(back, ours), "");
    }
  }
}

TEST_F(BmpTest, WriterTableSizes) {
  uint8_t quads[5 * 4] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0, 13, 14, 15, 0};
  tMemBmp pic;
  pic.Allocate(3, 2, false, quads, 5, 8);
  pic.ScanLine(0)[1] = 4;
  for (bool os2 : {false, true}) {
    SCOPED_TRACE(os2);
    std::vector<uint8_t> file = Written(pic, os2, false, 8);
    // Windows: the 5 entries and colours-used 5; OS/2: all 256 entries, the rest black.
    EXPECT_EQ(Get32(&file[10]), os2 ? 14u + 12 + 256 * 3 : 14u + 40 + 5 * 4);
    if (!os2) {
      EXPECT_EQ(Get32(&file[46]), 5u);
    }
    auto id = Decode(file, "t.bmp");
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*id->Bitmap),
                                         testsupport::PictureToRgb(pic)),
              "");
  }
  // Indices cannot stand for more colours than the depth holds: such a write is refused.
  EXPECT_THROW(Written(pic, false, false, 1), std::invalid_argument);
  auto rgb = Sample(24, 4, 2);
  for (int bits : {1, 4, 8}) EXPECT_THROW(Written(*rgb, false, false, bits), std::invalid_argument);
}

TEST_F(BmpTest, WriterLayoutForSixteenBits) {
  auto pic = Sample(24, 3, 2);
  std::vector<uint8_t> f15 = Written(*pic, false, false, 15);
  EXPECT_EQ(f15[28], 16);  // bits
  EXPECT_EQ(Get32(&f15[30]), 0u);
  std::vector<uint8_t> f16 = Written(*pic, false, false, 16);
  EXPECT_EQ(f16[28], 16);
  EXPECT_EQ(Get32(&f16[30]), 3u);
  EXPECT_EQ(Get32(&f16[10]), 14u + 40 + 12);
  EXPECT_EQ(Get32(&f16[54]), 0xF800u);
  EXPECT_EQ(Get32(&f16[58]), 0x07E0u);
  EXPECT_EQ(Get32(&f16[62]), 0x001Fu);
  std::vector<uint8_t> f32 = Written(*pic, false, false, 32);
  EXPECT_EQ(f32[28], 24);
}

TEST_F(BmpTest, Rle8ChunksOfAllDifferentBytes) {
  tMemBmp pic;
  pic.Allocate(300, 1, false, nullptr, 256, 8);
  for (int x = 0; x < 300; ++x) pic.ScanLine(0)[x] = static_cast<uint8_t>(x * 7 + x / 256);
  std::vector<uint8_t> file = Written(pic, false, true, 8);
  size_t p = Get32(&file[10]);
  int pixels = 0;
  while (p + 1 < file.size()) {
    uint8_t count = file[p], value = file[p + 1];
    p += 2;
    if (count == 0 && value < 3) break;
    ASSERT_EQ(count, 0) << "an encoded run among all-different bytes";
    EXPECT_GE(value, 3);
    pixels += value;
    p += value + (value & 1);
  }
  EXPECT_EQ(pixels, 300);
  EXPECT_EQ(file[file.size() - 2], 0);
  EXPECT_EQ(file[file.size() - 1], 1);  // the top row ends the bitmap
}

// The independent checks below need Debian's tools.
struct RefCase {
  const char* file;
  tReference reference;
  const char* referenceFile;  // another file with the same pixels, when the reference refuses this
  int tolerance;
};

// Good files and questionable files that decode whole. 16-bit pictures keep each channel at
// the top of its byte with the low bits 0, where ImageMagick repeats the high bits: tolerance 7.
const RefCase kWholeFiles[] = {
    {"pal1.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal1bg.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal1wb.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal4.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal4gs.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal4rle.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal8-0.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal8.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal8gs.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal8nonsquare.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal8os2.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal8rle.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal8w124.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal8w125.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal8w126.bmp", tReference::ImageMagick, nullptr, 0},
    {"rgb16.bmp", tReference::ImageMagick, nullptr, 7},
    {"rgb16bfdef.bmp", tReference::ImageMagick, nullptr, 7},
    {"rgb16-565.bmp", tReference::ImageMagick, nullptr, 7},
    {"rgb16-565pal.bmp", tReference::ImageMagick, nullptr, 7},
    {"rgb24.bmp", tReference::ImageMagick, nullptr, 0},
    {"rgb24pal.bmp", tReference::ImageMagick, nullptr, 0},
    {"rgb32.bmp", tReference::ImageMagick, nullptr, 0},
    {"rgb32bf.bmp", tReference::ImageMagick, nullptr, 0},
    {"rgb32bfdef.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal1.bmp", tReference::Netpbm, nullptr, 0},
    {"pal8.bmp", tReference::Netpbm, nullptr, 0},
    {"rgb24.bmp", tReference::Pil, nullptr, 0},
    {"pal8rle.bmp", tReference::Pil, nullptr, 0},
    {"q_pal8offs.bmp", tReference::ImageMagick, nullptr, 0},
    {"q_pal8os2-sz.bmp", tReference::ImageMagick, "pal8os2.bmp", 0},
    {"q_pal8oversizepal.bmp", tReference::ImageMagick, "pal8.bmp", 0},
    {"q_rgb24largepal.bmp", tReference::ImageMagick, nullptr, 0},
    {"q_rgb16-231.bmp", tReference::ImageMagick, nullptr, 0},
    // Later info headers, top-down rows and RLE deltas.
    {"pal8v4.bmp", tReference::ImageMagick, nullptr, 0},
    {"pal8v5.bmp", tReference::ImageMagick, nullptr, 0},
    {"bit16_565.bmp", tReference::ImageMagick, nullptr, 7},
    {"pal8topdown.bmp", tReference::ImageMagick, nullptr, 0},
    {"bit4_RLE.bmp", tReference::ImageMagick, nullptr, 0},
    // ImageMagick warns that the file has no end-of-bitmap mark; netpbm and PIL take no deltas.
    {"bit8_RLE.bmp", tReference::ImageMagickWarned, nullptr, 0},
    {"q_pal8rletrns.bmp", tReference::ImageMagick, nullptr, 0},
    {"q_pal8rlecut.bmp", tReference::ImageMagickWarned, nullptr, 0},
    // Pixels a delta passes over stay at index 0, as the "-0" renderings show them; ImageMagick
    // fills them otherwise in 4-bit files.
    {"q_pal4rletrns.bmp", tReference::ImageMagick, "ref/pal4rletrns-0.png", 0},
    {"q_pal4rlecut.bmp", tReference::ImageMagick, "ref/pal4rlecut-0.png", 0},
};

TEST_F(BmpTest, WholeFilesMatchIndependentDecoders) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  for (const RefCase& c : kWholeFiles) {
    SCOPED_TRACE(c.file);
    auto path = BmpFile(c.file);
    auto ours = testsupport::DecodeOurs(path);
    ASSERT_TRUE(ours.identified);
    EXPECT_EQ(ours.formatId, fmtBMP);
    EXPECT_EQ(ours.errorCode, 0);
    testsupport::RgbImage theirs;
    auto refPath = c.referenceFile ? BmpFile(c.referenceFile) : path;
    ASSERT_TRUE(testsupport::DecodeReference(c.reference, refPath, theirs, "bmptopnm"));
    EXPECT_EQ(testsupport::ComparePixels(ours.image, theirs, c.tolerance), "");
  }
}

// The ref/ renderings agree with ImageMagick where both exist, except for 16-bit files (they
// round 5-bit channels to the nearest 8-bit value): check our reader against them too.
TEST_F(BmpTest, FilesMatchTheReferenceRenderings) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  const std::pair<const char*, int> files[] = {{"pal1", 0},     {"pal1bg", 0},   {"pal4", 0},
                                               {"pal4gs", 0},   {"pal8", 0},     {"pal8gs", 0},
                                               {"pal8w124", 0}, {"pal8w125", 0}, {"pal8w126", 0},
                                               {"rgb24", 0},    {"rgb16", 7},    {"rgb16-565", 7}};
  for (auto [name, tolerance] : files) {
    SCOPED_TRACE(name);
    auto ours = testsupport::DecodeOurs(BmpFile(std::string(name) + ".bmp"));
    testsupport::RgbImage ref;
    ASSERT_TRUE(testsupport::DecodeReference(tReference::ImageMagick,
                                             BmpFile(std::string("ref/") + name + ".png"), ref));
    EXPECT_EQ(testsupport::ComparePixels(ours.image, ref, tolerance), "");
  }
}

// Files that stop with an error: the rows delivered before it match the reference.
struct PartialCase {
  const char* file;
  int error;
  tReference reference;
  const char* referenceFile;
};
const PartialCase kPartialFiles[] = {
    // Runs past the right edge: error 8.
    {"b_badrle.bmp", errRunLength, tReference::ImageMagick, "pal8rle.bmp"},
    {"b_badrle4.bmp", errRunLength, tReference::ImageMagick, "pal4rle.bmp"},
    // A bit count without a row layout: error 9, nothing decoded.
    {"b_badbitcount.bmp", errUnknownCompression, tReference::ImageMagick, "pal1.bmp"},
    // Cut short in the rows: the rows read stay, the rest black, no error.
    {"b_shortfile.bmp", 0, tReference::ImageMagick, "pal1.bmp"},
};

TEST_F(BmpTest, DamagedFilesKeepTheRowsDecoded) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  for (const PartialCase& c : kPartialFiles) {
    SCOPED_TRACE(c.file);
    auto path = BmpFile(c.file);
    auto ours = testsupport::DecodeOurs(path);
    ASSERT_TRUE(ours.identified);
    EXPECT_EQ(ours.errorCode, c.error);
    EXPECT_EQ(ours.imageCount, 1);
    EXPECT_LT(ours.rowsDone, ours.image.height);
    testsupport::RgbImage theirs;
    auto refPath = c.referenceFile ? BmpFile(c.referenceFile) : path;
    ASSERT_TRUE(testsupport::DecodeReference(c.reference, refPath, theirs));
    int h = ours.image.height, n = ours.rowsDone;
    EXPECT_EQ(testsupport::ComparePixels(testsupport::CropRows(ours.image, h - n, n),
                                         testsupport::CropRows(theirs, h - n, n)),
              "");
    if (c.error == 0) {
      // The rows never read are black.
      auto missing = testsupport::CropRows(ours.image, 0, h - n - 1);
      EXPECT_TRUE(std::all_of(missing.samples.begin(), missing.samples.end(),
                              [](uint16_t v) { return v == 0; }));
    }
  }
}

TEST_F(BmpTest, BadIndexFileReadsBlackPastTheTable) {
  auto ours = testsupport::DecodeOurs(BmpFile("b_pal8badindex.bmp"));
  ASSERT_TRUE(ours.identified);
  EXPECT_EQ(ours.errorCode, 0);
  EXPECT_EQ(ours.image.height, 64);
}

// OS/2 2.x headers, RLE24 and impossible sizes are not read: such files are not pictures.
TEST_F(BmpTest, FilesOutsideTheReadHeadersAreNotPictures) {
  for (const char* file : {"q_pal8os2v2.bmp", "q_pal8os2v2-16.bmp", "q_rgb24rle24.bmp",
                           "b_badwidth.bmp", "b_reallybig.bmp"}) {
    auto ours = testsupport::DecodeOurs(BmpFile(file));
    EXPECT_FALSE(ours.identified) << file;
  }
}

// Channel masks wider than 8 bits keep their trailing-zero shift, so the low 8 bits of the
// channel show: the file decodes without error but not as other decoders show it.
TEST_F(BmpTest, WideMasksDecodeWithoutError) {
  for (const char* file : {"q_rgb32-111110.bmp", "q_rgba32-61754.bmp"}) {
    auto ours = testsupport::DecodeOurs(BmpFile(file));
    ASSERT_TRUE(ours.identified) << file;
    EXPECT_EQ(ours.errorCode, 0) << file;
  }
}

TEST_F(BmpTest, WrittenFilesReadBackByIndependentDecoders) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  auto dir = testsupport::ScratchDir("bmp_writer");
  for (const WriteCase& c : kWriteCases) {
    if (c.os2 || c.bits == 15 || c.bits == 16) continue;
    for (int width : {5, 131}) {
      SCOPED_TRACE(testing::Message()
                   << "bits " << c.bits << " rle " << c.rle << " width " << width);
      auto pic = Sample(c.bits, width, 17);
      auto file = dir / "w.bmp";
      testsupport::WriteFile(file, Written(*pic, false, c.rle, c.bits));
      auto ours = testsupport::PictureToRgb(*pic);
      for (tReference ref : {tReference::ImageMagick, tReference::Netpbm}) {
        testsupport::RgbImage theirs;
        ASSERT_TRUE(testsupport::DecodeReference(ref, file, theirs, "bmptopnm"));
        EXPECT_EQ(testsupport::ComparePixels(ours, theirs), "") << static_cast<int>(ref);
      }
    }
  }
}

}  // namespace
