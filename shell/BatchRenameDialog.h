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
class TSpinEdit;
class TViewerForm;

// The system's tab control, as the dialog's page tabs.
class TRenameTabs : public TWindow {
 public:
  TRenameTabs(TComponent* owner, TWindow* parent, int x, int y, int width, int height);
  void AddTab(const std::string& caption);
  int TabIndex() const;
  void SetTabIndex(int index);
  TNotifyEvent OnChange;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
};

// A radio button of the system's.
class TRadio : public TWindow {
 public:
  TRadio(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y, int width,
         int height, bool first);
  bool Checked() const;
  void SetChecked(bool checked);
};

class TdlgBatchRename : public TForm {
 public:
  TdlgBatchRename(TComponent* owner, const std::vector<std::string>& names,
                  const std::string& folder);

  TRenameTabs* PageControl1 = nullptr;
  TNotebook* Pages = nullptr;
  TRadio *rbUpper = nullptr, *rbLower = nullptr;
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
