#include "imaging/uImageOps.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/Palettes.h"
#include "imaging/formats/gByteRows.h"
#include "imaging/uPixels.h"

namespace {

// Fills out from picture by a source position for every new pixel; source(x, y, sx, sy)
// returns false to leave the pixel at 0. Whole pixels are copied as stored.
template <class Source>
void Remap(const tMemBmp& picture, tMemBmp& out, Source source) {
  int bits = picture.BitCount();
  for (int y = 0; y < out.Height(); ++y) {
    uint8_t* dest = out.ScanLine(y);
    for (int x = 0; x < out.Width(); ++x) {
      int sx, sy;
      if (source(x, y, sx, sy)) PutPixel(dest, x, bits, GetPixel(picture.ScanLine(sy), sx, bits));
    }
  }
}

bool Empty(const tMemBmp& picture) { return picture.Width() <= 0 || picture.Height() <= 0; }

// Copies the rectangle (sx, sy, width, height) of picture to (dx, dy) of out, rows counted from
// the top; the caller keeps both inside their pictures.
void CopyBlock(const tMemBmp& picture, int sx, int sy, tMemBmp& out, int dx, int dy, int width,
               int height) {
  if (width <= 0 || height <= 0) return;
  int bits = picture.BitCount();
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = picture.ScanLine(sy + y);
    uint8_t* dest = out.ScanLine(dy + y);
    if (bits >= 8) {
      int n = PixelBytes(bits);
      std::memcpy(dest + size_t(dx) * n, src + size_t(sx) * n, size_t(width) * n);
    } else {
      for (int x = 0; x < width; ++x) PutPixel(dest, dx + x, bits, GetPixel(src, sx + x, bits));
    }
  }
}

}  // namespace

std::unique_ptr<tMemBmp> NewLike(const tMemBmp& picture, int width, int height) {
  auto out = std::make_unique<tMemBmp>();
  int bits = picture.BitCount();
  out->AllowOddDepths = picture.AllowOddDepths;
  out->AllowDeepColor = bits == 32 ? 1 : picture.AllowDeepColor;
  int colors = bits <= 8 ? picture.ColorCount() : 256 + bits;
  out->Allocate(width, height, picture.GrayFlag != 0, picture.ColorTable, colors, bits);
  std::copy(std::begin(picture.ChannelMasks), std::end(picture.ChannelMasks), out->ChannelMasks);
  std::copy(std::begin(picture.ChannelShifts), std::end(picture.ChannelShifts), out->ChannelShifts);
  out->TransparentIndex = picture.TransparentIndex;
  out->Blank = picture.Blank;
  return out;
}

int Histogram(tMemBmp& picture, int32_t* counts, uint8_t* palette) {
  if (picture.ColorCount() > 256) return 0;
  int32_t n[256] = {};
  for (int y = 0; y < picture.Height(); ++y) {
    const uint8_t* row = picture.GetByteLine(y);
    for (int x = 0; x < picture.Width(); ++x) ++n[row[x]];
  }
  if (counts) std::copy(std::begin(n), std::end(n), counts);
  if (palette) picture.GetPalette(palette);
  return static_cast<int>(std::count_if(std::begin(n), std::end(n), [](int32_t c) { return c; }));
}

tMemBmpPtr Clone(const tMemBmp& picture) {
  tMemBmpPtr out = NewLike(picture, picture.Width(), picture.Height());
  if (out->ImageSize) std::memcpy(out->Bits, picture.Bits, out->ImageSize);
  return out;
}

tMemBmpPtr CompactPalette(tMemBmp& picture) {
  int32_t counts[256];
  uint8_t colours[768];
  int used = Histogram(picture, counts, colours);
  if (used == 0) return Clone(picture);
  tRGBPalette palette;
  palette.fill(0xFF);
  uint8_t newIndex[256] = {};
  for (int i = 0, k = 0; i < 256; ++i) {
    if (!counts[i]) continue;
    std::copy(colours + i * 3, colours + i * 3 + 3, palette.begin() + 3 * k);
    newIndex[i] = static_cast<uint8_t>(k++);
  }
  // Each used entry keeps its own colour: renumbering is exact, where a colour mapping would
  // merge entries that are close.
  auto out = std::make_unique<tMemBmp>();
  int bits = BitsForColors(used);
  tQuadPalette quads = RGBToQuads(palette);
  out->Allocate(picture.Width(), picture.Height(), false, quads.data(), 1 << bits, bits);
  std::vector<uint8_t> row(static_cast<size_t>(std::max(picture.Width(), 1)));
  for (int y = 0; y < picture.Height(); ++y) {
    const uint8_t* from = picture.GetByteLine(y);
    for (int x = 0; x < picture.Width(); ++x) row[x] = newIndex[from[x]];
    PutByteRow(*out, y, row.data());
  }
  return out;
}

