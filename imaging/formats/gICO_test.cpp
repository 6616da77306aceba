#include "imaging/formats/gICO.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "imaging/formats/gReader_testkit.h"
#include "tests/DiffDecode.h"
#include "tests/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace readertest;
using testsupport::RgbImage;

// One image of a hand-made icon: a 40-byte header, the colour table, the XOR and AND rows.
struct tIconImage {
  int width = 16, height = 16, bits = 1;
  int colorField = -1;          // the directory's colour byte pair; -1: 2^bits below 256, else 0
  std::vector<uint8_t> table;   // RGBQUAD entries, 2^bits of them
  std::vector<uint8_t> pixels;  // one index per pixel, top row first
  std::vector<uint8_t> mask;    // one 0/1 per pixel, top row first
  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> v;
    Put32(v, 40), Put32(v, width), Put32(v, height * 2), Put16(v, 1), Put16(v, bits);
    for (int i = 0; i < 6; ++i) Put32(v, 0);
    v.insert(v.end(), table.begin(), table.end());
    auto rows = [&](const std::vector<uint8_t>& px, int depth) {
      const int stride = (width * depth + 31) / 32 * 4;
      for (int y = height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(size_t(stride), 0);
        for (int x = 0; x < width; ++x) {
          const int bit = x * depth;
          row[bit / 8] |= static_cast<uint8_t>(px[size_t(y) * width + x] << (8 - depth - bit % 8));
        }
        v.insert(v.end(), row.begin(), row.end());
      }
    };
    rows(pixels, bits);
    rows(mask, 1);
    return v;
  }
};

// An icon file of the images, each placed after the directory in turn.
std::vector<uint8_t> IconFile(const std::vector<tIconImage>& images) {
  std::vector<uint8_t> v;
  Put16(v, 0), Put16(v, 1), Put16(v, static_cast<int>(images.size()));
  std::vector<std::vector<uint8_t>> data;
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (const tIconImage& im : images) {
    data.push_back(im.Build());
    const int field = im.colorField >= 0 ? im.colorField : im.bits < 8 ? 1 << im.bits : 0;
    v.push_back(static_cast<uint8_t>(im.width)), v.push_back(static_cast<uint8_t>(im.height));
    Put16(v, field), Put16(v, 1), Put16(v, im.bits);
    Put32(v, static_cast<uint32_t>(data.back().size())), Put32(v, offset);
    offset += static_cast<uint32_t>(data.back().size());
  }
  for (const auto& d : data) v.insert(v.end(), d.begin(), d.end());
  return v;
}

// A patterned image: index (x + 2y) mod 2^bits, with a transparent top-left corner.
tIconImage Pattern(int width, int height, int bits) {
  tIconImage im;
  im.width = width, im.height = height, im.bits = bits;
  for (int i = 0; i < (1 << bits); ++i) {
    im.table.insert(im.table.end(), {static_cast<uint8_t>(i * 7), static_cast<uint8_t>(200 - i),
                                     static_cast<uint8_t>(i * 3 + 1), 0});
  }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      im.pixels.push_back(static_cast<uint8_t>((x + 2 * y) % (1 << bits)));
      im.mask.push_back(x < 3 && y < 2 ? 1 : 0);
    }
  return im;
}

class IcoTest : public testing::Test {
 protected:
  void SetUp() override { RegisterAllFormats(); }
  void TearDown() override { UnregisterAllFormats(); }
};

// Our picture against a reference RGBA decode: opaque pixels equal, transparent ones show
// `transparent` (entry 0 or the background colour).
void ExpectLikeReference(const RgbImage& ours, const RgbImage& ref, const uint8_t* transparent,
                         const std::string& what) {
  ASSERT_EQ(ref.channels, 4) << what;
  ASSERT_EQ(ours.width, ref.width) << what;
  ASSERT_EQ(ours.height, ref.height) << what;
  int bad = 0;
  for (int p = 0; p < ours.width * ours.height; ++p) {
    const uint16_t* o = &ours.samples[size_t(p) * 3];
    const uint16_t* r = &ref.samples[size_t(p) * 4];
    for (int c = 0; c < 3; ++c) {
      const int want = r[3] >= 128 ? r[c] : transparent[c];
      if (o[c] != want && bad++ < 3)
        ADD_FAILURE() << what << ": pixel " << p << " channel " << c << " ours " << o[c]
                      << " reference " << want;
    }
  }
  EXPECT_EQ(bad, 0) << what;
}

