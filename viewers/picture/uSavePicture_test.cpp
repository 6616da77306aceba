#include "viewers/picture/uSavePicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "foundation/uPlatform.h"
#include "imaging/Palettes.h"
#include "imaging/PictureTestUtil.h"
#include "imaging/uImageOps.h"
#include "tests/DiffDecode.h"
#include "tests/TestSupport.h"

namespace {
namespace fs = std::filesystem;
using testsupport::ComparePixels;
using testsupport::PictureToRgb;
using testsupport::RgbImage;

// A decoded picture as the picture window holds it.
std::unique_ptr<tGraphicID> Decoded(tMemBmpPtr picture, const std::string& file = "pic.gif") {
  auto id = std::make_unique<tGraphicID>(nullptr);
  id->DisplayWidth = static_cast<uint16_t>(picture->Width());
  id->DisplayHeight = static_cast<uint16_t>(picture->Height());
  id->Width = id->DisplayWidth;
  id->Height = id->DisplayHeight;
  id->GrayFlag = picture->GrayFlag;
  id->Bitmap = std::move(picture);
  id->FileName = file;
  return id;
}

// 8-bit greys with a ramp of `levels` distinct levels.
tMemBmpPtr Grey(int width, int height, int levels) {
  tQuadPalette quads = RGBToQuads(GrayPalette(256));
  auto p = std::make_unique<tMemBmp>();
  p->Allocate(width, height, true, quads.data(), 256, 8);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      p->ScanLine(y)[x] = static_cast<uint8_t>(((x + y) % levels) * (255 / (levels - 1)));
  return p;
}

// True colour with many colours (a smooth gradient plus noise-like bits).
tMemBmpPtr Photo(int width, int height) {
  std::vector<uint8_t> bgr(size_t(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &bgr[(size_t(y) * width + x) * 3];
      p[0] = static_cast<uint8_t>(x * 255 / (width - 1));
      p[1] = static_cast<uint8_t>(y * 255 / (height - 1));
      p[2] = static_cast<uint8_t>((x + y) * 255 / (width + height - 2));
    }
  return pictest::FromBgr(width, height, bgr);
}

TSaveOptions Options(int format, int colors, int width, int height) {
  TSaveOptions o;
  o.Format = format;
  o.Colors = colors;
  o.Width = width;
  o.Height = height;
  o.Transparent = -1;
  return o;
}

fs::path Scratch(const std::string& name) { return testsupport::ScratchDir("save_" + name); }

// One picture of each colour class through the colour step, and which rule it met.
TEST(SaveColorRule, FirstMatchingRuleByColourClassAndChoice) {
  struct tCase {
    const char* what;
    int bits;  // 0 grey ramp
    int colors;
    void (*set)(TSaveOptions&);
    tColorRule rule;
    int outBits;  // bit count of the result, 0 = unchanged picture
  };
  auto none = [](TSaveOptions&) {};
  const tCase cases[] = {
      {"1-bit kept at 256", 1, 256, none, crFits, 0},
      {"4-bit kept at 16", 4, 16, none, crFits, 0},
      {"8-bit to 16 optimal", 8, 16, none, crOptimal, 8},
      {"8-bit to 16 VGA nearest", 8, 16, [](TSaveOptions& o) { o.NoDither = 1; }, crVga16, 8},
      {"8-bit to 16 standard", 8, 16, [](TSaveOptions& o) { o.StandardPalette = 1; }, crDither16,
       8},
      {"24-bit to 2 dithered", 24, 2, none, crBlackWhite, 1},
      {"24-bit to 2 nearest", 24, 2, [](TSaveOptions& o) { o.NoDither = 1; }, crThreshold, 1},
      {"grey asked with 2 colours is black and white", 24, 2,
       [](TSaveOptions& o) { o.Grayscale = 1; }, crBlackWhite, 1},
      {"24-bit to 8", 24, 8, none, crOptimal, 8},
      {"24-bit to 64", 24, 64, none, crOptimal, 8},
      {"24-bit to 256 optimal", 24, 256, none, crOptimal, 8},
      {"24-bit to 256 undithered", 24, 256, [](TSaveOptions& o) { o.NoDither = 1; }, crReduce256,
       8},
      {"24-bit browser", 24, 256, [](TSaveOptions& o) { o.StandardPalette = 1; }, crBrowserPalette,
       8},
      {"24-bit thumbnail palette", 24, 256, [](TSaveOptions& o) { o.ThumbnailPalette = 1; },
       crThumbPalette, 8},
      {"24-bit kept for 16m", 24, 280, none, crFits, 0},
      {"8-bit to 32k passes as it is", 8, 271, none, crFits, 0},
      {"24-bit to 32k: the writer takes the depth", 24, 271, none, crDirect, 0},
      {"24-bit to 16 greys", 24, 16, [](TSaveOptions& o) { o.Grayscale = 1; }, crGrey, 8},
      {"grey source at its level count", 0, 256,
       [](TSaveOptions& o) { o.Grayscale = o.SourceGrey = 1; }, crGreyKept, 0},
      {"8-bit optimise", 8, 256, [](TSaveOptions& o) { o.Optimize = 1; }, crCompact, 8},
      {"plus lime", 24, 16, [](TSaveOptions& o) { o.PlusLime = 1; }, crPlusLime, 8},
      {"emboss wins over imprint", 24, 280, [](TSaveOptions& o) { o.Emboss = o.Imprint = 1; },
       crEmboss, 8},
      {"imprint", 8, 280, [](TSaveOptions& o) { o.Imprint = 1; }, crImprint, 8},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.what);
    tMemBmpPtr picture = c.bits == 0    ? Grey(40, 30, 256)
                         : c.bits == 24 ? Photo(40, 30)
                                        : pictest::Pattern(40, 30, c.bits);
    TSaveOptions o = Options(sfBMP, c.colors, 40, 30);
    c.set(o);
    tColorRule rule = crFits;
    tMemBmpPtr out = ApplySaveColorRule(*picture, o, rule);
    EXPECT_EQ(rule, c.rule);
    if (c.outBits == 0) {
      EXPECT_EQ(out, nullptr);
    } else {
      ASSERT_NE(out, nullptr);
      EXPECT_EQ(out->BitCount(), c.outBits);
      EXPECT_LE(out->ColorCount(), std::max(256, o.Colors));
      EXPECT_EQ(out->Width(), 40);
    }
  }
}

// Every format written from the same picture and read back by independent tools: pixel for
// pixel where the format is lossless, closely for JPEG.
TEST(SavePicture, EveryFormatReadsBackWithIndependentTools) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference tools run natively only";
  struct tCase {
    int format;
    int colors;
    int sourceBits;
    const char* check;  // a validity check of the format's own tool ("" none)
    int tolerance;
    void (*set)(TSaveOptions&);
    // ImageMagick 6 misreads colour-mapped Targa files; PIL reads them as written.
    testsupport::tReference reference = testsupport::tReference::ImageMagick;
  };
  auto none = [](TSaveOptions&) {};
  const tCase cases[] = {
      {sfGIF, 256, 8, "giftext", 0, none},
      {sfGIF, 256, 8, "giftext", 0, [](TSaveOptions& o) { o.Interlaced = 1; }},
      {sfPCX, 256, 8, "", 0, none},
      {sfPCX, 280, 24, "", 0, none},
      {sfBMP, 280, 24, "", 0, none},
      {sfBMP, 256, 8, "", 0, [](TSaveOptions& o) { o.BmpStyle = 1; }},
      {sfBMP, 256, 8, "", 0, [](TSaveOptions& o) { o.BmpStyle = 2; }},
      {sfTGA, 280, 24, "", 0, [](TSaveOptions& o) { o.Compressed = o.TopDown = 1; }},
      {sfTGA, 256, 8, "", 0, none, testsupport::tReference::Pil},
      {sfTIF, 280, 24, "tiffinfo", 0, [](TSaveOptions& o) { o.Compressed = 1; }},
      {sfTIF, 256, 8, "tiffinfo", 0, none},
      {sfJPG, 280, 24, "djpeg", 8, [](TSaveOptions& o) { o.JpegQuality = 95; }},
      {sfJPG, 280, 24, "djpeg", 8,
       [](TSaveOptions& o) {
         o.JpegQuality = 95;
         o.Interlaced = 1;
       }},
      {sfPNG, 280, 24, "pngcheck", 0, none},
      {sfPNG, 256, 8, "pngcheck", 0, [](TSaveOptions& o) { o.Interlaced = 1; }},
  };
  const fs::path dir = Scratch("formats");
  int n = 0;
  for (const tCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "format " << c.format << " colours " << c.colors << " #" << n);
    tMemBmpPtr source = c.sourceBits == 24 ? Photo(61, 37) : pictest::Pattern(61, 37, 8);
    const RgbImage expected = PictureToRgb(*source);
    auto id = Decoded(std::move(source));
    TSaveOptions o = Options(c.format, c.colors, 61, 37);
    c.set(o);
    const std::string name =
        (dir / ("out" + std::to_string(n++) + "." + SaveExtension(c.format))).string();
    tSaveResult r = SavePicture(*id, name, o, tSaveAdjustments{}, scWhole, TRect{});
    ASSERT_TRUE(r.Ok) << r.Error;
    EXPECT_EQ(r.FileName, name);
    EXPECT_EQ(testsupport::Run("identify '" + name + "' >/dev/null 2>&1"), 0);
    if (*c.check) {
      const std::string cmd = std::string(c.check) + " '" + name + "' >/dev/null 2>&1";
      EXPECT_EQ(testsupport::Run(cmd), 0) << cmd;
    }
    RgbImage theirs;
    ASSERT_TRUE(testsupport::DecodeReference(c.reference, name, theirs));
    EXPECT_EQ(ComparePixels(expected, theirs, c.tolerance), "");
    // Nothing of the write is left beside the file.
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir))
      files += e.path().string().find("~") != std::string::npos;
    EXPECT_EQ(files, 0);
  }
}

