#include "framework/Window.h"

#include <gtest/gtest.h>

#include "framework/Application.h"

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
  w.Destroy();
  EXPECT_EQ(w.Handle(), nullptr);
}

TEST(Application, ProcessMessagesHonoursQuit) {
  Application.Terminated = false;
  PostQuitMessage(7);
  Application.ProcessMessages();
  EXPECT_TRUE(Application.Terminated);
  // The quit message was handed on for the outer loop; take it so later tests run clean.
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
  Application.Terminated = false;
}
