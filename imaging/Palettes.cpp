#include "imaging/Palettes.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "foundation/uPlatform.h"

namespace {

constexpr uint8_t kVga[16 * 3] = {0,   0,   0,   0,   0, 128, 0,   128, 0, 0,   128, 128,
                                  128, 0,   0,   128, 0, 128, 128, 128, 0, 128, 128, 128,
                                  192, 192, 192, 0,   0, 255, 0,   255, 0, 0,   255, 255,
                                  255, 0,   0,   255, 0, 255, 255, 255, 0, 255, 255, 255};

constexpr uint8_t kEga[16 * 3] = {0,   0,  0,  0,   0,  170, 0,   170, 0,  0,   170, 170,
                                  170, 0,  0,  170, 0,  170, 170, 85,  0,  170, 170, 170,
                                  85,  85, 85, 85,  85, 255, 85,  255, 85, 85,  255, 255,
                                  255, 85, 85, 255, 85, 255, 255, 255, 85, 255, 255, 255};

constexpr uint8_t kCga[4 * 4 * 3] = {0, 0, 0, 0, 255, 0,   255, 0, 0,   255, 255, 0,
                                     0, 0, 0, 0, 119, 0,   119, 0, 0,   119, 119, 0,
                                     0, 0, 0, 0, 255, 255, 255, 0, 255, 255, 255, 255,
                                     0, 0, 0, 0, 119, 119, 119, 0, 119, 119, 119, 119};

// The first 16 thumbnail colours, and the grid points they stand in for.
constexpr uint8_t kThumbBase[16 * 3] = {0,   0,  0,  31,  31, 159, 31,  159, 31, 31,  159, 159,
                                        159, 31, 31, 159, 31, 159, 159, 95,  31, 159, 159, 159,
                                        95,  95, 95, 95,  95, 223, 95,  255, 95, 95,  255, 223,
                                        255, 95, 95, 255, 95, 223, 255, 255, 95, 255, 255, 255};
constexpr uint8_t kThumbLeftOut[16 * 3] = {31,  31, 31, 31,  31, 159, 31,  159, 31, 31,  159, 159,
                                           95,  95, 95, 95,  95, 223, 95,  255, 95, 95,  255, 223,
                                           159, 31, 31, 159, 31, 159, 159, 95,  31, 159, 159, 159,
                                           255, 95, 95, 255, 95, 223, 255, 255, 95, 255, 255, 223};

void SetEntry(uint8_t* p, int i, int r, int g, int b) {
  p[i * 3] = static_cast<uint8_t>(r);
  p[i * 3 + 1] = static_cast<uint8_t>(g);
  p[i * 3 + 2] = static_cast<uint8_t>(b);
}

int Luma(const uint8_t* rgb) { return 30 * rgb[0] + 59 * rgb[1] + 11 * rgb[2]; }

}  // namespace

tPalette16 VgaPalette() {
  tPalette16 p;
  std::copy(std::begin(kVga), std::end(kVga), p.begin());
  return p;
}

tPalette16 EgaPalette() {
  tPalette16 p;
  std::copy(std::begin(kEga), std::end(kEga), p.begin());
  return p;
}

std::array<uint8_t, 4 * 4 * 3> CgaPalettes() {
  std::array<uint8_t, 4 * 4 * 3> p;
  std::copy(std::begin(kCga), std::end(kCga), p.begin());
  return p;
}

std::array<uint8_t, 64 * 3> Ega64Palette() {
  std::array<uint8_t, 64 * 3> p;
  auto level = [](int i, int primary, int secondary) {
    return ((i >> primary) & 1) * 170 + ((i >> secondary) & 1) * 85;
  };
  for (int i = 0; i < 64; ++i)
    SetEntry(p.data(), i, level(i, 2, 5), level(i, 1, 4), level(i, 0, 3));
  return p;
}

