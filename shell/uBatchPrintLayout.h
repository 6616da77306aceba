// The page layout of batch print, without a printer: the grid of cells for the album page and
// for separate pictures, where each picture goes in its cell (turned or not), where its name is
// written and which lines draw the grid outline. The dialog draws what this computes.
#pragma once
#include <vector>

#include "foundation/uTypes.h"

enum : int { bpAlbumPage = 0, bpSeparatePictures = 1 };

struct tBatchPrintLayout {
  bool OnePerJob = false;  // separate pictures, one per page and print job
  bool Portrait = true;    // the page orientation the layout is for
  int Rows = 0, Columns = 0, CellsPerPage = 0;
  int CellWidth = 0, CellHeight = 0;
  TPoint GridOffset;
  int Border = 0;  // pixels
  int BoxWidth = 0, BoxHeight = 0;
  bool NoRotate = false;
  bool CellLandscape = false;  // cells wider than high
};

// style bpAlbumPage or bpSeparatePictures; perPage the track bar position 0..3; landscape the
// album page's orientation (separate grids always print portrait, so the page size passed must
// be the portrait one); pageWidthMm as the printer reports it (0: taken as 209); borderMm the
// border setting. An album with position 0 has no column in its grid: it prints one picture per
// page in one square cell.
tBatchPrintLayout BatchPrintLayout(int style, int perPage, bool landscape, int pageWidth,
                                   int pageHeight, int pageWidthMm, int borderMm);

struct tCellPlacement {
  bool NewPage = false;  // the first cell of a page (a new page unless it is the first)
  int Cell = 0;
  bool Rotate = false;  // turn the picture a quarter before printing
  TRect CellRect;       // left, top, right, bottom (exclusive) on the page
  TRect Picture;        // inclusive corners on the page
  TPoint NamePos;       // top left of the file name text
};

// Where the picture printed after `printed` others goes. Width and height are the picture's
// before any turning; nameWidth and nameHeight the printed size of its file name.
tCellPlacement PlacePicture(const tBatchPrintLayout& layout, int printed, int width, int height,
                            int nameWidth, int nameHeight);

struct tGridLine {
  TPoint From, To;
  friend bool operator==(const tGridLine&, const tGridLine&) = default;
};
// The outline: the grid's right and bottom edges, then a line at the top of each row and at the
// left of each column.
std::vector<tGridLine> GridOutline(const tBatchPrintLayout& layout);
