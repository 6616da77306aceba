#include "foundation/uWildcard.h"

namespace {

char Fold(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// Iterative matching with one back-tracking point: linear in practice, never recursive.
bool Match(const std::string& pattern, const std::string& name) {
  size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool HasWildcard(const std::string& pattern) {
  return pattern.find_first_of("*?") != std::string::npos;
}

bool MatchesFilePattern(const std::string& pattern, const std::string& name) {
  const bool dotless = name.find('.') == std::string::npos;
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 && dotless &&
      Match(pattern.substr(0, pattern.size() - 2), name))
    return true;
  if (!pattern.empty() && pattern.back() == '.')
    return dotless && Match(pattern.substr(0, pattern.size() - 1), name);
  return Match(pattern, name);
}
