// The file list's commands: its popup menu (tags 8-17), its keys, recycling, deleting and
// renaming files, copying names.
#include <windows.h>

#include "foundation/SoundMessageDialog.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uShell.h"
#include "framework/Clipboard.h"
#include "framework/Printer.h"
#include "framework/Text.h"
#include "resources/uResStrings.h"
#include "shell/BatchRenameDialog.h"
#include "shell/FilePropertiesDialog.h"
#include "shell/FindReplaceForm.h"
#include "shell/ViewerForm.h"
#include "shell/uCommandRules.h"
#include "thumbnails/GalleryDialogs.h"
#include "thumbnails/ThumbPrint.h"

namespace {
// Runs a file command with the process's current folder at the list's folder, as the shell
// operations take bare names relative to it.
class tInListFolder {
 public:
  explicit tInListFolder(const std::string& folder) {
    wchar_t buffer[MAX_PATH * 2] = {};
    GetCurrentDirectoryW(MAX_PATH * 2, buffer);
    old_ = buffer;
    SetCurrentDirectoryW(Utf8ToWide(folder).c_str());
  }
  ~tInListFolder() { SetCurrentDirectoryW(old_.c_str()); }

 private:
  std::wstring old_;
};

// A handed-out list (line 0 the folder) as full names, copied: the list is the file list's and
// the next request replaces it.
std::vector<std::string> FullNames(const std::vector<std::string>* list) {
  std::vector<std::string> names;
  if (!list || list->empty()) return names;
  for (size_t i = 1; i < list->size(); ++i) names.push_back((*list)[0] + (*list)[i]);
  return names;
}
}  // namespace

bool RenameWithMessage(const std::string& oldName, const std::string& newName, TWindow* window) {
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  const bool ok = MoveFileW(Utf8ToWide(oldName).c_str(), Utf8ToWide(newName).c_str()) != 0;
  SetErrorMode(oldMode);
  if (!ok) {
    SoundMessageDlg(Format("I can't rename\r\"%s\"\rto\r\"%s\"\r(duplicate name? write protected?)",
                           {oldName, newName}),
                    mtError, MsgDlgButtons({mbOK, mbHelp}),
                    ViewerForm ? ViewerForm->MessageSounds : true, 54);
    return false;
  }
  if (window) window->Post(WM_FOLDER_CHANGED);
  return true;
}

bool TViewerForm::MayRecycleHere() const {
  const std::string folder = Orvex_FileList1->Directory();
  const int type = PathDriveType(folder);
  return MayRecycleFolder(folder, type == DRIVE_REMOVABLE, type == DRIVE_REMOTE);
}

void TViewerForm::FileListKeyDown(WORD& key, TShiftState shift) {
  ShiftState = shift;
  TOrvex_FileList& list = *Orvex_FileList1;
  const bool hasItem = list.Count() > 0 && list.ItemIndex() >= 0;
  switch (key) {
    case VK_SPACE:
      if (shift & ssShift)
        list.TagRange(list.ItemIndex());
      else
        list.TagAndAdvance();
      key = 0;
      break;
    case VK_DELETE: {
      const TDeleteCommand c = FileDeleteKey(ParentalLevel, hasItem, shift & ssShift, MayRecycleHere());
      if (c == dcNone) break;
      key = 0;
      filePopup->FindItemByTag(8)->Checked = true;
      popupClick(filePopup->FindItemByTag(c == dcRecycle ? 9 : 10));
      break;
    }
    case VK_F2:
      if (!FileCommandsAllowed(ParentalLevel) || !hasItem) break;
      key = 0;
      popupClick(filePopup->FindItemByTag(11));
      break;
    case VK_APPS:
      key = 0;
      ShowFilePopup();
      break;
  }
}

void TViewerForm::ShowFilePopup(const POINT* at) {
  TOrvex_FileList& list = *Orvex_FileList1;
  TMenuItem* allTagged = filePopup->FindItemByTag(8);
  tFilePopupState s;
  s.Level = ParentalLevel;
  s.HasItem = list.Count() > 0 && list.ItemIndex() >= 0;
  s.TaggedCount = list.TaggedCount();
  s.CurrentTagged = s.HasItem && list.IsTagged(list.ItemIndex());
  s.CurrentIndex = list.ItemIndex();
  s.PopupIndex = PopupIndex;
  s.AllTaggedChecked = allTagged->Checked;
  s.MayRecycle = MayRecycleHere();
  s.BatchFindReplace = ViewerForm ? ViewerForm->BatchFindReplace : BatchFindReplace;
  s.ThumbState = ThumbState();
  s.ThumbCount = list.ThumbnailCount();
  // Without the thumbnail database the view has no volume of its own.
  s.KnownVolume = ThumbView && ThumbView->Volume != -1;
  s.StoredPermanently = ThumbView && ThumbView->Status == 'A';
  const tFilePopup p = FilePopup(s);
  if (!p.Show) return;
  allTagged->Enabled = p.AllTaggedEnabled;
  allTagged->Checked = p.AllTaggedChecked;
  filePopup->FindItemByTag(9)->Enabled = p.Recycle;
  filePopup->FindItemByTag(10)->Enabled = p.Delete;
  filePopup->FindItemByTag(11)->Enabled = p.Rename;
  filePopup->FindItemByTag(16)->Enabled = p.CopyName;
  TMenuItem* fr = filePopup->FindItemByTag(15);
  fr->Visible = p.FindReplaceVisible;
  // The thumbnail commands stay disabled while the view has no database of its own.
  fr->Enabled = p.FindReplaceEnabled;
  filePopup->FindItemByTag(17)->Enabled = p.Properties;
  TMenuItem* show = filePopup->FindItemByTag(12);
  show->Enabled = ThumbView && Thumbs && p.ShowEnabled;
  show->Checked = p.ShowChecked;
  TMenuItem* catalog = filePopup->FindItemByTag(13);
  catalog->Enabled = ThumbView && p.CatalogEnabled;
  catalog->Checked = p.CatalogChecked;
  filePopup->FindItemByTag(14)->Enabled = ThumbView && p.Print;
  fileBatch->Enabled = p.Batch;
  POINT pt;
  if (at) {
    pt = *at;
  } else if (p.AtItem) {
    RECT r = list.ItemRect(list.ItemIndex());
    pt = list.ClientToScreen(POINT{r.left + 16, r.bottom});
  } else {
    pt = list.ClientToScreen(POINT{10, 10});
  }
  filePopup->Popup(Handle(), pt.x, pt.y);
}

