#include "thumbnails/uScriptEditor.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

TEST(ScriptEditor, SaveTargets) {
  struct {
    int loaded;
    const char* loadedTitle;
    const char* title;
    bool changed;
    int number, replaced;
    bool ask;
  } cases[] = {
      {0, "", "New", true, 7, 0, false},          // nothing loaded: a new script
      {5, "Old", "Renamed", false, 7, 0, false},  // a changed title: saved as new
      {5, "Old", "Old", true, 5, 5, true},        // own title, changed lines: replace after asking
      {5, "Old", "Old", false, 5, 5, false},      // unchanged: its own number
  };
  for (const auto& c : cases) {
    auto t = ScriptSaveTarget(c.loaded, c.loadedTitle, c.title, c.changed, 7);
    EXPECT_EQ(t.Number, c.number) << c.title;
    EXPECT_EQ(t.Replaced, c.replaced) << c.title;
    EXPECT_EQ(t.AskReplace, c.ask) << c.title;
  }
}

TEST(ScriptEditor, MovingEntries) {
  Lines src = {"a", "b", "c", "d"}, dst = {"x"};
  std::vector<bool> selected = {false, true, false, true};
  MoveSelected(src, selected, dst);
  EXPECT_EQ(src, (Lines{"a", "c"}));
  EXPECT_EQ(dst, (Lines{"x", "b", "d"}));
  EXPECT_EQ(selected, (std::vector<bool>{false, false}));
  Lines list = {"1", "2", "3", "4"};
  MoveWithin(list, 0, 2);
  EXPECT_EQ(list, (Lines{"2", "3", "1", "4"}));
  MoveWithin(list, 3, 0);
  EXPECT_EQ(list, (Lines{"4", "2", "3", "1"}));
  MoveWithin(list, 1, 99);
  EXPECT_EQ(list, (Lines{"4", "3", "1", "2"}));
  MoveWithin(list, 9, 0);
  EXPECT_EQ(list, (Lines{"4", "3", "1", "2"}));
}

TEST(ScriptEditor, RandomNeedsSixLines) {
  Lines five = {"1", "2", "3", "4", "5"};
  EXPECT_FALSE(ShuffleScript(five, [] { return 77u; }));
  EXPECT_EQ(five, (Lines{"1", "2", "3", "4", "5"}));
  Lines six = {"1", "2", "3", "4", "5", "6"};
  Lines expected = six;
  ShuffleList(expected, [] { return 77u; });
  EXPECT_TRUE(ShuffleScript(six, [] { return 77u; }));
  EXPECT_EQ(six, expected);
}

TEST(ScriptEditor, OfferedFilesJoinTheFolder) {
  EXPECT_EQ(OfferedFiles({"C:\\pics\\", "a.gif", "b.jpg"}),
            (Lines{"C:\\pics\\a.gif", "C:\\pics\\b.jpg"}));
  EXPECT_TRUE(OfferedFiles({"C:\\pics\\"}).empty());
  EXPECT_TRUE(OfferedFiles({}).empty());
}

}  // namespace
