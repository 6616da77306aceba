// The run-length packer against exact bytes, against small decoders of the three formats, and
// (natively) against Debian's own TIFF, PCX and Targa readers on files wrapped around its rows.
#include <gtest/gtest.h>

#include <random>

#include "foundation/uUtil.h"
#include "tests/TestSupport.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pack(const Bytes& row, int mode) {
  int size = mode == 3 ? 3 : 1;
  int count = static_cast<int>(row.size()) / size;
  Bytes out(PackRunsBound(count, mode) + 16, 0xEE);
  int n = PackRuns(row.data(), out.data(), count, mode);
  EXPECT_LE(static_cast<size_t>(n), PackRunsBound(count, mode));
  for (size_t k = n; k < out.size(); ++k) EXPECT_EQ(out[k], 0xEE) << "wrote past its count";
  out.resize(n);
  return out;
}

TEST(PackRuns, ExactBytes) {
  const uint8_t b = 0x5A;
  struct {
    Bytes row;
    int mode;
    Bytes want;
  } cases[] = {
      {Bytes(129, b), 0, {0x82, b, 0xFF, b}},  // 127 + 2: PackBits has no run of one
      {Bytes(130, b), 0, {0x81, b, 0xFF, b}},
      {Bytes(128, b), 0, {0x81, b}},
      {{'A', 'B', 'A', 'B'}, 0, {0x03, 'A', 'B', 'A', 'B'}},
      {{'A', 'A'}, 0, {0x01, 'A', 'A'}},  // two equal elements stay literal
      {{'A', 'A', 'A'}, 0, {0xFE, 'A'}},
      {{'A', 'B', 'B', 'B', 'C', 'C'}, 0, {0x00, 'A', 0xFE, 'B', 0x01, 'C', 'C'}},
      {{0xC5}, 2, {0xC1, 0xC5}},
      {Bytes(70, b), 2, {0xFF, b, 0xC7, b}},  // 63 + 7
      {Bytes(64, b), 2, {0xFF, b, 0xC1, b}},
      {{1, 0xC0, 0xBF, 0xFF}, 2, {1, 0xC1, 0xC0, 0xBF, 0xC1, 0xFF}},
      {Bytes(200, b), 1, {0xFF, b, 0xC7, b}},  // 128 + 72
      {Bytes(129, b), 1, {0xFF, b, 0x80, b}},
      {{7, 8}, 1, {0x01, 7, 8}},
      {{1, 2, 3, 1, 2, 3, 1, 2, 3}, 3, {0x82, 1, 2, 3}},
      {{1, 2, 3, 1, 2, 3, 1, 2, 4}, 3, {0x02, 1, 2, 3, 1, 2, 3, 1, 2, 4}},
  };
  for (const auto& c : cases) EXPECT_EQ(Pack(c.row, c.mode), c.want) << "mode " << c.mode;
  uint8_t out[4] = {9, 9, 9, 9};
  EXPECT_EQ(PackRuns(out, out, 0, 0), 0);
  EXPECT_EQ(PackRuns(out, out, 3, 7), 0);  // no such mode
  EXPECT_EQ(out[0], 9);
}

// Rows of every awkward run length, with bytes that PCX must escape, and random rows.
std::vector<Bytes> TestRows(int width, int size) {
  std::vector<Bytes> rows;
  std::mt19937 rng(1234);
  const int lengths[] = {1, 2, 3, 127, 128, 129, 200, 4, 63, 64, 65};
  for (int start = 0; start < 11; ++start) {
    Bytes row;
    for (int k = start; static_cast<int>(row.size()) < width * size; ++k) {
      int len = lengths[k % 11];
      uint8_t v = static_cast<uint8_t>(k % 2 ? 0xC0 + k * 7 : k * 13);
      for (int e = 0; e < len; ++e)
        for (int s = 0; s < size; ++s) row.push_back(static_cast<uint8_t>(v + s * (k & 1)));
    }
    row.resize(width * size);
    rows.push_back(row);
  }
  for (int r = 0; r < 8; ++r) {
    Bytes row;
    while (static_cast<int>(row.size()) < width * size) {
      int len = 1 + static_cast<int>(rng() % (r < 4 ? 4 : 150));
      uint8_t v = static_cast<uint8_t>(rng() % (r % 2 ? 256 : 3) + (r % 2 ? 0 : 0xBF));
      for (int e = 0; e < len; ++e)
        for (int s = 0; s < size; ++s) row.push_back(static_cast<uint8_t>(v ^ s));
    }
    row.resize(width * size);
    rows.push_back(row);
  }
  return rows;
}

