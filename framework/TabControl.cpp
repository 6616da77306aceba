#include "framework/TabControl.h"

#include <commctrl.h>

#include "framework/Text.h"

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

TTabControl::TTabControl(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
                         bool bottomTabs)
    : TTabControl(owner, parent, x, y, width, height,
                  static_cast<DWORD>(bottomTabs ? TCS_BOTTOM : 0)) {}

TTabControl::TTabControl(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
                         DWORD style)
    : TWindow(owner) {
  CreateControl(parent, WC_TABCONTROLW, WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | style, 0, x, y,
                width, height);
}

void TTabControl::AddTab(const std::string& caption) {
  std::wstring text = Utf8ToWide(caption);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text.data();
  const int n = static_cast<int>(::SendMessageW(Handle(), TCM_GETITEMCOUNT, 0, 0));
  ::SendMessageW(Handle(), TCM_INSERTITEMW, static_cast<WPARAM>(n),
                 reinterpret_cast<LPARAM>(&item));
}

void TTabControl::ClearTabs() { ::SendMessageW(Handle(), TCM_DELETEALLITEMS, 0, 0); }

int TTabControl::TabIndex() const {
  return static_cast<int>(::SendMessageW(Handle(), TCM_GETCURSEL, 0, 0));
}

void TTabControl::SetTabIndex(int index) {
  ::SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
}

RECT TTabControl::DisplayRect() const {
  RECT r = ClientRect();
  ::SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

void TTabControl::TabChanged() {
  if (OnChange) OnChange(this);
}

LRESULT TTabControl::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (message == CN_NOTIFY &&
      reinterpret_cast<NMHDR*>(l)->code == static_cast<UINT>(TCN_SELCHANGE)) {
    TabChanged();
    return 0;
  }
  return TWindow::WndProc(message, w, l);
}
