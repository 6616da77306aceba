#include "foundation/uControlGroups.h"

#include <gtest/gtest.h>

namespace {

tListRows Rows(std::initializer_list<const char*> texts, int current = -1) {
  tListRows list;
  for (const char* t : texts) list.Rows.push_back({t, nullptr, false});
  list.ItemIndex = current;
  return list;
}
std::string Texts(const tListRows& list) {
  std::string s;
  for (auto& r : list.Rows) s += r.Text;
  return s;
}

TEST(ListBoxMoves, WithinOneListAndBetweenLists) {
  struct {
    const char* name;
    int current, drop;
    const char* after;
    int at;
  } within[] = {
      {"down onto d", 1, 3, "acbde", 2},  // lowered by one: the row comes out above
      {"up onto a", 3, 0, "dabce", 0},         {"below the last row", 1, -1, "acdeb", 4},
      {"past the last row", 0, 9, "bcdea", 4}, {"no current row", -1, 2, "abcde", -1},
  };
  for (auto& c : within) {
    tListRows list = Rows({"a", "b", "c", "d", "e"}, c.current);
    EXPECT_EQ(MoveListBoxItem(list, list, c.drop), c.at) << c.name;
    EXPECT_EQ(Texts(list), c.after) << c.name;
  }
  tListRows one = Rows({"a"}, 0);
  EXPECT_EQ(MoveListBoxItem(one, one, 0), -1);  // one row cannot move within its list

  tListRows other = Rows({"x", "y"});
  EXPECT_EQ(MoveListBoxItem(one, other, 1), 1);
  EXPECT_EQ(Texts(one), "");
  EXPECT_EQ(Texts(other), "xay");
  EXPECT_EQ(other.ItemIndex, 1);
  EXPECT_EQ(one.ItemIndex, -1);
}

TEST(ListBoxMoves, SelectedRowsFollowEachOther) {
  tListRows list = Rows({"a", "b", "c", "d", "e", "f"}, 4);
  list.MultiSelect = true;
  list.Rows[0].Selected = list.Rows[2].Selected = list.Rows[4].Selected = true;
  EXPECT_EQ(MoveListBoxItems(list, list, 3), 3);  // dropped on d
  EXPECT_EQ(Texts(list), "bacedf");
  for (auto& r : list.Rows) EXPECT_FALSE(r.Selected);

  tListRows target = Rows({"x", "y"});
  list.Rows[1].Selected = list.Rows[5].Selected = true;
  EXPECT_EQ(MoveListBoxItems(list, target, -1), 3);
  EXPECT_EQ(Texts(target), "xyaf");
  EXPECT_EQ(Texts(list), "bced");

  tListRows single = Rows({"a", "b", "c"}, 2);  // not multi-select: the current row only
  single.Rows[0].Selected = true;
  EXPECT_EQ(MoveListBoxItems(single, single, 0), 0);
  EXPECT_EQ(Texts(single), "cab");
}

TEST(ButtonGroups, RadioAndCheckTags) {
  using K = tButtonKind;
  std::vector<tGroupButton> radios{
      {K::Radio, 1, true}, {K::Other, 2, false}, {K::Radio, 2, false}, {K::Radio, 3, true}};
  EXPECT_EQ(GetRadioTag(radios), 3);  // the last checked one
  SetRadioByTag(radios, 2);
  EXPECT_FALSE(radios[0].Checked);
  EXPECT_FALSE(radios[1].Checked);  // not a radio button
  EXPECT_TRUE(radios[2].Checked);
  EXPECT_FALSE(radios[3].Checked);
  EXPECT_EQ(GetRadioTag(radios), 2);
  SetRadioByTag(radios, 9);
  EXPECT_EQ(GetRadioTag(radios), 0);

  std::vector<tGroupButton> checks{
      {K::Check, 1, false}, {K::Check, 6, false}, {K::Check, 0, false}, {K::Radio, 1, false}};
  SetChecksByTags(checks, 0x5);
  EXPECT_TRUE(checks[0].Checked);
  EXPECT_FALSE(checks[1].Checked);  // only bit 2 of 6 is in the mask
  EXPECT_TRUE(checks[2].Checked);   // Tag 0 is always checked
  EXPECT_FALSE(checks[3].Checked);
  checks[1].Checked = true;
  EXPECT_EQ(GetCheckedTags(checks), 7);
}

}  // namespace
