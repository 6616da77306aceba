#include "foundation/cDirOutlineRules.h"

int OutlineInsertIndex(const std::vector<std::string>& children, const std::string& name) {
  if (children.empty()) return 0;
  if (name <= children.front()) return 0;
  const int count = static_cast<int>(children.size());
  if (name >= children.back()) return count;
  int low = 0, high = count - 1;  // children[low] < name <= children[high]
  while (high - low > 1) {
    int mid = low + (high - low) / 2;
    if (children[static_cast<size_t>(mid)] < name)
      low = mid;
    else
      high = mid;
  }
  return high;
}

std::string OutlineItemPath(const std::vector<std::string>& texts) {
  std::string path;
  for (size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) path += '\\';
    path += texts[i];
  }
  size_t doubled = path.find(":\\\\");
  if (doubled != std::string::npos) path.erase(doubled + 1, 1);
  return path;
}

std::vector<std::string> OutlinePathParts(const std::string& path) {
  std::string rest = path;
  if (rest.size() >= 2 && rest[1] == ':') rest.erase(0, 2);
  if (!rest.empty() && rest[0] == '\\') rest.erase(0, 1);
  std::vector<std::string> parts;
  size_t start = 0;
  while (start < rest.size()) {
    size_t end = rest.find('\\', start);
    if (end == std::string::npos) end = rest.size();
    if (end > start) parts.push_back(rest.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}
