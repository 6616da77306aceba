// The folder-size window: the tree of one drive's folders with the counts and sizes of the
// selected folder, of the folder with its sub-folders and of the drive; a printed listing of
// the tree; and a pie chart of the largest folders that can be printed too.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "framework/Form.h"
#include "shell/cSTree.h"

class TButton;
class TCheckBox;
class TLabel;
class TListBox;
class TNotebook;
class TOrvex_DriveCombo;
class TPaintBox;
class TProgress;
class TSpinEdit;
class TStatusBar;
class TCanvas;
class tStopwatch;

class TSuperTree32 : public TForm {
 public:
  explicit TSuperTree32(TComponent* owner);
  ~TSuperTree32() override;

  TNotebook* Pages = nullptr;
  TOrvex_DriveCombo* DriveCombo = nullptr;
  TButton *btnGo = nullptr, *btnExpand = nullptr, *btnCollapse = nullptr, *btnPrint = nullptr,
          *btnChart = nullptr, *btnReturn = nullptr, *btnPrintC = nullptr;
  TCheckBox* cbModified = nullptr;
  TOrvex_STree* Orvex_STree1 = nullptr;
  // Rows "This folder", "Folder+sub-folders" and the drive; columns folders, files, file bytes,
  // disk used (and disk size for the drive).
  TLabel* Stats[3][5] = {};
  TLabel* lblFolder = nullptr;
  TLabel* lblDriveRow = nullptr;
  TStatusBar* StatusBar = nullptr;
  TProgress* Progress = nullptr;
  TListBox* ListBox1 = nullptr;
  TPaintBox* Chart1 = nullptr;
  TSpinEdit* seChart = nullptr;

  // Scans the combo's drive (or root, when given: a folder as the tree's root).
  void btnGoClick(const std::string& root = "");
  void btnChartClick();
  void ShowSelection(int index);
  void DrawChart(bool force);
  bool Busy() const { return busy_; }
  const tFolderChart& Chart() const { return chart_; }
  // The printed documents: the visible tree's listing and the chart page.
  void btnPrintClick();
  void btnPrintCClick();
  std::string PrintTitle() const;

  bool CloseQuery() override;

 protected:
  void Resize() override;
  // Ctrl+F12: the compact size.
  void KeyDown(WORD& key, TShiftState shift) override;

 private:
  int PagesHeight() const;
  // The chart page's list at the bottom, this high, and the chart above it.
  void PlaceChartList(int listHeight);
  void SetBusy(bool busy);
  void DriveRow();
  std::unique_ptr<tStopwatch> stopwatch_;
  bool busy_ = false;
  int shown_ = -1;
  std::string chartRoot_;
  bool chartModified_ = false;
  std::vector<int> largest_;
  int chartCount_ = 0;
  tFolderChart chart_;
};

// Draws a chart (title, pie with rank labels, legend with percentages, foot) in the rectangle.
void DrawFolderChart(TCanvas& canvas, const RECT& area, const tFolderChart& chart);

// Opens the window on a drive.
TSuperTree32* ShowFolderSizeWindow(char driveLetter);
