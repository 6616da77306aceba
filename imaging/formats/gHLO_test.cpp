#include "imaging/formats/gHLO.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "imaging/Palettes.h"
#include "imaging/formats/gReader_testkit.h"
#include "tests/DiffDecode.h"
#include "tests/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace readertest;

// A companion palette file: 40-byte header, then red, green, blue words per entry.
std::vector<uint8_t> PalFile(const std::vector<uint8_t>& rgb, int version) {
  std::vector<uint8_t> v = {'A', 'H'};
  const int n = static_cast<int>(rgb.size() / 3);
  Put16(v, version), Put16(v, 40 + n * 6), v.push_back(0x0A), v.push_back(0);
  Put16(v, 0), Put16(v, 0), Put16(v, n - 1), Put16(v, 255), Put16(v, 255), Put16(v, 255);
  const char id[20] = "Dr. Halo";
  v.insert(v.end(), id, id + 20);
  for (uint8_t c : rgb) Put16(v, c);
  return v;
}

// Run codes for bytes: runs of three or more and literal stretches, at most 127 each.
void Encode(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes) {
  for (size_t i = 0; i < bytes.size();) {
    size_t n = 1;
    while (i + n < bytes.size() && bytes[i + n] == bytes[i] && n < 127) ++n;
    if (n >= 3) {
      out.push_back(static_cast<uint8_t>(0x80 | n)), out.push_back(bytes[i]);
    } else {
      n = 0;
      while (i + n < bytes.size() && n < 127 &&
             !(i + n + 2 < bytes.size() && bytes[i + n] == bytes[i + n + 1] &&
               bytes[i + n] == bytes[i + n + 2]))
        ++n;
      out.push_back(static_cast<uint8_t>(n));
      out.insert(out.end(), bytes.begin() + i, bytes.begin() + i + n);
    }
    i += n;
  }
}

uint8_t CutPixel(int x, int y, int colors) {
  return static_cast<uint8_t>((x / 3 + y * 2) % colors);
}

std::vector<uint8_t> CutFile(int width, int height, int colors) {
  std::vector<uint8_t> v;
  Put16(v, width), Put16(v, height), Put16(v, 0);
  for (int y = 0; y < height; ++y) {
    std::vector<uint8_t> row, code;
    for (int x = 0; x < width; ++x) row.push_back(CutPixel(x, y, colors));
    Encode(code, row);
    code.push_back(0);
    Put16(v, static_cast<int>(code.size()));
    v.insert(v.end(), code.begin(), code.end());
  }
  return v;
}

std::vector<uint8_t> ScreenHeader(int mode, int version) {
  std::vector<uint8_t> v = {'A', 'H'};
  Put16(v, version), Put16(v, 0), v.push_back(2), v.push_back(static_cast<uint8_t>(mode));
  return v;
}

// Ends the current 512-byte record with a 0 code and filler that must be skipped.
void EndRecord(std::vector<uint8_t>& v) {
  v.push_back(0);
  while (v.size() % 512) v.push_back(0xEE);
}

class HloTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterAllFormats();
    SetPlatform(&platform);
    dir = testsupport::ScratchDir("hlo");
  }
  void TearDown() override {
    UnregisterAllFormats();
    SetPlatform(nullptr);
    GraphicOptions = 0;
  }
  fs::path Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    testsupport::WriteFile(dir / name, bytes);
    return dir / name;
  }
  tWatchPlatform platform;
  fs::path dir;
};

std::vector<uint8_t> TestPalette(int n) {
  std::vector<uint8_t> rgb;
  for (int i = 0; i < n; ++i)
    rgb.insert(rgb.end(), {static_cast<uint8_t>(i * 37 % 256), static_cast<uint8_t>(255 - i * 3),
                           static_cast<uint8_t>(i * 11 % 256)});
  return rgb;
}

