// Real input for window tests, as a hand gives it: through the system's input queue to whatever
// window is under the pointer or has the focus, never sent to a chosen window.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

namespace testsupport {

// Each event carries the pointer's place: a button event without one would take whatever place
// the system holds at that moment, which under Wine may still be an earlier one.
inline POINT& LastMousePlace() {
  static POINT place{};
  return place;
}

inline void MouseEvent(DWORD flags, POINT screen) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
  LastMousePlace() = screen;
}
inline void MouseTo(POINT screen) { MouseEvent(0, screen); }
// A click where the pointer is now.
inline void MouseClick() {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof in[0]);
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

// Steps for a driver that tries each every few milliseconds until it says it is done: the input
// is given once, and the step is done when the system has taken it and the pointer has stayed
// put for a few tries. The hand holds the mouse still: under Wine the X server's late report of
// an earlier move can put the pointer back there, and the move is then given again.
inline bool HoldMouseStill() {
  if (MouseAt(LastMousePlace())) return true;
  MouseTo(LastMousePlace());
  return false;
}
inline std::function<bool()> MoveStep(std::function<POINT()> where) {
  auto tries = std::make_shared<int>(-1);
  return [=] {
    if (*tries < 0) {
      MouseTo(where());
      *tries = 0;
    }
    *tries = HoldMouseStill() ? *tries + 1 : 0;
    return *tries >= 3;
  };
}
inline std::function<bool()> MoveStep(POINT screen) {
  return MoveStep([screen] { return screen; });
}
inline std::function<bool()> LeftStep(bool down) {
  auto tries = std::make_shared<int>(-1);
  return [=] {
    if (*tries < 0) MouseEvent(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP, LastMousePlace());
    *tries = (GetAsyncKeyState(VK_LBUTTON) < 0) == down ? *tries + 1 : 0;
    return *tries >= 2;
  };
}
// A step that waits (a while at most) for a state: done when it holds or when its tries are
// spent, so the test then sees the state as it is.
inline std::function<bool()> WaitStep(std::function<bool()> holds, int tries = 100) {
  auto left = std::make_shared<int>(tries);
  return [=] { return (HoldMouseStill() && holds()) || --*left <= 0; };
}

}  // namespace testsupport
