#include "imaging/formats/gPNG.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "foundation/uPlatform.h"
#include "tests/DiffDecode.h"
#include "tests/TestSupport.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

void Put32(Bytes& v, uint32_t x) {
  for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<uint8_t>(x >> s));
}

// One chunk with its CRC computed by zlib, independently of the reader's own.
Bytes Chunk(const char* type, const Bytes& data) {
  Bytes v;
  Put32(v, static_cast<uint32_t>(data.size()));
  v.insert(v.end(), type, type + 4);
  v.insert(v.end(), data.begin(), data.end());
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
  if (!data.empty()) crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
  Put32(v, static_cast<uint32_t>(crc));
  return v;
}

Bytes Ihdr(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType, uint8_t interlace = 0,
           uint8_t compression = 0, uint8_t filter = 0) {
  Bytes d;
  Put32(d, width);
  Put32(d, height);
  d.insert(d.end(), {depth, colorType, compression, filter, interlace});
  return Chunk("IHDR", d);
}

Bytes Deflate(const Bytes& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  Bytes out(size);
  EXPECT_EQ(compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9), Z_OK);
  out.resize(size);
  return out;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Png(std::initializer_list<Bytes> chunks) {
  Bytes v = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  for (const Bytes& c : chunks) v.insert(v.end(), c.begin(), c.end());
  return v;
}

const Bytes kIend = Chunk("IEND", {});

// A 4 x 2 8-bit grey picture: rows 10 20 30 40 and 50 60 70 80, both with filter 0.
Bytes GreyRows() { return {0, 10, 20, 30, 40, 0, 50, 60, 70, 80}; }
Bytes GreyPng() { return Png({Ihdr(4, 2, 8, 0), Chunk("IDAT", Deflate(GreyRows())), kIend}); }
Bytes Head(const Bytes& v, size_t n) { return Bytes(v.begin(), v.begin() + static_cast<long>(n)); }

// The expected pixels of a PngSuite file: a flat [r, g, b, a, ...] list, 16-bit values as they
// are; the picture holds their high bytes.
testsupport::RgbImage SuitePixels(const fs::path& json, int width, int height) {
  std::vector<uint32_t> values;
  const Bytes bytes = testsupport::ReadFile(json);
  const std::string text(bytes.begin(), bytes.end());
  for (size_t i = 0; i < text.size();) {
    if (std::isdigit(static_cast<unsigned char>(text[i]))) {
      size_t end;
      values.push_back(static_cast<uint32_t>(std::stoul(text.substr(i), &end)));
      i += end;
    } else {
      ++i;
    }
  }
  const bool wide = !values.empty() && *std::max_element(values.begin(), values.end()) > 255;
  testsupport::RgbImage img;
  img.width = width;
  img.height = height;
  for (size_t p = 0; p + 3 < values.size(); p += 4)
    for (int c = 0; c < 3; ++c)
      img.samples.push_back(static_cast<uint16_t>(values[p + c] >> (wide ? 8 : 0)));
  return img;
}

// Sends the decoder's messages to the test.
class tWatcher : public tPlainPlatform {
 public:
  std::function<void(unsigned, uintptr_t)> OnMessage;
  intptr_t SendWindowMessage(intptr_t, unsigned message, uintptr_t wparam, intptr_t) override {
    if (OnMessage) OnMessage(message, wparam);
    return 0;
  }
};

class PngTest : public testing::Test {
 protected:
  void SetUp() override { RegisterAllFormats(); }
  void TearDown() override {
    UnregisterAllFormats();
    GraphicOptions = 0;
  }

  // Identifies and decodes bytes; null when they are not a picture.
  std::unique_ptr<tGraphicID> Decode(const Bytes& bytes) {
    auto* stream = new tBuffStream("pic.png", std::make_unique<TMemoryStream>(bytes), false);
    auto id = std::make_unique<tGraphicID>(stream);
    if (!id->IdentifyPicture()) {
      delete stream;
      return nullptr;
    }
    id->LoadPicture();
    return id;
  }

