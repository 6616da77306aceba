#include "imaging/uMemBmpWin.h"

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
  if (bits != 15 && bits != 16) {
    // The image is already a packed DIB: info header, colour table, rows.
    return MakeDib(reinterpret_cast<const BITMAPINFO*>(picture.InfoHeader), picture.Bits,
                   picture.ImageSize);
  }
  const int width = picture.Width(), height = picture.Height();
  tMemBmp copy;
  copy.Allocate(width, height, false, nullptr, 280, 24);
  for (int y = 0; y < height; ++y)
    std::memcpy(copy.ScanLine(y), picture.GetRGBLine(y), size_t(width) * 3);
  return MakeDib(reinterpret_cast<const BITMAPINFO*>(copy.InfoHeader), copy.Bits, copy.ImageSize);
}
