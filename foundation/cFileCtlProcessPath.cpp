#include "foundation/cFileCtlProcessPath.h"

#include <windows.h>

#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"
#include "framework/Text.h"

std::string ProcessDirectory() {
  DWORD n = GetCurrentDirectoryW(0, nullptr);
  std::wstring w(n, L'\0');
  DWORD got = GetCurrentDirectoryW(n, w.data());
  w.resize(got < n ? got : 0);
  return WideToUtf8(w);
}

bool SetProcessDirectory(const std::string& path) {
  return !path.empty() && SetCurrentDirectoryW(Utf8ToWide(path).c_str());
}

std::string ExtractFileDrive(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    size_t server = path.find('\\', 2);
    if (server == std::string::npos) return path;
    size_t share = path.find('\\', server + 1);
    return share == std::string::npos ? path : path.substr(0, share);
  }
  return {};
}

namespace {
bool IsPattern(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

bool IsFile(const std::string& name) {
  uint32_t a = Platform().ItemAttributes(name);
  return a != kNoFileAttributes && !(a & 16);
}
}  // namespace

void ProcessPath(const std::string& text, char& drive, std::string& folder, std::string& fileName) {
  const std::string saved = ProcessDirectory();
  drive = saved.empty() ? '\0' : saved[0];
  folder = text;
  std::string root;
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
    folder = text.substr(1, text.size() - 2);
  } else {
    root = ExtractFileDrive(folder);
    if (root.empty())
      root = ExtractFileDrive(saved);
    else
      folder.erase(0, root.size());
    drive = root.size() >= 2 && root[1] == ':' ? root[0] : '\0';
  }
  if (!root.empty()) SetProcessDirectory(root);
  fileName = ExtractFileName(folder);
  if (folder.size() == fileName.size() + 1) {
    folder.assign(1, '\\');
  } else if (folder.size() > fileName.size()) {
    folder.resize(folder.size() - fileName.size() - 1);
  } else {
    folder = ProcessDirectory();
    folder.erase(0, ExtractFileDrive(folder).size());
    if (folder.empty()) folder.assign(1, '\\');
  }
  if (!folder.empty()) SetProcessDirectory(folder);
  if (!fileName.empty() && !IsPattern(fileName) && !IsFile(fileName)) {
    SetProcessDirectory(fileName);
    folder += folder.back() == '\\' ? fileName : "\\" + fileName;
    fileName.clear();
  }
  if (drive == '\0') folder = root + folder;
  SetProcessDirectory(saved);
}
