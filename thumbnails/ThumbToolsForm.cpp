#include "thumbnails/ThumbToolsForm.h"

#include <algorithm>

#include "foundation/cDirOutline.h"
#include "foundation/cFileCtlDriveCombo.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uMessages.h"
#include "foundation/uPlatform.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Label.h"
#include "framework/ListView.h"
#include "framework/PageControl.h"
#include "framework/StatusBar.h"
#include "framework/Text.h"
#include "imaging/uGraphic.h"
#include "resources/uResStrings.h"
#include "thumbnails/uThumbnails.h"

namespace {

constexpr int kBottom = 40;

std::string Trimmed(const std::string& text) {
  const size_t a = text.find_first_not_of(' ');
  return a == std::string::npos ? std::string() : text.substr(a, text.find_last_not_of(' ') - a + 1);
}

tThumbFolderProbe SystemProbe() {
  tThumbFolderProbe probe;
  probe.FolderExists = [](const std::string& folder) { return FolderExists(folder); };
  probe.DriveType = [](const std::string& root) {
    return static_cast<int>(GetDriveTypeW(Utf8ToWide(root).c_str()));
  };
  return probe;
}

}  // namespace

TThumbToolsForm::TThumbToolsForm(TComponent* owner, tThumbnails& database, tThumbToolsHost host)
    : TForm(owner), View(database), host_(std::move(host)) {
  // The main window finds its tools windows by this name to tell them of database changes.
  Name = "TThumbToolsForm";
  SetCaption("Thumbnail Tools");
  if (!host_.Probe.FolderExists || !host_.Probe.DriveType) host_.Probe = SystemProbe();
  PageControl1 = new TPageControl(this, this, 8, 8, 560, 330);
  tsFolders = PageControl1->AddPage("Thumbnail Folder View");
  tsUpdate = PageControl1->AddPage("Thumbnail Update");

  StringGrid1 = new TListView(this, tsFolders, 6, 6, 540, 256);
  StringGrid1->AddColumn("Delete", 60);
  StringGrid1->AddColumn("Count", 70, taRightJustify);
  StringGrid1->AddColumn("Folder", 380);
  StringGrid1->SetViewStyle(vsReport);
  btnFgo = new TButton(this, tsFolders, "A&pply", 6, 268, 80, 25);
  btnFshow = new TButton(this, tsFolders, "&Display", 94, 268, 80, 25);
  btnFgo->OnClick = [this](TComponent*) { ApplyClick(); };
  btnFshow->OnClick = [this](TComponent*) { ShowFolders(); };
  StringGrid1->OnKeyDown = [this](TComponent*, WORD& key, TShiftState) {
    if (key == VK_DELETE) ToggleMark(StringGrid1->Selected());
  };
  StringGrid1->OnDblClick = [this](TComponent*) {
    const int row = StringGrid1->Selected();
    if (row < 0 || row >= static_cast<int>(Rows.size()) || !host_.ShowFileInViewerForm) return;
    host_.ShowFileInViewerForm(View.RecordPath(View.SelectedRecord(Rows[static_cast<size_t>(row)].First)));
  };

  Orvex_DriveCombo1 = new TOrvex_DriveCombo(this, tsUpdate, 6, 8, 200, 300);
  btnStart = new TButton(this, tsUpdate, "&Start", 214, 6, 80, 25);
  btnCancel = new TButton(this, tsUpdate, "&Cancel", 300, 6, 80, 25);
  btnCancel->SetEnabled(false);
  Orvex_DirOutline1 = new TOrvex_DirOutline(this, tsUpdate, 6, 40, 290, 250);
  const char* const captions[7] = {"Folder:", "Folders:", "Files:", "Kept:", "Updated:", "Added:", "Deleted:"};
  for (int i = 0; i < 7; ++i) {
    auto* caption = new TLabel(this, tsUpdate, 306, 44 + 24 * i, 64, 16);
    caption->SetCaption(captions[i]);
    Counters[i] = new TLabel(this, tsUpdate, 372, 44 + 24 * i, i == 0 ? 176 : 80, 16);
  }
  btnStart->OnClick = [this](TComponent*) { UpdateDrive(); };
  btnCancel->OnClick = [this](TComponent*) { Cancel = true; };
  Orvex_DriveCombo1->OnChange = [this](TComponent*) {
    if (Orvex_DriveCombo1->Drive()) Orvex_DirOutline1->SetDrive(Orvex_DriveCombo1->Drive());
  };

  btnClose = new TButton(this, this, "&Close", 400, 346, 80, 25);
  AboutButton = new TButton(this, this, "&About", 488, 346, 80, 25);
  btnClose->OnClick = [this](TComponent*) { Close(); };
  AboutButton->OnClick = [this](TComponent*) {
    if (host_.ShowAbout) host_.ShowAbout();
  };
  StatusBar1 = new TStatusBar(this, this);
  StatusBar1->SetPanels({260, 120, -1});

  OnMessage(WM_DEFERRED_START, [this](WPARAM, LPARAM) -> LRESULT {
    if (!Updating) ShowFolders();
    return 0;
  });
  // The decoder's finished picture goes into the database as it arrives.
  OnMessage(WM_GRAPHIC_DONE, [this](WPARAM, LPARAM) -> LRESULT {
    if (scan_) scan_->AddNewThumbnail();
    return 0;
  });
  OnCloseQuery = [this](TComponent*, bool& canClose) {
    // A running update stops first; the window closes once it has.
    if (Updating) {
      Cancel = true;
      canClose = false;
    }
  };
  OnClose = [](TComponent*, TCloseAction& action) { action = caFree; };
  SetBounds(40, 40, 592, 440);
  FinishCreate();
  Arrange();
}

