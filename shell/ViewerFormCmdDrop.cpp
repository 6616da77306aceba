// Drag and drop: files dropped from the shell, files dragged between the file lists of any main
// windows (the drop menu), files and folders dragged onto a folder list (copied or moved to a
// folder the user confirms), and files dragged onto the Scripts button.
#include <windows.h>

#include "foundation/uFiles.h"
#include "foundation/uShell.h"
#include "framework/DragDrop.h"
#include "shell/SelectFolderDialog.h"
#include "shell/ViewerForm.h"
#include "shell/uCommandRules.h"

namespace {
// The main window a control belongs to (null for a control of any other window).
TViewerForm* FormOf(TWindow* control) {
  TWindow* w = control;
  while (w && w->Parent()) w = w->Parent();
  return dynamic_cast<TViewerForm*>(w);
}

TDragKind DragKindOf(TWindow* source) {
  TViewerForm* form = FormOf(source);
  if (!form) return dkNone;
  if (source == form->Orvex_FileList1) return dkFileList;
  if (source == form->Orvex_DirList1) return dkFolderList;
  return dkNone;
}

// The names a file list gives away: its tagged selection, or its current row when that is a
// file; full names, copied at once (the list's own copy goes with its next request).
std::vector<std::string> DraggedFiles(TOrvex_FileList& list, int& taggedCount) {
  std::vector<std::string> names;
  if (const auto* tagged = list.GetTaggedSelection())
    for (size_t i = 1; i < tagged->size(); ++i) names.push_back((*tagged)[0] + (*tagged)[i]);
  list.FreeList();
  taggedCount = static_cast<int>(names.size());
  if (names.empty() && list.GetCurrentKind() == '3') names.push_back(list.GetFileName());
  return names;
}

// The folder of the folder list's current row (the one a press made current).
std::string DraggedFolder(TOrvex_DirList& list) {
  const int row = list.ItemIndex();
  return row >= 0 ? RemoveBackslash(list.GetItemPath(row)) : std::string();
}
}  // namespace

void TViewerForm::ConnectDropCommands() {
  // The drop menu: copy, move, show, cancel.
  TMenuItem* copyHere = cpyMenu->Items()[0];
  TMenuItem* moveHere = cpyMenu->Items()[1];
  TMenuItem* show = cpyMenu->Items()[2];
  copyHere->Enabled = true;
  copyHere->OnClick = [this](TComponent*) { CopyOrMoveDropped(true); };
  moveHere->OnClick = [this](TComponent*) { CopyOrMoveDropped(false); };
  cpyMenu->OnPopup = [this, moveHere, show](TComponent*) {
    show->Visible = !DropIsInternal;
    moveHere->Enabled = !DropIsInternal ||
                        (DropSourceForm && MoveHereEnabled(DropSourceForm->Orvex_FileList1->Directory(),
                                                           Orvex_FileList1->Directory()));
  };
  // The folder list's drop menu: to a folder the user confirms.
  TMenuItem* copyTo = cpy2Menu->Items()[0];
  TMenuItem* moveTo = cpy2Menu->Items()[1];
  copyTo->Enabled = moveTo->Enabled = true;
  copyTo->OnClick = [this](TComponent*) { CopyOrMoveToFolder(true); };
  moveTo->OnClick = [this](TComponent*) { CopyOrMoveToFolder(false); };

  auto target = [this](TWindow* control, TDropPlace place,
                       void (TViewerForm::*drop)(TWindow*, POINT)) {
    auto* t = new TDragTarget(control);
    t->OnDragOver = [this, place](TWindow* source, POINT) {
      return DropTaken(place, DragKindOf(source), ParentalLevel);
    };
    t->OnDragDrop = [this, drop](TWindow* source, POINT at) { (this->*drop)(source, at); };
  };
  target(Orvex_FileList1, dpFileList, &TViewerForm::DropOnFileList);
  target(Orvex_DirList1, dpFolderList, &TViewerForm::DropOnFolderList);
  target(btnScripts, dpScripts, &TViewerForm::DropOnScripts);
}

void TViewerForm::DropOnFileList(TWindow* source, POINT at) {
  DropIsInternal = true;
  DropSourceForm = FormOf(source);
  const POINT screen = Orvex_FileList1->ClientToScreen(at);
  cpyMenu->Popup(Handle(), screen.x, screen.y);
  DropIsInternal = false;
  DropSourceForm = nullptr;
}

