// Test helpers that drive a main window as a user does: keys delivered as the keyboard delivers
// them (through the window's key preview), menu items chosen by their command numbers after the
// menu has been up once (which enables its items for the state), and the forms it opens found.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>

#include "foundation/DialogDriver_test.h"
#include "framework/Application.h"
#include "shell/ViewerForm.h"

namespace mainwindowtest {

inline void HoldKeys(bool shift, bool ctrl) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  SetKeyboardState(keys);
}

// A key pressed in a window, as the keyboard delivers it.
inline void Key(HWND window, WORD key, bool shift = false, bool ctrl = false) {
  HoldKeys(shift, ctrl);
  MSG msg{};
  msg.hwnd = window;
  msg.message = WM_KEYDOWN;
  msg.wParam = key;
  msg.lParam = 1;
  if (!Application.PreTranslate(msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  msg.message = WM_KEYUP;
  msg.lParam = static_cast<LPARAM>(0xC0000001);
  if (!Application.PreTranslate(msg)) DispatchMessageW(&msg);
  HoldKeys(false, false);
  dialogtest::Pump(4);
}
inline void Key(TWindow* w, WORD key, bool shift = false, bool ctrl = false) {
  Key(w->Handle(), key, shift, ctrl);
}

template <class T>
T* FindFormOf() {
  for (TForm* f : Screen.Forms)
    if (auto* t = dynamic_cast<T*>(f)) return t;
  return nullptr;
}

// A popup brought up (so its items are enabled for the state) and closed again.
inline void PopUpAndClose(const std::function<void()>& popup) {
  dialogtest::TDriver close;
  close.Then([] {
    if (!FindWindowW(L"#32768", nullptr)) return false;
    EndMenu();
    return true;
  });
  close.Start();
  popup();
  dialogtest::Pump();
}

// A main window at a folder, in front.
struct Window {
  TViewerForm* form;
  explicit Window(const std::filesystem::path& folder) {
    form = new TViewerForm(nullptr);
    form->FinishCreate();
    form->SetBounds(30, 30, 630, 475);
    form->Show();
    SetForegroundWindow(form->Handle());
    form->Orvex_DirList1->SetDirectory(folder.string());
    dialogtest::Pump();
  }
  ~Window() { delete form; }
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  TOrvex_FileList& Files() { return *form->Orvex_FileList1; }
  TOrvex_DirList& Dirs() { return *form->Orvex_DirList1; }
  void Select(const std::string& name) {
    Files().SetItemIndex(Files().IndexOfName(name));
    Files().SetFocus();
  }
  // A menu item chosen by its command number, as the menu reports it.
  void Choose(TPopupMenu* menu, int tag) {
    menu->Handle();
    ASSERT_TRUE(menu->DispatchCommand(menu->FindItemByTag(tag)->Command()));
    dialogtest::Pump();
  }
};

}  // namespace mainwindowtest
