#include "framework/Label.h"

#include "framework/Canvas.h"

TLabel::TLabel(TComponent* owner, TWindow* parent, int x, int y, int width, int height)
    : TWindow(owner) {
  CreateControl(parent, L"STATIC", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, x, y, width, height);
}

void TLabel::SetCaption(const std::string& caption) {
  TWindow::SetCaption(caption);
  if (AutoSize) {
    TControlCanvas canvas(Handle());
    canvas.Font = Font();
    RECT b = BoundsRect();
    if (WordWrap) {
      RECT r{0, 0, b.right - b.left, 0};
      const int height = canvas.DrawText(caption, r, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS | DT_CALCRECT);
      SetBounds(b.left, b.top, b.right - b.left, height);
    } else {
      SIZE s = canvas.TextExtent(caption);
      SetBounds(b.left, b.top, s.cx, b.bottom - b.top);
    }
  }
  Invalidate();
}

void TLabel::Paint(TCanvas& canvas) {
  RECT r = ClientRect();
  if (!Transparent) {
    canvas.Brush.SetColor(Color);
    canvas.FillRect(r);
  }
  canvas.Brush.SetStyle(bsClear);
  UINT align = Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
  const UINT prefix = FocusControl ? 0 : DT_NOPREFIX;
  canvas.DrawText(Caption(), r,
                  align | prefix | (WordWrap ? DT_WORDBREAK | DT_EXPANDTABS : DT_SINGLELINE));
}

LRESULT TLabel::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (message == WM_PAINT) {
    TPaintCanvas canvas(Handle());
    canvas.Font = Font();
    Paint(canvas);
    return 0;
  }
  return TWindow::WndProc(message, w, l);
}