// Small decoders written from the formats' definitions; they run on every target.
Bytes Unpack(const Bytes& in, int mode) {
  Bytes out;
  int size = mode == 3 ? 3 : 1;
  for (size_t i = 0; i < in.size();) {
    uint8_t h = in[i++];
    size_t need = mode == 2 ? (h >= 0xC0) : h < 0x80 ? (h + 1) * size : size;
    if (i + need > in.size()) {
      ADD_FAILURE() << "packed data ends inside a packet";
      return out;
    }
    if (mode == 2) {
      if (h >= 0xC0) {
        out.insert(out.end(), h & 0x3F, in[i++]);
      } else {
        out.push_back(h);
      }
    } else if (h < 0x80) {
      size_t n = (h + 1) * size;
      out.insert(out.end(), in.begin() + i, in.begin() + i + n);
      i += n;
    } else {
      int n = mode == 0 ? 257 - h : (h & 0x7F) + 1;
      if (mode == 0) {
        EXPECT_NE(h, 0x80);  // a no-op in PackBits: never written
      }
      for (int k = 0; k < n; ++k) out.insert(out.end(), in.begin() + i, in.begin() + i + size);
      i += size;
    }
  }
  return out;
}

TEST(PackRuns, RowsComeBackWhole) {
  for (int mode = 0; mode < 4; ++mode) {
    int size = mode == 3 ? 3 : 1;
    for (int width : {1, 2, 3, 4, 5, 130, 400}) {
      for (const Bytes& row : TestRows(width, size))
        ASSERT_EQ(Unpack(Pack(row, mode), mode), row) << "mode " << mode << " width " << width;
    }
  }
}

// --- Independent readers on files wrapped around packed rows ---

