#include "foundation/cFileCtlPathLabel.h"

#include "foundation/cFileCtlPaths.h"
#include "framework/Canvas.h"

TPathLabel::TPathLabel(TComponent* owner, TWindow* parent, int x, int y, int width, int height)
    : TLabel(owner, parent, x, y, width, height) {}

void TPathLabel::Paint(TCanvas& canvas) {
  RECT r = ClientRect();
  if (!Transparent) {
    canvas.Brush.SetColor(Color);
    canvas.FillRect(r);
  }
  canvas.Brush.SetStyle(bsClear);
  std::string text = MinimizePath(
      Caption(), [&canvas](const std::string& s) { return canvas.TextWidth(s); }, r.right);
  UINT align = Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
  canvas.DrawText(text, r, align | DT_NOPREFIX);
}
