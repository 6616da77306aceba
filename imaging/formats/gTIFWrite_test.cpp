#include <gtest/gtest.h>

#include <map>

#include "imaging/formats/gTIF.h"
#include "imaging/formats/gTIFTestUtil.h"
#include "tests/DiffDecode.h"
#include "tests/TestSupport.h"

namespace {

using testsupport::RgbImage;

// A picture with a pattern in every row. palette: 0 grey ramp, 1 colours, 2 grey with white at
// index 0, 3 greys out of order.
std::unique_ptr<tMemBmp> MakePicture(int width, int height, int bits, int palette = 1) {
  auto pic = std::make_unique<tMemBmp>();
  const int colors = bits <= 8 ? 1 << bits : 280;
  uint8_t quads[1024] = {};
  for (int i = 0; i < 256 && bits <= 8; ++i) {
    const int level = palette == 2   ? 255 - i * 255 / (colors - 1)
                      : palette == 3 ? (i * 97 + 13) % 256
                                     : i * 255 / (colors - 1);
    quads[i * 4] = static_cast<uint8_t>(palette == 1 ? i * 37 : level);
    quads[i * 4 + 1] = static_cast<uint8_t>(palette == 1 ? 255 - i * 11 : level);
    quads[i * 4 + 2] = static_cast<uint8_t>(palette == 1 ? i * 5 : level);
  }
  pic->Allocate(width, height, palette != 1, bits <= 8 ? quads : nullptr, colors, bits);
  for (int y = 0; y < height; ++y) {
    if (bits > 8) {
      uint8_t* row = pic->ScanLine(y);
      for (int x = 0; x < width * 3; ++x)
        row[x] = static_cast<uint8_t>(x * 7 + y * 3 + (x % 3) * 50);
    } else {
      uint8_t* row = pic->GetByteLine(y);
      for (int x = 0; x < width; ++x) row[x] = static_cast<uint8_t>((x / 3 + y) % colors);
      if (bits == 8) continue;
      pic->SetByteLine(y, row);
    }
  }
  return pic;
}

std::vector<uint8_t> Write(tMemBmp& pic, int bits, bool ccitt, bool compressed,
                           const std::string& description = "") {
  tBuffStream out("out.tif", std::make_unique<TMemoryStream>(), true);
  WriteTIFF(pic, out, description, bits, ccitt, true, compressed);
  out.Flush();
  return static_cast<TMemoryStream*>(out.Stream.get())->Data();
}

uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t Get16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

struct tField {
  uint16_t Type;
  uint32_t Count, Value;
};
std::map<int, tField> ReadFields(const std::vector<uint8_t>& b) {
  std::map<int, tField> fields;
  const uint32_t ifd = Get32(b, 4);
  for (int i = 0; i < Get16(b, ifd); ++i) {
    size_t at = ifd + 2 + 12 * size_t(i);
    fields[Get16(b, at)] = {Get16(b, at + 2), Get32(b, at + 4), Get32(b, at + 8)};
  }
  return fields;
}

struct tWriteCase {
  int bits;  // picture depth
  int palette;
  int writeBits;
  bool ccitt, compressed;
  int compression, photometric, bitsPerSample;
};

const tWriteCase kCases[] = {
    {1, 0, 1, false, false, 1, 1, 1},   {1, 0, 1, false, true, 32773, 1, 1},
    {1, 0, 1, true, true, 4, 0, 1},     {1, 2, 1, false, true, 32773, 1, 1},
    {1, 2, 1, true, true, 4, 0, 1},     {1, 1, 4, false, true, 5, 3, 4},
    {4, 1, 4, false, false, 1, 3, 4},   {4, 1, 4, false, true, 5, 3, 4},
    {4, 0, 4, false, true, 5, 1, 4},    {4, 2, 4, false, true, 5, 1, 8},
    {8, 1, 8, false, true, 5, 3, 8},    {8, 0, 8, false, false, 1, 1, 8},
    {8, 3, 8, false, true, 5, 1, 8},    {24, 1, 24, false, true, 5, 2, 8},
    {24, 1, 24, false, false, 1, 2, 8}, {24, 1, 15, false, true, 5, 2, 8},
    {8, 1, 24, false, true, 5, 2, 8},
};

// What the written file should show: the picture, with 15-bit samples cut to 5 bits.
RgbImage Expected(tMemBmp& pic, int writeBits) {
  RgbImage img = testsupport::PictureToRgb(pic);
  if (writeBits == 15)
    for (uint16_t& v : img.samples) v &= 0xF8;
  return img;
}

TEST(TiffWriteTest, EveryKindReadsBackTheSame) {
  for (const tWriteCase& c : kCases) {
    auto pic = MakePicture(45, 37, c.bits, c.palette);
    std::vector<uint8_t> bytes = Write(*pic, c.writeBits, c.ccitt, c.compressed);
    const std::string what = std::to_string(c.bits) + "/" + std::to_string(c.palette) + "/" +
                             std::to_string(c.writeBits) + (c.ccitt ? " ccitt" : "") +
                             (c.compressed ? " compressed" : "");
    auto fields = ReadFields(bytes);
    EXPECT_EQ(fields[259].Count ? fields[259].Value : 1u, uint32_t(c.compression)) << what;
    EXPECT_EQ(fields[262].Value, uint32_t(c.photometric)) << what;
    const uint32_t bps = fields.count(258) == 0   ? 1
                         : fields[258].Count == 1 ? fields[258].Value
                                                  : Get16(bytes, fields[258].Value);
    EXPECT_EQ(bps, uint32_t(c.bitsPerSample)) << what;
    EXPECT_EQ(fields.count(320), c.photometric == 3 ? 1u : 0u) << what;
    // Two strips or more, each on an even offset.
    ASSERT_GE(fields[273].Count, 2u) << what;
    for (uint32_t i = 0; i < fields[273].Count; ++i)
      EXPECT_EQ(Get32(bytes, fields[273].Value + 4 * i) % 2, 0u) << what;

    tifftest::tDecoded d = tifftest::DecodeBytes(bytes);
    ASSERT_TRUE(d.Id) << what;
    EXPECT_EQ(d.Id->ErrorCode, 0) << what;
    EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*d.Id->Bitmap),
                                         Expected(*pic, c.writeBits)),
              "")
        << what;
  }
}

