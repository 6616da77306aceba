#include "imaging/formats/gTGA.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "imaging/PictureTestUtil.h"
#include "imaging/formats/gReader_testkit.h"
#include "tests/DiffDecode.h"
#include "tests/TestSupport.h"

namespace {

using testsupport::tReference;

void Put16(std::vector<uint8_t>& v, int x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}

// A Targa file made field by field: the recipe is the test's fixture.
struct tTgaRecipe {
  int idLength = 0, mapType = 0, imageType = 3;
  int firstIndex = 0, mapLength = 0, entryBits = 0;
  int xOrigin = 0, yOrigin = 0, width = 4, height = 2, depth = 8, descriptor = 0;
  std::vector<uint8_t> map, data;
  int padding = 0;  // extra bytes after the data
  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> v = {static_cast<uint8_t>(idLength), static_cast<uint8_t>(mapType),
                              static_cast<uint8_t>(imageType)};
    Put16(v, firstIndex);
    Put16(v, mapLength);
    v.push_back(static_cast<uint8_t>(entryBits));
    Put16(v, xOrigin);
    Put16(v, yOrigin);
    Put16(v, width);
    Put16(v, height);
    v.push_back(static_cast<uint8_t>(depth));
    v.push_back(static_cast<uint8_t>(descriptor));
    v.insert(v.end(), static_cast<size_t>(idLength), 'i');
    v.insert(v.end(), map.begin(), map.end());
    v.insert(v.end(), data.begin(), data.end());
    v.insert(v.end(), static_cast<size_t>(padding), 0);
    return v;
  }
  // Uncompressed grey data of the header's size, pixel value = its position.
  tTgaRecipe& Counting() {
    data.resize(size_t(width) * height * depth / 8);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
    return *this;
  }
};

class TgaTest : public readertest::tFormatsTest {
 protected:
  TgaTest() { fileName = "pic.tga"; }
};

std::vector<uint8_t> Row(tMemBmp& pic, int y, int from, int count) {
  const uint8_t* bytes = pic.GetByteLine(y);
  return std::vector<uint8_t>(bytes + from, bytes + from + count);
}

