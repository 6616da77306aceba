#include "framework/TreeView.h"

#include "framework/Text.h"

TTreeView::TTreeView(TComponent* owner, TWindow* parent, int x, int y, int width, int height)
    : TWindow(owner) {
  CreateControl(
      parent, WC_TREEVIEWW,
      WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
      WS_EX_CLIENTEDGE, x, y, width, height);
}

HTREEITEM TTreeView::Add(HTREEITEM parent, const std::string& text, void* data, bool withButton) {
  std::wstring w = Utf8ToWide(text);
  TVINSERTSTRUCTW ins{};
  ins.hParent = parent;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
  ins.item.pszText = w.data();
  ins.item.lParam = reinterpret_cast<LPARAM>(data);
  ins.item.cChildren = withButton ? 1 : 0;
  HTREEITEM node =
      reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
  if (node && parent && parent != TVI_ROOT) {
    // The parent now has a child: its button must show whatever it was made with.
    TVITEMW p{};
    p.mask = TVIF_CHILDREN;
    p.hItem = parent;
    p.cChildren = 1;
    Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&p));
  }
  return node;
}

void TTreeView::Clear() { Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

std::string TTreeView::Text(HTREEITEM node) const {
  wchar_t buffer[520] = {};
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = node;
  item.pszText = buffer;
  item.cchTextMax = 520;
  ::SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return WideToUtf8(buffer);
}

void* TTreeView::Data(HTREEITEM node) const {
  TVITEMW item{};
  item.mask = TVIF_PARAM;
  item.hItem = node;
  ::SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return reinterpret_cast<void*>(item.lParam);
}

int TTreeView::ChildCount(HTREEITEM node) const {
  int n = 0;
  auto next = [this](HTREEITEM from, UINT how) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(Handle(), TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
  };
  for (HTREEITEM c = next(node, TVGN_CHILD); c; c = next(c, TVGN_NEXT)) ++n;
  return n;
}

bool TTreeView::Expand(HTREEITEM node) {
  return Send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node)) != 0;
}

HTREEITEM TTreeView::Selected() const {
  return reinterpret_cast<HTREEITEM>(::SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void TTreeView::Select(HTREEITEM node) {
  Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
}

HTREEITEM TTreeView::Next(HTREEITEM node, UINT how) const {
  return reinterpret_cast<HTREEITEM>(
      ::SendMessageW(Handle(), TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(node)));
}

bool TTreeView::Expanded(HTREEITEM node) const {
  return (::SendMessageW(Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node),
                         TVIS_EXPANDED) &
          TVIS_EXPANDED) != 0;
}

void TTreeView::Collapse(HTREEITEM node) {
  Send(TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(node));
}

void TTreeView::ExpandAll(HTREEITEM node) {
  HTREEITEM first = node == TVI_ROOT ? Next(nullptr, TVGN_ROOT) : Next(node, TVGN_CHILD);
  for (HTREEITEM c = first; c; c = Next(c, TVGN_NEXT)) {
    if (Next(c, TVGN_CHILD)) {
      Expand(c);
      ExpandAll(c);
    }
  }
}

void TTreeView::CollapseAll(HTREEITEM node) {
  HTREEITEM first = node == TVI_ROOT ? Next(nullptr, TVGN_ROOT) : Next(node, TVGN_CHILD);
  for (HTREEITEM c = first; c; c = Next(c, TVGN_NEXT)) {
    if (Next(c, TVGN_CHILD)) {
      CollapseAll(c);
      Collapse(c);
    }
  }
}

HTREEITEM TTreeView::NodeAt(int x, int y) const {
  TVHITTESTINFO hit{};
  hit.pt = {x, y};
  HTREEITEM node = reinterpret_cast<HTREEITEM>(
      ::SendMessageW(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return (hit.flags & TVHT_ONITEM) ? node : nullptr;
}

void TTreeView::EndUpdate() {
  Send(WM_SETREDRAW, TRUE);
  InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT TTreeView::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (message != CN_NOTIFY) return TWindow::WndProc(message, w, l);
  auto* n = reinterpret_cast<NMTREEVIEWW*>(l);
  switch (n->hdr.code) {
    case TVN_ITEMEXPANDINGW:
    case TVN_ITEMEXPANDINGA:
      if (n->action & TVE_EXPAND) {
        bool allow = true;
        if (OnExpanding) OnExpanding(this, n->itemNew.hItem, allow);
        return allow ? FALSE : TRUE;
      }
      return FALSE;
    case TVN_SELCHANGEDW:
    case TVN_SELCHANGEDA:
      if (OnChange) OnChange(this);
      return 0;
  }
  return 0;
}
