#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/uUtil.h"
#include "imaging/formats/gPCX.h"

namespace {

constexpr int kResolution = 120;

void Put16(uint8_t* p, int v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

int Luma(const uint8_t* rgb) { return 30 * rgb[0] + 59 * rgb[1] + 11 * rgb[2]; }

}  // namespace

void WritePCX(tMemBmp& picture, tBuffStream& stream) {
  const int width = picture.Width(), height = picture.Height();
  const int colors = picture.ColorCount();
  int bits = 8, planes = 1, bytesPerLine = width;
  if (colors > 256) {
    planes = 3;
  } else if (colors >= 17) {
    // 8 bits in one plane, as set above
  } else if (colors >= 3) {
    bits = 4, bytesPerLine = (width + 1) / 2;
  } else {
    bits = 1, bytesPerLine = (width + 7) / 8;
  }
  uint8_t palette[768];
  picture.GetPalette(palette);
  // Readers of 1-bit files show 0 as black and 1 as white (or take the header palette): with a
  // lighter first entry the bits are inverted and the entries swapped, so all show the same.
  const bool invert = bits == 1 && Luma(palette) > Luma(palette + 3);
  if (invert) std::swap_ranges(palette, palette + 3, palette + 3);

  uint8_t header[128] = {};
  header[0] = 10;
  header[1] = 5;
  header[2] = 1;
  header[3] = static_cast<uint8_t>(bits);
  Put16(header + 8, width - 1);
  Put16(header + 10, height - 1);
  Put16(header + 12, kResolution);
  Put16(header + 14, kResolution);
  if (bits <= 4) std::memcpy(header + 16, palette, 48);
  header[65] = static_cast<uint8_t>(planes);
  Put16(header + 66, bytesPerLine);
  Put16(header + 68, 1);
  Put16(header + 70, kResolution);
  Put16(header + 72, kResolution);
  stream.Write(header, sizeof header);

  // Room for whole packed bytes even where the picture's own row is shorter.
  std::vector<uint8_t> pixels(size_t(bytesPerLine) * 8 + 8, 0);
  std::vector<uint8_t> plane(static_cast<size_t>(bytesPerLine));
  std::vector<uint8_t> packed(PackRunsBound(bytesPerLine, 2));
  auto put = [&](const uint8_t* bytes) {
    const int n = PackRuns(bytes, packed.data(), bytesPerLine, 2);
    stream.Write(packed.data(), n);
  };
  for (int y = 0; y < height && !stream.AtEnd; ++y) {
    if (planes == 3) {
      const uint8_t* rgb = picture.GetRGBLine(y);
      for (int c = 2; c >= 0; --c) {
        for (int x = 0; x < width; ++x) plane[x] = rgb[x * 3 + c];
        put(plane.data());
      }
    } else if (bits == 8) {
      put(picture.GetByteLine(y));
    } else {
      std::memcpy(pixels.data(), picture.GetByteLine(y), static_cast<size_t>(width));
      if (invert)
        for (int x = 0; x < width; ++x) pixels[x] = static_cast<uint8_t>(~pixels[x] & 1);
      PackPixels(pixels.data(), plane.data(), bytesPerLine, bits);
      put(plane.data());
    }
  }
  if (bits == 8 && !stream.AtEnd) {
    // A 24-bit file carries the marker and an empty palette.
    uint8_t trailer[769] = {12};
    if (planes == 1) std::memcpy(trailer + 1, palette, 768);
    stream.Write(trailer, sizeof trailer);
  }
}
