// The slider: a 0..100 track with a thumb, dragged or clicked to a place, horizontal or (when
// taller than wide) counting upwards, optionally on a logarithmic scale.
#pragma once
#include "foundation/cSmallCtlRules.h"
#include "framework/PaintedWindow.h"
#include "framework/Panel.h"

class TSlider : public TPaintedWindow {
 public:
  TSlider(TComponent* owner, TWindow* parent, int x = 0, int y = 0, int width = 150,
          int height = 24);

  TBevelCut Bevel() const { return bevel_; }
  void SetBevel(TBevelCut bevel);
  bool LogScale = false;
  // Whether the slider shows its hint; off while the thumb is dragged.
  bool ShowHint = false;
  // The stored place, or its logarithmic value with LogScale.
  int Position() const;
  // Values above 100 (or below 0) are ignored; with LogScale the thumb goes to the largest
  // place whose logarithmic value does not exceed the value. Then Change and a repaint.
  void SetPosition(int value);
  // The thumb's place, 0..100.
  int StoredPosition() const { return stored_; }
  bool Dragging() const { return dragging_; }

  TNotifyEvent OnChange;

 protected:
  const wchar_t* ClassName() const override { return L"TavisSlider"; }
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  virtual void Change();
  virtual bool IsHorizontal() const;
  virtual int ThumbOffset() const;
  virtual int PositionFromPoint(int x, int y) const;
  virtual RECT ThumbRect() const;
  virtual int LogPosition(int x) const;
  void Paint(TCanvas& canvas) override;

 private:
  void MoveTo(int stored);

  TBevelCut bevel_ = bvNone;
  int stored_ = 0;
  bool dragging_ = false;
  bool savedShowHint_ = false;
};
