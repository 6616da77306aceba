#include "imaging/formats/gTIF.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "imaging/formats/gTIFTestUtil.h"
#include "imaging/formats/uCCITT.h"
#include "tests/DiffDecode.h"
#include "tests/TestSupport.h"

namespace {

using testsupport::RgbImage;
using testsupport::tReference;
using namespace tifftest;

std::filesystem::path TiffFile(const std::string& name) {
  auto path = testsupport::TestData("tiff") / name;
  EXPECT_TRUE(std::filesystem::exists(path)) << path;
  return path;
}

bool HasLine(const tGraphicID& id, const std::string& line) {
  return std::find(id.Info.begin(), id.Info.end(), line) != id.Info.end();
}

// Decodes with ours and with tifftopnm; empty when the pictures are the same.
std::string CompareWithTifftopnm(const std::filesystem::path& file, int image = 1) {
  testsupport::tOurDecode ours = testsupport::DecodeOurs(file, image);
  if (!ours.identified) return "not identified";
  if (ours.errorCode) return "error " + std::to_string(ours.errorCode);
  RgbImage ref;
  if (!testsupport::DecodeReference(tReference::Netpbm, file, ref, "tifftopnm"))
    return "no reference";
  return testsupport::ComparePixels(ours.image, ref);
}

class TiffTest : public testing::Test {
 protected:
  void SetUp() override { RegisterAllFormats(); }
  void TearDown() override { UnregisterAllFormats(); }
};

TEST_F(TiffTest, TestDataAgainstTifftopnm) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "no reference tools";
  for (const char* name : {"blue-purple-pink.lzwcompressed.tiff", "bw-gopher_ccittGroup3.tiff",
                           "bw-gopher_ccittGroup4.tiff", "bw-packbits.tiff", "bw-uncompressed.tiff",
                           "turquoise.tif", "video-001-gray.tiff", "video-001-uncompressed.tiff"})
    EXPECT_EQ(CompareWithTifftopnm(TiffFile(name)), "") << name;
}

TEST_F(TiffTest, RgbaDropsAlphaAsPilDoes) {
  // tifftopnm and tiff2rgba blend unassociated alpha into the colours; the fourth sample is
  // dropped here, as PIL's RGB conversion does.
  if (!testsupport::HaveTools()) GTEST_SKIP() << "no reference tools";
  for (const char* name : {"no_compress.tiff", "no_rps.tiff"}) {
    auto ours = testsupport::DecodeOurs(TiffFile(name));
    RgbImage ref;
    ASSERT_TRUE(testsupport::DecodeReference(tReference::Pil, TiffFile(name), ref)) << name;
    EXPECT_EQ(ours.errorCode, 0) << name;
    EXPECT_EQ(testsupport::ComparePixels(ours.image, ref), "") << name;
  }
}

TEST_F(TiffTest, TestDataThatIsRefused) {
  struct Case {
    const char* name;
    int error;
  } cases[] = {{"bw-deflate.tiff", errUnknownCompression},
               {"video-001.tiff", errUnknownCompression},
               {"video-001-paletted.tiff", errUnknownCompression},
               {"video-001-strip-64.tiff", errUnknownCompression},
               {"video-001-16bit.tiff", errInvalidImage},
               {"video-001-gray-16bit.tiff", errInvalidImage}};
  for (const Case& c : cases) {
    auto ours = testsupport::DecodeOurs(TiffFile(c.name));
    EXPECT_TRUE(ours.identified) << c.name;
    EXPECT_EQ(ours.errorCode, c.error) << c.name;
    EXPECT_EQ(ours.imageCount, 1) << c.name;
  }
}

TEST_F(TiffTest, TiledFileIsRefusedWithItsReason) {
  // Tiles are not read: the page ends with an error that says so, never as a blank picture.
  auto ours = testsupport::DecodeOurs(TiffFile("video-001-tile-64x64.tiff"));
  ASSERT_TRUE(ours.identified);
  EXPECT_EQ(ours.errorCode, errInvalidImage);
  EXPECT_EQ(ours.imageCount, 1);
  EXPECT_NE(std::find(ours.info.begin(), ours.info.end(), "kTiled TIFF images are not supported"),
            ours.info.end());
}

