// The real mouse for the Windows tests: input through SendInput, which under Wine and Xvfb moves
// the X pointer, so the windows get their messages as from a person's hand.
#pragma once
#include <windows.h>

namespace testsupport {

// Moves the pointer to a screen point.
inline void MouseTo(POINT screen) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

// The left button pressed or released where the pointer is.
inline void MouseLeft(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
}

// The centre of a window, on the screen.
inline POINT CentreOf(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace testsupport
