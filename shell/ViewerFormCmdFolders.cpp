// The folder list's commands: its popup menu (tags 1-7), its keys, new folders, recycling,
// deleting and renaming folders, bookmarks.
#include <windows.h>

#include "foundation/cFileCtlRename.h"
#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"
#include "foundation/uShell.h"
#include "framework/Text.h"
#include "shell/FilePropertiesDialog.h"
#include "shell/ViewerForm.h"
#include "shell/uCommandRules.h"

namespace {
// The folder list's current item and its full path; false without one.
bool FolderItem(TViewerForm& form, int& index, std::string& path) {
  TOrvex_DirList& dirs = *form.Orvex_DirList1;
  index = dirs.ItemIndex();
  if (index < 0 || index >= dirs.Count()) return false;
  path = dirs.GetItemPath(index);
  return !path.empty();
}

bool BelowCurrent(TViewerForm& form, int index) { return index > form.Orvex_DirList1->CurrentRow(); }

bool MayRecyclePath(const std::string& path) {
  const int type = PathDriveType(path);
  return MayRecycleFolder(path, type == DRIVE_REMOVABLE, type == DRIVE_REMOTE);
}

int BookmarkIndex(TViewerForm& form, const std::string& folder) {
  for (int i = 0; i < form.cbMarks->Count(); ++i)
    if (Platform().CompareTextLocale(form.cbMarks->String(i), folder) == 0) return i;
  return -1;
}

void NewFolder(TViewerForm& form) {
  TOrvex_DirList& dirs = *form.Orvex_DirList1;
  const std::string parent = dirs.Directory();
  const std::string proposed = NewFolderName(parent);
  // The name is edited in place on the row below the current folder's.
  RECT cell = dirs.ItemRect(dirs.CurrentRow());
  const int h = cell.bottom - cell.top;
  OffsetRect(&cell, 16, h);
  std::string name;
  if (EditNameInPlace(dirs, cell, proposed, name) && !name.empty())
    CreateDirectoryW(Utf8ToWide(AddBackslash(parent) + name).c_str(), nullptr);
  dirs.Reload();
}

// The database's records of a folder changed: the counts are shown, and open gallery and tools
// windows rebuild their views.
void RecordsChanged(TViewerForm& form) {
  if (form.Thumbs) form.Thumbs->ReportCounts();
  NotifyThumbWindows(0);
  NotifyThumbToolsWindows(0);
}

void ToggleBookmark(TViewerForm& form, const std::string& folder) {
  TMenuItem* mark = form.dirPopup->FindItemByTag(6);
  mark->Checked = !mark->Checked;
  TOrvex_ComboBox& marks = *form.cbMarks;
  const int at = BookmarkIndex(form, folder);
  if (mark->Checked) {
    if (at < 0) marks.Add(folder);
    marks.SetText(folder);
  } else {
    if (at >= 0) marks.Send(CB_DELETESTRING, static_cast<WPARAM>(at), 0);
    marks.SetText("");
  }
  // The first window keeps the list that is saved.
  if (ViewerForm && ViewerForm != &form) {
    ViewerForm->cbMarks->Clear();
    for (int i = 0; i < marks.Count(); ++i) ViewerForm->cbMarks->Add(marks.String(i));
  }
}
}  // namespace