  static Bytes Row(tMemBmp& pic, int y, int bytes) {
    return Bytes(pic.ScanLine(y), pic.ScanLine(y) + bytes);
  }
  static bool HasLine(const tGraphicID& id, const std::string& line) {
    return std::find(id.Info.begin(), id.Info.end(), line) != id.Info.end();
  }
  static bool AllZero(tMemBmp& pic) {
    return std::all_of(pic.Bits, pic.Bits + pic.ImageSize, [](uint8_t b) { return b == 0; });
  }
};

TEST_F(PngTest, EverySuitePictureMatchesItsPixels) {
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(testsupport::TestData("png"))) {
    const fs::path file = entry.path();
    const std::string name = file.stem().string();
    if (file.extension() != ".png" || name[0] == 'x') continue;
    SCOPED_TRACE(name);
    testsupport::tOurDecode ours = testsupport::DecodeOurs(file);
    ASSERT_TRUE(ours.identified);
    EXPECT_EQ(ours.formatId, fmtPNG);
    ASSERT_EQ(ours.errorCode, 0);
    testsupport::RgbImage expected =
        SuitePixels(file.parent_path() / (name + ".json"), ours.image.width, ours.image.height);
    EXPECT_EQ(testsupport::ComparePixels(ours.image, expected), "");
    ++checked;
  }
  EXPECT_EQ(checked, 28);
}

TEST_F(PngTest, SuiteDepthsBecomePictureDepths) {
  struct Case {
    const char* file;
    int bits, colors, gray;
    const char* name;
  } cases[] = {
      {"basn0g01", 1, 2, 1, "grayscale PNG"},    {"basn0g02", 8, 4, 1, "grayscale PNG"},
      {"basn0g04", 8, 16, 1, "grayscale PNG"},   {"basn0g16", 8, 256, 1, "grayscale PNG"},
      {"basn4a16", 8, 256, 1, "grayscale+ PNG"}, {"basn3p02", 8, 4, 0, "palette-mapped PNG"},
      {"basn6a16", 24, 280, 0, "RGB+ PNG"},      {"basi2c16", 24, 280, 0, "interlaced RGB PNG"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    auto id =
        Decode(testsupport::ReadFile(testsupport::TestData(std::string("png/") + c.file + ".png")));
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->Bitmap->BitCount(), c.bits);
    EXPECT_EQ(id->Colors, c.colors);
    EXPECT_EQ(id->GrayFlag, c.gray);
    EXPECT_EQ(id->FormatName, c.name);
  }
}