TEST_F(TgaTest, IdentificationTests) {
  const readertest::tIdentifyCase<tTgaRecipe> cases[] = {
      {"plain grey", [](tTgaRecipe&) {}, true},
      {"map type 0 with a mapped image", [](tTgaRecipe& r) { r.imageType = 1; }, false},
      {"map type 2", [](tTgaRecipe& r) { r.mapType = 2; }, false},
      {"first map index 256",
       [](tTgaRecipe& r) {
         r.mapType = 1, r.firstIndex = 256, r.mapLength = 1, r.entryBits = 24, r.map.assign(3, 0);
       },
       false},
      {"map of 257 entries",
       [](tTgaRecipe& r) {
         r.mapType = 1, r.mapLength = 257, r.entryBits = 24, r.map.assign(771, 0);
       },
       false},
      {"map entries of 8 bits",
       [](tTgaRecipe& r) { r.mapType = 1, r.mapLength = 2, r.entryBits = 8, r.map.assign(2, 0); },
       false},
      {"map entries of 15 bits count as 16",
       [](tTgaRecipe& r) {
         r.mapType = 1, r.imageType = 1, r.mapLength = 2, r.entryBits = 15, r.map.assign(4, 0);
       },
       true},
      {"depth 15", [](tTgaRecipe& r) { r.depth = 15, r.padding = 16; }, false},
      {"depth 4", [](tTgaRecipe& r) { r.depth = 4; }, false},
      {"descriptor 40", [](tTgaRecipe& r) { r.descriptor = 40; }, true},
      {"descriptor 2", [](tTgaRecipe& r) { r.descriptor = 2; }, false},
      {"descriptor 0x28 + 1", [](tTgaRecipe& r) { r.descriptor = 41; }, false},
      {"image type 4", [](tTgaRecipe& r) { r.imageType = 4; }, false},
      {"image type 12", [](tTgaRecipe& r) { r.imageType = 12; }, false},
      {"run-length data may be short", [](tTgaRecipe& r) { r.imageType = 11, r.data.clear(); },
       true},
      {"uncompressed data one byte short", [](tTgaRecipe& r) { r.data.pop_back(); }, false},
      {"an ID field counts",
       [](tTgaRecipe& r) {
         r.idLength = 5;
         for (int i = 0; i < 5; ++i) r.data.pop_back();
       },
       false},
      {"zero width", [](tTgaRecipe& r) { r.width = 0; }, false},
      {"origin not left of the width", [](tTgaRecipe& r) { r.xOrigin = 4; }, false},
      {"origin left of the width", [](tTgaRecipe& r) { r.xOrigin = 3, r.yOrigin = 1; }, true},
      {"height over 30000", [](tTgaRecipe& r) { r.height = 30001, r.imageType = 11; }, false},
      // The canvas (origin plus size) has the picture's limits: 9000 + 5000 > 10000 at 24 bits.
      {"true-colour canvas over 10000",
       [](tTgaRecipe& r) { r.imageType = 10, r.depth = 24, r.width = 9000, r.xOrigin = 5000; },
       false},
      {"true-colour canvas of 10000",
       [](tTgaRecipe& r) { r.imageType = 10, r.depth = 24, r.width = 6000, r.xOrigin = 4000; },
       true},
      {"grey canvas of 30000",
       [](tTgaRecipe& r) { r.imageType = 11, r.height = 20000, r.yOrigin = 10000; }, true},
      {"grey canvas over 30000",
       [](tTgaRecipe& r) { r.imageType = 11, r.height = 20001, r.yOrigin = 10000; }, false},
  };
  for (const auto& c : cases) {
    tTgaRecipe r;
    r.Counting();
    c.change(r);
    auto saved = tMemBmp::MaxDataSize;
    tMemBmp::MaxDataSize = 1 << 20;  // big canvases end in error 10, which still identifies
    auto id = Decode(r.Build());
    tMemBmp::MaxDataSize = saved;
    // Data Targa refuses may still be another format's (the registry asks them all).
    EXPECT_EQ(id != nullptr && id->FormatId == fmtTGA, c.identified) << c.what;
  }
}

// 640x480 at 24 bits without ID field or map needs 640 x 480 x 3 + 18 bytes.
TEST_F(TgaTest, UncompressedSizeRuleAtTheBoundary) {
  tTgaRecipe r;
  r.imageType = 2, r.depth = 24, r.width = 640, r.height = 480;
  r.data.assign(640 * 480 * 3, 7);
  std::vector<uint8_t> file = r.Build();
  EXPECT_EQ(file.size(), 640u * 480 * 3 + 18);
  EXPECT_NE(Decode(file), nullptr);
  file.pop_back();
  EXPECT_EQ(Decode(file), nullptr);
}

TEST_F(TgaTest, HeaderFieldsAndNames) {
  struct Case {
    int mapType, imageType, entryBits, depth, mapLength;
    const char* name;
    int bits, colors, gray;
  } cases[] = {
      {0, 2, 0, 24, 0, "Targa 24 RGB uncompressed", 24, 280, 0},
      {0, 10, 0, 32, 0, "Targa 32 RGB RLE", 24, 280, 0},
      {0, 2, 0, 16, 0, "Targa 16 RGB uncompressed", 15, 271, 0},
      {0, 3, 0, 8, 0, "Targa 8 grayscale uncompressed", 8, 256, 1},
      {0, 11, 0, 1, 0, "Targa 1 grayscale RLE", 1, 2, 1},
      {1, 1, 24, 8, 7, "Targa 24 mapped uncompressed", 8, 7, 0},
      {1, 9, 15, 8, 3, "Targa 16 mapped RLE", 8, 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tTgaRecipe r;
    r.mapType = c.mapType, r.imageType = c.imageType, r.entryBits = c.entryBits;
    r.depth = c.depth, r.mapLength = c.mapLength;
    r.map.assign(size_t(c.mapLength) * (c.entryBits == 15 ? 2 : c.entryBits / 8), 0);
    r.Counting();
    auto id = Decode(r.Build());
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->FormatId, fmtTGA);
    EXPECT_EQ(id->FormatName, c.name);
    EXPECT_EQ(id->BitsPerPixel, c.bits);
    EXPECT_EQ(id->Colors, c.colors);
    EXPECT_EQ(id->GrayFlag, c.gray);
  }
}

