// The notification-area icon of the main window: an icon with a tip that reports clicks through
// its own message window, pops up a menu on a right click while the main window is hidden, and
// (while active) takes the main window to the tray when the program is minimized.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "framework/Window.h"

// The system refused the icon.
class EOutOfResources : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The message the icon's clicks arrive as (WM_USER + 123).
constexpr UINT WM_TRAYICON = WM_USER + 123;

class TTrayIcon : public TComponent {
 public:
  explicit TTrayIcon(TComponent* owner);
  ~TTrayIcon() override;

  bool Active() const { return active_; }
  void SetActive(bool active);
  // The icon stays in the tray also while the main window shows.
  bool SeparateIcon() const { return separate_; }
  void SetSeparateIcon(bool separate);
  const std::string& Hint() const { return hint_; }
  // At most 63 characters reach the tip.
  void SetHint(const std::string& hint);
  HICON Icon() const { return icon_; }
  // A copy of the icon is kept (and freed with the component).
  void SetIcon(HICON icon);
  // A menu of the caller's (not owned): its commands go to the main form as WM_COMMAND.
  HMENU PopupMenu = nullptr;

  // The message window, and what the icon is now.
  HWND WindowHandle() const;
  bool IconShown() const { return !removed_; }
  const NOTIFYICONDATAW& Data() const { return data_; }

  TNotifyEvent OnClick, OnDblClick, OnMinimize, OnRestore;
  TMouseEvent OnRightClick;

 protected:
  // The system call; the tests put a recorder in its place.
  virtual bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data);
  virtual void PopUp(POINT at);
  LRESULT TrayMessage(UINT message, WPARAM w, LPARAM l);

 private:
  class TTrayWindow;
  void AddIcon();
  void RemoveIcon();
  void ModifyIcon();
  void ApplicationMinimized();
  void ApplicationRestored();

  std::unique_ptr<TWindow> window_;
  NOTIFYICONDATAW data_{};
  HICON icon_ = nullptr;
  std::string hint_;
  bool active_ = false;
  bool separate_ = false;
  bool ready_ = false;
  bool minimized_ = false;
  bool removed_ = true;
  TNotifyEvent savedMinimize_, savedRestore_;
};
