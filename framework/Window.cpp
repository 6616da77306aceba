#include "framework/Window.h"

#include <algorithm>
#include <set>

#include "framework/Application.h"
#include "framework/Text.h"

namespace {
bool RegisterOnce(const wchar_t* className, UINT classStyle, WNDPROC proc) {
  // Never freed: window classes outlive every object, also at program exit.
  static auto* registered = new std::set<std::wstring>;
  if (registered->count(className)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = classStyle;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  wc.lpszClassName = className;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  registered->insert(className);
  return true;
}

int nextControlId = 1000;
// The object of a control, kept beside GWLP_USERDATA for when another window procedure
// has been put in front of ours.
constexpr const wchar_t* kSelfProperty = L"TavisWindow";

TShiftState MouseShift(WPARAM w) {
  TShiftState s = 0;
  if (w & MK_SHIFT) s |= ssShift;
  if (w & MK_CONTROL) s |= ssCtrl;
  if (w & MK_LBUTTON) s |= ssLeft;
  if (w & MK_RBUTTON) s |= ssRight;
  if (w & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}
}  // namespace

TShiftState KeyboardShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TWindow::TWindow(TComponent* owner) : TComponent(owner) {
  font_.SetName("MS Sans Serif");
  font_.OnChange = [this] { FontChanged(); };
}

TWindow::~TWindow() {
  life_->alive = false;
  NotifyDestruction();
  // What this window owns goes first, each with its own window, while this one still exists.
  DestroyComponents();
  Destroy();
  for (TWindow* child : children_) child->parent_ = nullptr;
  children_.clear();
  SetParent(nullptr);
}

TWindow* TWindow::FromHandle(HWND handle) {
  if (!handle) return nullptr;
  // Our own class and our subclassed controls both go through StaticProc, unless the common
  // controls subclassed one of ours again (an up-down control does so to its buddy edit): the
  // control then still carries its object as a property.
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(handle, GWLP_WNDPROC)) != &TWindow::StaticProc)
    return static_cast<TWindow*>(GetPropW(handle, kSelfProperty));
  return reinterpret_cast<TWindow*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
}

void TWindow::SetParent(TWindow* parent) {
  if (parent_) {
    auto& list = parent_->children_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  parent_ = parent;
  if (parent_) parent_->children_.push_back(this);
}

TWindow* TWindow::Root() {
  TWindow* w = this;
  while (w->parent_) w = w->parent_;
  return w;
}

bool TWindow::Create(const std::string& caption, DWORD style, int x, int y, int width, int height,
                     HWND parent, DWORD exStyle) {
  TCreateParams p;
  p.caption = caption;
  p.style = style;
  p.exStyle = exStyle;
  p.x = x;
  p.y = y;
  p.width = width;
  p.height = height;
  p.parentHandle = parent;
  if (parent && (style & WS_CHILD)) SetParent(FromHandle(parent));
  return CreateHandle(p);
}

bool TWindow::CreateControl(TWindow* parent, const wchar_t* systemClass, DWORD style, DWORD exStyle,
                            int x, int y, int width, int height, const std::string& caption) {
  SetParent(parent);
  if (parent) font_ = parent->font_;
  TCreateParams p;
  p.systemClass = systemClass;
  p.caption = caption;
  p.style = style | WS_CHILD;
  p.exStyle = exStyle;
  p.x = x;
  p.y = y;
  p.width = width;
  p.height = height;
  p.parentHandle = parent ? parent->Handle() : nullptr;
  return CreateHandle(p);
}

bool TWindow::CreateHandle(const TCreateParams& p) {
  params_ = p;
  HMENU id = (p.style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextControlId++))
                                  : nullptr;
  HWND h;
  if (p.systemClass) {
    h = CreateWindowExW(p.exStyle, p.systemClass, Utf8ToWide(p.caption).c_str(), p.style, p.x, p.y,
                        p.width, p.height, p.parentHandle, id, GetModuleHandleW(nullptr), nullptr);
    if (!h) return false;
    handle_ = h;
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetPropW(h, kSelfProperty, this);
    oldProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWindow::StaticProc)));
  } else {
    if (!RegisterOnce(ClassName(), ClassStyle(), &TWindow::StaticProc)) return false;
    oldProc_ = nullptr;
    h = CreateWindowExW(p.exStyle, ClassName(), Utf8ToWide(p.caption).c_str(), p.style, p.x, p.y,
                        p.width, p.height, p.parentHandle, id, GetModuleHandleW(nullptr), this);
    if (!h) return false;
  }
  ::SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
  CreateWnd();
  return true;
}

