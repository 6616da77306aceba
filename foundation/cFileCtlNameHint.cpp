#include "foundation/cFileCtlNameHint.h"

#include <algorithm>

#include "framework/Application.h"

TOrvex_NameHint::TOrvex_NameHint(TWindow& list) : list_(list), timer_(new TTimer(&list)) {
  timer_->SetEnabled(false);
  // Time up: the tip goes, and its row stays, so it does not come back while the mouse rests.
  timer_->OnTimer = [this](TComponent*) { Hide(); };
}

bool TOrvex_NameHint::MovedTo(int row) {
  if (row == row_) return false;
  row_ = row;
  Hide();
  return true;
}

void TOrvex_NameHint::Show(POINT textTopLeft, SIZE size, const std::string& name) {
  POINT p = list_.ClientToScreen({textTopLeft.x - 2, textTopLeft.y - 2});
  if (!hint_) hint_ = std::make_unique<THintWindow>(nullptr);
  hint_->Font() = list_.Font();
  hint_->ActivateHint({p.x, p.y, p.x + size.cx + 10, p.y + size.cy + 2}, name);
  timer_->SetInterval(
      static_cast<UINT>(std::max(1, Application.HintHidePause - Application.HintPause)));
  timer_->SetEnabled(true);
}

void TOrvex_NameHint::Hide() {
  if (hint_) hint_->ReleaseHint();
  timer_->SetEnabled(false);
}

void TOrvex_NameHint::Reset() {
  Hide();
  row_ = -1;
}
