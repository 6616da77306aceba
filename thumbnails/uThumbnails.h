// The thumbnail database: five files sharing one base name. ".th0" holds the header and one
// 347-byte record per picture, ".th1" the coded thumbnails end to end, ".th2" the volume labels
// of removable disks, ".th3" the gallery settings, ".th4" the omitted folders. One object per
// process, on the window thread. The header in memory is authoritative and is written back
// after every change.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "thumbnails/uThumbFile.h"
#include "thumbnails/uThumbRecords.h"

// The base name with its extension replaced (or appended when it has none).
std::string ThumbnailFileName(const std::string& baseName, const std::string& extension);
// 640 div code for codes 4..12; any other code counts as 7.
int ThumbnailBoxSize(int sizeCode);

// A text list kept sorted, case-insensitively in the user's locale, without duplicates.
class tSortedLines {
 public:
  const std::vector<std::string>& Lines() const { return lines_; }
  int Count() const { return static_cast<int>(lines_.size()); }
  // Index of the line equal to text ignoring case, -1 when none.
  int IndexOf(const std::string& text) const;
  // Adds unless an equal line is there; returns its index.
  int Add(const std::string& text);
  void Delete(int index);
  void Clear() { lines_.clear(); }
  // Lines of a file (CR LF, LF or CR breaks); empty lines are dropped. A missing file is empty.
  void LoadFromFile(const std::string& path);
  // Every line with CR LF; an empty list writes an empty file. Written beside, then renamed.
  void SaveToFile(const std::string& path) const;

 private:
  std::vector<std::string> lines_;
};

class tThumbnails {
 public:
  static constexpr uint8_t kFlagSkipNonPictures = 0x10;
  static constexpr uint8_t kFlagsAtCreation = 26;
  static constexpr int kNonPictureCount = 70;

  // Opens (or creates) the database; the master switch is on.
  explicit tThumbnails(const std::string& baseName);
  ~tThumbnails();
  tThumbnails(const tThumbnails&) = delete;
  tThumbnails& operator=(const tThumbnails&) = delete;

  void Open();
  // Saves both lists and closes the files.
  void Close();
  // A fresh, empty database (size code 7).
  void Clear();
  bool IsOpen() const { return index_ != nullptr; }

  uint32_t RecordCount() const { return Header.Count; }
  void SetRecordCount(uint32_t n);
  uint32_t ActiveCount() const;
  void SetActiveCount(uint32_t n);
  int ThumbnailSizeCode() const { return Header.SizeCode; }
  void SetThumbnailSizeCode(int code);
  int BoxSize() const { return ThumbnailBoxSize(Header.SizeCode); }
  bool SkipsNonPictures() const { return (Header.Flags & kFlagSkipNonPictures) != 0; }

  void WriteHeader();
  void TouchHeader();
  void IncVolumeSerial();

  // Record n (1..) of ".th0"; reading past the end raises.
  void ReadRecord(uint32_t n, TThumbnailRecord& record);
  void WriteRecord(uint32_t n, const TThumbnailRecord& record);
  // Records first..first + count - 1 at once, for scans over the whole index.
  void ReadRecords(uint32_t first, uint32_t count, TThumbnailRecord* records);
  // Calls visit (n, record) for records 1..RecordCount in order, reading them in blocks.
  void ForEachRecord(const std::function<void(uint32_t, const TThumbnailRecord&)>& visit);

  // Coded thumbnail data in ".th1".
  int64_t DataSize();
  void ReadData(int64_t offset, void* buffer, size_t count);
  void WriteData(int64_t offset, const void* buffer, size_t count);

  void SaveGallerySettings(const TGallerySettings& settings);
  const TGallerySettings& GallerySettings() const { return Gallery; }

  // Statistics, with the repairs of a scan (partial last record cut, 'D' made 'p', counts set).
  void GetStatistics(TThumbnailStats& stats);
  // Drops every record that is not 'A' or 'D' and the data only it used. Built in new files
  // that take the old ones' place when complete: an error part way leaves the database as it
  // was.
  void Pack();

  // Omitted folders (".th4"). exact: the entry must be the folder; else an entry also covers
  // every folder below it.
  bool IsFolderInOmitList(const std::string& folder, bool exact) const;
  // True when the master switch is off, else IsFolderInOmitList.
  bool IsFolderOmitted(const std::string& folder, bool exact) const;
  void ToggleOmittedFolder(const std::string& folder);
  const tSortedLines& OmittedFolders() const { return omitted_; }

  // Volume labels (".th2").
  std::string VolumeLabelOf(int number) const;
  int VolumeNumberOf(const std::string& label) const;
  int AddVolumeLabel(const std::string& label);
  std::string NewVolumeLabel() const;
  const tSortedLines& VolumeLabels() const { return labels_; }

  static std::string NonPictureExtension(int index);
  bool IsNonPictureFile(const std::string& name) const;

  std::string FileName(int number) const;  // ".th0" .. ".th4"

  TThumbnailHeader Header{};
  // Called by Pack with (0, count), (r, count) per record and (-1, count) at the end.
  std::function<void(int position, int total)> Progress;
  TGallerySettings Gallery{};
  std::string BaseName;
  uint8_t MasterSwitch = 1;
  uint8_t FileNameKeywords = 0;

 private:
  void OpenThumbnailDatabase();
  void LoadGallerySettings();
  void CloseFiles();
  void OpenFiles();
  void FreshHeader();

  std::unique_ptr<tThumbFile> index_, data_, settings_;
  tSortedLines labels_, omitted_;
};
