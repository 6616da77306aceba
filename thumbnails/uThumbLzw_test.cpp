#include "thumbnails/uThumbLzw.h"

#include <gtest/gtest.h>

#include <random>

#include "imaging/formats/uLzw.h"

namespace {

std::vector<uint8_t> Encode(const std::vector<uint8_t>& input) {
  TMemoryStream in(input), out;
  LzwEncodeThumbnail(in, out);
  return out.Data();
}

std::vector<uint8_t> Decode(const std::vector<uint8_t>& coded,
                            int64_t limit = std::numeric_limits<int64_t>::max()) {
  TMemoryStream in(coded), out;
  int64_t n = LzwDecodeThumbnail(in, out, limit);
  EXPECT_EQ(n, out.DataSize());
  return out.Data();
}

// The codes of a coded stream, read with the widths a GIF decoder uses (test-side reader).
std::vector<int> Codes(const std::vector<uint8_t>& coded) {
  std::vector<int> codes;
  int width = 9, next = 258, bitPos = 8;
  const int total = static_cast<int>(coded.size()) * 8;
  bool first = true;
  while (bitPos + width <= total) {
    int code = 0;
    for (int b = 0; b < width; ++b, ++bitPos)
      code |= ((coded[size_t(bitPos / 8)] >> (bitPos % 8)) & 1) << b;
    codes.push_back(code);
    if (code == 257) break;
    if (code == 256) {
      width = 9, next = 258, first = true;
      continue;
    }
    if (!first && next < 4096 && ++next == (1 << width) && width < 12) ++width;
    first = false;
  }
  return codes;
}

std::vector<uint8_t> Noise(size_t n, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = static_cast<uint8_t>(random());
  return v;
}

}  // namespace

TEST(ThumbLzw, EmptyInputIsSizeClearAndEnd) {
  EXPECT_EQ(Encode({}), (std::vector<uint8_t>{8, 0x00, 0x03, 0x02}));
  EXPECT_TRUE(Decode(Encode({})).empty());
}

TEST(ThumbLzw, RoundTrips) {
  std::vector<uint8_t> runs;
  for (int i = 0; i < 50000; ++i) runs.push_back(static_cast<uint8_t>((i / 700) * 37));
  std::vector<uint8_t> ramp;
  for (int i = 0; i < 70000; ++i) ramp.push_back(static_cast<uint8_t>(i ^ (i >> 8)));
  const std::vector<std::vector<uint8_t>> inputs = {
      {7},
      std::vector<uint8_t>(300, 5),  // a code equal to the next free one
      std::vector<uint8_t>(100000, 0),
      runs,
      ramp,
      Noise(100 * 1024, 1),
      Noise(1023, 2),
      Noise(1025, 3),
  };
  for (const auto& input : inputs) {
    auto coded = Encode(input);
    EXPECT_EQ(coded[0], 8);
    EXPECT_EQ(Decode(coded), input) << input.size();
    // No block-length bytes: the codes run to the end code, which ends the stream.
    auto codes = Codes(coded);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), 256);
    EXPECT_EQ(codes.back(), 257);
  }
}

TEST(ThumbLzw, AFullTableIsFollowedByAClear) {
  auto coded = Encode(Noise(100 * 1024, 4));
  auto codes = Codes(coded);
  int clears = 0;
  for (size_t i = 1; i < codes.size(); ++i) clears += codes[i] == 256;
  EXPECT_GT(clears, 5);
}

// Streams of every size code from the GIF writer's encoder (blocks joined without lengths)
// decode to what it was given.
TEST(ThumbLzw, DecodesEverySizeCode) {
  for (int size = 2; size <= 8; ++size) {
    std::vector<uint8_t> pixels = Noise(20000, size);
    for (auto& p : pixels) p = static_cast<uint8_t>(p % (1 << size));
    for (size_t i = 5000; i < 9000; ++i) pixels[i] = 1;
    std::vector<uint8_t> coded = {static_cast<uint8_t>(size)};
    {
      tLzwEncoder encoder(size, tLzwEncoder::LsbFirst, false, [&](const uint8_t* d, int n) {
        coded.insert(coded.end(), d, d + n);
      });
      encoder.Put(pixels.data(), static_cast<int>(pixels.size()));
      encoder.Finish();
    }
    EXPECT_EQ(Decode(coded), pixels) << size;
  }
}

TEST(ThumbLzw, BadSizeBytesDecodeToNothing) {
  for (uint8_t size : {0, 1, 9, 12, 255}) {
    auto coded = Encode(std::vector<uint8_t>(100, 1));
    coded[0] = size;
    EXPECT_TRUE(Decode(coded).empty()) << int(size);
  }
  EXPECT_TRUE(Decode({}).empty());
}

TEST(ThumbLzw, CorruptStreamsEndWithWhatWasDecoded) {
  auto input = Noise(5000, 5);
  auto coded = Encode(input);
  // Cut short: a prefix of the input comes out.
  auto cut = std::vector<uint8_t>(coded.begin(), coded.begin() + coded.size() / 2);
  auto out = Decode(cut);
  ASSERT_LT(out.size(), input.size());
  EXPECT_TRUE(std::equal(out.begin(), out.end(), input.begin()));
  // A code past the next free one stops decoding: clear, literal 1, then code 511.
  std::vector<uint8_t> bad = {8};
  uint32_t acc = 256 | (1u << 9) | (511u << 18);
  for (int i = 0; i < 4; ++i) bad.push_back(static_cast<uint8_t>(acc >> (8 * i)));
  EXPECT_EQ(Decode(bad), std::vector<uint8_t>{1});
  // The output limit holds however much the codes would give.
  EXPECT_EQ(Decode(Encode(std::vector<uint8_t>(100000, 9)), 1000).size(), 1000u);
  EXPECT_TRUE(Decode(Encode({1, 2, 3}), 0).empty());
}

TEST(ThumbLzw, RandomBytesNeverOverrun) {
  for (uint32_t seed = 0; seed < 300; ++seed) {
    auto bytes = Noise(1 + seed * 7 % 3000, seed);
    bytes[0] = static_cast<uint8_t>(2 + seed % 7);
    Decode(bytes, 100000);
  }
}
