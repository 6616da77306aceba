#include "viewers/picture/uTwain.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/TestSupport.h"

using namespace testsupport;

namespace {
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}
uint32_t Get32(const std::vector<uint8_t>& v, size_t at) {
  return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<uint32_t>(v[at + 3]) << 24);
}

// A packed DIB as a source hands it over: header, masks, colour table, rows (bottom-up).
struct Dib {
  int width, height, bits;
  uint32_t compression = 0, colorsUsed = 0;
  int tableEntries = 0;  // entries actually stored
  bool masks = false;
  std::vector<uint8_t> Bytes(int shortBy = 0) const {
    const int row = (width * bits + 31) / 32 * 4;
    std::vector<uint8_t> d(40 + (masks ? 12 : 0) + tableEntries * 4 + row * height);
    Put32(d, 0, 40);
    Put32(d, 4, static_cast<uint32_t>(width));
    Put32(d, 8, static_cast<uint32_t>(height));
    d[12] = 1;
    d[14] = static_cast<uint8_t>(bits);
    Put32(d, 16, compression);
    Put32(d, 32, colorsUsed);
    size_t at = 40;
    if (masks) {
      Put32(d, at, 0x7C00);
      Put32(d, at + 4, 0x03E0);
      Put32(d, at + 8, 0x001F);
      at += 12;
    }
    for (int i = 0; i < tableEntries; ++i, at += 4) {
      d[at] = static_cast<uint8_t>(i * 40);   // blue
      d[at + 1] = static_cast<uint8_t>(i * 3);  // green
      d[at + 2] = static_cast<uint8_t>(250 - i);  // red
    }
    for (size_t i = at; i < d.size(); ++i) d[i] = static_cast<uint8_t>((i * 37) >> 2);
    d.resize(d.size() - static_cast<size_t>(shortBy));
    return d;
  }
};
}  // namespace

TEST(Twain, Identity) {
  TW_IDENTITY id = ProgramIdentity("Halvorn Softworks with a name far too long for the field");
  EXPECT_EQ(id.Version.Language, 13);
  EXPECT_EQ(id.Version.Country, 1);
  EXPECT_EQ(TwainString(id.Version.Info), "App version 1.0");
  EXPECT_EQ(id.ProtocolMajor, 1);
  EXPECT_EQ(id.ProtocolMinor, 9);
  EXPECT_EQ(uint32_t{id.SupportedGroups}, 3u);
  EXPECT_EQ(TwainString(id.Manufacturer).size(), 31u);
  EXPECT_EQ(TwainString(id.ProductFamily), "Tavishore");
  EXPECT_EQ(TwainString(id.ProductName), "Tavishore 32");
  EXPECT_EQ(offsetof(TW_IDENTITY, Manufacturer), 54u);
}

TEST(Twain, StatesOfSuccessfulCalls) {
  struct Row {
    TTwainOp op;
    int from, to;
  } rows[] = {{toOpenManager, 2, 3},     {toOpenManager, 3, -1},   {toOpenSource, 3, 4},
              {toOpenSource, 2, -1},     {toSetCount, 4, 4},       {toEnable, 4, 5},
              {toDisable, 5, 4},         {toTransfer, 6, 7},       {toTransfer, 5, -1},
              {toEndTransferMore, 7, 6}, {toEndTransferLast, 7, 5}, {toReset, 6, 5},
              {toCloseSource, 4, 3},     {toCloseManager, 3, 2},   {toCloseManager, 4, -1}};
  for (const Row& r : rows) EXPECT_EQ(TwainNextState(r.op, r.from), r.to) << r.op << " " << r.from;
}

