// Rotations and mirrors of a real photo against ImageMagick, in true colour and as palette
// pictures (handed to ImageMagick as the BMP files they are).
#include <gtest/gtest.h>

#include "imaging/PictureTestUtil.h"
#include "imaging/uImageOps.h"
#include "tests/DiffDecode.h"

namespace {

using testsupport::RgbImage;

TEST(ImageOpsTools, RotationsAndMirrorsMatchImageMagick) {
  if (!testsupport::HaveTool("djpeg") || !testsupport::HaveTool("convert")) GTEST_SKIP();
  RgbImage photo;
  ASSERT_TRUE(pictest::LoadPhoto(photo));
  auto colour = pictest::FromRgbImage(photo);
  auto dir = testsupport::ScratchDir("imageops_tools");
  struct {
    const char* name;
    tMemBmpPtr picture;
  } sources[] = {
      {"24-bit", pictest::FromRgbImage(photo)},
      {"8-bit", ReduceOptimalDithered(*colour, 256)},
      {"1-bit", ReduceToBlackWhite(*colour)},
  };
  for (auto& s : sources) {
    SCOPED_TRACE(s.name);
    tMemBmp& p = *s.picture;
    auto file = dir / (std::string(s.name) + ".bmp");
    testsupport::WriteFile(file, std::vector<uint8_t>(p.Image(), p.Image() + p.FileSize));
    struct {
      const char* option;
      tMemBmpPtr ours;
    } cases[] = {
        {"-rotate 90", RotateImage(p, 1)},
        {"-rotate 180", RotateImage(p, 2)},
        {"-rotate 270", RotateImage(p, 3)},
        {"-flop", MirrorImage(p)},
        {"-flip", ApplyImageTransforms(p, nullptr, 2, true, false, 0, 0)},
    };
    for (auto& c : cases) {
      std::vector<uint8_t> ppm;
      ASSERT_EQ(testsupport::Run("convert '" + file.string() + "' " + c.option + " ppm:-", &ppm), 0);
      RgbImage theirs;
      ASSERT_TRUE(testsupport::ParseNetpbm(ppm, theirs));
      EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*c.ours), theirs), "")
          << c.option;
    }
  }
}

}  // namespace
