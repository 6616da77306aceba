#include "framework/Panel.h"

#include "framework/Canvas.h"

TPanel::TPanel(TComponent* owner, TWindow* parent, int x, int y, int width, int height)
    : TPaintedWindow(owner) {
  Font() = parent->Font();
  Create("", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height, parent->Handle(),
         WS_EX_CONTROLPARENT);
}

void TPanel::Paint(TCanvas& canvas) {
  canvas.Font = Font();
  RECT r = ClientRect();
  if (BevelOuter != bvNone) {
    TColor top = BevelOuter == bvRaised ? clBtnHighlight : clBtnShadow;
    TColor bottom = BevelOuter == bvRaised ? clBtnShadow : clBtnHighlight;
    canvas.Frame3D(r, top, bottom, 1);
  }
  canvas.Brush.SetColor(Color);
  canvas.FillRect(r);
  std::string caption = Caption();
  if (!caption.empty()) {
    canvas.Brush.SetStyle(bsClear);
    canvas.DrawText(caption, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}
