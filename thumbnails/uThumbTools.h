// What the thumbnail tools window computes without a window: one row per folder that holds
// thumbnail records (through the control-break report engine), the marks of folders whose
// records are to go, their removal, and the walk over a drive's folders in outline order.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "thumbnails/uThumbView.h"

struct tThumbFolderRow {
  bool Delete = false;
  uint32_t Count = 0;
  std::string Folder;  // the folder key
  uint32_t First = 0;  // selection index of the group's first record
};

// What the folder report asks of the system.
struct tThumbFolderProbe {
  std::function<bool(const std::string& folder)> FolderExists;
  // GetDriveType of a root ("C:\"): 3 fixed, 6 RAM disk, 2 removable...
  std::function<int(const std::string& root)> DriveType;
};

// The record's folder without trailing backslash, after "[label]  " for a record on a
// removable volume (label: that volume's, else "").
std::string ThumbFolderKey(const TThumbnailRecord& record, const std::string& volumeLabel);

// Selects every record marked "A" or "D" in full-name order (the view's own settings: the
// gallery's are neither used nor saved) and makes one row per folder. A row is marked when its
// folder no longer exists on a fixed or RAM disk.
std::vector<tThumbFolderRow> BuildThumbFolderRows(tDatabaseView& view,
                                                  const tThumbFolderProbe& probe);

// "%d \"YES\" folders" and "%d thumbnails to delete" of the marked rows.
std::string ThumbFolderMarksText(const std::vector<tThumbFolderRow>& rows);
std::string ThumbDeleteCountText(const std::vector<tThumbFolderRow>& rows);

// Every record of each marked row that is not purged yet becomes 'p'; the number purged.
int PurgeMarkedFolders(tDatabaseView& view, const std::vector<tThumbFolderRow>& rows);

// A drive's folders in outline order: the root, then each folder followed by its subfolders,
// siblings in name order without regard to case. Folders are listed as the walk reaches them.
class tThumbFolderWalk {
 public:
  explicit tThumbFolderWalk(const std::string& root);
  // The next folder (without trailing backslash, a root keeps it); false at the end.
  bool Next(std::string& folder);

 private:
  std::vector<std::string> pending_;  // a stack: the next folder last
};
