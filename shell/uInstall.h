// Where the program is installed, its shortcut table, and the portable half of uninstalling:
// the check that the running copy is the installed one, the list of files and folders that the
// separate uninstaller deletes, and the rename entry that removes the uninstaller's own copy at
// the next system start.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The program's folder without a trailing backslash ('' until set).
extern std::string InstallFolder;
void SetInstallFolder(const std::string& folder);
// InstallFolder, or "<Windows drive>Program Files\<program name>" while it is empty.
std::string GetInstallFolder();
// The program file in the install folder: "<install folder>\<program name>.Exe".
std::string InstalledProgramFile();

enum TShortcutKind { skDesktop, skStartMenu, skTaskTray, skTaskBar, skQuickLaunch };
inline constexpr int kShortcutKinds = 5;
struct tShortcutInfo {
  int Folder;          // CSIDL of the folder; -1: the user's Quick Launch folder
  const char* Suffix;  // after the program name, with the extension
  int ShowCommand;     // SW_SHOWNORMAL 1, SW_SHOWMINNOACTIVE 7
  const char* Arguments;
};
extern const tShortcutInfo Shortcuts[kShortcutKinds];
// The shortcut's file in its folder; '' when there is no folder.
std::string ShortcutFileIn(const std::string& folder, TShortcutKind kind);

// The installed-to folder that the installer registered for this version; '' when none.
std::string RegisteredInstallFolder();
// True when the folder is the registered installed-to folder (case and a final backslash
// aside). Only then may the uninstaller be told to delete the folder's files: a copy run from
// elsewhere (the downloads folder, the desktop) would take the user's files with it.
bool IsInstalledFolder(const std::string& folder);

// The uninstaller's list, lines of "D<file>" (delete) and "R<folder>" (remove the empty
// folder): the screen saver in the Windows folder, then every file directly in the install
// folder's "Doc" subfolder and that folder, then every file directly in the install folder and
// the folder itself.
std::vector<std::string> UninstallList(const std::string& windowsFolder,
                                       const std::string& installFolder);

// The text of WININIT.INI with "NUL=<path>" as the first line of its "[Rename]" section (the
// section is added at the end when missing): the file is deleted at the next system start.
std::string WininitWithRename(const std::string& text, const std::string& path);
// Changes the file so: a new file is written beside it and renamed over it. False, with the
// file untouched, when it exists but cannot be read whole, or the new one cannot be written.
bool AddWininitRename(const std::string& wininitFile, const std::string& path);

// The uninstaller's command line: its own path and this process's identifier.
std::string UninstallerCommandLine(const std::string& uninstaller, uint32_t processId);

// The folders an uninstall works with.
struct tUninstallFolders {
  std::string Install;  // the program's folder
  std::string Windows;  // the screen saver and WININIT.INI are here
  std::string Temp;     // the uninstaller's copy and its list go here
};
// The uninstall up to starting the uninstaller, in order: drops the file associations and the
// sound events, removes the shortcuts (through the callback), the registry entries, copies
// "uninstall.exe" to the temporary folder as "uninstal.exe", writes "uninstal.txt" beside it
// and has the copy deleted at the next system start. Returns the copy's path; '' when it could
// not be copied (the list is written all the same). Only for the installed folder.
std::string PrepareUninstall(const tUninstallFolders& folders,
                             const std::function<void()>& removeShortcuts);
