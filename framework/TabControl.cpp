#include "framework/TabControl.h"

TNotebook::TNotebook(TComponent* owner, TWindow* parent, int x, int y, int width, int height)
    : TWindow(owner) {
  Create("", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height,
         parent ? parent->Handle() : nullptr, WS_EX_CONTROLPARENT);
}

TPanel* TNotebook::AddPage() {
  RECT r = ClientRect();
  auto* page = new TPanel(Owner(), this, 0, 0, r.right, r.bottom);
  page->BevelOuter = bvNone;
  pages_.push_back(page);
  if (pageIndex_ < 0)
    pageIndex_ = 0;
  else
    page->SetVisible(false);
  return page;
}

void TNotebook::SetPageIndex(int index) {
  if (index < 0 || index >= PageCount() || index == pageIndex_) return;
  pages_[static_cast<size_t>(index)]->SetVisible(true);
  if (pageIndex_ >= 0) pages_[static_cast<size_t>(pageIndex_)]->SetVisible(false);
  pageIndex_ = index;
}

void TNotebook::Resize() {
  TWindow::Resize();
  RECT r = ClientRect();
  for (TPanel* p : pages_) p->SetBounds(0, 0, r.right, r.bottom);
}
