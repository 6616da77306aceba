#include "framework/PaintedWindow.h"

#include "framework/Canvas.h"

LRESULT TPaintedWindow::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      TPaintCanvas canvas(Handle());
      Paint(canvas);
      return 0;
    }
  }
  return TWindow::WndProc(message, w, l);
}