TEST(TiffWriteTest, ToolsReadWhatWasWritten) {
  if (!testsupport::HaveTools() || !testsupport::HaveTool("tiffinfo"))
    GTEST_SKIP() << "no reference tools";
  auto dir = testsupport::ScratchDir("tiff_write_tools");
  int n = 0;
  for (const tWriteCase& c : kCases) {
    auto pic = MakePicture(301, 67, c.bits, c.palette);
    auto file = dir / ("w" + std::to_string(n++) + ".tif");
    testsupport::WriteFile(file, Write(*pic, c.writeBits, c.ccitt, c.compressed, "A test picture"));
    const std::string what = file.string();
    std::vector<uint8_t> out;
    EXPECT_EQ(testsupport::Run("tiffinfo -D " + file.string() + " 2>&1 >/dev/null", &out), 0)
        << what;
    EXPECT_EQ(std::string(out.begin(), out.end()), "") << what;  // no warnings
    EXPECT_EQ(testsupport::Run("tiffdump " + file.string() + " >/dev/null 2>&1"), 0) << what;
    RgbImage expected = Expected(*pic, c.writeBits), ref;
    ASSERT_TRUE(
        testsupport::DecodeReference(testsupport::tReference::Netpbm, file, ref, "tifftopnm"))
        << what;
    EXPECT_EQ(testsupport::ComparePixels(expected, ref), "") << what;
    ASSERT_TRUE(testsupport::DecodeReference(testsupport::tReference::Pil, file, ref)) << what;
    EXPECT_EQ(testsupport::ComparePixels(expected, ref), "") << what;
  }
}

