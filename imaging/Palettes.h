// The program's fixed colour tables and the conversions between its three palette layouts:
// RGB triples (red first, 768 bytes for 256 entries), RGBQUAD entries (blue, green, red, 0;
// 1024 bytes) and the JPEG library's colour map (one array per component).
#pragma once
#include <array>
#include <cstdint>
#include <span>

using tRGBPalette = std::array<uint8_t, 768>;    // 256 RGB triples
using tQuadPalette = std::array<uint8_t, 1024>;  // 256 RGBQUAD entries
using tPalette16 = std::array<uint8_t, 16 * 3>;  // 16 RGB triples
using tGammaTable = std::array<uint8_t, 256>;

// Windows' 16 colours in the IBM index order (black, navy, green, teal, maroon, ...).
tPalette16 VgaPalette();
// The 16 text colours of the IBM display adapters (brown at 6, the bright colours from 8).
tPalette16 EgaPalette();
// The four CGA graphics palettes of 4 colours each, one after another.
std::array<uint8_t, 4 * 4 * 3> CgaPalettes();
// The 64 colours of the EGA palette registers.
std::array<uint8_t, 64 * 3> Ega64Palette();
// The 6x6x6 colour cube, levels 0, 51, ..., 255; entry = 36 red + 6 green + blue.
std::array<uint8_t, 216 * 3> CubePalette();
// The fixed palette of stored thumbnails.
tRGBPalette ThumbnailPalette();

// n greys over the ramp: entry 0 black and entry k = (256 div n)(k + 1) - 1 for n of 2 to 128;
// the plain ramp otherwise and above n.
tRGBPalette GrayPalette(int n);
// Colour cube, 8 greys, the 16 Windows colours and 16 greys: the save dialog's "browser" choice.
tRGBPalette BrowserPalette();
// 3 bits red, 3 green, 2 blue; entry 0 black and entry 255 white.
tRGBPalette Palette332();

tQuadPalette RGBToQuads(const tRGBPalette& rgb);
tRGBPalette QuadsToRGB(const tQuadPalette& quads);
// OS/2 bitmap colour tables: blue, green, red triples to and from RGBQUAD entries.
tQuadPalette BGRTriplesToQuads(const tRGBPalette& bgr);
tRGBPalette QuadsToBGRTriples(const tQuadPalette& quads);
// The JPEG library's colour map (component arrays blue, green, red) to RGBQUAD entries; only
// the first n entries are filled, the rest stay 0.
tQuadPalette ColormapToQuads(const uint8_t* const* colormap, int n);
// 16 EGA palette register values (only their low 6 bits count) to RGB triples.
tPalette16 EgaRegistersToRGB(const uint8_t registers[16]);

// Shifts every byte left (shift > 0) or right (shift < 0); 6-bit palettes take 2.
void ShiftPalette(std::span<uint8_t> palette, int shift);
// Entry i = 255 (i / 255)^g to the nearest integer; entry 0 = 0, entry 255 = 255.
tGammaTable GammaTable(double g);
// A system colour (GetSysColor index) as red, green, blue.
std::array<uint8_t, 3> SysColorToRGB(int index);
// The fewest bits per pixel (1 to 8) for n colours; 8 when n is larger.
int BitsForColors(int n);
// True for 1 bit per pixel; false without a table; else whether every entry is a grey.
bool IsGrayPalette(int bits, int count, const uint8_t* quads);

struct tNearest {
  int Index;
  int Distance;
};
// The entry closest to (r, g, b) by squared distance on the top 6 bits of each channel; the first
// of equals wins. No entries: index 0 with the largest distance.
tNearest NearestColor(uint8_t r, uint8_t g, uint8_t b, const uint8_t* quads, int count);

// Merges count RGB colours into the RGBQUAD table quads (1024 bytes) that holds colorsInUse
// entries: a colour equal (on 6 bits) to an entry, or any colour once the table is full, takes
// the nearest entry; others are appended. indexMap[i] receives colour i's entry. When the table
// starts with one entry and there are 256 colours, the two darkest share one entry so that all
// fit.
void MergePalette(int& colorsInUse, const uint8_t* rgb, int count, uint8_t* indexMap,
                  uint8_t* quads);