// Every palette image of the file, alone in an icon of its own, decodes as icotool and
// ImageMagick decode that image of the original file.
void CheckEveryPaletteImage(const fs::path& file, const fs::path& dir) {
  std::vector<uint8_t> bytes = testsupport::ReadFile(file);
  ASSERT_GE(bytes.size(), 6u);
  const int count = bytes[4] | bytes[5] << 8;
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = &bytes[6 + 16 * size_t(i)];
    uint32_t size, offset;
    std::memcpy(&size, e + 8, 4), std::memcpy(&offset, e + 12, 4);
    ASSERT_LE(size_t(offset) + size, bytes.size());
    const uint8_t* image = &bytes[offset];
    const int bits = image[0] == 40 ? image[14] : 0;
    if (bits == 0 || bits > 8) continue;  // PNG and true-colour images are not read
    std::vector<uint8_t> single = {0, 0, 1, 0, 1, 0};
    single.insert(single.end(), e, e + 12);
    Put32(single, 22);
    single.insert(single.end(), image, image + size);
    const fs::path one = dir / (file.stem().string() + "_" + std::to_string(i + 1) + ".ico");
    testsupport::WriteFile(one, single);
    const std::string what = file.filename().string() + " image " + std::to_string(i + 1);

    testsupport::tOurDecode ours = testsupport::DecodeOurs(one);
    ASSERT_TRUE(ours.identified) << what;
    EXPECT_EQ(ours.errorCode, 0) << what;
    const uint8_t* entry0 = image + 40;  // blue, green, red
    const uint8_t transparent[3] = {entry0[2], entry0[1], entry0[0]};

    // icotool fails a whole extraction by index when the file has a PNG image: take them all.
    const fs::path extracted = dir / "extracted";
    fs::create_directories(extracted);
    testsupport::Run("icotool -x -o '" + extracted.string() + "' '" + file.string() +
                     "' 2>/dev/null");
    fs::path png;
    const std::string prefix = file.stem().string() + "_" + std::to_string(i + 1) + "_";
    for (const auto& f : fs::directory_iterator(extracted))
      if (f.path().filename().string().rfind(prefix, 0) == 0) png = f.path();
    ASSERT_FALSE(png.empty()) << what;
    RgbImage ref;
    ASSERT_TRUE(DecodeReference(testsupport::tReference::ImageMagickAlpha, png, ref)) << what;
    ExpectLikeReference(ours.image, ref, transparent, what + " (icotool)");
    const fs::path indexed = file.string() + "[" + std::to_string(i) + "]";
    ASSERT_TRUE(DecodeReference(testsupport::tReference::ImageMagickAlpha, indexed, ref)) << what;
    ExpectLikeReference(ours.image, ref, transparent, what + " (ImageMagick)");
  }
}

TEST_F(IcoTest, PaletteImagesMatchIcotoolAndImageMagick) {
  if (!testsupport::HaveTool("icotool") || !testsupport::HaveTool("convert"))
    GTEST_SKIP() << "reference tools not available";
  const fs::path dir = testsupport::ScratchDir("ico_reference");
  // Icons made here by icotool at 1, 4 and 8 bits, and the collected real-world icons.
  const char* make[] = {
      "convert -size 16x16 xc:white -fill black -draw 'rectangle 2,2 9,12' -type palette b1.png",
      "convert -size 24x16 plasma:fractal -seed 3 -colors 14 -type palette b4.png",
      "convert -size 32x32 plasma:fractal -seed 5 -colors 200 b8.png",
      "icotool -c -o made.ico b1.png b4.png b8.png"};
  for (const char* command : make)
    ASSERT_EQ(testsupport::Run("cd '" + dir.string() + "' && " + command + " 2>/dev/null"), 0)
        << command;
  CheckEveryPaletteImage(dir / "made.ico", dir);
  int files = 0;
  for (const auto& entry : fs::directory_iterator(testsupport::TestData("ico"))) {
    CheckEveryPaletteImage(entry.path(), dir);
    ++files;
  }
  EXPECT_GE(files, 6);
}

