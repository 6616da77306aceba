// PC Paintbrush PCX: reader (1, 2, 4 or 8 bits in one plane, up to 8 one-bit planes, 24 bits in
// three planes; palette from the header, the end of the file, a ".pal" companion or substituted)
// and writer (version 5: 1, 4, 8 or 24 bits).
#pragma once
#include "foundation/uBuffStream.h"
#include "imaging/uGraphic.h"
#include "imaging/uMemBmp.h"

void IdentifyPCX(tGraphicID& id);
void LoadPCX(tGraphicID& id);
void RegisterPCX();

// Writes the picture by its colour count: 1 bit for 2 colours or fewer, 4 bits for up to 16,
// 8 bits for up to 256 (palette at the end), else 24 bits in three planes.
void WritePCX(tMemBmp& picture, tBuffStream& stream);
