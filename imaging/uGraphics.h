// Drawing routines over our canvas and bitmaps: a bitmap with the colour of its bottom-left
// pixel made transparent (replaced by a colour), rectangles turned into bottom-up row
// coordinates, and a device-independent bitmap stretched into a rectangle, also fitted to keep
// its aspect.
#pragma once
#include <windows.h>

#include "framework/Bitmap.h"
#include "framework/Canvas.h"

// The whole bitmap into dest, its bottom-left pixel's colour replaced by color (the canvas
// brush becomes that colour, solid).
void DrawTransparent(TBitmap& bitmap, TCanvas& canvas, TColor color, const RECT& dest);
void DrawTransparentAt(TBitmap& bitmap, TCanvas& canvas, TColor color, int x, int y);
// A top-down rectangle of the bitmap as bottom-up rows: (left, H-1-bottom, right, H-1-top).
RECT FlipRect(const TBitmap& bitmap, const RECT& r);
// The source rectangle of the bitmap stretched into dest with StretchDIBits (rows count from
// the bottom, as FlipRect gives them).
void StretchDrawDIB(TCanvas& canvas, const RECT& dest, TBitmap& bitmap, const RECT& src);
// The same for a BMP image in memory: its info header (with colour table) and its rows.
void StretchDrawDIB(TCanvas& canvas, const RECT& dest, const BITMAPINFO* info, const void* bits,
                    const RECT& src);
// The whole bitmap into dest reduced to the bitmap's aspect (its top-left corner kept).
void StretchDrawFitted(TCanvas& canvas, const RECT& dest, TBitmap& bitmap);