TEST_F(TiffTest, GeneratedFilesAgainstTifftopnm) {
  if (!testsupport::HaveTools() || !testsupport::HaveTool("tiffcp") ||
      !testsupport::HaveTool("pamtotiff"))
    GTEST_SKIP() << "no reference tools";
  auto dir = testsupport::ScratchDir("tiff_generated");
  const std::string rgb = TiffFile("video-001-uncompressed.tiff").string();
  const std::string gray = TiffFile("video-001-gray.tiff").string();
  const std::string bw = TiffFile("bw-uncompressed.tiff").string();
  const std::string pal = TiffFile("turquoise.tif").string();
  ASSERT_EQ(testsupport::Run("tifftopnm " + bw + " 2>/dev/null | pamenlarge 7 > " +
                             (dir / "bw.pbm").string()),
            0);
  std::vector<std::string> commands;
  int n = 0;
  auto file = [&] { return (dir / ("g" + std::to_string(n++) + ".tif")).string(); };
  for (const char* c : {"none", "lzw", "packbits"})
    for (const std::string& src : {rgb, gray, bw, pal})
      for (const char* order : {"", "-B "}) {
        commands.push_back(std::string("tiffcp ") + order + "-c " + c + " " + src + " " + file());
      }
  for (const std::string& src : {rgb, gray})
    for (const char* order : {"", "-B "})
      commands.push_back(std::string("tiffcp ") + order + "-c lzw:2 " + src + " " + file());
  for (const char* c : {"g3", "g3:2d", "g3:2d:fill", "g3:fill", "g4"})
    for (const char* extra : {"", "-f lsb2msb ", "-B -r 13 ", "-f msb2lsb "})
      commands.push_back(std::string("tiffcp ") + extra + "-c " + c + " " + bw + " " + file());
  const std::string pbm = (dir / "bw.pbm").string();
  for (const char* o : {"-g3", "-g3 -2d", "-g3 -2d -fill", "-g4", "-g4 -miniswhite",
                        "-g4 -minisblack", "-g4 -lsb2msb", "-minisblack", "-miniswhite -packbits"})
    commands.push_back(std::string("pamtotiff ") + o + " " + pbm + " > " + file() + " 2>/dev/null");
  commands.push_back("tifftopnm " + rgb + " 2>/dev/null | pamtotiff -lzw -predictor=2 > " + file() +
                     " 2>/dev/null");
  const std::string raw = (dir / "bw.g3").string();
  commands.push_back("pbmtog3 " + pbm + " > " + raw + " 2>/dev/null && fax2tiff -o " + file() +
                     " " + raw + " >/dev/null 2>&1");
  commands.push_back("fax2tiff -4 -r 50 -o " + file() + " " + raw + " >/dev/null 2>&1");
  commands.push_back("fax2tiff -5 -p -m -o " + file() + " " + raw + " >/dev/null 2>&1");
  for (size_t i = 0; i < commands.size(); ++i) {
    ASSERT_EQ(testsupport::Run(commands[i]), 0) << commands[i];
    EXPECT_EQ(CompareWithTifftopnm(dir / ("g" + std::to_string(i) + ".tif")), "") << commands[i];
  }
}

