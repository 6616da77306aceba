// Colours, fonts, pens and brushes: GDI objects made when first used and remade after a change.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// A colour is an RGB value (0x00BBGGRR) or, with the top bit set, a system colour index.
using TColor = uint32_t;
constexpr TColor SystemColor(int index) { return 0x80000000u | static_cast<uint32_t>(index); }
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clNavy = 0x800000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clTeal = 0x808000;
constexpr TColor clWindow = SystemColor(COLOR_WINDOW), clWindowText = SystemColor(COLOR_WINDOWTEXT),
                 clHighlight = SystemColor(COLOR_HIGHLIGHT),
                 clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT),
                 clBtnFace = SystemColor(COLOR_BTNFACE), clBtnShadow = SystemColor(COLOR_BTNSHADOW),
                 clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT),
                 clBtnText = SystemColor(COLOR_BTNTEXT), clInfoBk = SystemColor(COLOR_INFOBK),
                 clInfoText = SystemColor(COLOR_INFOTEXT), clGrayText = SystemColor(COLOR_GRAYTEXT);
// The RGB value of a colour, system colours looked up now.
COLORREF ColorToRGB(TColor color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
// The pitch asked for: it decides the face the system takes when the named one is missing.
enum TFontPitch { fpDefault, fpFixed, fpVariable };

// A logical font by name, size in points and style. Assigning copies the description only.
class TFont {
 public:
  TFont();
  TFont(const TFont& other);
  TFont& operator=(const TFont& other);
  ~TFont();

  const std::string& Name() const { return name_; }
  int Size() const { return size_; }
  unsigned Style() const { return style_; }
  TColor Color() const { return color_; }
  TFontPitch Pitch() const { return pitch_; }
  void SetName(const std::string& name);
  void SetPitch(TFontPitch pitch);
  void SetSize(int points);
  void SetStyle(unsigned style);
  void SetColor(TColor color);
  // The resolution the size is measured for: 0 the screen's, else a device's (a printer's).
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int pixels);
  // The font handle, made on first use and kept until the description changes.
  HFONT Handle();

  // Runs after every change of the description (not of the colour alone).
  std::function<void()> OnChange;
  // Runs with the handle just before it is deleted, so that a context holding it can let it go
  // (a selected object is not freed).
  std::function<void(HGDIOBJ)> BeforeDelete;

 private:
  void Changed();
  std::string name_ = "Tahoma";
  int size_ = 8;
  unsigned style_ = 0;
  TFontPitch pitch_ = fpDefault;
  TColor color_ = clWindowText;
  int pixelsPerInch_ = 0;
  HFONT handle_ = nullptr;
};

enum TBrushStyle { bsSolid, bsClear };
enum TPenStyle { psSolid = PS_SOLID, psDot = PS_DOT, psClear = PS_NULL };

class TPen {
 public:
  TPen() = default;
  TPen(const TPen&) = delete;
  TPen& operator=(const TPen&) = delete;
  ~TPen() { Free(); }
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  void SetWidth(int width);
  void SetStyle(TPenStyle style);
  HPEN Handle();
  // Runs with the handle just before it is deleted, so that a context holding it can let it go
  // (a selected object is not freed).
  std::function<void(HGDIOBJ)> BeforeDelete;

 private:
  void Free();
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  HPEN handle_ = nullptr;
};

class TBrush {
 public:
  TBrush() = default;
  TBrush(const TBrush&) = delete;
  TBrush& operator=(const TBrush&) = delete;
  ~TBrush() { Free(); }
  TColor Color() const { return color_; }
  TBrushStyle Style() const { return style_; }
  void SetColor(TColor color);
  void SetStyle(TBrushStyle style);
  HBRUSH Handle();
  // Runs with the handle just before it is deleted, so that a context holding it can let it go
  // (a selected object is not freed).
  std::function<void(HGDIOBJ)> BeforeDelete;

 private:
  void Free();
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  HBRUSH handle_ = nullptr;
};