void TViewerForm::PrintFolderThumbnails(bool taggedOnly) {
  if (!ThumbView) return;
  // The choices are kept with the first window's settings, as the gallery's are.
  TViewerForm& s = ViewerForm ? *ViewerForm : *this;
  int size = s.GalleryPrintSize;
  bool center = s.GalleryCenterPrint;
  int orientation = s.GalleryOrientation;
  if (!ExecuteThumbPrintDialog(size, center, orientation)) return;
  s.GalleryOrientation = orientation;
  std::vector<uint32_t> records;
  if (!ThumbView->GetTaggedRecords(records, taggedOnly)) return;
  Printer().SetOrientation(orientation == poLandscape ? poLandscape : poPortrait);
  const std::string program = LoadResString(sProgramName);
  PrintThumbnails(*ThumbView, records,
                  Format("%s catalog of %s    %%s", {program, Orvex_FileList1->Directory()}),
                  Format("%s catalog", {program}), this, center, size);
}

void TViewerForm::popupClick(TMenuItem* item) {
  if (!item) return;
  const int tag = static_cast<int>(item->Tag);
  if (tag >= 1 && tag <= 7) {
    // The folder commands live with the folder list.
    extern void FolderCommand(TViewerForm & form, int tag);
    FolderCommand(*this, tag);
    return;
  }
  TOrvex_FileList& list = *Orvex_FileList1;
  TMenuItem* allTagged = filePopup->FindItemByTag(8);
  if (tag == 8) {
    allTagged->Checked = !allTagged->Checked;
    PopupIndex = list.ItemIndex();
    ShowFilePopup();
    return;
  }
  if (tag >= 9 && tag <= 11 && !FileCommandsAllowed(ParentalLevel)) return;
  const std::string current = list.GetCurrentName();
  const std::string folder = list.Directory();
  // Making, storing and printing thumbnails and copying names need no current file.
  if (list.ItemIndex() < 0 && tag != 12 && tag != 13 && tag != 14 && tag != 16) return;
  tInListFolder inFolder(folder);
  switch (tag) {
    case 9:
    case 10: {
      std::vector<std::string> names;
      if (allTagged->Checked) names = FullNames(list.GetTaggedSelection());
      const bool ok = names.empty() ? DeleteFiles(current, nullptr, tag == 9)
                                    : DeleteFiles(current, &names, tag == 9);
      if (ok) Post(WM_FOLDER_CHANGED);
      break;
    }
    case 11: {
      if (allTagged->Checked) {
        POINT at;
        GetCursorPos(&at);
        ShowBatchRename(this, at);
        break;
      }
      std::string oldName, newName;
      if (!list.EditItemName(list.ItemIndex(), oldName, newName) || newName.empty() ||
          newName == oldName)
        break;
      if (!RenameWithMessage(AddBackslash(folder) + oldName, AddBackslash(folder) + newName,
                             nullptr))
        break;
      RenameThumbnailEntry(oldName, newName);
      list.Reread();
      break;
    }
    case 12:
      // The folder counts as known from now on, and its thumbnails are made at once, even in a
      // folder left out of automatic thumbnails.
      if (!ThumbView || !Thumbs) break;
      ThumbView->Volume = 0;
      Thumbs->MakeThumbnailsNow();
      break;
    case 13: {
      if (!ThumbView) break;
      const int type = PathDriveType(folder);
      if (ThumbView->CatalogRemovable(ThumbView->VolumeLabel,
                                      type == DRIVE_REMOVABLE || type == DRIVE_CDROM) &&
          Thumbs)
        Thumbs->ReportCounts();
      break;
    }
    case 14:
      PrintFolderThumbnails(allTagged->Checked);
      break;
    case 15:
      ShowFindReplace(this, list.GetTaggedSelection());
      break;
    case 17:
      if (ShowFileProperties(this, AddBackslash(folder) + current)) list.Reread();
      break;
    case 16: {
      if (allTagged->Checked) {
        std::string text;
        for (const std::string& name : FullNames(list.GetTaggedSelection()))
          text += name + "\r\n";
        if (!text.empty()) SetClipboardText(text);
      } else {
        const std::string name = list.GetFileName();
        if (!name.empty()) SetClipboardText(name);
      }
      break;
    }
  }
}