TEST_F(TiffTest, RawFaxStreamsDecodeLikeFax2tiff) {
  if (!testsupport::HaveTools() || !testsupport::HaveTool("fax2tiff"))
    GTEST_SKIP() << "no reference tools";
  auto dir = testsupport::ScratchDir("tiff_rawfax");
  for (const char* kind : {"3", "4"}) {
    auto raw = TiffFile(std::string("bw-gopher.ccitt_group") + kind);
    auto out = dir / (std::string("g") + kind + ".tif");
    ASSERT_EQ(testsupport::Run(std::string("fax2tiff -M -X 153 -") + kind + " -o " + out.string() +
                               " " + raw.string() + " >/dev/null 2>&1"),
              0);
    RgbImage ref;
    ASSERT_TRUE(testsupport::DecodeReference(tReference::Netpbm, out, ref, "tifftopnm"));
    // The same stream straight through the fax codec, 55 rows (the gopher's height).
    std::vector<uint8_t> bytes = testsupport::ReadFile(raw);
    tBuffStream stream("raw", std::make_unique<TMemoryStream>(bytes), false);
    tFaxParams params;
    params.Compression = static_cast<uint16_t>(*kind - '0');
    params.ImageWidth = 153;
    auto codec = FaxCreate(params);
    int rows = 0;
    bool same = true;
    EXPECT_EQ(FaxDecodeStrip(*codec, static_cast<int32_t>(bytes.size()), stream,
                             [&](const uint8_t* row) {
                               for (int x = 0; x < 153 && rows < ref.height; ++x) {
                                 bool white = (row[x >> 3] >> (7 - (x & 7))) & 1;
                                 same &= ref.samples[size_t(rows) * 153 + x] == (white ? 1 : 0);
                               }
                               return ++rows == 55;
                             }),
              0)
        << kind;
    EXPECT_EQ(rows, 55) << kind;
    EXPECT_TRUE(same) << kind;
  }
}

TEST_F(TiffTest, PagesOneAfterAnotherWithPauses) {
  if (!testsupport::HaveTools() || !testsupport::HaveTool("tiffcp"))
    GTEST_SKIP() << "no reference tools";
  auto dir = testsupport::ScratchDir("tiff_pages");
  std::vector<std::string> parts = {"-c g4 " + TiffFile("bw-uncompressed.tiff").string(),
                                    "-c lzw " + TiffFile("turquoise.tif").string(),
                                    "-c packbits " + TiffFile("video-001-gray.tiff").string(),
                                    "-c lzw:2 " + TiffFile("video-001-uncompressed.tiff").string()};
  std::string all;
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string p = (dir / ("p" + std::to_string(i) + ".tif")).string();
    ASSERT_EQ(testsupport::Run("tiffcp " + parts[i] + " " + p), 0);
    all += " " + p;
  }
  auto multi = dir / "multi.tif";
  ASSERT_EQ(testsupport::Run("tiffcp" + all + " " + multi.string()), 0);
  tDecoded d = DecodeBytes(testsupport::ReadFile(multi));
  ASSERT_TRUE(d.Id);
  EXPECT_EQ(d.Id->ErrorCode, 0);
  EXPECT_EQ(d.Images, 4);
  EXPECT_EQ(d.Pauses, 3);
  EXPECT_TRUE(HasLine(*d.Id, "b4 images"));
  for (int page = 1; page <= 4; ++page) {
    auto ours = testsupport::DecodeOurs(multi, page);
    auto single = dir / ("p" + std::to_string(page - 1) + ".tif");
    RgbImage ref;
    ASSERT_TRUE(testsupport::DecodeReference(tReference::Netpbm, single, ref, "tifftopnm"));
    // Each page is drawn from the top-left corner of the picture, sized for the largest page.
    RgbImage crop = testsupport::CropRows(ours.image, 0, ref.height);
    RgbImage left = crop;
    left.width = ref.width;
    left.samples.clear();
    for (int y = 0; y < ref.height; ++y)
      left.samples.insert(left.samples.end(), crop.samples.begin() + size_t(y) * crop.width * 3,
                          crop.samples.begin() + (size_t(y) * crop.width + ref.width) * 3);
    EXPECT_EQ(testsupport::ComparePixels(left, ref), "") << page;
  }
}

