#include "foundation/uIniFile.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <system_error>

#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"

namespace {

std::filesystem::path PathOf(const std::string& name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

// A line break inside a name or value would turn the rest into lines of their own.
std::string OneLine(const std::string& s) {
  std::string out = s;
  std::replace(out.begin(), out.end(), '\r', ' ');
  std::replace(out.begin(), out.end(), '\n', ' ');
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Lower(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

}  // namespace

bool IniTextToInt(const std::string& text, int32_t& value) {
  size_t hex = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    hex = 2;
  else if (text.size() > 1 && text[0] == '$')
    hex = 1;
  if (hex) {
    if (text.size() - hex > 8) return false;
    uint32_t v = 0;
    for (size_t i = hex; i < text.size(); ++i) {
      int d = HexDigit(text[i]);
      if (d < 0) return false;
      v = v << 4 | static_cast<uint32_t>(d);
    }
    value = static_cast<int32_t>(v);
    return true;
  }
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i >= text.size()) return false;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > int64_t{INT32_MAX} + 1) return false;
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return false;
  value = static_cast<int32_t>(v);
  return true;
}

TIniFile::TIniFile(const std::string& fileName)
    : TIniFile(fileName, TFileStream::Open(fileName, TFileStream::fmOpenRead)) {}

TIniFile::TIniFile(const std::string& fileName, std::unique_ptr<TStream> source)
    : fileName_(fileName) {
  Load(source.get());
}

TIniFile::~TIniFile() = default;

void TIniFile::Load(TStream* file) {
  if (!file) {
    std::error_code ec;
    unreadable_ = std::filesystem::exists(PathOf(fileName_), ec);
    return;
  }
  std::string text;
  if (!ReadWholeStream(*file, text)) {
    // Part of a file is no file: nothing of it is used and it is never written back.
    unreadable_ = true;
    return;
  }
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);

  tSection* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;

    std::string t = Trim(line);
    if (!t.empty() && t[0] == '[') {
      size_t close = t.find(']');
      std::string name =
          Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      // A section that appears twice is one section: its later keys join the first.
      current = FindSection(name);
      if (!current) {
        sections_.push_back(tSection{name, {}, true});
        current = &sections_.back();
      }
      continue;
    }
    if (!current) {
      preamble_.push_back(line);
      continue;
    }
    tEntry e;
    size_t eq = t.find('=');
    if (!t.empty() && t[0] != ';' && eq != std::string::npos && eq > 0) {
      e.isKey = true;
      e.key = Trim(t.substr(0, eq));
      e.value = Trim(t.substr(eq + 1));
    } else {
      e.raw = line;
    }
    current->entries.push_back(std::move(e));
  }
}

TIniFile::tSection* TIniFile::FindSection(const std::string& name) {
  for (auto& s : sections_)
    if (SameName(s.name, name)) return &s;
  return nullptr;
}

const TIniFile::tSection* TIniFile::FindSection(const std::string& name) const {
  for (auto& s : sections_)
    if (SameName(s.name, name)) return &s;
  return nullptr;
}

