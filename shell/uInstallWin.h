// The program's shortcuts through the shell's link interface, and the uninstall that ends with
// starting the separate uninstaller.
#pragma once
#include <windows.h>

#include <string>

#include "shell/uInstall.h"

// The shortcut's file; '' when the system has no such folder (Quick Launch on many systems).
std::string ShortcutFile(TShortcutKind kind);
bool ShortcutExists(TShortcutKind kind);
// To the installed program file, with its icon 0, the kind's arguments and show command.
bool CreateProgramShortcut(TShortcutKind kind);
// Deletes the shortcut file; failures are ignored.
void RemoveShortcut(TShortcutKind kind);
// The five shortcuts, then "Uninstall.lnk" and the program's shortcut in the programs group,
// and the group's folder.
void RemoveAllShortcuts();

enum TUninstallResult {
  urRefused,        // the folder is not the installed one: nothing was changed
  urNoUninstaller,  // everything removed and listed, but there was no uninstaller to start
  urStarted,
};
// The uninstall for the program's folder; with urStarted, *process (when given) receives the
// uninstaller's process handle, to be closed by the caller.
TUninstallResult RunUninstall(const tUninstallFolders& folders, HANDLE* process = nullptr);
// The uninstall of the running program's folder, as "/u" asks after the user confirmed: a
// refusal is told in a message box and returns; otherwise the program ends here.
void Uninstall(const std::string& programFolder, bool messageSounds);
