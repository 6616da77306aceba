// TIFF: the reader (Intel and Motorola order, every page of the IFD chain; strips uncompressed,
// LZW, PackBits or fax coded) and the writer (one Intel-order page in two or more strips).
#pragma once
#include <string>

#include "foundation/uBuffStream.h"
#include "imaging/uGraphic.h"
#include "imaging/uMemBmp.h"

void IdentifyTIF(tGraphicID& id);
void LoadTIF(tGraphicID& id);
void NextTIF(tGraphicID& id);
void RegisterTIF();

// Writes the picture as a TIFF file. bits: the bits per pixel to store (1, 2..4, 5..8, 15 or
// more for true colour); ccitt: 1-bit pictures are coded as Group 4 fax; compressed: LZW
// (PackBits for 1-bit pictures), else uncompressed. Rows always go top to bottom.
void WriteTIFF(tMemBmp& picture, tBuffStream& stream, const std::string& description, int bits,
               bool ccitt, bool topDown, bool compressed);