tMemBmpPtr ConvertTo24Bit(tMemBmp& picture) {
  auto out = std::make_unique<tMemBmp>();
  out->Allocate(picture.Width(), picture.Height(), picture.GrayFlag != 0, nullptr, 280, 24);
  for (int y = 0; y < picture.Height(); ++y) {
    std::memcpy(out->ScanLine(y), picture.GetRGBLine(y), size_t(picture.Width()) * 3);
  }
  return out;
}

tMemBmpPtr MirrorImage(const tMemBmp& picture) {
  int width = picture.Width();
  tMemBmpPtr out = NewLike(picture, width, picture.Height());
  Remap(picture, *out, [width](int x, int y, int& sx, int& sy) {
    sx = width - 1 - x, sy = y;
    return true;
  });
  return out;
}

tMemBmpPtr RotateImage(const tMemBmp& picture, int quarterTurns) {
  int width = picture.Width(), height = picture.Height();
  tMemBmpPtr out;
  switch (quarterTurns) {
    case 1:
      out = NewLike(picture, height, width);
      Remap(picture, *out, [height](int x, int y, int& sx, int& sy) {
        sx = y, sy = height - 1 - x;
        return true;
      });
      break;
    case 2:
      out = NewLike(picture, width, height);
      Remap(picture, *out, [width, height](int x, int y, int& sx, int& sy) {
        sx = width - 1 - x, sy = height - 1 - y;
        return true;
      });
      break;
    case 3:
      out = NewLike(picture, height, width);
      Remap(picture, *out, [width](int x, int y, int& sx, int& sy) {
        sx = width - 1 - y, sy = x;
        return true;
      });
      break;
    default:
      throw std::invalid_argument("Invalid rotation \"" + std::to_string(quarterTurns) + "\"");
  }
  return out;
}

tMemBmpPtr AddPaletteEntries(tMemBmp& picture, int n) {
  int colors = picture.ColorCount();
  if (colors > 256 || n <= 0) return Clone(picture);
  auto out = std::make_unique<tMemBmp>();
  colors += n;
  out->Allocate(picture.Width(), picture.Height(), picture.GrayFlag != 0, nullptr, colors,
                BitsForColors(colors));
  std::memcpy(out->ColorTable, picture.ColorTable, std::min(out->PaletteSize, picture.PaletteSize));
  out->TransparentIndex = picture.TransparentIndex;
  bool packed = out->BitCount() < 8;
  for (int y = 0; y < picture.Height(); ++y) {
    const uint8_t* row = picture.GetByteLine(y);
    if (packed) {
      out->SetByteLine(y, row);
    } else {
      std::memcpy(out->ScanLine(y), row, size_t(picture.Width()));
    }
  }
  return out;
}

tMemBmpPtr ApplyColorMap(tMemBmp& picture, const uint8_t* map) {
  tMemBmpPtr out = Clone(picture);
  if (out->BitCount() <= 8) {
    for (int i = 0; i < out->PaletteEntries(); ++i) {
      uint8_t* e = out->ColorTable + i * 4;
      e[0] = map[e[0] * 3 + 2], e[1] = map[e[1] * 3 + 1], e[2] = map[e[2] * 3];
    }
    return out;
  }
  std::vector<uint8_t> row(size_t(out->Width()) * 3);
  for (int y = 0; y < out->Height(); ++y) {
    const uint8_t* src = out->GetRGBLine(y);
    for (size_t i = 0; i < row.size(); i += 3) {
      row[i] = map[src[i] * 3 + 2];
      row[i + 1] = map[src[i + 1] * 3 + 1];
      row[i + 2] = map[src[i + 2] * 3];
    }
    out->SetRGBLine(y, row.data());
  }
  return out;
}

tMemBmpPtr ResizeCanvas(const tMemBmp& picture, int width, int height) {
  tMemBmpPtr out = NewLike(picture, width, height);
  CopyBlock(picture, 0, 0, *out, 0, 0, std::min(width, picture.Width()),
            std::min(height, picture.Height()));
  return out;
}

tMemBmpPtr ResizeCanvasBottom(const tMemBmp& picture, int width, int height) {
  int oldHeight = picture.Height();
  if (height == oldHeight) return ResizeCanvas(picture, width, height);
  tMemBmpPtr out = NewLike(picture, width, height);
  // Old row y lands on new row y + height - oldHeight: the bottom rows line up.
  int shift = height - oldHeight;
  int first = std::max(0, -shift), last = std::min(oldHeight, height - shift);
  if (last > first) {
    CopyBlock(picture, 0, first, *out, 0, first + shift, std::min(width, picture.Width()),
              last - first);
  }
  return out;
}

