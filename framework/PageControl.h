// A tabbed page control: the framework's tab control with one page (a panel without a frame) per
// tab, laid over the tab's display area; choosing a tab shows its page.
#pragma once
#include <string>
#include <vector>

#include "framework/Panel.h"
#include "framework/TabControl.h"

class TPageControl : public TTabControl {
 public:
  TPageControl(TComponent* owner, TWindow* parent, int x, int y, int width, int height);
  // A new page under a new tab.
  TPanel* AddPage(const std::string& caption);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TPanel* Page(int index) const { return pages_[static_cast<size_t>(index)]; }
  int PageIndex() const { return pageIndex_; }
  // Shows a page (its tab chosen); OnChange follows.
  void SetPageIndex(int index);
  // Hides a page's tab (the tab is removed; the page keeps its index).
  void SetTabVisible(int index, bool visible);
  bool TabVisible(int index) const { return visible_[static_cast<size_t>(index)] != 0; }
  // OnChange follows every change of the page shown.

 protected:
  void TabChanged() override;
  void Resize() override;

 private:
  void RebuildTabs();
  int TabOfPage(int page) const;
  std::vector<TPanel*> pages_;
  std::vector<std::string> captions_;
  std::vector<char> visible_;
  int pageIndex_ = -1;
};
