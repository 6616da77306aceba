#include "framework/ScrollBox.h"

#include <algorithm>

#include "framework/Canvas.h"

TScrollBox::TScrollBox(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
                       bool border)
    : TWindow(owner), border_(border) {
  Create("", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL, x, y, width, height,
         parent ? parent->Handle() : nullptr, border ? WS_EX_CLIENTEDGE : 0);
  UpdateScrollBars();
}

int TScrollBox::MaxPosition(bool vertical) const {
  RECT r = ClientRect();
  const int extent = vertical ? r.bottom : r.right;
  return std::max(0, bars_[vertical].Range - extent);
}

void TScrollBox::UpdateScrollBars() {
  if (!HandleAllocated() || updating_) return;
  // Showing one bar shrinks the client area, which may call for the other: two rounds settle it.
  updating_ = true;
  for (int round = 0; round < 2; ++round) {
    for (int v = 0; v < 2; ++v) {
      RECT r = ClientRect();
      const int extent = v ? r.bottom : r.right;
      TScrollBarInfo& b = bars_[v];
      b.Position = std::clamp(b.Position, 0, std::max(0, b.Range - extent));
      SCROLLINFO si{sizeof si, SIF_ALL | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0};
      si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      si.nMin = 0;
      si.nMax = b.Range > extent ? b.Range - 1 : 0;
      si.nPage = b.Range > extent ? static_cast<UINT>(extent) : 0;
      si.nPos = b.Position;
      SetScrollInfo(Handle(), v ? SB_VERT : SB_HORZ, &si, TRUE);
      ShowScrollBar(Handle(), v ? SB_VERT : SB_HORZ, b.Range > extent);
    }
  }
  updating_ = false;
  for (int v = 0; v < 2; ++v) SetPosition(v != 0, bars_[v].Position);
}

void TScrollBox::SetPosition(bool vertical, int position) {
  TScrollBarInfo& b = bars_[vertical];
  b.Position = std::clamp(position, 0, MaxPosition(vertical));
  if (!HandleAllocated()) return;
  SetScrollPos(Handle(), vertical ? SB_VERT : SB_HORZ, b.Position, TRUE);
  const int delta = shown_[vertical] - b.Position;
  if (delta == 0) return;
  shown_[vertical] = b.Position;
  ScrollWindowEx(Handle(), vertical ? 0 : delta, vertical ? delta : 0, nullptr, nullptr, nullptr,
                 nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

void TScrollBox::Scroll(bool vertical, UINT code) {
  TScrollBarInfo& b = bars_[vertical];
  RECT r = ClientRect();
  const int page = vertical ? r.bottom : r.right;
  SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
  GetScrollInfo(Handle(), vertical ? SB_VERT : SB_HORZ, &si);
  int pos = b.Position;
  switch (code) {
    case SB_LINEUP:
      pos -= b.Increment;
      break;
    case SB_LINEDOWN:
      pos += b.Increment;
      break;
    case SB_PAGEUP:
      pos -= page;
      break;
    case SB_PAGEDOWN:
      pos += page;
      break;
    case SB_TOP:
      pos = 0;
      break;
    case SB_BOTTOM:
      pos = b.Range;
      break;
    case SB_THUMBTRACK:
      if (!b.Tracking) return;
      pos = si.nTrackPos;
      break;
    case SB_THUMBPOSITION:
      pos = si.nTrackPos;
      break;
    default:
      return;
  }
  SetPosition(vertical, pos);
}

LRESULT TScrollBox::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (l == 0) {
        Scroll(message == WM_VSCROLL, LOWORD(w));
        return 0;
      }
      break;
    case WM_MOUSEWHEEL: {
      const int notches = GET_WHEEL_DELTA_WPARAM(w) / WHEEL_DELTA;
      SetPosition(true, bars_[1].Position - notches * 3 * bars_[1].Increment);
      return 0;
    }
    case WM_ERASEBKGND: {
      TCanvas canvas(reinterpret_cast<HDC>(w));
      canvas.Brush.SetColor(Color);
      canvas.FillRect(ClientRect());
      return 1;
    }
    case WM_SIZE: {
      LRESULT r = TWindow::WndProc(message, w, l);
      UpdateScrollBars();
      return r;
    }
  }
  return TWindow::WndProc(message, w, l);
}

TPaintBox::TPaintBox(TComponent* owner, TWindow* parent, int x, int y, int width, int height)
    : TPaintedWindow(owner) {
  Create("", WS_CHILD | WS_VISIBLE, x, y, width, height, parent ? parent->Handle() : nullptr);
}

void TPaintBox::Paint(TCanvas& canvas) {
  if (OnPaint) {
    OnPaint(this, canvas);
    return;
  }
  canvas.Brush.SetColor(Color);
  canvas.FillRect(ClientRect());
}
