#include "imaging/formats/gMAC.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "imaging/formats/ReaderTestUtil.h"
#include "tests/DiffDecode.h"

namespace {

using readertest::Decode;
using readertest::Identify;
using tBytes = std::vector<uint8_t>;

// PackBits rows for a picture of rows of 72 bytes: each row one literal of 72 bytes.
tBytes LiteralRows(int rows, uint8_t value) {
  tBytes v;
  for (int i = 0; i < rows; ++i) {
    v.push_back(71);
    v.insert(v.end(), 72, value);
  }
  return v;
}

tBytes MacBinary(const std::string& name, const char* type, const tBytes& data) {
  tBytes v(128, 0);
  v[1] = static_cast<uint8_t>(name.size());
  std::memcpy(&v[2], name.data(), name.size());
  std::memcpy(&v[65], type, 4);
  std::memcpy(&v[69], "MPNT", 4);
  v.insert(v.end(), data.begin(), data.end());
  return v;
}

tBytes Bare(int version, bool onesPattern, const tBytes& rows) {
  tBytes v(512, 0);
  v[3] = static_cast<uint8_t>(version);
  if (onesPattern) std::fill_n(v.begin() + 4, 8, 0xFF);
  v.insert(v.end(), rows.begin(), rows.end());
  return v;
}

TEST(MacTest, HeaderVariants) {
  const tBytes rows = LiteralRows(720, 0x0F);
  tBytes fivePointFive(640, 0);
  fivePointFive[7] = fivePointFive[300] = 1;
  fivePointFive.insert(fivePointFive.end(), rows.begin(), rows.end());
  tBytes threeNonZero = fivePointFive;
  threeNonZero[9] = 1;
  struct Case {
    const char* what;
    tBytes file;
    const char* code;  // null: not MacPaint
  } cases[] = {
      {"MacBinary", MacBinary("Picture", "PNTG", Bare(0, false, rows)), "P.5"},
      {"640 bytes before", fivePointFive, "5.5"},
      {"three bytes set in front", threeNonZero, nullptr},
      {"version 2 with a pattern of ones", Bare(2, true, rows), "2.4"},
      {"version 3 with a pattern of ones", Bare(3, true, rows), "3.4"},
      {"version 2 with another pattern", Bare(2, false, rows), nullptr},
      {"zero header", Bare(0, false, rows), "4.4"},
      {"zero header, zero data", Bare(0, false, tBytes(100, 0)), nullptr},
      {"not a paint file behind MacBinary", MacBinary("Picture", "PICT", Bare(0, false, rows)),
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto id = Decode(c.file);
    if (!c.code) {
      // Not at base 0, and not as a MacBinary retry either.
      EXPECT_TRUE(id == nullptr || id->FormatId != fmtMAC);
      continue;
    }
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->FormatId, fmtMAC);
    EXPECT_EQ(id->SubType, c.code);
    EXPECT_EQ(id->Width, 576);
    EXPECT_EQ(id->Height, 720);
    EXPECT_EQ(id->ErrorCode, 0);
    EXPECT_EQ(id->RowsDone, 720);
    EXPECT_EQ(id->Bitmap->ScanLine(719)[71], 0xF0);
  }
}

TEST(MacTest, MacBinaryNameIsARemark) {
  auto id = Decode(
      MacBinary("A name that is far too long for it", "PNTG", Bare(0, false, LiteralRows(720, 0))));
  ASSERT_NE(id, nullptr);
  const std::vector<std::string> want = {"kpic.dat", "b576x720x2 MacPaint P.5",
                                         "rA name that is far too lo"};
  EXPECT_EQ(id->Info, want);
}

TEST(MacTest, PackBitsRowsAndShortData) {
  // A no-op, a run of 72 white bytes (row 0), then a literal row, then half a row.
  tBytes data = {0x80, 0xB9, 0x00};
  tBytes literal = LiteralRows(1, 0xF0);
  data.insert(data.end(), literal.begin(), literal.end());
  data.insert(data.end(), {0xDD, 0xFF});  // 36 black bytes
  auto id = Decode(Bare(2, true, data));
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, errEndOfFile);
  EXPECT_EQ(id->RowsDone, 2);
  const uint8_t* row0 = id->Bitmap->ScanLine(0);
  const uint8_t* row1 = id->Bitmap->ScanLine(1);
  EXPECT_TRUE(std::all_of(row0, row0 + 72, [](uint8_t v) { return v == 0xFF; }));
  EXPECT_TRUE(std::all_of(row1, row1 + 72, [](uint8_t v) { return v == 0x0F; }));
  const tBytes white = {0xFF, 0xFF, 0xFF}, black = {0, 0, 0};
  const uint8_t* rgb = id->Bitmap->GetRGBLine(1);
  EXPECT_EQ(tBytes(rgb, rgb + 3), black);
  EXPECT_EQ(tBytes(rgb + 12, rgb + 15), white);
  EXPECT_EQ(id->Info.back(), "kEnd Of File at " + std::to_string(512 + data.size()));
}

// A bilevel test picture: runs of many lengths and single pixels, different on each row.
std::vector<uint8_t> Pbm(int width, int height) {
  std::string head = "P4\n" + std::to_string(width) + " " + std::to_string(height) + "\n";
  tBytes v(head.begin(), head.end());
  const int rowBytes = (width + 7) / 8;
  for (int y = 0; y < height; ++y) {
    tBytes row(static_cast<size_t>(rowBytes), 0);
    for (int x = 0; x < width; ++x)
      if ((x / (1 + y % 17) + y / 9) % 3 == 0 || (x * 7 + y) % 29 == 0)
        row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    v.insert(v.end(), row.begin(), row.end());
  }
  return v;
}

TEST(MacToolTest, NetpbmFilesMatchMacptopbm) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  auto dir = testsupport::ScratchDir("mac_tools");
  struct Case {
    int width, height;
    const char* options;
    bool macBinary;
  } cases[] = {{576, 720, "", false},
               {576, 720, "-norle", false},
               {100, 41, "", false},
               {576, 720, "", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.width << "x" << c.height << " " << c.options << " " << c.macBinary);
    testsupport::WriteFile(dir / "in.pbm", Pbm(c.width, c.height));
    auto file = dir / "out.mac";
    ASSERT_EQ(testsupport::Run(std::string("pbmtomacp ") + c.options + " '" +
                               (dir / "in.pbm").string() + "' > '" + file.string() + "'"),
              0);
    if (c.macBinary)
      testsupport::WriteFile(file, MacBinary("Test", "PNTG", testsupport::ReadFile(file)));
    auto ours = testsupport::DecodeOurs(file);
    ASSERT_TRUE(ours.identified);
    EXPECT_EQ(ours.formatId, fmtMAC);
    EXPECT_EQ(ours.errorCode, 0);
    testsupport::RgbImage theirs;
    ASSERT_TRUE(
        testsupport::DecodeReference(testsupport::tReference::Netpbm, file, theirs, "macptopbm"));
    EXPECT_EQ(testsupport::ComparePixels(ours.image, theirs), "");
  }
}

}  // namespace
