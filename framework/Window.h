// One C++ object per window. The object registers its own window class on first use, receives
// every message in WndProc, and hands private messages (WM_USER + n) to the handlers of its
// message map.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>

class TWindow {
 public:
  using MessageHandler = std::function<LRESULT(WPARAM, LPARAM)>;

  TWindow() = default;
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;
  virtual ~TWindow();

  HWND Handle() const { return handle_; }
  // Creates the window with the class of this object (registered once per class name).
  bool Create(const std::string& caption, DWORD style, int x, int y, int width, int height,
              HWND parent = nullptr, DWORD exStyle = 0);
  void Destroy();

  // Message map: the handler of a private message; a later call replaces it.
  void OnMessage(UINT message, MessageHandler handler) { handlers_[message] = std::move(handler); }

  bool Show(int command = SW_SHOW) { return ShowWindow(handle_, command) != 0; }
  bool Post(UINT message, WPARAM w = 0, LPARAM l = 0) {
    return ::PostMessageW(handle_, message, w, l) != 0;
  }
  LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) {
    return ::SendMessageW(handle_, message, w, l);
  }
  void SetCaption(const std::string& caption);
  std::string Caption() const;

 protected:
  // The window class name; derived windows with their own painting give their own.
  virtual const wchar_t* ClassName() const { return L"TavisWindow"; }
  virtual LRESULT WndProc(UINT message, WPARAM w, LPARAM l);
  LRESULT DefaultProc(UINT message, WPARAM w, LPARAM l) {
    return DefWindowProcW(handle_, message, w, l);
  }

 private:
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM w, LPARAM l);
  HWND handle_ = nullptr;
  std::map<UINT, MessageHandler> handlers_;
};