TEST(SavePicture, AdjustmentsClipTrimAndSizeInOrder) {
  // A 24-bit picture: white border of 5 pixels round a coloured block.
  auto make = [] {
    tMemBmpPtr p = Photo(50, 40);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 50; ++x)
        if (x < 5 || y < 5 || x >= 45 || y >= 35) std::memset(p->ScanLine(y) + x * 3, 255, 3);
    return p;
  };
  const fs::path dir = Scratch("steps");
  struct tCase {
    const char* what;
    int width, height;  // wanted size
    int rotation;
    int choice;
    TRect clip;
    bool trim;
    int outWidth, outHeight;
  };
  const tCase cases[] = {
      {"trim follows an untouched size", 50, 40, 0, scWhole, {}, true, 40, 30},
      {"a chosen size stretches the trimmed part", 80, 60, 0, scWhole, {}, true, 80, 60},
      {"a quarter turn swaps the sides", 40, 50, 1, scWhole, {}, false, 40, 50},
      {"clip, inclusive corners", 20, 10, 0, scClip, {10, 10, 29, 19}, false, 20, 10},
      {"a clip under 8 pixels keeps the whole", 50, 40, 0, scClip, {1, 1, 5, 30}, false, 50, 40},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.what);
    auto id = Decoded(make());
    TSaveOptions o = Options(sfPNG, 280, c.width, c.height);
    o.Trim = c.trim;
    tSaveAdjustments a;
    a.Rotation = c.rotation;
    const std::string name = (dir / "steps.png").string();
    tSaveResult r = SavePicture(*id, name, o, a, c.choice, c.clip);
    ASSERT_TRUE(r.Ok) << r.Error;
    // The size from the PNG header itself, so the Windows build checks it too.
    const std::vector<uint8_t> png = testsupport::ReadFile(name);
    ASSERT_GE(png.size(), 24u);
    auto be32 = [&](size_t at) {
      return int(png[at] << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3]);
    };
    EXPECT_EQ(std::to_string(be32(16)) + " " + std::to_string(be32(20)),
              std::to_string(c.outWidth) + " " + std::to_string(c.outHeight));
  }
  // The decoded picture itself is untouched by all of it.
  auto id = Decoded(make());
  const RgbImage before = PictureToRgb(*id->Bitmap);
  uint8_t table[256][3];
  for (int i = 0; i < 256; ++i) table[i][0] = table[i][1] = table[i][2] = uint8_t(255 - i);
  tSaveAdjustments a;
  a.Adjusted = 1;
  a.ColorTables = &table[0][0];
  a.Mirror = 1;
  TSaveOptions o = Options(sfBMP, 280, 50, 40);
  ASSERT_TRUE(SavePicture(*id, (dir / "adj.bmp").string(), o, a, scWhole, {}).Ok);
  EXPECT_EQ(ComparePixels(PictureToRgb(*id->Bitmap), before), "");
  // ... and the saved one is the mirrored negative (read by ImageMagick where it runs).
  if (!testsupport::HaveTools()) return;
  RgbImage theirs;
  ASSERT_TRUE(
      testsupport::DecodeReference(testsupport::tReference::ImageMagick, dir / "adj.bmp", theirs));
  tMemBmpPtr expected = ApplyImageTransforms(*id->Bitmap, &table[0][0], 0, true, false, 0, 0);
  EXPECT_EQ(ComparePixels(PictureToRgb(*expected), theirs), "");
}

