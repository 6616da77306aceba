// Truevision Targa: reader (mapped, true-colour and grey; uncompressed and run-length encoded;
// image origin honoured by a larger canvas) and writer (8-bit mapped or grey, 16 or 24 bits).
#pragma once
#include <cstdint>

#include "foundation/uBuffStream.h"
#include "imaging/uGraphic.h"
#include "imaging/uMemBmp.h"

void IdentifyTGA(tGraphicID& id);
void LoadTGA(tGraphicID& id);
void RegisterTGA();

// Writes the picture as a Targa file. bitsPerPixel 1..8 writes 8 bits (mapped, or grey for a
// grey picture), 9..16 writes 16 (never run-length encoded), anything else 24. A picture with
// more than 256 colours has no map to write at 8 bits and is written at 24. topDown stores the
// top row first.
void WriteTGA(tMemBmp& picture, tBuffStream& stream, bool rle, int bitsPerPixel, bool topDown);

// One colour-map entry or pixel (16, 24 or 32 bits; 15 counts as 16) to blue, green, red.
void TgaEntryToRGB(const uint8_t* entry, uint8_t* out, int entryBits);
// count map entries to RGB triples (red first).
void TgaMapToRGB(const uint8_t* map, int count, uint8_t* palette, int entryBits);
