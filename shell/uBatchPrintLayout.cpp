#include "shell/uBatchPrintLayout.h"

#include <algorithm>

#include "foundation/uUtil.h"

tBatchPrintLayout BatchPrintLayout(int style, int perPage, bool landscape, int pageWidth,
                                   int pageHeight, int pageWidthMm, int borderMm) {
  tBatchPrintLayout l;
  perPage = std::clamp(perPage, 0, 3);
  pageWidth = std::max(pageWidth, 1);
  pageHeight = std::max(pageHeight, 1);
  if (style == bpAlbumPage) {
    l.NoRotate = true;
    l.Portrait = !landscape;
    int side;
    if (perPage == 0) {
      // No column would fit: one square cell, as large as the page allows.
      l.Rows = l.Columns = 1;
      side = std::min(pageWidth, pageHeight);
    } else if (!landscape) {
      l.Rows = perPage + 1;
      l.Columns = perPage;
      side = pageHeight / l.Rows;
    } else {
      l.Columns = perPage + 1;
      l.Rows = perPage;
      side = pageWidth / l.Columns;
    }
    l.CellWidth = l.CellHeight = side;
    if (!landscape)
      l.GridOffset = {std::max(0, pageWidth - side * l.Columns), 0};
    else
      l.GridOffset = {0, std::max(0, pageHeight - side * l.Rows)};
  } else if (perPage == 0) {
    l.OnePerJob = true;
    l.Rows = l.Columns = 1;
    l.CellWidth = pageWidth;
    l.CellHeight = pageHeight;
  } else {
    static const int kRows[] = {0, 2, 2, 4}, kColumns[] = {0, 1, 2, 2};
    l.Rows = kRows[perPage];
    l.Columns = kColumns[perPage];
    l.CellWidth = pageWidth / l.Columns;
    l.CellHeight = pageHeight / l.Rows;
  }
  l.CellsPerPage = l.Rows * l.Columns;
  const int mm = pageWidthMm > 0 ? pageWidthMm : 209;
  l.Border = static_cast<int>(static_cast<int64_t>(std::max(borderMm, 0)) * pageWidth / mm);
  l.CellLandscape = l.CellWidth > l.CellHeight;
  l.BoxWidth = std::max(1, l.CellWidth - 2 * l.Border);
  l.BoxHeight = std::max(1, l.CellHeight - 2 * l.Border);
  return l;
}

tCellPlacement PlacePicture(const tBatchPrintLayout& l, int printed, int width, int height,
                            int nameWidth, int nameHeight) {
  tCellPlacement p;
  const int cells = std::max(l.CellsPerPage, 1);
  const int columns = std::max(l.Columns, 1);
  p.Cell = printed % cells;
  p.NewPage = p.Cell == 0;
  p.Rotate = !l.NoRotate && (width > height) != l.CellLandscape;
  if (p.Rotate) std::swap(width, height);
  TRect r;
  FitCenterRect(l.BoxWidth, l.BoxHeight, std::max(width, 1), std::max(height, 1), r);
  const int originX = (p.Cell % columns) * l.CellWidth + l.GridOffset.X;
  const int originY = (p.Cell / columns) * l.CellHeight + l.GridOffset.Y;
  const int dx = originX + l.Border, dy = originY + l.Border;
  p.Picture = {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
  p.CellRect = {originX, originY, originX + l.CellWidth, originY + l.CellHeight};
  const int cellRight = originX + l.CellWidth - 2, cellBottom = originY + l.CellHeight - 2;
  p.NamePos = {cellRight - std::min(nameWidth, l.BoxWidth) + 1, cellBottom - nameHeight + 1};
  return p;
}

std::vector<tGridLine> GridOutline(const tBatchPrintLayout& l) {
  std::vector<tGridLine> lines;
  const int x0 = l.GridOffset.X, y0 = l.GridOffset.Y;
  const int right = x0 + l.Columns * l.CellWidth, bottom = y0 + l.Rows * l.CellHeight;
  lines.push_back({{right, y0}, {right, bottom}});
  lines.push_back({{x0, bottom}, {right, bottom}});
  for (int row = 0; row < l.Rows; ++row) {
    const int y = y0 + row * l.CellHeight;
    lines.push_back({{x0, y}, {right, y}});
  }
  for (int column = 0; column < l.Columns; ++column) {
    const int x = x0 + column * l.CellWidth;
    lines.push_back({{x, y0}, {x, bottom}});
  }
  return lines;
}
