#include "screensaver/ScreenSaverWindow.h"

#include <algorithm>

#include "foundation/uMessages.h"
#include "framework/Application.h"
#include "screensaver/uSaverSystem.h"
#include "thumbnails/uScriptLibrary.h"

TScreenSaver::TScreenSaver(TComponent* owner, const std::string& programPath)
    : TShowForm(owner), programPath_(programPath) {
  SetCaption(Application.Title);
  OnMessage(WM_CLOSE_REQUEST, [this](WPARAM w, LPARAM) -> LRESULT {
    CloseRequest(w);
    return 0;
  });
  OnMessage(WM_DEFERRED_START, [this](WPARAM, LPARAM) -> LRESULT {
    if (!Closing) Sequence.ShowNextPicture();
    return 0;
  });
}

TScreenSaver::~TScreenSaver() {
  // Also when the window is freed without closing: the desktop must not be left thinking that
  // a screen saver runs, and the music must stop.
  ReleaseShow();
  SetRunningFlag(false);
}

void TScreenSaver::DoCreate() {
  RegisterAllFormats();
  ScreenSaverIni(true, programPath_, Settings);
  GraphicOptions = SaverGraphicOptions(programPath_, GraphicOptions);
  Layout.Init(Layout.ScreenWidth, Layout.ScreenHeight, Settings.Mode, Settings.OriginalSize,
              Settings.Position, Settings.FloatX, Settings.FloatY);
  BackColor = Settings.Color;
  Delay = Settings.Delay;
  TickInterval = static_cast<uint32_t>(std::max(10, Settings.FloatSpeed));
  if (Settings.ScriptNumber <= 0) {
    SetBounds(Layout.ScreenWidth + 10, 0, Layout.ScreenWidth, Layout.ScreenHeight);
    Post(WM_CLOSE_REQUEST, 1);
    TShowForm::DoCreate();
    return;
  }
  CoverScreen(false);
  HideCursor();
  FindResetMidi();
  std::vector<std::string> lines = ReadScriptFileLines(Settings.ScriptFileName);
  if (lines.empty()) {
    Post(WM_CLOSE_REQUEST, 1);
  } else {
    if (Settings.Wallpaper) LoadWallpaper(Settings.Paper);
    Sequence.Start(std::move(lines), Settings.Random);
    Post(WM_DEFERRED_START);
  }
  TShowForm::DoCreate();
}

void TScreenSaver::SetRunningFlag(bool running) {
  if (running == runningFlag_) return;
  BOOL old = FALSE;
  SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? 1 : 0, &old, 0);
  runningFlag_ = running;
}

void TScreenSaver::FormActivate() {
  if (Closing) return;
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetRunningFlag(true);
  SetMouseCapture(true);
}

void TScreenSaver::Input() {
  if (Closing || checkingPassword_) return;
  SetStop();
  // Nothing running would read the stop request (no picture, music only, a single picture
  // kept after a refused password): ask for the close here.
  if (Idle()) Post(WM_CLOSE_REQUEST, 0);
}

void TScreenSaver::MouseMove(TShiftState shift, int x, int y) {
  TShowForm::MouseMove(shift, x, y);
  if (mouseOrigin_.x == -86 && mouseOrigin_.y == -86) {
    mouseOrigin_ = POINT{x, y};
    return;
  }
  if (x != mouseOrigin_.x || y != mouseOrigin_.y) Input();
}

void TScreenSaver::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TShowForm::MouseDown(button, shift, x, y);
  Input();
}

void TScreenSaver::KeyDown(WORD& key, TShiftState shift) {
  TShowForm::KeyDown(key, shift);
  Input();
}

void TScreenSaver::CloseRequest(WPARAM how) {
  if (Closing || checkingPassword_) return;
  if (how > 0) {
    Close();
    return;
  }
  ShowTheCursor();
  checkingPassword_ = true;
  const bool pass = VerifySaverPassword(Handle(), SaverMode);
  checkingPassword_ = false;
  if (pass) {
    Close();
    return;
  }
  HideCursor();
  ClearStop();
  mouseOrigin_ = POINT{-86, -86};
  Sequence.ShowNextPicture();
}

void TScreenSaver::DoClose(TCloseAction& action) {
  TShowForm::DoClose(action);
  Closing = true;
  Hide();
  SendMessageW(Handle(), WM_ICONERASEBKGND, 0, 0);
  ReleaseShow();
  ShowTheCursor();
  UnregisterAllFormats();
  SetRunningFlag(false);
  SetMouseCapture(false);
  action = caFree;
}

LRESULT TScreenSaver::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(w) != WA_INACTIVE) FormActivate();
      break;
    case WM_SHOWWINDOW:
      if (w) SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      break;
    case WM_SYSKEYDOWN:
      // Alt and F10 end the show too, without the system's menu handling.
      TShowForm::WndProc(message, w, l);
      return 0;
  }
  return TShowForm::WndProc(message, w, l);
}
