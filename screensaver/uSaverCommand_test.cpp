#include "screensaver/uSaverCommand.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

TEST(SaverCommand, SplitsLikeTheRunTime) {
  EXPECT_EQ(SplitArguments("saver.scr"), Args{});
  EXPECT_EQ(SplitArguments("\"C:\\My Progs\\saver.scr\" /p 1234"), (Args{"/p", "1234"}));
  EXPECT_EQ(SplitArguments("saver.scr \"\""), Args{""});
  EXPECT_EQ(SplitArguments("saver.scr  /c:5   x\"y z\""), (Args{"/c:5", "xy z"}));
}

TEST(SaverCommand, Modes) {
  struct {
    Args args;
    tSaverMode mode;
    uintptr_t window;
  } cases[] = {
      {{}, smRun, 7},
      {{"/S"}, smRun, 7},
      {{"/s"}, smRun, 7},
      {{"-s"}, smRun, 7},
      {{"/x"}, smRun, 7},
      {{""}, smConfigure, 7},
      {{"/c"}, smConfigure, 7},
      {{"-C:1234"}, smConfigure, 7},
      {{"c"}, smConfigure, 7},
      {{"/p", "4242"}, smPreview, 4242},
      {{"/P:4242"}, smPreview, 7},  // a handle after a colon is not read
      {{"P", "4294967295"}, smPreview, 4294967295u},
      {{"/p", "window"}, smPreview, 7},
      {{"/a", "99"}, smChangePassword, 99},
      {{"a"}, smChangePassword, 7},
      {{"/s", "12"}, smRun, 12},
  };
  for (const auto& c : cases) {
    uintptr_t window = 7;
    EXPECT_EQ(GetSaverMode(c.args, window), c.mode) << (c.args.empty() ? "-" : c.args[0]);
    EXPECT_EQ(window, c.window) << (c.args.empty() ? "-" : c.args[0]);
  }
}

TEST(SaverCommand, MainProgramFromItsOpenCommand) {
  EXPECT_EQ(MainProgramPathFromCommand("\"C:\\Program Files\\Tavis\\Tavishore32.exe\" \"%1\""),
            "C:\\Program Files\\Tavis\\Tavishore32.exe");
  EXPECT_EQ(MainProgramPathFromCommand("C:\\Tavis\\Tavishore32.exe %1"),
            "C:\\Tavis\\Tavishore32.exe");
  EXPECT_EQ(MainProgramPathFromCommand("<none>"), "");
  EXPECT_EQ(MainProgramPathFromCommand("%1"), "");
  EXPECT_EQ(MainProgramPathFromCommand(""), "");
  EXPECT_EQ(MainProgramCommandKey("Halvorn Softworks", "Tavishore 32"),
            "SOFTWARE\\Halvorn Softworks\\Tavishore 32\\shell\\open\\command");
}

TEST(SaverCommand, SettingsAreStartedWithTheQuotedPath) {
  EXPECT_EQ(SettingsCommandLine("C:\\Program Files\\Tavis\\Tavishore32.exe"),
            "\"C:\\Program Files\\Tavis\\Tavishore32.exe\" /c");
  EXPECT_EQ(InstanceSemaphoreName("Tavishore 32"), "Tavishore 32 Screen Saver");
}

}  // namespace
