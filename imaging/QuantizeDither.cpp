// Our own reductions: serpentine Burkes error diffusion to black and white and to the 16 EGA
// colours, the two relief renderings of grey pictures, and the negative.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imaging/Quantize.h"
#include "imaging/uImageOps.h"

namespace {

// Two error rows of width + 4 pixels (two guard pixels at each end), three channels each.
// Even rows (row 0 first) run right to left, odd rows left to right; each pixel passes its
// channels through the gamma table, adds the error carried to it, picks a colour and spreads
// the difference Burkes-fashion by truncating divisions. choose(value, target) returns the
// index and fills target with the colour whose difference is spread.
template <class Choose>
void Diffuse(tMemBmp& picture, tMemBmp& out, const tGammaTable& gamma, Choose choose) {
  int width = picture.Width(), height = picture.Height();
  size_t cells = (static_cast<size_t>(width) + 4) * 3;
  std::vector<int16_t> cur(cells, 0), next(cells, 0);
  std::vector<uint8_t> indices(static_cast<size_t>(width));
  auto at = [](std::vector<int16_t>& row, int x, int c) -> int16_t& {
    return row[static_cast<size_t>(x + 2) * 3 + c];
  };
  for (int y = 0; y < height; ++y) {
    const uint8_t* rgb = picture.GetRGBLine(y);
    int d = y % 2 == 0 ? -1 : 1;
    for (int i = 0; i < width; ++i) {
      int x = d < 0 ? width - 1 - i : i;
      int value[3], target[3];
      for (int c = 0; c < 3; ++c) {
        value[c] = std::clamp(gamma[rgb[x * 3 + c]] + at(cur, x, c), 0, 255);
      }
      indices[x] = static_cast<uint8_t>(choose(value, target));
      for (int c = 0; c < 3; ++c) {
        int q = (value[c] - target[c]) / 4, h = q / 2, e = h / 2;
        at(cur, x + d, c) += q;
        at(next, x, c) += q;
        at(cur, x + 2 * d, c) += h;
        at(next, x - d, c) += h;
        at(next, x + d, c) += h;
        at(next, x - 2 * d, c) += e;
        at(next, x + 2 * d, c) += e;
      }
    }
    if (out.BitCount() < 8) {
      out.SetByteLine(y, indices.data());
    } else if (width > 0) {
      std::memcpy(out.ScanLine(y), indices.data(), indices.size());
    }
    std::swap(cur, next);
    std::fill(next.begin(), next.end(), 0);
  }
}

// A grey source row copied out (the picture's row buffer is reused by the next call); rows
// outside the picture are null.
const uint8_t* GreyRow(tMemBmp& picture, int y, std::vector<uint8_t>& keep) {
  if (y < 0 || y >= picture.Height()) return nullptr;
  const uint8_t* row = picture.GetGrayLine(y);
  keep.assign(row, row + picture.Width());
  return keep.data();
}

tMemBmpPtr NewGrey(tMemBmp& picture) {
  auto out = std::make_unique<tMemBmp>();
  tQuadPalette quads = RGBToQuads(GrayPalette(256));
  out->Allocate(picture.Width(), picture.Height(), true, quads.data(), 256, 8);
  return out;
}

// Runs relief(above, row, below, x, last) -> grey over every pixel; above and below may be null.
template <class Relief>
tMemBmpPtr Render(tMemBmp& picture, Relief relief) {
  tMemBmpPtr out = NewGrey(picture);
  int width = picture.Width(), height = picture.Height();
  std::vector<uint8_t> a, b, c;
  for (int y = 0; y < height; ++y) {
    const uint8_t* above = GreyRow(picture, y - 1, a);
    const uint8_t* row = GreyRow(picture, y, b);
    const uint8_t* below = GreyRow(picture, y + 1, c);
    uint8_t* dest = out->ScanLine(y);
    for (int x = 0; x < width; ++x) dest[x] = relief(above, row, below, x, x == width - 1);
  }
  return out;
}

// The grey levels of a grey palette picture (inverted when asked), Floyd-Steinberg dithered
// (serpentine) onto the first n entries of GrayPalette (n). Done on the one grey channel rather
// than by the library's colour mapping, whose histogram cells would move levels that are
// entries already: those map exactly here.
tMemBmpPtr DitherGreys(tMemBmp& picture, int n, bool invert) {
  n = std::clamp(n, 2, 256);
  tRGBPalette palette = GrayPalette(n);
  auto out = std::make_unique<tMemBmp>();
  int bits = BitsForColors(n);
  tQuadPalette quads = RGBToQuads(palette);
  out->Allocate(picture.Width(), picture.Height(), true, quads.data(), 1 << bits, bits);
  uint8_t nearest[256];
  for (int v = 0; v < 256; ++v) {
    int best = 0;
    for (int i = 1; i < n; ++i) {
      if (std::abs(palette[i * 3] - v) < std::abs(palette[best * 3] - v)) best = i;
    }
    nearest[v] = static_cast<uint8_t>(best);
  }
  int width = picture.Width();
  std::vector<int> cur(size_t(width) + 2, 0), next(size_t(width) + 2, 0);
  std::vector<uint8_t> indices(static_cast<size_t>(width));
  for (int y = 0; y < picture.Height(); ++y) {
    const uint8_t* grey = picture.GetQuantizeLine(y);
    int d = y % 2 == 0 ? 1 : -1;
    for (int i = 0; i < width; ++i) {
      int x = d > 0 ? i : width - 1 - i;
      // Errors are kept in sixteenths.
      int carried = cur[x + 1] >= 0 ? (cur[x + 1] + 8) / 16 : (cur[x + 1] - 8) / 16;
      int v = std::clamp((invert ? 255 - grey[x] : grey[x]) + carried, 0, 255);
      int index = nearest[v];
      indices[x] = static_cast<uint8_t>(index);
      int e = v - palette[index * 3];
      cur[x + 1 + d] += 7 * e;
      next[x + 1 - d] += 3 * e;
      next[x + 1] += 5 * e;
      next[x + 1 + d] += e;
    }
    if (out->BitCount() < 8) {
      out->SetByteLine(y, indices.data());
    } else if (width > 0) {
      std::memcpy(out->ScanLine(y), indices.data(), indices.size());
    }
    std::swap(cur, next);
    std::fill(next.begin(), next.end(), 0);
  }
  return out;
}

}  // namespace

