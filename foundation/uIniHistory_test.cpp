#include "foundation/uIniHistory.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/uIniFile.h"
#include "tests/TestSupport.h"

namespace {

using List = std::vector<std::string>;

std::string IniPath(const std::string& test, const std::string& text) {
  auto path = testsupport::ScratchDir(test) / "t.ini";
  testsupport::WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
  std::u8string u = path.u8string();
  return std::string(u.begin(), u.end());
}

TEST(IniHistory, ReadStopsAtFirstEmptyValueAndAddsExtra) {
  TIniFile ini(IniPath("hist_read", "[History]\r\nH0=C:\\A\r\nH1=C:\\B\r\nH2=\r\nH3=C:\\Lost\r\n"));
  List list{"old"};
  ReadIniHistory(ini, "history", "", list);
  EXPECT_EQ(list, (List{"C:\\A", "C:\\B"}));
  ReadIniHistory(ini, "History", "c:\\b", list);  // already there, ignoring case
  EXPECT_EQ(list, (List{"C:\\A", "C:\\B"}));
  ReadIniHistory(ini, "History", "*.*", list);
  EXPECT_EQ(list, (List{"C:\\A", "C:\\B", "*.*"}));
  ReadIniHistory(ini, "Missing", "", list);
  EXPECT_EQ(list, List{});
}

TEST(IniHistory, WriteErasesTheSectionFirstExceptForNothingToWrite) {
  TIniFile ini(IniPath("hist_write", "[History]\r\nH0=a\r\nH1=b\r\nH2=c\r\nOther=x\r\n"));
  WriteIniHistory(ini, "History", "", {});
  List list;
  ReadIniHistory(ini, "History", "", list);
  EXPECT_EQ(list, (List{"a", "b", "c"}));  // the old history stays

  WriteIniHistory(ini, "History", "*.*", {"d", "e"});
  std::vector<std::string> keys;
  ini.ReadSection("History", keys);
  EXPECT_EQ(keys, (List{"H0", "H1", "H2"}));
  ReadIniHistory(ini, "History", "", list);
  EXPECT_EQ(list, (List{"d", "e", "*.*"}));
  WriteIniHistory(ini, "History", "E", {"d", "e"});
  ReadIniHistory(ini, "History", "", list);
  EXPECT_EQ(list, (List{"d", "e"}));
}

TEST(ComboHistory, MovesTextToTheTopAndCutsFromTheBottom) {
  List items{"a", "b", "c"};
  EXPECT_EQ(AddComboHistory(items, 10, "  C:\\My Pictures \t", ""), 0);
  EXPECT_EQ(items, (List{"C:\\My Pictures", "a", "b", "c"}));
  EXPECT_EQ(AddComboHistory(items, 10, "C:\\My Pictures", ""), 0);  // top already
  EXPECT_EQ(items, (List{"C:\\My Pictures", "a", "b", "c"}));
  EXPECT_EQ(AddComboHistory(items, 10, "B", ""), 0);
  EXPECT_EQ(items, (List{"B", "C:\\My Pictures", "a", "c"}));
  EXPECT_EQ(AddComboHistory(items, 10, "   ", ""), -1);
  EXPECT_EQ(items.size(), 4u);

  // Maximum 10 with the kept text at position 10: the item above it goes instead.
  items = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "*.*"};
  EXPECT_EQ(AddComboHistory(items, 10, "new", "*.*"), 0);
  EXPECT_EQ(items, (List{"new", "1", "2", "3", "4", "5", "6", "7", "8", "*.*"}));
}

}  // namespace