bool TWindow::RecreateWnd(const std::function<void(TCreateParams&)>& change) {
  if (!handle_) return false;
  TCreateParams p = params_;
  RECT r = BoundsRect();
  p.x = r.left;
  p.y = r.top;
  p.width = r.right - r.left;
  p.height = r.bottom - r.top;
  // The window's own flag: its parent may not be showing yet.
  if (GetWindowLongW(handle_, GWL_STYLE) & WS_VISIBLE)
    p.style |= WS_VISIBLE;
  else
    p.style &= ~WS_VISIBLE;
  if (parent_) p.parentHandle = parent_->Handle();
  change(p);
  Destroy();
  return CreateHandle(p);
}

void TWindow::Destroy() {
  if (!handle_) return;
  HWND h = handle_;
  // Detached first: the window's last messages go to its class, not to a dying object.
  if (oldProc_) SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
  SetWindowLongPtrW(h, GWLP_USERDATA, 0);
  RemovePropW(h, kSelfProperty);
  handle_ = nullptr;
  oldProc_ = nullptr;
  DestroyWindow(h);
}

void TWindow::Release() {
  if (Root()->life_->busy == 0)
    delete this;
  else
    life_->pendingFree = true;
}

void TWindow::Hold() { ++Root()->life_->busy; }

bool TWindow::Unhold() {
  TWindow* root = Root();
  std::shared_ptr<Life> life = root->life_;
  if (--life->busy == 0 && life->alive && life->pendingFree) {
    life->pendingFree = false;
    delete root;
    return false;
  }
  return true;
}

LRESULT CALLBACK TWindow::StaticProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  TWindow* self;
  if (message == WM_NCCREATE) {
    self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    if (self) {
      self->handle_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  } else {
    self = reinterpret_cast<TWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, message, w, l);
  return self->Dispatch(message, w, l);
}

LRESULT TWindow::Dispatch(UINT message, WPARAM w, LPARAM l) {
  // Every message to a window of a tree counts on the tree's root, so a window that is to be
  // freed goes only when no handler of its tree is running any more.
  std::shared_ptr<Life> mine = life_;
  TWindow* root = Root();
  std::shared_ptr<Life> rootLife = root->life_;
  ++rootLife->busy;
  LRESULT result = WndProc(message, w, l);
  if (message == WM_NCDESTROY && mine->alive) {
    SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    RemovePropW(handle_, kSelfProperty);
    handle_ = nullptr;
    oldProc_ = nullptr;
  }
  if (--rootLife->busy == 0) {
    if (rootLife->alive && rootLife->pendingFree) {
      rootLife->pendingFree = false;
      delete root;
    } else if (root != this && mine->alive && mine->pendingFree) {
      mine->pendingFree = false;
      delete this;
    }
  }
  return result;
}

LRESULT TWindow::DefaultProc(UINT message, WPARAM w, LPARAM l) {
  if (oldProc_) return CallWindowProcW(oldProc_, handle_, message, w, l);
  return DefWindowProcW(handle_, message, w, l);
}