TEST_F(PngTest, DamagedSuiteFilesEndInAnError) {
  struct Case {
    const char* file;
    bool identified;
    int error;
    std::string line;
  } cases[] = {{"xs1n0g01", false, 0, ""},
               {"xcsn0g01", true, errFileDamaged, "kFile damaged at 152"},
               {"xhdn0g08", true, errFileDamaged, "kFile damaged at 33"},
               {"xd0n2c08", true, errInvalidImage, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    auto id =
        Decode(testsupport::ReadFile(testsupport::TestData(std::string("png/") + c.file + ".png")));
    ASSERT_EQ(id != nullptr, c.identified);
    if (!id) continue;
    EXPECT_EQ(id->ErrorCode, c.error);
    EXPECT_EQ(id->ImageCount, 0);
    if (!c.line.empty()) {
      EXPECT_EQ(id->Info.back(), c.line);
    }
    if (id->Bitmap->HasLayout()) {
      EXPECT_TRUE(AllZero(*id->Bitmap));
    }
  }
}

TEST_F(PngTest, HeaderFaults) {
  const Bytes idat = Chunk("IDAT", Deflate(GreyRows()));
  struct Case {
    const char* what;
    Bytes file;
    int error;
  } cases[] = {
      {"grey at 3 bits", Png({Ihdr(4, 2, 3, 0), idat, kIend}), errInvalidImage},
      {"palette at 16 bits", Png({Ihdr(4, 2, 16, 3), idat, kIend}), errInvalidImage},
      {"RGB at 4 bits", Png({Ihdr(4, 2, 4, 2), idat, kIend}), errInvalidImage},
      {"grey+alpha at 1 bit", Png({Ihdr(4, 2, 1, 4), idat, kIend}), errInvalidImage},
      {"interlace method 2", Png({Ihdr(4, 2, 8, 0, 2), idat, kIend}), errInvalidImage},
      {"colour type 5", Png({Ihdr(4, 2, 8, 5), idat, kIend}), errInvalidImage},
      {"compression 1", Png({Ihdr(4, 2, 8, 0, 0, 1), idat, kIend}), errUnknownCompression},
      {"filter method 1", Png({Ihdr(4, 2, 8, 0, 0, 0, 1), idat, kIend}), errInvalidImage},
      {"width 0", Png({Ihdr(0, 2, 8, 0), idat, kIend}), errInvalidImage},
      {"palette height 30001", Png({Ihdr(4, 30001, 8, 3), idat, kIend}), errInvalidImage},
      {"RGB width 10001", Png({Ihdr(10001, 2, 8, 2), idat, kIend}), errInvalidImage},
      {"width past 2^31", Png({Ihdr(0x80000004u, 2, 8, 0), idat, kIend}), errInvalidImage},
      {"IHDR of 12 bytes", Png({Chunk("IHDR", Bytes(12)), idat, kIend}), errBadBlockId},
      {"gAMA of 3 bytes", Png({Ihdr(4, 2, 8, 0), Chunk("gAMA", {0, 0, 1}), idat, kIend}),
       errBadBlockId},
      {"unknown critical chunk", Png({Ihdr(4, 2, 8, 0), Chunk("ABCD", {1}), idat, kIend}),
       errBadBlockId},
      {"unprintable type", Png({Ihdr(4, 2, 8, 0), Chunk("ab\x01d", {1}), idat, kIend}),
       errBadBlockId},
      {"PLTE of 4 bytes", Png({Ihdr(4, 2, 8, 3), Chunk("PLTE", Bytes(4)), idat, kIend}),
       errInvalidImage},
      {"PLTE of 257 entries", Png({Ihdr(4, 2, 8, 3), Chunk("PLTE", Bytes(771)), idat, kIend}),
       errInvalidImage},
      {"IEND before IDAT", Png({Ihdr(4, 2, 8, 0), kIend}), errEndOfFile},
      {"ends in a chunk", Head(GreyPng(), 30), errEndOfFile},
      {"IDAT before IHDR", Png({idat, Ihdr(4, 2, 8, 0), kIend}), errInvalidImage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto id = Decode(c.file);
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->FormatId, fmtPNG);
    EXPECT_EQ(id->ErrorCode, c.error);
    EXPECT_EQ(id->ImageCount, 0);
    EXPECT_EQ(id->Info.back().rfind("k" + ErrorName(c.error) + " at ", 0), 0u) << id->Info.back();
  }
}

TEST_F(PngTest, NotPngSignatures) {
  Bytes bad = GreyPng();
  bad[4] = 0x0A;  // a text-mode transfer turned CR LF into LF
  EXPECT_EQ(Decode(bad), nullptr);
  EXPECT_EQ(Decode(Head(GreyPng(), 7)), nullptr);
}

TEST_F(PngTest, AncillaryChunksAreSkipped) {
  auto id = Decode(
      Png({Ihdr(4, 2, 8, 0), Chunk("abCD", {1, 2, 3}), Chunk("tRNS", {0, 0}), Chunk("sBIT", {8}),
           Chunk("pHYs", Bytes(9)), Chunk("IDAT", Deflate(GreyRows())), Chunk("zzZZ", {}), kIend}));
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(Row(*id->Bitmap, 1, 4), (Bytes{50, 60, 70, 80}));
  EXPECT_EQ(id->Info.back(), "g[ end ]");
}

TEST_F(PngTest, AnyFlippedCrcBitRefusesTheFileBeforeDrawing) {
  const Bytes good = Png({Ihdr(4, 2, 8, 0), Chunk("tEXt", Text("Title\0x")),
                          Chunk("IDAT", Deflate(GreyRows())), Chunk("tEXt", Text("A\0b")), kIend});
  // Each chunk's CRC field ends 4 bytes before the next chunk.
  size_t pos = 8;
  int chunks = 0;
  while (pos < good.size()) {
    const size_t end =
        pos + 12 +
        ((good[pos] << 24) | (good[pos + 1] << 16) | (good[pos + 2] << 8) | good[pos + 3]);
    SCOPED_TRACE(end);
    // A bit of the CRC, and one of the data (the width's low byte in IHDR; the type in IEND).
    for (size_t flip : {end - 1, chunks == 0 ? pos + 11 : end - 5}) {
      Bytes bad = good;
      bad[flip] ^= 0x10;
      auto id = Decode(bad);
      ASSERT_NE(id, nullptr);
      EXPECT_EQ(id->ErrorCode, errFileDamaged);
      EXPECT_EQ(id->Info.back(), "kFile damaged at " + std::to_string(end));
      EXPECT_TRUE(AllZero(*id->Bitmap));
    }
    pos = end;
    ++chunks;
  }
  EXPECT_EQ(chunks, 5);
  Bytes noEnd(good.begin(), good.end() - 12);
  auto id = Decode(noEnd);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, errFileDamaged);
}

