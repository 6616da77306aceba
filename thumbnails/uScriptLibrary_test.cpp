#include "thumbnails/uScriptLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "foundation/uIniFile.h"
#include "tests/TestSupport.h"

namespace {

namespace fs = std::filesystem;

class ScriptLibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = testsupport::ScratchDir("scripts");
    lib_.IniPath = (dir_ / "Tavishore32.ini").string();
  }
  std::string Read(const std::string& key, const std::string& def = "-") {
    return TIniFile(lib_.IniPath).ReadString("Scripts", key, def);
  }
  // Saves a new script and returns its number.
  int SaveNew(const std::string& title, std::vector<std::string> lines) {
    int freeNumber = 0;
    std::vector<std::string> list;
    tScriptSettings s;
    EXPECT_TRUE(ScriptLibraryEntry(lib_, smList, 0, s, freeNumber, list));
    s.Title = title;
    int replaced = 0;
    EXPECT_TRUE(ScriptLibraryEntry(lib_, smWrite, freeNumber, s, replaced, lines));
    return freeNumber;
  }
  std::vector<std::string> List(int* freeNumber = nullptr) {
    int f = 0;
    std::vector<std::string> list;
    tScriptSettings s;
    EXPECT_TRUE(ScriptLibraryEntry(lib_, smList, 0, s, f, list));
    if (freeNumber) *freeNumber = f;
    return list;
  }
  fs::path dir_;
  tVList lib_;
};

TEST_F(ScriptLibraryTest, NewLibraryWritesCountZeroAndOffersNumberOne) {
  int freeNumber = 0;
  EXPECT_TRUE(List(&freeNumber).empty());
  EXPECT_EQ(freeNumber, 1);
  EXPECT_EQ(Read("Count"), "0");
}

TEST_F(ScriptLibraryTest, LinesFileNameAndEntryTexts) {
  EXPECT_EQ(ScriptLinesFileName(lib_, 7), (dir_ / "Script 00007.ini").string());
  EXPECT_EQ(ScriptLinesFileName(lib_, 29999), (dir_ / "Script 29999.ini").string());
  EXPECT_EQ(ScriptEntryText("Holiday", 12), "Holiday [12]");
  EXPECT_EQ(ScriptEntryNumber("Holiday in Rome [12]"), 12);
  EXPECT_EQ(ScriptEntryNumber("no number"), 0);
  EXPECT_EQ(ScriptEntryNumber("[x]"), 0);
}

TEST_F(ScriptLibraryTest, WriteAndReadBackEverySetting) {
  tScriptSettings s;
  s.Title = "Garden";
  s.Hidden = true;
  s.OriginalSize = false;
  s.Delay = 0;
  s.Color = 0x0000FF;
  s.Wallpaper = true;
  s.Paper = "C:\\pics\\paper.bmp";
  std::vector<std::string> lines = {"C:\\pics\\a.gif", "C:\\pics\\b.jpg", "C:\\music\\x.mid"};
  int replaced = 0;
  ASSERT_TRUE(ScriptLibraryEntry(lib_, smWrite, 3, s, replaced, lines));
  EXPECT_EQ(Read("Color 3"), "0000FF");
  EXPECT_EQ(Read("Count"), "1");
  // The lines file as the screen saver finds it.
  const std::string linesFile = ScriptLinesFileName(lib_, 3);
  EXPECT_EQ(TIniFile(linesFile).ReadString("Script 3", "Line 2", ""), "C:\\pics\\b.jpg");
  EXPECT_EQ(ReadScriptFileLines(linesFile), lines);

  tScriptSettings r;
  std::vector<std::string> back;
  int other = 0;
  ASSERT_TRUE(ScriptLibraryEntry(lib_, smRead, 3, r, other, back));
  EXPECT_EQ(back, lines);
  EXPECT_EQ(r.Title, "Garden");
  EXPECT_TRUE(r.Hidden);
  EXPECT_FALSE(r.OriginalSize);
  EXPECT_EQ(r.Delay, 0);
  EXPECT_EQ(r.Color, 0x0000FFu);
  EXPECT_TRUE(r.Wallpaper);
  EXPECT_EQ(r.Paper, "C:\\pics\\paper.bmp");

  tScriptSettings show;
  show.Title = "unchanged";
  ASSERT_TRUE(ScriptLibraryEntry(lib_, smReadForShow, 3, show, other, back));
  EXPECT_EQ(show.Title, "unchanged");
  EXPECT_FALSE(show.Hidden);
  EXPECT_EQ(show.Color, 0x0000FFu);
}

TEST_F(ScriptLibraryTest, DeleteFreesTheNumberForTheNextNewScript) {
  EXPECT_EQ(SaveNew("one", {"a.gif"}), 1);
  EXPECT_EQ(SaveNew("two", {"b.gif"}), 2);
  EXPECT_EQ(SaveNew("three", {"c.gif"}), 3);
  tScriptSettings s;
  int other = 0;
  std::vector<std::string> none;
  ASSERT_TRUE(ScriptLibraryEntry(lib_, smDelete, 2, s, other, none));
  EXPECT_EQ(Read("Title 2"), "(none)");
  EXPECT_EQ(Read("Delay 2"), "20");
  EXPECT_EQ(Read("Color 2"), "000000");
  EXPECT_EQ(Read("Count"), "2");
  EXPECT_FALSE(fs::exists(ScriptLinesFileName(lib_, 2)));
  int freeNumber = 0;
  EXPECT_EQ(List(&freeNumber), (std::vector<std::string>{"one [1]", "three [3]"}));
  EXPECT_EQ(freeNumber, 2);
  EXPECT_EQ(SaveNew("four", {"d.gif"}), 2);
}

