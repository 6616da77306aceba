#include "framework/RadioButton.h"

#include "framework/Canvas.h"

TRadioButton::TRadioButton(TComponent* owner, TWindow* parent, const std::string& caption, int x,
                           int y, int width, int height, bool firstOfGroup)
    : TWindow(owner) {
  CreateControl(parent, L"BUTTON",
                WS_VISIBLE | BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP | WS_TABSTOP : 0), 0, x,
                y, width, height, caption);
}

bool TRadioButton::Checked() const {
  return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TRadioButton::SetChecked(bool checked) {
  ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

LRESULT TRadioButton::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (message == CN_COMMAND && HIWORD(w) == BN_CLICKED) {
    Click();
    return 0;
  }
  return TWindow::WndProc(message, w, l);
}

TFrameBox::TFrameBox(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y,
                     int width, int height)
    : TPaintedWindow(owner) {
  Font() = parent->Font();
  Create(caption, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height, parent->Handle(),
         WS_EX_CONTROLPARENT);
}

void TFrameBox::Paint(TCanvas& canvas) {
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