TEST_F(TgaTest, OriginPlacesTheImageInACanvas) {
  for (int descriptor : {0, 32}) {
    SCOPED_TRACE(descriptor);
    tTgaRecipe r;
    r.xOrigin = 10, r.yOrigin = 20, r.width = 100, r.height = 50, r.descriptor = descriptor;
    r.Counting();
    auto id = Decode(r.Build());
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->Width, 110);
    EXPECT_EQ(id->Height, 70);
    EXPECT_EQ(id->IdentWidth, 100);
    EXPECT_EQ(id->IdentHeight, 50);
    EXPECT_EQ(id->RowsDone, 50);
    const std::vector<std::string> want = {
        "kpic.tga", "b110x70x256 Targa 8 grayscale uncompressed ", "b100x50 image at 10,20",
        descriptor == 32 ? "gTop down" : "gBottom up"};
    EXPECT_EQ(id->Info, want);
    tMemBmp& pic = *id->Bitmap;
    // File row k holds the values 100k .. 100k + 99 (mod 256).
    const int firstRow = descriptor == 32 ? 20 : 69, step = descriptor == 32 ? 1 : -1;
    for (int k : {0, 1, 49}) {
      std::vector<uint8_t> want(100);
      for (int x = 0; x < 100; ++x) want[x] = static_cast<uint8_t>(100 * k + x);
      EXPECT_EQ(Row(pic, firstRow + step * k, 10, 100), want) << k;
      EXPECT_EQ(Row(pic, firstRow + step * k, 0, 10), std::vector<uint8_t>(10, 0));
    }
    EXPECT_EQ(Row(pic, 19, 0, 110), std::vector<uint8_t>(110, 0));
    EXPECT_EQ(Row(pic, 0, 0, 110), std::vector<uint8_t>(110, 0));
  }
}

// The origin bit (0x20) means top-down, whatever attribute bits come with it.
TEST_F(TgaTest, DescriptorRule) {
  for (int descriptor : {0, 1, 8, 32, 33, 40}) {
    tTgaRecipe r;
    r.descriptor = descriptor;
    r.Counting();
    auto id = Decode(r.Build());
    ASSERT_NE(id, nullptr);
    const uint8_t firstFileRow[] = {0, 1, 2, 3};
    const int row = (descriptor & 0x20) ? 0 : 1;
    EXPECT_EQ(Row(*id->Bitmap, row, 0, 4), std::vector<uint8_t>(firstFileRow, firstFileRow + 4))
        << descriptor;
  }
}

