#include "foundation/uUtilWin.h"

bool GetNormalBounds(HWND window, int& left, int& top, int& width, int& height) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;  // 44 on both targets
  if (!GetWindowPlacement(window, &placement)) {
    left = top = width = height = 0;
    return false;
  }
  const RECT& r = placement.rcNormalPosition;
  left = r.left;
  top = r.top;
  width = r.right - r.left;
  height = r.bottom - r.top;
  return true;
}