TEST_F(PngTest, ImageDataFaultsKeepTheRowsBefore) {
  const Bytes full = Deflate(GreyRows());
  const Bytes garbage = {0x78, 0xDA, 0xFF, 0xFF, 0xFF};  // a block of the reserved type
  Bytes badFilter = GreyRows();
  badFilter[5] = 5;
  struct Case {
    const char* what;
    Bytes data;
    int error, rowsDone;
  } cases[] = {
      {"stream cut after the first row", Bytes(full.begin(), full.end() - 6), errFileDamaged, 1},
      {"no image data", {}, errFileDamaged, 0},
      {"data that does not inflate", garbage, errFileDamaged, 0},
      {"filter type 5", Deflate(badFilter), errBadCode, 1},
      {"rows short of the height", Deflate(Head(GreyRows(), 5)), errFileDamaged, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto id = Decode(Png({Ihdr(4, 2, 8, 0), Chunk("IDAT", c.data), kIend}));
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->ErrorCode, c.error);
    EXPECT_EQ(id->RowsDone, c.rowsDone);
    EXPECT_EQ(Row(*id->Bitmap, 0, 4), c.rowsDone ? (Bytes{10, 20, 30, 40}) : Bytes(4, 0));
  }
}

TEST_F(PngTest, ImageDataSpreadOverSeveralChunks) {
  const Bytes data = Deflate(GreyRows());
  auto id =
      Decode(Png({Ihdr(4, 2, 8, 0), Chunk("IDAT", Bytes(data.begin(), data.begin() + 3)),
                  Chunk("IDAT", {}), Chunk("IDAT", Bytes(data.begin() + 3, data.end())), kIend}));
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(Row(*id->Bitmap, 1, 4), (Bytes{50, 60, 70, 80}));
  const std::vector<std::string> lines(id->Info.end() - 6, id->Info.end());
  const std::vector<std::string> expected = {
      "g3 byte compressed image",
      "g0 byte compressed image",
      "g" + std::to_string(data.size() - 3) + " byte compressed image",
      "g10 byte expanded image",
      "gFilter 0 = 2",
      "g[ end ]"};
  EXPECT_EQ(lines, expected);
}

