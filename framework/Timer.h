// Timers: OnTimer every Interval milliseconds while Enabled, from the message loop.
#pragma once
#include <windows.h>

#include "framework/Component.h"
#include "framework/Window.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner = nullptr);
  ~TTimer() override;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  UINT Interval() const { return interval_; }
  void SetInterval(UINT milliseconds);
  TNotifyEvent OnTimer;

 private:
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
  void Update();
  bool enabled_ = true;
  UINT interval_ = 1000;
  UINT_PTR id_ = 0;
};
