// Sharpen and soften: 3x3 and 5x5 kernels on 24-bit or 8-bit grey rows.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imaging/uImageOps.h"

namespace {

// One channel value from the centre c, the sum r1 of its 8 neighbours and the sum r2 of the 16
// pixels at distance 2.
int Filtered(int level, int c, int r1, int r2) {
  switch (level) {
    case 1:
      return std::min(255, std::max(0, 16 * c - r1) / 8);
    case 2:
      return std::min(255, std::max(0, 12 * c - r1) / 4);
    case 3:
      return std::min(255, std::max(0, 10 * c - r1) / 2);
    case 4:
      return std::min(255, std::max(0, 9 * c - r1));
    case -1:
      return (8 * c + r1) / 16;
    case -2:
      return (16 * c + 4 * r1 + r2) / 64;
    case -3:
      return (4 * c + 2 * r1 + r2) / 36;
    case -4:
      return (c + r1 + r2) / 25;
    default:
      return c;
  }
}

}  // namespace

tMemBmpPtr FilterImage(tMemBmp& picture, int level) {
  level = std::clamp(level, -4, 4);
  tMemBmpPtr grey;
  auto out = std::make_unique<tMemBmp>();
  int channels;
  if (picture.GrayFlag) {
    grey = ReduceToGray(picture, 256);
    tQuadPalette quads = RGBToQuads(GrayPalette(256));
    out->Allocate(picture.Width(), picture.Height(), true, quads.data(), 256, 8);
    channels = 1;
  } else {
    if (picture.BitCount() < 24) grey = ConvertTo24Bit(picture);
    out->Allocate(picture.Width(), picture.Height(), false, nullptr, 280, 24);
    channels = 3;
  }
  tMemBmp& source = grey ? *grey : picture;
  int width = out->Width(), height = out->Height();
  int reach = level > 0 ? 1 : 2;
  size_t rowBytes = size_t(width) * channels;
  // The rows within the kernel's reach, copied out of the source one at a time.
  std::vector<std::vector<uint8_t>> rows(5, std::vector<uint8_t>(rowBytes));
  auto row = [&](int y) -> const uint8_t* { return rows[y % 5].data(); };
  int loaded = 0;
  for (int y = 0; y < height; ++y) {
    for (; loaded < height && loaded <= y + reach; ++loaded) {
      const uint8_t* src = channels == 1 ? source.ScanLine(loaded) : source.GetRGBLine(loaded);
      std::memcpy(rows[loaded % 5].data(), src, rowBytes);
    }
    uint8_t* dest = out->ScanLine(y);
    const uint8_t* centre = row(y);
    if (level == 0 || y < reach || y >= height - reach) {
      std::memcpy(dest, centre, rowBytes);
      continue;
    }
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < channels; ++c) {
        int i = x * channels + c;
        int v = centre[i];
        if (x >= reach && x < width - reach) {
          int r1 = 0, r2 = 0;
          for (int dy = -reach; dy <= reach; ++dy) {
            const uint8_t* r = row(y + dy);
            for (int dx = -reach; dx <= reach; ++dx) {
              int d = std::max(std::abs(dx), std::abs(dy));
              int p = r[(x + dx) * channels + c];
              if (d == 1) r1 += p;
              if (d == 2) r2 += p;
            }
          }
          v = Filtered(level, v, r1, r2);
        }
        dest[i] = static_cast<uint8_t>(v);
      }
    }
  }
  return out;
}
