#include "shell/uCommandRules.h"

#include <sstream>

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"

namespace {
bool SameName(const std::string& a, const std::string& b) {
  return Platform().CompareTextLocale(a, b) == 0;
}
// Without trailing backslashes, so "C:\a\" and "C:\a" are one folder.
std::string Bare(std::string folder) {
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}
char DriveLetter(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return static_cast<char>(std::toupper(
      static_cast<unsigned char>(path[0])));
  return 0;
}
}  // namespace

tParentalControls ParentalControls(int level, bool hiddenShown) {
  tParentalControls c;
  if (level >= 1) c.DragFiles = false;
  if (level >= 2) {
    c.HiddenButton = false;
    c.SwitchOffHidden = hiddenShown;
    c.SectionZeroClickable = false;
    c.SectionZeroText = "Folders";
    c.NotebookToFirstPage = true;
    c.SetCloneFolder = true;
    c.GalleryButton = false;
  }
  if (level >= 3) c.DriveCombo = c.CloneButton = false;
  if (level >= 4) c.FolderList = false;
  return c;
}

int NextLeftPage(int page) { return (page + 1) % 3; }

const char* LeftPageText(int page) {
  static const char* const texts[] = {"DRIVES / history / bookmarks", "drives / HISTORY / bookmarks",
                                      "drives / history / BOOKMARKS"};
  return texts[page >= 0 && page < 3 ? page : 0];
}

int WindowWidthForSections(const std::string& widths) {
  int sum = 30;
  std::stringstream in(widths);
  std::string item;
  while (std::getline(in, item, ',')) sum += std::atoi(item.c_str());
  return sum;
}

bool MayRecycleFolder(const std::string& folder, bool removableDrive, bool remoteDrive) {
  return !SameName(ExtractFileName(Bare(folder)), "recycled") && !removableDrive && !remoteDrive;
}

TDeleteCommand FileDeleteKey(int level, bool hasItem, bool shift, bool mayRecycle) {
  if (!FileCommandsAllowed(level) || !hasItem) return dcNone;
  return !shift && mayRecycle ? dcRecycle : dcDelete;
}

TDeleteCommand FolderDeleteKey(int level, bool itemBelowCurrent, bool shift, bool mayRecycle) {
  return FileDeleteKey(level, itemBelowCurrent, shift, mayRecycle);
}

tFolderPopup FolderPopup(const tFolderPopupState& s) {
  tFolderPopup p;
  p.Show = FileCommandsAllowed(s.Level) && s.HasItem;
  if (!p.Show) return p;
  p.New = s.IsCurrentFolder;
  p.Recycle = p.Delete = p.Rename = s.BelowCurrent;
  p.MarkChecked = s.IsBookmark;
  p.ThumbChecked = s.IsOmitted;
  p.ThumbEnabled = s.BelowCurrent && s.MayAutoThumbnail;
  p.Properties = true;
  return p;
}

tFilePopup FilePopup(const tFilePopupState& s) {
  tFilePopup p;
  if (!FileCommandsAllowed(s.Level)) return p;
  p.AtItem = s.HasItem;
  if (s.HasItem) {
    p.AllTaggedEnabled = s.TaggedCount > 1 && s.CurrentTagged;
    // Checked whenever it is offered, except where the user last toggled it: there it keeps
    // the state the user gave it.
    p.AllTaggedChecked = p.AllTaggedEnabled &&
                         (s.CurrentIndex == s.PopupIndex ? s.AllTaggedChecked : true);
    p.Recycle = s.MayRecycle;
    p.Delete = p.Rename = p.CopyName = true;
    p.Properties = !p.AllTaggedChecked;
    p.FindReplaceVisible = s.BatchFindReplace;
    p.FindReplaceEnabled = p.AllTaggedChecked;
  } else {
    p.FindReplaceVisible = s.BatchFindReplace;
  }
  p.Batch = p.Print = s.ThumbState == 0 && s.ThumbCount > 0;
  p.ShowChecked = s.KnownVolume;
  p.ShowEnabled = !s.KnownVolume;
  p.CatalogChecked = s.StoredPermanently;
  p.CatalogEnabled = p.ShowChecked && s.ThumbCount > 0 && !p.CatalogChecked;
  const bool itemGroup =
      p.AllTaggedEnabled || p.Recycle || p.Delete || p.Rename || p.CopyName || p.Properties;
  p.Show = itemGroup || p.Batch || p.ShowEnabled || p.CatalogEnabled || p.Print;
  return p;
}

