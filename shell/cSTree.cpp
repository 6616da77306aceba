#include "shell/cSTree.h"

#include "framework/Application.h"

TOrvex_STree::TOrvex_STree(TComponent* owner, TWindow* parent, int x, int y, int width,
                           int height)
    : TTreeView(owner, parent, x, y, width, height) {
  Scan.OnRetrieve = [this](const std::string& path) {
    if (OnRetrieve) OnRetrieve(path);
  };
}

void TOrvex_STree::SetDrive(char letter) {
  if (letter == drive_) return;
  drive_ = letter;
  Build(std::string(1, letter) + ":\\");
}

void TOrvex_STree::SetRoot(const std::string& root) {
  drive_ = ' ';
  Build(root);
}

void TOrvex_STree::Build(const std::string& root) {
  Scan.Clear();
  Clear();
  built_ = 0;
  if (!styled_) {
    // Tooltips would cover the folder names the mouse moves over.
    SetWindowLongW(Handle(), GWL_STYLE, GetWindowLongW(Handle(), GWL_STYLE) | TVS_NOTOOLTIPS);
    styled_ = true;
  }
  Application.ProcessMessages();
  Scan.Scan(root);
  auto& records = Scan.Records();
  BeginUpdate();
  for (size_t i = 0; i < records.size(); ++i) {
    HTREEITEM parent =
        records[i].Parent < 0
            ? TVI_ROOT
            : reinterpret_cast<HTREEITEM>(records[static_cast<size_t>(records[i].Parent)].Node);
    // Data holds index + 1, so that no node's data is null.
    HTREEITEM node = Add(parent, records[i].Name, reinterpret_cast<void*>(i + 1));
    records[i].Node = reinterpret_cast<intptr_t>(node);
    ++built_;
    if (OnMassLoad) OnMassLoad(this);
  }
  if (!records.empty()) Expand(reinterpret_cast<HTREEITEM>(records[0].Node));
  EndUpdate();
}

int TOrvex_STree::IndexOfNode(HTREEITEM node) const {
  if (!node) return -1;
  const auto data = reinterpret_cast<intptr_t>(Data(node));
  return data >= 1 && data <= RecordCount() ? static_cast<int>(data - 1) : -1;
}

int TOrvex_STree::IndexAt(int x, int y) const { return IndexOfNode(NodeAt(x, y)); }

std::vector<std::string> TOrvex_STree::TreeListing(bool visibleOnly) const {
  std::vector<tListingNode> nodes;
  // Tree order, depth first; a node is visible when every ancestor is expanded.
  std::function<void(HTREEITEM, int, bool)> walk = [&](HTREEITEM first, int level, bool visible) {
    for (HTREEITEM n = first; n; n = Next(n, TVGN_NEXT)) {
      tListingNode node;
      node.Record = IndexOfNode(n);
      node.Level = level;
      node.Expanded = Expanded(n);
      node.HasChildren = Next(n, TVGN_CHILD) != nullptr;
      node.Visible = visible;
      if (node.Record >= 0) nodes.push_back(node);
      walk(Next(n, TVGN_CHILD), level + 1, visible && node.Expanded);
    }
  };
  walk(Next(nullptr, TVGN_ROOT), 0, true);
  return ::TreeListing(Scan, nodes, visibleOnly);
}
