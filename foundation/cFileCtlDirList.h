// The folder list: an owner-drawn list box showing the path of the current folder (one row per
// part, indented) and its subfolders; a double click or Enter opens a row's folder. It passes
// the folder on to a linked file list and label, and switches drives through a linked drive
// combo.
#pragma once
#include <string>
#include <vector>

#include "foundation/cFileCtlNameHint.h"
#include "foundation/cFileCtlPaths.h"
#include "framework/Bitmap.h"
#include "framework/DragDrop.h"
#include "framework/Label.h"
#include "framework/ListBox.h"

class TOrvex_FileList;
class TOrvex_DriveCombo;

class TOrvex_DirList : public TListBox {
 public:
  TOrvex_DirList(TComponent* owner, TWindow* parent, int x = 0, int y = 0, int width = 145,
                 int height = 200);
  ~TOrvex_DirList() override;

  TOrvex_FileList* FileList() const { return fileList_; }
  // Links the file list both ways.
  void SetFileList(TOrvex_FileList* list);
  TOrvex_DriveCombo* DriveCombo() const { return driveCombo_; }
  TLabel* DirLabel() const { return dirLabel_; }
  void SetDirLabel(TLabel* label);
  bool ShowHidden() const { return showHidden_; }
  void SetShowHidden(bool show);
  bool ItemHint = false;
  // Automatic: a press on a folder's row and a move drag the list (the folder of that row,
  // which the press made the current row).
  TDragMode DragMode() const { return autoDrag_.Mode; }
  void SetDragMode(TDragMode mode) { autoDrag_.Mode = mode; }
  TNotifyEvent OnChange;

  // The folder shown (no trailing backslash except at a drive root).
  const std::string& Directory() const { return directory_; }
  virtual void SetDirectory(const std::string& path);
  void DriveChanged(char letter);
  void FixedDriveChanged(char letter);
  void SetDrive(char letter);
  char GetDrive() const { return directory_.empty() ? '\0' : directory_[0]; }
  virtual void Change();
  void Reload();
  // Through the drive combo for a removable drive (true), else Reload (false).
  bool Refresh();
  std::string GetItemPath(int i) const;
  bool EditItemName(int i, std::string& oldName, std::string& newName);
  virtual void BuildList();
  void Loaded() override;

  // The row of the current folder.
  int CurrentRow() const { return currentRow_; }
  // The glyph the file list draws for hidden and system folders.
  TBitmap& HiddenClosedGlyph() { return glyphs_[3]; }

 protected:
  friend class TOrvex_DriveCombo;
  friend class TOrvex_FileList;
  virtual void LoadGlyphs();
  void DrawItem(int index, const RECT& rect, UINT state) override;
  void Notification(TComponent* component, TOperation operation) override;
  void DblClick() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void FontChanged() override;
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;

 private:
  void MeasureRowHeight();
  int TextLeft(int row, TBitmap* glyph) const;

  std::string directory_;
  TOrvex_FileList* fileList_ = nullptr;
  TOrvex_DriveCombo* driveCombo_ = nullptr;
  TLabel* dirLabel_ = nullptr;
  bool showHidden_ = false;
  bool changingDrive_ = false;
  bool casePreserving_ = true;
  bool caseSensitive_ = false;
  int currentRow_ = -1;
  TOrvex_NameHint nameHint_;
  TAutoDrag autoDrag_{*this};
  std::vector<tDirRow> rows_;
  // CLOSEDFOLDER, OPENFOLDER, CURRENTFOLDER, HIDDENCLOSED, HIDDENOPEN, HIDDENCURRENT.
  TBitmap glyphs_[6];
};
