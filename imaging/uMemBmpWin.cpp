#include "imaging/uMemBmpWin.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

HBITMAP MakeDib(const BITMAPINFO* info, const void* bits, size_t size) {
  void* dest = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &dest, nullptr, 0);
  if (bitmap && dest) std::memcpy(dest, bits, size);
  return bitmap;
}

}  // namespace

HBITMAP AssignToBitmap(tMemBmp& picture) {
  if (!picture.HasLayout()) return nullptr;
  const int bits = picture.BitCount();
  if (bits <= 8) {
    // The info header with a full table: pixel values past the picture's own colours show
    // black instead of whatever the system makes of them.
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + (size_t(4) << bits), 0);
    std::memcpy(info.data(), picture.InfoHeader, sizeof(BITMAPINFOHEADER));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biClrUsed = 0;
    std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), picture.ColorTable,
                std::min<size_t>(picture.PaletteSize, size_t(4) << bits));
    return MakeDib(reinterpret_cast<const BITMAPINFO*>(info.data()), picture.Bits,
                   picture.ImageSize);
  }
  if (bits != 15 && bits != 16) {
    return MakeDib(reinterpret_cast<const BITMAPINFO*>(picture.InfoHeader), picture.Bits,
                   picture.ImageSize);
  }
  // 15- and 16-bit rows go through a 24-bit copy: their masks need not be the system's 5-5-5.
  const int width = picture.Width(), height = picture.Height();
  tMemBmp copy;
  copy.Allocate(width, height, false, nullptr, 280, 24);
  for (int y = 0; y < height; ++y)
    std::memcpy(copy.ScanLine(y), picture.GetRGBLine(y), size_t(width) * 3);
  return MakeDib(reinterpret_cast<const BITMAPINFO*>(copy.InfoHeader), copy.Bits, copy.ImageSize);
}
