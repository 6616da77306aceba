// The folder-size tree control: a tree view that owns the scan of one drive and shows one node
// per scanned folder.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "framework/TreeView.h"
#include "shell/uSTreeScan.h"

class TOrvex_STree : public TTreeView {
 public:
  TOrvex_STree(TComponent* owner, TWindow* parent, int x, int y, int width, int height);

  tSTreeScan Scan;
  char DriveShown() const { return drive_; }
  // Scans the drive and builds the tree; nothing happens for the drive already shown.
  void SetDrive(char letter);
  // Scans any folder as the tree's root (drive " ").
  void SetRoot(const std::string& root);
  void SetModifiedOnly(bool flag) { Scan.ModifiedOnly = flag; }
  int RecordCount() const { return static_cast<int>(Scan.Records().size()); }
  int NodesBuilt() const { return built_; }

  int IndexOfNode(HTREEITEM node) const;
  int IndexAt(int x, int y) const;
  std::string GetStatText(int index, int statistic) const { return Scan.GetStatText(index, statistic); }
  std::string FolderPath(int index) const { return Scan.FolderPath(index); }
  // The listing of all nodes or the visible ones, in tree order.
  std::vector<std::string> TreeListing(bool visibleOnly) const;

  std::function<void(const std::string& path)> OnRetrieve;
  TNotifyEvent OnMassLoad;

 private:
  void Build(const std::string& root);
  char drive_ = ' ';
  int built_ = 0;
  bool styled_ = false;
};