TEST_F(IcoTest, OnlyFilesNamedIcoAreExamined) {
  const std::vector<uint8_t> file = IconFile({Pattern(16, 16, 1)});
  struct Case {
    const char* name;
    bool icon;
  } cases[] = {{"a.ico", true},  {"dir.x/A.ICO", true}, {"a.Ico", true},
               {"a.bmp", false}, {"a.ico.bak", false},  {"ico", false}};
  for (const Case& c : cases) {
    auto id = Identify(file, c.name);
    EXPECT_EQ(id && id->FormatId == fmtICO, c.icon) << c.name;
  }
}

TEST_F(IcoTest, TwoColourIconReadsFourBytesPerRow) {
  const tIconImage im = Pattern(16, 16, 1);
  auto id = Decode(IconFile({im}), "two.ico");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->Bitmap->BitCount(), 1);
  EXPECT_EQ(id->Info.back(), "b16x16x2 Windows icon ");
  // Directory, header, table, then 16 XOR and 16 AND rows of 4 bytes: all read, no more.
  EXPECT_EQ(id->GetStopPosition(), 22 + 40 + 8 + 16 * 4 * 2);
  for (int y = 0; y < 16; ++y) {
    std::vector<uint8_t> want(im.pixels.begin() + y * 16, im.pixels.begin() + y * 16 + 16);
    for (int x = 0; x < 16; ++x)
      if (im.mask[size_t(y) * 16 + x]) want[x] = 0;
    EXPECT_EQ(Row(*id, y), want) << "row " << y;
  }
}

TEST_F(IcoTest, SmallFileListsItsImagesAndTakesTheDeepestOfTheFirstWidth) {
  // Images of different sizes: each is found by its own directory entry.
  const std::vector<tIconImage> images = {Pattern(16, 16, 1), Pattern(32, 32, 4),
                                          Pattern(16, 16, 8)};
  auto id = Decode(IconFile(images), "three.ico");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->ErrorCode, 0);
  const std::vector<std::string> want = {"kthree.ico", "bIcon 1: 16x16x2", "bIcon 2: 32x32x16",
                                         "bIcon 3: 16x16x256", "b16x16x256 Windows icon "};
  EXPECT_EQ(id->Info, want);
  EXPECT_EQ(id->BitsPerPixel, 8);
  EXPECT_EQ(Row(*id, 5),
            std::vector<uint8_t>(images[2].pixels.begin() + 80, images[2].pixels.begin() + 96));
}

TEST_F(IcoTest, LargeFileShowsOnlyItsFirstImage) {
  std::vector<tIconImage> images = {Pattern(16, 16, 4), Pattern(64, 64, 8)};
  const std::vector<uint8_t> file = IconFile(images);
  ASSERT_GE(file.size(), 4096u);
  auto id = Decode(file, "big.ico");
  ASSERT_TRUE(id);
  const std::vector<std::string> want = {"kbig.ico", "b16x16x16 Windows icon "};
  EXPECT_EQ(id->Info, want);
}

