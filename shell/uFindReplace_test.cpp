#include "shell/uFindReplace.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/TestSupport.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {
std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }
class FindReplaceTest : public testsupport::tPlainPlatformTest {};
}  // namespace

TEST_F(FindReplaceTest, ReplacesIgnoringCaseAndKeepsEveryOtherByte) {
  const fs::path dir = testsupport::ScratchDir("find_replace");
  testsupport::WriteFile(dir / "a.htm", Bytes("<IMG src=x>\r\nimg\n\x00\xff tail img"s));
  testsupport::WriteFile(dir / "b.htm", Bytes("nothing here\r\n"));
  testsupport::WriteFile(dir / "c.htm", Bytes(""));
  const tFindReplaceResult r =
      RunFindReplace(dir.string() + "/", {"a.htm", "b.htm", "c.htm"}, "img", "picture");
  EXPECT_TRUE(r.Error.empty()) << r.Error;
  EXPECT_EQ(r.ChangedFiles, 1);
  EXPECT_EQ(testsupport::ReadFile(dir / "a.htm"),
            Bytes("<picture src=x>\r\npicture\n\x00\xff tail picture"s));
  EXPECT_EQ(testsupport::ReadFile(dir / "b.htm"), Bytes("nothing here\r\n"));
  ASSERT_EQ(r.Log.size(), 5u);
  EXPECT_EQ(r.Log[0][0].Text, "Find:    ");
  EXPECT_EQ(r.Log[0][0].Color, kLogRed);
  EXPECT_EQ(r.Log[0][1].Text, "img");
  EXPECT_EQ(r.Log[0][1].Color, kLogBlue);
  EXPECT_EQ(r.Log[1][0].Text, "Replace: ");
  EXPECT_EQ(r.Log[2][0].Text, "0003 a.htm");
  EXPECT_EQ(r.Log[2][0].Color, kLogBlack);
  EXPECT_EQ(r.Log[3][0].Text, "     b.htm");
  EXPECT_EQ(r.Log[3][0].Color, kLogGrey);
  for (const auto& e : fs::directory_iterator(dir))
    EXPECT_EQ(e.path().string().find(".part"), std::string::npos);
}

TEST_F(FindReplaceTest, EmptyFindDoesNothingAndUnfoundListsGrey) {
  const fs::path dir = testsupport::ScratchDir("find_replace_none");
  testsupport::WriteFile(dir / "a.txt", Bytes("abc"));
  EXPECT_TRUE(RunFindReplace(dir.string() + "/", {"a.txt"}, "", "x").Log.empty());
  const tFindReplaceResult r = RunFindReplace(dir.string() + "/", {"a.txt"}, "zzz", "x");
  EXPECT_EQ(r.ChangedFiles, 0);
  ASSERT_EQ(r.Log.size(), 3u);
  EXPECT_EQ(r.Log[2][0].Color, kLogGrey);
}

TEST_F(FindReplaceTest, AFileThatCannotBeReadEndsTheRun) {
  const fs::path dir = testsupport::ScratchDir("find_replace_error");
  testsupport::WriteFile(dir / "b.txt", Bytes("abc"));
  const tFindReplaceResult r = RunFindReplace(dir.string() + "/", {"gone.txt", "b.txt"}, "a", "x");
  EXPECT_NE(r.Error.find("gone.txt"), std::string::npos);
  EXPECT_EQ(testsupport::ReadFile(dir / "b.txt"), Bytes("abc"));
}
