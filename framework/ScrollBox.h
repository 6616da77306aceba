// A scroll box: a child window with scroll bars that moves its child windows as the bars move
// (a paint box larger than the box is the usual child); and the paint box, a window that paints
// through its OnPaint event.
#pragma once
#include <functional>

#include "framework/PaintedWindow.h"

class TCanvas;

// One scroll bar of a scroll box: the bar shows while Range exceeds the box's client extent.
struct TScrollBarInfo {
  int Range = 0;
  int Position = 0;
  int Increment = 8;
  bool Tracking = false;  // the children move while the thumb is dragged
};

class TScrollBox : public TWindow {
 public:
  TScrollBox(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
             bool border = true);
  bool Border() const { return border_; }
  TScrollBarInfo& HorzScrollBar() { return bars_[0]; }
  TScrollBarInfo& VertScrollBar() { return bars_[1]; }
  // Shows the bars as their fields say, clamping the positions, and moves the children.
  void UpdateScrollBars();
  // Scrolls one bar to a position (clamped) and moves the children with it.
  void SetPosition(bool vertical, int position);
  // The position's largest value: the range less the client extent.
  int MaxPosition(bool vertical) const;
  TColor Color = clBtnFace;

 protected:
  const wchar_t* ClassName() const override { return L"TavisScrollBox"; }
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;

 private:
  void Scroll(bool vertical, UINT code);
  TScrollBarInfo bars_[2];
  int shown_[2] = {0, 0};  // the positions the children stand at now
  bool border_;
  bool updating_ = false;
};

class TPaintBox : public TPaintedWindow {
 public:
  TPaintBox(TComponent* owner, TWindow* parent, int x, int y, int width, int height);
  TColor Color = clBtnFace;
  std::function<void(TComponent* sender, TCanvas& canvas)> OnPaint;

 protected:
  const wchar_t* ClassName() const override { return L"TavisPaintBox"; }
  void Paint(TCanvas& canvas) override;
};
