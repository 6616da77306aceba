#include "thumbnails/uScriptLibrary.h"

#include <algorithm>

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uIniFile.h"
#include "foundation/uPlatform.h"

namespace {

constexpr const char* kSection = "Scripts";

std::string Key(const char* name, int n) { return Format("%s %d", {name, n}); }

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

void ReadSettings(const TIniFile& ini, int n, bool withTitle, tScriptSettings& s) {
  if (withTitle) {
    s.Title = ini.ReadString(kSection, Key("Title", n), "?");
    s.Hidden = ini.ReadBool(kSection, Key("Hidden", n), false);
  }
  s.OriginalSize = ini.ReadBool(kSection, Key("Original size", n), true);
  s.Delay = ini.ReadInteger(kSection, Key("Delay", n), 20);
  s.Color = IniTextToColor(ini.ReadString(kSection, Key("Color", n), "000000"));
  s.Wallpaper = ini.ReadBool(kSection, Key("Wallpaper", n), false);
  s.Paper = ini.ReadString(kSection, Key("Paper", n), "");
}

void WriteSettings(TIniFile& ini, int n, const tScriptSettings& s) {
  ini.WriteString(kSection, Key("Title", n), s.Title);
  ini.WriteBool(kSection, Key("Hidden", n), s.Hidden);
  ini.WriteBool(kSection, Key("Original size", n), s.OriginalSize);
  ini.WriteInteger(kSection, Key("Delay", n), s.Delay);
  ini.WriteString(kSection, Key("Color", n), ColorToIniText(s.Color));
  ini.WriteBool(kSection, Key("Wallpaper", n), s.Wallpaper);
  ini.WriteString(kSection, Key("Paper", n), s.Paper);
}

std::vector<std::string> ReadLines(const TIniFile& file, const std::string& section) {
  std::vector<std::string> lines;
  for (int i = 1;; ++i) {
    std::string value = file.ReadString(section, Key("Line", i), "");
    if (value.empty()) break;
    lines.push_back(std::move(value));
  }
  return lines;
}

// A new lines file, complete before it replaces the old one; nothing of an old file is kept,
// so a shorter script never reads back stale lines after its own.
bool WriteLinesFile(const std::string& fileName, int n, const std::vector<std::string>& lines) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    TIniFile file(fileName);
    std::vector<std::string> sections;
    file.ReadSections(sections);
    for (const auto& s : sections) file.EraseSection(s);
    const std::string section = Key("Script", n);
    for (size_t i = 0; i < lines.size(); ++i)
      file.WriteString(section, Key("Line", static_cast<int>(i + 1)), lines[i]);
    if (file.UpdateFile()) return true;
    // An old file that cannot be read is not kept either: remove it and write anew.
    if (!Platform().RemoveFile(fileName)) return false;
  }
  return false;
}

void RemoveLinesFile(const std::string& fileName) {
  if (Platform().ItemAttributes(fileName) != kNoFileAttributes) Platform().RemoveFile(fileName);
}

}  // namespace

std::string ColorToIniText(uint32_t color) { return Format("%.6x", {color}); }

uint32_t IniTextToColor(const std::string& text) {
  int32_t value = 0;
  if (!IniTextToInt("$" + text, value)) return 0;
  return static_cast<uint32_t>(value);
}

std::string ScriptLinesFileName(const tVList& library, int n) {
  std::string digits = std::to_string(n);
  if (digits.size() < 5) digits.insert(0, 5 - digits.size(), '0');
  return ExtractFilePath(library.IniPath) + "Script " + digits + ".ini";
}

std::string ScriptEntryText(const std::string& title, int n) {
  return Format("%s [%d]", {title, n});
}

int ScriptEntryNumber(const std::string& entry) {
  const std::string text = Trimmed(entry);
  const auto blank = text.find_last_of(" \t");
  std::string word = blank == std::string::npos ? text : text.substr(blank + 1);
  word.erase(std::remove_if(word.begin(), word.end(), [](char c) { return c == '[' || c == ']'; }),
             word.end());
  if (word.empty() || word.size() > 9 ||
      !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return 0;
  return std::stoi(word);
}

std::vector<std::string> ReadScriptFileLines(const std::string& fileName) {
  TIniFile file(fileName);
  std::vector<std::string> sections;
  file.ReadSections(sections);
  if (sections.empty()) return {};
  return ReadLines(file, sections.front());
}

bool ScriptLibraryEntry(const tVList& library, tScriptMode mode, int number,
                        tScriptSettings& settings, int& other, std::vector<std::string>& lines) {
  TIniFile ini(library.IniPath);
  int32_t count = ini.ReadInteger(kSection, "Count", -1);
  const bool countMissing = count == -1;
  if (count < 0) count = 0;
  const bool validNumber = number > 0 && number < kScriptNumberLimit;

  switch (mode) {
    case smList: {
      lines.clear();
      other = 0;
      int listed = 0, skipped = 0;
      for (int n = 1; n < kScriptNumberLimit; ++n) {
        if (other != 0 && listed + skipped >= count) break;
        const std::string title = ini.ReadString(kSection, Key("Title", n), kFreeScriptTitle);
        if (title == kFreeScriptTitle) {
          if (other == 0) other = n;
          continue;
        }
        if (library.Restricted && ini.ReadBool(kSection, Key("Hidden", n), false)) {
          ++skipped;
        } else {
          lines.push_back(ScriptEntryText(title, n));
          ++listed;
        }
      }
      if (countMissing) {
        ini.WriteInteger(kSection, "Count", 0);
        return ini.UpdateFile();
      }
      return true;
    }
    case smRead:
    case smReadForShow:
      if (!validNumber) return false;
      ReadSettings(ini, number, mode == smRead, settings);
      lines = ReadLines(TIniFile(ScriptLinesFileName(library, number)), Key("Script", number));
      return true;
    case smWrite: {
      const std::string title = Trimmed(settings.Title);
      if (!validNumber || title.empty() || title == kFreeScriptTitle) return false;
      if (number != other) ++count;
      if (!WriteLinesFile(ScriptLinesFileName(library, number), number, lines)) return false;
      ini.WriteInteger(kSection, "Count", count);
      WriteSettings(ini, number, settings);
      return ini.UpdateFile();
    }
    case smDelete: {
      if (!validNumber) return false;
      ini.WriteInteger(kSection, "Count", std::max<int32_t>(0, count - 1));
      tScriptSettings freed;
      freed.Title = kFreeScriptTitle;
      WriteSettings(ini, number, freed);
      if (!ini.UpdateFile()) return false;
      RemoveLinesFile(ScriptLinesFileName(library, number));
      return true;
    }
  }
  return false;
}