// Rows longer than 65535 bytes: 16-bit RGBA 10000 wide and 16-bit grey + alpha 20000 wide.
TEST_F(PngTest, WideSixteenBitRows) {
  struct Case {
    uint32_t width;
    uint8_t colorType;
  } cases[] = {{10000, 6}, {20000, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    const int samples = c.colorType == 6 ? 4 : 2;
    const size_t rowBytes = size_t(c.width) * samples * 2;
    // Row 0: sample s of pixel x has the high byte (x + s) & 0xFF and low byte 0x77. Row 1 uses
    // the Up filter with all zero bytes, so it repeats row 0.
    Bytes raw(1 + rowBytes);
    for (uint32_t x = 0; x < c.width; ++x)
      for (int s = 0; s < samples; ++s) {
        raw[1 + (x * samples + s) * 2] = static_cast<uint8_t>(x + s);
        raw[2 + (x * samples + s) * 2] = 0x77;
      }
    raw.push_back(2);
    raw.resize(raw.size() + rowBytes, 0);
    auto id = Decode(Png({Ihdr(c.width, 2, 16, c.colorType), Chunk("IDAT", Deflate(raw)), kIend}));
    ASSERT_NE(id, nullptr);
    ASSERT_EQ(id->ErrorCode, 0);
    for (int y = 0; y < 2; ++y) {
      const uint8_t* row = id->Bitmap->ScanLine(y);
      bool same = true;
      for (uint32_t x = 0; x < c.width && same; ++x) {
        const uint8_t v = static_cast<uint8_t>(x);
        if (c.colorType == 6) {
          same = row[x * 3] == uint8_t(v + 2) && row[x * 3 + 1] == uint8_t(v + 1) &&
                 row[x * 3 + 2] == v;
        } else {
          same = row[x] == v;
        }
      }
      EXPECT_TRUE(same) << "row " << y;
    }
  }
}

TEST_F(PngTest, TextChunksBecomeInfoLinesAndRemarks) {
  Bytes ztxt = Text("Comment");
  ztxt.insert(ztxt.end(), {0, 0});
  const Bytes packed = Deflate(Text("Hi there"));
  ztxt.insert(ztxt.end(), packed.begin(), packed.end());
  auto id = Decode(Png({Ihdr(4, 2, 8, 0), Chunk("gAMA", {0, 0, 0xB1, 0x8F}),
                        Chunk("tIME", {0x07, 0xDB, 3, 14, 15, 9, 26}),
                        Chunk("tEXt", Text(std::string("Title\0Sunset", 12))),
                        Chunk("IDAT", Deflate(GreyRows())), Chunk("zTXt", ztxt),
                        Chunk("tIME", {0x07, 0xDB, 13, 14, 15, 9, 26}), kIend}));
  ASSERT_NE(id, nullptr);
  ASSERT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->Gamma, 454);
  const std::vector<std::string> expected = {
      "kpic.png",
      "bImage gamma= 0.454",
      "bCreated 2011-03-14 15:09:26",
      "g12 character comment",
      "rTitle",
      "rSunset",
      "b4x2x256 grayscale PNG ",
      "gChecking file CRC32",
      "g" + std::to_string(Deflate(GreyRows()).size()) + " byte compressed image",
      "g10 byte expanded image",
      "gFilter 0 = 2",
      "g" + std::to_string(ztxt.size()) + " compressed comment bytes",
      "rComment",
      "g (8 characters)",
      "rHi there",
      "bCreated invalid!",
      "g[ end ]"};
  EXPECT_EQ(id->Info, expected);
  EXPECT_EQ(id->RemarksText("Comment"), "Title\r\nSunset\r\n\r\nHi there");
}

