// RIP icons and ColoRIX/EGA paint files, built from their layouts (no independent tool reads
// them).
#include <gtest/gtest.h>

#include <set>

#include "imaging/Palettes.h"
#include "imaging/formats/gRIP.h"
#include "imaging/formats/gRIX.h"
#include "imaging/formats/gReader_testkit.h"

namespace {

using namespace readertest;

// Index of pixel (x, y) in the test pictures.
uint8_t Pixel(int x, int y, int colors) { return static_cast<uint8_t>((x * 3 + y * 5) % colors); }

// Four plane rows for one picture row; plane p holds bit (highFirst ? 3 - p : p).
std::vector<uint8_t> PlaneRows(int width, int y, bool highFirst) {
  const int bytes = (width + 7) / 8;
  std::vector<uint8_t> v(size_t(bytes) * 4, 0);
  for (int p = 0; p < 4; ++p) {
    const int bit = highFirst ? 3 - p : p;
    for (int x = 0; x < width; ++x)
      if (Pixel(x, y, 16) >> bit & 1)
        v[size_t(p) * bytes + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
  }
  return v;
}

std::vector<uint8_t> RipFile(int width, int height, int extra) {
  std::vector<uint8_t> v;
  Put16(v, width - 1), Put16(v, height - 1);
  for (int y = 0; y < height; ++y) {
    std::vector<uint8_t> rows = PlaneRows(width, y, true);
    v.insert(v.end(), rows.begin(), rows.end());
  }
  v.insert(v.end(), size_t(extra), 0);
  return v;
}

std::vector<uint8_t> Rix3File(int width, int height, uint8_t paletteType, uint8_t storage) {
  std::vector<uint8_t> v = {'R', 'I', 'X', '3'};
  Put16(v, width), Put16(v, height);
  v.push_back(paletteType), v.push_back(storage);
  const int colors = storage == 4 ? 16 : 256;
  for (int i = 0; i < colors * 3; ++i) v.push_back(static_cast<uint8_t>(i % 64));
  for (int y = 0; y < height; ++y) {
    if (storage == 4) {
      std::vector<uint8_t> rows = PlaneRows(width, y, false);
      v.insert(v.end(), rows.begin(), rows.end());
    } else {
      for (int x = 0; x < width; ++x) v.push_back(Pixel(x, y, 256));
    }
  }
  return v;
}

// An EGA paint file: registers, then plane p of every row holds bit p of Pixel.
std::vector<uint8_t> EgaPaintFile(const uint8_t registers[16]) {
  std::vector<uint8_t> v(registers, registers + 16);
  for (int p = 0; p < 4; ++p)
    for (int y = 0; y < 350; ++y)
      for (int b = 0; b < 80; ++b) {
        uint8_t byte = 0;
        for (int i = 0; i < 8; ++i)
          if (Pixel(b * 8 + i, y, 16) >> p & 1) byte |= static_cast<uint8_t>(0x80 >> i);
        v.push_back(byte);
      }
  return v;
}

std::vector<uint8_t> ExpectedRow(int width, int y, int colors) {
  std::vector<uint8_t> row;
  for (int x = 0; x < width; ++x) row.push_back(Pixel(x, y, colors));
  return row;
}

using RipRixTest = tWatchedFormatsTest;

TEST_F(RipRixTest, RipIconSizeMustFitTheData) {
  // 32 x 32: 512 bytes of planes; the file is 517 or 518 bytes.
  for (int extra : {0, 1, 2, 3}) {
    auto id = Identify(RipFile(32, 32, extra), "x.icn");
    const int size = 4 + 512 + extra;
    EXPECT_EQ(id && id->FormatId == fmtRIP, size == 517 || size == 518) << size;
  }
}

TEST_F(RipRixTest, RipIconPlanesHighBitFirst) {
  auto id = Decode(RipFile(13, 5, 1), "x.icn");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->Info.back(), "b13x5x16 RIP Icon ");
  for (int y = 0; y < 5; ++y) EXPECT_EQ(Row(*id, y), ExpectedRow(13, y, 16)) << y;
  uint8_t palette[768];
  id->Bitmap->GetPalette(palette);
  const tPalette16 ega = EgaPalette();
  EXPECT_TRUE(std::equal(ega.begin(), ega.end(), palette));
}

TEST_F(RipRixTest, Rix3EightAndFourBits) {
  struct Case {
    uint8_t paletteType, storage;
    int colors;
  } cases[] = {{0xAF, 0, 256}, {0xAB, 4, 16}};
  for (const Case& c : cases) {
    auto id = Decode(Rix3File(11, 4, c.paletteType, c.storage), "x.rix");
    ASSERT_TRUE(id) << c.colors;
    EXPECT_EQ(id->FormatId, fmtRIX);
    EXPECT_EQ(id->SubType, "(ColoRix)");
    EXPECT_EQ(id->Colors, c.colors);
    EXPECT_EQ(id->ErrorCode, 0);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(Row(*id, y), ExpectedRow(11, y, c.colors)) << y;
    // 6-bit palette values, multiplied by 4.
    EXPECT_EQ(id->Palette[5], 5 * 4);
    EXPECT_EQ(id->Palette[47], 47 * 4);
  }
}

TEST_F(RipRixTest, Rix3HeaderChecks) {
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
  } cases[] = {
      {"0xAF with storage 4", Rix3File(4, 4, 0xAF, 4)},
      {"0xAB with storage 0", Rix3File(4, 4, 0xAB, 0)},
      {"width 0", Rix3File(0, 4, 0xAF, 0)},
      {"RIX2",
       [] {
         auto f = Rix3File(4, 4, 0xAF, 0);
         f[3] = '2';
         return f;
       }()},
  };
  for (const Case& c : cases) EXPECT_FALSE(Identify(c.file, "x.rix")) << c.what;
}

