#include "shell/uInstall.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/uRegistry.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {

std::string Utf8(const fs::path& p) {
  std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

class InstallTest : public testsupport::tPlainPlatformTest {
 protected:
  void SetUp() override {
    tPlainPlatformTest::SetUp();
    InstallFolder.clear();
  }
  void TearDown() override {
    InstallFolder.clear();
    tPlainPlatformTest::TearDown();
  }
  void RegisterInstalledTo(const std::string& folder) {
    RegWriteValue(tRegRoot::LocalMachine, VersionKey("Tavishore 32", "32-bit version 5.10a"),
                  "installed to", folder);
  }
};

TEST_F(InstallTest, InstallFolderAndShortcutNames) {
  EXPECT_EQ(GetInstallFolder(), "C:\\Program Files\\Tavishore 32");
  SetInstallFolder("D:\\Apps\\T32\\");
  EXPECT_EQ(GetInstallFolder(), "D:\\Apps\\T32");
  EXPECT_EQ(InstalledProgramFile(), "D:\\Apps\\T32\\Tavishore 32.Exe");
  struct {
    TShortcutKind kind;
    const char* file;
    int show;
    const char* arguments;
  } cases[] = {{skDesktop, "F:\\Desk\\Tavishore 32.lnk", 1, ""},
               {skStartMenu, "F:\\Desk\\Tavishore 32.lnk", 1, ""},
               {skTaskTray, "F:\\Desk\\Tavishore 32 (task tray).lnk", 7, "/tasktray"},
               {skTaskBar, "F:\\Desk\\Tavishore 32.lnk", 7, ""},
               {skQuickLaunch, "F:\\Desk\\Tavishore 32.lnk", 1, ""}};
  for (auto& c : cases) {
    EXPECT_EQ(ShortcutFileIn("F:\\Desk", c.kind), c.file);
    EXPECT_EQ(Shortcuts[c.kind].ShowCommand, c.show);
    EXPECT_STREQ(Shortcuts[c.kind].Arguments, c.arguments);
  }
  EXPECT_EQ(ShortcutFileIn("", skQuickLaunch), "");
  EXPECT_EQ(Shortcuts[skDesktop].Folder, 0);
  EXPECT_EQ(Shortcuts[skStartMenu].Folder, 11);
  EXPECT_EQ(Shortcuts[skTaskTray].Folder, 7);
}

TEST_F(InstallTest, OnlyTheRegisteredFolderCountsAsInstalled) {
  EXPECT_FALSE(IsInstalledFolder("C:\\Program Files\\Tavishore 32"));
  RegisterInstalledTo("C:\\Program Files\\Tavishore 32");
  struct {
    const char* folder;
    bool installed;
  } cases[] = {{"C:\\Program Files\\Tavishore 32", true},
               {"c:\\program files\\TAVISHORE 32\\", true},
               {"C:\\Users\\me\\Downloads", false},
               {"C:\\Program Files", false},
               {"", false}};
  for (auto& c : cases) EXPECT_EQ(IsInstalledFolder(c.folder), c.installed) << c.folder;
}

TEST_F(InstallTest, UninstallListHoldsOnlyFilesDirectlyInTheFolders) {
  fs::path dir = testsupport::ScratchDir("install_list");
  for (const char* name :
       {"Tavishore 32.Exe", "Tavishore 32.ini", "Doc/t51g.htm", "Doc/a.gif", "Extra/keep.txt"}) {
    fs::create_directories((dir / name).parent_path());
    testsupport::WriteFile(dir / name, {1, 2});
  }
  const std::string folder = Utf8(dir);
  std::vector<std::string> lines = UninstallList("C:\\WINDOWS", folder + "\\");
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "DC:\\WINDOWS\\Tavishore 32.scr");
  std::sort(lines.begin() + 1, lines.begin() + 3);
  EXPECT_EQ(lines[1], "D" + folder + "\\Doc\\a.gif");
  EXPECT_EQ(lines[2], "D" + folder + "\\Doc\\t51g.htm");
  EXPECT_EQ(lines[3], "R" + folder + "\\Doc");
  std::sort(lines.begin() + 4, lines.begin() + 6);
  EXPECT_EQ(lines[4], "D" + folder + "\\Tavishore 32.Exe");
  EXPECT_EQ(lines[5], "D" + folder + "\\Tavishore 32.ini");
  EXPECT_EQ(lines[6], "R" + folder);
}

