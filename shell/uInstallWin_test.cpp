// Shortcuts made and read back through the shell's link interface, and the uninstall on Wine's
// registry and files: refused outside the installed folder, otherwise ended by starting a
// stand-in uninstaller that records what it was given.
#include "shell/uInstallWin.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "foundation/DialogDriver_test.h"
#include "foundation/uFiles.h"
#include "foundation/uRegistry.h"
#include "framework/Text.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {

const char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tavishore 32";
const char kQuickLaunchKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\GrpConv\\MapGroups";

void Touch(const fs::path& p) {
  fs::create_directories(p.parent_path());
  testsupport::WriteFile(p, {'M', 'Z'});
}

std::string Slurp(const fs::path& p) {
  auto b = testsupport::ReadFile(p);
  return std::string(b.begin(), b.end());
}

fs::path ProgramFolder() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return fs::path(self).parent_path();
}

// Runs a command line and returns its exit code (-1 when it could not start).
int RunCommand(const std::string& command) {
  std::wstring line = Utf8ToWide(command);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &si, &pi))
    return -1;
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

int RegQuery(const std::string& key) {
  return RunCommand("reg query \"HKEY_LOCAL_MACHINE\\" + key + "\"");
}

void RegisterInstall(const std::string& folder) {
  const tRegRoot lm = tRegRoot::LocalMachine;
  RegWriteValue(lm, VersionKey("Tavishore 32", "32-bit version 5.10a"), "installed to", folder);
  RegWriteValue(lm, kUninstallKey, "DisplayName", "Tavishore 32");
  RegWriteValue(lm, kUninstallKey, "UninstallString", folder + "\\Tavishore 32.Exe /u");
  RegWriteDefault(lm, ProductKey("Tavishore 32"), "32-bit version 5.10a");
  RegWriteDefault(lm, ProductKey("Tavishore 32") + "\\shell\\open\\command",
                  "\"" + folder + "\\Tavishore 32.Exe\"");
}

struct tLink {
  std::string Path, Arguments, IconFile;
  int IconIndex = -1;
  int ShowCommand = -1;
};

tLink ReadLink(const std::string& file) {
  tLink out;
  CoInitialize(nullptr);
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* persist = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
    if (persist && SUCCEEDED(persist->Load(Utf8ToWide(file).c_str(), STGM_READ))) {
      wchar_t text[MAX_PATH] = {};
      link->GetPath(text, MAX_PATH, nullptr, 0);
      out.Path = WideToUtf8(text);
      link->GetArguments(text, MAX_PATH);
      out.Arguments = WideToUtf8(text);
      link->GetIconLocation(text, MAX_PATH, &out.IconIndex);
      out.IconFile = WideToUtf8(text);
    }
    if (persist) persist->Release();
    link->Release();
  }
  CoUninitialize();
  // The show command straight from the file's header (Wine's reader does not hand it back).
  std::vector<uint8_t> bytes = testsupport::ReadFile(Utf8ToWide(file));
  if (bytes.size() >= 0x40) out.ShowCommand = bytes[0x3C];
  return out;
}

}  // namespace

TEST(Install, ShortcutsAreMadeReadBackAndRemoved) {
  fs::path dir = testsupport::ScratchDir("install_shortcuts");
  Touch(dir / "app" / "Tavishore 32.Exe");
  SetInstallFolder(WideToUtf8((dir / "app").wstring()));
  const std::string program = InstalledProgramFile();
  // Without a Quick Launch folder that shortcut is neither made nor looked for.
  RegWriteValue(tRegRoot::CurrentUser, kQuickLaunchKey, "Quick Launch", kRegNone);
  EXPECT_EQ(ShortcutFile(skQuickLaunch), "");
  EXPECT_FALSE(CreateProgramShortcut(skQuickLaunch));
  EXPECT_FALSE(ShortcutExists(skQuickLaunch));
  fs::create_directories(dir / "quick");
  RegWriteValue(tRegRoot::CurrentUser, kQuickLaunchKey, "Quick Launch",
                WideToUtf8((dir / "quick").wstring()));

  for (int k = 0; k < kShortcutKinds; ++k) {
    auto kind = static_cast<TShortcutKind>(k);
    const std::string file = ShortcutFile(kind);
    ASSERT_FALSE(file.empty()) << k;
    RemoveShortcut(kind);
    EXPECT_FALSE(ShortcutExists(kind)) << file;
    ASSERT_TRUE(CreateProgramShortcut(kind)) << file;
    EXPECT_TRUE(ShortcutExists(kind)) << file;
    tLink link = ReadLink(file);
    EXPECT_EQ(link.Path, program) << file;
    EXPECT_EQ(link.Arguments, Shortcuts[k].Arguments) << file;
    EXPECT_EQ(link.IconFile, program) << file;
    EXPECT_EQ(link.IconIndex, 0) << file;
    EXPECT_EQ(link.ShowCommand, Shortcuts[k].ShowCommand) << file;
    RemoveShortcut(kind);
    EXPECT_FALSE(ShortcutExists(kind)) << file;
  }
  EXPECT_EQ(ShortcutFile(skQuickLaunch),
            WideToUtf8((dir / "quick" / "Tavishore 32.lnk").wstring()));
  EXPECT_NE(ShortcutFile(skTaskTray).find("Tavishore 32 (task tray).lnk"), std::string::npos);
  RegWriteValue(tRegRoot::CurrentUser, kQuickLaunchKey, "Quick Launch", kRegNone);
  SetInstallFolder("");
}