TEST_F(TiffTest, OrientationFlipsRowsOnlyFor3And4) {
  if (!testsupport::HaveTools() || !testsupport::HaveTool("tiffset"))
    GTEST_SKIP() << "no reference tools";
  auto dir = testsupport::ScratchDir("tiff_orientation");
  const std::string bw = TiffFile("bw-uncompressed.tiff").string();
  const std::string rgb = TiffFile("blue-purple-pink.lzwcompressed.tiff").string();
  int n = 0;
  for (const std::string& src : {std::string("-c g4 ") + bw, std::string("-c none ") + bw, rgb}) {
    for (int orientation : {1, 2, 3, 4, 5, 7, 8}) {
      auto f = dir / ("o" + std::to_string(n++) + ".tif");
      ASSERT_EQ(testsupport::Run("tiffcp " + src + " " + f.string() + " && tiffset -s 274 " +
                                 std::to_string(orientation) + " " + f.string()),
                0);
      auto ours = testsupport::DecodeOurs(f);
      RgbImage raw;
      // The stored rows as they are, turned upside down for orientations 3 and 4 (the mirror
      // and transposition of the others are not applied).
      const char* flip = orientation == 3 || orientation == 4 ? " | pamflip -tb" : "";
      std::vector<uint8_t> out;
      ASSERT_EQ(
          testsupport::Run("tifftopnm -orientraw " + f.string() + " 2>/dev/null" + flip, &out), 0);
      ASSERT_TRUE(testsupport::ParseNetpbm(out, raw));
      EXPECT_EQ(testsupport::ComparePixels(ours.image, raw), "") << src << " " << orientation;
    }
  }
}

// Hand-made pages: the recipe is the fixture.

std::vector<uint8_t> Gray8(int width, int height) {
  std::vector<uint8_t> v;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) v.push_back(static_cast<uint8_t>(x * 16 + y));
  return v;
}

TEST_F(TiffTest, BothByteOrdersReadTheSameTags) {
  for (bool motorola : {false, true}) {
    tPage page = MakePage(4, 2, {8}, 1);
    page.Tags.push_back({278, 3, {1}});  // a SHORT left-justified in MM files
    page.Strips = {{1, 2, 3, 4}, {5, 6, 7, 8}};
    tDecoded d = DecodeBytes(BuildTiff({page}, motorola));
    ASSERT_TRUE(d.Id) << motorola;
    EXPECT_EQ(d.Id->ErrorCode, 0);
    EXPECT_EQ(d.Id->Width, 4);
    EXPECT_EQ(d.Id->Height, 2);
    EXPECT_EQ(d.Id->SubType, motorola ? "Order MM Compression none" : "Order II Compression none");
    EXPECT_EQ(d.Id->Bitmap->ScanLine(1)[3], 8);
    EXPECT_EQ(d.Id->Bitmap->GetRGBLine(0)[0], 1);
  }
}

TEST_F(TiffTest, PhotometricZeroIsInvertedGrey) {
  tPage page = MakePage(2, 1, {8}, 0);
  page.Strips = {{0, 255}};
  tDecoded d = DecodeBytes(BuildTiff({page}));
  ASSERT_TRUE(d.Id);
  const uint8_t* rgb = d.Id->Bitmap->GetRGBLine(0);
  EXPECT_EQ(rgb[0], 255);
  EXPECT_EQ(rgb[3], 0);
}

TEST_F(TiffTest, SampleListsAndColourModels) {
  struct Case {
    std::vector<uint32_t> bits;
    int photometric;
    int identBits;  // after identification
    int error;      // after loading
  } cases[] = {
      {{8, 8, 8}, 2, 24, 0},
      {{16, 16, 16}, 2, 24, errInvalidImage},
      {{8, 8, 8, 8}, 2, 24, 0},
      {{16}, 1, 24, errInvalidImage},
      {{3}, 1, 3, errInvalidImage},
      {{8, 8}, 1, 24, errInvalidImage},
      {{8}, 2, 8, errInvalidImage},
      {{8, 8, 8}, 6, 24, errUnsupportedColorSpace},
      {{8, 8, 8}, 8, 24, errUnsupportedColorSpace},
      {{8, 8, 8}, 5, 24, errInvalidImage},
  };
  for (const Case& c : cases) {
    tPage page = MakePage(2, 1, c.bits, c.photometric);
    page.Strips = {std::vector<uint8_t>(64, 1)};
    tDecoded d = DecodeBytes(BuildTiff({page}));
    ASSERT_TRUE(d.Id) << c.bits.size();
    EXPECT_EQ(d.Id->BitsPerPixel, c.identBits) << c.bits[0] << " x" << c.bits.size();
    EXPECT_EQ(d.Id->ErrorCode, c.error)
        << c.bits[0] << " x" << c.bits.size() << " " << c.photometric;
  }
}