std::array<uint8_t, 216 * 3> CubePalette() {
  std::array<uint8_t, 216 * 3> p;
  for (int i = 0; i < 216; ++i) SetEntry(p.data(), i, i / 36 * 51, i / 6 % 6 * 51, i % 6 * 51);
  return p;
}

tRGBPalette ThumbnailPalette() {
  tRGBPalette p{};
  std::copy(std::begin(kThumbBase), std::end(kThumbBase), p.begin());
  int n = 16;
  for (int r = 31; r <= 255; r += 32) {
    for (int g = 31; g <= 255; g += 32) {
      for (int b = 31; b <= 255; b += 64) {
        bool left_out = false;
        for (int k = 0; k < 16; ++k) {
          const uint8_t* e = kThumbLeftOut + k * 3;
          if (e[0] == r && e[1] == g && e[2] == b) left_out = true;
        }
        if (!left_out) SetEntry(p.data(), n++, r, g, b);
      }
    }
  }
  return p;
}

tRGBPalette GrayPalette(int n) {
  tRGBPalette p;
  for (int k = 0; k < 256; ++k) SetEntry(p.data(), k, k, k, k);
  if (n >= 2 && n <= 128) {
    for (int k = 1; k < n; ++k) {
      int v = 256 / n * (k + 1) - 1;
      SetEntry(p.data(), k, v, v, v);
    }
  }
  return p;
}

tRGBPalette BrowserPalette() {
  tRGBPalette p;
  auto cube = CubePalette();
  auto grey8 = GrayPalette(8);
  auto vga = VgaPalette();
  auto grey16 = GrayPalette(16);
  auto out = std::copy(cube.begin(), cube.end(), p.begin());
  out = std::copy(grey8.begin(), grey8.begin() + 8 * 3, out);
  out = std::copy(vga.begin(), vga.end(), out);
  std::copy(grey16.begin(), grey16.begin() + 16 * 3, out);
  return p;
}

tRGBPalette Palette332() {
  tRGBPalette p;
  for (int i = 0; i < 256; ++i) {
    SetEntry(p.data(), i, (i >> 5) * 32 + 31, (i >> 2 & 7) * 32 + 31, (i & 3) * 64 + 31);
  }
  SetEntry(p.data(), 0, 0, 0, 0);
  p[255 * 3 + 2] = 255;
  return p;
}

tQuadPalette RGBToQuads(const tRGBPalette& rgb) {
  tQuadPalette q;
  for (int i = 0; i < 256; ++i) {
    q[i * 4] = rgb[i * 3 + 2];
    q[i * 4 + 1] = rgb[i * 3 + 1];
    q[i * 4 + 2] = rgb[i * 3];
    q[i * 4 + 3] = 0;
  }
  return q;
}

tRGBPalette QuadsToRGB(const tQuadPalette& quads) {
  tRGBPalette p;
  for (int i = 0; i < 256; ++i)
    SetEntry(p.data(), i, quads[i * 4 + 2], quads[i * 4 + 1], quads[i * 4]);
  return p;
}

tQuadPalette BGRTriplesToQuads(const tRGBPalette& bgr) {
  tQuadPalette q;
  for (int i = 0; i < 256; ++i) {
    q[i * 4] = bgr[i * 3];
    q[i * 4 + 1] = bgr[i * 3 + 1];
    q[i * 4 + 2] = bgr[i * 3 + 2];
    q[i * 4 + 3] = 0;
  }
  return q;
}

tRGBPalette QuadsToBGRTriples(const tQuadPalette& quads) {
  tRGBPalette p;
  for (int i = 0; i < 256; ++i)
    SetEntry(p.data(), i, quads[i * 4], quads[i * 4 + 1], quads[i * 4 + 2]);
  return p;
}

tQuadPalette ColormapToQuads(const uint8_t* const* colormap, int n) {
  tQuadPalette q{};
  if (!colormap) return q;
  n = std::clamp(n, 0, 256);
  for (int i = 0; i < n; ++i) {
    q[i * 4] = colormap[0][i];
    q[i * 4 + 1] = colormap[1][i];
    q[i * 4 + 2] = colormap[2][i];
  }
  return q;
}

