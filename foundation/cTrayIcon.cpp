#include "foundation/cTrayIcon.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Text.h"

class TTrayIcon::TTrayWindow : public TWindow {
 public:
  explicit TTrayWindow(TTrayIcon* tray) : tray_(tray) {
    Create("", WS_POPUP, 0, 0, 0, 0, nullptr, WS_EX_TOOLWINDOW);
  }

 protected:
  const wchar_t* ClassName() const override { return L"TavisTrayIcon"; }
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override {
    if (message == WM_TRAYICON) return tray_->TrayMessage(message, w, l);
    return TWindow::WndProc(message, w, l);
  }

 private:
  TTrayIcon* tray_;
};

TTrayIcon::TTrayIcon(TComponent* owner) : TComponent(owner) {
  window_ = std::make_unique<TTrayWindow>(this);
  ready_ = window_->HandleAllocated();
  // The first version of the record: every system takes it, and the tip holds 63 characters.
  data_.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data_.hWnd = window_->Handle();
  data_.uID = 1;
  data_.uFlags = NIF_MESSAGE | NIF_ICON;
  data_.uCallbackMessage = WM_TRAYICON;
  SetIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)));
  if (!icon_) SetIcon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
  savedMinimize_ = Application.OnMinimize;
  savedRestore_ = Application.OnRestore;
  Application.OnMinimize = [this](TComponent*) { ApplicationMinimized(); };
  Application.OnRestore = [this](TComponent*) { ApplicationRestored(); };
}

TTrayIcon::~TTrayIcon() {
  if (active_) RemoveIcon();
  Application.OnMinimize = savedMinimize_;
  Application.OnRestore = savedRestore_;
  window_.reset();
  if (icon_) DestroyIcon(icon_);
}

HWND TTrayIcon::WindowHandle() const { return window_->Handle(); }

bool TTrayIcon::NotifyIcon(DWORD message, NOTIFYICONDATAW& data) {
  return Shell_NotifyIconW(message, &data) != FALSE;
}

void TTrayIcon::AddIcon() {
  if (!ready_ || !removed_) return;
  if (!NotifyIcon(NIM_ADD, data_)) throw EOutOfResources("Cannot create shell notification icon");
  removed_ = false;
}

void TTrayIcon::RemoveIcon() {
  if (ready_) NotifyIcon(NIM_DELETE, data_);
  removed_ = true;
}

void TTrayIcon::ModifyIcon() {
  if (active_ && ready_ && !removed_) NotifyIcon(NIM_MODIFY, data_);
}

void TTrayIcon::SetActive(bool active) {
  active_ = active;
  if (active_ && minimized_ != separate_)
    AddIcon();
  else
    RemoveIcon();
}

void TTrayIcon::SetSeparateIcon(bool separate) {
  separate_ = separate;
  if (separate_ && active_)
    AddIcon();
  else if (!separate_ && active_ && !minimized_)
    RemoveIcon();
}

void TTrayIcon::SetHint(const std::string& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  std::wstring w = Utf8ToWide(hint);
  if (w.size() > 63) w.resize(63);
  std::fill(std::begin(data_.szTip), std::end(data_.szTip), L'\0');
  std::copy(w.begin(), w.end(), data_.szTip);
  if (w.empty())
    data_.uFlags &= ~static_cast<UINT>(NIF_TIP);
  else
    data_.uFlags |= NIF_TIP;
  ModifyIcon();
}

void TTrayIcon::SetIcon(HICON icon) {
  HICON copy = icon ? CopyIcon(icon) : nullptr;
  if (icon_) DestroyIcon(icon_);
  icon_ = copy;
  data_.hIcon = icon_;
  ModifyIcon();
}

void TTrayIcon::PopUp(POINT at) {
  if (!PopupMenu) return;
  // The menu's commands go to the main form; the foreground switch lets the menu close when
  // the user clicks elsewhere.
  HWND owner = Application.MainForm ? Application.MainForm->Handle() : window_->Handle();
  SetForegroundWindow(window_->Handle());
  TrackPopupMenu(PopupMenu, TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
  window_->Post(WM_NULL);
}

LRESULT TTrayIcon::TrayMessage(UINT message, WPARAM w, LPARAM l) {
  switch (static_cast<UINT>(l)) {
    case WM_LBUTTONUP:
      if (OnClick) OnClick(this);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (OnDblClick) OnDblClick(this);
      return 0;
    case WM_RBUTTONUP: {
      POINT at;
      GetCursorPos(&at);
      TForm* main = Application.MainForm;
      if (!main || !main->Visible() || separate_) PopUp(at);
      if (OnRightClick) OnRightClick(this, mbRight, KeyboardShiftState(), at.x, at.y);
      return 0;
    }
  }
  return DefWindowProcW(window_->Handle(), message, w, l);
}

void TTrayIcon::ApplicationMinimized() {
  if (active_) {
    if (Application.MainForm) ShowWindow(Application.MainForm->Handle(), SW_HIDE);
    if (removed_) AddIcon();
  }
  minimized_ = true;
  if (OnMinimize) OnMinimize(this);
}

void TTrayIcon::ApplicationRestored() {
  if (active_) {
    if (Application.MainForm) ShowWindow(Application.MainForm->Handle(), SW_SHOW);
    if (!separate_) RemoveIcon();
  }
  minimized_ = false;
  if (OnRestore) OnRestore(this);
}
