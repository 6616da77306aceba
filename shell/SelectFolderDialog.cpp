#include "shell/SelectFolderDialog.h"

#include <exception>

#include "foundation/cFileCtlDirList.h"
#include "foundation/cFileCtlDriveCombo.h"
#include "foundation/cFileCtlPathLabel.h"
#include "foundation/cOrvexComboBox.h"
#include "foundation/uFormPlacementWin.h"
#include "framework/Application.h"
#include "framework/BitBtn.h"
#include "framework/Button.h"
#include "framework/Label.h"
#include "framework/TabControl.h"
#include "shell/ViewerForm.h"

namespace {
const char kDrivesPage[] = "DRIVES / history";
const char kHistoryPage[] = "drives / HISTORY";

TLabel* BoldLabel(TComponent* owner, TWindow* parent, int y, const std::string& caption) {
  auto* l = new TLabel(owner, parent, 12, y, 276, 16);
  l->Font().SetStyle(fsBold);
  l->SetCaption(caption);
  return l;
}
}  // namespace

TSelectFolderDialog::TSelectFolderDialog(TComponent* owner, const std::string& caption,
                                         const std::string& text,
                                         const std::vector<std::string>& history, bool showHidden)
    : TForm(owner, bsDialog) {
  SetCaption("Select folder");
  HelpContext = 60;
  SetClientSize(300, 356);
  lblCaption = BoldLabel(this, this, 8, caption);
  lblText = BoldLabel(this, this, 26, text);
  btnPages = new TButton(this, this, kDrivesPage, 12, 50, 276, 22);
  Pages = new TNotebook(this, this, 12, 76, 276, 24);
  TPanel* drives = Pages->AddPage();
  TPanel* past = Pages->AddPage();
  DriveCombo = new TOrvex_DriveCombo(this, drives, 0, 0, 276, 300);
  cbHistory = new TOrvex_ComboBox(this, past, 0, 0, 276, 300);
  cbHistory->ItemHint = true;
  for (const std::string& f : history) cbHistory->Add(f);
  DirList = new TOrvex_DirList(this, this, 12, 106, 276, 186);
  DirList->SetShowHidden(showHidden);
  lblFolder = new TPathLabel(this, this, 12, 298, 276, 16);
  DriveCombo->SetDirList(DirList);
  btnOK = new TButton(this, this, "OK", 40, 322, 80, 25);
  btnOK->ModalResult = mrOk;
  btnOK->SetDefault(true);
  DefaultButton = btnOK;
  btnCancel = new TButton(this, this, "Cancel", 124, 322, 80, 25);
  btnCancel->ModalResult = mrCancel;
  CancelButton = btnCancel;
  btnHelp = new TButton(this, this, "&Help", 208, 322, 80, 25);
  btnHelp->OnClick = [this](TComponent*) {
    if (Application.OnHelp) Application.OnHelp(HelpContext);
  };
  btnPages->OnClick = [this](TComponent*) { FlipPages(); };
  cbHistory->OnChange = [this](TComponent*) { OpenFolder(cbHistory->Text()); };
  DirList->OnChange = [this](TComponent*) { lblFolder->SetCaption(DirList->Directory()); };
  ActiveControl = DirList;
  FinishCreate();
}

void TSelectFolderDialog::OpenFolder(const std::string& folder) {
  if (folder.empty()) return;
  try {
    DirList->SetDirectory(folder);
  } catch (const std::exception&) {
    // A folder gone since it went into the history: the list stays where it was.
  }
  lblFolder->SetCaption(DirList->Directory());
}

std::string TSelectFolderDialog::Folder() const { return DirList->Directory(); }

void TSelectFolderDialog::FlipPages() {
  const int page = 1 - Pages->PageIndex();
  Pages->SetPageIndex(page);
  btnPages->SetCaption(page == 0 ? kDrivesPage : kHistoryPage);
  if (page == 1) cbHistory->SetText(DirList->Directory());
}

bool ExecuteSelectFolder(TViewerForm* owner, POINT at, const std::string& caption,
                         std::string& folder, const std::string& text) {
  std::vector<std::string> history;
  if (TViewerForm* first = ViewerForm ? ViewerForm : owner)
    for (int i = 0; i < first->cbDir->Count(); ++i) history.push_back(first->cbDir->String(i));
  const bool hidden = owner && owner->btn_h->Down();
  auto* dialog = new TSelectFolderDialog(owner, caption, text, history, hidden);
  dialog->OpenFolder(folder);
  dialog->cbHistory->SetText(folder);
  PlaceFormAt(*dialog, at);
  const bool ok = dialog->ShowModal() == mrOk;
  if (ok) folder = dialog->Folder();
  dialog->Release();
  return ok;
}