TEST_F(HloTest, CutFilesMatchImageMagick) {
  if (!testsupport::HaveTool("convert")) GTEST_SKIP() << "ImageMagick not available";
  struct Case {
    int width, height, colors;
  } cases[] = {{37, 9, 16}, {100, 20, 64}, {8, 5, 2}};
  for (const Case& c : cases) {
    const std::string what = std::to_string(c.colors) + " colours";
    Write("x.pal", PalFile(TestPalette(c.colors), 227));
    const fs::path cut = Write("x.cut", CutFile(c.width, c.height, c.colors));
    testsupport::tOurDecode ours = testsupport::DecodeOurs(cut);
    ASSERT_TRUE(ours.identified) << what;
    EXPECT_EQ(ours.formatId, fmtHLO);
    EXPECT_EQ(ours.errorCode, 0) << what;
    testsupport::RgbImage theirs;
    ASSERT_TRUE(
        DecodeReference(testsupport::tReference::ImageMagick, "CUT:" + cut.string(), theirs))
        << what;
    EXPECT_EQ(testsupport::ComparePixels(ours.image, theirs), "") << what;
  }
}

TEST_F(HloTest, CutNeedsItsPaletteFile) {
  const std::vector<uint8_t> cut = CutFile(20, 6, 16);
  EXPECT_FALSE(Identify(cut, (dir / "alone.cut").string()));
  // A version 2 palette holds 6-bit values.
  Write("old.pal", PalFile(TestPalette(16), 224));
  auto id = Decode(cut, (dir / "old.cut").string());
  ASSERT_TRUE(id);
  EXPECT_EQ(id->SubType, "CUT Version 2");
  EXPECT_EQ(id->Colors, 16);
  EXPECT_EQ(id->BitsPerPixel, 4);
  EXPECT_EQ(id->Palette[3 * 5 + 2], static_cast<uint8_t>(5 * 11 * 4));
  EXPECT_EQ(id->ErrorCode, 0);
  for (int y = 0; y < 6; ++y) {
    std::vector<uint8_t> want;
    for (int x = 0; x < 20; ++x) want.push_back(CutPixel(x, y, 16));
    EXPECT_EQ(Row(*id, y), want) << y;
  }
  // Three lines are too few to tell a cut-out.
  Write("short.pal", PalFile(TestPalette(16), 227));
  EXPECT_FALSE(Identify(CutFile(20, 3, 16), (dir / "short.cut").string()));
  // A line without its closing 0 is no cut-out.
  std::vector<uint8_t> broken = CutFile(20, 6, 16);
  broken[6 + 2 + (broken[6] | broken[7] << 8) - 1] = 1;
  Write("broken.pal", PalFile(TestPalette(16), 227));
  EXPECT_FALSE(Identify(broken, (dir / "broken.cut").string()));
}