TEST_F(TgaTest, RunLengthPackets) {
  struct Case {
    const char* what;
    int width, height, depth;
    std::vector<uint8_t> data;
    int error;
    std::vector<uint8_t> bytes;  // decoded rows, top first (bottom-up file: last file row first)
  } cases[] = {
      {"repeat and raw", 4, 1, 8, {0x81, 5, 0x01, 6, 7}, 0, {5, 5, 6, 7}},
      {"packet across rows", 3, 2, 8, {0x84, 9, 0x00, 4}, 0, {9, 9, 4, 9, 9, 9}},
      {"raw packet across rows", 3, 2, 8, {0x04, 1, 2, 3, 4, 5, 0x80, 6}, 0, {4, 5, 6, 1, 2, 3}},
      {"data ends before a packet", 3, 2, 8, {0x82, 1}, errEndOfFile, {0, 0, 0, 1, 1, 1}},
      {"data ends in a raw packet", 3, 2, 8, {0x82, 1, 0x02, 7}, errEndOfFile, {7, 0, 0, 1, 1, 1}},
      {"repeat pixel missing", 3, 1, 8, {0x82}, errEndOfFile, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    tTgaRecipe r;
    r.imageType = 11, r.width = c.width, r.height = c.height, r.depth = c.depth, r.data = c.data;
    auto id = Decode(r.Build());
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->ErrorCode, c.error);
    std::vector<uint8_t> got;
    for (int y = 0; y < c.height; ++y) {
      auto row = Row(*id->Bitmap, y, 0, c.width);
      got.insert(got.end(), row.begin(), row.end());
    }
    EXPECT_EQ(got, c.bytes);
    if (c.error) {
      EXPECT_EQ(id->Info.back().rfind("kEnd Of File at ", 0), 0u);
    }
  }
}

// A packet of 128 pixels that starts 28 pixels before the end of a row goes on for 100 pixels
// in the next row.
TEST_F(TgaTest, LongPacketContinuesInTheNextRow) {
  tTgaRecipe r;
  r.imageType = 10, r.depth = 24, r.width = 128, r.height = 2, r.descriptor = 32;
  r.data = {0x80 | 99, 1, 2, 3, 0xFF, 4, 5, 6};  // 100 pixels, then 128
  auto id = Decode(r.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, errEndOfFile);  // the last 28 pixels are missing
  EXPECT_EQ(id->RowsDone, 1);
  const uint8_t* top = id->Bitmap->GetRGBLine(0);
  EXPECT_EQ(top[99 * 3], 1);
  EXPECT_EQ(top[100 * 3], 4);
  EXPECT_EQ(top[127 * 3 + 2], 6);
  const uint8_t* next = id->Bitmap->GetRGBLine(1);
  EXPECT_EQ(next[99 * 3 + 1], 5);
  EXPECT_EQ(next[100 * 3 + 1], 0);
}

TEST_F(TgaTest, PixelDepths) {
  struct Case {
    const char* what;
    int imageType, depth;
    std::vector<uint8_t> data;  // one pixel
    uint8_t blue, green, red;
  } cases[] = {
      {"16 bits, 5-5-5 with the top bit ignored", 2, 16, {0x1F, 0x80 | 0x7C}, 0xF8, 0, 0xF8},
      {"16 bits green", 2, 16, {0xE0, 0x03}, 0, 0xF8, 0},
      {"24 bits", 2, 24, {1, 2, 3}, 1, 2, 3},
      {"32 bits: alpha dropped", 2, 32, {1, 2, 3, 4}, 1, 2, 3},
      {"32 bits, run-length", 10, 32, {0x80, 9, 8, 7, 6}, 9, 8, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    tTgaRecipe r;
    r.imageType = c.imageType, r.depth = c.depth, r.width = 1, r.height = 1, r.data = c.data;
    auto id = Decode(r.Build());
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->ErrorCode, 0);
    EXPECT_EQ(readertest::Bgr(*id, 0, 0), (std::array<uint8_t, 3>{c.blue, c.green, c.red}));
  }
}

