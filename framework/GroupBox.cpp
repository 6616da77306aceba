#include "framework/GroupBox.h"

#include "framework/Canvas.h"

TGroupBox::TGroupBox(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y,
                     int width, int height)
    : TPaintedWindow(owner) {
  Font() = parent->Font();
  Create(caption, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height, parent->Handle(),
         WS_EX_CONTROLPARENT);
}

void TGroupBox::Paint(TCanvas& canvas) {
  canvas.Font = Font();
  RECT r = ClientRect();
  canvas.Brush.SetColor(clBtnFace);
  canvas.FillRect(r);
  const std::string caption = Caption();
  const int textHeight = canvas.TextHeight(caption.empty() ? "X" : caption);
  RECT frame{r.left, r.top + textHeight / 2, r.right, r.bottom};
  DrawEdge(canvas.Handle(), &frame, EDGE_ETCHED, BF_RECT);
  if (!caption.empty()) {
    RECT text{8, 0, r.right - 8, textHeight};
    canvas.DrawText(" " + caption + " ", text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  }
}
