#include "viewers/picture/uPaletteGrid.h"

#include <algorithm>

#include "foundation/uFormat.h"

tGridMetrics GridMetrics(tGridShape shape, bool large, int width, int height) {
  tGridMetrics m;
  const int s = std::clamp(static_cast<int>(shape), 0, 4);
  m.Columns = (16 >> s) * (large ? 4 : 1);
  m.Rows = (large ? 256 : 16) / m.Columns;
  m.Width = std::max(width / m.Columns, 1) * m.Columns;
  m.Height = std::max(height / m.Rows, 1) * m.Rows;
  m.CellWidth = m.Width / m.Columns;
  m.CellHeight = m.Height / m.Rows;
  return m;
}

int CellAt(const tGridMetrics& m, int x, int y) {
  x = std::clamp(x, 0, m.Width - 1);
  y = std::clamp(y, 0, m.Height - 1);
  return (y / m.CellHeight) * m.Columns + x / m.CellWidth;
}

int MoveFocus(const tGridMetrics& m, int count, int cell, tGridKey key) {
  if (count < 1) return 0;
  const int last = count - 1;
  cell = std::clamp(cell, 0, last);
  const int cols = m.Columns;
  switch (key) {
    case tGridKey::Right:
      return cell >= last ? 0 : cell + 1;
    case tGridKey::Left:
      return cell <= 0 ? last : cell - 1;
    case tGridKey::Down: {
      if (cell + cols <= last) return cell + cols;
      const int next = cell % cols + 1;
      return next >= cols || next > last ? 0 : next;
    }
    case tGridKey::Up: {
      if (cell >= cols) return cell - cols;
      int column = cell % cols - 1;
      if (column < 0) column = std::min(cols, count) - 1;
      return column + ((last - column) / cols) * cols;
    }
    case tGridKey::Home:
      return 0;
    case tGridKey::End:
      return last;
  }
  return cell;
}

uint32_t MarkColor(uint32_t cell) {
  uint32_t out = 0;
  for (int shift : {0, 8, 16})
    if (((cell >> shift) & 0xFF) < 128) out |= 0xFFu << shift;
  return out;
}

namespace {
bool Entry(int index, const uint8_t* rgb, int count) {
  return rgb && index >= 0 && index < count && index < 256;
}
}  // namespace

std::string PaletteIndexText(int index, const uint8_t* rgb, int count) {
  if (!Entry(index, rgb, count)) return "(none)";
  const uint8_t* e = rgb + 3 * index;
  return Format("color number=%d\rr=%d\rg=%d\rb=%d", {index, e[0], e[1], e[2]});
}

std::string DetailsPaletteText(int index, const uint8_t* rgb, int count) {
  if (!Entry(index, rgb, count)) return "Image Palette:";
  const uint8_t* e = rgb + 3 * index;
  return Format("Image Palette:\rcolor number=%d\rR=%d, G=%d, B=%d", {index, e[0], e[1], e[2]});
}

int PaletteCopyCount(int count) { return std::clamp(count, 2, 256); }
