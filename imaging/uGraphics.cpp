#include "imaging/uGraphics.h"

#include <vector>

#include "foundation/uUtil.h"

void DrawTransparent(TBitmap& bitmap, TCanvas& canvas, TColor color, const RECT& dest) {
  if (bitmap.Empty()) return;
  canvas.Brush.SetColor(color);
  TColor key = bitmap.Canvas().Pixel(0, bitmap.Height() - 1);
  canvas.BrushCopy(dest, bitmap, {0, 0, bitmap.Width(), bitmap.Height()}, key);
}

void DrawTransparentAt(TBitmap& bitmap, TCanvas& canvas, TColor color, int x, int y) {
  DrawTransparent(bitmap, canvas, color, {x, y, x + bitmap.Width(), y + bitmap.Height()});
}

RECT FlipRect(const TBitmap& bitmap, const RECT& r) {
  const int h = bitmap.Height();
  return {r.left, h - 1 - r.bottom, r.right, h - 1 - r.top};
}

void StretchDrawDIB(TCanvas& canvas, const RECT& dest, const BITMAPINFO* info, const void* bits,
                    const RECT& src) {
  SetStretchBltMode(canvas.Handle(), COLORONCOLOR);
  StretchDIBits(canvas.Handle(), dest.left, dest.top, dest.right - dest.left,
                dest.bottom - dest.top, src.left, src.top, src.right - src.left,
                src.bottom - src.top, bits, info, DIB_RGB_COLORS, SRCCOPY);
}

void StretchDrawDIB(TCanvas& canvas, const RECT& dest, TBitmap& bitmap, const RECT& src) {
  // Two blocks for the call, as the bitmap gives them.
  std::vector<uint8_t> info, bits;
  if (!bitmap.GetDIB(info, bits)) return;
  StretchDrawDIB(canvas, dest, reinterpret_cast<const BITMAPINFO*>(info.data()), bits.data(), src);
}

void StretchDrawFitted(TCanvas& canvas, const RECT& dest, TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  int w = 0, h = 0;
  FitRect(dest.right - dest.left, dest.bottom - dest.top, bitmap.Width(), bitmap.Height(), w, h);
  StretchDrawDIB(canvas, {dest.left, dest.top, dest.left + w, dest.top + h}, bitmap,
                 {0, 0, bitmap.Width(), bitmap.Height()});
}
