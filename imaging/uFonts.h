// The two bitmap fonts that draw the text of GIF plain-text extensions: the code page 437 fonts
// of the IBM colour graphics (8x8) and enhanced graphics (8x14) adapters. Each glyph is its rows
// top to bottom, bit 7 the leftmost pixel.
#pragma once
#include <cstdint>

extern const uint8_t Font8x8[256][8];
extern const uint8_t Font8x14[256][14];
