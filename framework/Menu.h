// Menus built from items in code: popup menus (items may hold a submenu) whose items carry tags (a dispatcher finds an
// item by its tag), with captions, check marks, enabling and visibility read when the menu pops
// up. A popup's handle can also be lent to another window (the tray icon), whose WM_COMMAND the
// owner passes back through DispatchCommand.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Window.h"

class TMenuItem : public TComponent {
 public:
  TMenuItem(TComponent* owner, const std::string& caption, int tag = 0);
  std::string Caption;  // "-" makes a separator
  bool Enabled = true;
  bool Checked = false;
  bool Visible = true;
  bool Default = false;
  TNotifyEvent OnClick;
  // The command number the item appears under while its menu is built.
  UINT Command() const { return command_; }
  // A submenu's item; an item with items opens them instead of being chosen.
  TMenuItem* Add(const std::string& caption, int tag = 0);
  const std::vector<TMenuItem*>& Items() const { return items_; }

 private:
  friend class TPopupMenu;
  std::vector<TMenuItem*> items_;
  UINT command_;
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;
  TMenuItem* Add(const std::string& caption, int tag = 0);
  const std::vector<TMenuItem*>& Items() const { return items_; }
  TMenuItem* FindItemByTag(int tag) const;
  int HelpContext = 0;
  // Called before the menu shows (to set enabling and checks).
  TNotifyEvent OnPopup;
  // Shows the menu at a screen point for the window; the chosen item's OnClick runs. Returns
  // the chosen item (null when none was).
  TMenuItem* Popup(HWND owner, int x, int y);
  // The menu as it stands now, kept until the next call (for the tray icon).
  HMENU Handle();
  // A WM_COMMAND of a lent handle; true when it named one of the items.
  bool DispatchCommand(UINT command);

 private:
  HMENU Build();
  std::vector<TMenuItem*> items_;
  HMENU handle_ = nullptr;
};
