#include "framework/DragDrop.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
// Never freed: targets register while their controls live.
std::vector<TDragTarget*>& Targets() {
  static auto* targets = new std::vector<TDragTarget*>;
  return *targets;
}

TWindow* dragged = nullptr;

// The arrow with a sheet below it: 'X' black, '.' white, blanks show the screen.
const char* const kDragArt[] = {
    "X",
    "XX",
    "X.X",
    "X..X",
    "X...X",
    "X....X",
    "X.....X",
    "X......X",
    "X.......X",
    "X........X",
    "X.....XXXXX",
    "X..X..X",
    "X.X X..X",
    "XX  X..X",
    "X    X..X",
    "     X..X",
    "      XX",
    "",
    "       XXXXXXXXXX",
    "       X........XX",
    "       X........X.X",
    "       X........XXXX",
    "       X...........X",
    "       X...........X",
    "       X...........X",
    "       X...........X",
    "       X...........X",
    "       XXXXXXXXXXXXX",
};

HCURSOR MakeDragCursor() {
  const int w = GetSystemMetrics(SM_CXCURSOR), h = GetSystemMetrics(SM_CYCURSOR);
  const int rowBytes = (w + 15) / 16 * 2;
  std::vector<BYTE> andMask(static_cast<size_t>(rowBytes * h), 0xFF), xorMask(andMask.size(), 0);
  const int rows = std::min<int>(h, static_cast<int>(std::size(kDragArt)));
  for (int y = 0; y < rows; ++y) {
    const std::string line = kDragArt[y];
    for (int x = 0; x < std::min<int>(w, static_cast<int>(line.size())); ++x) {
      if (line[static_cast<size_t>(x)] == ' ') continue;
      const size_t at = static_cast<size_t>(y * rowBytes + x / 8);
      const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
      andMask[at] &= static_cast<BYTE>(~bit);
      if (line[static_cast<size_t>(x)] == '.') xorMask[at] |= bit;
    }
  }
  return CreateCursor(GetModuleHandleW(nullptr), 0, 0, w, h, andMask.data(), xorMask.data());
}

// The target under a screen point and the point in its client coordinates: the first window of
// ours from the window under the point up through its parents (the system's inner windows of a
// combo box are not ours); a window of another process is never asked.
TDragTarget* TargetAt(POINT screen, POINT& at) {
  HWND h = WindowFromPoint(screen);
  DWORD process = 0;
  if (!h || !GetWindowThreadProcessId(h, &process) || process != GetCurrentProcessId())
    return nullptr;
  TWindow* w = nullptr;
  for (; h && !w; h = (GetWindowLongW(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr)
    w = TWindow::FromHandle(h);
  TDragTarget* target = DragTargetOf(w);
  if (target) at = w->ScreenToClient(screen);
  return target;
}

bool Takes(TDragTarget* target, TWindow& source, POINT at) {
  return target && target->OnDragOver && target->OnDragOver(&source, at);
}
}  // namespace

TDragTarget::TDragTarget(TWindow* control) : TComponent(control), control_(control) {
  Targets().push_back(this);
}

TDragTarget::~TDragTarget() {
  auto& all = Targets();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

TDragTarget* DragTargetOf(TWindow* control) {
  if (!control) return nullptr;
  for (TDragTarget* t : Targets())
    if (t->Control() == control) return t;
  return nullptr;
}

bool TAutoDrag::Filter(UINT message, WPARAM w, LPARAM l) {
  const POINT at{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // the second press of a double click is a press too
      armed_ = Mode == dmAutomatic && !dragged && (!CanDrag || CanDrag(at));
      press_ = at;
      return false;
    case WM_MOUSEMOVE: {
      if (!armed_) return false;
      if (!(w & MK_LBUTTON)) {
        armed_ = false;
        return false;
      }
      const int dx = std::abs(at.x - press_.x), dy = std::abs(at.y - press_.y);
      if (dx <= GetSystemMetrics(SM_CXDRAG) && dy <= GetSystemMetrics(SM_CYDRAG)) return true;
      armed_ = false;
      control_.Send(WM_LBUTTONUP, 0, MAKELPARAM(press_.x, press_.y));
      DoDrag(control_);
      return true;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_CAPTURECHANGED:
      armed_ = false;
      return false;
    default:
      return false;
  }
}

TWindow* DragSource() { return dragged; }

HCURSOR DragCursor() {
  static HCURSOR cursor = MakeDragCursor();
  return cursor;
}

bool DoDrag(TWindow& source) {
  // Only while the left button is down: its release is what ends the loop.
  if (dragged || !source.HandleAllocated() || GetKeyState(VK_LBUTTON) >= 0) return false;
  const HWND h = source.Handle();
  dragged = &source;
  SetCapture(h);
  HCURSOR no = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_NO));
  auto track = [&](POINT screen) {
    POINT at{};
    SetCursor(Takes(TargetAt(screen, at), source, at) ? DragCursor() : no);
  };
  POINT now{};
  GetCursorPos(&now);
  track(now);
  bool drop = false;
  POINT dropAt{};
  for (bool done = false; !done && GetCapture() == h;) {
    MSG m;
    const BOOL got = GetMessageW(&m, nullptr, 0, 0);
    if (got <= 0) {
      // The program is ending: the loop that called us must see it too.
      if (got == 0) PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) {
      if (m.message == WM_MOUSEMOVE) {
        // A release that went elsewhere: nothing is dropped.
        if (!(m.wParam & MK_LBUTTON)) done = true;
        track(m.pt);
      } else if (m.message == WM_LBUTTONUP) {
        drop = true;
        dropAt = m.pt;
        done = true;
      } else if (m.message == WM_RBUTTONDOWN) {
        done = true;
      }
      continue;
    }
    if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) {
      if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) done = true;
      continue;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  if (GetCapture() == h) ReleaseCapture();
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
  dragged = nullptr;
  if (!drop) return false;
  // Asked again at the drop: the loop ran other messages meanwhile.
  POINT at{};
  TDragTarget* target = TargetAt(dropAt, at);
  if (!Takes(target, source, at)) return false;
  if (target->OnDragDrop) target->OnDragDrop(&source, at);
  return true;
}