TEST_F(HloTest, ScreenModesAndSubTypes) {
  Write("pal.pal", PalFile(TestPalette(16), 227));
  struct Case {
    int mode, version;
    bool palette;
    int width, height, colors;
    const char* subType;
  } cases[] = {
      {1, 224, false, 320, 200, 4, "Version 2 mode 01h"},
      {7, 226, false, 720, 348, 2, "Version 3 mode 07h"},
      {21, 227, false, 640, 350, 16, "Version 3 planar mode 15h"},
      {84, 230, false, 640, 350, 16, "Version 3? planar mode 54h"},
      {71, 227, false, 640, 350, 16, "Version 3 planar mode 47h"},
      {71, 227, true, 640, 480, 16, "Version 3 planar mode 47h"},
      {46, 227, false, 640, 480, 16, "Version 3 mode 2Eh"},
      {46, 227, true, 640, 350, 16, "Version 3 planar mode 2Eh"},
      {60, 0x1234, false, 320, 200, 256, "Version ??? [1234] mode 3Ch"},
      {73, 227, false, 720, 348, 16, "Version 3 planar mode 49h"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> file = ScreenHeader(c.mode, c.version);
    file.resize(600, 0);
    auto id = Identify(file, (dir / (c.palette ? "pal.pic" : "none.pic")).string());
    ASSERT_TRUE(id) << c.mode;
    EXPECT_EQ(id->FormatId, fmtHLO);
    EXPECT_EQ(id->Width, c.width) << c.mode;
    EXPECT_EQ(id->Height, c.height) << c.mode;
    EXPECT_EQ(id->Colors, c.colors) << c.mode;
    EXPECT_EQ(id->SubType, c.subType) << c.mode;
    EXPECT_EQ(id->HasPalette, c.palette ? 1 : 0);
  }
  for (int mode : {0, 2, 45, 255}) {
    std::vector<uint8_t> file = ScreenHeader(mode, 227);
    file.resize(600, 0);
    EXPECT_FALSE(Identify(file, "x.pic")) << mode;
  }
  std::vector<uint8_t> file = ScreenHeader(1, 227);
  file[6] = 3;
  file.resize(600, 0);
  EXPECT_FALSE(Identify(file, "x.pic"));
}

TEST_F(HloTest, InterleavedFieldsDropTheirGap) {
  // Mode 1: even rows, 192 bytes of gap, odd rows. Mode 7: four fields with 362-byte gaps.
  struct Case {
    int mode, fields, gap, rowBytes, height, colors;
  } cases[] = {{1, 2, 192, 80, 200, 4}, {7, 4, 362, 90, 348, 2}};
  for (const Case& c : cases) {
    std::vector<uint8_t> file = ScreenHeader(c.mode, 227);
    file.resize(c.mode == 1 ? 16 : 10, 0);
    const int bits = c.colors == 4 ? 2 : 1;
    auto rowByte = [&](int y) {
      const int v = y % c.colors;
      return static_cast<uint8_t>(bits == 2 ? v * 0x55 : v * 0xFF);
    };
    std::vector<uint8_t> stream;
    for (int f = 0; f < c.fields; ++f) {
      if (f > 0) stream.insert(stream.end(), size_t(c.gap), 0x77);
      for (int y = f; y < c.height; y += c.fields)
        stream.insert(stream.end(), size_t(c.rowBytes), rowByte(y));
    }
    // Half the data, a record end, the rest.
    std::vector<uint8_t> first(stream.begin(), stream.begin() + stream.size() / 2);
    std::vector<uint8_t> rest(stream.begin() + stream.size() / 2, stream.end());
    Encode(file, first);
    EndRecord(file);
    Encode(file, rest);
    auto id = Decode(file, "x.pic");
    ASSERT_TRUE(id) << c.mode;
    EXPECT_EQ(id->ErrorCode, 0) << c.mode;
    for (int y = 0; y < c.height; ++y) {
      ASSERT_EQ(Row(*id, y), std::vector<uint8_t>(id->Width, static_cast<uint8_t>(y % c.colors)))
          << "mode " << c.mode << " row " << y;
    }
  }
}

TEST_F(HloTest, PlanarPictureShowsPlaneByPlane) {
  std::vector<uint8_t> file = ScreenHeader(21, 227);
  file.resize(12, 0);
  auto value = [](int x, int y) { return (x / 8 + y) % 16; };
  std::vector<uint8_t> stream;
  for (int p = 0; p < 4; ++p)
    for (int y = 0; y < 350; ++y)
      for (int b = 0; b < 80; ++b) stream.push_back(value(b * 8, y) >> p & 1 ? 0xFF : 0);
  Encode(file, stream);
  GraphicOptions = goDisplayInterlace;
  std::vector<size_t> colours;
  tGraphicID* current = nullptr;
  platform.OnMessage = [&](unsigned message, uintptr_t) {
    if (message != WM_GRAPHIC_PROGRESS || !current) return;
    std::set<uint8_t> seen;
    for (int y = 0; y < 350; y += 5) {
      std::vector<uint8_t> row = Row(*current, y);
      seen.insert(row.begin(), row.end());
    }
    colours.push_back(seen.size());
  };
  auto id = Identify(file, "x.pic", [&](tGraphicID& g) {
    g.NotifyWindow = 1;
    current = &g;
  });
  ASSERT_TRUE(id);
  id->LoadPicture();
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(colours, (std::vector<size_t>{2, 4, 8, 16}));
  EXPECT_EQ(Row(*id, 77)[100], value(100, 77));
  const tPalette16 ega = EgaPalette();
  EXPECT_TRUE(std::equal(ega.begin(), ega.end(), id->Palette));
  // Cut short: the rows so far stay, the error is End Of File.
  file.erase(file.begin() + static_cast<long>(file.size() / 2), file.end());
  id = Decode(file, "x.pic");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->ErrorCode, errEndOfFile);
  EXPECT_EQ(Row(*id, 10)[0] & 1, value(0, 10) & 1);
}

}  // namespace
