#include "thumbnails/uThumbPrint.h"

#include <algorithm>

namespace {
// Millimetres of a side whose driver reports none, from its resolution (300 dpi when that is
// missing too): a division by zero would end the print run.
int SideMm(int mm, int pixels, int dpi) {
  if (mm > 0) return mm;
  return std::max(1, pixels * 254 / (10 * (dpi > 0 ? dpi : 300)));
}
}  // namespace

int ThumbPrintCellMm(int printSize) { return 24 + 6 * printSize; }

tThumbPrintLayout ThumbPrintLayout(const tThumbPrintDevice& d, int count, int printSize,
                                   bool center) {
  tThumbPrintLayout l;
  if (count < 1 || printSize < 0 || printSize > 2 || d.HorzRes < 1 || d.VertRes < 1) return l;
  const int horzMm = SideMm(d.HorzSize, d.HorzRes, d.LogPixelsX);
  const int vertMm = SideMm(d.VertSize, d.VertRes, d.LogPixelsY);
  const int cellMm = ThumbPrintCellMm(printSize);
  l.CellWidth = std::max(1, d.HorzRes * cellMm / horzMm);
  l.NameLineHeight = d.VertRes * kThumbNameLineMm / vertMm;
  l.CellHeight = std::max(1, d.VertRes * cellMm / vertMm + l.NameLineHeight);
  l.Columns = std::max(1, d.HorzRes / l.CellWidth);
  // The page text has its own line at the bottom: rows that reached into it would print the
  // text over the last row's names.
  l.Rows = std::max(1, (d.VertRes - d.TextHeight) / l.CellHeight);
  l.PerPage = l.Columns * l.Rows;
  l.Pages = (count + l.PerPage - 1) / l.PerPage;
  const int leftoverWidth = std::max(0, d.HorzRes - l.Columns * l.CellWidth);
  const int leftoverHeight = std::max(0, d.VertRes - d.TextHeight - l.Rows * l.CellHeight);
  if (d.Landscape) {
    l.OffsetX = leftoverWidth / 2;
    l.OffsetY = center ? leftoverHeight / 2 : leftoverHeight;
  } else {
    l.OffsetX = center ? leftoverWidth / 2 : leftoverWidth;
    l.OffsetY = leftoverHeight / 2;
  }
  return l;
}

tThumbPrintCell ThumbPrintCell(const tThumbPrintLayout& l, int k) {
  tThumbPrintCell c;
  if (l.PerPage < 1 || k < 0) return c;
  const int slot = k % l.PerPage;
  c.Page = k / l.PerPage;
  c.StartsPage = slot == 0;
  c.Left = l.OffsetX + (slot % l.Columns) * l.CellWidth;
  c.Top = l.OffsetY + (slot / l.Columns) * l.CellHeight;
  return c;
}

std::string ThumbPrintPageText(int page, int pages) {
  return "Page " + std::to_string(page) + (pages >= 2 ? " of " + std::to_string(pages) : "");
}

std::string ThumbPrintHeader(const std::string& headerFormat, const std::string& pageText) {
  std::string out;
  bool inserted = false;
  for (size_t i = 0; i < headerFormat.size(); ++i) {
    if (headerFormat[i] == '%' && i + 1 < headerFormat.size()) {
      const char next = headerFormat[++i];
      if (next == 's' && !inserted) {
        out += pageText;
        inserted = true;
      } else if (next == '%') {
        out += '%';
      } else {
        out += '%';
        out += next;
      }
    } else {
      out += headerFormat[i];
    }
  }
  return out;
}
