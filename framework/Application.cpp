#include "framework/Application.h"

TApplication Application;

int TApplication::Run() {
  MSG msg;
  while (!Terminated) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      if (got == 0) exitCode_ = static_cast<int>(msg.wParam);
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  Terminated = true;
  return exitCode_;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      Terminated = true;
      exitCode_ = static_cast<int>(msg.wParam);
      PostQuitMessage(exitCode_);
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void TApplication::Terminate(int exitCode) {
  exitCode_ = exitCode;
  PostQuitMessage(exitCode);
}