tMemBmpPtr MakeBlockMask(int width, int height, int blockWidth, int blockHeight) {
  auto out = std::make_unique<tMemBmp>();
  tQuadPalette quads = RGBToQuads(GrayPalette(2));
  out->Allocate(width, height, false, quads.data(), 2, 1);
  int w = std::clamp(blockWidth, 0, out->Width()), h = std::clamp(blockHeight, 0, out->Height());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) PutPixel(out->ScanLine(y), x, 1, 1);
  }
  return out;
}

tMemBmpPtr MakeBlockMaskBottom(int width, int height, int blockWidth, int blockHeight) {
  if (blockHeight == height) return MakeBlockMask(width, height, blockWidth, blockHeight);
  tMemBmpPtr top = MakeBlockMask(width, blockHeight, blockWidth, blockHeight);
  return ResizeCanvasBottom(*top, width, height);
}

void FindTrimRect(tMemBmp& picture, TRect& rect) {
  int width = picture.Width(), height = picture.Height();
  rect = {0, 0, width - 1, height - 1};
  if (width <= 0 || height <= 0) return;
  bool trueColour = picture.BitCount() > 8;
  // True colour compares the top 3 bits of each channel, palette pictures the indices.
  auto pixel = [&](const uint8_t* row, int x) -> uint32_t {
    if (!trueColour) return row[x];
    return (row[x * 3] | (row[x * 3 + 1] << 8) | (row[x * 3 + 2] << 16)) & 0xE0E0E0;
  };
  auto line = [&](int y) { return trueColour ? picture.GetRGBLine(y) : picture.GetByteLine(y); };
  const uint8_t* first = line(0);
  uint32_t left = pixel(first, 0), right = pixel(first, width - 1);
  int leftMargin = width, rightMargin = width, top = 0, bottom = 0;
  bool content = false;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = line(y);
    int l = 0, r = 0;
    while (l < width && pixel(row, l) == left) ++l;
    while (r < width && pixel(row, width - 1 - r) == right) ++r;
    if (l < width && r < width) {
      leftMargin = std::min(leftMargin, l);
      rightMargin = std::min(rightMargin, r);
      bottom = 0;
      content = true;
    } else {
      ++bottom;
      if (!content) ++top;
    }
  }
  if (leftMargin < width && rightMargin < width && top < height && bottom < height) {
    rect = {leftMargin, top, width - rightMargin - 1, height - bottom - 1};
  }
}

tMemBmpPtr AutoTrim(tMemBmp& picture) {
  TRect rect;
  FindTrimRect(picture, rect);
  return CropToRect(picture, rect);
}

tMemBmpPtr CropToRect(const tMemBmp& picture, const TRect& rect) {
  if (int64_t(rect.Right) - rect.Left + 1 < 8 || int64_t(rect.Bottom) - rect.Top + 1 < 8) {
    return Clone(picture);
  }
  // A selection may reach past the picture: only its part inside is cut out.
  int left = std::max(rect.Left, 0), top = std::max(rect.Top, 0);
  int right = std::min(rect.Right, picture.Width() - 1);
  int bottom = std::min(rect.Bottom, picture.Height() - 1);
  if (left > right || top > bottom) {
    throw std::invalid_argument("The rectangle lies outside the picture");
  }
  tMemBmpPtr out = NewLike(picture, right - left + 1, bottom - top + 1);
  CopyBlock(picture, left, top, *out, 0, 0, out->Width(), out->Height());
  return out;
}

tMemBmpPtr TileImage(const tMemBmp& picture, int width, int height) {
  tMemBmpPtr out = NewLike(picture, width, height);
  if (Empty(picture)) return out;
  int w = picture.Width(), h = picture.Height();
  for (int y = 0; y < out->Height(); y += h) {
    for (int x = 0; x < out->Width(); x += w) {
      CopyBlock(picture, 0, 0, *out, x, y, std::min(w, out->Width() - x),
                std::min(h, out->Height() - y));
    }
  }
  return out;
}

tMemBmpPtr ApplyImageTransforms(tMemBmp& picture, const uint8_t* colorMap, int rotation,
                                bool mirror, bool negative, int filterLevel, int greyMode) {
  tMemBmpPtr result;
  // Each step works on the previous step's result; the input itself is never replaced.
  auto current = [&]() -> tMemBmp& { return result ? *result : picture; };
  if (colorMap) result = ApplyColorMap(current(), colorMap);
  if (rotation > 0) result = RotateImage(current(), rotation);
  if (mirror) result = MirrorImage(current());
  if (filterLevel != 0) result = FilterImage(current(), filterLevel);
  if (greyMode == 1) result = ReduceToBlackWhite(current());
  if (greyMode > 1) result = ReduceToGray(current(), 256);
  if (negative) result = NegativeImage(current());
  return result ? std::move(result) : Clone(picture);
}
