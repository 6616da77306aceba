// Batch convert's small progress window: it converts one file per posted message so the program
// stays responsive, cannot be closed before the run ends, and tells its main window to refresh
// its file list at the end.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Form.h"
#include "shell/uBatchConvert.h"

class TLabel;
class TProgress;
class TViewerForm;

class TBatchConvertWindow : public TForm {
 public:
  TBatchConvertWindow(TComponent* owner, HWND ownerHandle, const std::vector<std::string>& files,
                      const TSaveOptions& options, const std::string& comments);
  ~TBatchConvertWindow() override;

  TLabel *lblStats = nullptr, *lblStep = nullptr;
  TProgress* Progress = nullptr;
  HWND OwnerHandle = nullptr;
  tBatchConvertRun Run;
  // Tests see the closing report here instead of a message box.
  std::function<void(const std::string& report)> OnReport;

  bool CloseQuery() override;

 private:
  void Step();
  void CloseRequest();
};

// The window being shown, if any (one at a time).
extern TBatchConvertWindow* BatchConvertWindow;

// Asks for the options of a batch of count pictures (the save dialog in batch mode); false when
// cancelled. The comments typed in the dialog come back in comments.
using tBatchOptionsDialog = std::function<bool(TViewerForm* owner, TSaveOptions& options,
                                               std::string& comments, int count)>;
void SetBatchOptionsDialog(tBatchOptionsDialog dialog);
// Connects batch convert to the save dialog and the save pipeline; the program does it at start.
void InstallBatchConvertPipeline();
// The save dialog in batch mode, its title and comments held by a decoder of no file.
bool AskBatchOptions(TViewerForm* owner, TSaveOptions& options, std::string& comments, int count);

// Converts the list (item 0 the folder, 1..n the names) with the options asked for; no list:
// "NO PICTURES TO CONVERT".
void StartBatchConvert(TViewerForm* owner, const std::vector<std::string>* files);
// The window for options already chosen.
TBatchConvertWindow* ShowBatchConvert(TViewerForm* owner, const std::vector<std::string>& files,
                                      const TSaveOptions& options, const std::string& comments);
