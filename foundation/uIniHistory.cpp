#include "foundation/uIniHistory.h"

#include <algorithm>

#include "foundation/uFormat.h"
#include "foundation/uIniFile.h"
#include "foundation/uUtil.h"

namespace {

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerChar(x) == LowerChar(y);
         });
}

// Blanks and control characters off both ends.
std::string Trim(const std::string& s) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  auto b = std::find_if_not(s.begin(), s.end(), blank);
  auto e = std::find_if_not(s.rbegin(), s.rend(), blank).base();
  return b < e ? std::string(b, e) : std::string();
}

}  // namespace

int IndexOfText(const std::vector<std::string>& list, const std::string& text) {
  for (size_t i = 0; i < list.size(); ++i)
    if (SameText(list[i], text)) return static_cast<int>(i);
  return -1;
}

void ReadIniHistory(const TIniFile& ini, const std::string& section, const std::string& extra,
                    std::vector<std::string>& list) {
  list.clear();
  for (int i = 0;; ++i) {
    std::string value = ini.ReadString(section, Format("H%d", {i}), "");
    if (value.empty()) break;
    list.push_back(value);
  }
  if (!extra.empty() && IndexOfText(list, extra) < 0) list.push_back(extra);
}

void WriteIniHistory(TIniFile& ini, const std::string& section, const std::string& extra,
                     const std::vector<std::string>& list) {
  if (list.empty() && extra.empty()) return;
  ini.EraseSection(section);
  int i = 0;
  for (; i < static_cast<int>(list.size()); ++i)
    ini.WriteString(section, Format("H%d", {i}), list[i]);
  if (!extra.empty() && IndexOfText(list, extra) < 0)
    ini.WriteString(section, Format("H%d", {i}), extra);
}

int AddComboHistory(std::vector<std::string>& items, int maxCount, const std::string& text,
                    const std::string& kept) {
  std::string s = Trim(text);
  if (s.empty()) return -1;
  int at = IndexOfText(items, s);
  if (at != 0) {
    if (at > 0) items.erase(items.begin() + at);
    items.insert(items.begin(), s);
  }
  for (int i = static_cast<int>(items.size()) - 1;
       i >= 0 && static_cast<int>(items.size()) > std::max(maxCount, 0); --i)
    if (!SameText(items[i], kept)) items.erase(items.begin() + i);
  return items.empty() ? -1 : 0;
}
