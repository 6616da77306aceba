#include "foundation/cFileCtlPaths.h"

#include <algorithm>

#include "foundation/uFiles.h"

std::vector<std::pair<std::string, std::string>> ParseFilter(const std::string& filter) {
  std::vector<std::pair<std::string, std::string>> pairs;
  std::string s = filter;
  for (size_t bar = s.find('|'); bar != std::string::npos; bar = s.find('|')) {
    std::string text = s.substr(0, bar);
    s.erase(0, bar + 1);
    std::string mask;
    size_t next = s.find('|');
    if (next != std::string::npos) {
      mask = s.substr(0, next);
      s.erase(0, next + 1);
    } else {
      mask = s;
      s.clear();
    }
    pairs.emplace_back(text, mask);
  }
  return pairs;
}

namespace {
// Drops the first folder of a folder text ("\A\B\" to "\...\B\").
void CutFirstDirectory(std::string& s) {
  if (s == "\\") {
    s.clear();
    return;
  }
  bool root = !s.empty() && s[0] == '\\';
  if (root) s.erase(0, 1);
  if (s.compare(0, 4, "...\\") == 0) s.erase(0, 4);
  size_t p = s.find('\\');
  if (p != std::string::npos)
    s = "...\\" + s.substr(p + 1);
  else
    s.clear();
  if (root) s = "\\" + s;
}
}  // namespace

std::string MinimizePath(const std::string& path,
                         const std::function<int(const std::string&)>& width, int maxWidth) {
  std::string result = path;
  std::string folder = ExtractFilePath(path), name = ExtractFileName(path), drive;
  if (folder.size() >= 2 && folder[1] == ':') {
    drive = folder.substr(0, 2);
    folder.erase(0, 2);
  }
  while ((!folder.empty() || !drive.empty()) && width(result) > maxWidth) {
    if (folder == "\\...\\") {
      drive.clear();
      folder = "...\\";
    } else if (!folder.empty()) {
      CutFirstDirectory(folder);
    } else {
      drive.clear();
    }
    result = drive + folder + name;
  }
  return result;
}

namespace {
bool IsNetworkPath(const std::string& directory) {
  return directory.size() >= 2 && directory[0] == '\\' && directory[1] == '\\';
}

// "\\server\share\" of a network path (its first two names after the double backslash).
std::string NetworkRoot(const std::string& directory) {
  size_t server = directory.find('\\', 2);
  if (server == std::string::npos) return AddBackslash(directory);
  size_t share = directory.find('\\', server + 1);
  return share == std::string::npos ? directory + "\\" : directory.substr(0, share + 1);
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t p = text.find('\\'); p != std::string::npos; p = text.find('\\', start)) {
    parts.push_back(text.substr(start, p - start));
    start = p + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}
}  // namespace

std::vector<tDirRow> DirPathRows(const std::string& directory) {
  std::vector<tDirRow> rows;
  std::string rest = directory;
  bool network = IsNetworkPath(directory);
  if (network) {
    std::string root = NetworkRoot(directory);
    rows.push_back({root, drPath});
    rest = directory.size() > root.size() ? directory.substr(root.size()) : std::string();
    if (rest.empty()) {
      rows.back().Kind = drCurrent;
      return rows;
    }
  }
  if (!rest.empty() && rest.back() == '\\') {
    rows.push_back({rest, drCurrent});
    return rows;
  }
  std::vector<std::string> parts = Split(rest);
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string text = parts[i];
    if (i == 0 && !network) text += "\\";
    rows.push_back({text, i + 1 == parts.size() ? drCurrent : drPath});
  }
  return rows;
}

int DirRowIndent(const std::vector<tDirRow>& rows, int index, const std::string& directory) {
  if (index >= 0 && index < static_cast<int>(rows.size()) &&
      rows[static_cast<size_t>(index)].Kind == drSubfolder) {
    int slashes = static_cast<int>(std::count(directory.begin(), directory.end(), '\\'));
    return 4 * (slashes + 1) + 2;
  }
  return 4 * index + 2;
}

std::string DirItemPath(const std::vector<tDirRow>& rows, int index, const std::string& directory) {
  if (index < 0 || index >= static_cast<int>(rows.size())) return {};
  const tDirRow& row = rows[static_cast<size_t>(index)];
  if (row.Kind == drSubfolder) return JoinPath(directory, row.Text);
  if (row.Kind == drCurrent) return directory;
  if (IsNetworkPath(directory)) {
    std::string path = rows[0].Text;
    for (int i = 1; i <= index; ++i) path = JoinPath(path, rows[static_cast<size_t>(i)].Text);
    return index == 0 ? path : RemoveBackslash(path);
  }
  if (index == 0) return directory.substr(0, 1) + ":\\";
  // The folder up to (not including) its (index + 1)-th backslash.
  size_t p = std::string::npos;
  for (int k = 0; k <= index; ++k) {
    p = directory.find('\\', p == std::string::npos ? 0 : p + 1);
    if (p == std::string::npos) return directory;
  }
  return directory.substr(0, p);
}

std::string VolumeText(const std::string& label, bool lowerCase) {
  std::string s = label;
  for (char& c : s) {
    if (lowerCase && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (!lowerCase && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return "[" + s + "]";
}

std::string DriveItemText(char letter, int driveType, const std::string& text) {
  std::string l(1, letter);
  switch (driveType) {
    case 2:
      return l + ":";
    case 3:
    case 4:
    case 5:
    case 6:
      return l + ": " + text;
  }
  return {};
}
