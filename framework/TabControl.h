// A notebook: pages stacked in one place, one shown at a time (no tabs of its own; the owner
// switches pages).
#pragma once
#include <vector>

#include "framework/Panel.h"

class TNotebook : public TWindow {
 public:
  TNotebook(TComponent* owner, TWindow* parent, int x, int y, int width, int height);
  // A new page (a panel without a frame) filling the notebook.
  TPanel* AddPage();
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TPanel* Page(int index) const { return pages_[static_cast<size_t>(index)]; }
  int PageIndex() const { return pageIndex_; }
  void SetPageIndex(int index);

 protected:
  const wchar_t* ClassName() const override { return L"TavisNotebook"; }
  void Resize() override;

 private:
  std::vector<TPanel*> pages_;
  int pageIndex_ = -1;
};
