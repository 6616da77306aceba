#include "shell/BatchConvertWindow.h"

#include "foundation/SoundMessageDialog.h"
#include "foundation/cProgress.h"
#include "foundation/uFormat.h"
#include "foundation/uIdentity.h"
#include "framework/Application.h"
#include "framework/Label.h"
#include "shell/ViewerForm.h"
#include "shell/uMessages.h"
#include "viewers/picture/SaveDialog.h"

TBatchConvertWindow* BatchConvertWindow = nullptr;

namespace {
tBatchOptionsDialog& OptionsDialog() {
  static tBatchOptionsDialog dialog;
  return dialog;
}
}  // namespace

void SetBatchOptionsDialog(tBatchOptionsDialog dialog) { OptionsDialog() = std::move(dialog); }

bool AskBatchOptions(TViewerForm* owner, TSaveOptions& options, std::string& comments, int count) {
  // The dialog shows this decoder's name as its title and edits the batch comments into it.
  tGraphicID holder(nullptr);
  holder.FileName = Format("Batch convert %d pictures", {count});
  options.Picture = &holder;
  const bool ok = ExecuteSaveDialog(owner, options);
  options.Picture = nullptr;
  comments = ok ? holder.RemarksText(ProgramNameAndVersion()) : std::string();
  return ok;
}

void InstallBatchConvertPipeline() {
  SetBatchOptionsDialog(AskBatchOptions);
  SetDefaultBatchSaver(BatchSaveThroughPipeline);
}

TBatchConvertWindow::TBatchConvertWindow(TComponent* owner, HWND ownerHandle,
                                         const std::vector<std::string>& files,
                                         const TSaveOptions& options, const std::string& comments)
    : TForm(owner, bsDialog), OwnerHandle(ownerHandle), Run(files, options, comments) {
  SetCaption("Converting...");
  Position = poScreenCenter;
  SetClientSize(320, 86);
  lblStats = new TLabel(this, this, 12, 10, 296, 16);
  lblStep = new TLabel(this, this, 12, 30, 296, 16);
  Progress = new TProgress(this, this, 12, 56, 296, 18);
  lblStats->SetCaption(Format("Converting %d pictures", {Run.LastIndex}));
  OnMessage(WM_DEFERRED_START, [this](WPARAM, LPARAM) {
    Step();
    return 0;
  });
  OnMessage(WM_CLOSE_REQUEST, [this](WPARAM, LPARAM) {
    CloseRequest();
    return 0;
  });
  OnShow = [this](TComponent*) { Post(WM_DEFERRED_START); };
  OnClose = [](TComponent*, TCloseAction& action) { action = caFree; };
  BatchConvertWindow = this;
  FinishCreate();
}

TBatchConvertWindow::~TBatchConvertWindow() {
  if (BatchConvertWindow == this) BatchConvertWindow = nullptr;
}

bool TBatchConvertWindow::CloseQuery() { return Run.Finished() && TForm::CloseQuery(); }

void TBatchConvertWindow::Step() {
  if (Run.Finished()) {
    Screen.SetCursor(crDefault);
    Post(WM_CLOSE_REQUEST);
    return;
  }
  if (Run.Index == 1) {
    Screen.SetCursor(crHourGlass);
    Application.ProcessMessages();
  }
  // The name and progress show before the (possibly long) conversion starts.
  lblStep->SetCaption(Run.NextName());
  Progress->SetPercent(TProgress::PercentOf(Run.Index, Run.LastIndex));
  Application.ProcessMessages();
  Run.Step();
  Post(WM_DEFERRED_START);
}

void TBatchConvertWindow::CloseRequest() {
  if (OwnerHandle) {
    PostMessageW(OwnerHandle, WM_REFRESHLIST, 0, 0);
    PostMessageW(OwnerHandle, WM_FOLDER_CHANGED, 0, 0);
  }
  if (Run.Failed > 0) {
    const std::string report = Run.ReportText();
    if (OnReport)
      OnReport(report);
    else
      SoundMessageDlg(report, mtWarning, MsgDlgButtons({mbOK}),
                      ViewerForm ? ViewerForm->MessageSounds : true, 0);
  }
  Close();
}

TBatchConvertWindow* ShowBatchConvert(TViewerForm* owner, const std::vector<std::string>& files,
                                      const TSaveOptions& options, const std::string& comments) {
  if (BatchConvertWindow) return nullptr;  // one run at a time
  auto* w = new TBatchConvertWindow(owner, owner ? owner->Handle() : nullptr, files, options,
                                    comments);
  w->Show();
  return w;
}

void StartBatchConvert(TViewerForm* owner, const std::vector<std::string>* files) {
  tViewerSettings& settings = ViewerForm ? static_cast<tViewerSettings&>(*ViewerForm)
                                         : static_cast<tViewerSettings&>(*owner);
  if (!files || files->size() < 2) {
    SoundMessageDlg("NO PICTURES TO CONVERT", mtError, MsgDlgButtons({mbOK}),
                    settings.MessageSounds, 0);
    return;
  }
  TSaveOptions& o = settings.SaveAsOptions;
  o.BatchMode = 1;
  o.Width = 1;
  o.Height = 1;
  o.Colors = 280;
  o.SourceGrey = 0;
  o.Grayscale = 0;
  o.Picture = nullptr;
  o.Background = 0;
  o.Transparent = -1;
  std::string comments;
  if (OptionsDialog() && !OptionsDialog()(owner, o, comments, static_cast<int>(files->size()) - 1))
    return;
  ShowBatchConvert(owner, *files, o, comments);
}
