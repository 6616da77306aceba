// The select-directory dialog: a drive combo, a folder list, a greyed list of the folder's files
// and the folder's name as a label (or, when new folders are allowed, an edit box), built in
// code; optionally it asks before taking a folder that does not exist, and creates it.
#pragma once
#include <string>

#include "foundation/SelectDirLayout.h"
#include "foundation/cFileCtlDirList.h"
#include "foundation/cFileCtlDriveCombo.h"
#include "foundation/cFileCtlFileList.h"
#include "foundation/cFileCtlPathLabel.h"
#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Form.h"

class TSelectDirDlg : public TForm {
 public:
  explicit TSelectDirDlg(TComponent* owner, int pixelsPerInch = 0);

  TOrvex_DirList* DirList;
  TEdit* DirEdit;
  TOrvex_DriveCombo* DriveList;
  TPathLabel* DirLabel;
  TButton *OKButton, *CancelButton, *HelpButton, *NetButton;
  TOrvex_FileList* FileList;

  bool AllowCreate() const { return allowCreate_; }
  void SetAllowCreate(bool allow);
  bool Prompt = false;
  bool PerformCreate = false;
  // Opens on a folder; errors leave the dialog where it is.
  void SelectFolder(const std::string& folder);
  // The folder chosen: the typed text when creating is allowed, else the label's.
  std::string ChosenFolder() const;
  // Moves OK and Cancel into the places of Cancel and Help, the Help button hidden.
  void HideHelp();

  void FormCreate();
  void DirListChange();
  void DriveListChange();
  void NetClick();
  void OKClick();
  void HelpButtonClick();

 private:
  using TConnectDialog = DWORD(WINAPI*)(HWND, DWORD);
  bool allowCreate_ = false;
  int ppi_;
  TConnectDialog connectDialog_ = nullptr;
};

// Lets the user pick a folder (options: sdAllowCreate, sdPerformCreate, sdPrompt,
// sdShowHidden); true on OK with the folder chosen. Help context 0 hides the Help button.
bool BrowseForDirectory(std::string& folder, int options, int helpContext);
