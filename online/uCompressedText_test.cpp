#include "online/uCompressedText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/TestSupport.h"

namespace {

std::vector<uint8_t> Container(uint32_t length, const std::vector<uint8_t>& zlib) {
  std::vector<uint8_t> out = {uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16),
                              uint8_t(length >> 24)};
  out.insert(out.end(), zlib.begin(), zlib.end());
  return out;
}

TEST(CompressedText, RoundTripAcrossTheBufferSize) {
  for (size_t size : {size_t(0), size_t(1), kInflateBufferSize, kInflateBufferSize + 1,
                      3 * kInflateBufferSize + 17}) {
    std::string text;
    for (size_t i = 0; i < size; ++i) text += static_cast<char>('a' + (i * 7 + i / 13) % 26);
    const std::vector<uint8_t> packed = CompressText(text);
    if (size > 0) {
      EXPECT_EQ(packed[4], 0x78);
      EXPECT_EQ(packed[5], 0xDA);  // maximum compression
    }
    EXPECT_EQ(InflateCompressedText(packed), text) << size;
  }
}

TEST(CompressedText, StreamMadeByPythonsZlib) {
  if (!testsupport::HaveTool("/usr/bin/python3")) GTEST_SKIP() << "python3 not here";
  std::vector<uint8_t> zlib;
  ASSERT_EQ(testsupport::Run("/usr/bin/python3 -c \"import sys,zlib; "
                             "sys.stdout.buffer.write(zlib.compress(b'line 1\\r\\nline 2\\r\\n', 9))\"",
                             &zlib),
            0);
  EXPECT_EQ(InflateCompressedText(Container(16, zlib)), "line 1\r\nline 2\r\n");
}

TEST(CompressedText, FaultsRaiseAndGiveNothing) {
  const std::vector<uint8_t> good = CompressText("hello, world");
  // The stream ends before the stated length: no stale bytes may fill the rest.
  std::vector<uint8_t> longer = good;
  longer[0] = 20;
  EXPECT_THROW(InflateCompressedText(longer), EZDecompressionError);
  // Corrupt data, a cut stream, no length, an absurd length.
  std::vector<uint8_t> badHeader = good;
  badHeader[4] = 0x00;
  EXPECT_THROW(InflateCompressedText(badHeader), EZDecompressionError);
  std::vector<uint8_t> badChecksum = good;
  badChecksum.back() ^= 0x01;
  EXPECT_THROW(InflateCompressedText(badChecksum), EZDecompressionError);
  std::vector<uint8_t> cut(good.begin(), good.begin() + 8);
  EXPECT_THROW(InflateCompressedText(cut), EZDecompressionError);
  EXPECT_THROW(InflateCompressedText(std::vector<uint8_t>{1, 0}), EZDecompressionError);
  EXPECT_THROW(InflateCompressedText(std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0xDA}),
               EZDecompressionError);
  // A shorter stated length takes only that much.
  std::vector<uint8_t> shorter = good;
  shorter[0] = 5;
  EXPECT_EQ(InflateCompressedText(shorter), "hello");
  EXPECT_EQ(InflateCompressedText(std::vector<uint8_t>{0, 0, 0, 0}), "");
}

}  // namespace
