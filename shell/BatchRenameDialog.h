// The batch rename dialog: five pages (case, common base, extension, replace, sequence), each a
// way to form the new names of the tagged files; OK renames them in list order.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "framework/Form.h"
#include "shell/uBatchRename.h"

class TButton;
class TCheckBox;
class TEdit;
class TLabel;
class TNotebook;
class TRadioButton;
class TSpinEdit;
class TTabControl;
class TViewerForm;

class TdlgBatchRename : public TForm {
 public:
  TdlgBatchRename(TComponent* owner, const std::vector<std::string>& names,
                  const std::string& folder);

  TTabControl* PageControl1 = nullptr;
  TNotebook* Pages = nullptr;
  TRadioButton *rbUpper = nullptr, *rbLower = nullptr;
  TEdit *edBase = nullptr, *edExtension = nullptr, *edFind = nullptr, *edReplace = nullptr,
        *edPart1 = nullptr, *edStart = nullptr, *edPart2 = nullptr, *edSeqExtension = nullptr;
  TSpinEdit* seDigits = nullptr;
  TCheckBox* cbLeadingZeros = nullptr;
  TButton *btnOK = nullptr, *btnCancel = nullptr, *btnHelp = nullptr;

  void SetPage(int page);
  tBatchRenameParams Params() const;
  // Renames in the folder; the count that succeeded.
  int OKClick();
  // After each successful rename (the thumbnail records follow the file).
  std::function<void(const std::string& oldName, const std::string& newName)> OnRenamed;
  int Renamed = 0;

 private:
  std::vector<std::string> names_;
  std::string folder_;
};

// Renames the tagged files of the main window's list (only when the current item is tagged);
// the dialog opens at the point when it fits there.
void ShowBatchRename(TViewerForm* owner, POINT at);
