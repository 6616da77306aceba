// Drag and drop: files dropped from the shell and files dragged between file lists, copied or
// moved through the drop menu.
#include <windows.h>

#include "foundation/uFiles.h"
#include "foundation/uShell.h"
#include "shell/ViewerForm.h"
#include "shell/uCommandRules.h"

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
  // The tagged selection, copied as full names (the list is the source's and goes at once).
  std::vector<std::string> names;
  if (const auto* list = from.GetTaggedSelection())
    for (size_t i = 1; i < list->size(); ++i) names.push_back((*list)[0] + (*list)[i]);
  from.FreeList();
  if (names.empty()) {
    const std::string one = from.GetFileName();
    if (one.empty()) return;
    names.push_back(one);
  }
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
