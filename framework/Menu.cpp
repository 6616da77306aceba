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

TMenuItem* TMenuItem::Add(const std::string& caption, int tag) {
  auto* item = new TMenuItem(this, caption, tag);
  items_.push_back(item);
  return item;
}

namespace {
TMenuItem* FindIn(const std::vector<TMenuItem*>& items, bool (*match)(TMenuItem*, UINT), UINT key) {
  for (TMenuItem* item : items) {
    if (match(item, key)) return item;
    if (TMenuItem* inner = FindIn(item->Items(), match, key)) return inner;
  }
  return nullptr;
}

bool TagIs(TMenuItem* item, UINT tag) { return item->Tag == static_cast<int>(tag); }
bool CommandIs(TMenuItem* item, UINT command) { return item->Command() == command; }

HMENU BuildItems(const std::vector<TMenuItem*>& items) {
  HMENU menu = CreatePopupMenu();
  for (TMenuItem* item : items) {
    if (!item->Visible) continue;
    if (item->Caption == "-") {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING | (item->Enabled ? MF_ENABLED : MF_GRAYED) |
                 (item->Checked ? MF_CHECKED : MF_UNCHECKED);
    UINT_PTR id = item->Command();
    if (!item->Items().empty()) {
      // The submenu is destroyed with its parent.
      flags |= MF_POPUP;
      id = reinterpret_cast<UINT_PTR>(BuildItems(item->Items()));
    }
    AppendMenuW(menu, flags, id, Utf8ToWide(item->Caption).c_str());
    if (item->Default) SetMenuDefaultItem(menu, item->Command(), FALSE);
  }
  return menu;
}
}  // namespace

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
  return FindIn(items_, &TagIs, static_cast<UINT>(tag));
}

HMENU TPopupMenu::Build() { return BuildItems(items_); }

HMENU TPopupMenu::Handle() {
  if (OnPopup) OnPopup(this);
  if (handle_) DestroyMenu(handle_);
  handle_ = Build();
  return handle_;
}

bool TPopupMenu::DispatchCommand(UINT command) {
  TMenuItem* item = FindIn(items_, &CommandIs, command);
  if (!item) return false;
  if (item->Enabled && item->OnClick) item->OnClick(item);
  return true;
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
  TMenuItem* item = chosen ? FindIn(items_, &CommandIs, chosen) : nullptr;
  if (item && item->OnClick) item->OnClick(item);
  return item;
}
