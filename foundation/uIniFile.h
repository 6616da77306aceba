// The INI file: sections of "key=value" lines in a UTF-8 text file. Section and key names are
// compared without regard to ASCII case; values are trimmed of blanks and tabs, and read without
// enclosing quotes. The whole file is held in memory: changes stay there until UpdateFile, which
// writes a complete new file beside the old one and renames it over the old one only when it is
// complete.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStream;

class TIniFile {
 public:
  // Reads the file when it exists; a missing file is an empty one.
  explicit TIniFile(const std::string& fileName);
  virtual ~TIniFile();
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  const std::string& FileName() const { return fileName_; }

  // The value of the key, without the quotes of a value in matching single or double quotes;
  // `defaultValue` when the key is not there (an empty value is a value).
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // Decimal, or hexadecimal after "0x", "0X" or "$"; the default for anything else.
  int32_t ReadInteger(const std::string& section, const std::string& key,
                      int32_t defaultValue) const;
  // Any integer other than 0 is true; the default for anything that is no integer.
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

  // The key names of a section, in file order (empty when there is no such section).
  void ReadSection(const std::string& section, std::vector<std::string>& keys) const;
  // The section names, in file order.
  void ReadSections(std::vector<std::string>& sections) const;
  void EraseSection(const std::string& section);
  void DeleteKey(const std::string& section, const std::string& key);
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;

  // Saves the changes. False when the new file could not be written completely or put in place
  // of the old one, which is then untouched; also false when the file existed but could not be
  // read, so that saving cannot wipe what was never loaded.
  bool UpdateFile();

 protected:
  // Reads the settings from `source`, the file opened for reading (null when it could not be).
  TIniFile(const std::string& fileName, std::unique_ptr<TStream> source);
  // Creates the new file that UpdateFile fills; null when it cannot be created.
  virtual std::unique_ptr<TStream> CreateNewFile(const std::string& name);

 private:
  struct tEntry {
    bool isKey = false;
    std::string key, value;  // a key line
    std::string raw;         // any other line (comment, blank, unreadable), kept as it was
  };
  struct tSection {
    std::string name;
    std::vector<tEntry> entries;
    bool loaded = false;  // read from the file, not added since
  };

  void Load(TStream* file);
  std::string Text() const;
  tSection* FindSection(const std::string& name);
  const tSection* FindSection(const std::string& name) const;
  const tEntry* FindKey(const std::string& section, const std::string& key) const;

  std::string fileName_;
  std::vector<std::string> preamble_;  // lines before the first section
  std::vector<tSection> sections_;
  bool modified_ = false;
  bool unreadable_ = false;
};

// Integer text as INI values hold it: decimal with an optional sign, or hexadecimal after
// "0x", "0X" or "$" (up to 8 digits, taken as 32 bits). False for anything else.
bool IniTextToInt(const std::string& text, int32_t& value);
