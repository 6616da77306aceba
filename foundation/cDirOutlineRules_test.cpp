#include "foundation/cDirOutlineRules.h"

#include <gtest/gtest.h>

TEST(DirOutlineRules, SortedInsertion) {
  std::vector<std::string> children;
  EXPECT_EQ(OutlineInsertIndex(children, "m"), 0);
  children = {"b", "d", "f", "h", "k"};
  struct {
    const char* name;
    int index;
  } cases[] = {{"a", 0}, {"b", 0}, {"c", 1}, {"d", 1}, {"e", 2}, {"g", 3},
               {"j", 4}, {"k", 5}, {"z", 5}, {"B", 0}, {"h", 3}};
  for (auto c : cases) EXPECT_EQ(OutlineInsertIndex(children, c.name), c.index) << c.name;
  // Inserting each name where it says keeps the list sorted.
  std::vector<std::string> built;
  for (const char* n : {"q", "b", "x", "Temp", "a b", "m", "m1", "c"})
    built.insert(built.begin() + OutlineInsertIndex(built, n), n);
  EXPECT_TRUE(std::is_sorted(built.begin(), built.end()));
}

TEST(DirOutlineRules, PathsAndParts) {
  EXPECT_EQ(OutlineItemPath({"c:\\"}), "c:\\");
  EXPECT_EQ(OutlineItemPath({"c:\\", "windows", "system"}), "c:\\windows\\system");
  EXPECT_EQ(OutlinePathParts("c:\\windows\\system"),
            (std::vector<std::string>{"windows", "system"}));
  EXPECT_EQ(OutlinePathParts("c:\\"), std::vector<std::string>{});
  EXPECT_EQ(OutlinePathParts("c:\\a b\\"), std::vector<std::string>{"a b"});
}
