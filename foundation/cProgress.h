// The segmented progress bar: a row of filled segments for the percent done, horizontal or
// (when taller than wide) growing upwards, in a raised, lowered or flat edge.
#pragma once
#include "foundation/cSmallCtlRules.h"
#include "framework/PaintedWindow.h"

enum tProgressStyle { prgNone, prgLowered, prgRaised };

class TProgress : public TPaintedWindow {
 public:
  TProgress(TComponent* owner, TWindow* parent, int x = 0, int y = 0, int width = 104,
            int height = 18);

  int Percent() const { return percent_; }
  // Clamped to 0..100. When the segment count stays, nothing else happens; more segments are
  // drawn on, fewer repaint the bar. Then OnChange.
  void SetPercent(int percent);
  tProgressStyle EdgeStyle() const { return edgeStyle_; }
  void SetEdgeStyle(tProgressStyle style);
  int SegmentGap() const { return gap_; }
  void SetSegmentGap(int gap);  // below 1: ignored
  int SegmentWidth() const { return segmentWidth_; }
  void SetSegmentWidth(int width);  // below 1: ignored
  int Margin() const { return margin_; }
  // Taken only when 0 < margin < Height div 2 and < Width div 2.
  void SetMargin(int margin);
  TColor SegmentColor() const { return segmentColor_; }
  void SetSegmentColor(TColor color);
  TColor BackGroundColor() const { return backColor_; }
  void SetBackGroundColor(TColor color);
  int WorkingWidth() const { return ProgressWorkingWidth(Geometry()); }
  // The segments painted now.
  int PaintedSegments() const { return painted_; }

  // Sizes the bar to whole segments along its length; with centre the bar keeps its middle,
  // else its left (horizontal) or bottom (vertical) edge. Nothing on a bar too small for one.
  void FitToWidth(bool centre);
  static int PercentOf(int64_t part, int64_t total) { return ProgressPercentOf(part, total); }

  TNotifyEvent OnChange;

 protected:
  const wchar_t* ClassName() const override { return L"TavisProgress"; }
  void Paint(TCanvas& canvas) override;

 private:
  tProgressGeometry Geometry() const;
  void DrawSegments(TCanvas& canvas, int from, int to);

  int percent_ = 0;
  int painted_ = 0;
  tProgressStyle edgeStyle_ = prgRaised;
  int gap_ = 2, segmentWidth_ = 8, margin_ = 2;
  TColor segmentColor_ = clNavy;
  TColor backColor_ = clBtnFace;
};
