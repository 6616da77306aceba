#include <cstring>
#include <vector>

#include "foundation/uUtil.h"
#include "imaging/Palettes.h"
#include "imaging/formats/gTGA.h"

namespace {

void Put16(uint8_t* p, int v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

void WriteTGA(tMemBmp& picture, tBuffStream& stream, bool rle, int bitsPerPixel, bool topDown) {
  const int width = picture.Width(), height = picture.Height();
  const int colors = picture.ColorCount();
  int depth = bitsPerPixel >= 1 && bitsPerPixel <= 8    ? 8
              : bitsPerPixel >= 9 && bitsPerPixel <= 16 ? 16
                                                        : 24;
  if (depth == 8 && colors > 256) depth = 24;
  // The grey flag alone is not trusted: a 1-bit picture carries it whatever its two colours.
  const bool gray = depth == 8 && picture.GrayFlag &&
                    IsGrayPalette(8, picture.PaletteEntries(), picture.ColorTable);
  const bool mapped = depth == 8 && !gray;
  if (depth == 16) rle = false;  // 16-bit rows are always stored as they are

  uint8_t header[18] = {};
  header[2] = static_cast<uint8_t>(depth == 8 ? (gray ? 3 : 1) : 2);
  if (rle) header[2] += 8;
  if (mapped) {
    header[1] = 1;
    Put16(header + 5, colors);
    header[7] = 24;
  }
  Put16(header + 12, width);
  Put16(header + 14, height);
  header[16] = static_cast<uint8_t>(depth);
  header[17] = topDown ? 0x20 : 0;
  stream.Write(header, sizeof header);

  if (mapped) {
    // Blue, green, red entries; a table shorter than the colour count gives black.
    std::vector<uint8_t> map(size_t(colors) * 3, 0);
    for (int i = 0; i < colors && i < picture.PaletteEntries(); ++i)
      std::memcpy(&map[size_t(i) * 3], picture.ColorTable + i * 4, 3);
    stream.Write(map.data(), static_cast<int32_t>(map.size()));
  }

  const int pixelBytes = depth / 8;
  const int rowBytes = width * pixelBytes;
  const int mode = depth == 24 ? 3 : 1;
  std::vector<uint8_t> row16(depth == 16 ? size_t(rowBytes) : 0);
  std::vector<uint8_t> packed(rle ? PackRunsBound(width, mode) : 0);
  for (int i = 0; i < height; ++i) {
    const int y = topDown ? i : height - 1 - i;
    const uint8_t* row;
    if (depth == 24) {
      row = picture.GetRGBLine(y);
    } else if (depth == 16) {
      const uint16_t* pixels = picture.GetLine16(y, 15);
      for (int x = 0; x < width; ++x) Put16(&row16[size_t(x) * 2], pixels[x]);
      row = row16.data();
    } else if (gray) {
      // True grey levels from the colour table, whatever order its entries are in.
      row = picture.GetQuantizeLine(y);
    } else {
      row = picture.GetByteLine(y);
    }
    if (rle) {
      const int n = PackRuns(row, packed.data(), width, mode);
      stream.Write(packed.data(), n);
    } else {
      stream.Write(row, rowBytes);
    }
  }
}
