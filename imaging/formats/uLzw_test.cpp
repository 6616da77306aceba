#include "imaging/formats/uLzw.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A plain LZW decoder of either code order: the width grows when the next free code reaches
// 2 ^ width (GIF) or 2 ^ width - 1 (early change, as TIFF readers do). Returns the pixels up to
// the end code; sets ended when an end code was read.
std::vector<uint8_t> Decode(const std::vector<uint8_t>& data, int minSize, bool msbFirst,
                            bool early, bool& ended) {
  const int clear = 1 << minSize, end = clear + 1;
  std::vector<std::vector<uint8_t>> table;
  auto reset = [&] {
    table.assign(size_t(clear) + 2, {});
    for (int i = 0; i < clear; ++i) table[i] = {static_cast<uint8_t>(i)};
  };
  reset();
  int width = minSize + 1, prev = -1;
  size_t bit = 0;
  std::vector<uint8_t> out;
  ended = false;
  while (bit + width <= data.size() * 8) {
    int code = 0;
    for (int i = 0; i < width; ++i, ++bit) {
      int b = msbFirst ? (data[bit / 8] >> (7 - bit % 8)) & 1 : (data[bit / 8] >> (bit % 8)) & 1;
      code = msbFirst ? (code << 1) | b : code | (b << i);
    }
    if (code == clear) {
      reset();
      width = minSize + 1, prev = -1;
      continue;
    }
    if (code == end) {
      ended = true;
      break;
    }
    std::vector<uint8_t> s;
    if (code < int(table.size())) {
      s = table[code];
    } else {
      s = table[prev];
      s.push_back(table[prev][0]);
    }
    if (prev >= 0 && table.size() < 4096) {
      std::vector<uint8_t> entry = table[prev];
      entry.push_back(s[0]);
      table.push_back(entry);
    }
    out.insert(out.end(), s.begin(), s.end());
    prev = code;
    if (int(table.size()) + (early ? 1 : 0) >= (1 << width) && width < 12) ++width;
  }
  return out;
}

TEST(LzwTest, BothCodeOrdersRoundTrip) {
  // Runs, noise and a long stretch without repeated pairs (which fills the table and clears it).
  std::vector<uint8_t> pixels(3000, 7);
  uint32_t seed = 1;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1103515245 + 12345;
    pixels.push_back(static_cast<uint8_t>((seed >> 16) % 13));
  }
  for (int a = 0; a < 40; ++a)
    for (int b = a; b < 256; ++b) pixels.insert(pixels.end(), {uint8_t(a), uint8_t(b)});
  struct Case {
    int minSize;
    tLzwEncoder::tBitOrder order;
    bool early;
  } cases[] = {{8, tLzwEncoder::LsbFirst, false},
               {8, tLzwEncoder::MsbFirst, true},
               {4, tLzwEncoder::LsbFirst, false},
               {2, tLzwEncoder::LsbFirst, false}};
  for (const Case& c : cases) {
    std::vector<uint8_t> input;
    for (uint8_t p : pixels) input.push_back(static_cast<uint8_t>(p % (1 << c.minSize)));
    for (size_t length : {size_t(1), size_t(2), size_t(300), input.size()}) {
      std::vector<uint8_t> data;
      std::vector<int> blocks;
      tLzwEncoder encoder(c.minSize, c.order, c.early, [&](const uint8_t* d, int n) {
        data.insert(data.end(), d, d + n);
        blocks.push_back(n);
      });
      encoder.Put(input.data(), static_cast<int>(length));
      encoder.Finish();
      bool ended = false;
      std::vector<uint8_t> got =
          Decode(data, c.minSize, c.order == tLzwEncoder::MsbFirst, c.early, ended);
      EXPECT_TRUE(ended) << c.minSize << " " << length;
      EXPECT_EQ(got, std::vector<uint8_t>(input.begin(), input.begin() + length))
          << c.minSize << " " << length;
      for (size_t i = 0; i + 1 < blocks.size(); ++i) ASSERT_EQ(blocks[i], 255);
      EXPECT_LE(blocks.back(), 255);
    }
  }
}

}  // namespace