TEST_F(PngTest, CompressedCommentsStopAtOneMegabyte) {
  Bytes ztxt = {'C', 0, 0};
  const Bytes packed = Deflate(Bytes(3 << 20, 'a'));
  ztxt.insert(ztxt.end(), packed.begin(), packed.end());
  auto id = Decode(
      Png({Ihdr(4, 2, 8, 0), Chunk("zTXt", ztxt), Chunk("IDAT", Deflate(GreyRows())), kIend}));
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_TRUE(HasLine(*id, "g (1048576 characters)"));
}

// An interlaced 8 x 8 picture decodes; each finished pass is reported, and after the first one
// the whole picture shows its one pixel as a block.
TEST_F(PngTest, InterlacedPassesShowAsBlocks) {
  // Pixel (x, y) = 100 + 8y + x; the Adam7 passes store them in their own order.
  Bytes raw;
  const int rowStart[] = {0, 0, 4, 0, 2, 0, 1}, colStart[] = {0, 4, 0, 2, 0, 1, 0};
  const int rowStep[] = {8, 8, 8, 4, 4, 2, 2}, colStep[] = {8, 8, 4, 4, 2, 2, 1};
  for (int p = 0; p < 7; ++p)
    for (int y = rowStart[p]; y < 8; y += rowStep[p]) {
      raw.push_back(0);
      for (int x = colStart[p]; x < 8; x += colStep[p])
        raw.push_back(static_cast<uint8_t>(100 + 8 * y + x));
    }
  const Bytes file = Png({Ihdr(8, 8, 8, 0, 1), Chunk("IDAT", Deflate(raw)), kIend});
  tWatcher watcher;
  std::vector<Bytes> afterPass[2];
  int partials = 0;
  tGraphicID* current = nullptr;
  watcher.OnMessage = [&](unsigned message, uintptr_t wparam) {
    if (message != WM_GRAPHIC_PROGRESS || wparam != 1) return;
    if (++partials <= 2)
      for (int y = 0; y < 8; ++y) afterPass[partials - 1].push_back(Row(*current->Bitmap, y, 8));
  };
  GraphicOptions = goDisplayInterlace;
  SetPlatform(&watcher);
  auto* stream = new tBuffStream("i.png", std::make_unique<TMemoryStream>(file), false);
  tGraphicID id(stream);
  ASSERT_TRUE(id.IdentifyPicture());
  current = &id;
  id.NotifyWindow = 1;
  id.LoadPicture();
  SetPlatform(nullptr);
  EXPECT_EQ(id.ErrorCode, 0);
  EXPECT_EQ(id.FormatName, "interlaced grayscale PNG");
  EXPECT_EQ(partials, 7);
  ASSERT_EQ(afterPass[1].size(), 8u);
  for (int y = 0; y < 8; ++y) {
    EXPECT_EQ(afterPass[0][y], Bytes(8, 100));
    EXPECT_EQ(afterPass[1][y], (Bytes{100, 100, 100, 100, 104, 104, 104, 104}));
  }
  for (int y = 0; y < 8; ++y) {
    Bytes want;
    for (int x = 0; x < 8; ++x) want.push_back(static_cast<uint8_t>(100 + 8 * y + x));
    EXPECT_EQ(Row(*id.Bitmap, y, 8), want);
  }
}

TEST_F(PngTest, PngCrcMatchesThePublishedValues) {
  const uint8_t iend[] = {'I', 'E', 'N', 'D'};
  EXPECT_EQ(PngCrc(iend, 0, 4), 0xAE426082u);
  const std::string digits = "123456789";
  const auto* d = reinterpret_cast<const uint8_t*>(digits.data());
  EXPECT_EQ(PngCrc(d + 4, PngCrc(d, 0, 4), 5), 0xCBF43926u);
}

