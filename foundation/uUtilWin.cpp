#include "foundation/uUtilWin.h"

#include "framework/Text.h"

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

std::string ModuleFileName() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (n < name.size()) {
      name.resize(n);
      return WideToUtf8(name);
    }
    name.resize(name.size() * 2);
  }
}