tPalette16 EgaRegistersToRGB(const uint8_t registers[16]) {
  tPalette16 p;
  auto ega64 = Ega64Palette();
  for (int i = 0; i < 16; ++i) {
    // Register bytes come from files; only the low 6 bits select a colour.
    const uint8_t* e = ega64.data() + (registers[i] & 0x3F) * 3;
    SetEntry(p.data(), i, e[0], e[1], e[2]);
  }
  return p;
}

void ShiftPalette(std::span<uint8_t> palette, int shift) {
  if (shift == 0) return;
  for (uint8_t& v : palette) {
    if (shift >= 8 || shift <= -8) {
      v = 0;
    } else {
      v = static_cast<uint8_t>(shift > 0 ? v << shift : v >> -shift);
    }
  }
}

tGammaTable GammaTable(double g) {
  tGammaTable t;
  t[0] = 0;
  t[255] = 255;
  for (int i = 1; i < 255; ++i) {
    double v = std::exp(g * std::log(static_cast<double>(i)) - (g - 1) * 5.5413);
    t[i] = static_cast<uint8_t>(std::clamp<long>(std::lround(std::min(v, 1e6)), 0, 255));
  }
  return t;
}

std::array<uint8_t, 3> SysColorToRGB(int index) {
  uint32_t c = Platform().SysColor(index);  // 0x00BBGGRR
  return {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)};
}

int BitsForColors(int n) {
  for (int b = 1; b <= 8; ++b) {
    if (n <= (1 << b)) return b;
  }
  return 8;
}

bool IsGrayPalette(int bits, int count, const uint8_t* quads) {
  if (bits == 1) return true;
  if (!quads || bits > 8) return false;
  for (int i = 0; i < std::min(count, 256); ++i) {
    const uint8_t* e = quads + i * 4;
    if (e[0] != e[1] || e[1] != e[2]) return false;
  }
  return true;
}

tNearest NearestColor(uint8_t r, uint8_t g, uint8_t b, const uint8_t* quads, int count) {
  tNearest best{0, INT_MAX};
  if (!quads) return best;
  count = std::min(count, 256);
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = quads + i * 4;
    int db = (e[0] >> 2) - (b >> 2), dg = (e[1] >> 2) - (g >> 2), dr = (e[2] >> 2) - (r >> 2);
    int d = dr * dr + dg * dg + db * db;
    if (d < best.Distance) best = {i, d};
  }
  return best;
}

void MergePalette(int& colorsInUse, const uint8_t* rgb, int count, uint8_t* indexMap,
                  uint8_t* quads) {
  colorsInUse = std::clamp(colorsInUse, 0, 256);
  count = std::clamp(count, 0, 256);
  // One entry plus 256 colours cannot all fit: the two darkest share the darkest's entry.
  int darkest = -1, second = -1;
  if (colorsInUse == 1 && count == 256) {
    for (int i = 0; i < count; ++i) {
      int l = Luma(rgb + i * 3);
      if (darkest < 0 || l < Luma(rgb + darkest * 3)) {
        second = darkest;
        darkest = i;
      } else if (second < 0 || l < Luma(rgb + second * 3)) {
        second = i;
      }
    }
  }
  for (int i = 0; i < count; ++i) {
    if (i == second) continue;
    const uint8_t* c = rgb + i * 3;
    tNearest n = NearestColor(c[0], c[1], c[2], quads, colorsInUse);
    if (n.Distance == 0 || colorsInUse >= 256) {
      indexMap[i] = static_cast<uint8_t>(n.Index);
    } else {
      uint8_t* e = quads + colorsInUse * 4;
      e[0] = c[2];
      e[1] = c[1];
      e[2] = c[0];
      e[3] = 0;
      indexMap[i] = static_cast<uint8_t>(colorsInUse++);
    }
  }
  if (second >= 0) indexMap[second] = indexMap[darkest];
}
