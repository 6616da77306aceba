#include "framework/Window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/ListBox.h"

TEST(Window, PrivateMessageReachesItsHandler) {
  TWindow w;
  ASSERT_TRUE(w.Create("probe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100));
  int got = 0;
  LPARAM seen = 0;
  w.OnMessage(WM_USER + 90, [&](WPARAM, LPARAM l) {
    ++got;
    seen = l;
    return LRESULT(0);
  });
  ASSERT_TRUE(w.Post(WM_USER + 90, 0, 1234));
  EXPECT_EQ(got, 0);  // posted, not sent: nothing runs until messages are pumped
  Application.ProcessMessages();
  EXPECT_EQ(got, 1);
  EXPECT_EQ(seen, 1234);
  w.SetCaption("caption \xC3\xA9");
  EXPECT_EQ(w.Caption(), "caption \xC3\xA9");
  EXPECT_EQ(TWindow::FromHandle(w.Handle()), &w);
  w.Destroy();
  EXPECT_EQ(w.Handle(), nullptr);
}

TEST(Window, ChildNotificationsReachTheControlThatSentThem) {
  TForm form(nullptr);
  auto* button = new TButton(&form, &form, "&Go", 10, 10, 80, 24);
  auto* list = new TListBox(&form, &form, 10, 40, 120, 100, lbOwnerDrawFixed);
  int clicks = 0;
  std::vector<int> drawn;
  button->OnClick = [&](TComponent* sender) {
    EXPECT_EQ(sender, button);
    ++clicks;
  };
  list->OnDrawItem = [&](TComponent*, int index, const RECT& r, UINT) {
    drawn.push_back(index);
    list->Canvas().FillRect(r);
  };
  list->Add("a");
  list->Add("b");
  // A real click: the button tells its parent form (WM_COMMAND), which hands it back.
  button->Send(BM_CLICK);
  EXPECT_EQ(clicks, 1);
  // Painting the list makes the system send WM_DRAWITEM to the form for each row.
  form.Show();
  list->Repaint();
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), 1), drawn.end());
  EXPECT_EQ(TWindow::FromHandle(list->Handle()), list);
  EXPECT_EQ(list->Parent(), &form);
}

TEST(Window, ControlSubclassedAgainByTheSystemStillHearsItsNotifications) {
  TForm form(nullptr);
  auto* edit = new TEdit(&form, &form, 10, 10, 60, 22);
  int changes = 0;
  edit->OnChange = [&](TComponent*) { ++changes; };
  // An up-down control puts its own procedure in front of its buddy's.
  HWND upDown = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT, 0, 0,
                                0, 0, form.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  ::SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit->Handle()), 0);
  SendMessageW(edit->Handle(), WM_CHAR, L'7', 0);
  EXPECT_EQ(edit->Text(), "7");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(TWindow::FromHandle(edit->Handle()), edit);
  DestroyWindow(upDown);
}

TEST(Window, ChildGoesWithItsOwnerAndForgetsItsParent) {
  auto* form = new TForm(nullptr);
  auto* list = new TListBox(form, form, 0, 0, 50, 50);
  HWND h = list->Handle();
  ASSERT_TRUE(IsWindow(h));
  delete form;
  EXPECT_FALSE(IsWindow(h));
}

TEST(Window, ReleaseWaitsForTheRunningHandler) {
  auto* form = new TForm(nullptr);
  bool freed = false;
  form->OnDestroy = [&](TComponent*) { freed = true; };
  bool aliveAfterRelease = false;
  form->OnMessage(WM_USER + 1, [&](WPARAM, LPARAM) {
    form->Release();
    aliveAfterRelease = !freed;
    form->Tag = 7;  // still safe to touch
    return LRESULT(0);
  });
  form->Send(WM_USER + 1);
  EXPECT_TRUE(aliveAfterRelease);
  EXPECT_TRUE(freed);
}
