#include "foundation/uControlGroupsWin.h"

#include <vector>

#include "foundation/uControlGroups.h"

namespace {
bool MultiSelect(const TListBox& list) {
  return GetWindowLongW(list.Handle(), GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL);
}

tListRows RowsOf(const TListBox& list) {
  tListRows rows;
  rows.MultiSelect = MultiSelect(list);
  for (int i = 0; i < list.Count(); ++i)
    rows.Rows.push_back({list.String(i), list.Object(i), rows.MultiSelect && list.Selected(i)});
  rows.ItemIndex = list.ItemIndex();
  if (!rows.MultiSelect && rows.ItemIndex >= 0) rows.Rows[rows.ItemIndex].Selected = true;
  return rows;
}

void Refill(TListBox& list, const tListRows& rows) {
  int top = list.TopIndex();
  list.BeginUpdate();
  list.Clear();
  for (const tListRow& r : rows.Rows) list.Add(r.Text, r.Object);
  if (rows.MultiSelect)
    for (size_t i = 0; i < rows.Rows.size(); ++i)
      if (rows.Rows[i].Selected) list.SetSelected(static_cast<int>(i), true);
  list.SetItemIndex(rows.ItemIndex);
  list.SetTopIndex(top);
  list.EndUpdate();
}

int DropIndex(const TListBox& target, int x, int y) { return target.ItemAtPos(POINT{x, y}); }

template <class Move>
void MoveRows(TListBox& source, TListBox& target, int x, int y, Move move) {
  int index = DropIndex(target, x, y);
  tListRows from = RowsOf(source);
  if (&source == &target) {
    if (move(from, from, index) >= 0) Refill(source, from);
    return;
  }
  tListRows to = RowsOf(target);
  if (move(from, to, index) < 0) return;
  Refill(source, from);
  Refill(target, to);
}

// The buttons among the container's own children, in child order.
std::vector<std::pair<TWindow*, tGroupButton>> Buttons(TWindow& container) {
  std::vector<std::pair<TWindow*, tGroupButton>> list;
  for (HWND h = GetWindow(container.Handle(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    TWindow* w = TWindow::FromHandle(h);
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (!w || lstrcmpiW(cls, L"Button") != 0) continue;
    LONG type = GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK;
    tGroupButton b;
    if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
      b.Kind = tButtonKind::Radio;
    else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
             type == BS_AUTO3STATE)
      b.Kind = tButtonKind::Check;
    else
      continue;
    b.Tag = w->Tag;
    b.Checked = SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
    list.push_back({w, b});
  }
  return list;
}

std::vector<tGroupButton> Values(const std::vector<std::pair<TWindow*, tGroupButton>>& list) {
  std::vector<tGroupButton> values;
  for (auto& p : list) values.push_back(p.second);
  return values;
}

void Apply(const std::vector<std::pair<TWindow*, tGroupButton>>& list,
           const std::vector<tGroupButton>& values) {
  for (size_t i = 0; i < list.size(); ++i)
    if (values[i].Checked != list[i].second.Checked)
      list[i].first->Send(BM_SETCHECK, values[i].Checked ? BST_CHECKED : BST_UNCHECKED);
}
}  // namespace

bool IsPastLastItem(const TListBox& list, int index) { return IsPastLastItem(list.Count(), index); }

void MoveListBoxItem(TListBox& source, TListBox& target, int x, int y) {
  MoveRows(source, target, x, y,
           [](tListRows& s, tListRows& t, int i) { return MoveListBoxItem(s, t, i); });
}

void MoveListBoxItems(TListBox& source, TListBox& target, int x, int y) {
  MoveRows(source, target, x, y,
           [](tListRows& s, tListRows& t, int i) { return MoveListBoxItems(s, t, i); });
}

void SetRadioByTag(TWindow& container, intptr_t value) {
  auto list = Buttons(container);
  std::vector<tGroupButton> values = Values(list);
  SetRadioByTag(values, value);
  Apply(list, values);
}

intptr_t GetRadioTag(TWindow& container) { return GetRadioTag(Values(Buttons(container))); }

void SetChecksByTags(TWindow& container, intptr_t mask) {
  auto list = Buttons(container);
  std::vector<tGroupButton> values = Values(list);
  SetChecksByTags(values, mask);
  Apply(list, values);
}

intptr_t GetCheckedTags(TWindow& container) { return GetCheckedTags(Values(Buttons(container))); }
