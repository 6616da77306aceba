#include "viewers/media/MediaPlayerBar.h"

#include <algorithm>
#include <cstdlib>

#include "framework/Canvas.h"

namespace {
constexpr int kButtons = 4;

// A triangle of rows pointing right (dir 1) or left (dir -1) from x, 2 * s + 1 rows high.
void FillTriangle(TCanvas& canvas, int x, int cy, int s, int dir) {
  for (int dy = -s; dy <= s; dy++) {
    const int len = (s - std::abs(dy)) * 3 / 2 + 1;
    if (dir > 0)
      canvas.FillRect({x, cy + dy, x + len, cy + dy + 1});
    else
      canvas.FillRect({x - len + 1, cy + dy, x + 1, cy + dy + 1});
  }
}
}  // namespace

TMediaPlayerBar::TMediaPlayerBar(TComponent* owner, TWindow* parent, int x, int y, int width,
                                 int height)
    : TPaintedWindow(owner) {
  Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y, width, height, parent->Handle());
}

void TMediaPlayerBar::SetEnabledButtons(const TMPButtons& enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Invalidate();
}

bool TMediaPlayerBar::ButtonEnabled(TMPBtnType button) const {
  switch (button) {
    case btPlay: return enabled_.Play;
    case btPause: return enabled_.Pause;
    case btStop: return enabled_.Stop;
    case btBack: return enabled_.Back;
  }
  return false;
}

void TMediaPlayerBar::Press(TMPBtnType button) {
  if (!ButtonEnabled(button)) return;
  focused_ = button;
  Invalidate();
  if (OnButtonClick) OnButtonClick(button);
}

RECT TMediaPlayerBar::ButtonRect(int index) const {
  RECT c = ClientRect();
  const int w = (c.right - c.left) / kButtons;
  return {index * w, 0, index == kButtons - 1 ? c.right : (index + 1) * w, c.bottom};
}

int TMediaPlayerBar::ButtonAt(int x, int y) const {
  for (int i = 0; i < kButtons; i++) {
    RECT r = ButtonRect(i);
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return i;
  }
  return -1;
}

void TMediaPlayerBar::Paint(TCanvas& canvas) {
  for (int i = 0; i < kButtons; i++) {
    RECT r = ButtonRect(i);
    const bool down = i == pressed_;
    canvas.Frame3D(r, down ? clBtnShadow : clBtnHighlight, down ? clBtnShadow : clBtnShadow, 1);
    canvas.Brush.SetColor(clBtnFace);
    canvas.FillRect(r);
    const bool enabled = ButtonEnabled(static_cast<TMPBtnType>(i));
    const TColor ink = enabled ? (i == btPlay ? TColor(0x008000) : clBlack) : clGray;
    canvas.Pen.SetColor(ink);
    canvas.Brush.SetColor(ink);
    const int cx = (r.left + r.right) / 2 + (down ? 1 : 0), cy = (r.top + r.bottom) / 2 + (down ? 1 : 0);
    const int s = std::max<int>(3, std::min<int>(r.right - r.left, r.bottom - r.top) / 4);
    switch (i) {
      case btPlay: FillTriangle(canvas, cx - s / 2, cy, s, 1); break;
      case btPause:
        canvas.FillRect({cx - s, cy - s, cx - s / 3, cy + s + 1});
        canvas.FillRect({cx + s / 3, cy - s, cx + s, cy + s + 1});
        break;
      case btStop: canvas.FillRect({cx - s, cy - s, cx + s, cy + s}); break;
      case btBack:
        canvas.FillRect({cx - s - 2, cy - s, cx - s + 1, cy + s + 1});
        FillTriangle(canvas, cx + s / 2 + 1, cy, s, -1);
        break;
    }
    if (i == focused_ && Focused()) {
      RECT f = {r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
      canvas.DrawFocusRect(f);
    }
  }
}

LRESULT TMediaPlayerBar::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); break;
  }
  return TPaintedWindow::WndProc(message, w, l);
}

void TMediaPlayerBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  SetFocus();
  const int i = ButtonAt(x, y);
  if (button == mbLeft && i >= 0 && ButtonEnabled(static_cast<TMPBtnType>(i))) {
    pressed_ = i;
    SetMouseCapture(true);
    Invalidate();
  }
  TPaintedWindow::MouseDown(button, shift, x, y);
}

void TMediaPlayerBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const int was = pressed_;
  pressed_ = -1;
  if (MouseCapture()) SetMouseCapture(false);
  Invalidate();
  if (was >= 0 && ButtonAt(x, y) == was) Press(static_cast<TMPBtnType>(was));
  TPaintedWindow::MouseUp(button, shift, x, y);
}

void TMediaPlayerBar::KeyDown(WORD& key, TShiftState shift) {
  switch (key) {
    case VK_SPACE: Press(static_cast<TMPBtnType>(focused_)); break;
    case VK_LEFT: focused_ = (focused_ + kButtons - 1) % kButtons; Invalidate(); break;
    case VK_RIGHT: focused_ = (focused_ + 1) % kButtons; Invalidate(); break;
  }
  TPaintedWindow::KeyDown(key, shift);
}
