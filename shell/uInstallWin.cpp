#include "shell/uInstallWin.h"

#include "foundation/SoundMessageDialog.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"
#include "foundation/uRegistry.h"
#include "foundation/uShell.h"
#include "framework/Text.h"
#include "resources/uResStrings.h"

namespace {
constexpr int kProgramsFolder = 2;  // CSIDL_PROGRAMS

bool FileExists(const std::string& path) {
  uint32_t a = Platform().ItemAttributes(path);
  return a != kNoFileAttributes && !(a & 16);
}
}  // namespace

std::string ShortcutFile(TShortcutKind kind) {
  const int folder = Shortcuts[kind].Folder;
  return ShortcutFileIn(folder < 0 ? GetQuickLaunchFolder() : GetSpecialFolderPath(folder), kind);
}

bool ShortcutExists(TShortcutKind kind) {
  std::string file = ShortcutFile(kind);
  return !file.empty() && FileExists(file);
}

bool CreateProgramShortcut(TShortcutKind kind) {
  const std::string program = InstalledProgramFile();
  return CreateShortcut(ShortcutFile(kind), program, "", Shortcuts[kind].Arguments, "", program, 0,
                        Shortcuts[kind].ShowCommand, 0);
}

void RemoveShortcut(TShortcutKind kind) {
  std::string file = ShortcutFile(kind);
  if (!file.empty()) Platform().RemoveFile(file);
}

void RemoveAllShortcuts() {
  for (int kind = 0; kind < kShortcutKinds; ++kind)
    RemoveShortcut(static_cast<TShortcutKind>(kind));
  std::string programs = GetSpecialFolderPath(kProgramsFolder);
  if (programs.empty()) return;
  const std::string group = AddBackslash(programs) + LoadResString(sProgramName);
  Platform().RemoveFile(group + "\\Uninstall.lnk");
  Platform().RemoveFile(group + "\\" + LoadResString(sProgramName) + ".lnk");
  RemoveDirectoryW(Utf8ToWide(group).c_str());
}

TUninstallResult RunUninstall(const tUninstallFolders& folders, HANDLE* process) {
  if (!IsInstalledFolder(folders.Install)) return urRefused;
  SetInstallFolder(folders.Install);
  const std::string copy = PrepareUninstall(folders, RemoveAllShortcuts);
  if (copy.empty()) return urNoUninstaller;
  std::wstring command =
      Utf8ToWide(UninstallerCommandLine(copy, static_cast<uint32_t>(GetCurrentProcessId())));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE,
                      nullptr, nullptr, &startup, &info))
    return urNoUninstaller;
  CloseHandle(info.hThread);
  if (process)
    *process = info.hProcess;
  else
    CloseHandle(info.hProcess);
  return urStarted;
}

void Uninstall(const std::string& programFolder, bool messageSounds) {
  tUninstallFolders folders{RemoveBackslash(programFolder), Platform().WindowsFolder(),
                            TempDirectory()};
  if (RunUninstall(folders) == urRefused) {
    const std::string name = LoadResString(sProgramName);
    const std::string installed = RegisteredInstallFolder();
    std::string text =
        installed.empty()
            ? Format(
                  "This copy of %s (in %s) was not installed by its setup program, so nothing "
                  "was uninstalled.",
                  {name, folders.Install})
            : Format(
                  "This copy of %s (in %s) is not the installed one, so nothing was "
                  "uninstalled. Uninstall the copy in %s.",
                  {name, folders.Install, installed});
    SoundMessageDlg(text, mtError, MsgDlgButtons({mbOK}), messageSounds, 53);
    return;
  }
  // The uninstaller waits for this process to end before it deletes the program's files.
  ExitProcess(0);
}