// The files it writes (copy, list, WININIT.INI) are checked on Windows paths by the Windows test.
TEST_F(InstallTest, PrepareUninstallRemovesWhatTheProgramPutIntoTheSystem) {
  const std::string app = "C:\\Apps\\Tavishore 32";
  const std::string program = app + "\\Tavishore 32.Exe";
  uint32_t none = 0;
  RegisterFileAssociations(program, false, none, 0x041);
  RegisterFileAssociations(program, true, none, 0);
  ASSERT_EQ(none, 0x041u);
  RegisterSoundEvent("Tavishore 32 bad file", "C:\\ding.wav");
  RegisterSoundEvent("Tavishore 32 end of slides", "C:\\end.wav");
  const std::string uninstallKey =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tavishore 32";
  RegWriteValue(tRegRoot::LocalMachine, uninstallKey, "DisplayName", "Tavishore 32");
  RegWriteDefault(tRegRoot::LocalMachine, ProductKey("Tavishore 32"), "32-bit version 5.10a");
  RegisterInstalledTo(app);
  int shortcutCalls = 0;
  fs::path dir = testsupport::ScratchDir("install_prepare");
  tUninstallFolders f{app, Utf8(dir / "win"), Utf8(dir / "temp")};
  PrepareUninstall(f, [&] {
    ++shortcutCalls;
    // The shortcuts go after the sound events and before the registry entries.
    EXPECT_EQ(
        RegReadValue(tRegRoot::CurrentUser, "AppEvents\\EventLabels\\Tavishore 32 bad file", ""),
        kRegNone);
    EXPECT_EQ(ReadInstalledVersion("Tavishore 32"), "32-bit version 5.10a");
  });
  EXPECT_EQ(shortcutCalls, 1);
  EXPECT_EQ(ClassesRead(".gif"), kRegNone);
  EXPECT_EQ(ClassesRead(".png"), kRegNone);
  EXPECT_EQ(
      RegReadValue(tRegRoot::CurrentUser, "AppEvents\\EventLabels\\Tavishore 32 end of slides", ""),
      kRegNone);
  EXPECT_FALSE(Platform().Registry().KeyExists(tRegRoot::LocalMachine, uninstallKey));
  EXPECT_EQ(ReadInstalledVersion("Tavishore 32"), "");
  EXPECT_EQ(RegisteredInstallFolder(), "");
}

TEST(Wininit, RenameLineGoesFirstInItsSection) {
  struct {
    const char* text;
    const char* want;
  } cases[] = {
      {"", "[Rename]\r\nNUL=C:\\T\\u.exe\r\n"},
      {"[Other]\r\nx=1", "[Other]\r\nx=1\r\n[Rename]\r\nNUL=C:\\T\\u.exe\r\n"},
      {"[rename]\nNUL=C:\\old.exe\n[Other]\n",
       "[rename]\r\nNUL=C:\\T\\u.exe\r\nNUL=C:\\old.exe\r\n[Other]\r\n"},
      {"; note\r\n  [RENAME]  \r\n\r\n", "; note\r\n  [RENAME]  \r\nNUL=C:\\T\\u.exe\r\n\r\n"},
  };
  for (auto& c : cases) EXPECT_EQ(WininitWithRename(c.text, "C:\\T\\u.exe"), c.want) << c.text;
}

TEST(Wininit, FileIsReplacedWhole) {
  fs::path dir = testsupport::ScratchDir("wininit");
  std::string file = Utf8(dir / "WININIT.INI");
  ASSERT_TRUE(AddWininitRename(file, "C:\\T\\u.exe"));
  ASSERT_TRUE(AddWininitRename(file, "C:\\T\\v.exe"));
  auto bytes = testsupport::ReadFile(dir / "WININIT.INI");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "[Rename]\r\nNUL=C:\\T\\v.exe\r\nNUL=C:\\T\\u.exe\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  // A folder in the file's place cannot be read: nothing is written.
  fs::create_directory(dir / "BLOCKED.INI");
  EXPECT_FALSE(AddWininitRename(Utf8(dir / "BLOCKED.INI"), "C:\\x"));
  EXPECT_TRUE(fs::is_directory(dir / "BLOCKED.INI"));
}

TEST(Uninstaller, CommandLineIsItsPathAndOurProcess) {
  EXPECT_EQ(UninstallerCommandLine("C:\\TEMP\\uninstal.exe", 4242), "C:\\TEMP\\uninstal.exe 4242");
}

}  // namespace
