#include "foundation/uIniHistoryWin.h"

#include <vector>

#include "foundation/uIniHistory.h"

namespace {
std::vector<std::string> Items(const TComboBox& combo) {
  std::vector<std::string> items;
  for (int i = 0; i < combo.Count(); ++i) items.push_back(combo.String(i));
  return items;
}

void SetItems(TComboBox& combo, const std::vector<std::string>& items) {
  combo.Clear();
  for (const std::string& s : items) combo.Add(s);
}
}  // namespace

void AddComboHistory(TComboBox& combo, int maxCount, const std::string& text,
                     const std::string& kept) {
  std::vector<std::string> items = Items(combo);
  int select = AddComboHistory(items, maxCount, text, kept);
  if (select < 0) return;
  if (items != Items(combo)) SetItems(combo, items);
  combo.SetItemIndex(select);
}

void ReadIniHistory(const TIniFile& ini, const std::string& section, const std::string& extra,
                    TComboBox& combo) {
  std::vector<std::string> items;
  ReadIniHistory(ini, section, extra, items);
  SetItems(combo, items);
}

void WriteIniHistory(TIniFile& ini, const std::string& section, const std::string& extra,
                     const TComboBox& combo) {
  WriteIniHistory(ini, section, extra, Items(combo));
}
