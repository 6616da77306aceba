// Real input for window tests, as a hand gives it: through the system's input queue to whatever
// window is under the pointer or has the focus, never sent to a chosen window.
#pragma once
#include <windows.h>


namespace testsupport {

inline void MouseTo(POINT screen) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

inline void MouseButton(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}
inline void LeftDown() { MouseButton(MOUSEEVENTF_LEFTDOWN); }
inline void LeftUp() { MouseButton(MOUSEEVENTF_LEFTUP); }
inline void MouseClick() {
  LeftDown();
  LeftUp();
}

inline void KeyStroke(WORD key) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = key;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof in[0]);
}

// The pointer's place now equals the point (input is taken in its own time).
inline bool MouseAt(POINT screen) {
  POINT p{};
  GetCursorPos(&p);
  return p.x == screen.x && p.y == screen.y;
}

}  // namespace testsupport
