#include "framework/PaintedWindow.h"

#include "framework/Canvas.h"
#include "framework/HintWindow.h"

TPaintedWindow::~TPaintedWindow() { ForgetControlHint(Handle()); }

LRESULT TPaintedWindow::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (ControlHintMessage(*this, Hint, message, w, l)) return 0;
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
