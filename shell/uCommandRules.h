// The main window's command decisions as functions of a state, with no window: what the parental
// level does to the controls, when the folder and file popups show and which items they enable,
// what Delete does, the drop menus and where dropped files go, and which one-time message the
// window's timer shows next. The command families (ViewerFormCmd*.cpp) gather the state from the
// controls and carry the decision out.
#pragma once
#include <cstdint>
#include <string>

// ---- Parental levels (0..4; each includes the lower ones)
struct tParentalControls {
  bool DragFiles = true;          // the file list may start dragging
  bool HiddenButton = true;       // "H" enabled and visible
  bool SwitchOffHidden = false;   // click "H" up when hidden files show
  bool SectionZeroClickable = true;
  const char* SectionZeroText = "DRIVES / history / bookmarks";
  bool NotebookToFirstPage = false;
  bool SetCloneFolder = false;    // the first window's clone folder := this window's folder
  bool GalleryButton = true;      // enabled and visible
  bool DriveCombo = true, CloneButton = true, FolderList = true;
};
tParentalControls ParentalControls(int level, bool hiddenShown);
// Commands that change files (rename, copy, move, delete, recycle, new folder, drop menus, the
// shell offer) run only at level 0.
inline bool FileCommandsAllowed(int level) { return level <= 0; }

// ---- Header section 0: drives -> history -> bookmarks -> drives
int NextLeftPage(int page);
const char* LeftPageText(int page);
// Ctrl+F12: the section widths restored, and the window width for them.
inline constexpr const char* kDefaultHeaderWidths = "160,18,18,136,84,76,69";
int WindowWidthForSections(const std::string& widths);

// ---- Recycling
// A folder may be recycled when its own name is not "recycled" (any case) and its drive is
// neither removable nor remote.
bool MayRecycleFolder(const std::string& folder, bool removableDrive, bool remoteDrive);
enum TDeleteCommand { dcNone, dcRecycle, dcDelete };
// Delete in the file list: level 0 and an item current; Shift, or a folder that may not be
// recycled, deletes.
TDeleteCommand FileDeleteKey(int level, bool hasItem, bool shift, bool mayRecycle);
// Delete in the folder list: level 0 and an item below the current folder.
TDeleteCommand FolderDeleteKey(int level, bool itemBelowCurrent, bool shift, bool mayRecycle);

// ---- Folder popup
struct tFolderPopupState {
  int Level = 0;
  bool HasItem = false;
  bool IsCurrentFolder = false;  // the item is the current folder's own
  bool BelowCurrent = false;     // the item lies below the current folder
  bool IsBookmark = false;
  bool IsOmitted = false;
  bool MayAutoThumbnail = false;  // the folder may get automatic thumbnails
};
struct tFolderPopup {
  bool Show = false;
  bool New = false, Recycle = false, Delete = false, Rename = false;
  bool ThumbEnabled = false, ThumbChecked = false;
  bool MarkChecked = false;
  bool Properties = false;
};
tFolderPopup FolderPopup(const tFolderPopupState& s);

// ---- File popup
struct tFilePopupState {
  int Level = 0;
  bool HasItem = false;
  int TaggedCount = 0;
  bool CurrentTagged = false;
  int CurrentIndex = -1;
  int PopupIndex = -1;          // where "All tagged" was last toggled (-1 none)
  bool AllTaggedChecked = false;
  bool MayRecycle = false;
  bool BatchFindReplace = false;
  int ThumbState = 0;
  int ThumbCount = 0;           // thumbnails in the view
  bool KnownVolume = false;     // the view has a known volume
  bool StoredPermanently = false;  // new records are stored with status 'A'
};
struct tFilePopup {
  bool Show = false;
  bool AtItem = false;  // else at 10,10 of the list
  bool AllTaggedEnabled = false, AllTaggedChecked = false;
  bool Recycle = false, Delete = false, Rename = false, CopyName = false, Properties = false;
  bool FindReplaceVisible = false, FindReplaceEnabled = false;
  bool Batch = false, Print = false;
  bool ShowChecked = false, ShowEnabled = false;
  bool CatalogChecked = false, CatalogEnabled = false;
};
tFilePopup FilePopup(const tFilePopupState& s);

// ---- Drag and drop
// "&Move here" between two file lists only when their folders differ (any case).
bool MoveHereEnabled(const std::string& sourceFolder, const std::string& targetFolder);
// Copies rename on collision only within one folder; moves allow undo only between drives.
bool RenameOnCollision(const std::string& sourceFolder, const std::string& targetFolder);
bool MoveAllowsUndo(const std::string& source, const std::string& target);
// A shell drop is taken only at level 0 while drops are accepted.
inline bool ShellDropTaken(int level, bool accepting) { return accepting && level <= 0; }
// After a copy or move between file lists: which windows rescan.
struct tDropRefresh {
  bool Source = false, Target = false;
};
tDropRefresh DropRefresh(bool move);
// After a file drop on the folder list (through the folder dialog).
tDropRefresh FolderDropRefresh(bool move, const std::string& sourceFolder,
                               const std::string& destination);
// What is dragged: a main window's file list (its tagged selection, or its current file) or its
// folder list (the folder pressed); and where it may go.
enum TDragKind { dkNone, dkFileList, dkFolderList };
enum TDropPlace { dpFileList, dpFolderList, dpScripts };
// At level 0 only: a file list onto a file list or the Scripts button; a file list or a folder
// list onto a folder list.
bool DropTaken(TDropPlace place, TDragKind dragged, int level);
// What the folder dialog says is copied or moved: "%d files" for a tagged selection, the file's
// name, or "Folder " and the folder's path.
std::string FolderDropText(TDragKind dragged, int taggedCount, const std::string& name);
// A folder goes to a destination only when it is not a drive root, the destination is neither
// the folder nor inside it (the copy would hold itself), and a move does not put it where it
// already is.
bool FolderDropAllowed(const std::string& folder, const std::string& destination, bool move);
// After a move, a folder list showing the moved folder or a folder inside it goes to the moved
// folder's parent.
bool ShowsMovedFolder(const std::string& shown, const std::string& moved);

// ---- The one-second timer: at most one message per tick, in this order.
enum TTimerJob { tjNone, tjWarning256, tjWelcome, tjOldBuild };
struct tTimerState {
  bool Dragging = false, Minimised = false, Active = true;
  bool Warning256Pending = false;
  int32_t Warning256Colors = 0;
  bool VersionChanged = false;
  bool OldBuildReminderDue = false;
};
// Picks the job and updates the flags as the job does (the pending flag cleared; the count
// raised when the warning shows). tjWarning256 with ShowBox false: the warning was due but has
// been shown five times already.
struct tTimerChoice {
  TTimerJob Job = tjNone;
  bool ShowBox = false;
};
tTimerChoice ChooseTimerJob(tTimerState& s);
// More than 180 days between the build's DOS date and today (days since 1 January 1970).
bool OldBuildReminder(uint16_t buildDate, int64_t today);
// The build date as "d-mmm-yyyy".
std::string BuildDateText(uint16_t buildDate);
int64_t DaysSinceBuild(uint16_t buildDate, int64_t today);
