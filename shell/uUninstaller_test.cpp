#include "shell/uUninstaller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/uInstall.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {

std::string Utf8(const fs::path& p) {
  std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

TEST(UninstallerArguments, PathMayHoldSpacesAndTheProcessIsTheLastWord) {
  struct {
    const char* line;
    const char* self;
    uint32_t process;
  } cases[] = {
      {"C:\\TEMP\\uninstal.exe 4242", "C:\\TEMP\\uninstal.exe", 4242},
      {"C:\\Documents and Settings\\me\\Local Settings\\Temp\\uninstal.exe 36",
       "C:\\Documents and Settings\\me\\Local Settings\\Temp\\uninstal.exe", 36},
      {"\"C:\\My Temp\\uninstal.exe\" 4294967295  ", "C:\\My Temp\\uninstal.exe", 4294967295u},
      // No process (started by hand): nothing to wait for.
      {"C:\\TEMP\\uninstal.exe", "C:\\TEMP\\uninstal.exe", 0},
      {"C:\\TEMP 2\\uninstal.exe", "C:\\TEMP 2\\uninstal.exe", 0},
      {"C:\\TEMP\\uninstal.exe 4294967296", "C:\\TEMP\\uninstal.exe 4294967296", 0},
      {"C:\\TEMP\\uninstal.exe 12x", "C:\\TEMP\\uninstal.exe 12x", 0},
      {"", "", 0},
  };
  for (auto& c : cases) {
    tUninstallerArguments a = ParseUninstallerArguments(c.line);
    EXPECT_EQ(a.Self, c.self) << c.line;
    EXPECT_EQ(a.ProcessId, c.process) << c.line;
  }
}

TEST(UninstallerList, OnlyDeleteAndRemoveLinesWithFullPathsCount) {
  std::vector<tUninstallStep> steps = ParseUninstallList(
      "DC:\\WINDOWS\\Tavishore 32.scr\r\n"
      "\r\n"
      "Dguide.htm\r\n"            // relative: would hit the folder we started in
      "X C:\\whatever\r\n"
      "dC:\\lower\\case.txt\r\n"
      "D\r\n"
      "RC:\\Program Files\\Tavishore 32\\Doc\n"
      "D\\\\server\\share\\t.ini\r"
      "R/home/me/app");
  ASSERT_EQ(steps.size(), 4u);
  EXPECT_EQ(steps[0].Command, 'D');
  EXPECT_EQ(steps[0].Path, "C:\\WINDOWS\\Tavishore 32.scr");
  EXPECT_EQ(steps[1].Command, 'R');
  EXPECT_EQ(steps[1].Path, "C:\\Program Files\\Tavishore 32\\Doc");
  EXPECT_EQ(steps[2].Path, "\\\\server\\share\\t.ini");
  EXPECT_EQ(steps[3].Path, "/home/me/app");
}

class UninstallerRun : public testsupport::tPlainPlatformTest {
 protected:
  // As the system removes folders: only an empty one.
  const tRemoveFolder removeFolder_ = [](std::string folder) {
    std::replace(folder.begin(), folder.end(), '\\', '/');
    std::error_code ec;
    return fs::is_directory(folder, ec) && fs::remove(folder, ec) && !ec;
  };
};

// The list the program writes for an install folder with spaces in its path, carried out: the
// program's files and its "Doc" folder go, the folder the user keeps pictures in stays, and so
// does the install folder that holds it; what is already gone is skipped.
TEST_F(UninstallerRun, ProgramFilesGoAndAFolderStillInUseStays) {
  fs::path dir = testsupport::ScratchDir("uninstaller_run");
  fs::path app = dir / "Program Files" / "Tavishore 32";
  for (const char* name : {"Tavishore 32.Exe", "uninstall.exe", "read me.txt", "Doc/guide.htm",
                           "Doc/a b.gif", "Pictures/holiday.jpg"}) {
    fs::create_directories((app / name).parent_path());
    testsupport::WriteFile(app / name, {1, 2, 3});
  }
  fs::permissions(app / "read me.txt", fs::perms::owner_write | fs::perms::group_write |
                                           fs::perms::others_write, fs::perm_options::remove);
  fs::path empty = dir / "empty";
  fs::create_directories(empty);
  std::string list;
  for (const std::string& line : UninstallList(Utf8(dir / "no windows"), Utf8(app)))
    list += line + "\r\n";
  // A folder named for deletion and a file named for removal are both left alone.
  list += "D" + Utf8(empty) + "\r\nR" + Utf8(dir / "Program Files" / "Tavishore 32" /
                                             "Pictures" / "holiday.jpg") + "\r\n";
  // Carried out twice: the second run finds everything gone or still in use and skips it.
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(CarryOutUninstallList(ParseUninstallList(list), removeFolder_), 0) << run;
    std::vector<std::string> left;
    for (auto& e : fs::recursive_directory_iterator(dir)) {
      const std::u8string name = fs::relative(e.path(), dir).generic_u8string();
      left.emplace_back(name.begin(), name.end());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Program Files", "Program Files/Tavishore 32",
                                              "Program Files/Tavishore 32/Pictures",
                                              "Program Files/Tavishore 32/Pictures/holiday.jpg",
                                              "empty"}))
        << run;
  }
  // Once the user's folder is gone, the install folder goes with the next run.
  fs::remove_all(app / "Pictures");
  EXPECT_EQ(CarryOutUninstallList(ParseUninstallList(list), removeFolder_), 0);
  EXPECT_FALSE(fs::exists(app));
}

}  // namespace
