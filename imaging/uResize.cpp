// Resizing: nearest neighbour in the picture's own format, and the smoothing resize to 24 bits.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/uImageOps.h"
#include "imaging/uPixels.h"

namespace {

// New position i -> old position: i (old - 1) / (new - 1) to the nearest integer when the axis
// changes and the new size is above 1, else i itself; one extra entry, the old size (or the
// new one for an unchanged axis), closes the last block.
std::vector<int> IndexMap(int oldSize, int newSize) {
  std::vector<int> map(static_cast<size_t>(newSize) + 1);
  if (oldSize != newSize && newSize > 1) {
    int64_t num = oldSize - 1, den = newSize - 1;
    for (int i = 0; i < newSize; ++i) map[i] = static_cast<int>((2 * i * num + den) / (2 * den));
    map[newSize] = oldSize;
  } else {
    for (int i = 0; i <= newSize; ++i) map[i] = i;
  }
  return map;
}

int Sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

tMemBmpPtr ResizeNearest(const tMemBmp& picture, int width, int height) {
  tMemBmpPtr out = NewLike(picture, width, height);
  int w = picture.Width(), h = picture.Height(), bits = picture.BitCount();
  if (w <= 0 || h <= 0) return out;
  std::vector<int> cols(static_cast<size_t>(out->Width()));
  for (int x = 0; x < out->Width(); ++x) cols[x] = static_cast<int>(int64_t(x) * w / out->Width());
  for (int y = 0; y < out->Height(); ++y) {
    const uint8_t* src = picture.ScanLine(static_cast<int>(int64_t(y) * h / out->Height()));
    uint8_t* dest = out->ScanLine(y);
    if (bits == 24) {
      for (int x = 0; x < out->Width(); ++x) std::memcpy(dest + x * 3, src + cols[x] * 3, 3);
    } else {
      for (int x = 0; x < out->Width(); ++x) PutPixel(dest, x, bits, GetPixel(src, cols[x], bits));
    }
  }
  return out;
}

tMemBmpPtr ResizeSmooth(tMemBmp& picture, int width, int height) {
  auto out = std::make_unique<tMemBmp>();
  out->Allocate(width, height, picture.GrayFlag != 0, nullptr, 280, 24);
  int w = picture.Width(), h = picture.Height();
  width = out->Width(), height = out->Height();
  if (w <= 0 || h <= 0 || width <= 0 || height <= 0) return out;
  std::vector<int> cols = IndexMap(w, width), rows = IndexMap(h, height);
  if (width < w) {
    // Narrower: each new pixel is the average of its block of old rows and columns.
    std::vector<uint32_t> sums(size_t(w) * 3);
    for (int y = 0; y < height; ++y) {
      std::fill(sums.begin(), sums.end(), 0);
      int y0 = rows[y], y1 = std::max(rows[y + 1], y0 + 1);
      for (int sy = y0; sy < y1; ++sy) {
        const uint8_t* src = picture.GetRGBLine(sy);
        for (size_t i = 0; i < sums.size(); ++i) sums[i] += src[i];
      }
      uint8_t* dest = out->ScanLine(y);
      for (int x = 0; x < width; ++x) {
        int x0 = cols[x], x1 = std::max(cols[x + 1], x0 + 1);
        uint64_t block = uint64_t(y1 - y0) * uint64_t(x1 - x0);
        for (int c = 0; c < 3; ++c) {
          uint64_t total = 0;
          for (int sx = x0; sx < x1; ++sx) total += sums[size_t(sx) * 3 + c];
          dest[x * 3 + c] = static_cast<uint8_t>(total / block);
        }
      }
    }
    return out;
  }
  // Same width or wider: index-mapped samples; unchanged widths copy whole rows.
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = picture.GetRGBLine(rows[y]);
    uint8_t* dest = out->ScanLine(y);
    if (width == w) {
      std::memcpy(dest, src, size_t(w) * 3);
    } else {
      for (int x = 0; x < width; ++x) std::memcpy(dest + x * 3, src + size_t(cols[x]) * 3, 3);
    }
  }
  return out;
}

tMemBmpPtr ResizeImage(tMemBmp& picture, int width, int height, int mode) {
  int s = Sign(width - picture.Width()) + Sign(height - picture.Height());
  bool smooth = s != 0 && mode > -1 && !(picture.BitCount() > 8 && mode < 1);
  return smooth ? ResizeSmooth(picture, width, height) : ResizeNearest(picture, width, height);
}
