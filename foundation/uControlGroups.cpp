#include "foundation/uControlGroups.h"

#include <algorithm>

namespace {

int Count(const tListRows& list) { return static_cast<int>(list.Rows.size()); }

bool CanMove(const tListRows& source, const tListRows& target) {
  return Count(source) >= (&source == &target ? 2 : 1);
}

// Takes row r out of the source and puts it at `at` of the target (appending when `past`);
// returns where it went.
int MoveRow(tListRows& source, tListRows& target, int r, int at, bool past) {
  tListRow row = std::move(source.Rows[static_cast<size_t>(r)]);
  source.Rows.erase(source.Rows.begin() + r);
  if (past) {
    target.Rows.push_back(std::move(row));
    return Count(target) - 1;
  }
  if (&source == &target && at > r) --at;
  target.Rows.insert(target.Rows.begin() + at, std::move(row));
  return at;
}

}  // namespace

bool IsPastLastItem(int count, int index) { return index < 0 || index >= count; }

int MoveListBoxItem(tListRows& source, tListRows& target, int index) {
  int r = source.ItemIndex;
  if (r < 0 || r >= Count(source) || !CanMove(source, target)) return -1;
  int at = MoveRow(source, target, r, index, IsPastLastItem(Count(target), index));
  source.ItemIndex = -1;
  target.ItemIndex = at;
  return at;
}

int MoveListBoxItems(tListRows& source, tListRows& target, int index) {
  if (!source.MultiSelect) return MoveListBoxItem(source, target, index);
  bool past = IsPastLastItem(Count(target), index);
  int at = index, last = -1;
  for (;;) {
    auto it = std::find_if(source.Rows.begin(), source.Rows.end(),
                           [](const tListRow& row) { return row.Selected; });
    if (it == source.Rows.end() || !CanMove(source, target)) break;
    it->Selected = false;
    int r = static_cast<int>(it - source.Rows.begin());
    last = MoveRow(source, target, r, at, past);
    at = last + 1;
  }
  if (last >= 0) {
    source.ItemIndex = -1;
    target.ItemIndex = last;
  }
  return last;
}

void SetRadioByTag(std::vector<tGroupButton>& buttons, intptr_t value) {
  for (auto& b : buttons)
    if (b.Kind == tButtonKind::Radio) b.Checked = b.Tag == value;
}

intptr_t GetRadioTag(const std::vector<tGroupButton>& buttons) {
  intptr_t tag = 0;
  for (auto& b : buttons)
    if (b.Kind == tButtonKind::Radio && b.Checked) tag = b.Tag;
  return tag;
}

void SetChecksByTags(std::vector<tGroupButton>& buttons, intptr_t mask) {
  for (auto& b : buttons)
    if (b.Kind == tButtonKind::Check) b.Checked = (b.Tag & mask) == b.Tag;
}

intptr_t GetCheckedTags(const std::vector<tGroupButton>& buttons) {
  intptr_t tags = 0;
  for (auto& b : buttons)
    if (b.Kind == tButtonKind::Check && b.Checked) tags |= b.Tag;
  return tags;
}
