#include "resources/uResStrings.h"

#include <algorithm>
#include <iterator>

#include "foundation/uPlatform.h"

namespace {
struct Entry {
  int id;
  const char* text;
};
#define STR(id, text) {id, text},
const Entry table[] = {
#include "resources/strings.inc"
};
#undef STR
}  // namespace

std::string CompiledResString(int id) {
  auto it = std::find_if(std::begin(table), std::end(table),
                         [id](const Entry& e) { return e.id == id; });
  return it == std::end(table) ? std::string() : std::string(it->text);
}

std::string LoadResString(int id) { return Platform().ResourceString(id); }