TEST_F(TgaTest, OneBitRowsAtAnOrigin) {
  tTgaRecipe r;
  r.width = 9, r.height = 1, r.depth = 1, r.xOrigin = 3, r.data = {0xA5, 0x80};
  auto id = Decode(r.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->Bitmap->BitCount(), 1);
  EXPECT_EQ(Row(*id->Bitmap, 0, 0, 12), (std::vector<uint8_t>{0, 0, 0, 1, 0, 1, 0, 0, 1, 0, 1, 1}));
  r.xOrigin = 0;
  id = Decode(r.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(Row(*id->Bitmap, 0, 0, 9), (std::vector<uint8_t>{1, 0, 1, 0, 0, 1, 0, 1, 1}));
}

TEST_F(TgaTest, ColorMaps) {
  tTgaRecipe r;
  r.mapType = 1, r.imageType = 1, r.mapLength = 2, r.entryBits = 16, r.width = 2, r.height = 1;
  r.map = {0x1F, 0x00, 0x00, 0x7C};  // blue, red in 5-5-5
  r.data = {1, 0};
  auto id = Decode(r.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->Colors, 2);
  EXPECT_EQ(id->HasPalette, 1);
  const uint8_t* rgb = id->Bitmap->GetRGBLine(0);
  EXPECT_EQ(std::vector<uint8_t>(rgb, rgb + 6), (std::vector<uint8_t>{0, 0, 0xF8, 0xF8, 0, 0}));

  // Pixel values are map indices: a map starting at index 2 fills entries 2 and up.
  r.firstIndex = 2, r.entryBits = 32, r.mapLength = 1, r.map = {10, 20, 30, 40};
  r.data = {2, 0};
  id = Decode(r.Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->Colors, 3);
  rgb = id->Bitmap->GetRGBLine(0);
  EXPECT_EQ(std::vector<uint8_t>(rgb, rgb + 6), (std::vector<uint8_t>{10, 20, 30, 0, 0, 0}));
}

TEST_F(TgaTest, EntryConversion) {
  const uint8_t white16[] = {0xFF, 0x7F}, entry24[] = {1, 2, 3}, entry32[] = {4, 5, 6, 7};
  uint8_t out[3];
  TgaEntryToRGB(white16, out, 16);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 3), (std::vector<uint8_t>{0xF8, 0xF8, 0xF8}));
  TgaEntryToRGB(entry24, out, 24);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 3), (std::vector<uint8_t>{1, 2, 3}));
  TgaEntryToRGB(entry32, out, 32);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 3), (std::vector<uint8_t>{4, 5, 6}));
  uint8_t palette[6];
  const uint8_t map[] = {0x00, 0x7C, 0xE0, 0x03};
  TgaMapToRGB(map, 2, palette, 15);
  EXPECT_EQ(std::vector<uint8_t>(palette, palette + 6),
            (std::vector<uint8_t>{0xF8, 0, 0, 0, 0xF8, 0}));
}

TEST_F(TgaTest, OutOfMemoryIsErrorTen) {
  tTgaRecipe r;
  r.imageType = 10, r.depth = 24, r.width = 3000, r.height = 3000, r.xOrigin = 2000;
  const size_t saved = tMemBmp::MaxDataSize;
  tMemBmp::MaxDataSize = 1 << 20;
  auto id = Decode(r.Build());
  tMemBmp::MaxDataSize = saved;
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, errInsufficientMemory);
  EXPECT_EQ(id->Info.back().rfind("kInsufficient Memory at ", 0), 0u);
  EXPECT_EQ(id->Stream, nullptr);
}

// --- Writer

std::vector<uint8_t> Written(tMemBmp& pic, bool rle, int bits, bool top) {
  auto* mem = new TMemoryStream();
  tBuffStream out("out.tga", std::unique_ptr<TStream>(mem), true);
  WriteTGA(pic, out, rle, bits, top);
  out.Flush();
  return mem->Data();
}

// A grey picture whose palette runs from white (entry 0) to black.
std::unique_ptr<tMemBmp> InvertedGray(int width, int height, int colors, int bits) {
  auto pic = pictest::Pattern(width, height, bits);
  for (int i = 0; i < colors; ++i)
    std::memset(pic->ColorTable + i * 4, 255 - i * 255 / (colors - 1), 3);
  pic->GrayFlag = 1;
  return pic;
}

struct WriteCase {
  int pictureBits;  // 0: an inverted grey picture of 16 levels at 4 bits
  int bits;
  int imageType, depth;
};
const WriteCase kWriteCases[] = {{1, 8, 1, 8},   {4, 8, 1, 8},    {8, 8, 1, 8},    {0, 8, 3, 8},
                                 {8, 16, 2, 16}, {24, 16, 2, 16}, {15, 24, 2, 24}, {24, 24, 2, 24},
                                 {24, 8, 2, 24}, {32, 24, 2, 24}};

