// One C++ object per window. A window is either of a class of its own (forms, panels, painted
// controls; registered on first use) or a standard control of the system subclassed so that this
// object sees its messages. Private messages (WM_USER + n) reach handlers through a message map;
// WM_COMMAND, WM_HSCROLL, WM_VSCROLL, WM_NOTIFY, WM_DRAWITEM and WM_MEASUREITEM that a parent
// receives from a child are sent back to the child's object as CN_BASE + message, so each
// control handles its own.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Graphics.h"

// Reflected notifications: a control receives CN_BASE + WM_COMMAND and so on.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;

enum : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
using TShiftState = unsigned;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
// The modifier keys held now (keyboard state of the current message).
TShiftState KeyboardShiftState();

using TNotifyEvent = std::function<void(TComponent* sender)>;
using TMouseEvent =
    std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TComponent* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TComponent* sender, wchar_t& key)>;

class TWindow : public TComponent {
 public:
  using MessageHandler = std::function<LRESULT(WPARAM, LPARAM)>;

  explicit TWindow(TComponent* owner = nullptr);
  ~TWindow() override;

  HWND Handle() const { return handle_; }
  bool HandleAllocated() const { return handle_ != nullptr; }
  TWindow* Parent() const { return parent_; }
  // The object of a window handle, when the window is one of ours.
  static TWindow* FromHandle(HWND handle);

  // A window of this object's own class; parent handle given for a child window.
  bool Create(const std::string& caption, DWORD style, int x, int y, int width, int height,
              HWND parent = nullptr, DWORD exStyle = 0);
  void Destroy();

  // Message map: the handler of a message; a later call replaces it.
  void OnMessage(UINT message, MessageHandler handler) { handlers_[message] = std::move(handler); }
  bool Post(UINT message, WPARAM w = 0, LPARAM l = 0) {
    return ::PostMessageW(handle_, message, w, l) != 0;
  }
  LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) {
    return ::SendMessageW(handle_, message, w, l);
  }

  bool Show(int command = SW_SHOW) { return ShowWindow(handle_, command) != 0; }
  bool Visible() const { return handle_ && IsWindowVisible(handle_); }
  void SetVisible(bool visible) { ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE); }
  bool Enabled() const { return handle_ && IsWindowEnabled(handle_); }
  void SetEnabled(bool enabled) { EnableWindow(handle_, enabled); }
  void SetCaption(const std::string& caption);
  std::string Caption() const;

  // Bounds relative to the parent's client area (the screen for top-level windows).
  RECT BoundsRect() const;
  int Left() const { return BoundsRect().left; }
  int Top() const { return BoundsRect().top; }
  int Width() const;
  int Height() const;
  RECT ClientRect() const;
  int ClientWidth() const { return ClientRect().right; }
  int ClientHeight() const { return ClientRect().bottom; }
  void SetBounds(int x, int y, int width, int height);
  void SetWidth(int width);
  POINT ScreenToClient(POINT p) const;
  POINT ClientToScreen(POINT p) const;

  void SetFocus();
  bool Focused() const { return handle_ && GetFocus() == handle_; }
  void Invalidate() { InvalidateRect(handle_, nullptr, TRUE); }
  void Update() { UpdateWindow(handle_); }
  void Repaint() {
    Invalidate();
    Update();
  }
  void SetMouseCapture(bool capture);
  bool MouseCapture() const { return handle_ && GetCapture() == handle_; }

  // The font of the window; a change reaches the window at once (WM_SETFONT). A child starts
  // with a copy of its parent's font.
  TFont& Font() { return font_; }
  // The help context of the window; F1 asks the application for the nearest one that is set.
  int HelpContext = 0;

  // Frees the object once no message of its window tree is being handled any more: at once when
  // none is, else when the outermost handler returns.
  void Release();

  TNotifyEvent OnClick, OnDblClick, OnResize;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TKeyEvent OnKeyDown, OnKeyUp;
  TKeyPressEvent OnKeyPress;

 protected:
  struct TCreateParams {
    const wchar_t* systemClass = nullptr;  // a standard control's class, or own class
    std::string caption;
    DWORD style = 0, exStyle = 0;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
    HWND parentHandle = nullptr;
  };
  // A child control of parent (its object): the standard class is subclassed.
  bool CreateControl(TWindow* parent, const wchar_t* systemClass, DWORD style, DWORD exStyle, int x,
                     int y, int width, int height, const std::string& caption = "");
  bool CreateHandle(const TCreateParams& params);
  // Destroys the window and makes it again with the parameters changed by change (for styles
  // that a control reads only at creation); bounds, font and visibility are kept.
  bool RecreateWnd(const std::function<void(TCreateParams&)>& change);
  // Counts as a running handler of the window tree until Unhold: a Release meanwhile waits.
  // Unhold returns false when it freed the tree's root.
  void Hold();
  bool Unhold();
  // Runs after every creation of the window (also after RecreateWnd).
  virtual void CreateWnd() {}

  // The window class name for windows of the object's own class.
  virtual const wchar_t* ClassName() const { return L"TavisWindow"; }
  virtual UINT ClassStyle() const { return CS_DBLCLKS; }
  virtual LRESULT WndProc(UINT message, WPARAM w, LPARAM l);
  LRESULT DefaultProc(UINT message, WPARAM w, LPARAM l);

  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(wchar_t& key);
  virtual void Resize();
  virtual void FontChanged();

 private:
  struct Life {
    int busy = 0;
    bool pendingFree = false;
    bool alive = true;
  };
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM w, LPARAM l);
  LRESULT Dispatch(UINT message, WPARAM w, LPARAM l);
  bool Reflect(UINT message, WPARAM w, LPARAM l, LRESULT& result);
  TWindow* Root();
  void SetParent(TWindow* parent);

  HWND handle_ = nullptr;
  WNDPROC oldProc_ = nullptr;
  TWindow* parent_ = nullptr;
  std::vector<TWindow*> children_;
  std::map<UINT, MessageHandler> handlers_;
  std::shared_ptr<Life> life_ = std::make_shared<Life>();
  TCreateParams params_;
  TFont font_;
};
