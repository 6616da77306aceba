// The palette grid's arithmetic: how many columns and rows a shape has, the cell under a point,
// where the arrow keys move the focus, and the colour of the check mark on a cell. The control
// (cPaletteGrid.h) draws and asks these.
#pragma once
#include <cstdint>
#include <string>

enum tGridShape : int { gs_16x1 = 0, gs_8x2 = 1, gs_4x4 = 2, gs_2x8 = 3, gs_1x16 = 4 };

struct tGridMetrics {
  int Columns = 4, Rows = 4;
  int Width = 224, Height = 224;
  int CellWidth = 56, CellHeight = 56;
};

// The shape's grid (more than 16 entries: four times the columns, 256 cells) fitted into a
// size: the size becomes a multiple of the cell grid.
tGridMetrics GridMetrics(tGridShape shape, bool large, int width, int height);

// The cell under a point, the point first limited to the grid.
int CellAt(const tGridMetrics& m, int x, int y);

// The keys that move the focus cell among the count cells in use.
enum class tGridKey { Left, Right, Up, Down, Home, End };
int MoveFocus(const tGridMetrics& m, int count, int cell, tGridKey key);

// The check mark's colour on a cell: each component 0 where the cell's is at least 128, else
// 255 (0x00BBGGRR).
uint32_t MarkColor(uint32_t cell);
// Frames are 1 pixel wide on cells under 14 pixels, else 2.
inline int FrameWidth(int cellWidth) { return cellWidth < 14 ? 1 : 2; }

// The palette dialog's text for an index: "color number=%d\rr=%d\rg=%d\rb=%d", or "(none)".
std::string PaletteIndexText(int index, const uint8_t* rgb, int count);
// The details window's text for a chosen cell.
std::string DetailsPaletteText(int index, const uint8_t* rgb, int count);

// A palette of count entries copied from a picture: the count limited to 2..256 so that no more
// than the 768 bytes of a palette are ever read.
int PaletteCopyCount(int count);