TEST_F(IcoTest, DirectoryFieldsDecideIdentification) {
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> change;
    bool icon;
  } cases[] = {
      {"plain", [](std::vector<uint8_t>&) {}, true},
      {"type 0xFFFE", [](std::vector<uint8_t>& f) { f[2] = 0xFE, f[3] = 0xFF; }, false},
      {"no images", [](std::vector<uint8_t>& f) { f[4] = 0; }, false},
      {"width 7", [](std::vector<uint8_t>& f) { f[6] = 7; }, false},
      {"height 7", [](std::vector<uint8_t>& f) { f[7] = 7; }, false},
      {"8 colours", [](std::vector<uint8_t>& f) { f[8] = 8; }, false},
      {"gap of 16",
       [](std::vector<uint8_t>& f) { f.insert(f.begin() + 38, 16, 0), f[18] += 16, f[34] += 16; },
       true},
      {"gap of 17",
       [](std::vector<uint8_t>& f) { f.insert(f.begin() + 38, 17, 0), f[18] += 17, f[34] += 17; },
       false},
      {"second image past the end", [](std::vector<uint8_t>& f) { f[37] = 0x10; }, false},
      {"second image size under a header", [](std::vector<uint8_t>& f) { f[30] = 39, f[31] = 0; },
       false},
      {"header size 12", [](std::vector<uint8_t>& f) { f[38] = 12; }, false},
      {"compressed", [](std::vector<uint8_t>& f) { f[38 + 16] = 1; }, false},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> file = IconFile({Pattern(16, 16, 4), Pattern(16, 16, 1)});
    c.change(file);
    auto id = Identify(file, "x.ico");
    EXPECT_EQ(id != nullptr, c.icon) << c.what;
  }
  auto id = Identify(
      [] {
        std::vector<uint8_t> f = IconFile({Pattern(16, 16, 4)});
        f.insert(f.begin() + 22, 16, 0), f[18] += 16;
        return f;
      }(),
      "x.ico");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->Info[1], "gSkipping 16 unused bytes");
}

TEST_F(IcoTest, FourColourEntryReadsAsSixteen) {
  tIconImage im = Pattern(16, 16, 4);
  im.colorField = 4;
  auto id = Decode(IconFile({im}), "bogus.ico");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->Info[1], "g4 color icon (bogus! ignored)");
  EXPECT_EQ(id->Colors, 16);
  EXPECT_EQ(id->ErrorCode, 0);
}

TEST_F(IcoTest, BackgroundColourBecomesEntryZero) {
  const tIconImage im = Pattern(16, 16, 4);
  auto id = Decode(IconFile({im}), "bg.ico", [](tGraphicID& g) { g.BackgroundColor = 0x00336699; });
  ASSERT_TRUE(id);
  tMemBmp& pic = *id->Bitmap;
  EXPECT_EQ(pic.BitCount(), 8);
  const uint8_t bg[3] = {0x33, 0x66, 0x99};  // blue, green, red
  EXPECT_EQ(std::memcmp(pic.ColorTable, bg, 3), 0);
  for (int y = 0; y < 16; ++y) {
    const uint8_t* rgb = pic.GetRGBLine(y);
    for (int x = 0; x < 16; ++x) {
      const size_t p = size_t(y) * 16 + x;
      const uint8_t* want = im.mask[p] ? bg : &im.table[im.pixels[p] * 4];
      ASSERT_EQ(std::memcmp(rgb + x * 3, want, 3), 0) << x << "," << y;
    }
  }
  // Two colours keep their own table.
  id = Decode(IconFile({Pattern(16, 16, 1)}), "bg.ico",
              [](tGraphicID& g) { g.BackgroundColor = 0x00336699; });
  ASSERT_TRUE(id);
  EXPECT_EQ(id->Bitmap->BitCount(), 1);
}

TEST_F(IcoTest, TruncatedMaskKeepsTheColourRows) {
  std::vector<uint8_t> file = IconFile({Pattern(16, 16, 8)});
  file.erase(file.end() - 40, file.end());
  auto id = Decode(file, "cut.ico");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->ErrorCode, errEndOfFile);
  EXPECT_EQ(id->Info.back().rfind("kEnd Of File at ", 0), 0u);
  EXPECT_EQ(Row(*id, 15)[4], (4 + 30) % 256);
}

}  // namespace
