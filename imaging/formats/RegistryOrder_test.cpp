// The bilevel and planar readers sit at their places in the identification order.
#include <gtest/gtest.h>

#include "imaging/formats/ReaderTestUtil.h"

namespace {

using tBytes = std::vector<uint8_t>;

tBytes Text(const std::string& s) { return tBytes(s.begin(), s.end()); }

tBytes SmallIlbm() {
  tBytes v = Text("FORM");
  readertest::PutBE32(v, 4 + 8 + 20 + 8 + 4);
  tBytes rest = Text("ILBMBMHD");
  readertest::PutBE32(rest, 20);
  for (int w : {16, 2, 0, 0}) readertest::PutBE16(rest, w);
  rest.insert(rest.end(), {1, 0, 0, 0, 0, 0, 10, 11});
  for (int w : {16, 2}) readertest::PutBE16(rest, w);
  tBytes body = Text("BODY");
  readertest::PutBE32(body, 4);
  body.insert(body.end(), {1, 2, 3, 4});
  v.insert(v.end(), rest.begin(), rest.end());
  v.insert(v.end(), body.begin(), body.end());
  return v;
}

TEST(RegistryOrderTest, EachFormatAtItsPlace) {
  tBytes mac(512, 0);
  mac.insert(mac.end(), {0xB9, 0x00});
  tBytes gem;
  for (int w : {1, 8, 1, 2, 85, 85, 16, 1}) readertest::PutBE16(gem, w);
  gem.insert(gem.end(), {0x82});
  const std::pair<int, tBytes> files[] = {
      {fmtRLE, Text("\x1bGH!!")},
      {fmtMAC, mac},
      {fmtPBM, Text("P5\n2 1\n255\n\1\2")},
      {fmtIMG, gem},
      {fmtLBM, SmallIlbm()},
  };
  int last = 0;  // BMP comes first
  for (const auto& [format, bytes] : files) {
    auto id = readertest::Identify(bytes);
    ASSERT_NE(id, nullptr) << format;
    EXPECT_EQ(id->FormatId, format);
    EXPECT_GT(id->HandlerIndex, last) << format;
    last = id->HandlerIndex;
  }
}

// The run-length reader comes before the PBMPLUS one: an escape sequence in a comment wins.
TEST(RegistryOrderTest, EarlierReaderWins) {
  auto id = readertest::Identify(Text("P5\n# \x1bGH\n2 1\n255\n\1\2"));
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->FormatId, fmtRLE);
}

TEST(RegistryOrderTest, IlbmBehindMacBinaryIsFoundOnTheRetry) {
  tBytes file(128, 0);
  file[1] = 3;
  file[2] = 'p', file[3] = 'i', file[4] = 'c';
  tBytes ilbm = SmallIlbm();
  file.insert(file.end(), ilbm.begin(), ilbm.end());
  auto id = readertest::Decode(file);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->FormatId, fmtLBM);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->Info[2], "bMacBinary header (skipped)");
  EXPECT_EQ(id->Bitmap->ScanLine(1)[1], 4);
}

}  // namespace
