// Views: the windows' access to the thumbnail database. tThumbnailView reads and writes single
// records through a one-record cache; tDirectoryView binds one folder's records to a file list
// (or to a plain name list) and scans the folder step by step; tDatabaseView selects and sorts
// records of the whole database for the gallery.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/uFileList.h"
#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"
#include "imaging/Quantize.h"
#include "imaging/uGraphic.h"
#include "thumbnails/uThumbnails.h"

class tThumbnailView {
 public:
  explicit tThumbnailView(tThumbnails& database) : Database(database) {}
  virtual ~tThumbnailView() = default;

  // Each loads record n into the cache unless it is there already.
  void LoadRecord(uint32_t n);
  void SaveRecord(uint32_t n);
  // Drops the cached record (after the database changed beneath the view).
  void Forget() { CachedRecord = -1; }

  std::string RecordPath(uint32_t n);
  // Stores at most 260 characters and writes the record.
  void SetRecordPath(uint32_t n, const std::string& path);
  uint32_t RecordVolume(uint32_t n);
  uint32_t RecordFileDate(uint32_t n);
  // The folder of the path without trailing backslash (a drive root keeps it).
  std::string RecordFolder(uint32_t n);
  bool IsRecordLive(uint32_t n);
  // 'A' or 'p'; the purged count follows the change and the header is written.
  void SetRecordActive(uint32_t n, bool active);
  // Every live record in the folder or below it becomes 'p'.
  void PurgeFolder(const std::string& folder);
  // Every record in parent\old or below it is moved to parent\new.
  void RenameFolder(const std::string& parent, const std::string& oldName,
                    const std::string& newName);
  bool IsNonPictureFile(const std::string& name) const { return Database.IsNonPictureFile(name); }

  tThumbnails& Database;
  int64_t CachedRecord = -1;
  TThumbnailRecord Record{};
};

// What a directory view needs of the file list it fills; the file list control provides it.
class tThumbListHost {
 public:
  virtual ~tThumbListHost() = default;
  // Adds a box-sized image and its mask (1 where the box is empty) to the list's images and
  // returns its index.
  virtual int AddImage(const tMemBmp& image, const tMemBmp& mask) = 0;
  // The list's entry of that file name, or null.
  virtual TSrchRec* FindEntry(const std::string& name) = 0;
  // The entry's image changed: redraw it (unless the list is being updated).
  virtual void EntryChanged(TSrchRec& entry) = 0;
  // The focused entry, or null.
  virtual TSrchRec* CurrentEntry() = 0;
};

// How a scan reaches the disk and the decoders; the plain one uses the platform's directory
// search and the registered formats.
class tThumbScanner {
 public:
  virtual ~tThumbScanner() = default;
  // The items a search of folder\*.* finds; false when it finds nothing.
  virtual bool ListFolder(const std::string& folder, std::vector<tFoundItem>& items);
  // Opens and identifies a file; null when it cannot be opened or is no picture.
  virtual std::unique_ptr<tGraphicID> Identify(const std::string& path);
  // Decodes the identified picture, its messages going to window.
  virtual void Decode(tGraphicID& decoder, intptr_t window);

  // Pictures that can be decoded at a reduced scale (JPEG) are decoded at the smallest one
  // that keeps this many pixels on each side (the view asks for twice its box); 0: full size.
  int MinimumSide = 0;
};

// The box images of the list (Part of the view because the file list and the gallery share
// them): each is a box-sized 8-bit or 24-bit picture with its 1-bit mask.
struct tBoxImage {
  tMemBmpPtr Image, Mask;
};
tBoxImage BlankBoxImage(int box);
// The stored thumbnail (or any picture of at most box size) centred without resizing.
tBoxImage CenteredBoxImage(tMemBmp& picture, int box);
// Any picture fitted into the box (smooth resize) and centred.
tBoxImage FittedBoxImage(tMemBmp& picture, int box);

class tDirectoryView : public tThumbnailView {
 public:
  // The seven counters of a scan, zeroed at BeginUpdate.
  struct tCounters {
    int Seen = 0, Unchanged = 0, Changed = 0, Skipped = 0, Stored = 0, NotIdentified = 0,
        Vanished = 0;
  };
  static constexpr const char* kGoneEntry = ">|<";

  // host: the file list, or null for a plain name list. scanner: null for the plain one.
  tDirectoryView(tThumbnails& database, tThumbListHost* host,
                 std::unique_ptr<tThumbScanner> scanner = nullptr);
  ~tDirectoryView() override;