TEST_F(TgaTest, WriterRoundTripsThroughTheReader) {
  for (int width : {1, 3, 130, 300}) {
    for (const WriteCase& c : kWriteCases) {
      for (bool rle : {false, true}) {
        for (bool top : {false, true}) {
          SCOPED_TRACE(testing::Message() << "picture " << c.pictureBits << " bits " << c.bits
                                          << " rle " << rle << " top " << top << " w " << width);
          auto pic = c.pictureBits ? pictest::Pattern(width, 5, c.pictureBits)
                                   : InvertedGray(width, 5, 16, 4);
          std::vector<uint8_t> file = Written(*pic, rle, c.bits, top);
          const bool packed = rle && c.depth != 16;  // 16-bit rows are never packed
          EXPECT_EQ(file[2], c.imageType + (packed ? 8 : 0));
          EXPECT_EQ(file[16], c.depth);
          EXPECT_EQ(file[17], top ? 0x20 : 0);
          if (!packed) {
            EXPECT_EQ(file.size(),
                      18u + (file[5] | file[6] << 8) * 3 + size_t(width) * 5 * c.depth / 8);
          }
          auto id = Decode(file);
          ASSERT_NE(id, nullptr);
          EXPECT_EQ(id->ErrorCode, 0);
          auto ours = testsupport::PictureToRgb(*pic);
          auto back = testsupport::PictureToRgb(*id->Bitmap);
          EXPECT_EQ(testsupport::ComparePixels(back, ours, c.depth == 16 ? 7 : 0), "");
        }
      }
    }
  }
}

// Grey levels come from the colour table, so a palette running from white to black is kept.
TEST_F(TgaTest, GreyPicturesWriteTheirLevels) {
  auto pic = InvertedGray(4, 1, 16, 4);
  const uint8_t indices[] = {0, 15, 5, 10};
  pic->SetByteLine(0, indices);
  std::vector<uint8_t> file = Written(*pic, false, 8, false);
  ASSERT_EQ(file.size(), 18u + 4);
  EXPECT_EQ(file[2], 3);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 18, file.end()),
            (std::vector<uint8_t>{255, 0, 170, 85}));
  // A 1-bit picture of two colours carries the grey flag but is written mapped.
  auto colors = pictest::Pattern(4, 1, 1);
  colors->GrayFlag = 1;
  file = Written(*colors, false, 8, false);
  EXPECT_EQ(file[1], 1);
  EXPECT_EQ(file[2], 1);
  EXPECT_EQ(file[5], 2);
}

// --- Against independent decoders

std::filesystem::path TgaFile(const std::string& name) {
  auto path = testsupport::TestData("tga") / name;
  EXPECT_TRUE(std::filesystem::exists(path)) << path;
  return path;
}

// ImageMagick, rows in the order the file's origin bits ask for.
bool DecodeImageMagickOriented(const std::filesystem::path& file, testsupport::RgbImage& out) {
  std::vector<uint8_t> data;
  if (testsupport::Run("convert '" + file.string() + "' -auto-orient -depth 8 ppm:- 2>/dev/null",
                       &data) != 0)
    return false;
  return testsupport::ParseNetpbm(data, out);
}

// The Truevision suite and two more run-length files. 16-bit pixels keep each channel at the top
// of its byte with the low bits 0, where the others scale: tolerance 7.
const std::pair<const char*, int> kSuite[] = {
    {"cbw8.tga", 0},     {"ccm8.tga", 7},     {"ctc16.tga", 7},
    {"ctc24.tga", 0},    {"ctc32.tga", 0},    {"ubw8.tga", 0},
    {"ucm8.tga", 7},     {"utc16.tga", 7},    {"utc24.tga", 0},
    {"utc32.tga", 0},    {"flag_b16.tga", 7}, {"flag_b32.tga", 0},
    {"flag_t16.tga", 7}, {"flag_t32.tga", 0}, {"monochrome8_bottom_left_rle.tga", 0}};

