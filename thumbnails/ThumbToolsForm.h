// "Thumbnail Tools": the folders that hold thumbnail records with their counts, folders that
// are gone from a fixed disk marked for removal of their records, and a whole drive brought
// into the database folder by folder, with its counters and Cancel.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Form.h"
#include "thumbnails/uThumbTools.h"
#include "thumbnails/uThumbView.h"

class TButton;
class TLabel;
class TListView;
class TOrvex_DirOutline;
class TOrvex_DriveCombo;
class TPageControl;
class TPanel;
class TStatusBar;

// What the window asks of the program around it; absent parts do nothing.
struct tThumbToolsHost {
  std::function<void(const std::string& path)> ShowFileInViewerForm;
  std::function<void()> ShowAbout;
  // Event sounds: 1 update start, 2 update done.
  std::function<void(int event)> PlaySound;
  // Yes/no questions and messages; true for OK or Yes.
  std::function<bool(const std::string& text, bool question)> Ask;
  // After a drive update: main windows reload their thumbnails, gallery and tools windows
  // are told.
  std::function<void()> NotifyThumbnailsChanged;
  // GetDriveType and folder existence for the folder report (the system's when absent).
  tThumbFolderProbe Probe;
};

class TThumbToolsForm : public TForm {
 public:
  TThumbToolsForm(TComponent* owner, tThumbnails& database, tThumbToolsHost host);
  ~TThumbToolsForm() override;

  TStatusBar* StatusBar1 = nullptr;
  TButton *btnClose = nullptr, *AboutButton = nullptr;
  TPageControl* PageControl1 = nullptr;
  TPanel *tsFolders = nullptr, *tsUpdate = nullptr;
  TListView* StringGrid1 = nullptr;  // "Delete", "Count", "Folder"
  TButton *btnFgo = nullptr, *btnFshow = nullptr;
  TOrvex_DriveCombo* Orvex_DriveCombo1 = nullptr;
  TButton *btnStart = nullptr, *btnCancel = nullptr;
  TOrvex_DirOutline* Orvex_DirOutline1 = nullptr;
  // "Folder:", "Folders:", "Files:", "Kept:", "Updated:", "Added:", "Deleted:".
  TLabel* Counters[7] = {};

  tDatabaseView View;
  std::vector<tThumbFolderRow> Rows;
  bool Cancel = false;
  bool Updating = false;
  char Drive = ' ';

  // The folder view (at show time, "&Display" and after changes).
  void ShowFolders();
  void ToggleMark(int row);
  // "A&pply": the marked folders' records purged, then the view again.
  void ApplyClick();
  // "&Start" on a drive letter (the combo's when 0); false when refused or asked off.
  bool UpdateDrive(char letter = 0);

 protected:
  void Resize() override;

 private:
  void Arrange();
  void ShowMarks();
  void ShowCounters(const std::string& folder, int folders, const tDirectoryView::tCounters& c);
  std::string YesWord() const;

  tThumbToolsHost host_;
  std::unique_ptr<tDirectoryView> scan_;
};

// Creates and shows the window (not modal); it frees itself when closed.
TThumbToolsForm* ShowThumbnailTools(TComponent* owner, tThumbnails& database, tThumbToolsHost host);
