#include "foundation/uShellRules.h"

#include <algorithm>
#include <cctype>

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
  // Recycling on a fixed (3) or RAM (6) drive asks nothing; on every other drive type, where
  // the shell may delete for good, the shell asks: unknown (0), no root (1), removable (2),
  // remote (4), CD-ROM (5).
  for (int type : {3, 6}) EXPECT_EQ(DeleteFlags(true, type), 64u + 16u) << type;
  for (int type : {0, 1, 2, 4, 5, 7}) EXPECT_EQ(DeleteFlags(true, type), 64u) << type;
  EXPECT_EQ(DeleteFlags(false, 3), 0u);
  EXPECT_EQ(MoveFlags(true), 64u);
  EXPECT_EQ(MoveFlags(false), 0u);
  EXPECT_EQ(CopyFlags(true), 8u);
  EXPECT_EQ(CopyFlags(false), 0u);
  EXPECT_EQ(MoveRenamingFlags(true), 72u);
  EXPECT_EQ(MoveRenamingFlags(false), 8u);
}

TEST(ShellRules, VolumeRootOfAPath) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Pictures\\a.jpg", "C:\\"},
      {"d:", "d:\\"},
      {"E:/x/y.gif", "E:\\"},
      {"\\\\server\\share\\Pictures\\a.jpg", "\\\\server\\share\\"},
      {"\\\\server\\share", "\\\\server\\share\\"},
      {"//server/share/a.jpg", "\\\\server\\share\\"},
      {"\\\\?\\C:\\long\\a.jpg", "C:\\"},
      {"\\\\?\\UNC\\server\\share\\a.jpg", "\\\\server\\share\\"},
      {"\\\\server", ""},
      {"\\\\server\\", ""},
      {"\\\\\\share", ""},
      {"relative\\a.jpg", ""},
      {"\\rooted\\a.jpg", ""},
      {"", ""},
  };
  for (auto [path, root] : cases) EXPECT_EQ(PathVolumeRoot(path), root) << path;
}

TEST(ShellRules, CopiesBesideItemsOfTheSameNameGetNewNames) {
  const std::vector<std::string> there = {"C:\\To\\a.gif", "C:\\To\\Copy of a.gif",
                                          "C:\\To\\Pics"};
  auto upper = [](std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
  };
  auto taken = [&](const std::string& path) {
    for (const std::string& t : there)
      if (upper(t) == upper(path)) return true;
    return false;
  };
  struct Row {
    std::vector<std::string> items, targets;
  } rows[] = {
      {{"C:\\From\\b.gif"}, {"C:\\To\\b.gif"}},
      {{"C:\\From\\A.GIF"}, {"C:\\To\\Copy (2) of A.GIF"}},
      {{"C:\\From\\pics\\"}, {"C:\\To\\Copy of pics"}},
      // Two items of one name in one operation, and one already renamed.
      {{"C:\\X\\c.txt", "C:\\Y\\C.txt", "C:\\Z\\c.txt"},
       {"C:\\To\\c.txt", "C:\\To\\Copy of C.txt", "C:\\To\\Copy (2) of c.txt"}},
  };
  for (const Row& r : rows) EXPECT_EQ(CollisionFreeTargets(r.items, "C:\\To", taken), r.targets);
  EXPECT_EQ(CollisionFreeTargets({"D:\\a.gif"}, "C:\\To\\", taken),
            std::vector<std::string>{"C:\\To\\Copy (2) of a.gif"});
}