TEST_F(PngTest, CrcPassChecksAndFillsIn) {
  Bytes file = Png({Ihdr(4, 2, 8, 0), Chunk("IDAT", Deflate(GreyRows())), kIend});
  const Bytes good = file;
  int idats = -1;
  {
    tBuffStream reader("a.png", std::make_unique<TMemoryStream>(file), false);
    EXPECT_EQ(PngCrcPass(reader, false, idats), 0);
    EXPECT_EQ(idats, 1);
  }
  // Zero every CRC field; the write-mode pass puts them back.
  for (size_t pos = 8; pos < file.size();) {
    size_t end = pos + 12 + ((file[pos + 2] << 8) | file[pos + 3]);
    std::fill(file.begin() + static_cast<long>(end) - 4, file.begin() + static_cast<long>(end), 0);
    pos = end;
  }
  auto memory = std::make_unique<TMemoryStream>(file);
  TMemoryStream* raw = memory.get();
  tBuffStream writer("a.png", std::move(memory), true);
  EXPECT_EQ(PngCrcPass(writer, true, idats), 0);
  EXPECT_EQ(raw->Data(), good);
}

// Files made by ImageMagick and netpbm, against netpbm's decoder (16-bit samples differ in
// rounding: the picture keeps the high byte).
TEST_F(PngTest, GeneratedFilesMatchPngtopam) {
  if (!testsupport::HaveTool("convert") || !testsupport::HaveTool("pngtopam"))
    GTEST_SKIP() << "reference tools not available";
  const fs::path dir = testsupport::ScratchDir("png_generated");
  const std::string source = (dir / "src.ppm").string();
  ASSERT_EQ(
      testsupport::Run("convert -size 203x61 -seed 3 plasma:fractal -depth 16 '" + source + "'"),
      0);
  struct Case {
    const char* name;
    std::string command;  // makes OUT from SRC
    int tolerance;
  } cases[] = {
      {"rgb16", "convert SRC -depth 16 PNG48:OUT", 1},
      {"rgba16 interlaced",
       "convert SRC -alpha set -channel A -fx 'i/w' -depth 16 -interlace PNG PNG64:OUT", 1},
      {"rgb8 interlaced", "convert SRC -depth 8 -interlace PNG PNG24:OUT", 0},
      {"palette of 30", "convert SRC -colors 30 -depth 8 PNG8:OUT", 0},
      {"grey 4 bits", "convert SRC -colorspace Gray -depth 4 OUT", 0},
      {"grey 2 bits interlaced", "convert SRC -colorspace Gray -depth 2 -interlace PNG OUT", 0},
      {"grey16 + alpha",
       "convert SRC -colorspace Gray -alpha set -channel A -fx 'j/h' -depth 16 OUT", 1},
      {"netpbm rgb", "pnmtopng SRC > OUT", 1},
      {"netpbm grey interlaced", "ppmtopgm SRC | pnmtopng -interlace > OUT", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string out = (dir / (std::string(c.name) + ".png")).string();
    std::string command = c.command;
    command.replace(command.find("SRC"), 3, "'" + source + "'");
    command.replace(command.find("OUT"), 3, "'" + out + "'");
    ASSERT_EQ(testsupport::Run(command), 0) << command;
    testsupport::RgbImage theirs;
    ASSERT_TRUE(
        testsupport::DecodeReference(testsupport::tReference::Netpbm, out, theirs, "pngtopam"));
    testsupport::tOurDecode ours = testsupport::DecodeOurs(out);
    ASSERT_EQ(ours.errorCode, 0);
    // Our pictures have no alpha: compare colour only.
    if (theirs.channels == 2 || theirs.channels == 4) {
      testsupport::RgbImage opaque = theirs;
      opaque.channels = theirs.channels - 1;
      opaque.samples.clear();
      for (size_t i = 0; i < theirs.samples.size(); i += theirs.channels)
        opaque.samples.insert(opaque.samples.end(), theirs.samples.begin() + static_cast<long>(i),
                              theirs.samples.begin() + static_cast<long>(i) + opaque.channels);
      theirs = opaque;
    }
    EXPECT_EQ(testsupport::ComparePixels(ours.image, theirs, c.tolerance), "");
  }
}

}  // namespace