TEST_F(RipRixTest, Rix3TruncatedKeepsRows) {
  std::vector<uint8_t> f = Rix3File(10, 6, 0xAF, 0);
  f.erase(f.end() - 25, f.end());  // rows 3 to 5 lose data
  auto id = Decode(f, "x.rix");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->ErrorCode, errEndOfFile);
  EXPECT_EQ(Row(*id, 2), ExpectedRow(10, 2, 256));
  EXPECT_EQ(Row(*id, 3), std::vector<uint8_t>(10, 0));
  EXPECT_EQ(id->RowsDone, 3);
}

TEST_F(RipRixTest, EgaPaintShowsPlaneByPlane) {
  uint8_t registers[16];
  for (int i = 0; i < 16; ++i) registers[i] = static_cast<uint8_t>(63 - i);
  const std::vector<uint8_t> file = EgaPaintFile(registers);
  ASSERT_EQ(file.size(), 112016u);
  GraphicOptions = goDisplayInterlace;
  std::vector<std::set<uint8_t>> seen;
  tGraphicID* current = nullptr;
  platform.OnMessage = [&](unsigned message, uintptr_t wparam) {
    if (message != WM_GRAPHIC_PROGRESS || !current) return;
    std::set<uint8_t> indices;
    for (int y = 0; y < 350; y += 7) {
      std::vector<uint8_t> row = Row(*current, y);
      indices.insert(row.begin(), row.end());
    }
    seen.push_back(indices);
  };
  auto id = Identify(file, "paint.dat", [&](tGraphicID& g) {
    g.NotifyWindow = 1;
    current = &g;
  });
  ASSERT_TRUE(id);
  EXPECT_EQ(id->SubType, "(Ega Paint)");
  EXPECT_EQ(id->Width, 640);
  EXPECT_EQ(id->Height, 350);
  id->LoadPicture();
  EXPECT_EQ(id->ErrorCode, 0);
  ASSERT_EQ(seen.size(), 4u);  // three partial notices, then the whole picture
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(seen[i].size(), 2u << i) << i;
  EXPECT_EQ(Row(*id, 123), ExpectedRow(640, 123, 16));
  // Registers 2 and 4, 3 and 5, 10 and 12, 11 and 13 trade places; each is an EGA colour.
  const auto ega64 = Ega64Palette();
  for (int i = 0; i < 16; ++i) {
    int r = i == 2    ? 4
            : i == 4  ? 2
            : i == 3  ? 5
            : i == 5  ? 3
            : i == 10 ? 12
            : i == 12 ? 10
            : i == 11 ? 13
            : i == 13 ? 11
                      : i;
    EXPECT_TRUE(
        std::equal(id->Palette + i * 3, id->Palette + i * 3 + 3, ega64.begin() + registers[r] * 3))
        << i;
  }
}

TEST_F(RipRixTest, EgaPaintNeedsRegisterValues) {
  uint8_t registers[16] = {};
  registers[9] = 64;
  std::vector<uint8_t> file = EgaPaintFile(registers);
  EXPECT_FALSE(Identify(file, "paint.dat"));
  registers[9] = 63;
  file = EgaPaintFile(registers);
  file.push_back(0);  // 112017 bytes
  EXPECT_FALSE(Identify(file, "paint.dat"));
}

}  // namespace
