#include "imaging/formats/gPIC.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "imaging/Palettes.h"
#include "imaging/formats/gReader_testkit.h"
#include "tests/DiffDecode.h"
#include "tests/TestSupport.h"

namespace {

using namespace readertest;

uint8_t Pixel(int x, int y, int colors) { return static_cast<uint8_t>((x / 2 + y * 3) % colors); }

// A picture in the Pictor layout, its rows (bottom first) run-coded in blocks of at most
// blockBytes packed bytes each.
struct tPicRecipe {
  int width = 20, height = 6;
  uint8_t planeInfo = 8, flag = 0xFF, mode = 'A', marker = 0xE7;
  int paletteType = 0;
  std::vector<uint8_t> palette;
  int blockBytes = 40;
  int extraRows = 0;

  int Colors() const { return planeInfo == 0x31 ? 16 : 1 << planeInfo; }

  // The unpacked data: rows bottom first, planar pictures plane after plane, then extraRows
  // rows that do not belong to the picture.
  std::vector<uint8_t> Unpacked() const {
    std::vector<uint8_t> v;
    const bool planar = planeInfo == 0x31;
    const int bits = planar ? 1 : planeInfo;
    const int rowBytes = (width * bits + 7) / 8;
    for (int p = 0; p < (planar ? 4 : 1); ++p)
      for (int y = height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(size_t(rowBytes), 0);
        for (int x = 0; x < width; ++x) {
          int v = Pixel(x, y, Colors());
          if (planar) v = v >> p & 1;
          row[size_t(x * bits / 8)] |= static_cast<uint8_t>(v << (8 - bits - x * bits % 8));
        }
        v.insert(v.end(), row.begin(), row.end());
      }
    v.insert(v.end(), size_t(extraRows) * rowBytes, 0x5A);
    return v;
  }

  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> v;
    Put16(v, 0x1234), Put16(v, width), Put16(v, height), Put16(v, 0), Put16(v, 0);
    v.push_back(planeInfo), v.push_back(flag), v.push_back(mode);
    Put16(v, paletteType), Put16(v, static_cast<int>(palette.size()));
    v.insert(v.end(), palette.begin(), palette.end());
    // Runs of equal bytes (three or more, or the marker itself) use the marker; runs of 256 or
    // more a zero count and a word.
    std::vector<std::vector<uint8_t>> blocks(1);
    std::vector<uint8_t> data = Unpacked();
    std::vector<int> unpacked(1, 0);
    for (size_t i = 0; i < data.size();) {
      size_t n = 1;
      while (i + n < data.size() && data[i + n] == data[i] && n < 65535) ++n;
      std::vector<uint8_t> code;
      if (n >= 3 || data[i] == marker) {
        code.push_back(marker);
        if (n < 256) {
          code.push_back(static_cast<uint8_t>(n));
        } else {
          code.push_back(0), Put16(code, static_cast<int>(n));
        }
        code.push_back(data[i]);
      } else {
        n = 1;
        code.push_back(data[i]);
      }
      if (blocks.back().size() + code.size() > size_t(blockBytes))
        blocks.emplace_back(), unpacked.push_back(0);
      blocks.back().insert(blocks.back().end(), code.begin(), code.end());
      unpacked.back() += static_cast<int>(n);
      i += n;
    }
    Put16(v, static_cast<int>(blocks.size()));
    for (size_t b = 0; b < blocks.size(); ++b) {
      Put16(v, static_cast<int>(blocks[b].size()) + 5), Put16(v, unpacked[b]);
      v.push_back(marker);
      v.insert(v.end(), blocks[b].begin(), blocks[b].end());
    }
    return v;
  }
};

std::vector<uint8_t> ExpectedRow(const tPicRecipe& r, int y) {
  std::vector<uint8_t> row;
  for (int x = 0; x < r.width; ++x) row.push_back(Pixel(x, y, r.Colors()));
  return row;
}

using PicTest = tWatchedFormatsTest;

