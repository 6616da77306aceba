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

  TTVExpandingEvent OnExpanding;
  TNotifyEvent OnChange;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
};
