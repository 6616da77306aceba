// Where printed thumbnails go: square cells of 24, 30 or 36 mm with a 6 mm name line below,
// as many columns and rows as the page holds, the page text at the bottom right.
#pragma once
#include <string>

// What the layout needs of the printer (GetDeviceCaps).
struct tThumbPrintDevice {
  int HorzRes = 0, VertRes = 0;    // pixels
  int HorzSize = 0, VertSize = 0;  // millimetres
  int LogPixelsX = 0, LogPixelsY = 0;
  int TextHeight = 0;  // of "Hy" in the printing font
  bool Landscape = false;
};

struct tThumbPrintLayout {
  int CellWidth = 0, CellHeight = 0;  // pixels, the name line included in the height
  int NameLineHeight = 0;
  int Columns = 0, Rows = 0, PerPage = 0, Pages = 0;
  int OffsetX = 0, OffsetY = 0;  // of the first cell
};

constexpr int kThumbNameLineMm = 6;
// 24, 30 or 36 mm for sizes 0..2.
int ThumbPrintCellMm(int printSize);
// Nothing to print (Pages 0) for a count below 1 or a size outside 0..2.
tThumbPrintLayout ThumbPrintLayout(const tThumbPrintDevice& device, int count, int printSize,
                                   bool center);

struct tThumbPrintCell {
  int Page = 0;  // from 0
  int Left = 0, Top = 0;
  bool StartsPage = false;
};
// The place of record k (from 0) of the list.
tThumbPrintCell ThumbPrintCell(const tThumbPrintLayout& layout, int k);

// "Page %d of %d", or "Page %d" when there is one page; page from 1.
std::string ThumbPrintPageText(int page, int pages);
// The page header: the page text put into the header format at its "%s".
std::string ThumbPrintHeader(const std::string& headerFormat, const std::string& pageText);