TThumbToolsForm::~TThumbToolsForm() = default;

void TThumbToolsForm::Resize() {
  TForm::Resize();
  Arrange();
}

void TThumbToolsForm::Arrange() {
  if (!StatusBar1 || !PageControl1) return;
  StatusBar1->ParentResized();
  const int width = ClientWidth(), bottom = ClientHeight() - StatusBar1->Height();
  PageControl1->SetBounds(8, 8, std::max(200, width - 16), std::max(120, bottom - kBottom - 8));
  btnClose->SetBounds(width - 176, bottom - kBottom + 7, 80, 25);
  AboutButton->SetBounds(width - 88, bottom - kBottom + 7, 80, 25);
  const int pageWidth = std::max(200, width - 16) - 20, pageHeight = std::max(120, bottom - kBottom - 8) - 34;
  StringGrid1->SetBounds(6, 6, pageWidth, std::max(40, pageHeight - 44));
  btnFgo->SetBounds(6, pageHeight - 32, 80, 25);
  btnFshow->SetBounds(94, pageHeight - 32, 80, 25);
  Orvex_DirOutline1->SetBounds(6, 40, 290, std::max(40, pageHeight - 46));
}

std::string TThumbToolsForm::YesWord() const {
  const std::string yes = Platform().ResourceString(sToolsYes);
  return yes.empty() ? "YES" : yes;
}

void TThumbToolsForm::ShowFolders() {
  StringGrid1->Clear();
  Rows.clear();
  ShowMarks();
  if (View.Database.ActiveCount() == 0) {
    StatusBar1->SetPanelText(0, "");
    return;
  }
  StatusBar1->SetPanelText(0, "Sorting...");
  StatusBar1->Update();
  {
    THourGlass wait;
    if (host_.PlaySound) host_.PlaySound(1);
    Rows = BuildThumbFolderRows(View, host_.Probe);
  }
  StatusBar1->SetPanelText(0, Format("%.0n total items", {static_cast<double>(View.SelectionCount())}));
  if (host_.PlaySound) host_.PlaySound(2);
  StringGrid1->BeginUpdate();
  for (const tThumbFolderRow& row : Rows)
    StringGrid1->AddItem(row.Delete ? YesWord() : "", {std::to_string(row.Count), row.Folder});
  StringGrid1->EndUpdate();
  ShowMarks();
}

void TThumbToolsForm::ShowMarks() {
  StatusBar1->SetPanelText(1, ThumbFolderMarksText(Rows));
  StatusBar1->SetPanelText(2, ThumbDeleteCountText(Rows));
}