TEST_F(ScriptLibraryTest, ReplacingKeepsCountAndLeavesNoStaleLines) {
  const int n = SaveNew("long", {"1.gif", "2.gif", "3.gif", "4.gif"});
  tScriptSettings s;
  s.Title = "long";
  std::vector<std::string> shorter = {"x.gif"};
  int replaced = n;
  ASSERT_TRUE(ScriptLibraryEntry(lib_, smWrite, n, s, replaced, shorter));
  EXPECT_EQ(Read("Count"), "1");
  EXPECT_EQ(ReadScriptFileLines(ScriptLinesFileName(lib_, n)), shorter);
}

TEST_F(ScriptLibraryTest, NewNumberStartsItsLinesFileEmpty) {
  // A lines file left over from elsewhere under the number a new script gets.
  {
    std::ofstream old(ScriptLinesFileName(lib_, 1));
    old << "[Script 1]\nLine 1=old1.gif\nLine 2=old2.gif\nLine 3=old3.gif\n";
  }
  EXPECT_EQ(SaveNew("fresh", {"new.gif"}), 1);
  EXPECT_EQ(ReadScriptFileLines(ScriptLinesFileName(lib_, 1)),
            std::vector<std::string>{"new.gif"});
}

TEST_F(ScriptLibraryTest, TitlesThatWouldLookFreeAreRefused) {
  for (const char* title : {"(none)", " (none) ", ""}) {
    tScriptSettings s;
    s.Title = title;
    std::vector<std::string> lines = {"a.gif"};
    int replaced = 0;
    EXPECT_FALSE(ScriptLibraryEntry(lib_, smWrite, 1, s, replaced, lines)) << title;
  }
  EXPECT_FALSE(fs::exists(ScriptLinesFileName(lib_, 1)));
  EXPECT_EQ(Read("Count"), "-");
}

TEST_F(ScriptLibraryTest, RestrictedLibraryHidesHiddenScriptsButCountsThem) {
  tScriptSettings s;
  std::vector<std::string> lines = {"a.gif"};
  int replaced = 0;
  s.Title = "public";
  ASSERT_TRUE(ScriptLibraryEntry(lib_, smWrite, 1, s, replaced, lines));
  s.Title = "secret";
  s.Hidden = true;
  ASSERT_TRUE(ScriptLibraryEntry(lib_, smWrite, 2, s, replaced, lines));
  s.Title = "later";
  s.Hidden = false;
  ASSERT_TRUE(ScriptLibraryEntry(lib_, smWrite, 3, s, replaced, lines));
  lib_.Restricted = true;
  int freeNumber = 0;
  EXPECT_EQ(List(&freeNumber), (std::vector<std::string>{"public [1]", "later [3]"}));
  EXPECT_EQ(freeNumber, 4);
  lib_.Restricted = false;
  EXPECT_EQ(List().size(), 3u);
}

TEST_F(ScriptLibraryTest, OverstatedCountScansToTheLimit) {
  {
    std::ofstream ini(lib_.IniPath);
    ini << "[Scripts]\nCount=5\nTitle 1=a\nTitle 2=(none)\nTitle 40=far\n";
  }
  int freeNumber = 0;
  EXPECT_EQ(List(&freeNumber), (std::vector<std::string>{"a [1]", "far [40]"}));
  EXPECT_EQ(freeNumber, 2);
}

TEST_F(ScriptLibraryTest, ColoursAreHexTextAndAnythingElseIsBlack) {
  EXPECT_EQ(ColorToIniText(0x00FF8040), "FF8040");
  EXPECT_EQ(ColorToIniText(0), "000000");
  EXPECT_EQ(IniTextToColor("0000ff"), 0xFFu);
  EXPECT_EQ(IniTextToColor("ff8040"), 0xFF8040u);
  EXPECT_EQ(IniTextToColor("red"), 0u);
  EXPECT_EQ(IniTextToColor(""), 0u);
}

TEST_F(ScriptLibraryTest, ScriptFileWithoutSectionHasNoLines) {
  const auto path = (dir_ / "empty.ini").string();
  { std::ofstream f(path); f << "Line 1=a.gif\n"; }
  EXPECT_TRUE(ReadScriptFileLines(path).empty());
  EXPECT_TRUE(ReadScriptFileLines((dir_ / "missing.ini").string()).empty());
  { std::ofstream f(path); f << "[Anything]\nLine 1=a.gif\nLine 2=b.gif\nLine 4=d.gif\n"; }
  EXPECT_EQ(ReadScriptFileLines(path), (std::vector<std::string>{"a.gif", "b.gif"}));
}

}  // namespace
