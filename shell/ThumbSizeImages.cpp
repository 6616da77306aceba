#include "shell/ThumbSizeImages.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <memory>

#include "thumbnails/uThumbnails.h"

namespace {
constexpr int kFirstCode = 4, kLastCode = 12;

std::array<std::unique_ptr<TBitmap>, kLastCode - kFirstCode + 1> MakeImages() {
  std::array<std::unique_ptr<TBitmap>, kLastCode - kFirstCode + 1> images;
  TBitmap sample;
  if (!sample.LoadFromResourceName("BTNSTRIP") || sample.Width() < 1 || sample.Height() < 1)
    return images;
  for (int code = kFirstCode; code <= kLastCode; ++code) {
    // Fitted as thumbnails are: the longer side fills the box, each side at least 1.
    const int box = ThumbnailBoxSize(code);
    int width = box, height = box;
    if (sample.Width() >= sample.Height())
      height = std::max(1, MulDiv(sample.Height(), box, sample.Width()));
    else
      width = std::max(1, MulDiv(sample.Width(), box, sample.Height()));
    auto image = std::make_unique<TBitmap>();
    if (!image->SetSize(width, height)) continue;
    HDC dc = image->Canvas().Handle();
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, width, height, sample.Canvas().Handle(), 0, 0, sample.Width(),
               sample.Height(), SRCCOPY);
    images[code - kFirstCode] = std::move(image);
  }
  return images;
}
}  // namespace

TBitmap* ThumbSizeImage(int code) {
  static auto images = MakeImages();
  if (code < kFirstCode || code > kLastCode) return nullptr;
  return images[code - kFirstCode].get();
}
