// The shell wrappers on Wine's shell: files copied, moved and recycled, shortcuts written and
// read back, special folders, and the sounds asked for (there is no sound device to hear them).
#include "foundation/uShell.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "foundation/uFiles.h"
#include "framework/Text.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {
void Touch(const fs::path& p, size_t size = 10) {
  testsupport::WriteFile(p, std::vector<uint8_t>(size, 'x'));
}
}  // namespace

TEST(Shell, OpenReportsTheShellsError) {
  std::string error;
  fs::path dir = testsupport::ScratchDir("shell_open");
  EXPECT_FALSE(ShellOpen((dir / "missing.gif").string(), error));
  EXPECT_TRUE(error == "ERROR_FILE_NOT_FOUND" || error == "SE_ERR_NOASSOC") << error;
}

TEST(Shell, CopyMoveAndRecycle) {
  fs::path dir = testsupport::ScratchDir("shell_files");
  fs::create_directory(dir / "to");
  Touch(dir / "a.gif", 5);
  Touch(dir / "b.gif", 6);
  // The names are taken as they are: full paths.
  std::vector<std::string> list{(dir / "a.gif").string(), (dir / "b.gif").string()};
  std::string to = (dir / "to").string();
  ASSERT_TRUE(CopyFiles("", &list, to, false));
  EXPECT_TRUE(fs::exists(dir / "to" / "a.gif"));
  EXPECT_TRUE(fs::exists(dir / "to" / "b.gif"));
  EXPECT_TRUE(fs::exists(dir / "a.gif"));
  // Renaming on a collision, to a new name given whole.
  ASSERT_TRUE(CopyFileRenaming((dir / "a.gif").string(), (dir / "copy.gif").string()));
  EXPECT_EQ(fs::file_size(dir / "copy.gif"), 5u);
  ASSERT_TRUE(MoveFiles((dir / "b.gif").string(), nullptr, (dir / "moved.gif").string(), true));
  EXPECT_FALSE(fs::exists(dir / "b.gif"));
  EXPECT_EQ(fs::file_size(dir / "moved.gif"), 6u);
  // Recycling on a fixed drive asks nothing (no dialog would let this return).
  EXPECT_EQ(NoConfirmFlag(dir.string()), 16u);
  EXPECT_EQ(DeleteFilesFlags((dir / "moved.gif").string(), nullptr, true), 64u + 16u);
  ASSERT_TRUE(DeleteFiles((dir / "moved.gif").string(), nullptr, true));
  EXPECT_FALSE(fs::exists(dir / "moved.gif"));
  EXPECT_NE(ShellFileOperation((dir / "none.gif").string(), nullptr, nullptr, kFofNoConfirmation,
                               kFoDelete),
            0);
}

// A network path keeps the shell's question: its first letter is no drive, and a share may
// delete for good. Also when only one name of a list lies there.
// Copies into a folder that holds items of the same names come beside them under new names
// (no question: a Yes to "replace" would copy a file onto itself); the originals stay whole.
TEST(Shell, RenamingOnACollisionCopiesBesideTheItem) {
  fs::path dir = testsupport::ScratchDir("shell_rename");
  Touch(dir / "a.gif", 5);
  Touch(dir / "b.gif", 7);
  fs::create_directories(dir / "sub" / "inner");
  Touch(dir / "sub" / "inner" / "c.txt", 3);
  std::vector<std::string> list{(dir / "a.gif").string(), (dir / "b.gif").string()};
  ASSERT_TRUE(CopyFiles("", &list, dir.string(), true));
  ASSERT_TRUE(CopyFiles((dir / "a.gif").string(), nullptr, dir.string() + "\\", true));
  EXPECT_EQ(fs::file_size(dir / "Copy of a.gif"), 5u);
  EXPECT_EQ(fs::file_size(dir / "Copy (2) of a.gif"), 5u);
  EXPECT_EQ(fs::file_size(dir / "Copy of b.gif"), 7u);
  EXPECT_EQ(fs::file_size(dir / "a.gif"), 5u);
  // A folder copied into its own parent; one moved onto a folder of its name elsewhere.
  ASSERT_TRUE(CopyFileRenaming((dir / "sub").string(), dir.string()));
  EXPECT_EQ(fs::file_size(dir / "Copy of sub" / "inner" / "c.txt"), 3u);
  fs::create_directories(dir / "to" / "sub");
  ASSERT_TRUE(MoveFileRenaming((dir / "sub").string(), (dir / "to").string(), false));
  EXPECT_FALSE(fs::exists(dir / "sub"));
  EXPECT_TRUE(fs::is_directory(dir / "to" / "sub"));
  EXPECT_EQ(fs::file_size(dir / "to" / "Copy of sub" / "inner" / "c.txt"), 3u);
}

TEST(Shell, RecyclingOnANetworkPathKeepsTheQuestion) {
  fs::path dir = testsupport::ScratchDir("shell_unc");
  const std::string local = (dir / "a.gif").string();
  const std::string remote = "\\\\tavis-nowhere\\pictures\\a.gif";
  EXPECT_EQ(PathDriveType(local), DRIVE_FIXED);
  EXPECT_NE(PathDriveType(remote), DRIVE_FIXED);
  EXPECT_EQ(NoConfirmFlag(remote), 0u);
  EXPECT_EQ(DeleteFilesFlags(remote, nullptr, true), 64u);
  std::vector<std::string> both{local, remote};
  EXPECT_EQ(DeleteFilesFlags("", &both, true), 64u);
  std::vector<std::string> locals{local, (dir / "b.gif").string()};
  EXPECT_EQ(DeleteFilesFlags("", &locals, true), 64u + 16u);
  EXPECT_EQ(DeleteFilesFlags(remote, nullptr, false), 0u);
}

