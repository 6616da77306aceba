// Whole-picture operations. Each takes a picture and returns a new one; the input is never
// changed and stays the caller's. "Same format" results keep the bit depth, colour table, grey
// flag, transparent index and channel masks.
#pragma once
#include <cstdint>

#include "foundation/uTypes.h"
#include "imaging/Quantize.h"
#include "imaging/uMemBmp.h"

// Pixels of each palette index over the whole picture into counts (256 entries) and the
// palette as RGB triples into palette (768 bytes), each when given. Returns the number of
// indices used; 0, filling nothing, for true colour.
int Histogram(tMemBmp& picture, int32_t* counts, uint8_t* palette);
tMemBmpPtr Clone(const tMemBmp& picture);
// The picture mapped onto a palette of only its used entries, in index order.
tMemBmpPtr CompactPalette(tMemBmp& picture);
tMemBmpPtr ConvertTo24Bit(tMemBmp& picture);
tMemBmpPtr MirrorImage(const tMemBmp& picture);
// 1 a quarter turn clockwise, 2 a half turn, 3 a quarter turn counter-clockwise; any other
// count raises std::invalid_argument ("Invalid rotation \"N\"").
tMemBmpPtr RotateImage(const tMemBmp& picture, int quarterTurns);
// n more (black) palette entries; the depth grows when the count needs it, indices stay.
tMemBmpPtr AddPaletteEntries(tMemBmp& picture, int n);
// Every colour through map (256 RGB triples): red v becomes map[3v], green map[3v + 1],
// blue map[3v + 2]. Palette pictures map their colour table.
tMemBmpPtr ApplyColorMap(tMemBmp& picture, const uint8_t* map);
// Sharpen (level > 0) or soften (level < 0) with strength |level| up to 4: 24 bits, or 8-bit
// greys for grey pictures. Borders the kernel does not cover are copied.
tMemBmpPtr FilterImage(tMemBmp& picture, int level);
// Same format at the new size, the old picture at the top-left (or bottom-left); the rest 0.
tMemBmpPtr ResizeCanvas(const tMemBmp& picture, int width, int height);
tMemBmpPtr ResizeCanvasBottom(const tMemBmp& picture, int width, int height);
// A 1-bit picture whose top-left (or bottom-left) block is 1 and the rest 0.
tMemBmpPtr MakeBlockMask(int width, int height, int blockWidth, int blockHeight);
tMemBmpPtr MakeBlockMaskBottom(int width, int height, int blockWidth, int blockHeight);
// The content inside uniform borders as an inclusive rectangle; the whole picture when the
// borders leave nothing.
void FindTrimRect(tMemBmp& picture, TRect& rect);
tMemBmpPtr AutoTrim(tMemBmp& picture);
// The part inside the inclusive rectangle, clipped to the picture. A rectangle narrower or
// lower than 8 pixels means the whole picture; one wholly outside the picture raises
// std::invalid_argument.
tMemBmpPtr CropToRect(const tMemBmp& picture, const TRect& rect);
// A new picture of the given size filled with copies of the picture from the top-left.
tMemBmpPtr TileImage(const tMemBmp& picture, int width, int height);
// Same format; each new pixel is the old one at the proportional position.
tMemBmpPtr ResizeNearest(const tMemBmp& picture, int width, int height);
// 24 bits; block averages when narrowing, index-mapped samples otherwise.
tMemBmpPtr ResizeSmooth(tMemBmp& picture, int width, int height);
// mode -1 always nearest; 0 smooths palette pictures only; 1 or more smooths all. A size that
// grows one way and shrinks the other, or does not change, is always nearest.
tMemBmpPtr ResizeImage(tMemBmp& picture, int width, int height, int mode);
// In this order, each only when asked: colour map (when given), rotation (> 0), mirror,
// filter (level <> 0), grey (1 black and white, above 1 256 greys), negative.
tMemBmpPtr ApplyImageTransforms(tMemBmp& picture, const uint8_t* colorMap, int rotation,
                                bool mirror, bool negative, int filterLevel, int greyMode);
