#include "shell/uUninstaller.h"

#include <cctype>

#include "foundation/uPlatform.h"

namespace {

bool IsAbsolutePath(const std::string& path) {
  if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
      (path[2] == '\\' || path[2] == '/'))
    return true;
  if (path.rfind("\\\\", 0) == 0) return true;  // a network path
  return !path.empty() && path[0] == '/';
}

}  // namespace

tUninstallerArguments ParseUninstallerArguments(const std::string& commandLine) {
  tUninstallerArguments out;
  std::string line = commandLine;
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  // The process id is the last word; the path is everything before it.
  const size_t space = line.find_last_of(" \t");
  std::string last = space == std::string::npos ? line : line.substr(space + 1);
  bool isNumber = !last.empty() && last.size() <= 10;
  uint64_t id = 0;
  for (char c : last) {
    if (!std::isdigit(static_cast<unsigned char>(c))) isNumber = false;
    else id = id * 10 + static_cast<uint64_t>(c - '0');
  }
  if (isNumber && id <= 0xFFFFFFFFu && space != std::string::npos) {
    out.ProcessId = static_cast<uint32_t>(id);
    line.resize(space);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  }
  size_t begin = line.find_first_not_of(" \t");
  line = begin == std::string::npos ? std::string() : line.substr(begin);
  // Started by hand, the path may come quoted.
  if (line.size() >= 2 && line.front() == '"' && line.back() == '"')
    line = line.substr(1, line.size() - 2);
  out.Self = line;
  return out;
}

std::vector<tUninstallStep> ParseUninstallList(const std::string& text) {
  std::vector<tUninstallStep> steps;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    if (line.size() < 2 || (line[0] != 'D' && line[0] != 'R')) continue;
    const std::string path = line.substr(1);
    if (IsAbsolutePath(path)) steps.push_back({line[0], path});
  }
  return steps;
}

int CarryOutUninstallList(const std::vector<tUninstallStep>& steps,
                          const tRemoveFolder& removeFolder) {
  tPlatform& platform = Platform();
  int left = 0;
  for (const tUninstallStep& step : steps) {
    const uint32_t attributes = platform.ItemAttributes(step.Path);
    if (attributes == kNoFileAttributes) continue;
    const bool folder = attributes & 16;
    if (step.Command == 'D' && !folder) {
      // A read-only file is the program's all the same.
      if (attributes & 1) platform.SetItemAttributes(step.Path, attributes & ~1u);
      if (!platform.RemoveFile(step.Path)) ++left;
    } else if (step.Command == 'R' && folder) {
      removeFolder(step.Path);
    }
  }
  return left;
}