TEST_F(PicTest, DepthsAndPalettesMatchFfmpeg) {
  if (!testsupport::HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg not available";
  std::vector<uint8_t> registers, rgb48, rgb768;
  for (int i = 0; i < 16; ++i) registers.push_back(static_cast<uint8_t>((i * 13 + 5) % 64));
  for (int i = 0; i < 48; ++i) rgb48.push_back(static_cast<uint8_t>((i * 29) % 64));
  for (int i = 0; i < 768; ++i) rgb768.push_back(static_cast<uint8_t>((i * 7 + i / 3) % 64));
  struct Case {
    uint8_t planeInfo;
    int paletteType;
    std::vector<uint8_t> palette;
  } cases[] = {{1, 0, {}},     {4, 0, {}},           {4, 3, registers}, {4, 4, rgb48},
               {8, 5, rgb768}, {0x31, 3, registers}, {0x31, 0, {}}};
  const auto dir = testsupport::ScratchDir("pic_ffmpeg");
  for (const Case& c : cases) {
    tPicRecipe r;
    // ffmpeg runs rows on within a byte, so packed rows are given whole bytes here.
    r.width = c.planeInfo == 8 ? 37 : 40, r.height = 9, r.planeInfo = c.planeInfo;
    r.palette = c.palette;
    r.paletteType = c.paletteType;
    const std::string what = "plane info " + std::to_string(c.planeInfo) + " palette " +
                             std::to_string(c.palette.size());
    std::string name = "x";
    name.append(std::to_string(c.planeInfo)).append("_");
    name.append(std::to_string(c.palette.size())).append(".pic");
    const auto file = dir / name;
    testsupport::WriteFile(file, r.Build());
    testsupport::tOurDecode ours = testsupport::DecodeOurs(file);
    ASSERT_TRUE(ours.identified) << what;
    EXPECT_EQ(ours.errorCode, 0) << what;
    std::vector<uint8_t> ppm;
    ASSERT_EQ(testsupport::Run("ffmpeg -v error -f pictor_pipe -i '" + file.string() +
                                   "' -f image2pipe -vcodec ppm -",
                               &ppm),
              0)
        << what;
    testsupport::RgbImage theirs;
    ASSERT_TRUE(testsupport::ParseNetpbm(ppm, theirs)) << what;
    // 6-bit palette values: ours are multiplied by 4, ffmpeg's also fill the low bits.
    EXPECT_EQ(testsupport::ComparePixels(ours.image, theirs, 3), "") << what;
  }
}

TEST_F(PicTest, HeaderChecks) {
  struct Case {
    const char* what;
    std::function<void(tPicRecipe&)> change;
    int planeByte;  // written over the plane information when >= 0
    bool taken;
  } cases[] = {
      {"plain", [](tPicRecipe&) {}, -1, true},
      {"palette flag 0", [](tPicRecipe& r) { r.flag = 0; }, -1, false},
      {"video mode @", [](tPicRecipe& r) { r.mode = '@'; }, -1, false},
      {"video mode X", [](tPicRecipe& r) { r.mode = 'X'; }, -1, true},
      {"video mode Y", [](tPicRecipe& r) { r.mode = 'Y'; }, -1, false},
      {"palette of 3 bytes", [](tPicRecipe& r) { r.palette.assign(3, 0); }, -1, false},
      {"palette of 48 bytes", [](tPicRecipe& r) { r.palette.assign(48, 0); }, -1, true},
      {"four planes (0x31)", [](tPicRecipe& r) { r.planeInfo = 0x31; }, -1, true},
      // Depths the reader has no layout for.
      {"plane info 3", [](tPicRecipe&) {}, 3, false},
      {"plane info 0", [](tPicRecipe&) {}, 0, false},
      {"two planes (0x11)", [](tPicRecipe&) {}, 0x11, false},
      {"plane info 0x21", [](tPicRecipe&) {}, 0x21, false},
      {"plane info 0x38", [](tPicRecipe&) {}, 0x38, false},
  };
  for (const Case& c : cases) {
    tPicRecipe r;
    c.change(r);
    std::vector<uint8_t> file = r.Build();
    if (c.planeByte >= 0) file[10] = static_cast<uint8_t>(c.planeByte);
    auto id = Identify(file, "x.pic");
    EXPECT_EQ(id && id->FormatId == fmtPIC, c.taken) << c.what;
  }
}

TEST_F(PicTest, SubTypeAndPalettes) {
  tPicRecipe r;
  r.planeInfo = 2, r.mode = 'C', r.palette = {5, 9};  // cyan/magenta/white on light blue
  auto id = Decode(r.Build(), "x.pic");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->SubType, "Type C ");
  const tPalette16 ega = EgaPalette();
  const auto cga = CgaPalettes();
  EXPECT_TRUE(std::equal(id->Palette, id->Palette + 3, ega.begin() + 27));
  EXPECT_TRUE(std::equal(id->Palette + 3, id->Palette + 12, cga.begin() + 27));
  for (int y = 0; y < r.height; ++y) EXPECT_EQ(Row(*id, y), ExpectedRow(r, y)) << y;
  r.palette = {1, 16};  // green/red/yellow on black (a background above 15)
  id = Identify(r.Build(), "x.pic");
  ASSERT_TRUE(id);
  EXPECT_TRUE(std::equal(id->Palette, id->Palette + 12, cga.begin()));
  r.planeInfo = 0x31, r.palette.clear();
  id = Identify(r.Build(), "x.pic");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->SubType, "Type C planar");
  EXPECT_TRUE(std::equal(ega.begin(), ega.end(), id->Palette));
  r.planeInfo = 8;
  id = Identify(r.Build(), "x.pic");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->GrayFlag, 1);
}

