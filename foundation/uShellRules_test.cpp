#include "foundation/uShellRules.h"

#include <gtest/gtest.h>

TEST(ShellRules, ErrorTexts) {
  EXPECT_EQ(ShellErrorText(33), "");
  EXPECT_EQ(ShellErrorText(42), "");
  EXPECT_EQ(ShellErrorText(0), "Undefined error");
  EXPECT_EQ(ShellErrorText(31), "SE_ERR_NOASSOC");
  EXPECT_EQ(ShellErrorText(2), "ERROR_FILE_NOT_FOUND");
  EXPECT_EQ(ShellErrorText(32), "SE_ERR_DLLNOTFOUND");
  EXPECT_EQ(ShellErrorText(26), "SE_ERR_SHARE");
  EXPECT_EQ(ShellErrorText(-1), "Undefined error");
}

TEST(ShellRules, SoundsAndFlags) {
  EXPECT_EQ(DialogSoundName(0), "SystemExclamation");
  EXPECT_EQ(DialogSoundName(1), "SystemHand");
  EXPECT_EQ(DialogSoundName(2), "SystemAsterisk");
  EXPECT_EQ(DialogSoundName(3), "SystemQuestion");
  EXPECT_EQ(DialogSoundName(4), "");
  // Recycling on a fixed (3), RAM (6) or unknown (0) drive asks nothing; on removable (2) and
  // remote (4) drives the shell asks.
  EXPECT_EQ(DeleteFlags(true, 3), 64u + 16u);
  EXPECT_EQ(DeleteFlags(true, 6), 64u + 16u);
  EXPECT_EQ(DeleteFlags(true, 2), 64u);
  EXPECT_EQ(DeleteFlags(true, 4), 64u);
  EXPECT_EQ(DeleteFlags(false, 3), 0u);
  EXPECT_EQ(MoveFlags(true), 64u);
  EXPECT_EQ(MoveFlags(false), 0u);
  EXPECT_EQ(CopyFlags(true), 8u);
  EXPECT_EQ(CopyFlags(false), 0u);
  EXPECT_EQ(MoveRenamingFlags(true), 72u);
  EXPECT_EQ(MoveRenamingFlags(false), 8u);
}
