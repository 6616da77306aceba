// A notebook: pages stacked in one place, one shown at a time (no tabs of its own; the owner
// switches pages).
#pragma once
#include <string>
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

// The system's tab control: a row of tabs (at the bottom with bottomTabs); the owner shows
// what belongs to the chosen tab.
class TTabControl : public TWindow {
 public:
  TTabControl(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
              bool bottomTabs = false);
  void AddTab(const std::string& caption);
  int TabIndex() const;
  // Chooses a tab without a change event.
  void SetTabIndex(int index);
  // The part inside the tabs and frame, in the control's client coordinates.
  RECT DisplayRect() const;
  TNotifyEvent OnChange;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
};
