#include "framework/Application.h"

#include "framework/Form.h"

// The screen first: it is destroyed after the application, whose forms still use it.
TScreen Screen;
TApplication Application;

TApplication::TApplication() = default;

TApplication::~TApplication() {
  Terminated = true;
  DestroyComponents();
}

void TApplication::FormCreated(TForm* form) {
  if (!MainForm) MainForm = form;
  form->FinishCreate();
}

int TApplication::Run() {
  while (!Terminated) HandleMessage();
  DestroyComponents();
  MainForm = nullptr;
  return exitCode_;
}

void TApplication::HandleMessage() {
  MSG msg;
  BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    Terminated = true;
    if (got == 0) exitCode_ = static_cast<int>(msg.wParam);
    return;
  }
  Dispatch(msg);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (!Terminated && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      Terminated = true;
      exitCode_ = static_cast<int>(msg.wParam);
      PostQuitMessage(exitCode_);
      return;
    }
    Dispatch(msg);
  }
}

void TApplication::Dispatch(MSG& msg) {
  if (PreTranslate(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void TApplication::Terminate(int exitCode) {
  exitCode_ = exitCode;
  PostQuitMessage(exitCode);
}

bool TApplication::PreTranslate(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd) return false;
  TForm* form = dynamic_cast<TForm*>(TWindow::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)));
  if (!form) return false;
  if (form->PreviewKey(msg)) return true;
  if (form->DialogChar(msg)) return true;
  if (msg.message != WM_KEYDOWN) return false;
  WORD key = static_cast<WORD>(msg.wParam);
  if (key == VK_F1 && OnHelp) {
    for (HWND h = msg.hwnd; h; h = GetParent(h)) {
      TWindow* w = TWindow::FromHandle(h);
      if (w && w->HelpContext) {
        OnHelp(w->HelpContext);
        return true;
      }
    }
    return false;
  }
  if (key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB) {
    LRESULT code = SendMessageW(msg.hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg));
    if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
    if (key == VK_TAB && (code & DLGC_WANTTAB)) return false;
    return form->DialogKey(key);
  }
  return false;
}

void TScreen::SetCursor(TCursor cursor) {
  Cursor = cursor;
  ::SetCursor(CursorHandle());
}

HCURSOR TScreen::CursorHandle() const {
  LPCWSTR id = Cursor == crHourGlass ? reinterpret_cast<LPCWSTR>(IDC_WAIT)
                                     : reinterpret_cast<LPCWSTR>(IDC_ARROW);
  return LoadCursorW(nullptr, id);
}