void Put16(Bytes& b, uint16_t v) {
  b.push_back(v & 0xFF);
  b.push_back(v >> 8);
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

Bytes PackAll(const std::vector<Bytes>& rows, int mode) {
  Bytes all;
  for (const Bytes& r : rows) {
    Bytes p = Pack(r, mode);
    all.insert(all.end(), p.begin(), p.end());
  }
  return all;
}

// A grey PackBits TIFF: header, the strip, then the directory.
Bytes Tiff(const std::vector<Bytes>& rows, int width) {
  Bytes strip = PackAll(rows, 0);
  Bytes f = {'I', 'I', 42, 0};
  Put32(f, 8 + static_cast<uint32_t>(strip.size()));
  f.insert(f.end(), strip.begin(), strip.end());
  const uint32_t h = static_cast<uint32_t>(rows.size());
  const uint32_t tags[][3] = {{256, 3, static_cast<uint32_t>(width)},
                              {257, 3, h},
                              {258, 3, 8},
                              {259, 3, 32773},
                              {262, 3, 1},
                              {273, 4, 8},
                              {277, 3, 1},
                              {278, 3, h},
                              {279, 4, static_cast<uint32_t>(strip.size())}};
  Put16(f, 9);
  for (const auto& t : tags) {
    Put16(f, static_cast<uint16_t>(t[0]));
    Put16(f, static_cast<uint16_t>(t[1]));
    Put32(f, 1);
    if (t[1] == 3) {
      Put16(f, static_cast<uint16_t>(t[2]));
      Put16(f, 0);
    } else {
      Put32(f, t[2]);
    }
  }
  Put32(f, 0);
  return f;
}

// An 8-bit PCX with a grey palette.
Bytes Pcx(const std::vector<Bytes>& rows, int width) {
  Bytes f = {10, 5, 1, 8};
  Put16(f, 0);
  Put16(f, 0);
  Put16(f, static_cast<uint16_t>(width - 1));
  Put16(f, static_cast<uint16_t>(rows.size() - 1));
  Put16(f, 72);
  Put16(f, 72);
  f.resize(65, 0);
  f.push_back(1);  // planes
  Put16(f, static_cast<uint16_t>(width));
  Put16(f, 1);
  f.resize(128, 0);
  Bytes data = PackAll(rows, 2);
  f.insert(f.end(), data.begin(), data.end());
  f.push_back(12);
  for (int i = 0; i < 256; ++i) f.insert(f.end(), 3, static_cast<uint8_t>(i));
  return f;
}

// A run-length Targa, top row first: type 9 with a grey colour map, or type 10 in 24 bits.
Bytes Targa(const std::vector<Bytes>& rows, int width, bool mapped) {
  Bytes f = {0, static_cast<uint8_t>(mapped ? 1 : 0), static_cast<uint8_t>(mapped ? 9 : 10)};
  Put16(f, 0);
  Put16(f, mapped ? 256 : 0);
  f.push_back(mapped ? 24 : 0);
  Put16(f, 0);
  Put16(f, 0);
  Put16(f, static_cast<uint16_t>(width));
  Put16(f, static_cast<uint16_t>(rows.size()));
  f.push_back(mapped ? 8 : 24);
  f.push_back(0x20);
  if (mapped)
    for (int i = 0; i < 256; ++i) f.insert(f.end(), 3, static_cast<uint8_t>(i));
  Bytes data = PackAll(rows, mapped ? 1 : 3);
  f.insert(f.end(), data.begin(), data.end());
  return f;
}

// Decodes the file with the tool and compares with the rows: grey rows against every channel,
// pixel rows (blue, green, red) against red, green, blue.
void CheckWithTool(const std::string& tool, const std::string& name, const Bytes& file,
                   const std::vector<Bytes>& rows, int width, bool bgr) {
  auto dir = testsupport::ScratchDir("packruns_" + name);
  testsupport::WriteFile(dir / name, file);
  Bytes out;
  ASSERT_EQ(testsupport::Run(tool + " '" + (dir / name).string() + "' 2>/dev/null", &out), 0);
  testsupport::RgbImage img;
  ASSERT_TRUE(testsupport::ParseNetpbm(out, img)) << tool;
  ASSERT_EQ(img.width, width);
  ASSERT_EQ(img.height, static_cast<int>(rows.size()));
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < img.channels; ++c) {
        uint8_t want = bgr ? rows[y][x * 3 + 2 - c] : rows[y][x];
        ASSERT_EQ(img.samples[(static_cast<size_t>(y) * width + x) * img.channels + c], want)
            << tool << " row " << y << " column " << x;
      }
    }
  }
}

class PackRunsTools : public testing::TestWithParam<int> {};

TEST_P(PackRunsTools, IndependentReaderAgrees) {
  const int mode = GetParam();
  const char* tools[] = {"tifftopnm", "tgatoppm", "pcxtoppm", "tgatoppm"};
  if (!testsupport::HaveTool(tools[mode])) GTEST_SKIP() << tools[mode] << " not available";
  for (int width : {400, 130, 7}) {
    SCOPED_TRACE(width);
    std::vector<Bytes> rows = TestRows(width, mode == 3 ? 3 : 1);
    switch (mode) {
      case 0:
        CheckWithTool(tools[0], "rows.tif", Tiff(rows, width), rows, width, false);
        break;
      case 1:
        CheckWithTool(tools[1], "rows8.tga", Targa(rows, width, true), rows, width, false);
        break;
      case 2:
        CheckWithTool(tools[2], "rows.pcx", Pcx(rows, width), rows, width, false);
        break;
      case 3:
        CheckWithTool(tools[3], "rows24.tga", Targa(rows, width, false), rows, width, true);
        break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, PackRunsTools, testing::Values(0, 1, 2, 3));

}  // namespace
