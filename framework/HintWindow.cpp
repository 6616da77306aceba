#include "framework/HintWindow.h"

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