TEST_F(PicTest, LongRunTakesItsCountFromAWord) {
  tPicRecipe r;
  // Each row repeats one byte 300 times: runs above 255 need the word count.
  r.width = 2400, r.height = 3, r.planeInfo = 1, r.blockBytes = 4000;
  std::vector<uint8_t> file = r.Build();
  const uint8_t word[] = {r.marker, 0, 44, 1};
  EXPECT_NE(std::search(file.begin(), file.end(), word, word + 4), file.end());
  auto id = Decode(file, "x.pic");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->ErrorCode, 0);
  for (int y = 0; y < r.height; ++y) EXPECT_EQ(Row(*id, y), ExpectedRow(r, y)) << y;
}

TEST_F(PicTest, BlockCountZeroIsDamaged) {
  tPicRecipe r;
  std::vector<uint8_t> file = r.Build();
  file.resize(17);
  Put16(file, 0);
  auto id = Decode(file, "x.pic");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->ErrorCode, errFileDamaged);
  EXPECT_EQ(id->Info.back().rfind("kFile damaged at ", 0), 0u);
}

TEST_F(PicTest, InfoLinesAndTruncation) {
  tPicRecipe r;
  r.blockBytes = 30;
  std::vector<uint8_t> file = r.Build();
  auto id = Decode(file, "x.pic");
  ASSERT_TRUE(id);
  ASSERT_GE(id->Info.size(), 4u);
  EXPECT_EQ(id->Info[2].rfind("g", 0), 0u);
  EXPECT_NE(id->Info[2].find(" compressed blocks"), std::string::npos);
  EXPECT_EQ(id->Info[3].rfind("gblock 1: ", 0), 0u);
  file.erase(file.end() - 10, file.end());
  id = Decode(file, "x.pic");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->ErrorCode, errEndOfFile);
  EXPECT_EQ(Row(*id, r.height - 1), ExpectedRow(r, r.height - 1));  // the bottom row came first
}

TEST_F(PicTest, DataPastTheLastRowIsDropped) {
  for (uint8_t planeInfo : {uint8_t(8), uint8_t(0x31)}) {
    tPicRecipe r;
    r.planeInfo = planeInfo, r.extraRows = 2;
    auto id = Decode(r.Build(), "x.pic");
    ASSERT_TRUE(id);
    EXPECT_EQ(id->ErrorCode, 0);
    for (int y = 0; y < r.height; ++y) EXPECT_EQ(Row(*id, y), ExpectedRow(r, y)) << y;
  }
}

TEST_F(PicTest, PlanarPictureShowsPlaneByPlane) {
  tPicRecipe r;
  r.planeInfo = 0x31, r.width = 64, r.height = 20;
  GraphicOptions = goDisplayInterlace;
  std::vector<size_t> colours;
  tGraphicID* current = nullptr;
  platform.OnMessage = [&](unsigned message, uintptr_t) {
    if (message != WM_GRAPHIC_PROGRESS || !current) return;
    std::set<uint8_t> seen;
    for (int y = 0; y < r.height; ++y) {
      std::vector<uint8_t> row = Row(*current, y);
      seen.insert(row.begin(), row.end());
    }
    colours.push_back(seen.size());
  };
  auto id = Identify(r.Build(), "x.pic", [&](tGraphicID& g) {
    g.NotifyWindow = 1;
    current = &g;
  });
  ASSERT_TRUE(id);
  id->LoadPicture();
  EXPECT_EQ(colours, (std::vector<size_t>{2, 4, 8, 16}));
  for (int y = 0; y < r.height; ++y) EXPECT_EQ(Row(*id, y), ExpectedRow(r, y)) << y;
}

}  // namespace
