// The palette grid: a palette of up to 256 entries drawn as a grid of cells, one of which the
// user picks with the mouse or the keys (arrows, Home, End; Space, X or F9 choose the focus
// cell). Cells past the palette's count show the fill colour and cannot be chosen.
#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/Graphics.h"
#include "framework/PaintedWindow.h"
#include "framework/ScrollBox.h"
#include "viewers/picture/uPaletteGrid.h"

class TPaletteGrid : public TPaintedWindow {
 public:
  TPaletteGrid(TComponent* owner, TWindow* parent, int x, int y, int width = 224,
               int height = 224);

  // count 2..256 (others ignored), RGB triples, the colour of the cells past the count.
  void SetPalette(int count, const uint8_t* rgb, TColor fillColor);
  int Count() const { return count_; }
  int PaletteIndex() const { return paletteIndex_; }
  // Fires OnChange when the index changes.
  void SetPaletteIndex(int index);
  int Selection() const { return selection_; }
  void SetSelection(int cell);
  tGridShape GridShape() const { return shape_; }
  void SetGridShape(tGridShape shape);
  const tGridMetrics& Metrics() const { return metrics_; }
  bool Large() const { return large_; }
  // Entry i as 0x00BBGGRR.
  TColor EntryColor(int i) const;
  RECT CellRect(int i) const;

  // Draws the pressed-in frame, the raised frames and the check mark.
  bool Ctl3D = true;
  TNotifyEvent OnChange;

 protected:
  const wchar_t* ClassName() const override { return L"TavisPaletteGrid"; }
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  void Paint(TCanvas& canvas) override;

 private:
  void Relayout();
  void Choose(int cell);
  void PressAt(int x, int y);

  int count_ = 16;
  int paletteIndex_ = -1;
  int selection_ = 0;
  tGridShape shape_ = gs_4x4;
  tGridMetrics metrics_;
  bool focused_ = false;
  bool dragging_ = false;
  bool large_ = false;
  bool sizing_ = false;
  TColor entries_[256] = {};
};

// A box of a few lines of text (lines broken by "\r"), as the palette texts are.
TPaintBox* NewInfoText(TComponent* owner, TWindow* parent, int x, int y, int width, int height);
void SetInfoText(TPaintBox* box, const std::string& text);
