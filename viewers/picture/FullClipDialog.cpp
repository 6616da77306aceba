#include "viewers/picture/FullClipDialog.h"

#include <memory>

#include "framework/Application.h"
#include "framework/Canvas.h"
#include "viewers/picture/uDetailsText.h"

TFullClipDlg::TFullClipDlg(TComponent* owner) : TForm(owner, bsDialog) {
  HelpContext = 10;
  Position = poScreenCenter;
  SetClientSize(356, 200);
  FullBevel = new TPanel(this, this, 8, 8, 164, 124);
  PartBevel = new TPanel(this, this, 184, 8, 164, 124);
  PaintFull = new TPaintBox(this, FullBevel, 2, 2, 160, 120);
  PaintPart = new TPaintBox(this, PartBevel, 2, 2, 160, 120);
  FullBtn = new TSpeedButton(this, this, "&Full Image", 8, 138, 164, 24, 1, false);
  PartBtn = new TSpeedButton(this, this, "&Clipped", 184, 138, 164, 24, 1, false);
  OKBtn = new TButton(this, this, "OK", 8, 170, 80, 24);
  CancelBtn = new TButton(this, this, "Cancel", 96, 170, 80, 24);
  HelpBtn = new TButton(this, this, "&Help", 184, 170, 80, 24);
  OKBtn->ModalResult = mrOk;
  OKBtn->SetDefault(true);
  CancelBtn->ModalResult = mrCancel;
  CancelBtn->SetCancel(true);
  FullBtn->SetDown(true);
  HelpBtn->OnClick = [this](TComponent*) {
    if (Application.OnHelp) Application.OnHelp(HelpContext);
  };
  PaintFull->OnPaint = [this](TComponent*, TCanvas& canvas) {
    if (bitmap_) Preview(canvas, RECT{0, 0, bitmap_->Width(), bitmap_->Height()});
  };
  PaintPart->OnPaint = [this](TComponent*, TCanvas& canvas) {
    if (bitmap_) Preview(canvas, RECT{clip_.Left, clip_.Top, clip_.Right, clip_.Bottom});
  };
  // A click on a preview presses its button.
  PaintFull->OnMouseDown = [this](TComponent*, TMouseButton, TShiftState, int, int) {
    FullBtn->SetDown(true);
  };
  PaintPart->OnMouseDown = [this](TComponent*, TMouseButton, TShiftState, int, int) {
    PartBtn->SetDown(true);
  };
  FinishCreate();
}

void TFullClipDlg::SetPicture(TBitmap* bitmap, const TRect& clip) {
  bitmap_ = bitmap;
  clip_ = clip;
  NormalizeRect(clip_);
  PaintFull->Invalidate();
  PaintPart->Invalidate();
}

void TFullClipDlg::Preview(TCanvas& canvas, const RECT& source) {
  const RECT box = PaintFull->ClientRect();
  canvas.Brush.SetColor(clBtnFace);
  canvas.FillRect(box);
  const int w = source.right - source.left, h = source.bottom - source.top;
  if (w <= 0 || h <= 0 || bitmap_->Empty()) return;
  TRect fit{};
  FitCenterRect(box.right, box.bottom, w, h, fit);
  HDC dc = canvas.Handle();
  HPALETTE palette = bitmap_->Palette();
  HPALETTE old = palette ? SelectPalette(dc, palette, FALSE) : nullptr;
  if (palette) RealizePalette(dc);
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, fit.Left, fit.Top, fit.Right - fit.Left + 1, fit.Bottom - fit.Top + 1,
             bitmap_->Canvas().Handle(), source.left, source.top, w, h, SRCCOPY);
  if (old) SelectPalette(dc, old, TRUE);
}

int ChooseFullOrClip(TComponent* owner, TBitmap& bitmap, const TRect& clip,
                     const std::string& caption) {
  if (ClipTooSmall(clip)) return 1;
  std::unique_ptr<TFullClipDlg> dialog(new TFullClipDlg(owner));
  dialog->SetCaption(caption);
  dialog->SetPicture(&bitmap, clip);
  if (dialog->ShowModal() != mrOk) return 0;
  return dialog->FullBtn->Down() ? 1 : 2;
}
