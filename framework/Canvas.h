// A canvas over a device context: the pen, brush and font are selected before each drawing call,
// and the context gets its own objects back when the canvas lets it go.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Graphics.h"

class TBitmap;

class TCanvas {
 public:
  TCanvas() { WatchObjects(); }
  // A canvas over a context that someone else owns (a paint or draw-item context).
  explicit TCanvas(HDC dc) {
    WatchObjects();
    SetHandle(dc);
  }
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  virtual ~TCanvas();

  HDC Handle() const { return dc_; }
  // Attaches to a context (nullptr lets the current one go, with its own objects restored).
  void SetHandle(HDC dc);

  TFont Font;
  TPen Pen;
  TBrush Brush;

  // Text in the font and its colour; the background is the brush, or none with bsClear.
  void TextOut(int x, int y, const std::string& text);
  // Text clipped to a rectangle, its background filled with the brush unless bsClear.
  void TextRect(const RECT& r, int x, int y, const std::string& text);
  SIZE TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }
  // DrawText with its DT_ flags; returns the height drawn.
  int DrawText(const std::string& text, RECT& r, UINT flags);

  void FillRect(const RECT& r);
  void FrameRect(const RECT& r);
  void Rectangle(const RECT& r);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const std::vector<POINT>& points);
  // A raised (top-left light, bottom-right dark) or sunken frame, width pixels wide, drawn
  // inside r; r shrinks by the frame.
  void Frame3D(RECT& r, TColor topColor, TColor bottomColor, int width);
  void DrawFocusRect(const RECT& r);

  // Bitmaps: copied as they are, stretched, or with one colour replaced by the brush.
  void Draw(int x, int y, TBitmap& bitmap);
  void StretchDraw(const RECT& r, TBitmap& bitmap);
  void CopyRect(const RECT& dest, TCanvas& source, const RECT& src);
  void BrushCopy(const RECT& dest, TBitmap& bitmap, const RECT& src, TColor transparent);

  TColor Pixel(int x, int y) const { return GetPixel(dc_, x, y); }
  void SetPixel(int x, int y, TColor color) { ::SetPixel(dc_, x, y, ColorToRGB(color)); }

 protected:
  // Selects the current pen, brush and font (and the text colours) into the context.
  void Select();

 private:
  // A pen, brush or font about to be freed is first replaced in the context by the one the
  // context came with: Windows does not free an object that is selected.
  void WatchObjects();
  void LetGo(HGDIOBJ object, UINT type, HGDIOBJ original);
  HDC dc_ = nullptr;
  HGDIOBJ oldFont_ = nullptr, oldPen_ = nullptr, oldBrush_ = nullptr;
};

// The canvas of a WM_PAINT: BeginPaint when made, EndPaint when it goes.
class TPaintCanvas : public TCanvas {
 public:
  explicit TPaintCanvas(HWND window) : window_(window) { SetHandle(BeginPaint(window, &ps_)); }
  ~TPaintCanvas() override {
    SetHandle(nullptr);
    EndPaint(window_, &ps_);
  }
  const RECT& PaintRect() const { return ps_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT ps_{};
};

// A canvas over a window's client area outside painting (measuring text in its font).
class TControlCanvas : public TCanvas {
 public:
  explicit TControlCanvas(HWND window) : window_(window) { SetHandle(GetDC(window)); }
  ~TControlCanvas() override {
    HDC dc = Handle();
    SetHandle(nullptr);
    ReleaseDC(window_, dc);
  }

 private:
  HWND window_;
};
