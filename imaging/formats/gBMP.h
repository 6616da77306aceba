// Windows and OS/2 bitmaps: reader (uncompressed, RLE8, RLE4, bit fields) and writer.
#pragma once
#include "foundation/uBuffStream.h"
#include "imaging/uGraphic.h"
#include "imaging/uMemBmp.h"

void IdentifyBMP(tGraphicID& id);
void LoadBMP(tGraphicID& id);
void RegisterBMP();

// Writes the picture as a BMP file. bitsPerPixel 1, 4, 8, 15, 16 or 24 (2 and 3 write 4, 5 to 7
// write 8, 32 writes 24); os2Style writes the 12-byte header; rle compresses 4- and 8-bit rows.
void WriteBMP(tMemBmp& picture, tBuffStream& stream, bool os2Style, bool rle, int bitsPerPixel);
