#include "shell/uInstall.h"

#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"
#include "foundation/uRegistry.h"
#include "resources/uResStrings.h"

std::string InstallFolder;

void SetInstallFolder(const std::string& folder) { InstallFolder = RemoveBackslash(folder); }

std::string GetInstallFolder() {
  if (!InstallFolder.empty()) return InstallFolder;
  return WindowsDrive() + "Program Files" + "\\" + LoadResString(sProgramName);
}

std::string InstalledProgramFile() {
  return GetInstallFolder() + "\\" + LoadResString(sProgramName) + ".Exe";
}

const tShortcutInfo Shortcuts[kShortcutKinds] = {
    {0, ".lnk", 1, ""},                       // desktop
    {11, ".lnk", 1, ""},                      // Start menu
    {7, " (task tray).lnk", 7, "/tasktray"},  // Startup, as a tray icon
    {7, ".lnk", 7, ""},                       // Startup, on the task bar
    {-1, ".lnk", 1, ""},                      // Quick Launch
};

std::string ShortcutFileIn(const std::string& folder, TShortcutKind kind) {
  if (folder.empty()) return std::string();
  return AddBackslash(folder) + LoadResString(sProgramName) + Shortcuts[kind].Suffix;
}

std::string RegisteredInstallFolder() {
  std::string folder = RegReadValue(
      tRegRoot::LocalMachine, VersionKey(LoadResString(sProgramName), LoadResString(sVersionText)),
      "installed to");
  return folder == kRegNone ? std::string() : folder;
}

bool IsInstalledFolder(const std::string& folder) {
  std::string registered = RemoveBackslash(RegisteredInstallFolder());
  std::string mine = RemoveBackslash(folder);
  return !registered.empty() && !mine.empty() &&
         Platform().CompareTextLocale(registered, mine) == 0;
}

namespace {

// "D" for every file directly in the folder (no subfolders, no volume labels), then "R" for it.
void ListFolder(const std::string& folder, std::vector<std::string>& lines) {
  std::vector<tFoundItem> items;
  Platform().FindItems(AddBackslash(folder) + "*.*", items);
  for (const tFoundItem& item : items)
    if (!(item.Attributes & (8 | 16))) lines.push_back("D" + AddBackslash(folder) + item.Name);
  lines.push_back("R" + folder);
}

bool SameLineText(const std::string& line, const std::string& text) {
  size_t b = line.find_first_not_of(" \t");
  size_t e = line.find_last_not_of(" \t");
  if (b == std::string::npos) return false;
  return Platform().CompareTextLocale(line.substr(b, e - b + 1), text) == 0;
}

}  // namespace

std::vector<std::string> UninstallList(const std::string& windowsFolder,
                                       const std::string& installFolder) {
  std::vector<std::string> lines;
  lines.push_back("D" + AddBackslash(windowsFolder) + LoadResString(sProgramName) + ".scr");
  const std::string folder = RemoveBackslash(installFolder);
  ListFolder(folder + "\\Doc", lines);
  ListFolder(folder, lines);
  return lines;
}

std::string WininitWithRename(const std::string& text, const std::string& path) {
  std::vector<std::string> lines;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(pos, end - pos));
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
  }
  const std::string entry = "NUL=" + path;
  bool added = false;
  for (size_t i = 0; i < lines.size() && !added; ++i) {
    if (SameLineText(lines[i], "[Rename]")) {
      lines.insert(lines.begin() + static_cast<ptrdiff_t>(i) + 1, entry);
      added = true;
    }
  }
  if (!added) {
    lines.push_back("[Rename]");
    lines.push_back(entry);
  }
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

bool AddWininitRename(const std::string& wininitFile, const std::string& path) {
  std::string text;
  if (Platform().ItemAttributes(wininitFile) != kNoFileAttributes) {
    auto in = TFileStream::Open(wininitFile, TFileStream::fmOpenRead);
    // Renames the system still has to do must not be lost to a file read in part.
    if (!in || !ReadWholeStream(*in, text)) return false;
  }
  const std::string newFile = Format("%s.%u.new", {wininitFile, Platform().ProcessId()});
  if (!SaveStringToFile(WininitWithRename(text, path), newFile) ||
      !Platform().ReplaceFile(newFile, wininitFile)) {
    Platform().RemoveFile(newFile);
    return false;
  }
  return true;
}

std::string PrepareUninstall(const tUninstallFolders& folders,
                             const std::function<void()>& removeShortcuts) {
  const std::string name = LoadResString(sProgramName);
  const std::string program = RemoveBackslash(folders.Install) + "\\" + name + ".Exe";
  uint32_t associated = 0;
  RegisterFileAssociations(program, true, associated, 0);
  RegisterFileAssociations(program, false, associated, 0);
  for (int event = sSoundBadFile; event <= sSoundEndOfSlides; ++event)
    RegisterSoundEvent(LoadResString(event), "");
  if (removeShortcuts) removeShortcuts();
  RemoveInstallEntries(name, LoadResString(sVersionText));

  CreateDirectoryPath(RemoveBackslash(folders.Temp));
  const std::string copy = AddBackslash(folders.Temp) + "uninstal.exe";
  bool copied =
      CopyFileFromStart(AddBackslash(folders.Install) + "uninstall.exe", copy, nullptr) == kCopyOK;
  std::string list;
  for (const std::string& line : UninstallList(folders.Windows, folders.Install))
    list += line + "\r\n";
  SaveStringToFile(list, AddBackslash(folders.Temp) + "uninstal.txt");
  AddWininitRename(AddBackslash(folders.Windows) + "WININIT.INI", copy);
  return copied ? copy : std::string();
}

std::string UninstallerCommandLine(const std::string& uninstaller, uint32_t processId) {
  return Format("%s %d", {uninstaller, processId});
}
