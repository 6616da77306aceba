#include "viewers/picture/ZoomWindow.h"

#include <algorithm>

#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "framework/Cursor.h"
#include "framework/Palette.h"

TZoomWindow* ZoomWindow = nullptr;

TZoomWindow::TZoomWindow(TComponent* owner, TBitmap& source)
    : TForm(owner, bsNone), Source(source) {
  KeyPreview = true;
  SavedCursor = Screen.Cursor;
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  Position = poDesigned;
  SetBounds(0, 0, w, h);
  PaintBox = new TPaintBox(this, this, 0, 0, w, h);
  PaintBox->Color = clBlack;
  PaintBox->OnPaint = [this](TComponent*, TCanvas& canvas) { PaintBoxPaint(canvas); };
  PaintBox->OnMouseDown = [this](TComponent*, TMouseButton, TShiftState, int, int) { Finish(); };
  PaintBox->OnMouseMove = [this](TComponent*, TShiftState, int x, int y) {
    if (!Magnifier) return;
    PanTo(x, y);
    PaintBox->Repaint();
  };
  FinishCreate();
  ZoomWindow = this;
}

TZoomWindow::~TZoomWindow() {
  if (ZoomWindow == this) ZoomWindow = nullptr;
}

void TZoomWindow::FitDest() {
  TRect r;
  FitCenterRect(ClientWidth(), ClientHeight(), SourceWidth, SourceHeight, r);
  // Inclusive corners: the last pixel of the box is covered.
  DestRect = RECT{r.Left, r.Top, r.Right + 1, r.Bottom + 1};
}

void TZoomWindow::PanTo(int x, int y) {
  tMagnifierSize part{SourceWidth, SourceHeight};
  TRect r =
      MagnifierPan(Source.Width(), Source.Height(), part, x, y, ClientWidth(), ClientHeight());
  SourceRect = RECT{r.Left, r.Top, r.Right, r.Bottom};
}

void TZoomWindow::PaintBoxPaint(TCanvas& canvas) {
  HDC dc = canvas.Handle();
  RECT all = PaintBox->ClientRect();
  // Around the picture the screen is black.
  HRGN rest = CreateRectRgnIndirect(&all);
  HRGN pic = CreateRectRgnIndirect(&DestRect);
  CombineRgn(rest, rest, pic, RGN_DIFF);
  FillRgn(dc, rest, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  DeleteObject(pic);
  DeleteObject(rest);
  SetStretchBltMode(dc, COLORONCOLOR);
  TSelectedPalette palette(dc, Source.Palette());
  StretchBlt(dc, DestRect.left, DestRect.top, DestRect.right - DestRect.left,
             DestRect.bottom - DestRect.top, Source.Canvas().Handle(), SourceRect.left,
             SourceRect.top, SourceRect.right - SourceRect.left, SourceRect.bottom - SourceRect.top,
             SRCCOPY);
}

void TZoomWindow::KeyDown(WORD& key, TShiftState shift) {
  TForm::KeyDown(key, shift);
  key = 0;
  Finish();
}

void TZoomWindow::Finish() {
  if (Modal()) ModalResult = mrCancel;
}

void TZoomWindow::DoShow() {
  TForm::DoShow();
  if (Magnifier) Screen.SetCursor(static_cast<TCursor>(1));
}

void TZoomWindow::DoClose(TCloseAction& action) {
  TForm::DoClose(action);
  if (Screen.Cursor != SavedCursor) Screen.SetCursor(SavedCursor);
}

namespace {
void RunModal(TZoomWindow* w) {
  w->ShowModal();
  // Gone from view at once; freed when no handler of it runs any more.
  ZoomWindow = nullptr;
  w->Release();
}
}  // namespace

void ShowFullScreen(TForm* owner, TBitmap& source) {
  if (source.Empty()) return;
  auto* w = new TZoomWindow(owner, source);
  w->SourceWidth = source.Width();
  w->SourceHeight = source.Height();
  w->SourceRect = RECT{0, 0, source.Width(), source.Height()};
  w->FitDest();
  RunModal(w);
}

bool ShowZoomedSelection(TForm* owner, TBitmap& source, const RECT& selection) {
  TRect s{selection.left, selection.top, selection.right, selection.bottom};
  if (source.Empty() || !SelectionZoomable(s)) return false;
  NormalizeRect(s);
  auto* w = new TZoomWindow(owner, source);
  w->SourceRect = RECT{s.Left, s.Top, s.Right, s.Bottom};
  w->SourceWidth = s.Right - s.Left;
  w->SourceHeight = s.Bottom - s.Top;
  w->FitDest();
  RunModal(w);
  return true;
}

void ShowMagnifier(TForm* owner, TBitmap& source, POINT point, int zoomPercent) {
  if (source.Empty()) return;
  SetCursorSlot(1, LoadCursorResource("MAG_GLASS"));
  auto* w = new TZoomWindow(owner, source);
  w->Magnifier = true;
  w->DestRect = RECT{0, 0, w->ClientWidth(), w->ClientHeight()};
  tMagnifierSize part = MagnifierSource(source.Width(), source.Height(), zoomPercent);
  w->SourceWidth = part.Width;
  w->SourceHeight = part.Height;
  w->PanTo(point.x, point.y);
  RunModal(w);
}