namespace {
struct tDialogSearch {
  DWORD thread;
  HWND found;
};

BOOL CALLBACK FindQuestion(HWND w, LPARAM data) {
  auto* search = reinterpret_cast<tDialogSearch*>(data);
  wchar_t cls[16] = {};
  GetClassNameW(w, cls, 16);
  if (GetWindowThreadProcessId(w, nullptr) != search->thread || !IsWindowVisible(w) ||
      std::wstring(cls) != L"#32770")
    return TRUE;
  search->found = w;
  return FALSE;
}

// Answers the shell's first question on the thread with the button given.
std::thread AnswerFirstQuestion(DWORD thread, int button, std::atomic<bool>& answered) {
  return std::thread([thread, button, &answered] {
    for (int tries = 0; tries < 400 && !answered; ++tries) {
      tDialogSearch search{thread, nullptr};
      EnumWindows(FindQuestion, reinterpret_cast<LPARAM>(&search));
      if (search.found) {
        PostMessageW(search.found, WM_COMMAND, button, 0);
        answered = true;
        return;
      }
      Sleep(50);
    }
  });
}
}  // namespace

// Answering No or Cancel to the shell's question leaves the operation failed, not done.
TEST(Shell, DeclinedOperationFails) {
  fs::path dir = testsupport::ScratchDir("shell_declined");
  fs::create_directory(dir / "to");
  Touch(dir / "a.gif", 5);
  Touch(dir / "to" / "a.gif", 7);
  for (int button : {IDNO, IDCANCEL}) {
    std::atomic<bool> answered{false};
    std::thread answer = AnswerFirstQuestion(GetCurrentThreadId(), button, answered);
    bool copied = CopyFiles((dir / "a.gif").string(), nullptr, (dir / "to").string(), false);
    answered = true;
    answer.join();
    EXPECT_FALSE(copied) << button;
    EXPECT_EQ(fs::file_size(dir / "to" / "a.gif"), 7u) << button;
  }
}

TEST(Shell, ShortcutsReadBack) {
  fs::path dir = testsupport::ScratchDir("shell_links");
  Touch(dir / "Tavishore32.exe");
  std::string target = (dir / "Tavishore32.exe").string();
  struct {
    const char* link;
    int show;
    int shownAs;
  } cases[] = {{"viewer.tmp", SW_SHOWMAXIMIZED, SW_SHOWMAXIMIZED},
               {"other", 10, SW_SHOWNORMAL}};  // 10 or more: left at the default
  for (auto& c : cases) {
    ASSERT_TRUE(CreateShortcut((dir / c.link).string(), target, "Picture viewer", "/c",
                               dir.string(), target, 2, c.show, 0x0654));
    fs::path lnk = dir / (fs::path(c.link).stem().string() + ".lnk");
    ASSERT_TRUE(fs::exists(lnk)) << lnk;
    CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, reinterpret_cast<void**>(&link))));
    IPersistFile* file = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    ASSERT_TRUE(SUCCEEDED(file->Load(lnk.wstring().c_str(), STGM_READ)));
    wchar_t text[MAX_PATH] = {};
    link->GetPath(text, MAX_PATH, nullptr, 0);
    EXPECT_EQ(WideToUtf8(text), target);
    link->GetDescription(text, MAX_PATH);
    EXPECT_EQ(WideToUtf8(text), "Picture viewer");
    link->GetArguments(text, MAX_PATH);
    EXPECT_EQ(WideToUtf8(text), "/c");
    file->Release();
    link->Release();
    CoUninitialize();
    // Show command, hot key and icon index straight from the file's header (Wine's reader
    // does not hand the show command back).
    std::vector<uint8_t> bytes = testsupport::ReadFile(lnk);
    ASSERT_GE(bytes.size(), 0x4Cu);
    auto u32 = [&](size_t at) {
      return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t(bytes[at + 3]) << 24;
    };
    EXPECT_EQ(u32(0x38), 2u);
    EXPECT_EQ(int(u32(0x3C)), c.shownAs) << c.link;
    EXPECT_EQ(u32(0x40) & 0xFFFF, 0x0654u);
  }
  EXPECT_FALSE(CreateShortcut("", target, "", "", "", "", 0, 1, 0));
  EXPECT_FALSE(CreateShortcut((dir / "none").string(), "", "", "", "", "", 0, 1, 0));
  EXPECT_FALSE(fs::exists(dir / "none.lnk"));
}

TEST(Shell, SpecialFolders) {
  std::string appData = GetSpecialFolderPath(CSIDL_APPDATA);
  EXPECT_FALSE(appData.empty());
  EXPECT_TRUE(IsDirectory(appData)) << appData;
  EXPECT_FALSE(GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY).empty());
  EXPECT_EQ(GetSpecialFolderPath(0x7E), "");  // no such folder
}

// Sounds cannot be heard here: the player is replaced by a recorder, and the system's player is
// run once to show it returns without a device.
TEST(Shell, DialogSoundsAskedFor) {
  std::vector<std::string> asked;
  TDialogSoundPlayer old =
      SetDialogSoundPlayer([&](const std::string& name) { asked.push_back(name); });
  for (int type = 0; type <= 4; ++type) PlayDialogSound(true, type);
  PlayDialogSound(false, 1);
  EXPECT_EQ(asked, (std::vector<std::string>{"SystemExclamation", "SystemHand", "SystemAsterisk",
                                             "SystemQuestion"}));
  SetDialogSoundPlayer(old);
  PlayDialogSound(true, 0);
}
