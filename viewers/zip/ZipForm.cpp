#include "viewers/zip/ZipForm.h"

#include <numeric>

#include "foundation/SelectDirDialog.h"
#include "foundation/SoundMessageDialog.h"
#include "foundation/cProgress.h"
#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/ListView.h"
#include "framework/Panel.h"
#include "framework/StatusBar.h"
#include "viewers/ViewerHost.h"
#include "viewers/zip/uZipRows.h"

namespace {

constexpr int kTopHeight = 41;
constexpr int kColumnWidths[] = {96, 58, 39, 68, 37, 68, 120};

// Between blocks of an extraction: keep the windows alive, and Esc stops the run.
bool Pump(void*, int) {
  Application.ProcessMessages();
  return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
}

void Sound(int n) {
  if (ViewerHost().PlayOperationSound) ViewerHost().PlayOperationSound(n);
}

}  // namespace

TZipForm::TZipForm(TComponent* owner) : TForm(owner) {
  SetCaption("Zip");
  pnlTop = new TPanel(this, this, 0, 0, 500, kTopHeight);
  btnExit = new TButton(this, pnlTop, "&Close", 8, 8, 75, 25);
  btnAbout = new TButton(this, pnlTop, "&About", 88, 8, 75, 25);
  btnExtract = new TButton(this, pnlTop, "&Extract", 168, 8, 75, 25);
  btnExit->Hint = "Exit program";
  btnAbout->Hint = "About";
  List = new TListView(this, this, 0, kTopHeight, 500, 300);
  static const char* const kColumns[] = {"Name", "Date", "Time", "Size", "Ratio", "Packed", "Path"};
  for (int i = 0; i < 7; ++i)
    List->AddColumn(kColumns[i], kColumnWidths[i], (i >= 3 && i <= 5) ? taRightJustify : taLeftJustify);
  StatusBar1 = new TStatusBar(this, this);
  StatusBar1->SetPanels({120, 120});
  Progress = new TProgress(this, StatusBar1, 120, 2, 100, 16);
  Progress->SetSegmentColor(0x00FFFF);
  btnExit->OnClick = [this](TComponent*) { Close(); };
  btnAbout->OnClick = [](TComponent*) {
    if (ViewerHost().ShowAbout) ViewerHost().ShowAbout();
  };
  btnExtract->OnClick = [this](TComponent*) { btnExtractClick(); };
  List->OnDblClick = [this](TComponent*) { ListDblClick(); };
  List->OnKeyPress = [this](TComponent*, wchar_t& key) {
    if (key == L'\r') ListDblClick();
  };
  OnClose = [this](TComponent*, TCloseAction& action) {
    if (ViewerHost().DecViewerCount) ViewerHost().DecViewerCount(this);
    action = caFree;
  };
  FormCreate();
  FinishCreate();
}

void TZipForm::FormCreate() {
  HelpContext = 63;
  Progress->SetVisible(false);
  const int width = std::accumulate(std::begin(kColumnWidths), std::end(kColumnWidths), 0);
  int fullWidth = 0, fullHeight = 0;
  FullScreenSize(fullWidth, fullHeight);
  SetClientSize(width + GetSystemMetrics(SM_CXVSCROLL) + 4, 200);
  const int height = fullHeight < 801 ? fullHeight - 120 : fullHeight - 240;
  const int top = fullHeight < 801 ? 60 : 120;
  SetBounds((fullWidth - Width()) / 2, top, Width(), height);
  Position = ViewerHost().WindowPlacement < 1 ? poDefaultPosOnly : poDesigned;
  Arrange();
}

void TZipForm::Resize() {
  TForm::Resize();
  Arrange();
}

void TZipForm::Arrange() {
  if (!StatusBar1 || !List) return;
  StatusBar1->ParentResized();
  pnlTop->SetBounds(0, 0, ClientWidth(), kTopHeight);
  List->SetBounds(0, kTopHeight, ClientWidth(), ClientHeight() - kTopHeight - StatusBar1->Height());
}

void TZipForm::AddEntry(void* data, int32_t, TZipEntryInfo* info) {
  auto* form = static_cast<TZipForm*>(data);
  tZipRow row;
  if (!ZipRowOf(*info, row)) return;
  form->PackedTotal += info->PackedSize;
  form->SizeTotal += info->Size;
  form->List->AddItem(row.Caption, row.SubItems);
}

void TZipForm::ExtractProgress(void* data, int32_t value, TZipEntryInfo* info) {
  auto* form = static_cast<TZipForm*>(data);
  if (info->RecordCode == kZipRecExtracted && !info->IsDirectory) {
    ++form->ExtractedCount;
  } else if (info->RecordCode == kZipRecProgress && value >= 1) {
    form->progressPosition_ += value;
    form->Progress->SetPercent(TProgress::PercentOf(form->progressPosition_, form->SizeTotal));
  }
}

