#include "shell/Splash.h"

#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "framework/Canvas.h"
#include "resources/uResStrings.h"
#include "shell/uStartup.h"

TSplash* Splash = nullptr;
TOKBottomDlg* OKBottomDlg = nullptr;

TSplash::TSplash(TComponent* owner) : TForm(owner, bsNone) {
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Position = poScreenCenter;
  Font().SetName("Tahoma");
  Font().SetSize(10);
  SetClientSize(285, 266);
  lblProgramName = new TLabel(this, this, 6, 200, 268, 18);
  lblProgramName->Alignment = taCenter;
  lblProgramVersion = new TLabel(this, this, 6, 220, 268, 36);
  lblProgramVersion->Alignment = taCenter;
  lblProgramVersion->WordWrap = true;
  // FormCreate.
  SplashBitmap = std::make_unique<TBitmap>();
  BitmapName = SplashBitmapName(ScreenColorBits());
  SplashBitmap->LoadFromResourceName(BitmapName);
  lblProgramName->SetCaption(LoadResString(sProgramName));
  lblProgramVersion->SetCaption(LoadResString(sVersionText));
  EndTime = Platform().Now() + kSplashDays;
  FinishCreate();
}

TSplash::~TSplash() {
  if (Splash == this) Splash = nullptr;
}

LRESULT TSplash::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // opaque: the paint covers everything
    case WM_PAINT: {
      FormPaint();
      return 0;
    }
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED: {
      if (message == WM_PALETTECHANGED && reinterpret_cast<HWND>(w) == Handle()) return 0;
      HPALETTE p = SplashBitmap ? SplashBitmap->Palette() : nullptr;
      if (!p) break;
      HDC dc = GetDC(Handle());
      HPALETTE old = SelectPalette(dc, p, message == WM_PALETTECHANGED);
      if (RealizePalette(dc)) InvalidateRect(Handle(), nullptr, FALSE);
      SelectPalette(dc, old, TRUE);
      ReleaseDC(Handle(), dc);
      return message == WM_QUERYNEWPALETTE;
    }
  }
  return TForm::WndProc(message, w, l);
}

void TSplash::DoShow() {
  // The round region replaces the frame; if the system refuses it the window stays square.
  SetWindowRgn(Handle(), nullptr, FALSE);
  RECT r;
  if (GetWindowRect(Handle(), &r)) {
    FormFrameVisible = false;
    HRGN round = CreateRoundRectRgn(0, 0, r.right - r.left, r.bottom - r.top, 48, 48);
    if (round) {
      if (SetWindowRgn(Handle(), round, TRUE))
        Rounded = true;
      else
        DeleteObject(round);
    }
  }
  TForm::DoShow();
}

void TSplash::FormPaint() {
  ++PaintCount;
  TPaintCanvas canvas(Handle());
  const int w = ClientWidth(), h = ClientHeight();
  canvas.Brush.SetColor(clBtnFace);
  canvas.FillRect(RECT{0, 0, w, h});
  canvas.Brush.SetStyle(bsSolid);
  canvas.Pen.SetColor(clBtnHighlight);
  SelectObject(canvas.Handle(), canvas.Pen.Handle());
  SelectObject(canvas.Handle(), canvas.Brush.Handle());
  RoundRect(canvas.Handle(), 3, 3, w - 5, h - 5, 40, 40);
  canvas.Pen.SetColor(clBtnShadow);
  SelectObject(canvas.Handle(), canvas.Pen.Handle());
  SelectObject(canvas.Handle(), GetStockObject(NULL_BRUSH));
  RoundRect(canvas.Handle(), 4, 4, w - 4, h - 4, 40, 40);
  if (FormFrameVisible) {
    RECT f = FormFrame;
    canvas.Frame3D(f, clBtnHighlight, clBtnShadow, 1);
  }
  RECT p = PictureFrame;
  canvas.Frame3D(p, clBtnShadow, clBtnHighlight, 1);
  if (SplashBitmap && !SplashBitmap->Empty()) {
    HPALETTE pal = SplashBitmap->Palette();
    HPALETTE old = pal ? SelectPalette(canvas.Handle(), pal, TRUE) : nullptr;
    if (pal) RealizePalette(canvas.Handle());
    canvas.Draw(PictureFrame.left + 4, PictureFrame.top + 4, *SplashBitmap);
    if (old) SelectPalette(canvas.Handle(), old, TRUE);
  }
}

void TSplash::DoClose(TCloseAction& action) {
  TForm::DoClose(action);
  SplashBitmap.reset();
  action = caFree;
}

void ShowSplashIfNormal() {
  if (!CommandLineArguments(Platform().CommandLine()).empty()) return;
  Splash = new TSplash(&Application);
  Splash->Show();
  Application.ProcessMessages();
  Splash->Update();
}

void CloseSplashWhenDue() {
  if (!CommandLineArguments(Platform().CommandLine()).empty()) return;
  while (Splash && Platform().Now() < Splash->EndTime && !Application.Terminated) {
    Application.ProcessMessages();
    Sleep(10);
  }
  if (Splash) Splash->Close();
}

TOKBottomDlg::TOKBottomDlg(TComponent* owner) : TForm(owner, bsDialog) {
  SetCaption("Dialog");
  Position = poScreenCenter;
  SetClientSize(313, 214);
  Bevel1 = new TPanel(this, this, 8, 8, 297, 161);
  Bevel1->BevelOuter = bvLowered;
  OKBtn = new TButton(this, this, "OK", 79, 180, 75, 25);
  OKBtn->ModalResult = mrOk;
  OKBtn->SetDefault(true);
  CancelBtn = new TButton(this, this, "Cancel", 159, 180, 75, 25);
  CancelBtn->ModalResult = mrCancel;
  CancelBtn->SetCancel(true);
  FinishCreate();
}