TEST(Install, UninstallIsRefusedOutsideTheInstalledFolder) {
  fs::path dir = testsupport::ScratchDir("install_refused");
  Touch(dir / "Downloads" / "Tavishore 32.Exe");
  Touch(dir / "Downloads" / "uninstall.exe");
  Touch(dir / "Downloads" / "holiday.jpg");
  RegisterInstall("C:\\Program Files\\Tavishore 32");
  ASSERT_EQ(RegQuery(kUninstallKey), 0);
  tUninstallFolders f{WideToUtf8((dir / "Downloads").wstring()),
                      WideToUtf8((dir / "win").wstring()), WideToUtf8((dir / "temp").wstring())};
  EXPECT_EQ(RunUninstall(f), urRefused);
  EXPECT_EQ(RegQuery(kUninstallKey), 0);
  EXPECT_FALSE(fs::exists(dir / "temp"));
  EXPECT_FALSE(fs::exists(dir / "win"));
  EXPECT_TRUE(fs::exists(dir / "Downloads" / "holiday.jpg"));
  RemoveInstallEntries("Tavishore 32", "32-bit version 5.10a");
}

BOOL CALLBACK CollectText(HWND h, LPARAM p) {
  *reinterpret_cast<std::string*>(p) += dialogtest::WindowText(h) + "\n";
  return TRUE;
}

TEST(Install, RefusalIsToldInAMessageBoxAndTheProgramGoesOn) {
  fs::path dir = testsupport::ScratchDir("install_refusal_box");
  Touch(dir / "Desktop" / "Tavishore 32.Exe");
  RegisterInstall("C:\\Program Files\\Tavishore 32");
  std::string shown;
  dialogtest::TDriver driver;
  driver
      .Then([&] {
        HWND box = dialogtest::FindForm("Error");
        if (!box) return false;
        EnumChildWindows(box, &CollectText, reinterpret_cast<LPARAM>(&shown));
        dialogtest::Pump();
        dialogtest::Screenshot(box, "uninstall-refused");
        return true;
      })
      .Then([] { return dialogtest::PressButton("Error", "OK"); });
  driver.Start();
  Uninstall(WideToUtf8((dir / "Desktop").wstring()) + "\\", false);
  EXPECT_TRUE(driver.Finished() && !driver.TimedOut());
  EXPECT_NE(shown.find("is not the installed one, so nothing was uninstalled. Uninstall the copy "
                       "in C:\\Program Files\\Tavishore 32."),
            std::string::npos)
      << shown;
  EXPECT_EQ(RegQuery(kUninstallKey), 0);
  RemoveInstallEntries("Tavishore 32", "32-bit version 5.10a");
}

TEST(Install, UninstallStartsTheUninstallerWithItsListAndOurProcess) {
  fs::path dir = testsupport::ScratchDir("install_uninstall");
  Touch(dir / "app" / "Tavishore 32.Exe");
  Touch(dir / "app" / "Doc" / "guide.htm");
  fs::create_directories(dir / "win");
  ASSERT_TRUE(
      fs::copy_file(ProgramFolder() / "uninstall_standin.exe", dir / "app" / "uninstall.exe"));
  const std::string app = WideToUtf8((dir / "app").wstring());
  RegisterInstall(app);
  ASSERT_EQ(RegQuery(kUninstallKey), 0);
  tUninstallFolders f{app, WideToUtf8((dir / "win").wstring()),
                      WideToUtf8((dir / "temp").wstring())};
  HANDLE process = nullptr;
  ASSERT_EQ(RunUninstall(f, &process), urStarted);
  ASSERT_EQ(WaitForSingleObject(process, 60000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  EXPECT_EQ(code, 0u);

  const std::string copy = f.Temp + "\\uninstal.exe";
  EXPECT_EQ(Slurp(dir / "temp" / "uninstal.exe.args"),
            copy + " " + std::to_string(GetCurrentProcessId()));
  std::string list = Slurp(dir / "temp" / "uninstal.txt");
  EXPECT_EQ(
      list.rfind("D" + f.Windows + "\\Tavishore 32.scr\r\nD" + app + "\\Doc\\guide.htm\r\n", 0),
      0u);
  EXPECT_NE(list.find("D" + app + "\\uninstall.exe\r\n"), std::string::npos);
  EXPECT_NE(list.find("R" + app + "\r\n"), std::string::npos);
  EXPECT_EQ(Slurp(dir / "win" / "WININIT.INI"), "[Rename]\r\nNUL=" + copy + "\r\n");
  // The registry entries are gone, as reg.exe sees them.
  EXPECT_NE(RegQuery(kUninstallKey), 0);
  EXPECT_NE(RegQuery(ProductKey("Tavishore 32")), 0);
  // The program's own files are left for the uninstaller.
  EXPECT_TRUE(fs::exists(dir / "app" / "Tavishore 32.Exe"));
}

namespace {
struct tWindowSearch {
  DWORD process;
  std::wstring caption;
  HWND found = nullptr;
};

BOOL CALLBACK MatchProcessWindow(HWND h, LPARAM p) {
  auto* s = reinterpret_cast<tWindowSearch*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid != s->process || !IsWindowVisible(h)) return TRUE;
  wchar_t caption[256] = {};
  GetWindowTextW(h, caption, 256);
  if (s->caption != caption) return TRUE;
  s->found = h;
  return FALSE;
}

// Waits for the condition, at most the time; true when it came.
bool WaitUntil(const std::function<bool()>& done, int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 100) {
    if (done()) return true;
    Sleep(100);
  }
  return done();
}
}  // namespace