TEST(SavePicture, OneBitPictureKeepsItsPixelsWithTheAskedDepth) {
  auto id = Decoded(pictest::Pattern(33, 9, 1));
  const RgbImage expected = PictureToRgb(*id->Bitmap);
  const fs::path dir = Scratch("onebit");
  tSaveResult r =
      SavePicture(*id, (dir / "b.bmp").string(), Options(sfBMP, 256, 33, 9), {}, scWhole, {});
  ASSERT_TRUE(r.Ok) << r.Error;
  EXPECT_EQ(r.Rule, crFits);
  EXPECT_EQ(r.BitDepth, 8);
  if (!testsupport::HaveTools()) return;
  RgbImage theirs;
  ASSERT_TRUE(
      testsupport::DecodeReference(testsupport::tReference::ImageMagick, dir / "b.bmp", theirs));
  EXPECT_EQ(ComparePixels(expected, theirs), "");
}

TEST(SavePicture, FreeNameBesideTheSourceNeverOverwrites) {
  const fs::path dir = Scratch("names");
  const std::string source = (dir / "pic.gif").string();
  testsupport::WriteFile(source, {'G', 'I', 'F'});
  auto id = Decoded(pictest::Pattern(16, 16, 8), source);
  tSaveResult first = SaveConvertedPicture(*id, Options(sfGIF, 256, 16, 16), {}, scWhole, {});
  tSaveResult second = SaveConvertedPicture(*id, Options(sfGIF, 256, 16, 16), {}, scWhole, {});
  tSaveResult png = SaveConvertedPicture(*id, Options(sfPNG, 256, 16, 16), {}, scWhole, {});
  ASSERT_TRUE(first.Ok && second.Ok && png.Ok);
  EXPECT_EQ(testsupport::ReadFile(source).size(), 3u);
  EXPECT_NE(first.FileName, source);
  EXPECT_NE(first.FileName, second.FileName);
  EXPECT_EQ(png.FileName, (dir / "pic.png").string());
}