void TZipForm::ListArchive(const std::string& fileName) {
  FileName = fileName;
  PackedTotal = SizeTotal = 0;
  List->BeginUpdate();
  List->Clear();
  ZipProcess(FileName, "*.*", &TZipForm::AddEntry, this);
  List->EndUpdate();
  StatusBar1->SetPanelText(0, ZipSummaryText(List->Count(), SizeTotal));
}

void TZipForm::btnExtractClick() {
  std::string folder = RemoveBackslash(ExtractFilePath(FileName));
  if (!BrowseForDirectory(folder, 7, 64)) return;
  ExtractAllTo(folder);
}

void TZipForm::ExtractAllTo(const std::string& folder) {
  THourGlass hourglass;
  Application.ProcessMessages();
  const RECT panel = StatusBar1->PanelRect(1);
  Progress->SetBounds(panel.left, panel.top + 1, StatusBar1->ClientWidth() - panel.left - 16,
                      panel.bottom - panel.top - 2);
  Progress->SetSegmentGap(1);
  Progress->SetSegmentWidth(6);
  Progress->SetPercent(0);
  Progress->SetVisible(true);
  progressPosition_ = 0;
  ExtractedCount = 0;
  ZipSetJunkPaths(false);
  ZipSetPump(Pump, nullptr);
  const int32_t r = ZipExtractAll(FileName, folder, "*.*", nullptr, nullptr, &TZipForm::ExtractProgress, this);
  ZipSetPump(nullptr, nullptr);
  if (ViewerHost().FolderChanged) ViewerHost().FolderChanged(folder);
  Progress->SetVisible(false);
  StatusBar1->SetPanelText(1, ZipExtractResultText(r, ExtractedCount));
  if (r < 0) {
    Sound(0);
  } else if (List->Count() != ExtractedCount) {
    SoundMessageDlg(ZipPartialWarning(ExtractedCount, List->Count()), mtWarning, MsgDlgButtons({mbOK}),
                    ViewerHost().MessageSounds, 0);
  } else {
    Sound(3);
  }
}

std::string TZipForm::OpenEntry(int row) {
  if (row < 0) return "";
  // A folder of this program's own inside the temporary folder: a file of the same name that
  // another program keeps there is never overwritten or deleted.
  const std::string folder = ZipViewFolder(Platform().TempFolder(), Platform().ProcessId());
  if (!IsDirectory(RemoveBackslash(folder))) Platform().MakeFolder(RemoveBackslash(folder));
  const std::string target = folder + List->ItemText(row, 0);
  ExtractedCount = 0;
  progressPosition_ = 0;
  const bool oldJunk = ZipSetJunkPaths(true);
  ZipSetPump(Pump, nullptr);
  ZipExtractEntry(FileName, folder, row, nullptr, nullptr, &TZipForm::ExtractProgress, this);
  ZipSetPump(nullptr, nullptr);
  ZipSetJunkPaths(oldJunk);
  if (ViewerHost().FolderChanged) ViewerHost().FolderChanged(folder);
  if (ExtractedCount < 1) return "";
  if (ViewerHost().AddTempFile) ViewerHost().AddTempFile(target);
  return target;
}

void TZipForm::ListDblClick() {
  const int row = List->Selected();
  if (row < 0) return;
  const std::string target = OpenEntry(row);
  if (target.empty()) {
    SoundMessageDlg("No files extracted (may be password protected)", mtWarning, MsgDlgButtons({mbOK}),
                    ViewerHost().MessageSounds, 0);
    return;
  }
  const bool opened = ViewerHost().TryKnownViewers && ViewerHost().TryKnownViewers(this, target);
  if (!opened)
    SoundMessageDlg("Unknown file type", mtWarning, MsgDlgButtons({mbOK}), ViewerHost().MessageSounds, 0);
}

bool OpenZipWindow(TForm* owner, std::unique_ptr<tBuffStream>& stream) {
  if (!stream) return false;
  stream->Rewind();
  uint8_t sig[4] = {};
  if (stream->Size < 4) return false;
  std::copy(stream->Buffer, stream->Buffer + 4, sig);
  if (!(sig[0] == 'P' && sig[1] == 'K' && sig[2] == 3 && sig[3] == 4)) return false;
  auto* form = new TZipForm(owner);
  const std::string name = stream->Name;
  stream.reset();
  form->SetCaption("Zip file " + ExtractFileName(name));
  form->ListArchive(name);
  form->Show();
  return true;
}
