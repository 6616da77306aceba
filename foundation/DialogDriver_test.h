// Test helpers for windows that run modal loops: steps run from a thread timer while the loop
// runs (each tried every 20 ms until it says it is done), the thread's visible forms found by
// caption, buttons pressed by posting BM_CLICK (a click whose work opens another modal loop
// must not run inside the timer), and a window's picture saved for a screenshot.
#pragma once
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "framework/Text.h"

namespace dialogtest {

class TDriver {
 public:
  using Step = std::function<bool()>;
  TDriver& Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
  }
  // Starts the steps; a driver left with steps after 15 seconds closes the thread's forms so
  // that a failing test ends.
  void Start() {
    current() = this;
    timer_ = SetTimer(nullptr, 0, 20, &TDriver::Tick);
  }
  ~TDriver() {
    if (timer_) KillTimer(nullptr, timer_);
    if (current() == this) current() = nullptr;
  }
  bool Finished() const { return next_ >= steps_.size(); }
  bool TimedOut() const { return timedOut_; }

 private:
  static TDriver*& current() {
    static TDriver* driver = nullptr;
    return driver;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TDriver* d = current();
    if (!d || d->busy_) return;
    d->busy_ = true;
    if (d->next_ < d->steps_.size()) {
      if (d->steps_[d->next_]()) {
        ++d->next_;
        d->ticks_ = 0;
      } else if (++d->ticks_ > 750) {
        d->timedOut_ = true;
        d->next_ = d->steps_.size();
        EnumThreadWindows(GetCurrentThreadId(), &TDriver::CloseVisible, 0);
      }
    }
    d->busy_ = false;
  }
  static BOOL CALLBACK CloseVisible(HWND h, LPARAM) {
    if (IsWindowVisible(h)) PostMessageW(h, WM_CLOSE, 0, 0);
    return TRUE;
  }
  std::vector<Step> steps_;
  size_t next_ = 0;
  int ticks_ = 0;
  bool busy_ = false;
  bool timedOut_ = false;
  UINT_PTR timer_ = 0;
};

struct TFormSearch {
  std::wstring caption;
  HWND found = nullptr;
};
inline BOOL CALLBACK MatchForm(HWND h, LPARAM p) {
  auto* s = reinterpret_cast<TFormSearch*>(p);
  wchar_t text[256] = {};
  GetWindowTextW(h, text, 256);
  if (IsWindowVisible(h) && s->caption == text) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}

// The thread's visible top-level window with this caption (null when none).
inline HWND FindForm(const std::string& caption) {
  TFormSearch s{Utf8ToWide(caption)};
  EnumThreadWindows(GetCurrentThreadId(), &MatchForm, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

struct TChildSearch {
  const wchar_t* cls;
  std::wstring text;
  HWND found = nullptr;
};
inline BOOL CALLBACK MatchChild(HWND h, LPARAM p) {
  auto* s = reinterpret_cast<TChildSearch*>(p);
  wchar_t cls[64] = {}, t[256] = {};
  GetClassNameW(h, cls, 64);
  GetWindowTextW(h, t, 256);
  if (IsWindowVisible(h) && lstrcmpiW(cls, s->cls) == 0 && s->text == t) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}

// A visible child window of the class with this text (null when none).
inline HWND FindChild(HWND parent, const wchar_t* className, const std::string& text) {
  TChildSearch s{className, Utf8ToWide(text)};
  EnumChildWindows(parent, &MatchChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// Presses the button of the form with this caption; false while either is not there.
inline bool PressButton(const std::string& form, const std::string& button) {
  HWND f = FindForm(form);
  HWND b = f ? FindChild(f, L"Button", button) : nullptr;
  if (!b) return false;
  PostMessageW(b, BM_CLICK, 0, 0);
  return true;
}

inline std::string WindowText(HWND h) {
  wchar_t t[1024] = {};
  GetWindowTextW(h, t, 1024);
  return WideToUtf8(t);
}

// The cursor of the moment drawn where the pointer is, on a picture of the screen whose top left
// corner is origin (the screen's own pictures leave the cursor out).
inline void DrawCursor(HDC dc, POINT origin) {
  CURSORINFO ci{};
  ci.cbSize = sizeof ci;
  if (!GetCursorInfo(&ci) || !ci.hCursor) return;
  ICONINFO ii{};
  POINT hot{};
  if (GetIconInfo(ci.hCursor, &ii)) {
    hot = {static_cast<LONG>(ii.xHotspot), static_cast<LONG>(ii.yHotspot)};
    if (ii.hbmMask) DeleteObject(ii.hbmMask);
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
  }
  DrawIconEx(dc, ci.ptScreenPos.x - hot.x - origin.x, ci.ptScreenPos.y - hot.y - origin.y,
             ci.hCursor, 0, 0, 0, nullptr, DI_NORMAL);
}

// The window as the screen shows it now (frame included) into a BMP file, without asking it to
// draw first; with the cursor when asked.
inline bool SaveScreenPicture(HWND window, const std::string& path, bool withCursor = false) {
  RECT r;
  GetWindowRect(window, &r);
  TBitmap picture;
  if (!picture.SetSize(r.right - r.left, r.bottom - r.top)) return false;
  HDC screen = GetDC(nullptr);
  BitBlt(picture.Canvas().Handle(), 0, 0, picture.Width(), picture.Height(), screen, r.left, r.top,
         SRCCOPY);
  ReleaseDC(nullptr, screen);
  if (withCursor) DrawCursor(picture.Canvas().Handle(), POINT{r.left, r.top});
  std::vector<uint8_t> info, bits;
  if (!picture.GetDIB(info, bits)) return false;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = static_cast<DWORD>(sizeof file + info.size());
  file.bfSize = static_cast<DWORD>(file.bfOffBits + bits.size());
  std::ofstream out(std::filesystem::path(Utf8ToWide(path)), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(info.data()), static_cast<std::streamsize>(info.size()));
  out.write(reinterpret_cast<const char*>(bits.data()), static_cast<std::streamsize>(bits.size()));
  return out.good();
}

// The window, drawn afresh with its children, into a BMP file.
inline bool SaveWindowPicture(HWND window, const std::string& path) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return SaveScreenPicture(window, path);
}

// With TAVIS_SCREENSHOT_DIR set (a Windows path), saves the window there under the name.
inline void Screenshot(HWND window, const std::string& name) {
  const char* dir = std::getenv("TAVIS_SCREENSHOT_DIR");
  if (dir && *dir) SaveWindowPicture(window, std::string(dir) + "\\" + name + ".bmp");
}

// The whole screen as it is now, the cursor drawn in (for what the pointer says mid-drag).
inline void ScreenshotWithCursor(const std::string& name) {
  const char* dir = std::getenv("TAVIS_SCREENSHOT_DIR");
  if (dir && *dir)
    SaveScreenPicture(GetDesktopWindow(), std::string(dir) + "\\" + name + ".bmp", true);
}

// Runs messages until the condition holds or the time is up; true when it held.
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 60000) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  while (!done()) {
    if (static_cast<int>(GetTickCount() - end) > 0) return false;
    Application.ProcessMessages();
    Sleep(5);
  }
  return true;
}

inline void Pump(int rounds = 10) {
  for (int i = 0; i < rounds; ++i) {
    Application.ProcessMessages();
    Sleep(5);
  }
}

}  // namespace dialogtest
