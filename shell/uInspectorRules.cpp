#include "shell/uInspectorRules.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/uFormat.h"
#include "foundation/uUtil.h"

int InspectorColumns(int listWidth, int rowHeight) {
  return rowHeight > 0 ? std::max(1, listWidth / rowHeight) : 1;
}

int InspectorRows(int windowHeight, int itemCount, int columns) {
  int rows = 1;
  if (windowHeight > 600 && itemCount > columns) rows = 2;
  if (windowHeight > 768 && itemCount > 2 * columns) rows = 3;
  return rows;
}

TRect InspectorTarget(int areaWidth, int areaHeight, int width, int height) {
  TRect r{};
  if (width > areaWidth || height > areaHeight) {
    FitCenterRect(areaWidth, areaHeight, width, height, r);
    // The inclusive rectangle becomes an exclusive one.
    ++r.Right;
    ++r.Bottom;
  } else {
    int x = 0, y = 0;
    CenterOffset(areaWidth, areaHeight, width, height, x, y);
    r = TRect{x, y, x + width, y + height};
  }
  r.Left += 2;
  r.Right += 2;
  r.Top += 2;
  r.Bottom += 2;
  return r;
}

int InspectorFrameWait(int delay, bool hasDelay) { return hasDelay && delay > 0 ? delay * 10 : 100; }

int InspectorNextIndex(int index, int count) {
  if (count <= 0) return -1;
  return std::clamp(index, 0, count - 1);
}

std::string InspectorLine(const std::string& name, int thumbIndex) {
  return name + "=" + std::to_string(thumbIndex);
}

bool ParseInspectorLine(const std::string& line, std::string& name, int& thumbIndex) {
  const size_t eq = line.rfind('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 >= line.size()) return false;
  char* end = nullptr;
  const long v = std::strtol(line.c_str() + eq + 1, &end, 10);
  if (*end || v < 0) return false;
  name = line.substr(0, eq);
  thumbIndex = static_cast<int>(v);
  return true;
}

std::string InspectorHint(bool singleClick, bool onPicture) {
  return Format(onPicture ? "%s to open" : "%s to display",
                {singleClick ? "Click" : "Double-click"});
}
