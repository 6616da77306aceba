#include "foundation/cSlider.h"

#include "framework/Bitmap.h"
#include "framework/Canvas.h"

TSlider::TSlider(TComponent* owner, TWindow* parent, int x, int y, int width, int height)
    : TPaintedWindow(owner) {
  Font() = parent->Font();
  Create("", WS_CHILD | WS_VISIBLE, x, y, width, height, parent->Handle());
}

void TSlider::SetBevel(TBevelCut bevel) {
  if (bevel == bevel_) return;
  bevel_ = bevel;
  Repaint();
}

int TSlider::Position() const { return LogScale ? LogPosition(stored_) : stored_; }

void TSlider::SetPosition(int value) {
  if (value > 100 || value < 0) return;
  stored_ = LogScale ? SliderStoredForLog(value) : value;
  Change();
  Repaint();
}

void TSlider::Change() {
  if (OnChange) OnChange(this);
}

bool TSlider::IsHorizontal() const { return Width() > Height(); }

int TSlider::ThumbOffset() const { return SliderThumbOffset(Width(), Height(), stored_); }

int TSlider::PositionFromPoint(int x, int y) const {
  return SliderPositionFromPoint(Width(), Height(), x, y);
}

RECT TSlider::ThumbRect() const {
  TRect r = SliderThumbRect(Width(), Height(), stored_);
  return {r.Left, r.Top, r.Right, r.Bottom};
}

int TSlider::LogPosition(int x) const { return SliderLogPosition(x); }

void TSlider::MoveTo(int stored) {
  if (stored == stored_) return;
  stored_ = stored;
  Change();
  Repaint();
}

void TSlider::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TWindow::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  RECT thumb = ThumbRect();
  if (PtInRect(&thumb, POINT{x, y})) {
    dragging_ = true;
    savedShowHint_ = ShowHint;
    ShowHint = false;
    SetMouseCapture(true);
  } else {
    MoveTo(PositionFromPoint(x, y));
  }
}

void TSlider::MouseMove(TShiftState shift, int x, int y) {
  TWindow::MouseMove(shift, x, y);
  if (dragging_) MoveTo(PositionFromPoint(x, y));
}

void TSlider::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TWindow::MouseUp(button, shift, x, y);
  if (!dragging_) return;
  dragging_ = false;
  ShowHint = savedShowHint_;
  SetMouseCapture(false);
}

void TSlider::Paint(TCanvas& canvas) {
  // Drawn off the screen first, so the thumb does not flicker while it is dragged.
  RECT r = ClientRect();
  TBitmap picture;
  if (!picture.SetSize(r.right, r.bottom)) return;
  TCanvas& c = picture.Canvas();
  c.Brush.SetColor(clBtnFace);
  c.FillRect(r);
  if (bevel_ != bvNone) {
    RECT frame = r;
    bool raised = bevel_ == bvRaised;
    c.Frame3D(frame, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight,
              1);
  }
  RECT groove = IsHorizontal() ? RECT{4, r.bottom / 2 - 2, r.right - 4, r.bottom / 2 + 2}
                               : RECT{r.right / 2 - 2, 4, r.right / 2 + 2, r.bottom - 4};
  c.Brush.SetColor(Enabled() ? clBlack : clGray);
  c.FillRect(groove);
  RECT thumb = ThumbRect();
  c.Brush.SetColor(clBtnFace);
  c.FillRect(thumb);
  c.Frame3D(thumb, clBtnHighlight, clBtnShadow, 1);
  canvas.CopyRect(r, c, r);
}

LRESULT TSlider::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (message == WM_ENABLE) Invalidate();
  return TPaintedWindow::WndProc(message, w, l);
}
