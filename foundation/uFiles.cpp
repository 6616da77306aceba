#include "foundation/uFiles.h"

#include <cctype>
#include <cstdio>
#include <stdexcept>

#include "foundation/uLocaleText.h"
#include "foundation/uPlatform.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsFree(const std::string& path) {
  return Platform().ItemAttributes(path) == kNoFileAttributes;
}

// The first item a directory search finds for the path.
bool FindFirstItem(const std::string& path, tFoundItem& item) {
  std::vector<tFoundItem> items;
  if (!Platform().FindItems(path, items) || items.empty()) return false;
  item = items.front();
  return true;
}

void ForceDirectories(std::string path) {
  if (!path.empty() && IsSeparator(path.back())) path.pop_back();
  if (path.size() < 3 || IsDirectory(path)) return;
  const std::string parent = ExtractFilePath(path);
  if (parent != path) ForceDirectories(parent);
  Platform().MakeFolder(path);
}

}  // namespace

std::string AddBackslash(const std::string& path) {
  if (path.empty() || path.back() == '\\') return path;
  return path + "\\";
}

std::string RemoveBackslash(const std::string& path) {
  if (path.size() > 3 && path.back() == '\\') return path.substr(0, path.size() - 1);
  return path;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
  return folder + "\\" + name;
}

std::string ExtractFilePath(const std::string& path) {
  size_t cut = path.size();
  while (cut > 0 && !IsSeparator(path[cut - 1]) && path[cut - 1] != ':') --cut;
  return path.substr(0, cut);
}

std::string ExtractFileName(const std::string& path) {
  return path.substr(ExtractFilePath(path).size());
}

std::string ExtractFileExt(const std::string& path) {
  const std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

void ExpandFolderList(std::vector<std::string>& list) {
  if (list.empty()) return;
  const std::string folder = AddBackslash(list.front());
  list.erase(list.begin());
  for (std::string& line : list) line = folder + line;
}

bool FolderExists(const std::string& path) {
  const std::string p = RemoveBackslash(path);
  // A drive root is taken as present without asking the drive; anything else must be a real
  // folder (a wildcard name is no folder).
  if (p.size() == 3 && p[1] == ':' && IsSeparator(p[2])) return true;
  return IsDirectory(p);
}

bool IsDirectory(const std::string& path) {
  const uint32_t attributes = Platform().ItemAttributes(path);
  return attributes != kNoFileAttributes && (attributes & 16) != 0;
}

void CreateDirectoryPath(const std::string& path) {
  if (path.empty()) throw std::runtime_error("Unable to create directory");
  ForceDirectories(path);
}

std::string WindowsDirectory() { return Platform().WindowsFolder(); }

std::string WindowsDrive() { return WindowsDirectory().substr(0, 3); }

std::string TempDirectory() {
  const std::string temp = Platform().EnvVariable("TEMP");
  return temp.empty() ? AddBackslash(WindowsDirectory()) + "TEMP" : temp;
}

std::string FindAssociatedProgram(const std::string& path) {
  return Platform().AssociatedProgram(path);
}

std::string NewFolderName(const std::string& folder) {
  for (int64_t n = 1;; ++n) {
    const std::string candidate =
        n < 2 ? std::string("New Folder") : "New Folder (" + std::to_string(n) + ")";
    if (IsFree(AddBackslash(folder) + candidate)) return candidate;
  }
}

std::string UniqueFileName(const std::string& path) {
  const std::string folder = ExtractFilePath(path);
  const std::string name = ExtractFileName(path);
  const std::string extension = ExtractFileExt(name);
  std::string base = name.substr(0, name.size() - extension.size());
  int64_t n = 1;
  if (!base.empty() && base.back() == ')') {
    size_t first = base.size() - 1;  // index of the first digit before ")"
    while (first > 0 && std::isdigit(static_cast<unsigned char>(base[first - 1]))) --first;
    const size_t digits = base.size() - 1 - first;
    // "(" at position 2 or later, at least one digit, a number that fits.
    if (digits > 0 && digits <= 9 && first >= 2 && base[first - 1] == '(') {
      n = std::stoll(base.substr(first, digits));
      base.resize(first - 1);
      while (!base.empty() && static_cast<unsigned char>(base.back()) <= ' ') base.pop_back();
    }
  }
  for (;; ++n) {
    const std::string candidate =
        folder + (n < 2 ? base : base + " (" + std::to_string(n) + ")") + extension;
    if (IsFree(candidate)) return candidate;
  }
}

std::string Unique83FileName(const std::string& path, const std::string& extension) {
  const std::string folder = ExtractFilePath(path);
  std::string name = ExtractFileName(path);
  name = name.substr(0, name.find('.'));
  if (IsFree(folder + name + extension)) return folder + name + extension;
  for (int64_t counter = 0;; ++counter) {
    const std::string digits = std::to_string(counter);
    if (name.size() + digits.size() > 8) name.resize(digits.size() < 8 ? 8 - digits.size() : 0);
    const std::string candidate = folder + name + digits + extension;
    if (IsFree(candidate)) return candidate;
  }
}

int64_t FileSizeOf(const std::string& path) {
  tFoundItem item;
  return FindFirstItem(path, item) ? item.Size : 0;
}

int64_t FileAge(const std::string& path) {
  tFoundItem item;
  if (!FindFirstItem(path, item) || (item.Attributes & 16) != 0) return -1;
  return item.DosTime;
}

bool FileSetDate(const std::string& path, uint32_t dosTime) {
  return Platform().SetItemDosTime(path, dosTime);
}

bool IsRemovableDriveType(int driveType) { return driveType == 2 || driveType == 5; }

bool IsRemoteDriveType(int driveType) { return driveType == 4; }

bool GetDiskSpace(char driveLetter, uint64_t& freeBytes, uint64_t& totalBytes) {
  const std::string root =
      std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(driveLetter)))) +
      ":\\";
  uint64_t freeNow = 0, totalNow = 0;
  if (!Platform().DiskFreeBytes(root, freeNow, totalNow)) return false;
  freeBytes = freeNow;
  totalBytes = totalNow;
  return true;
}

bool GetDiskGeometry(const std::string& root, uint32_t& sectorsPerCluster, uint32_t& bytesPerSector,
                     uint32_t& freeClusters, uint32_t& totalClusters) {
  uint32_t spc = 0, bps = 0, freeC = 0, totalC = 0;
  if (!Platform().DiskClusters(root, spc, bps, freeC, totalC)) return false;
  sectorsPerCluster = spc;
  bytesPerSector = bps;
  freeClusters = freeC;
  totalClusters = totalC;
  return true;
}

void tStopwatch::Start() { StartTime = Platform().Now(); }

void tStopwatch::Stop() { StopTime = Platform().Now(); }

TDateTime tStopwatch::Elapsed() const { return StopTime - StartTime; }

std::string tStopwatch::TimeText(int which) const {
  const TDateTime value = which == 0 ? StartTime : which == 1 ? Elapsed() : StopTime;
  const int32_t ms = TimeOfDayMs(value);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", ms / 3600000, ms / 60000 % 60,
                ms / 1000 % 60, ms % 1000);
  return text;
}
