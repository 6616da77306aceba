// The separate uninstaller's work, apart from waiting for the program: reading its command line
// ("<its own path> <process id>", the path unquoted and possibly with spaces) and its list
// ("uninstal.txt": lines of "D<file>" to delete and "R<folder>" to remove once empty), and
// carrying the list out in order.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct tUninstallerArguments {
  std::string Self;        // the path the uninstaller was started as ('' when not given)
  uint32_t ProcessId = 0;  // the process to wait for; 0 when none was given
};
tUninstallerArguments ParseUninstallerArguments(const std::string& commandLine);

struct tUninstallStep {
  char Command;  // 'D' delete the file, 'R' remove the empty folder
  std::string Path;
};
// The steps of the list in their order. Blank lines, unknown commands and paths that are not
// absolute are left out: a relative path would be taken from whatever folder the uninstaller
// happened to start in.
std::vector<tUninstallStep> ParseUninstallList(const std::string& text);

// Removes an empty folder; fails for a folder that still holds anything.
using tRemoveFolder = std::function<bool(const std::string& folder)>;
// Carries the steps out in order. What is already gone is skipped silently, and so is a folder
// that still holds something (a folder the user keeps files in stays). Returns the number of
// files that exist but could not be deleted (a program file still in use).
int CarryOutUninstallList(const std::vector<tUninstallStep>& steps,
                          const tRemoveFolder& removeFolder);
