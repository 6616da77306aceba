// Tree views: nodes with a text and a pointer of the caller's; a node can show an expand
// button before it has children, so they are added when it is first opened (OnExpanding).
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

#include "framework/Window.h"

using TTVExpandingEvent =
    std::function<void(TComponent* sender, HTREEITEM node, bool& allowExpansion)>;

class TTreeView : public TWindow {
 public:
  TTreeView(TComponent* owner, TWindow* parent, int x, int y, int width, int height);

  // A node under parent (TVI_ROOT for the top level); withButton shows the expand button
  // before the node has children of its own.
  HTREEITEM Add(HTREEITEM parent, const std::string& text, void* data = nullptr,
                bool withButton = false);
  void Clear();
  std::string Text(HTREEITEM node) const;
  void* Data(HTREEITEM node) const;
  int ChildCount(HTREEITEM node) const;
  bool Expand(HTREEITEM node);
  HTREEITEM Selected() const;
  void Select(HTREEITEM node);
  // TVM_GETNEXTITEM with a TVGN_ code (TVGN_ROOT, TVGN_CHILD, TVGN_NEXT, TVGN_NEXTVISIBLE...).
  HTREEITEM Next(HTREEITEM node, UINT how) const;
  bool Expanded(HTREEITEM node) const;
  void Collapse(HTREEITEM node);
  // Every node under node (TVI_ROOT: the whole tree) expanded or collapsed.
  void ExpandAll(HTREEITEM node = TVI_ROOT);
  void CollapseAll(HTREEITEM node = TVI_ROOT);
  // The node at a client point, null when none.
  HTREEITEM NodeAt(int x, int y) const;
  // Drawing held back while many nodes change.
  void BeginUpdate() { Send(WM_SETREDRAW, FALSE); }
  void EndUpdate();

  TTVExpandingEvent OnExpanding;
  TNotifyEvent OnChange;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
};
