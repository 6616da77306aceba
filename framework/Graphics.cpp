#include "framework/Graphics.h"

#include "framework/Text.h"

COLORREF ColorToRGB(TColor color) {
  if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0xFFFFFF;
}

TFont::TFont() = default;
TFont::TFont(const TFont& other)
    : name_(other.name_),
      size_(other.size_),
      style_(other.style_),
      pitch_(other.pitch_),
      color_(other.color_) {}
TFont& TFont::operator=(const TFont& other) {
  color_ = other.color_;
  if (this != &other && (name_ != other.name_ || size_ != other.size_ || style_ != other.style_ ||
                         pitch_ != other.pitch_)) {
    name_ = other.name_;
    size_ = other.size_;
    style_ = other.style_;
    pitch_ = other.pitch_;
    color_ = other.color_;
    Changed();
  }
  return *this;
}
TFont::~TFont() {
  if (!handle_) return;
  if (BeforeDelete) BeforeDelete(handle_);
  DeleteObject(handle_);
}

void TFont::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Changed();
}
void TFont::SetSize(int points) {
  if (points == size_) return;
  size_ = points;
  Changed();
}
void TFont::SetStyle(unsigned style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}
void TFont::SetColor(TColor color) { color_ = color; }
void TFont::SetPixelsPerInch(int pixels) {
  if (pixels == pixelsPerInch_) return;
  pixelsPerInch_ = pixels;
  Changed();
}
void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  Changed();
}

void TFont::Changed() {
  if (handle_) {
    if (BeforeDelete) BeforeDelete(handle_);
    DeleteObject(handle_);
    handle_ = nullptr;
  }
  if (OnChange) OnChange();
}

HFONT TFont::Handle() {
  if (!handle_) {
    LOGFONTW lf{};
    int ppi = pixelsPerInch_;
    if (ppi <= 0) {
      HDC screen = GetDC(nullptr);
      ppi = GetDeviceCaps(screen, LOGPIXELSY);
      ReleaseDC(nullptr, screen);
    }
    lf.lfHeight = -MulDiv(size_, ppi, 72);
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) != 0;
    lf.lfUnderline = (style_ & fsUnderline) != 0;
    lf.lfStrikeOut = (style_ & fsStrikeOut) != 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = pitch_ == fpFixed      ? FIXED_PITCH | FF_MODERN
                          : pitch_ == fpVariable ? VARIABLE_PITCH
                                                 : DEFAULT_PITCH;
    std::wstring face = Utf8ToWide(name_);
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    handle_ = CreateFontIndirectW(&lf);
  }
  return handle_;
}

void TPen::Free() {
  if (handle_) {
    if (BeforeDelete) BeforeDelete(handle_);
    DeleteObject(handle_);
  }
  handle_ = nullptr;
}
void TPen::SetColor(TColor color) {
  if (color != color_) Free();
  color_ = color;
}
void TPen::SetWidth(int width) {
  if (width != width_) Free();
  width_ = width;
}
void TPen::SetStyle(TPenStyle style) {
  if (style != style_) Free();
  style_ = style;
}
HPEN TPen::Handle() {
  if (!handle_) handle_ = CreatePen(style_, width_, ColorToRGB(color_));
  return handle_;
}

void TBrush::Free() {
  if (handle_) {
    if (BeforeDelete) BeforeDelete(handle_);
    DeleteObject(handle_);
  }
  handle_ = nullptr;
}
void TBrush::SetColor(TColor color) {
  if (color != color_ || style_ != bsSolid) Free();
  color_ = color;
  style_ = bsSolid;
}
void TBrush::SetStyle(TBrushStyle style) {
  if (style != style_) Free();
  style_ = style;
}
HBRUSH TBrush::Handle() {
  if (!handle_) {
    handle_ = style_ == bsClear ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                                : CreateSolidBrush(ColorToRGB(color_));
  }
  return handle_;
}
