#include "shell/uStartup.h"

#include <gtest/gtest.h>

namespace {
struct ArgCase {
  std::vector<std::string> args;
  int mode;
  bool tray, hidden;
  const char* file;
};
}  // namespace

TEST(StartArguments, LastModeWinsAndTheFileIsTheArgumentThatSetIt) {
  const ArgCase cases[] = {
      {{}, smInteractive, false, false, ""},
      {{"/u"}, smUninstall, false, false, ""},
      {{"/u", "/c"}, smSaverSettings, false, false, ""},
      {{" /S "}, smHidden, false, false, ""},
      {{"/TaskTray"}, smInteractive, true, false, ""},
      {{"/tasktray", "a.gif"}, smOpenFile, true, false, "a.gif"},
      // The switches that set no mode leave the file in place: it is still the one to open.
      {{"/kvorn", "Pic One.GIF"}, smOpenFile, false, true, "Pic One.GIF"},
      {{"a.gif", "/tasktray"}, smOpenFile, true, false, "a.gif"},
      {{"a.gif", "/c"}, smSaverSettings, false, false, ""},
      {{"/c", "a.gif"}, smOpenFile, false, false, "a.gif"},
      {{"a.gif", "b.png"}, smOpenFile, false, false, "b.png"},
      {{"  ", "/KVORN"}, smInteractive, false, true, ""},
  };
  for (const ArgCase& c : cases) {
    tStartOptions o = ParseStartArguments(c.args);
    std::string shown;
    for (auto& a : c.args) shown += "[" + a + "]";
    EXPECT_EQ(o.StartMode, c.mode) << shown;
    EXPECT_EQ(o.Tray, c.tray) << shown;
    EXPECT_EQ(o.HiddenOptions, c.hidden) << shown;
    EXPECT_EQ(o.FileName, c.file) << shown;
  }
}

TEST(StartArguments, CommandLineWordsKeepQuotedBlanks) {
  auto args = CommandLineArguments("\"C:\\Program Files\\T\\Tavishore32.exe\" /tasktray "
                                   "\"C:\\My Pictures\\a b.gif\"");
  ASSERT_EQ(args.size(), 2u);
  EXPECT_EQ(args[0], "/tasktray");
  EXPECT_EQ(args[1], "C:\\My Pictures\\a b.gif");
  EXPECT_TRUE(CommandLineArguments("Tavishore32.exe").empty());
  EXPECT_TRUE(CommandLineArguments("Tavishore32.exe   ").empty());
  tStartOptions o = ParseStartArguments(CommandLineArguments("T.exe /kvorn \"x y.gif\""));
  EXPECT_EQ(o.FileName, "x y.gif");
}

TEST(Splash, ShowsOnlyForNormalShowsWithoutArguments) {
  // Show command: normal, minimised, maximised.
  const struct {
    int show;
    bool normal, minimized, maximized;
  } table[] = {{0, false, false, false}, {1, true, false, false}, {2, false, true, false},
               {3, true, false, true},   {4, false, false, false}, {5, true, false, false},
               {6, false, true, false},  {7, false, true, false}, {8, false, false, false},
               {9, true, false, false},  {10, false, false, false}};
  for (auto& t : table) {
    EXPECT_EQ(IsNormalShow(t.show), t.normal) << t.show;
    EXPECT_EQ(IsMinimizedShow(t.show), t.minimized) << t.show;
    EXPECT_EQ(IsMaximizedShow(t.show), t.maximized) << t.show;
    EXPECT_EQ(SplashWanted(t.show, 0), t.normal) << t.show;
    EXPECT_FALSE(SplashWanted(t.show, 1)) << t.show;
  }
  EXPECT_STREQ(SplashBitmapName(8), "ORVEX_260X130X256");
  EXPECT_STREQ(SplashBitmapName(32), "ORVEX_260X130X256");
  EXPECT_STREQ(SplashBitmapName(4), "ORVEX_260X130");
  EXPECT_DOUBLE_EQ(kSplashDays * 86400.0, 3.0);
}
