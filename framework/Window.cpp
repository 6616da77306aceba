#include "framework/Window.h"

#include <set>

#include "framework/Text.h"

namespace {
bool RegisterOnce(const wchar_t* className, WNDPROC proc) {
  static std::set<std::wstring> registered;
  if (registered.count(className)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  wc.lpszClassName = className;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  registered.insert(className);
  return true;
}
}  // namespace

TWindow::~TWindow() { Destroy(); }

bool TWindow::Create(const std::string& caption, DWORD style, int x, int y, int width, int height,
                     HWND parent, DWORD exStyle) {
  if (!RegisterOnce(ClassName(), &TWindow::StaticProc)) return false;
  HWND h = CreateWindowExW(exStyle, ClassName(), Utf8ToWide(caption).c_str(), style, x, y, width,
                           height, parent, nullptr, GetModuleHandleW(nullptr), this);
  return h != nullptr;
}

void TWindow::Destroy() {
  if (handle_) {
    HWND h = handle_;
    DestroyWindow(h);  // WM_NCDESTROY clears handle_
    handle_ = nullptr;
  }
}

void TWindow::SetCaption(const std::string& caption) {
  SetWindowTextW(handle_, Utf8ToWide(caption).c_str());
}

std::string TWindow::Caption() const {
  int n = GetWindowTextLengthW(handle_);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(handle_, text.data(), n + 1);
  text.resize(static_cast<size_t>(n));
  return WideToUtf8(text);
}

LRESULT TWindow::WndProc(UINT message, WPARAM w, LPARAM l) {
  auto it = handlers_.find(message);
  if (it != handlers_.end()) return it->second(w, l);
  return DefaultProc(message, w, l);
}

LRESULT CALLBACK TWindow::StaticProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  TWindow* self;
  if (message == WM_NCCREATE) {
    self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    self->handle_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<TWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, message, w, l);
  LRESULT result = self->WndProc(message, w, l);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->handle_ = nullptr;
  }
  return result;
}