TEST(SavePicture, FailedWritesLeaveTheOldFileWholeAndSayWhy) {
  const fs::path dir = Scratch("fail");
  const std::string target = (dir / "keep.tif").string();
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  testsupport::WriteFile(target, old);
  auto id = Decoded(Photo(200, 100));
  // A device that takes a few blocks and then is full (a full disk cannot be mounted here).
  class tFullDevice : public TMemoryStream {
   public:
    int32_t Write(const void* b, int32_t n) override {
      const int32_t room = std::max<int32_t>(0, 500 - written_);
      const int32_t k = std::min(n, room);
      written_ += k;
      return TMemoryStream::Write(b, k);
    }
    int32_t written_ = 0;
  };
  std::vector<std::string> opened;
  SetSaveStreamFactory([&](const std::string& name) -> std::unique_ptr<TStream> {
    opened.push_back(name);
    testsupport::WriteFile(name, {});  // the partial file the system would leave
    return std::make_unique<tFullDevice>();
  });
  for (int format : {sfTIF, sfPNG, sfBMP, sfJPG}) {
    SCOPED_TRACE(format);
    TSaveOptions o = Options(format, 280, 200, 100);
    tSaveResult r = SavePicture(*id, target, o, {}, scWhole, {});
    EXPECT_FALSE(r.Ok);
    EXPECT_FALSE(r.Error.empty());
    EXPECT_EQ(testsupport::ReadFile(target), old);
    ASSERT_FALSE(opened.empty());
    EXPECT_NE(opened.back(), target);
    EXPECT_FALSE(fs::exists(opened.back()));
  }
  SetSaveStreamFactory(nullptr);
  // A folder that does not exist: nothing made, the failure named.
  tSaveResult r = SavePicture(*id, (dir / "no" / "such.png").string(),
                              Options(sfPNG, 280, 200, 100), {}, scWhole, {});
  EXPECT_FALSE(r.Ok);
  EXPECT_FALSE(r.Error.empty());
  // A target that cannot be replaced (a folder of that name) stays; no partial file remains.
  fs::create_directory(dir / "busy.png");
  r = SavePicture(*id, (dir / "busy.png").string(), Options(sfPNG, 280, 200, 100), {}, scWhole, {});
  EXPECT_FALSE(r.Ok);
  EXPECT_TRUE(fs::is_directory(dir / "busy.png"));
  int left = 0;
  for (const auto& e : fs::directory_iterator(dir))
    left += e.path().string().find('~') != std::string::npos;
  EXPECT_EQ(left, 0);
}

