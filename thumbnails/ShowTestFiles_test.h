// Small files for the slide show tests, written by the tests themselves.
#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

#include "tests/TestSupport.h"

namespace showtest {

// A 24-bit BMP of one colour.
inline void WriteBmp(const std::filesystem::path& path, int w, int h, uint8_t b, uint8_t g, uint8_t r) {
  const int stride = (w * 3 + 3) & ~3;
  std::vector<uint8_t> data(54 + stride * h, 0);
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) data[at + i] = uint8_t(v >> (8 * i));
  };
  data[0] = 'B';
  data[1] = 'M';
  put32(2, static_cast<uint32_t>(data.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  data[26] = 1;
  data[28] = 24;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      data[54 + y * stride + 3 * x] = b;
      data[54 + y * stride + 3 * x + 1] = g;
      data[54 + y * stride + 3 * x + 2] = r;
    }
  testsupport::WriteFile(path, data);
}

}  // namespace showtest
