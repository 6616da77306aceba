#include "framework/HintWindow.h"

#include <algorithm>
#include <memory>

#include "framework/Application.h"
#include "framework/Canvas.h"

THintWindow::THintWindow(TComponent* owner) : TWindow(owner) {
  // Layered and transparent: the mouse passes through to the window under the hint, so a click
  // on a name that its tip covers reaches the name (a hit-test answer alone does not carry it
  // past a top-level window everywhere).
  Create("", WS_POPUP | WS_BORDER, 0, 0, 10, 10, nullptr,
         WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT);
  SetLayeredWindowAttributes(Handle(), 0, 255, LWA_ALPHA);
}

void THintWindow::ActivateHint(const RECT& r, const std::string& text) {
  SetCaption(text);
  SetWindowPos(Handle(), HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Invalidate();
}

void THintWindow::ReleaseHint() {
  if (Visible()) ShowWindow(Handle(), SW_HIDE);
}

LRESULT THintWindow::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      TPaintCanvas canvas(Handle());
      RECT r = ClientRect();
      canvas.Brush.SetColor(Color);
      canvas.FillRect(r);
      canvas.Font = Font();
      canvas.Font.SetColor(clInfoText);
      canvas.Brush.SetStyle(bsClear);
      r.left += 2;
      r.top += 2;
      canvas.DrawText(Caption(), r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
      return 0;
    }
  }
  return TWindow::WndProc(message, w, l);
}

namespace {
constexpr UINT_PTR kHintShowTimer = 0x7A51, kHintHideTimer = 0x7A52, kHintLeaveTimer = 0x7A53;
// The control under the mouse, whose hint waits, shows or has been shown.
HWND hintControl = nullptr;
std::unique_ptr<THintWindow> controlHint;

void HideControlHint(HWND control) {
  KillTimer(control, kHintShowTimer);
  KillTimer(control, kHintHideTimer);
  if (hintControl == control && controlHint) controlHint->ReleaseHint();
}

void LeaveControl(HWND control) {
  HideControlHint(control);
  KillTimer(control, kHintLeaveTimer);
  if (hintControl == control) hintControl = nullptr;
}

bool MouseOver(HWND control) {
  POINT at;
  GetCursorPos(&at);
  HWND under = WindowFromPoint(at);
  return under == control || (controlHint && under == controlHint->Handle());
}

void ShowControlHint(TWindow& control, const std::string& hint) {
  if (!controlHint) controlHint = std::make_unique<THintWindow>(nullptr);
  controlHint->Font() = control.Font();
  SIZE text;
  {
    TControlCanvas canvas(control.Handle());
    canvas.Font = control.Font();
    text = canvas.TextExtent(hint);
  }
  // Below the mouse pointer, kept on the screen of the pointer.
  POINT at;
  GetCursorPos(&at);
  const int width = text.cx + 8, height = text.cy + 4;
  RECT r{at.x, at.y + GetSystemMetrics(SM_CYCURSOR) * 2 / 3, 0, 0};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& screen = monitor.rcWork;
    r.left = std::max<LONG>(screen.left, std::min<LONG>(r.left, screen.right - width));
    if (r.top + height > screen.bottom) r.top = at.y - height - 2;
  }
  r.right = r.left + width;
  r.bottom = r.top + height;
  controlHint->ActivateHint(r, hint);
}
}  // namespace

bool ControlHintMessage(TWindow& control, const std::string& hint, UINT message, WPARAM w,
                        LPARAM) {
  HWND h = control.Handle();
  switch (message) {
    case WM_MOUSEMOVE: {
      if (hintControl == h || hint.empty() || !Application.ShowHint) break;
      if (hintControl) LeaveControl(hintControl);
      hintControl = h;
      SetTimer(h, kHintShowTimer, static_cast<UINT>(std::max(1, Application.HintPause)), nullptr);
      // The mouse's leaving is looked for by the clock: the system's own notice of it does not
      // come everywhere once a hint window has come and gone.
      SetTimer(h, kHintLeaveTimer, 100, nullptr);
      break;
    }
    case WM_TIMER:
      if (w == kHintShowTimer) {
        KillTimer(h, kHintShowTimer);
        if (hintControl == h && Application.ShowHint && !hint.empty()) {
          ShowControlHint(control, hint);
          SetTimer(h, kHintHideTimer, static_cast<UINT>(std::max(1, Application.HintHidePause)),
                   nullptr);
        }
        return true;
      }
      if (w == kHintHideTimer) {
        HideControlHint(h);
        return true;
      }
      if (w == kHintLeaveTimer) {
        if (hintControl != h || !MouseOver(h)) LeaveControl(h);
        return true;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      // Hidden for the rest of this stay on the control.
      HideControlHint(h);
      break;
    case WM_ENABLE:
      if (w) break;
      [[fallthrough]];
    case WM_DESTROY:
      ForgetControlHint(h);
      break;
  }
  return false;
}

void ForgetControlHint(HWND control) {
  if (control) LeaveControl(control);
}

THintWindow* ControlHintShowing() {
  return controlHint && controlHint->Visible() ? controlHint.get() : nullptr;
}