// "/u" from start to end: the installed program (copied into a scratch install folder with
// spaces in its path) is confirmed, removes itself from the system, hands over to the real
// uninstaller and ends; the uninstaller waits for it, then deletes the program's files and the
// "Doc" folder. The folder the user keeps pictures in stays, and so the install folder with it.
TEST(Install, SlashUDeletesTheInstalledProgramThroughTheUninstaller) {
  fs::path dir = testsupport::ScratchDir("install_slash_u");
  const fs::path app = dir / "Program Files" / "Tavishore 32";
  const fs::path temp = dir / "temp";
  fs::create_directories(app / "Doc");
  fs::create_directories(app / "Pictures");
  fs::create_directories(temp);
  ASSERT_TRUE(fs::copy_file(ProgramFolder() / "Tavishore32.exe", app / "Tavishore 32.Exe"));
  ASSERT_TRUE(fs::copy_file(ProgramFolder() / "uninstall.exe", app / "uninstall.exe"));
  Touch(app / "Tavishore 32.ini");
  Touch(app / "Doc" / "guide page.htm");
  Touch(app / "Doc" / "t51g.gif");
  Touch(app / "Pictures" / "holiday.jpg");
  RegisterInstall(WideToUtf8(app.wstring()));

  // The program's temporary folder is the scratch one, so the uninstaller's copy lands there.
  wchar_t savedTmp[MAX_PATH] = {}, savedTemp[MAX_PATH] = {};
  GetEnvironmentVariableW(L"TMP", savedTmp, MAX_PATH);
  GetEnvironmentVariableW(L"TEMP", savedTemp, MAX_PATH);
  SetEnvironmentVariableW(L"TMP", temp.wstring().c_str());
  SetEnvironmentVariableW(L"TEMP", temp.wstring().c_str());
  std::wstring line = L"\"" + (app / "Tavishore 32.Exe").wstring() + L"\" /u";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      app.wstring().c_str(), &si, &pi) != 0;
  SetEnvironmentVariableW(L"TMP", savedTmp);
  SetEnvironmentVariableW(L"TEMP", savedTemp);
  ASSERT_TRUE(started);
  CloseHandle(pi.hThread);
  tWindowSearch confirm{pi.dwProcessId, L"Confirm"};
  EXPECT_TRUE(WaitUntil(
      [&] {
        EnumWindows(&MatchProcessWindow, reinterpret_cast<LPARAM>(&confirm));
        return confirm.found != nullptr;
      },
      60000));
  if (HWND ok = confirm.found ? dialogtest::FindChild(confirm.found, L"Button", "OK") : nullptr)
    PostMessageW(ok, BM_CLICK, 0, 0);
  const bool ended = WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(pi.hProcess, 9);
  CloseHandle(pi.hProcess);
  ASSERT_TRUE(ended);

  // The uninstaller deletes its list last.
  EXPECT_TRUE(fs::exists(temp / "uninstal.exe"));
  EXPECT_TRUE(WaitUntil([&] { return !fs::exists(temp / "uninstal.txt"); }, 60000));
  std::vector<std::string> left;
  for (auto& e : fs::recursive_directory_iterator(dir / "Program Files"))
    left.push_back(WideToUtf8(fs::relative(e.path(), dir).wstring()));
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"Program Files\\Tavishore 32",
                                            "Program Files\\Tavishore 32\\Pictures",
                                            "Program Files\\Tavishore 32\\Pictures\\holiday.jpg"}));
  EXPECT_NE(RegQuery(kUninstallKey), 0);
  // With the user's folder gone, the uninstaller run again by hand takes the install folder too.
  fs::remove_all(app / "Pictures");
  const std::string again = "R" + WideToUtf8(app.wstring()) + "\r\n";
  testsupport::WriteFile(temp / "uninstal.txt", std::vector<uint8_t>(again.begin(), again.end()));
  EXPECT_EQ(RunCommand("\"" + WideToUtf8((temp / "uninstal.exe").wstring()) + "\""), 0);
  EXPECT_FALSE(fs::exists(app));
}
