#include "foundation/cProgress.h"

#include <algorithm>

#include "framework/Canvas.h"

TProgress::TProgress(TComponent* owner, TWindow* parent, int x, int y, int width, int height)
    : TPaintedWindow(owner) {
  Font() = parent->Font();
  Create("", WS_CHILD | WS_VISIBLE, x, y, width, height, parent->Handle());
}

tProgressGeometry TProgress::Geometry() const {
  tProgressGeometry g;
  g.Width = Width();
  g.Height = Height();
  g.Margin = margin_;
  g.SegmentWidth = segmentWidth_;
  g.SegmentGap = gap_;
  return g;
}

void TProgress::SetPercent(int percent) {
  percent_ = std::clamp(percent, 0, 100);
  int n = ProgressSegments(Geometry(), percent_);
  if (n == painted_) return;
  if (n > painted_ && HandleAllocated()) {
    TControlCanvas canvas(Handle());
    DrawSegments(canvas, painted_, n);
  } else {
    painted_ = n;
    Repaint();
  }
  painted_ = n;
  if (OnChange) OnChange(this);
}

void TProgress::SetEdgeStyle(tProgressStyle style) {
  if (style == edgeStyle_) return;
  edgeStyle_ = style;
  Repaint();
}

void TProgress::SetSegmentGap(int gap) {
  if (gap < 1 || gap == gap_) return;
  gap_ = gap;
  Repaint();
}

void TProgress::SetSegmentWidth(int width) {
  if (width < 1 || width == segmentWidth_) return;
  segmentWidth_ = width;
  Repaint();
}

void TProgress::SetMargin(int margin) {
  if (margin <= 0 || margin >= Height() / 2 || margin >= Width() / 2 || margin == margin_) return;
  margin_ = margin;
  Repaint();
}

void TProgress::SetSegmentColor(TColor color) {
  if (color == segmentColor_) return;
  segmentColor_ = color;
  Repaint();
}

void TProgress::SetBackGroundColor(TColor color) {
  if (color == backColor_) return;
  backColor_ = color;
  Repaint();
}

void TProgress::FitToWidth(bool centre) {
  tProgressFit fit;
  if (!ProgressFitToWidth(Geometry(), fit)) return;
  segmentWidth_ = fit.SegmentWidth;
  RECT b = BoundsRect();
  int w = b.right - b.left, h = b.bottom - b.top;
  if (w > h) {
    int shift = centre ? (w - fit.Length) / 2 : 0;
    SetBounds(b.left + shift, b.top, fit.Length, h);
  } else {
    int shift = centre ? (h - fit.Length) / 2 : h - fit.Length;
    SetBounds(b.left, b.top + shift, w, fit.Length);
  }
  Repaint();
}

void TProgress::DrawSegments(TCanvas& canvas, int from, int to) {
  tProgressGeometry g = Geometry();
  canvas.Brush.SetColor(segmentColor_);
  for (int i = from; i < to; ++i) {
    TRect r = ProgressSegmentRect(g, i);
    canvas.FillRect(RECT{r.Left, r.Top, r.Right, r.Bottom});
  }
}

void TProgress::Paint(TCanvas& canvas) {
  RECT r = ClientRect();
  canvas.Brush.SetColor(backColor_);
  canvas.FillRect(r);
  if (edgeStyle_ != prgNone) {
    TColor topLeft = edgeStyle_ == prgLowered ? clGray : clWhite;
    TColor bottomRight = edgeStyle_ == prgLowered ? clWhite : clGray;
    RECT frame = r;
    canvas.Frame3D(frame, topLeft, bottomRight, 2);
    canvas.Brush.SetColor(backColor_);
    canvas.FillRect(RECT{1, 1, r.right - 1, r.bottom - 1});
  }
  if (percent_ >= 1) {
    painted_ = ProgressSegments(Geometry(), percent_);
    DrawSegments(canvas, 0, painted_);
  } else {
    painted_ = 0;
  }
}