TEST(Twain, DibBecomesABmpFile) {
  struct Row {
    Dib dib;
    uint16_t wantBits;
    uint32_t wantPalette, wantUsed;
    bool masks;
  } rows[] = {
      {{37, 23, 24}, 24, 0, 0, false},
      {{37, 23, 8, 0, 0, 256}, 8, 256, 0, false},
      {{37, 23, 8, 0, 20, 20}, 8, 20, 20, false},            // a short table stays short
      {{16, 5, 1, 0, 0, 2}, 1, 2, 0, false},
      {{9, 4, 4, 0, 0, 16}, 4, 16, 0, false},
      {{10, 6, 16, 3, 0, 0, true}, 16, 0, 0, true},          // masks count in the offset
      {{10, 6, 24, 0, 4, 4}, 24, 0, 0, false},               // a true-colour table is dropped
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(&r - rows);
    std::vector<uint8_t> dib = r.dib.Bytes(), bmp;
    ASSERT_TRUE(DibToBmpFile(dib.data(), dib.size(), bmp));
    const uint32_t row = (r.dib.width * r.wantBits + 31) / 32 * 4;
    const uint32_t image = row * r.dib.height;
    const uint32_t offset = 14 + 40 + (r.masks ? 12 : 0) + r.wantPalette * 4;
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(Get32(bmp, 2), offset + image);
    EXPECT_EQ(bmp.size(), offset + image);
    EXPECT_EQ(Get32(bmp, 10), offset);
    EXPECT_EQ(bmp[14 + 14], r.wantBits);
    EXPECT_EQ(Get32(bmp, 14 + 20), image);
    EXPECT_EQ(Get32(bmp, 14 + 32), r.wantUsed);
    // The rows are the source's last image bytes, untouched.
    EXPECT_TRUE(std::equal(bmp.end() - image, bmp.end(), dib.end() - image));

    if (!HaveTools()) continue;
    // An independent reader takes the file and finds the size.
    auto dir = ScratchDir("twain");
    WriteFile(dir / "a.bmp", bmp);
    std::vector<uint8_t> out;
    ASSERT_EQ(testsupport::Run("/usr/bin/python3 -c \"from PIL import Image; im=Image.open('" +
                      (dir / "a.bmp").string() + "'); im.load(); print(im.size[0], im.size[1])\"",
                  &out),
              0);
    EXPECT_EQ(std::string(out.begin(), out.end()),
              std::to_string(r.dib.width) + " " + std::to_string(r.dib.height) + "\n");
  }
}

TEST(Twain, PixelsMatchAnIndependentReader) {
  if (!HaveTools()) GTEST_SKIP();
  Dib d{5, 3, 24};
  std::vector<uint8_t> dib = d.Bytes(), bmp;
  ASSERT_TRUE(DibToBmpFile(dib.data(), dib.size(), bmp));
  auto dir = ScratchDir("twainpix");
  WriteFile(dir / "a.bmp", bmp);
  ASSERT_EQ(testsupport::Run("bmptopnm '" + (dir / "a.bmp").string() + "' > '" + (dir / "a.ppm").string() +
                "' 2>/dev/null"),
            0);
  RgbImage img;
  ASSERT_TRUE(ParseNetpbm(ReadFile(dir / "a.ppm"), img));
  ASSERT_EQ(img.width, 5);
  ASSERT_EQ(img.height, 3);
  const size_t rows = 40, row = 16;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      const uint8_t* px = dib.data() + rows + (2 - y) * row + x * 3;
      const uint16_t* got = &img.samples[(y * 5 + x) * 3];
      EXPECT_EQ(got[0], px[2]);
      EXPECT_EQ(got[1], px[1]);
      EXPECT_EQ(got[2], px[0]);
    }
}

TEST(Twain, HostileBlocksAreRefused) {
  std::vector<uint8_t> bmp;
  EXPECT_FALSE(DibToBmpFile(nullptr, 0, bmp));
  struct Row {
    const char* what;
    std::vector<uint8_t> dib;
  } rows[] = {
      {"header cut", std::vector<uint8_t>(39)},
      {"rows short", Dib{37, 23, 24}.Bytes(1)},
      {"palette short", Dib{4, 1, 8, 0, 0, 10}.Bytes()},
      {"masks missing", Dib{10, 6, 16, 3, 0, 0, false}.Bytes()},
  };
  for (Row& r : rows) EXPECT_FALSE(DibToBmpFile(r.dib.data(), r.dib.size(), bmp)) << r.what;
  EXPECT_TRUE(bmp.empty());

  // Sizes out of range, whatever the block's size.
  std::vector<uint8_t> big = Dib{4, 4, 24}.Bytes();
  struct Field {
    size_t at;
    uint32_t value;
  } fields[] = {{4, 0}, {4, 0x80000000u}, {4, 200000}, {8, 0}, {8, 0xFFFFFFFFu - 300000},
                {0, 39}, {0, 100000}, {32, 100000}};
  for (const Field& f : fields) {
    std::vector<uint8_t> d = big;
    Put32(d, f.at, f.value);
    EXPECT_FALSE(DibToBmpFile(d.data(), d.size(), bmp)) << f.at << "=" << f.value;
  }
}

TEST(Twain, FifteenBitsAreStoredAsSixteen) {
  Dib d{6, 2, 15};
  std::vector<uint8_t> dib = d.Bytes(), bmp;
  // 15-bit rows take two bytes a pixel, like 16.
  dib.resize(40 + 12 * 2);
  ASSERT_TRUE(DibToBmpFile(dib.data(), dib.size(), bmp));
  EXPECT_EQ(bmp[14 + 14], 16);
  EXPECT_EQ(Get32(bmp, 14 + 20), 24u);
}
