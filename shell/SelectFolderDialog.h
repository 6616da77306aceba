// The folder chooser of copying and moving: what is done ("Copy" or "Move") and to what, in bold;
// a drive combo or the folder history (flipped by a button); the folder list; the folder chosen.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Form.h"

class TButton;
class TLabel;
class TNotebook;
class TOrvex_ComboBox;
class TOrvex_DirList;
class TOrvex_DriveCombo;
class TViewerForm;

class TSelectFolderDialog : public TForm {
 public:
  TSelectFolderDialog(TComponent* owner, const std::string& caption, const std::string& text,
                      const std::vector<std::string>& history, bool showHidden);

  TLabel *lblCaption = nullptr, *lblText = nullptr, *lblFolder = nullptr;
  TButton* btnPages = nullptr;
  TNotebook* Pages = nullptr;  // 0 drives, 1 history
  TOrvex_DriveCombo* DriveCombo = nullptr;
  TOrvex_ComboBox* cbHistory = nullptr;
  TOrvex_DirList* DirList = nullptr;
  TButton *btnOK = nullptr, *btnCancel = nullptr, *btnHelp = nullptr;

  // Opens the folder; one that cannot be opened leaves the list where it is.
  void OpenFolder(const std::string& folder);
  std::string Folder() const;
  // Between the drive page and the history page.
  void FlipPages();
};

// Asks where to copy or move to, placed at the point; true on OK with the folder chosen.
// The history is the first main window's, hidden folders show when the owner's hidden-files
// button is down.
bool ExecuteSelectFolder(TViewerForm* owner, POINT at, const std::string& caption,
                         std::string& folder, const std::string& text);
