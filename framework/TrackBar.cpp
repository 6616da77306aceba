#include "framework/TrackBar.h"

#include <windows.h>

#include <commctrl.h>

TTrackBar::TTrackBar(TComponent* owner, TWindow* parent, int x, int y, int width, int height)
    : TWindow(owner) {
  CreateControl(parent, TRACKBAR_CLASSW, WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS, 0,
                x, y, width, height);
  SetRange(0, 10);
}

int TTrackBar::Min() const {
  return static_cast<int>(::SendMessageW(Handle(), TBM_GETRANGEMIN, 0, 0));
}

int TTrackBar::Max() const {
  return static_cast<int>(::SendMessageW(Handle(), TBM_GETRANGEMAX, 0, 0));
}

void TTrackBar::SetRange(int min, int max) {
  Send(TBM_SETRANGEMIN, FALSE, min);
  Send(TBM_SETRANGEMAX, TRUE, max);
}

int TTrackBar::Position() const {
  return static_cast<int>(::SendMessageW(Handle(), TBM_GETPOS, 0, 0));
}

void TTrackBar::SetPosition(int position) { Send(TBM_SETPOS, TRUE, position); }

void TTrackBar::SetFrequency(int frequency) { Send(TBM_SETTICFREQ, frequency, 0); }

LRESULT TTrackBar::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (message == CN_HSCROLL || message == CN_VSCROLL) {
    // One change per move: the end-of-scroll note repeats the last one.
    if (LOWORD(w) != TB_ENDTRACK && OnChange) OnChange(this);
    return 0;
  }
  return TWindow::WndProc(message, w, l);
}