TEST_F(TgaTest, SuiteMatchesIndependentDecoders) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  for (auto [name, tolerance] : kSuite) {
    SCOPED_TRACE(name);
    auto ours = testsupport::DecodeOurs(TgaFile(name));
    ASSERT_TRUE(ours.identified);
    EXPECT_EQ(ours.formatId, fmtTGA);
    EXPECT_EQ(ours.errorCode, 0);
    testsupport::RgbImage netpbm, magick;
    ASSERT_TRUE(
        testsupport::DecodeReference(tReference::Netpbm, TgaFile(name), netpbm, "tgatoppm"));
    EXPECT_EQ(testsupport::ComparePixels(ours.image, netpbm, tolerance), "");
    ASSERT_TRUE(DecodeImageMagickOriented(TgaFile(name), magick));
    EXPECT_EQ(testsupport::ComparePixels(ours.image, magick, tolerance), "");
  }
}

// ffmpeg writes 32-bit files top-down with 8 attribute bits (descriptor 0x28).
TEST_F(TgaTest, TopDownFilesWithAlphaFromFfmpeg) {
  if (!testsupport::HaveTools() || !testsupport::HaveTool("ffmpeg"))
    GTEST_SKIP() << "reference tools not available";
  auto dir = testsupport::ScratchDir("tga_ffmpeg");
  for (const char* rle : {"0", "1"}) {
    SCOPED_TRACE(rle);
    auto file = dir / (std::string("bgra") + rle + ".tga");
    ASSERT_EQ(testsupport::Run("ffmpeg -loglevel error -y -f lavfi -i testsrc=size=64x48 "
                               "-frames:v 1 -pix_fmt bgra -rle " +
                               std::string(rle) + " " + file.string()),
              0);
    ASSERT_EQ(testsupport::ReadFile(file)[17], 0x28);
    auto ours = testsupport::DecodeOurs(file);
    ASSERT_TRUE(ours.identified);
    EXPECT_EQ(ours.errorCode, 0);
    testsupport::RgbImage theirs;
    ASSERT_TRUE(DecodeImageMagickOriented(file, theirs));
    EXPECT_EQ(testsupport::ComparePixels(ours.image, theirs), "");
  }
}

// Both have a y origin of 16448, beyond their height of 64: the origin cannot be placed, and
// the files are not taken as Targa.
TEST_F(TgaTest, OriginsBeyondTheSizeAreNotTarga) {
  for (const char* name : {"monochrome16_top_left_rle.tga", "rgb32_top_left_rle_colormap.tga"}) {
    auto ours = testsupport::DecodeOurs(TgaFile(name));
    EXPECT_FALSE(ours.identified) << name;
  }
}

TEST_F(TgaTest, WrittenFilesReadBackWithTgatoppm) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  auto dir = testsupport::ScratchDir("tga_writer");
  for (const WriteCase& c : kWriteCases) {
    for (bool rle : {false, true}) {
      SCOPED_TRACE(testing::Message()
                   << "picture " << c.pictureBits << " bits " << c.bits << " rle " << rle);
      auto pic =
          c.pictureBits ? pictest::Pattern(131, 9, c.pictureBits) : InvertedGray(131, 9, 16, 4);
      auto file = dir / "w.tga";
      testsupport::WriteFile(file, Written(*pic, rle, c.bits, rle));
      testsupport::RgbImage theirs;
      ASSERT_TRUE(testsupport::DecodeReference(tReference::Netpbm, file, theirs, "tgatoppm"));
      // tgatoppm scales 5-bit channels to 8 bits where we keep the low bits 0.
      EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*pic), theirs,
                                           c.depth == 16 ? 7 : 0),
                "");
    }
  }
}

}  // namespace