TEST_F(TiffTest, CmykAndPredictor) {
  tPage page = MakePage(2, 1, {8, 8, 8, 8}, 5);
  page.Strips = {{0, 0, 0, 255, 255, 0, 0, 0}};
  tDecoded d = DecodeBytes(BuildTiff({page}));
  ASSERT_TRUE(d.Id);
  EXPECT_EQ(d.Id->SubType, "Order II Compression none CMYK");
  const uint8_t* bgr = d.Id->Bitmap->ScanLine(0);
  EXPECT_EQ(std::vector<uint8_t>(bgr, bgr + 6), (std::vector<uint8_t>{0, 0, 0, 255, 255, 0}));

  tPage pred = MakePage(3, 1, {8}, 1);
  pred.Tags.push_back({317, 3, {2}});
  pred.Strips = {{10, 5, 250}};
  d = DecodeBytes(BuildTiff({pred}));
  ASSERT_TRUE(d.Id);
  const uint8_t* row = d.Id->Bitmap->ScanLine(0);
  EXPECT_EQ(std::vector<uint8_t>(row, row + 3), (std::vector<uint8_t>{10, 15, 9}));
}

TEST_F(TiffTest, PackBitsRowsAndTheNoOperation) {
  tPage page = MakePage(6, 2, {8}, 1, 32773);
  // Row 0: copy 2, no-op, repeat 4. Row 1: a copy of 8 cut at the row's end (2 dropped).
  page.Strips = {{1, 7, 8, 0x80, 0xFD, 9, 7, 1, 2, 3, 4, 5, 6, 7, 8}};
  tDecoded d = DecodeBytes(BuildTiff({page}));
  ASSERT_TRUE(d.Id);
  EXPECT_EQ(d.Id->ErrorCode, 0);
  const uint8_t* r0 = d.Id->Bitmap->ScanLine(0);
  const uint8_t* r1 = d.Id->Bitmap->ScanLine(1);
  EXPECT_EQ(std::vector<uint8_t>(r0, r0 + 6), (std::vector<uint8_t>{7, 8, 9, 9, 9, 9}));
  EXPECT_EQ(std::vector<uint8_t>(r1, r1 + 6), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST_F(TiffTest, MissingByteCountsWarnAndReadToTheEnd) {
  tPage page = MakePage(4, 2, {8}, 1);
  page.Strips = {Gray8(4, 2)};
  page.ByteCounts = false;
  tDecoded d = DecodeBytes(BuildTiff({page}));
  ASSERT_TRUE(d.Id);
  EXPECT_EQ(d.Id->ErrorCode, 0);
  EXPECT_TRUE(HasLine(
      *d.Id, "bRequired \"StripByteCounts\" tag (279) is missing! Attempting to continue."));
  EXPECT_EQ(d.Id->Bitmap->ScanLine(1)[3], 3 * 16 + 1);
}

TEST_F(TiffTest, StripsPastTheLastRowAreNotDrawn) {
  for (int orientation : {1, 4}) {
    tPage page = MakePage(4, 2, {8}, 1);
    page.Tags.push_back({274, 3, {static_cast<uint32_t>(orientation)}});
    page.Tags.push_back({278, 3, {1}});
    page.Strips = {{1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 3, 3}, {4, 4, 4, 4}};
    tDecoded d = DecodeBytes(BuildTiff({page}));
    ASSERT_TRUE(d.Id);
    EXPECT_EQ(d.Id->ErrorCode, 0);
    const tMemBmp& pic = *d.Id->Bitmap;
    EXPECT_EQ(pic.ScanLine(0)[0], orientation == 1 ? 1 : 2) << orientation;
    EXPECT_EQ(pic.ScanLine(1)[0], orientation == 1 ? 2 : 1) << orientation;
  }
}

TEST_F(TiffTest, LoopingChainEndsAtAPageAlreadySeen) {
  tPage a = MakePage(2, 1, {8}, 1), b = MakePage(2, 1, {8}, 1);
  a.Strips = {{1, 1}};
  b.Strips = {{2, 2}};
  for (int loopTo : {0, 1}) {
    tDecoded d = DecodeBytes(BuildTiff({a, b}, false, loopTo), 1000);
    ASSERT_TRUE(d.Id);
    EXPECT_EQ(d.Images, 2) << loopTo;
    EXPECT_EQ(d.Pauses, 1) << loopTo;
    EXPECT_EQ(d.Id->Stream, nullptr) << loopTo;
  }
}

TEST_F(TiffTest, HostileSizesAndCounts) {
  // Too large for the picture limits: identified, refused as an invalid image.
  tPage wide = MakePage(30001, 1, {8}, 1);
  wide.Strips = {{0}};
  tDecoded d = DecodeBytes(BuildTiff({wide}));
  ASSERT_TRUE(d.Id);
  EXPECT_EQ(d.Id->ErrorCode, errInvalidImage);
  tPage rgb = MakePage(10001, 1, {8, 8, 8}, 2);
  rgb.Strips = {{0}};
  d = DecodeBytes(BuildTiff({rgb}));
  ASSERT_TRUE(d.Id);
  EXPECT_EQ(d.Id->ErrorCode, errInvalidImage);

  // A strip count far beyond what the file holds: read as far as the file goes.
  tPage many = MakePage(4, 2, {8}, 1);
  many.Strips = {Gray8(4, 2)};
  std::vector<uint8_t> bytes = BuildTiff({many});
  for (size_t i = 8 + 2; i + 12 <= bytes.size(); i += 12) {
    if (bytes[i] == 273 - 256 && bytes[i + 1] == 1) {
      bytes[i + 4] = bytes[i + 5] = bytes[i + 6] = 0xFF;
      bytes[i + 7] = 0x7F;
      bytes[i + 8] = 8;  // the offsets start at the header
    }
  }
  d = DecodeBytes(bytes);
  ASSERT_TRUE(d.Id);
  EXPECT_EQ(d.Images, 1);
}

TEST_F(TiffTest, PageWithoutStripsIsRefused) {
  tPage page = MakePage(4, 2, {8}, 1);  // no strips: an empty offset list
  tDecoded d = DecodeBytes(BuildTiff({page}));
  ASSERT_TRUE(d.Id);
  EXPECT_EQ(d.Id->ErrorCode, errInvalidImage);
  EXPECT_TRUE(HasLine(*d.Id, "kNo image data: the strip offsets are missing"));
  EXPECT_EQ(d.Images, 1);
}

TEST_F(TiffTest, ShortIfdIsEndOfFile) {
  tPage page = MakePage(4, 2, {8}, 1);
  page.Strips = {Gray8(4, 2)};
  std::vector<uint8_t> bytes = BuildTiff({page});
  // Claim more entries than the file holds.
  bytes[8] = 200;
  bytes.resize(8 + 2 + 12 * 7);
  tDecoded d = DecodeBytes(bytes);
  ASSERT_TRUE(d.Id);
  EXPECT_EQ(d.Id->ErrorCode, errEndOfFile);
}

TEST_F(TiffTest, InfoLinesDumpTheTags) {
  tPage page = MakePage(4, 2, {8, 8, 8}, 2, 5);
  page.Tags.push_back({317, 3, {2}});
  page.Tags.push_back({270, 2, {'h', 'i', 0}});
  page.Tags.push_back({282, 5, {300, 2}});
  page.Strips = {{0x80, 0x40, 0x40}};  // clear, end
  tDecoded d = DecodeBytes(BuildTiff({page}));
  ASSERT_TRUE(d.Id);
  const tGraphicID& id = *d.Id;
  EXPECT_EQ(id.SubType, "Order II Compression LZW+");
  EXPECT_TRUE(HasLine(id, "gIFD at 8, 11 entries")) << id.Info[2];
  EXPECT_TRUE(HasLine(id, "gTag 256 (ImageWidth)            type 4 (long)     count=  1 value=4"));
  const std::string eight = "            8=00000008h ";
  EXPECT_TRUE(HasLine(id, "g   " + eight + eight + eight));
  EXPECT_TRUE(HasLine(id, "g        300/2"));
  EXPECT_TRUE(HasLine(id, "rhi"));
  EXPECT_TRUE(HasLine(id, "bImage  1: 4x2x16m"));
}

}  // namespace
