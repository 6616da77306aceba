#include "shell/uBatchConvert.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "foundation/uFiles.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

TEST(BatchConvertSize, Rule) {
  struct Case {
    const char* what;
    int rule, w, h, bw, bh;
    int outW, outH;
  };
  const Case cases[] = {
      {"original size never changes", bsOriginalSize, 4000, 3000, 640, 480, 4000, 3000},
      {"shrink larger shrinks", bsShrinkLarger, 1280, 960, 640, 480, 640, 480},
      {"shrink larger: one side too tall", bsShrinkLarger, 600, 960, 640, 480, 300, 480},
      {"shrink larger never enlarges", bsShrinkLarger, 320, 240, 640, 480, 320, 240},
      {"rescale all enlarges", bsRescaleAll, 320, 240, 640, 480, 640, 480},
      {"rescale all: batch width already", bsRescaleAll, 640, 200, 640, 480, 640, 200},
      {"rescale all: batch height already", bsRescaleAll, 100, 480, 640, 480, 100, 480},
      {"rescale all keeps proportions", bsRescaleAll, 200, 400, 640, 480, 240, 480},
  };
  for (const Case& c : cases) {
    TSaveOptions o;
    o.BatchSize = c.rule;
    o.BatchWidth = c.bw;
    o.BatchHeight = c.bh;
    int w = 0, h = 0;
    BatchOutputSize(o, c.w, c.h, w, h);
    EXPECT_EQ(w, c.outW) << c.what;
    EXPECT_EQ(h, c.outH) << c.what;
  }
}

namespace {

class BatchConvertTest : public testsupport::tPlainPlatformTest {
 protected:
  void SetUp() override {
    tPlainPlatformTest::SetUp();
    RegisterAllFormats();
  }
  void TearDown() override {
    UnregisterAllFormats();
    tPlainPlatformTest::TearDown();
  }
  static std::string Utf8(const fs::path& p) { return p.string(); }
  // Pixels as ImageMagick decodes them, turned upright (it keeps a bottom-up Targa's rows as
  // they are stored and only notes the orientation).
  static std::vector<uint8_t> Pixels(const fs::path& file) {
    std::vector<uint8_t> out;
    testsupport::Run("/usr/bin/convert '" + file.string() + "' -auto-orient -depth 8 rgb:-", &out);
    return out;
  }
};

}  // namespace

TEST_F(BatchConvertTest, MixedFolderToEachFormat) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "ImageMagick not available";
  const fs::path dir = testsupport::ScratchDir("batch_convert");
  ASSERT_EQ(testsupport::Run("cd '" + dir.string() +
                             "' && /usr/bin/convert -size 40x30 gradient:red-blue -type TrueColor"
                             " photo.bmp && /usr/bin/convert -size 17x9 pattern:checkerboard"
                             " -colors 2 small.gif"),
            0);
  testsupport::WriteFile(dir / "notes.txt", {'h', 'e', 'l', 'l', 'o', '\n'});
  struct Case {
    int format;
    const char* ext;
    bool lossless;
  };
  const Case cases[] = {{sfGIF, ".gif", false}, {sfPCX, ".pcx", true}, {sfBMP, ".bmp", true},
                        {sfTGA, ".tga", true},  {sfTIF, ".tif", true}, {sfJPG, ".jpg", false},
                        {sfPNG, ".png", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ext);
    TSaveOptions o;
    o.Format = c.format;
    o.Colors = 280;
    o.JpegQuality = 90;
    tBatchConvertRun run({dir.string() + "/", "photo.bmp", "notes.txt", "small.gif"}, o, "batch note");
    while (run.Step()) {
    }
    EXPECT_EQ(run.Converted, 2) << run.ReportText();
    EXPECT_EQ(run.Skipped, 1);
    EXPECT_EQ(run.Failed, 0);
    ASSERT_EQ(run.Outputs.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
      const fs::path out = run.Outputs[i];
      const fs::path source = dir / (i == 0 ? "photo.bmp" : "small.gif");
      EXPECT_EQ(out.extension(), c.ext);
      EXPECT_NE(out, source) << "nothing is overwritten";
      const std::vector<uint8_t> want = Pixels(source), got = Pixels(out);
      ASSERT_EQ(got.size(), want.size()) << out;
      // GIF keeps the two-colour picture exactly; the photo is reduced to 256 colours.
      if (c.lossless || (c.format == sfGIF && i == 1)) {
        EXPECT_EQ(got, want) << out;
      }
      fs::remove(out);
    }
  }
  // No half-written files are left behind.
  for (const auto& e : fs::directory_iterator(dir))
    EXPECT_EQ(e.path().extension().string().find("part"), std::string::npos) << e.path();
}