bool MoveHereEnabled(const std::string& sourceFolder, const std::string& targetFolder) {
  return !SameName(Bare(sourceFolder), Bare(targetFolder));
}

bool RenameOnCollision(const std::string& sourceFolder, const std::string& targetFolder) {
  return SameName(Bare(sourceFolder), Bare(targetFolder));
}

bool MoveAllowsUndo(const std::string& source, const std::string& target) {
  return DriveLetter(source) != DriveLetter(target);
}

tDropRefresh DropRefresh(bool move) { return {move, true}; }

tDropRefresh FolderDropRefresh(bool move, const std::string& sourceFolder,
                               const std::string& destination) {
  // The source rescans after a move, or after a copy into its own folder (renamed copies).
  return {move || RenameOnCollision(sourceFolder, destination), false};
}

bool DropTaken(TDropPlace place, TDragKind dragged, int level) {
  if (!FileCommandsAllowed(level)) return false;
  if (place == dpFolderList) return dragged == dkFileList || dragged == dkFolderList;
  return dragged == dkFileList;
}

std::string FolderDropText(TDragKind dragged, int taggedCount, const std::string& name) {
  if (dragged == dkFolderList) return "Folder " + name;
  if (taggedCount > 0) return Format("%d files", {taggedCount});
  return name;
}

namespace {
// The path is the folder or lies inside it.
bool InsideOrSame(const std::string& path, const std::string& folder) {
  const std::string f = AddBackslash(Bare(folder)), p = AddBackslash(Bare(path));
  return p.size() >= f.size() && SameName(p.substr(0, f.size()), f);
}
}  // namespace

bool FolderDropAllowed(const std::string& folder, const std::string& destination, bool move) {
  const std::string bare = Bare(folder);
  if (bare.empty() || bare.size() <= 3 || destination.empty()) return false;
  if (InsideOrSame(destination, bare)) return false;
  return !move || !SameName(Bare(ExtractFilePath(bare)), Bare(destination));
}

bool ShowsMovedFolder(const std::string& shown, const std::string& moved) {
  return InsideOrSame(shown, moved);
}

tTimerChoice ChooseTimerJob(tTimerState& s) {
  tTimerChoice c;
  if (s.Dragging || s.Minimised || !s.Active) return c;
  if (s.Warning256Pending) {
    s.Warning256Pending = false;
    c.Job = tjWarning256;
    if (s.Warning256Colors < 5) {
      ++s.Warning256Colors;
      c.ShowBox = true;
    }
  } else if (s.VersionChanged) {
    s.VersionChanged = false;
    c.Job = tjWelcome;
    c.ShowBox = true;
  } else if (s.OldBuildReminderDue) {
    s.OldBuildReminderDue = false;
    c.Job = tjOldBuild;
    c.ShowBox = true;
  }
  return c;
}

namespace {
// Days from 1 January 1970 of a proleptic Gregorian date.
int64_t DaysFromCivil(int y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}
void SplitDosDate(uint16_t date, int& y, unsigned& m, unsigned& d) {
  y = 1980 + (date >> 9);
  m = (date >> 5) & 15;
  d = date & 31;
  if (m < 1 || m > 12) m = 1;
  if (d < 1) d = 1;
}
}  // namespace

int64_t DaysSinceBuild(uint16_t buildDate, int64_t today) {
  int y;
  unsigned m, d;
  SplitDosDate(buildDate, y, m, d);
  return today - DaysFromCivil(y, m, d);
}

bool OldBuildReminder(uint16_t buildDate, int64_t today) {
  return DaysSinceBuild(buildDate, today) > 180;
}

std::string BuildDateText(uint16_t buildDate) {
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  int y;
  unsigned m, d;
  SplitDosDate(buildDate, y, m, d);
  return std::to_string(d) + "-" + months[m - 1] + "-" + std::to_string(y);
}
