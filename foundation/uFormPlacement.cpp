#include "foundation/uFormPlacement.h"

#include <algorithm>

#include "foundation/uFormat.h"

namespace {
constexpr size_t kShortText = 255;
constexpr int kScreenMargin = 20;

// Digits after optional leading blanks; a width has at most 9 of them.
bool WholeNumber(const std::string& text, int& value) {
  size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos || text.size() - i > 9) return false;
  int v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
  }
  value = v;
  return true;
}
}  // namespace

std::string HeaderWidthsToText(const std::vector<int>& widths) {
  std::string text;
  for (int w : widths) {
    std::string piece = Format("%s%d,", {text, w});
    if (piece.size() - 1 > kShortText) break;  // the final comma goes again below
    text = piece;
  }
  if (!text.empty()) text.pop_back();
  return text;
}

void HeaderWidthsFromText(const std::string& text, std::vector<int>& widths) {
  size_t start = 0;
  for (size_t i = 0; start <= text.size() && i < widths.size(); ++i) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    int value;
    if (WholeNumber(text.substr(start, end - start), value)) widths[i] = value;
    start = end + 1;
  }
}

void PlaceFormAt(int x, int y, int formWidth, int formHeight, int fullScreenWidth,
                 int fullScreenHeight, int& left, int& top) {
  left = std::min(x, fullScreenWidth - formWidth);
  top = std::min(y, fullScreenHeight - formHeight);
}

tFormRestore RestoreFormBounds(const tFormBounds& stored, int screenWidth, int screenHeight) {
  tFormRestore r;
  r.Bounds = stored;
  r.Designed =
      stored.Left <= screenWidth - kScreenMargin && stored.Top <= screenHeight - kScreenMargin;
  return r;
}

int FormFrameSize(const tFrameInfo& form, bool vertical) {
  tFrameBorder border = form.Designing ? tFrameBorder::Sizeable : form.Border;
  if (border == tFrameBorder::None) return 0;
  int size = 2 * (border == tFrameBorder::Sizeable ? form.SizeFrame : form.FixedFrame);
  if (border == tFrameBorder::Dialog) size += 2;
  if (vertical) {
    size += form.CaptionHeight - 1;
    if (form.HasMenu) size += form.MenuHeight + 1;
  }
  if (form.HasScrollBar) {
    size += form.ScrollBarSize;
    if (border == tFrameBorder::Single || border == tFrameBorder::Sizeable) size -= 1;
  }
  return size;
}
