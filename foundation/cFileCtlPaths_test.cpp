#include "foundation/cFileCtlPaths.h"

#include <gtest/gtest.h>

#include <algorithm>

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(FilterCombo, ParsesTextAndMaskPairs) {
  EXPECT_EQ(ParseFilter("All files|*.*|Pictures|*.gif;*.jpg"),
            (Pairs{{"All files", "*.*"}, {"Pictures", "*.gif;*.jpg"}}));
  EXPECT_EQ(ParseFilter("All files|*.*|Movies"), (Pairs{{"All files", "*.*"}}));
  EXPECT_EQ(ParseFilter(""), Pairs{});
  EXPECT_EQ(ParseFilter("All files|*.*|"), (Pairs{{"All files", "*.*"}}));
  EXPECT_EQ(ParseFilter("A|"), (Pairs{{"A", ""}}));
  EXPECT_EQ(ParseFilter("|x"), (Pairs{{"", "x"}}));
}

TEST(PathLabel, MinimizePathShortensStepByStep) {
  const std::string path = "C:\\Pictures\\2001\\Summer\\beach.gif";
  auto chars = [](const std::string& s) { return static_cast<int>(s.size()); };
  const std::vector<std::string> steps = {path,
                                          "C:\\...\\2001\\Summer\\beach.gif",
                                          "C:\\...\\Summer\\beach.gif",
                                          "C:\\...\\beach.gif",
                                          "...\\beach.gif",
                                          "beach.gif"};
  for (const std::string& step : steps)
    EXPECT_EQ(MinimizePath(path, chars, static_cast<int>(step.size())), step);
  EXPECT_EQ(MinimizePath(path, chars, 3), "beach.gif");  // as short as it gets
  EXPECT_EQ(MinimizePath("C:\\", chars, 1), "");
  // A folder whose name starts with a dot is a folder like any other: only it is cut.
  auto dotless = [](const std::string& s) {
    return static_cast<int>(s.size() - std::count(s.begin(), s.end(), '.'));
  };
  EXPECT_EQ(MinimizePath("C:\\.a\\b\\c\\x.gif", dotless, 12), "C:\\...\\b\\c\\x.gif");
  EXPECT_EQ(MinimizePath("\\\\srv\\share\\a.gif", chars, 14), "\\...\\a.gif");
}

TEST(DirList, RowsOfAFolderWithTheirIndents) {
  std::vector<tDirRow> rows = DirPathRows("C:\\A\\B");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].Text, "C:\\");
  EXPECT_EQ(rows[1].Text, "A");
  EXPECT_EQ(rows[2].Text, "B");
  EXPECT_EQ(rows[2].Kind, drCurrent);
  rows.push_back({"Sub", drSubfolder});
  std::vector<int> indents;
  for (int i = 0; i < 4; ++i) indents.push_back(DirRowIndent(rows, i, "C:\\A\\B"));
  EXPECT_EQ(indents, (std::vector<int>{2, 6, 10, 14}));
  std::vector<std::string> paths;
  for (int i = 0; i < 4; ++i) paths.push_back(DirItemPath(rows, i, "C:\\A\\B"));
  EXPECT_EQ(paths, (std::vector<std::string>{"C:\\", "C:\\A", "C:\\A\\B", "C:\\A\\B\\Sub"}));

  rows = DirPathRows("C:\\");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Kind, drCurrent);
  rows.push_back({"Windows", drSubfolder});
  EXPECT_EQ(DirRowIndent(rows, 1, "C:\\"), 10);
  EXPECT_EQ(DirItemPath(rows, 1, "C:\\"), "C:\\Windows");
  EXPECT_EQ(DirItemPath(rows, 0, "C:\\"), "C:\\");
}

TEST(DirList, NetworkPathsStartAtTheShare) {
  std::vector<tDirRow> rows = DirPathRows("\\\\srv\\share\\A\\B");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].Text, "\\\\srv\\share\\");
  EXPECT_EQ(rows[1].Text, "A");
  EXPECT_EQ(DirItemPath(rows, 0, "\\\\srv\\share\\A\\B"), "\\\\srv\\share\\");
  EXPECT_EQ(DirItemPath(rows, 1, "\\\\srv\\share\\A\\B"), "\\\\srv\\share\\A");
  rows = DirPathRows("\\\\srv\\share");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Kind, drCurrent);
}

TEST(DriveCombo, ItemTextsByDriveType) {
  EXPECT_EQ(DriveItemText('a', 2, "[disk]"), "a:");
  EXPECT_EQ(DriveItemText('C', 3, VolumeText("System", false)), "C: [SYSTEM]");
  EXPECT_EQ(DriveItemText('c', 3, VolumeText("System", true)), "c: [system]");
  EXPECT_EQ(DriveItemText('n', 4, "\\\\srv\\share"), "n: \\\\srv\\share");
  EXPECT_EQ(DriveItemText('d', 5, "[]"), "d: []");
  EXPECT_EQ(DriveItemText('r', 6, "[ram]"), "r: [ram]");
  EXPECT_EQ(DriveItemText('x', 1, "[]"), "");
  EXPECT_EQ(VolumeText("", true), "[]");
}