class SaveWallpaper : public testsupport::tPlainPlatformTest {};

TEST_F(SaveWallpaper, BmpGoesToTheWindowsFolderAndIsSetOthersSaveNormally) {
  const fs::path dir = Scratch("wall");
  fs::create_directories(dir / "win");
  fs::create_directories(dir / "pics");
  plain_.WindowsDir = (dir / "win").string();
  // Windows names, with a backslash before the file name, opened as the system would.
  auto onDisk = [](std::string n) {
    for (char& c : n)
      if (c == '\\') c = '/';
    return n;
  };
  SetSaveStreamFactory([&](const std::string& n) { return CreateFileStream(onDisk(n)); });
  std::vector<std::string> set;
  SetWallpaperSetter([&](const std::string& f) {
    set.push_back(f);
    return true;
  });
  auto id = Decoded(pictest::Pattern(20, 10, 8), (dir / "pics" / "sky.gif").string());
  TSaveOptions o = Options(sfBMP, 256, 20, 10);
  o.Wallpaper = 1;
  tSaveResult r = SaveConvertedPicture(*id, o, {}, scWhole, {});
  ASSERT_TRUE(r.Ok) << r.Error;
  EXPECT_EQ(r.FileName, (dir / "win").string() + "\\sky.bmp");
  EXPECT_TRUE(fs::exists(onDisk(r.FileName)));
  ASSERT_EQ(set.size(), 1u);
  EXPECT_EQ(set[0], r.FileName);
  // Saved again: the wallpaper file is replaced, not numbered.
  r = SaveConvertedPicture(*id, o, {}, scWhole, {});
  EXPECT_EQ(r.FileName, (dir / "win").string() + "\\sky.bmp");
  // Another format ignores the flag.
  o.Format = sfPNG;
  r = SaveConvertedPicture(*id, o, {}, scWhole, {});
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.FileName, (dir / "pics" / "sky.png").string());
  EXPECT_EQ(set.size(), 2u);
  // A system that refuses the wallpaper is reported.
  SetWallpaperSetter([](const std::string&) { return false; });
  o.Format = sfBMP;
  EXPECT_FALSE(SaveConvertedPicture(*id, o, {}, scWhole, {}).Ok);
  SetWallpaperSetter(nullptr);
  SetSaveStreamFactory(nullptr);
}

TEST(SavePicture, GalleryJpegIsColourAtTheGivenSize) {
  if (!testsupport::HaveTools()) GTEST_SKIP();
  const fs::path dir = Scratch("gallery");
  auto id = Decoded(Photo(80, 60));
  tSaveResult r = SaveGalleryJpeg(*id, 40, 30, (dir / "t.jpg").string(), 80);
  ASSERT_TRUE(r.Ok) << r.Error;
  std::vector<uint8_t> out;
  ASSERT_EQ(testsupport::Run(
                "identify -format '%w %h %[colorspace]' '" + (dir / "t.jpg").string() + "'", &out),
            0);
  EXPECT_EQ(std::string(out.begin(), out.end()), "40 30 sRGB");
}
}  // namespace
