#include "framework/DropFiles.h"

#include <shellapi.h>

#include "framework/Text.h"

void AcceptDroppedFiles(HWND window, bool accept) { DragAcceptFiles(window, accept); }

std::vector<std::string> TakeDroppedFiles(HDROP drop, POINT& point, bool& inClient) {
  std::vector<std::string> names;
  inClient = DragQueryPoint(drop, &point) != 0;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring name(length + 1, L'\0');
    DragQueryFileW(drop, i, name.data(), length + 1);
    name.resize(length);
    names.push_back(WideToUtf8(name));
  }
  DragFinish(drop);
  return names;
}
