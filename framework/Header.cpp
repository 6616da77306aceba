#include "framework/Header.h"

#include <windows.h>

#include <commctrl.h>

#include "framework/Canvas.h"
#include "framework/Text.h"

THeaderControl::THeaderControl(TComponent* owner, TWindow* parent, int x, int y, int width,
                               int height)
    : TWindow(owner) {
  CreateControl(parent, WC_HEADERW, WS_VISIBLE | HDS_BUTTONS | HDS_HORZ, 0, x, y, width, height);
}

int THeaderControl::SectionCount() const {
  return static_cast<int>(::SendMessageW(Handle(), HDM_GETITEMCOUNT, 0, 0));
}

int THeaderControl::AddSection(const std::string& text, int width) {
  std::wstring w = Utf8ToWide(text);
  HDITEMW item{};
  item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
  item.pszText = w.data();
  item.cxy = width;
  item.fmt = HDF_LEFT | HDF_STRING;
  int n = SectionCount();
  limits_.resize(static_cast<size_t>(n) + 1);
  return static_cast<int>(
      Send(HDM_INSERTITEMW, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&item)));
}

int THeaderControl::SectionWidth(int index) const {
  HDITEMW item{};
  item.mask = HDI_WIDTH;
  if (!::SendMessageW(Handle(), HDM_GETITEMW, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(&item)))
    return 0;
  return item.cxy;
}

void THeaderControl::SetSectionWidth(int index, int width) {
  HDITEMW item{};
  item.mask = HDI_WIDTH;
  item.cxy = width;
  Send(HDM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

std::string THeaderControl::SectionText(int index) const {
  wchar_t buffer[260] = {};
  HDITEMW item{};
  item.mask = HDI_TEXT;
  item.pszText = buffer;
  item.cchTextMax = 260;
  ::SendMessageW(Handle(), HDM_GETITEMW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
  return WideToUtf8(buffer);
}

void THeaderControl::SetSectionText(int index, const std::string& text) {
  std::wstring w = Utf8ToWide(text);
  HDITEMW item{};
  item.mask = HDI_TEXT;
  item.pszText = w.data();
  Send(HDM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void THeaderControl::SetSectionLimits(int index, int minWidth, int maxWidth) {
  if (index < 0 || index >= static_cast<int>(limits_.size())) return;
  limits_[static_cast<size_t>(index)] = {minWidth, maxWidth};
}

int THeaderControl::PreferredHeight() const {
  RECT r{0, 0, 1000, 1000};
  WINDOWPOS pos{};
  HDLAYOUT layout{&r, &pos};
  ::SendMessageW(Handle(), HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
  return pos.cy;
}

void THeaderControl::SetSectionOwnerDraw(int index, bool ownerDraw) {
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  if (!Send(HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return;
  item.fmt = ownerDraw ? (item.fmt | HDF_OWNERDRAW) : (item.fmt & ~HDF_OWNERDRAW);
  Send(HDM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

LRESULT THeaderControl::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (message == CN_DRAWITEM) {
    auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(l);
    if (!OnDrawSection) return FALSE;
    TCanvas canvas(d->hDC);
    OnDrawSection(this, static_cast<int>(d->itemID), canvas, d->rcItem,
                  (d->itemState & ODS_SELECTED) != 0);
    canvas.SetHandle(nullptr);
    return TRUE;
  }
  if (message != CN_NOTIFY) return TWindow::WndProc(message, w, l);
  auto* n = reinterpret_cast<NMHEADERW*>(l);
  int i = n->iItem;
  bool known = i >= 0 && i < static_cast<int>(limits_.size());
  switch (n->hdr.code) {
    case HDN_BEGINTRACKW:
    case HDN_BEGINTRACKA:
      // A fixed section cannot be dragged at all.
      return known &&
             limits_[static_cast<size_t>(i)].minWidth == limits_[static_cast<size_t>(i)].maxWidth;
    case HDN_ITEMCHANGINGW:
    case HDN_ITEMCHANGINGA:
      if (known && n->pitem && (n->pitem->mask & HDI_WIDTH)) {
        const Limits& lim = limits_[static_cast<size_t>(i)];
        return n->pitem->cxy < lim.minWidth || n->pitem->cxy > lim.maxWidth;
      }
      return FALSE;
    case HDN_ITEMCHANGEDW:
    case HDN_ITEMCHANGEDA:
      if (n->pitem && (n->pitem->mask & HDI_WIDTH) && OnSectionResize) OnSectionResize(this, i);
      return 0;
    case HDN_ITEMCLICKW:
    case HDN_ITEMCLICKA:
      if (OnSectionClick) OnSectionClick(this, i);
      return 0;
  }
  return 0;
}