void TThumbToolsForm::ToggleMark(int row) {
  if (row < 0 || row >= static_cast<int>(Rows.size())) return;
  tThumbFolderRow& r = Rows[static_cast<size_t>(row)];
  r.Delete = !r.Delete;
  StringGrid1->SetItemText(row, 0, r.Delete ? YesWord() : "");
  ShowMarks();
}

void TThumbToolsForm::ApplyClick() {
  if (std::none_of(Rows.begin(), Rows.end(), [](const auto& r) { return r.Delete; })) return;
  {
    THourGlass wait;
    PurgeMarkedFolders(View, Rows);
  }
  ShowFolders();
}

void TThumbToolsForm::ShowCounters(const std::string& folder, int folders,
                                   const tDirectoryView::tCounters& c) {
  const int values[6] = {folders, c.Seen, c.Unchanged, c.Changed, c.Stored, c.Vanished};
  Counters[0]->SetCaption(folder);
  for (int i = 0; i < 6; ++i) Counters[i + 1]->SetCaption(std::to_string(values[i]));
}

bool TThumbToolsForm::UpdateDrive(char letter) {
  if (Updating) return false;
  if (letter) Orvex_DriveCombo1->SetDrive(letter);
  // A removable disk may have been changed since the drive was chosen.
  Orvex_DriveCombo1->RefreshRemovable();
  const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(Orvex_DriveCombo1->Drive())));
  if (!drive) return false;
  const std::string root = std::string(1, drive) + ":\\";
  const int type = static_cast<int>(GetDriveTypeW(Utf8ToWide(root).c_str()));
  const std::string label = Trimmed(Orvex_DriveCombo1->VolumeName());
  if (IsRemovableDriveType(type) && label.empty()) {
    if (host_.Ask) host_.Ask("I can't update a removable disk unless it has a Volume Label", false);
    return false;
  }
  if (host_.Ask &&
      !host_.Ask(Format(Platform().ResourceString(sToolsConfirmUpdate), {std::string(1, drive)}), true))
    return false;
  Drive = drive;
  Updating = true;
  Cancel = false;
  btnStart->SetEnabled(false);
  btnCancel->SetEnabled(true);
  if (host_.PlaySound) host_.PlaySound(1);
  scan_ = std::make_unique<tDirectoryView>(View.Database, nullptr);
  tDirectoryView::tCounters total;
  int folders = 0;
  tThumbFolderWalk walk(root);
  std::string folder;
  while (!Cancel && walk.Next(folder)) {
    if (View.Database.IsFolderOmitted(folder, false)) continue;
    ++folders;
    scan_->OpenFolder(folder, label, 0, type);
    scan_->BeginUpdate();
    bool more = true;
    while (more) {
      more = scan_->UpdateStep(reinterpret_cast<intptr_t>(Handle()));
      tDirectoryView::tCounters shown = total;
      const tDirectoryView::tCounters& now = scan_->Counters();
      shown.Seen += now.Seen;
      shown.Unchanged += now.Unchanged;
      shown.Changed += now.Changed;
      shown.Stored += now.Stored;
      shown.Vanished += now.Vanished;
      ShowCounters(folder, folders, shown);
      StatusBar1->SetPanelText(0, folder);
      Application.ProcessMessages();
      if (more && Cancel) {
        // What was stored stays; the folder's vanished records are left as they are.
        scan_->EndUpdate();
        more = false;
      }
      if (!more) total = shown;
    }
  }
  scan_.reset();
  View.Database.Header.ChangeCounter++;
  View.Database.WriteHeader();
  if (Cancel) {
    StatusBar1->SetPanelText(0, Format("====> Drive %s: update CANCELLED <====", {std::string(1, drive)}));
  } else {
    StatusBar1->SetPanelText(0, Format("Drive %s: update complete", {std::string(1, drive)}));
    if (host_.PlaySound) host_.PlaySound(2);
  }
  Updating = false;
  btnStart->SetEnabled(true);
  btnCancel->SetEnabled(false);
  if (host_.NotifyThumbnailsChanged) host_.NotifyThumbnailsChanged();
  return true;
}

TThumbToolsForm* ShowThumbnailTools(TComponent* owner, tThumbnails& database, tThumbToolsHost host) {
  auto* form = new TThumbToolsForm(owner, database, std::move(host));
  form->Show();
  form->Post(WM_DEFERRED_START);
  return form;
}