bool TWindow::Reflect(UINT message, WPARAM w, LPARAM l, LRESULT& result) {
  HWND child = nullptr;
  switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
      // Scroll messages of a window's own scroll bars carry no control.
      child = reinterpret_cast<HWND>(l);
      break;
    case WM_NOTIFY:
      child = reinterpret_cast<NMHDR*>(l)->hwndFrom;
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      child = reinterpret_cast<HWND>(l);
      break;
    case WM_DRAWITEM: {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(l);
      if (d->CtlType != ODT_MENU) child = d->hwndItem;
      break;
    }
    case WM_MEASUREITEM: {
      auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      if (m->CtlType != ODT_MENU) child = GetDlgItem(handle_, static_cast<int>(m->CtlID));
      break;
    }
  }
  TWindow* target = FromHandle(child);
  if (!target || target == this) return false;
  result = ::SendMessageW(child, CN_BASE + message, w, l);
  // A control that picks no colours of its own gets the system's.
  if ((message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) && result == 0) return false;
  return true;
}

LRESULT TWindow::WndProc(UINT message, WPARAM w, LPARAM l) {
  auto it = handlers_.find(message);
  if (it != handlers_.end()) return it->second(w, l);
  switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
      LRESULT r;
      if (Reflect(message, w, l, r)) return r;
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      MouseDown(message == WM_LBUTTONDOWN   ? mbLeft
                : message == WM_RBUTTONDOWN ? mbRight
                                            : mbMiddle,
                MouseShift(w), static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)));
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      MouseUp(message == WM_LBUTTONUP   ? mbLeft
              : message == WM_RBUTTONUP ? mbRight
                                        : mbMiddle,
              MouseShift(w), static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)));
      break;
    case WM_LBUTTONDBLCLK:
      if (!oldProc_) DblClick();
      break;
    case WM_MOUSEMOVE:
      MouseMove(MouseShift(w), static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)));
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      WORD key = static_cast<WORD>(w);
      KeyDown(key, KeyboardShiftState());
      if (key == 0) return 0;
      w = key;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = static_cast<WORD>(w);
      KeyUp(key, KeyboardShiftState());
      if (key == 0) return 0;
      w = key;
      break;
    }
    case WM_CHAR: {
      wchar_t key = static_cast<wchar_t>(w);
      KeyPress(key);
      if (key == 0) return 0;
      w = key;
      break;
    }
    case WM_SIZE:
      Resize();
      break;
    case WM_SETCURSOR:
      if (Screen.Cursor != crDefault && LOWORD(l) == HTCLIENT) {
        SetCursor(Screen.CursorHandle());
        return TRUE;
      }
      break;
  }
  return DefaultProc(message, w, l);
}

void TWindow::Click() {
  if (OnClick) OnClick(this);
}
void TWindow::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TWindow::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TWindow::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TWindow::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TWindow::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}
void TWindow::KeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}
void TWindow::KeyPress(wchar_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}
void TWindow::Resize() {
  if (OnResize) OnResize(this);
}
void TWindow::FontChanged() {
  if (handle_) ::SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
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

RECT TWindow::BoundsRect() const {
  RECT r{};
  if (!handle_) return r;
  GetWindowRect(handle_, &r);
  HWND parent = (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD) ? GetParent(handle_) : nullptr;
  if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int TWindow::Width() const {
  RECT r = BoundsRect();
  return r.right - r.left;
}

int TWindow::Height() const {
  RECT r = BoundsRect();
  return r.bottom - r.top;
}

RECT TWindow::ClientRect() const {
  RECT r{};
  if (handle_) GetClientRect(handle_, &r);
  return r;
}

void TWindow::SetBounds(int x, int y, int width, int height) {
  if (handle_) MoveWindow(handle_, x, y, width, height, TRUE);
}

void TWindow::SetWidth(int width) {
  RECT r = BoundsRect();
  SetBounds(r.left, r.top, width, r.bottom - r.top);
}

POINT TWindow::ScreenToClient(POINT p) const {
  ::ScreenToClient(handle_, &p);
  return p;
}

POINT TWindow::ClientToScreen(POINT p) const {
  ::ClientToScreen(handle_, &p);
  return p;
}

void TWindow::SetFocus() {
  if (handle_) ::SetFocus(handle_);
}

void TWindow::SetMouseCapture(bool capture) {
  if (capture)
    ::SetCapture(handle_);
  else if (MouseCapture())
    ::ReleaseCapture();
}