const TIniFile::tEntry* TIniFile::FindKey(const std::string& section,
                                          const std::string& key) const {
  const tSection* s = FindSection(section);
  if (!s) return nullptr;
  std::string k = Trim(key);
  for (auto& e : s->entries)
    if (e.isKey && SameName(e.key, k)) return &e;
  return nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  const tEntry* e = FindKey(section, key);
  if (!e) return defaultValue;
  // As the system's profile reader: a value in a pair of matching quotes comes without them.
  const std::string& v = e->value;
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
    return v.substr(1, v.size() - 2);
  return v;
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key,
                              int32_t defaultValue) const {
  int32_t v;
  return IniTextToInt(ReadString(section, key, std::string()), v) ? v : defaultValue;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key,
                        bool defaultValue) const {
  int32_t v;
  return IniTextToInt(ReadString(section, key, std::string()), v) ? v != 0 : defaultValue;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  std::string k = Trim(OneLine(key));
  std::string v = Trim(OneLine(value));
  tSection* s = FindSection(section);
  if (!s) {
    sections_.push_back(tSection{Trim(OneLine(section)), {}, false});
    s = &sections_.back();
  }
  for (auto& e : s->entries) {
    if (e.isKey && SameName(e.key, k)) {
      if (e.value != v) modified_ = true;
      e.value = v;
      return;
    }
  }
  // A new key goes after the last key, so blank lines that part sections stay at the end.
  auto at = s->entries.end();
  while (at != s->entries.begin() && !std::prev(at)->isKey && Trim(std::prev(at)->raw).empty())
    --at;
  tEntry e;
  e.isKey = true;
  e.key = k;
  e.value = v;
  s->entries.insert(at, std::move(e));
  modified_ = true;
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::ReadSection(const std::string& section, std::vector<std::string>& keys) const {
  keys.clear();
  const tSection* s = FindSection(section);
  if (!s) return;
  for (auto& e : s->entries) {
    if (!e.isKey) continue;
    bool known = std::any_of(keys.begin(), keys.end(),
                             [&](const std::string& k) { return SameName(k, e.key); });
    if (!known) keys.push_back(e.key);
  }
}

void TIniFile::ReadSections(std::vector<std::string>& sections) const {
  sections.clear();
  for (auto& s : sections_) sections.push_back(s.name);
}

void TIniFile::EraseSection(const std::string& section) {
  auto it = std::find_if(sections_.begin(), sections_.end(),
                         [&](const tSection& s) { return SameName(s.name, section); });
  if (it == sections_.end()) return;
  sections_.erase(it);
  modified_ = true;
}

void TIniFile::DeleteKey(const std::string& section, const std::string& key) {
  tSection* s = FindSection(section);
  if (!s) return;
  std::string k = Trim(key);
  auto it = std::find_if(s->entries.begin(), s->entries.end(),
                         [&](const tEntry& e) { return e.isKey && SameName(e.key, k); });
  if (it == s->entries.end()) return;
  s->entries.erase(it);
  modified_ = true;
}

bool TIniFile::SectionExists(const std::string& section) const {
  return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
  return FindKey(section, key) != nullptr;
}

std::string TIniFile::Text() const {
  std::string out;
  for (auto& line : preamble_) out += line + "\r\n";
  auto endsWithBlankLine = [&out] {
    return out == "\r\n" || (out.size() >= 3 && out.compare(out.size() - 3, 3, "\n\r\n") == 0);
  };
  for (auto& s : sections_) {
    // A new section after other text is set apart by a blank line; read ones stay as they were.
    if (!s.loaded && !out.empty() && !endsWithBlankLine()) out += "\r\n";
    out += "[" + s.name + "]\r\n";
    for (auto& e : s.entries) out += (e.isKey ? e.key + "=" + e.value : e.raw) + "\r\n";
  }
  return out;
}

std::unique_ptr<TStream> TIniFile::CreateNewFile(const std::string& name) {
  return TFileStream::Open(name, TFileStream::fmCreate);
}

bool TIniFile::UpdateFile() {
  if (unreadable_) return false;
  if (!modified_) return true;
  std::string text = Text();
  std::string newName = fileName_ + "." + std::to_string(Platform().ProcessId()) + ".new";
  std::error_code ec;
  bool complete = false;
  if (auto file = CreateNewFile(newName)) {
    complete = true;
    for (size_t done = 0; done < text.size() && complete;) {
      int32_t n = static_cast<int32_t>(std::min<size_t>(text.size() - done, 1 << 20));
      complete = file->Write(text.data() + done, n) == n;
      done += static_cast<size_t>(n);
    }
  }  // closed here: a file must be closed before it can be renamed on Windows
  if (complete) complete = std::filesystem::file_size(PathOf(newName), ec) == text.size() && !ec;
  if (complete) {
    std::filesystem::rename(PathOf(newName), PathOf(fileName_), ec);
    complete = !ec;
  }
  if (!complete) {
    std::filesystem::remove(PathOf(newName), ec);
    return false;
  }
  modified_ = false;
  return true;
}
