#include "framework/Cursor.h"

#include <map>

#include "framework/Text.h"

namespace {
// Never freed: cursors of resources live as long as the program.
std::map<int, HCURSOR>& Slots() {
  static auto* slots = new std::map<int, HCURSOR>;
  return *slots;
}
}  // namespace

HCURSOR LoadCursorResource(const std::string& name) {
  return LoadCursorW(GetModuleHandleW(nullptr), Utf8ToWide(name).c_str());
}

HCURSOR CursorSlot(int slot) {
  auto it = Slots().find(slot);
  return it == Slots().end() ? nullptr : it->second;
}

void SetCursorSlot(int slot, HCURSOR cursor) { Slots()[slot] = cursor; }
