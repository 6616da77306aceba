#include "framework/Application.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/Window.h"

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

TEST(Application, ProcessMessagesIsReentrant) {
  Application.Terminated = false;
  TWindow w;
  ASSERT_TRUE(w.Create("pump", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100));
  std::string order;
  // A handler that pumps (as long work does) while more messages arrive, two levels deep.
  w.OnMessage(WM_USER + 1, [&](WPARAM, LPARAM) {
    order += "a(";
    w.Post(WM_USER + 2);
    Application.ProcessMessages();
    order += ")";
    return LRESULT(0);
  });
  w.OnMessage(WM_USER + 2, [&](WPARAM, LPARAM) {
    order += "b(";
    w.Post(WM_USER + 3);
    Application.ProcessMessages();
    order += ")";
    return LRESULT(0);
  });
  w.OnMessage(WM_USER + 3, [&](WPARAM, LPARAM) {
    order += "c";
    return LRESULT(0);
  });
  w.Post(WM_USER + 1);
  w.Post(WM_USER + 3);
  Application.ProcessMessages();
  EXPECT_EQ(order, "a(cb(c))");
}

TEST(Application, QuitSeenDeepInsideStopsEveryLevel) {
  Application.Terminated = false;
  TWindow w;
  ASSERT_TRUE(w.Create("pump", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100));
  int after = 0;
  w.OnMessage(WM_USER + 1, [&](WPARAM, LPARAM) {
    PostQuitMessage(3);
    Application.ProcessMessages();  // meets WM_QUIT
    w.Post(WM_USER + 2);
    Application.ProcessMessages();  // terminated: pumps nothing
    return LRESULT(0);
  });
  w.OnMessage(WM_USER + 2, [&](WPARAM, LPARAM) {
    ++after;
    return LRESULT(0);
  });
  w.Post(WM_USER + 1);
  Application.ProcessMessages();
  EXPECT_TRUE(Application.Terminated);
  EXPECT_EQ(after, 0);  // once terminated, nothing more is pumped
  EXPECT_EQ(Application.ExitCode(), 3);
  // Leave a clean queue for the next tests.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  Application.Terminated = false;
}

TEST(Application, HourGlassIsShownAndPutBack) {
  EXPECT_EQ(Screen.Cursor, crDefault);
  {
    THourGlass wait;
    EXPECT_EQ(Screen.Cursor, crHourGlass);
    EXPECT_EQ(Screen.CursorHandle(), LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
  }
  EXPECT_EQ(Screen.Cursor, crDefault);
}
