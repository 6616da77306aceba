#include "framework/Canvas.h"

#include "framework/Bitmap.h"
#include "framework/Text.h"

TCanvas::~TCanvas() {
  SetHandle(nullptr);
  Font.BeforeDelete = nullptr;
  Pen.BeforeDelete = nullptr;
  Brush.BeforeDelete = nullptr;
}

void TCanvas::WatchObjects() {
  Font.BeforeDelete = [this](HGDIOBJ h) { LetGo(h, OBJ_FONT, oldFont_); };
  Pen.BeforeDelete = [this](HGDIOBJ h) { LetGo(h, OBJ_PEN, oldPen_); };
  Brush.BeforeDelete = [this](HGDIOBJ h) { LetGo(h, OBJ_BRUSH, oldBrush_); };
}

void TCanvas::LetGo(HGDIOBJ object, UINT type, HGDIOBJ original) {
  if (dc_ && original && GetCurrentObject(dc_, type) == object) SelectObject(dc_, original);
}

void TCanvas::SetHandle(HDC dc) {
  if (dc_ && dc_ != dc) {
    if (oldFont_) SelectObject(dc_, oldFont_);
    if (oldPen_) SelectObject(dc_, oldPen_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
    oldFont_ = oldPen_ = oldBrush_ = nullptr;
  }
  dc_ = dc;
}

void TCanvas::Select() {
  HGDIOBJ f = SelectObject(dc_, Font.Handle());
  HGDIOBJ p = SelectObject(dc_, Pen.Handle());
  HGDIOBJ b = SelectObject(dc_, Brush.Handle());
  if (!oldFont_) oldFont_ = f;
  if (!oldPen_) oldPen_ = p;
  if (!oldBrush_) oldBrush_ = b;
  SetTextColor(dc_, ColorToRGB(Font.Color()));
  if (Brush.Style() == bsClear) {
    SetBkMode(dc_, TRANSPARENT);
  } else {
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, ColorToRGB(Brush.Color()));
  }
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  Select();
  std::wstring w = Utf8ToWide(text);
  ExtTextOutW(dc_, x, y, 0, nullptr, w.c_str(), static_cast<UINT>(w.size()), nullptr);
}

void TCanvas::TextRect(const RECT& r, int x, int y, const std::string& text) {
  Select();
  std::wstring w = Utf8ToWide(text);
  UINT options = ETO_CLIPPED | (Brush.Style() == bsClear ? 0 : ETO_OPAQUE);
  ExtTextOutW(dc_, x, y, options, &r, w.c_str(), static_cast<UINT>(w.size()), nullptr);
}

SIZE TCanvas::TextExtent(const std::string& text) {
  Select();
  std::wstring w = Utf8ToWide(text);
  SIZE s{0, 0};
  GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &s);
  return s;
}

int TCanvas::DrawText(const std::string& text, RECT& r, UINT flags) {
  Select();
  std::wstring w = Utf8ToWide(text);
  return ::DrawTextW(dc_, w.c_str(), static_cast<int>(w.size()), &r, flags);
}

void TCanvas::FillRect(const RECT& r) {
  Select();
  ::FillRect(dc_, &r, Brush.Handle());
}

void TCanvas::FrameRect(const RECT& r) {
  Select();
  ::FrameRect(dc_, &r, Brush.Handle());
}

void TCanvas::Rectangle(const RECT& r) {
  Select();
  ::Rectangle(dc_, r.left, r.top, r.right, r.bottom);
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  Select();
  ::LineTo(dc_, x, y);
}

void TCanvas::Polyline(const std::vector<POINT>& points) {
  Select();
  ::Polyline(dc_, points.data(), static_cast<int>(points.size()));
}

void TCanvas::Frame3D(RECT& r, TColor topColor, TColor bottomColor, int width) {
  Select();
  HPEN top = CreatePen(PS_SOLID, 1, ColorToRGB(topColor));
  HPEN bottom = CreatePen(PS_SOLID, 1, ColorToRGB(bottomColor));
  --r.bottom;
  --r.right;
  for (int i = 0; i < width; ++i) {
    HGDIOBJ old = SelectObject(dc_, top);
    POINT tl[3] = {{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}};
    ::Polyline(dc_, tl, 3);
    SelectObject(dc_, bottom);
    POINT br[3] = {{r.right, r.top}, {r.right, r.bottom}, {r.left - 1, r.bottom}};
    ::Polyline(dc_, br, 3);
    SelectObject(dc_, old);
    InflateRect(&r, -1, -1);
  }
  ++r.bottom;
  ++r.right;
  DeleteObject(top);
  DeleteObject(bottom);
}

void TCanvas::DrawFocusRect(const RECT& r) {
  Select();
  ::DrawFocusRect(dc_, &r);
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  BitBlt(dc_, x, y, bitmap.Width(), bitmap.Height(), bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TCanvas::StretchDraw(const RECT& r, TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  SetStretchBltMode(dc_, COLORONCOLOR);
  StretchBlt(dc_, r.left, r.top, r.right - r.left, r.bottom - r.top, bitmap.Canvas().Handle(), 0, 0,
             bitmap.Width(), bitmap.Height(), SRCCOPY);
}

void TCanvas::CopyRect(const RECT& dest, TCanvas& source, const RECT& src) {
  SetStretchBltMode(dc_, COLORONCOLOR);
  StretchBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
             source.Handle(), src.left, src.top, src.right - src.left, src.bottom - src.top,
             SRCCOPY);
}

void TCanvas::BrushCopy(const RECT& dest, TBitmap& bitmap, const RECT& src, TColor transparent) {
  if (bitmap.Empty()) return;
  const int w = src.right - src.left, h = src.bottom - src.top;
  if (w <= 0 || h <= 0) return;
  Select();
  HDC sourceDC = bitmap.Canvas().Handle();
  // Work on a copy of the source: mask (white where the colour is) and the copy with the brush
  // painted through the mask, then one blit to the destination.
  HDC maskDC = CreateCompatibleDC(dc_);
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  HGDIOBJ oldMask = SelectObject(maskDC, mask);
  COLORREF oldBk = SetBkColor(sourceDC, ColorToRGB(transparent));
  BitBlt(maskDC, 0, 0, w, h, sourceDC, src.left, src.top, SRCCOPY);
  SetBkColor(sourceDC, oldBk);

  HDC workDC = CreateCompatibleDC(dc_);
  HBITMAP work = CreateCompatibleBitmap(dc_, w, h);
  HGDIOBJ oldWork = SelectObject(workDC, work);
  BitBlt(workDC, 0, 0, w, h, sourceDC, src.left, src.top, SRCCOPY);
  HGDIOBJ oldBrush = SelectObject(workDC, Brush.Handle());
  SetTextColor(workDC, RGB(0, 0, 0));
  SetBkColor(workDC, RGB(255, 255, 255));
  BitBlt(workDC, 0, 0, w, h, maskDC, 0, 0, 0x00E20746);  // DSPDxax: pattern where the mask is set
  SelectObject(workDC, oldBrush);

  SetStretchBltMode(dc_, COLORONCOLOR);
  StretchBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, workDC, 0, 0,
             w, h, SRCCOPY);
  SelectObject(workDC, oldWork);
  DeleteObject(work);
  DeleteDC(workDC);
  SelectObject(maskDC, oldMask);
  DeleteObject(mask);
  DeleteDC(maskDC);
}