  void OpenFolder(const std::string& folder, const std::string& volumeLabel, uint32_t flags,
                  int driveType);
  void BeginUpdate();
  // Handles one directory entry; false once the folder is done (the vanished records are
  // purged then).
  bool UpdateStep(intptr_t window);
  // Abandons a running scan.
  void EndUpdate();
  void PurgeVanished();

  // Item i's stored thumbnail into the list.
  void ShowStoredThumbnail(int i);
  // Stores the picture being decoded (once) and adds its item; the window's decoder-done
  // handler calls it, and the scan itself when no window took the message.
  void AddNewThumbnail();
  void AddItem(const std::string& name, const std::string& caption, tMemBmp* picture,
               char status);
  void RenameFile(const std::string& oldName, const std::string& newName);
  void MarkItemGone(int i);

  int64_t RecordOfItem(int i) const;
  int ThumbnailCount() const { return ItemCount; }
  // Record numbers of items that show a thumbnail; only tagged ones when taggedOnly and the
  // focused entry is tagged. True when there are any.
  bool GetTaggedRecords(std::vector<uint32_t>& numbers, bool taggedOnly);

  // Gives the items of an uncatalogued removable disk a volume: the label's number with
  // store, else 0. False when nothing was done.
  bool CatalogRemovable(const std::string& volumeLabel, bool store);
  bool AutoThumbnailsAllowed(const std::string& folder) const;
  bool IsFolderListed(const std::string& folder) const;
  bool FolderThumbnailState(const std::string& folder) const;
  bool IsFolderOmitted(const std::string& folder) const;
  bool IsTemporaryFolder() const;
  bool IsRemovable() const { return IsRemovableDriveType(DriveType); }

  const std::vector<std::string>& ItemNames() const { return names_; }
  const std::vector<std::string>& Captions() const { return captions_; }
  const tCounters& Counters() const { return counters_; }
  bool Scanning() const { return scanning_; }
  tThumbScanner& Scanner() { return *scanner_; }

  tThumbListHost* Host;
  std::string Folder;
  char DriveLetter = ' ';
  int DriveType = 0;
  std::string VolumeLabel;
  uint32_t Flags = 0;
  char Status = 'A';
  int64_t Volume = -1;
  int ItemCountAtBegin = 0;
  int ItemCount = 0;
  bool AllowIcons = false;
  std::function<void()> OnItemAdded;

 private:
  int IndexOfName(const std::string& name) const;

  std::unique_ptr<tThumbScanner> scanner_;
  std::vector<uint32_t> records_;  // one per item, in item order
  std::vector<uint32_t> stale_;    // the records at BeginUpdate; zero once seen unchanged
  std::vector<std::string> names_;  // file name of each item (kGoneEntry once gone)
  std::vector<std::string> captions_;
  std::vector<tFoundItem> found_;
  size_t foundAt_ = 0;
  bool scanning_ = false;
  std::unique_ptr<tGraphicID> decoder_;
  tFoundItem decoding_;
  bool decoderStored_ = false;
  tCounters counters_;
};

class tDatabaseView : public tThumbnailView {
 public:
  static constexpr int kFirstIndexChar = 33, kLastIndexChar = 126;

  explicit tDatabaseView(tThumbnails& database);

  void Select();
  // Orders the selection by the settings' key and order, then fills the first positions.
  void Sort();

  uint32_t SelectionCount() const { return static_cast<uint32_t>(selected_.size()); }
  uint32_t SelectedRecord(uint32_t i) const { return selected_[i]; }
  // The sort key of record n under the settings' key.
  std::string SortKey(uint32_t n);
  // The index character of the record at 1-based place `position` in the selection.
  char IndexChar(uint32_t n, uint32_t position);
  // First 1-based position of an index character in the selection, 0 when none.
  uint32_t FirstPosition(char c) const;
  // The jump dialog's text for an index character under the settings' key.
  std::string IndexText(char c) const;
  static char ColorLetter(const std::string& key);
  // The colour count of a colour letter (0 for "Z" and unknown letters).
  static int ColorOfLetter(char letter);

  TGallerySettings Settings{};
  std::vector<std::string> Words;

 private:
  bool Passes(const TThumbnailRecord& r) const;
  void FillFirstPositions();

  std::vector<uint32_t> selected_;
  std::array<uint32_t, kLastIndexChar - kFirstIndexChar + 1> first_{};
};
