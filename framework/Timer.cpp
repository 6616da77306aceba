#include "framework/Timer.h"

#include <map>

namespace {
// Never freed: timers may go at program exit after other statics.
std::map<UINT_PTR, TTimer*>& Timers() {
  static auto* timers = new std::map<UINT_PTR, TTimer*>;
  return *timers;
}
}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) { Update(); }

TTimer::~TTimer() {
  enabled_ = false;
  Update();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void TTimer::SetInterval(UINT milliseconds) {
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  Update();
}

void TTimer::Update() {
  if (id_) {
    KillTimer(nullptr, id_);
    Timers().erase(id_);
    id_ = 0;
  }
  if (enabled_ && interval_ > 0) {
    id_ = SetTimer(nullptr, 0, interval_, &TTimer::TimerProc);
    if (id_) Timers()[id_] = this;
  }
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = Timers().find(id);
  if (it == Timers().end()) return;
  TTimer* timer = it->second;
  if (timer->OnTimer) timer->OnTimer(timer);
}
