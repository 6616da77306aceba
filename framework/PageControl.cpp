#include "framework/PageControl.h"

#include <commctrl.h>


TPageControl::TPageControl(TComponent* owner, TWindow* parent, int x, int y, int width, int height)
    : TTabControl(owner, parent, x, y, width, height, static_cast<DWORD>(TCS_MULTILINE)) {}

int TPageControl::TabOfPage(int page) const {
  if (page < 0 || page >= PageCount() || !visible_[static_cast<size_t>(page)]) return -1;
  int tab = 0;
  for (int i = 0; i < page; ++i) tab += visible_[static_cast<size_t>(i)] ? 1 : 0;
  return tab;
}

TPanel* TPageControl::AddPage(const std::string& caption) {
  // Pages are children of the tab control's parent, above the tab control, as the system's
  // property sheets place them.
  RECT r = DisplayRect();
  auto* page = new TPanel(this, Parent(), Left() + r.left, Top() + r.top, r.right - r.left,
                          r.bottom - r.top);
  page->BevelOuter = bvNone;
  page->SetVisible(false);
  SetWindowPos(page->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  pages_.push_back(page);
  captions_.push_back(caption);
  visible_.push_back(1);
  RebuildTabs();
  Resize();
  if (pageIndex_ < 0) SetPageIndex(0);
  return page;
}

void TPageControl::RebuildTabs() {
  ClearTabs();
  for (size_t i = 0; i < pages_.size(); ++i)
    if (visible_[i]) AddTab(captions_[i]);
  if (pageIndex_ >= 0) SetTabIndex(TabOfPage(pageIndex_));
}

void TPageControl::SetTabVisible(int index, bool visible) {
  if (index < 0 || index >= PageCount()) return;
  visible_[static_cast<size_t>(index)] = visible ? 1 : 0;
  RebuildTabs();
  if (!visible && pageIndex_ == index) SetPageIndex(0);
  Resize();
}

void TPageControl::SetPageIndex(int index) {
  if (index < 0 || index >= PageCount() || !visible_[static_cast<size_t>(index)]) return;
  pageIndex_ = index;
  SetTabIndex(TabOfPage(index));
  for (int i = 0; i < PageCount(); ++i) Page(i)->SetVisible(i == index);
  if (OnChange) OnChange(this);
}

void TPageControl::Resize() {
  TTabControl::Resize();
  RECT r = DisplayRect();
  for (TPanel* page : pages_)
    page->SetBounds(Left() + r.left, Top() + r.top, r.right - r.left, r.bottom - r.top);
}

void TPageControl::TabChanged() {
  const int tab = TabIndex();
  for (int i = 0, seen = 0; i < PageCount(); ++i) {
    if (!visible_[static_cast<size_t>(i)]) continue;
    if (seen++ == tab) {
      SetPageIndex(i);
      break;
    }
  }
}