void TViewerForm::DropOnFolderList(TWindow* source, POINT at) {
  TOrvex_DirList& folders = *Orvex_DirList1;
  const int row = folders.ItemAtPos(at);
  DropFolder = row >= 0 ? RemoveBackslash(folders.GetItemPath(row)) : folders.Directory();
  DropPoint = folders.ClientToScreen(at);
  DropSourceForm = FormOf(source);
  DropSourceKind = DragKindOf(source);
  cpy2Menu->Popup(Handle(), DropPoint.x, DropPoint.y);
  DropSourceForm = nullptr;
  DropSourceKind = dkNone;
}

void TViewerForm::DropOnScripts(TWindow* source, POINT) {
  TViewerForm* from = FormOf(source);
  if (!from) return;
  TOrvex_FileList& list = *from->Orvex_FileList1;
  std::vector<std::string> files;
  if (const auto* tagged = list.GetTaggedSelection()) files = *tagged;
  list.FreeList();
  if (files.empty() && list.GetCurrentKind() == '3')
    files = {AddBackslash(list.Directory()), list.GetCurrentName()};
  ShowScriptEditorFor(files);
}

void TViewerForm::CopyOrMoveToFolder(bool copy) {
  TViewerForm* source = DropSourceForm;
  const TDragKind kind = DropSourceKind;
  if (!source || kind == dkNone || !FileCommandsAllowed(ParentalLevel)) return;
  std::string destination = DropFolder;
  if (kind == dkFileList) {
    TOrvex_FileList& from = *source->Orvex_FileList1;
    const std::string sourceFolder = from.Directory();
    int tagged = 0;
    const std::vector<std::string> names = DraggedFiles(from, tagged);
    if (names.empty()) return;
    if (!ExecuteSelectFolder(this, DropPoint, copy ? "Copy" : "Move", destination,
                             FolderDropText(kind, tagged, names[0])))
      return;
    // A move onto the files' own folder would leave them where they are.
    if (!copy && !MoveHereEnabled(sourceFolder, destination)) return;
    const bool done =
        copy ? CopyFiles(names[0], &names, destination, RenameOnCollision(sourceFolder, destination))
             : MoveFiles(names[0], &names, destination, MoveAllowsUndo(sourceFolder, destination));
    if (!done) return;
    if (FolderDropRefresh(!copy, sourceFolder, destination).Source)
      source->Post(WM_FOLDER_CHANGED);
    if (source != this && RenameOnCollision(Orvex_FileList1->Directory(), destination))
      Post(WM_FOLDER_CHANGED);
    return;
  }
  const std::string folder = DraggedFolder(*source->Orvex_DirList1);
  if (folder.empty()) return;
  if (!ExecuteSelectFolder(this, DropPoint, copy ? "Copy" : "Move", destination,
                           FolderDropText(kind, 0, folder)))
    return;
  if (!FolderDropAllowed(folder, destination, !copy)) return;
  const bool done = copy ? CopyFileRenaming(folder, destination)
                         : MoveFileRenaming(folder, destination, MoveAllowsUndo(folder, destination));
  if (!done) return;
  Orvex_DirList1->Refresh();
  if (copy) return;
  TOrvex_DirList& from = *source->Orvex_DirList1;
  if (ShowsMovedFolder(from.Directory(), folder))
    from.SetDirectory(RemoveBackslash(ExtractFilePath(folder)));
  else if (&from != Orvex_DirList1)
    from.Refresh();
}

void TViewerForm::CopyOrMoveDropped(bool copy) {
  const std::string target = Orvex_FileList1->Directory();
  if (!DropIsInternal) {
    // Files from the shell go into this window's folder.
    if (!DropList || DropList->empty()) return;
    const std::vector<std::string> names = *DropList;
    DropList.reset();
    if (!FileCommandsAllowed(ParentalLevel)) return;
    const bool ok = copy ? CopyFiles(names[0], &names, target, false)
                         : MoveFiles(names[0], &names, target, true);
    (void)ok;
    Post(WM_FOLDER_CHANGED);
    return;
  }
  TViewerForm* source = DropSourceForm;
  DropIsInternal = false;
  DropSourceForm = nullptr;
  if (!source || !FileCommandsAllowed(ParentalLevel)) return;
  TOrvex_FileList& from = *source->Orvex_FileList1;
  const std::string sourceFolder = from.Directory();
  int tagged = 0;
  const std::vector<std::string> names = DraggedFiles(from, tagged);
  if (names.empty()) return;
  if (copy)
    CopyFiles(names[0], &names, target, RenameOnCollision(sourceFolder, target));
  else if (MoveHereEnabled(sourceFolder, target))
    MoveFiles(names[0], &names, target, MoveAllowsUndo(sourceFolder, target));
  else
    return;
  const tDropRefresh refresh = DropRefresh(!copy);
  if (refresh.Source && source != this) source->Post(WM_FOLDER_CHANGED);
  if (refresh.Target) Post(WM_FOLDER_CHANGED);
}
