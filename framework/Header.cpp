#include "framework/Header.h"

#include <algorithm>

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

// Inverting twice at one place restores what was there: drawing the line again erases it.
void THeaderControl::DrawTrackLine() {
  if (!lineWindow_ || !lineWindow_->HandleAllocated()) return;
  HWND h = lineWindow_->Handle();
  POINT at{lineX_, 0};
  ::ScreenToClient(h, &at);
  RECT r;
  GetClientRect(h, &r);
  HDC dc = GetDCEx(h, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  PatBlt(dc, at.x - 1, r.top, 2, r.bottom - r.top, DSTINVERT);
  ReleaseDC(h, dc);
}

void THeaderControl::MoveTrackLine(int section, int width) {
  RECT item{};
  ::SendMessageW(Handle(), HDM_GETITEMRECT, static_cast<WPARAM>(section),
                 reinterpret_cast<LPARAM>(&item));
  POINT divider{item.left + width, 0};
  ::ClientToScreen(Handle(), &divider);
  TWindow* crossed = TrackLineWindow ? TrackLineWindow(section, divider.x) : nullptr;
  if (crossed == lineWindow_ && divider.x == lineX_) return;
  DrawTrackLine();
  // The line may pass from one window into the next (a widened left panel reaches over the
  // file list): it is erased where it was and drawn where it is.
  if (crossed != lineWindow_ && crossed) crossed->Update();
  lineWindow_ = crossed;
  lineX_ = divider.x;
  DrawTrackLine();
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
    case HDN_BEGINTRACKA: {
      // A fixed section cannot be dragged at all.
      if (known &&
          limits_[static_cast<size_t>(i)].minWidth == limits_[static_cast<size_t>(i)].maxWidth)
        return TRUE;
      DrawTrackLine();  // a line left by a drag that never ended
      lineWindow_ = nullptr;
      lineX_ = -1;
      trackSection_ = i;
      MoveTrackLine(i, SectionWidth(i));
      return FALSE;
    }
    case HDN_TRACKW:
    case HDN_TRACKA:
      if (trackSection_ >= 0 && n->pitem && (n->pitem->mask & HDI_WIDTH)) {
        int width = n->pitem->cxy;
        if (known) {
          const Limits& lim = limits_[static_cast<size_t>(i)];
          width = std::max(lim.minWidth, std::min(width, lim.maxWidth));
        }
        MoveTrackLine(i, std::max(0, width));
      }
      return FALSE;
    case HDN_ENDTRACKW:
    case HDN_ENDTRACKA:
      DrawTrackLine();
      lineWindow_ = nullptr;
      lineX_ = -1;
      trackSection_ = -1;
      return FALSE;
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