TEST_F(BatchConvertTest, GifToGifMakesANumberedCopyAndCarriesTheComment) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "ImageMagick not available";
  const fs::path dir = testsupport::ScratchDir("batch_convert_gif");
  ASSERT_EQ(testsupport::Run("/usr/bin/convert -size 8x8 xc:red '" + (dir / "a.gif").string() + "'"), 0);
  TSaveOptions o;
  o.Format = sfGIF;
  tBatchConvertRun run({dir.string() + "/", "a.gif"}, o, "made in a batch");
  EXPECT_EQ(run.LastIndex, 1);
  while (run.Step()) {
  }
  ASSERT_EQ(run.Outputs.size(), 1u);
  EXPECT_EQ(fs::path(run.Outputs[0]).filename(), "a (2).gif");
  std::vector<uint8_t> comment;
  testsupport::Run("/usr/bin/identify -format '%c' '" + run.Outputs[0] + "'", &comment);
  EXPECT_EQ(std::string(comment.begin(), comment.end()), "made in a batch");
}

TEST_F(BatchConvertTest, AFailingFileIsCountedAndTheRestDone) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "ImageMagick not available";
  const fs::path dir = testsupport::ScratchDir("batch_convert_fail");
  for (const char* name : {"1.bmp", "2.bmp", "3.bmp", "4.bmp"})
    ASSERT_EQ(testsupport::Run("/usr/bin/convert -size 4x4 xc:blue '" + (dir / name).string() + "'"), 0);
  TSaveOptions o;
  o.Format = sfPNG;
  int calls = 0;
  // The second file's writer throws, the third claims success but writes nothing.
  tBatchSaver saver = [&](tGraphicID& d, const TSaveOptions& opts) {
    ++calls;
    if (calls == 2) throw std::runtime_error("disk full");
    if (calls == 3) return tBatchSaveOutcome{true, d.FileName + ".nothing", ""};
    return BatchSaveWithWriters(d, opts);
  };
  std::vector<std::string> files = {dir.string() + "/", "1.bmp", "2.bmp", "missing.bmp", "3.bmp",
                                    "4.bmp"};
  tBatchConvertRun run(files, o, "", saver);
  files.clear();  // the run keeps its own copy
  int steps = 0;
  while (run.Step()) ++steps;
  EXPECT_EQ(steps, 5);
  EXPECT_TRUE(run.Finished());
  EXPECT_EQ(run.Converted, 2);
  EXPECT_EQ(run.Failed, 3);
  EXPECT_EQ(run.Failures, (std::vector<std::string>{"2.bmp: disk full", "missing.bmp: cannot open",
                                                    "3.bmp: no output file"}));
  EXPECT_TRUE(fs::exists(dir / "1.png"));
  EXPECT_TRUE(fs::exists(dir / "4.png"));
  EXPECT_FALSE(fs::exists(dir / "2.png"));
  EXPECT_NE(run.ReportText().find("2 converted, 0 skipped, 3 failed"), std::string::npos);
}

TEST_F(BatchConvertTest, ResizedOutputHasTheBatchSize) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "ImageMagick not available";
  const fs::path dir = testsupport::ScratchDir("batch_convert_size");
  ASSERT_EQ(testsupport::Run("/usr/bin/convert -size 200x100 gradient: -type TrueColor '" +
                             (dir / "wide.bmp").string() + "'"),
            0);
  TSaveOptions o;
  o.Format = sfBMP;
  o.BatchSize = bsShrinkLarger;
  o.BatchWidth = 50;
  o.BatchHeight = 50;
  tBatchConvertRun run({dir.string() + "/", "wide.bmp"}, o, "");
  while (run.Step()) {
  }
  ASSERT_EQ(run.Outputs.size(), 1u);
  std::vector<uint8_t> size;
  testsupport::Run("/usr/bin/identify -format '%wx%h' '" + run.Outputs[0] + "'", &size);
  EXPECT_EQ(std::string(size.begin(), size.end()), "50x25");
}
