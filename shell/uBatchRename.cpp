#include "shell/uBatchRename.h"

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uUtil.h"

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string TrimBoth(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::string TrimLeft(const std::string& text) {
  size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  return text.substr(first);
}

std::string TrimRight(const std::string& text) {
  size_t last = text.size();
  while (last > 0 && IsBlank(text[last - 1])) --last;
  return text.substr(0, last);
}

// Case of the ASCII letters; other characters stay as they are.
std::string ChangeCase(std::string text, bool upper) {
  for (char& c : text) {
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string WithoutExtension(const std::string& name) {
  return name.substr(0, name.size() - ExtractFileExt(name).size());
}

}  // namespace

std::string NormaliseExtension(const std::string& text, bool keepDot) {
  std::string ext = TrimBoth(text);
  if (ext.empty()) return ext;
  if (ext == ".") return keepDot ? ext : std::string();
  if (ext[0] != '.') ext.insert(ext.begin(), '.');
  return ext;
}

bool BatchNewName(const tBatchRenameParams& p, const std::string& oldName, int renamed,
                  std::string& newName) {
  switch (p.Page) {
    case rpCase:
      newName = ChangeCase(oldName, p.CaseIndex == 0);
      return true;
    case rpBase: {
      const std::string base = TrimBoth(p.Base);
      if (base.empty()) return false;
      newName = base + ExtractFileExt(oldName);
      return true;
    }
    case rpExtension:
      newName = WithoutExtension(oldName) + NormaliseExtension(p.Extension, false);
      return true;
    case rpReplace:
      if (p.Find.empty()) return false;
      newName = oldName;
      ReplaceAllText(newName, p.Find, p.Replace);
      return true;
    case rpSequence: {
      std::string ext = NormaliseExtension(p.SequenceExtension, true);
      if (ext.empty()) ext = ExtractFileExt(oldName);
      const std::string part1 = TrimLeft(p.Part1);
      const int digits = p.Digits < 1 ? 1 : (p.Digits > 8 ? 8 : p.Digits);
      const char* format = part1.empty() || p.LeadingZeros ? "%s%.*d%s%s" : "%s%*d%s%s";
      newName = Format(format, {part1, digits, p.Start + renamed, TrimRight(p.Part2), ext});
      return true;
    }
    default:
      return false;
  }
}

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 32) return false;
    switch (c) {
      case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
        return false;
      default:
        break;
    }
  }
  const char last = name.back();
  return last != ' ' && last != '.';
}

int RunBatchRename(const tBatchRenameParams& params, const std::vector<std::string>& names,
                   const tRenameFile& rename, const tRenamed& renamed) {
  int count = 0;
  for (const std::string& oldName : names) {
    std::string newName;
    if (!BatchNewName(params, oldName, count, newName)) continue;
    if (newName == oldName || !IsPlainFileName(newName)) continue;
    if (!rename(oldName, newName)) continue;
    ++count;
    if (renamed) renamed(oldName, newName);
  }
  return count;
}