TEST(TiffWriteTest, StripLayout) {
  struct Case {
    int width, height, bits;
    uint32_t rowsPerStrip, strips;
  } cases[] = {{10, 1, 24, 1, 2}, {1000, 10, 24, 2, 5}, {100, 50, 8, 25, 2}, {8000, 3, 1, 2, 2}};
  for (const Case& c : cases) {
    auto pic = MakePicture(c.width, c.height, c.bits, c.bits == 1 ? 0 : 1);
    for (bool compressed : {false, true}) {
      std::vector<uint8_t> bytes = Write(*pic, c.bits, false, compressed);
      auto fields = ReadFields(bytes);
      EXPECT_EQ(fields[278].Value, c.rowsPerStrip) << c.width << "x" << c.height;
      EXPECT_EQ(fields[273].Count, c.strips) << c.width << "x" << c.height;
      EXPECT_EQ(fields[279].Count, c.strips);
      tifftest::tDecoded d = tifftest::DecodeBytes(bytes);
      ASSERT_TRUE(d.Id);
      EXPECT_EQ(d.Id->ErrorCode, 0);
      EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*d.Id->Bitmap),
                                           testsupport::PictureToRgb(*pic)),
                "");
    }
  }
}

TEST(TiffWriteTest, TagsAndTexts) {
  auto pic = MakePicture(20, 4, 8, 1);
  for (const std::string& description :
       {std::string("abc"), std::string("abcdef"), std::string()}) {
    std::vector<uint8_t> bytes = Write(*pic, 8, false, false, description);
    auto fields = ReadFields(bytes);
    std::vector<int> tags;
    for (const auto& f : fields) tags.push_back(f.first);
    std::vector<int> expected = {254, 256, 257, 258, 262, 273, 278, 279, 282, 283, 296, 305, 320};
    if (!description.empty()) expected.insert(expected.begin() + 5, 270);
    EXPECT_EQ(tags, expected) << description;
    EXPECT_EQ(fields[320].Count, 768u);
    EXPECT_EQ(fields[282].Value, fields[283].Value);
    EXPECT_EQ(Get32(bytes, fields[282].Value), 72u);
    EXPECT_EQ(Get32(bytes, fields[282].Value + 4), 1u);
    EXPECT_EQ(fields[296].Value, 2u);
    if (description.size() == 3) {
      // Four bytes with the NUL: they stand in the value field itself.
      EXPECT_EQ(fields[270].Count, 4u);
      EXPECT_EQ(fields[270].Value, 0x00636261u);
    } else if (description.size() == 6) {
      EXPECT_EQ(fields[270].Count, 7u);
      EXPECT_EQ(
          std::string(bytes.begin() + fields[270].Value, bytes.begin() + fields[270].Value + 7),
          std::string("abcdef\0", 7));
      EXPECT_EQ(fields[270].Value % 2, 0u);
    }
    const tField& software = fields[305];
    EXPECT_EQ(std::string(bytes.begin() + software.Value,
                          bytes.begin() + software.Value + software.Count - 1),
              "Tavishore 32 32-bit version 5.10a");
  }
}

TEST(TiffWriteTest, ShortWriteStopsTheStrips) {
  // A stream that takes only the first 300 bytes.
  class tShortStream : public TMemoryStream {
   public:
    int32_t Write(const void* buffer, int32_t count) override {
      int64_t pos = Position();
      int32_t n = static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>(count, 300 - pos)));
      return TMemoryStream::Write(buffer, n);
    }
  };
  auto pic = MakePicture(500, 100, 24);
  tBuffStream out("short.tif", std::make_unique<tShortStream>(), true);
  WriteTIFF(*pic, out, "", 24, false, true, false);
  out.Flush();
  EXPECT_EQ(out.AtEnd, 1);
  EXPECT_LE(static_cast<TMemoryStream*>(out.Stream.get())->DataSize(), 300);
}

}  // namespace