void FolderCommand(TViewerForm& form, int tag) {
  if (!FileCommandsAllowed(form.ParentalLevel) && tag <= 4) return;
  int index;
  std::string path;
  if (!FolderItem(form, index, path)) return;
  TOrvex_DirList& dirs = *form.Orvex_DirList1;
  switch (tag) {
    case 1:
      NewFolder(form);
      break;
    case 2:
    case 3:
      if (!BelowCurrent(form, index)) break;
      if (!DeleteFiles(RemoveBackslash(path), nullptr, tag == 2)) break;
      // No pass ever runs on a folder that is gone: its records are purged now.
      if (form.ThumbView) {
        form.ThumbView->PurgeFolder(RemoveBackslash(path));
        RecordsChanged(form);
      }
      dirs.Reload();
      break;
    case 4: {
      if (!BelowCurrent(form, index)) break;
      std::string oldName, newName;
      if (!dirs.EditItemName(index, oldName, newName) || newName.empty() || newName == oldName)
        break;
      const std::string parent = ExtractFilePath(RemoveBackslash(path));
      if (!RenameWithMessage(parent + oldName, parent + newName, nullptr)) break;
      // The folder's pictures keep their thumbnails under the new name.
      if (form.ThumbView) {
        form.ThumbView->RenameFolder(parent, oldName, newName);
        RecordsChanged(form);
      }
      dirs.Reload();
      break;
    }
    case 5:
      // Automatic thumbnails on or off for the folder: the database keeps the omitted ones.
      if (!ViewerForm || !ViewerForm->Thumbnails) break;
      ViewerForm->Thumbnails->ToggleOmittedFolder(RemoveBackslash(path));
      break;
    case 6:
      ToggleBookmark(form, RemoveBackslash(path));
      break;
    case 7:
      if (path.size() <= 3 ? ShowDriveProperties(&form, path[0]) : ShowFileProperties(&form, path))
        dirs.Reload();
      break;
  }
}

void TViewerForm::ShowFolderPopup(const POINT* at) {
  TOrvex_DirList& dirs = *Orvex_DirList1;
  int index;
  std::string path;
  tFolderPopupState s;
  s.Level = ParentalLevel;
  s.HasItem = FolderItem(*this, index, path);
  if (s.HasItem) {
    s.IsCurrentFolder = index == dirs.CurrentRow();
    s.BelowCurrent = BelowCurrent(*this, index);
    s.IsBookmark = BookmarkIndex(*this, RemoveBackslash(path)) >= 0;
    const int type = PathDriveType(path);
    s.MayAutoThumbnail = ViewerForm && ViewerForm->Thumbnails && type != DRIVE_REMOVABLE &&
                         type != DRIVE_CDROM;
    s.IsOmitted = s.MayAutoThumbnail &&
                  ViewerForm->Thumbnails->IsFolderInOmitList(RemoveBackslash(path), true);
  }
  const tFolderPopup p = FolderPopup(s);
  if (!p.Show) return;
  dirPopup->FindItemByTag(1)->Enabled = p.New;
  dirPopup->FindItemByTag(2)->Enabled = p.Recycle && MayRecyclePath(path);
  dirPopup->FindItemByTag(3)->Enabled = p.Delete;
  dirPopup->FindItemByTag(4)->Enabled = p.Rename;
  dirPopup->FindItemByTag(5)->Enabled = p.ThumbEnabled;
  dirPopup->FindItemByTag(5)->Checked = p.ThumbChecked;
  dirPopup->FindItemByTag(6)->Enabled = true;
  dirPopup->FindItemByTag(6)->Checked = p.MarkChecked;
  dirPopup->FindItemByTag(7)->Enabled = true;
  dirPopup->FindItemByTag(0)->Enabled = true;  // the folder-size tree
  POINT pt;
  if (at) {
    pt = *at;
  } else {
    RECT r = dirs.ItemRect(index);
    pt = dirs.ClientToScreen(POINT{r.left, r.bottom});
  }
  dirPopup->Popup(Handle(), pt.x, pt.y);
}

void TViewerForm::FolderListKeyDown(WORD& key, TShiftState shift) {
  int index;
  std::string path;
  const bool item = FolderItem(*this, index, path);
  switch (key) {
    case VK_DELETE: {
      const TDeleteCommand c = FolderDeleteKey(ParentalLevel, item && BelowCurrent(*this, index),
                                               shift & ssShift, item && MayRecyclePath(path));
      if (c == dcNone) break;
      key = 0;
      FolderCommand(*this, c == dcRecycle ? 2 : 3);
      break;
    }
    case VK_F2:
      if (!FileCommandsAllowed(ParentalLevel) || !item) break;
      key = 0;
      FolderCommand(*this, 4);
      break;
    case VK_APPS:
      key = 0;
      ShowFolderPopup();
      break;
  }
}
