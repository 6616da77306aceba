// The window's buttons and keys, the options dialog and acquisition, and the wiring of every
// command family to its menus and controls.
#include <windows.h>

#include "foundation/uFormPlacementWin.h"
#include "framework/Text.h"
#include "imaging/uGraphic.h"
#include "online/AboutBox.h"
#include "foundation/cFileCtlDirList.h"
#include "foundation/cFileCtlDriveCombo.h"
#include "shell/FilePropertiesDialog.h"
#include "shell/InspectorForm.h"
#include "shell/OptionsDialog.h"
#include "shell/SuperTreeForm.h"
#include "shell/uInspectorRules.h"
#include "shell/ViewerForm.h"
#include "shell/uCommandRules.h"
#include "viewers/picture/TwainDialog.h"

namespace {
std::string ProgramFileName() {
  return SettingsProgramFile.empty() ? ModuleFileName() : SettingsProgramFile;
}

}  // namespace

// Whether a TWAIN source manager can be loaded at all (asked once).
bool TwainLibraryPresent() {
  static int present = -1;
  if (present < 0) {
    TTwain probe(nullptr);
    present = probe.SourceManagerAvailable() ? 1 : 0;
  }
  return present == 1;
}

void TViewerForm::OptionsClick() {
  TViewerForm* first = ViewerForm ? ViewerForm : this;
  tOptionsHost host;
  host.Settings = first;
  host.GraphicOptions = &GraphicOptions;
  host.ProgramFile = ProgramFileName();
  host.ListFont = &first->Orvex_FileList1->Font();
  host.SetListFont = [first](const TFont& font) {
    first->Orvex_FileList1->Font() = font;
    first->Orvex_DirList1->Font() = font;
  };
  host.SetTrayIcon = [first](bool on) { first->TrayIcon->SetActive(on); };
  host.NotifyAll = [first](int command) { first->NotifyAllViewerForms(command); };
  host.CloseProgram = [first] { first->Post(WM_CLOSE_REQUEST); };
  // The database pages (statistics, pack, refresh, size, omitted folders) act on the first
  // window's database.
  host.Database = first->Thumbnails.get();
  host.ShowCounts = [first] {
    first->ShowThumbStatus();
    NotifyThumbWindows(0);
    NotifyThumbToolsWindows(0);
  };
  ShowOptionsDialog(this, host);
  ApplyParentalLevel();
}

void TViewerForm::WindowKeyUp(WORD& key, TShiftState shift) {
  if (key == VK_F5 && !(shift & (ssCtrl | ssAlt))) {
    Post(WM_FOLDER_CHANGED);
    key = 0;
  } else if (key == VK_F12 && (shift & ssCtrl)) {
    HeaderWidthsFromText(*HeaderControl1, kDefaultHeaderWidths);
    pnlLeft->SetWidth(HeaderControl1->SectionWidth(0));
    if (!IsZoomed(Handle())) {
      RECT r = BoundsRect();
      SetBounds(r.left, r.top, WindowWidthForSections(kDefaultHeaderWidths), r.bottom - r.top);
    }
    ArrangeControls();
    key = 0;
  }
}

void TViewerForm::ConnectCommands() {
  // A dragged divider shows where it will land, across the list below it: the folder list
  // while the left panel's divider is over it, else the file list (the glyph sections are fixed).
  HeaderControl1->TrackLineWindow = [this](int section, int screenX) -> TWindow* {
    if (section == 1 || section == 2) return nullptr;
    RECT r;
    GetWindowRect(Orvex_DirList1->Handle(), &r);
    return section == 0 && screenX < r.right ? static_cast<TWindow*>(Orvex_DirList1)
                                             : static_cast<TWindow*>(Orvex_FileList1);
  };
  for (TPopupMenu* menu : {dirPopup, filePopup})
    for (TMenuItem* item : menu->Items())
      if (item->Tag) item->OnClick = [this, item](TComponent*) { popupClick(item); };
  dirPopup->FindItemByTag(0)->OnClick = [this](TComponent*) {
    ShowFolderSizeWindow(Orvex_DirList1->GetDrive());
  };
  Orvex_DriveCombo1->OnRightClick = [this](TComponent*) {
    TOrvex_DriveCombo& drives = *Orvex_DriveCombo1;
    if (ShowDriveProperties(this, drives.Drive()) && drives.DriveIsRemovable())
      drives.RefreshRemovable();
  };

  auto fileKeys = Orvex_FileList1->OnKeyDown;
  Orvex_FileList1->OnKeyDown = [this, fileKeys](TComponent* sender, WORD& key, TShiftState shift) {
    FileListKeyDown(key, shift);
    if (key && fileKeys) fileKeys(sender, key, shift);
  };
  auto fileMouse = Orvex_FileList1->OnMouseUp;
  Orvex_FileList1->OnMouseUp = [this, fileMouse](TComponent* sender, TMouseButton button,
                                                 TShiftState shift, int x, int y) {
    if (fileMouse) fileMouse(sender, button, shift, x, y);
    if (button == mbRight) ShowFilePopup();
  };
  Orvex_DirList1->OnKeyDown = [this](TComponent*, WORD& key, TShiftState shift) {
    FolderListKeyDown(key, shift);
  };
  Orvex_DirList1->OnMouseUp = [this](TComponent*, TMouseButton button, TShiftState, int, int) {
    if (button == mbRight) ShowFolderPopup();
  };
  OnKeyUp = [this](TComponent*, WORD& key, TShiftState shift) { WindowKeyUp(key, shift); };
  ConnectMaskCommands();
  ConnectHeaderGlyphs();

  ConnectBatchCommands();
  btnGallery->SetEnabled(GalleryAvailable());
  btnGallery->OnClick = [this](TComponent*) { ShowGallery(); };
  btnAbout->SetEnabled(true);
  btnAbout->OnClick = [this](TComponent*) { ShowAboutBox(this, Handle()); };
  btnOptions->SetEnabled(true);
  btnOptions->OnClick = [this](TComponent*) { OptionsClick(); };
  btnInspect->OnClick = [this](TComponent*) {
    if (ThumbState() != 0) return;
    TOrvex_FileList& list = *Orvex_FileList1;
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i)
      if (list.HasThumbnail(i)) lines.push_back(InspectorLine(list.GetItemName(i), list.Entry(i)->ThumbIndex));
    TInspectorForm* inspector = ShowInspector(this, list.ThumbImages, lines, list.GetThumbnailedList());
    list.FreeList();
    // The list keeps the selection; the inspector, when it opened, stays in front.
    if (inspector)
      inspector->SetFocus();
    else
      list.SetFocus();
  };
  auto listChanged = Orvex_FileList1->OnChange;
  Orvex_FileList1->OnChange = [this, listChanged](TComponent* sender) {
    if (listChanged) listChanged(sender);
    btnInspect->SetEnabled(Orvex_FileList1->ThumbnailCount() > 0);
  };
  btnAcquire->SetEnabled(TwainLibraryPresent());
  btnAcquire->OnClick = [this](TComponent*) {
    RECT r = btnAcquire->BoundsRect();
    POINT below = btnAcquire->Parent()->ClientToScreen(POINT{(r.left + r.right) / 2, r.bottom});
    ShowTwainDialog(below);
  };
}
