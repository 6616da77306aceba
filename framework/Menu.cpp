#include "framework/Menu.h"

#include "framework/Text.h"

namespace {
// Menu commands share the range above the controls' identifiers.
UINT nextCommand = 0xA000;
}  // namespace

TMenuItem::TMenuItem(TComponent* owner, const std::string& caption, int tag)
    : TComponent(owner), Caption(caption), command_(nextCommand++) {
  Tag = tag;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

TPopupMenu::~TPopupMenu() {
  if (handle_) DestroyMenu(handle_);
}

TMenuItem* TPopupMenu::Add(const std::string& caption, int tag) {
  auto* item = new TMenuItem(this, caption, tag);
  items_.push_back(item);
  return item;
}

TMenuItem* TPopupMenu::FindItemByTag(int tag) const {
  for (TMenuItem* item : items_)
    if (item->Tag == tag) return item;
  return nullptr;
}

HMENU TPopupMenu::Build() {
  HMENU menu = CreatePopupMenu();
  for (TMenuItem* item : items_) {
    if (!item->Visible) continue;
    if (item->Caption == "-") {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING | (item->Enabled ? MF_ENABLED : MF_GRAYED) |
                 (item->Checked ? MF_CHECKED : MF_UNCHECKED);
    AppendMenuW(menu, flags, item->command_, Utf8ToWide(item->Caption).c_str());
    if (item->Default) SetMenuDefaultItem(menu, item->command_, FALSE);
  }
  return menu;
}

HMENU TPopupMenu::Handle() {
  if (OnPopup) OnPopup(this);
  if (handle_) DestroyMenu(handle_);
  handle_ = Build();
  return handle_;
}

bool TPopupMenu::DispatchCommand(UINT command) {
  for (TMenuItem* item : items_) {
    if (item->command_ != command) continue;
    if (item->Enabled && item->OnClick) item->OnClick(item);
    return true;
  }
  return false;
}

TMenuItem* TPopupMenu::Popup(HWND owner, int x, int y) {
  if (OnPopup) OnPopup(this);
  HMENU menu = Build();
  // The owner must be in front, or the menu does not go away when the user clicks elsewhere.
  SetForegroundWindow(owner);
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
  DestroyMenu(menu);
  PostMessageW(owner, WM_NULL, 0, 0);
  for (TMenuItem* item : items_) {
    if (item->command_ == chosen && chosen != 0) {
      if (item->OnClick) item->OnClick(item);
      return item;
    }
  }
  return nullptr;
}