tMemBmpPtr NegativeImage(tMemBmp& picture) {
  if (picture.ColorCount() > 256) {
    tMemBmpPtr out = Clone(picture);
    int rowBytes = picture.Width() * ((picture.BitCount() + 7) / 8);
    for (int y = 0; y < out->Height(); ++y) {
      uint8_t* row = out->ScanLine(y);
      for (int i = 0; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(255 - row[i]);
    }
    return out;
  }
  if (picture.GrayFlag) return DitherGreys(picture, picture.ColorCount(), true);
  tMemBmpPtr out = Clone(picture);
  for (int i = 0; i < out->PaletteEntries(); ++i) {
    uint8_t* e = out->ColorTable + i * 4;
    for (int c = 0; c < 3; ++c) e[c] = static_cast<uint8_t>(255 - e[c]);
  }
  return out;
}

tMemBmpPtr ReduceToGray(tMemBmp& picture, int n) {
  if (n < 3) return ReduceToBlackWhite(picture);
  if (picture.GrayFlag && picture.BitCount() <= 8) return DitherGreys(picture, n, false);
  tMemBmpPtr out = MapToPaletteDithered(picture, n, GrayPalette(n));
  out->GrayFlag = 1;
  return out;
}

tMemBmpPtr DitherToBlackWhite(tMemBmp& picture) {
  auto out = std::make_unique<tMemBmp>();
  tQuadPalette quads = RGBToQuads(GrayPalette(2));
  out->Allocate(picture.Width(), picture.Height(), false, quads.data(), 2, 1);
  Diffuse(picture, *out, GammaTable(1.7), [](const int* v, int* target) {
    bool white = v[0] + v[1] + v[2] > 200;
    target[0] = target[1] = target[2] = white ? 255 : 0;
    return white ? 1 : 0;
  });
  return out;
}

tMemBmpPtr DitherTo16(tMemBmp& picture) {
  auto out = std::make_unique<tMemBmp>();
  tPalette16 ega = EgaPalette();
  tRGBPalette rgb{};
  std::copy(ega.begin(), ega.end(), rgb.begin());
  tQuadPalette quads = RGBToQuads(rgb);
  out->Allocate(picture.Width(), picture.Height(), false, quads.data(), 16, 8);
  tGammaTable gamma = GammaTable(1.5);
  Diffuse(picture, *out, gamma, [&](const int* v, int* target) {
    // v is blue, green, red; palette bits: 1 blue, 2 green, 4 red, 8 bright.
    int index = 0;
    if (v[0] + v[1] + v[2] > 255) {
      index = v[0] > 170 || v[1] > 170 || v[2] > 170 ? 8 : 0;
      if (v[0] > 105) index += 1;
      if (v[1] > 105) index += 2;
      if (v[2] > 105) index += 4;
      if (index == 8) index = 0;
    }
    target[0] = gamma[ega[index * 3 + 2]];
    target[1] = gamma[ega[index * 3 + 1]];
    target[2] = gamma[ega[index * 3]];
    return index;
  });
  return out;
}

tMemBmpPtr EmbossImage(tMemBmp& picture) {
  static const uint8_t kGrey[3] = {200, 227, 255};
  return Render(picture, [](const uint8_t* above, const uint8_t* row, const uint8_t* below, int x,
                            bool last) {
    auto dark = [](const uint8_t* r, int i) { return r && r[i] < 128; };
    int index = 1;
    if (x > 0 && (dark(row, x - 1) || dark(below, x - 1))) index = 2;
    if (!last && (dark(row, x + 1) || dark(above, x + 1))) index = 0;
    if (dark(row, x)) index = 1;
    return kGrey[index];
  });
}

tMemBmpPtr ImprintImage(tMemBmp& picture) {
  static const uint8_t kGrey[5] = {195, 211, 227, 243, 255};
  return Render(picture, [](const uint8_t* above, const uint8_t* row, const uint8_t* below, int x,
                            bool last) {
    auto level = [](uint8_t v) { return v < 86 ? 1 : v < 171 ? 2 : 3; };
    int own = level(row[x]);
    auto lower = [&](const uint8_t* r, int i) { return r && level(r[i]) < own; };
    int index = own;
    if (!last && (lower(row, x + 1) || lower(above, x + 1))) index = 4;
    if (x > 0 && (lower(row, x - 1) || lower(below, x - 1))) index = 0;
    return kGrey[index];
  });
}
