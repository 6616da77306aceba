// The file menu's batch submenu: print, convert and a web page of the pictures that have
// thumbnails in the list.
#include <windows.h>

#include "foundation/uFiles.h"
#include "shell/BatchConvertWindow.h"
#include "shell/BatchPrintDialog.h"
#include "shell/ViewerForm.h"
#include "shell/uSettings.h"
#include "thumbnails/WebPageDialog.h"

namespace {
// The list of files with thumbnails, copied: the file list's own goes with the next request.
std::vector<std::string> ThumbnailedFiles(TOrvex_FileList& list) {
  std::vector<std::string> files;
  if (const auto* handed = list.GetThumbnailedList()) files = *handed;
  list.FreeList();
  return files;
}
}  // namespace

void TViewerForm::ConnectBatchCommands() {
  batchPrint->OnClick = [this](TComponent*) {
    const std::vector<std::string> files = ThumbnailedFiles(*Orvex_FileList1);
    if (files.size() > 1) ShowBatchPrintDialog(&files);
  };
  batchConvert->OnClick = [this](TComponent*) {
    const std::vector<std::string> files = ThumbnailedFiles(*Orvex_FileList1);
    StartBatchConvert(this, files.size() > 1 ? &files : nullptr);
  };
  batchHTML->OnClick = [this](TComponent*) {
    std::vector<std::string> files = ThumbnailedFiles(*Orvex_FileList1);
    // No picture to hand over: the dialog still opens on the folder and tells why nothing can
    // be built.
    if (files.size() < 2) files = {AddBackslash(Orvex_FileList1->Directory())};
    TViewerForm& s = ViewerForm ? *ViewerForm : *this;
    tWebPageHost host;
    host.IniFile =
        SettingsFileName(SettingsProgramFile.empty() ? ModuleFileName() : SettingsProgramFile);
    host.CustomColors = &s.CustomColors;
    host.PlayDoneSound = [this] { PlayOperationSound(1); };
    host.OpenDocument = [this](const std::string& path) { ShellOpenDocument(this, path); };
    host.NotifyWnd = Handle();
    ShowWebPageDialog(this, files, host);
  };
}
