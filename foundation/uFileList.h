// The entries of one folder listing (TSrchRec), their column texts, glyph categories and sort
// keys, the list that owns and sorts them (TSortableList), and the reading of a folder into it.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/uPlatform.h"

// Sort sequences.
enum sfb_SS { SS_unsorted = 0, SS_name = 1, SS_extension = 2, SS_size = 3, SS_date = 4 };

// Glyph categories of an entry.
enum : int {
  kCategoryFolder = 0,      // CLOSEDFOLDER (also volume labels)
  kCategoryParent = 1,      // FG_DOTDOT
  kCategoryExecutable = 2,  // EXECUTABLE
  kCategoryZip = 3,         // KNOWNZIP
  kCategoryDocument = 4,    // KNOWNFILE
  kCategoryUnknown = 5,     // UNKNOWNFILE
  kCategoryPicture = 6,     // FG_PICTURE
  kCategoryMusic = 7,       // FG_MUSIC
  kCategorySound = 8,       // FG_SOUND
  kCategoryMovie = 9,       // FG_MOVIE
};

// The extension lists that give file categories, in the order they are searched; each text
// begins and ends with a space (" EXE COM BAT PIF LNK "). From the program's string table.
struct tCategoryList {
  int ResourceId;
  int Category;
};
extern const tCategoryList kCategoryLists[7];
// The text of one list (by its resource id), e.g. for the music and sound lists.
std::string CategoryListText(int resourceId);

// One entry of a folder listing.
class TSrchRec {
 public:
  TSrchRec(const tFoundItem& item, int32_t number);
  virtual ~TSrchRec() = default;

  uint32_t Time = 0;  // DOS date (high word) and time (low word), local
  int64_t Size = 0;
  uint32_t Attr = 0;   // 1 read-only, 2 hidden, 4 system, 8 volume label, 16 directory, 32 archive
  std::string Name;    // as found; a volume label without its dots
  int32_t Number = 0;  // reading order, from 1
  bool Tagged = false;
  int32_t ThumbIndex = -1;

  // '1' volume label, '2' folder, '3' file.
  char Kind() const;
  // The extension in upper case without its dot ('' without one).
  std::string ExtText() const;
  std::string NameText() const;
  int Category() const;
  // Column texts: "<vol>", "<dir>" or the size in 11 characters with the user's thousands
  // separators; the date in the user's short date format; the time in 10 characters in the
  // user's time format without the format's first space. Without settings, a copy of the
  // platform's serves.
  std::string SizeText() const;
  std::string DateText() const;
  std::string DateText(const tFormatSettings& settings) const;
  std::string TimeText() const;
  std::string TimeText(const tFormatSettings& settings) const;
  // The text entries are compared by under a sequence.
  std::string SortKey(sfb_SS sequence) const;
};

// The entries of one folder, owned. Each line's text is the first character of its entry's
// name.
class TSortableList {
 public:
  TSortableList() = default;
  TSortableList(const TSortableList&) = delete;
  TSortableList& operator=(const TSortableList&) = delete;
  virtual ~TSortableList() = default;

  int Count() const { return static_cast<int>(entries_.size()); }
  TSrchRec* Objects(int index) const { return entries_[static_cast<size_t>(index)].get(); }
  const std::string& Strings(int index) const { return texts_[static_cast<size_t>(index)]; }
  // Adds an entry at the end; returns its index.
  int Add(std::unique_ptr<TSrchRec> entry);
  // Frees every entry.
  void Clear();
  // Swaps two lines with their entries.
  void Exchange(int i, int j);

  // Stores the order, then sorts when there are 2 lines or more. Not stable. Each entry's key
  // is formed (with its locale sort key) once for the sort, not at every comparison: the
  // order is the same.
  void Sort(bool ascending, sfb_SS sequence);
  // Case-insensitive comparison of the sort keys of lines i and j in the user's locale,
  // negated for descending order: -1, 0 or 1.
  virtual int CompareItems(int i, int j);
  void QuickSort(int low, int high);

  sfb_SS SortSequence = SS_unsorted;
  bool SortAscending = true;

 private:
  std::vector<std::unique_ptr<TSrchRec>> entries_;
  std::vector<std::string> texts_;
  std::vector<std::string> keys_;  // the entries' locale sort keys while Sort runs, else empty
};

// The file list's FileType: a set of TFileAttr, bit (1 << attr). The bits of ftReadOnly to
// ftArchive are the attribute bits themselves.
enum TFileAttr { ftReadOnly, ftHidden, ftSystem, ftVolumeID, ftDirectory, ftArchive, ftNormal };
using TFileType = uint32_t;
constexpr TFileType FileTypeBit(TFileAttr attr) { return 1u << attr; }

// What one reading found besides the entries.
struct tFolderReading {
  int32_t FileCount = 0;    // file entries (kind 3)
  int64_t TotalSize = 0;    // their sizes
  int32_t LongestName = 0;  // characters of the longest name
};

// Reads a folder into entries (cleared first) as the file list lists it: for each pattern of
// mask (split at ";"), a directory search of folder + pattern. Items with the hidden, system,
// volume or directory bit are found only when fileType holds that bit; a found item is taken
// when fileType holds ftNormal or shares an attribute bit with it; "." never. Several patterns
// may find an item more than once. manyEntries (when set) is called once, when the entries
// reach 101. The entries are left in reading order, numbered from 1; the caller sorts them.
tFolderReading ReadFolder(TSortableList& entries, const std::string& folder,
                          const std::string& mask, TFileType fileType,
                          const std::function<void()>& manyEntries = {});
