// The folder outline: the folders of one drive as a tree that reads each branch from the disk
// only when it is first opened, and the chosen folder as a full path. It works through the
// process's current directory, as the other browser controls do.
#pragma once
#include <set>
#include <string>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/ImageList.h"
#include "framework/TreeView.h"

class TOrvex_DirOutline : public TTreeView {
 public:
  enum TTextCase { tcLowerCase, tcUpperCase, tcAsIs };

  TOrvex_DirOutline(TComponent* owner, TWindow* parent, int x = 0, int y = 0, int width = 145,
                    int height = 200);
  ~TOrvex_DirOutline() override;

  // The drive letter as set (0 until one is), and the folder chosen.
  char Drive() const { return drive_; }
  const std::string& Directory() const { return directory_; }
  // Letters A..Z in either case; the same drive again does nothing. The tree is built anew on
  // the drive's current folder.
  void SetDrive(char letter);
  // Made absolute and put in the text case; on this drive the tree opens down to it, on
  // another the drive changes.
  void SetDirectory(const std::string& path);
  TTextCase TextCase() const { return textCase_; }
  void SetTextCase(TTextCase textCase);
  // The full path of a node.
  std::string GetItemPath(HTREEITEM node) const;
  // Whether a node's subfolders have been read.
  bool Filled(HTREEITEM node) const { return filled_.count(node) != 0; }

  // Reads a node's subfolders once: a node already read is left as it is.
  virtual void AddSubDirectories(HTREEITEM node);
  virtual void BuildTree();
  // Reads the whole branch below a node.
  virtual void ExpandChildren(HTREEITEM node);
  virtual void Change();
  void Loaded() override;

  TNotifyEvent OnChange;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;

 private:
  std::string InCase(const std::string& text) const;
  std::vector<HTREEITEM> Children(HTREEITEM node) const;
  HTREEITEM InsertChild(HTREEITEM parent, HTREEITEM after, const std::string& text);
  HTREEITEM OpenPath(const std::string& path);

  char drive_ = '\0';
  std::string directory_;
  TTextCase textCase_ = tcLowerCase;
  std::set<HTREEITEM> filled_;
  TImageList images_{16, 15};
  bool building_ = false;
};
