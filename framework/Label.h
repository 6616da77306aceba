// Static text labels; an auto-sized label takes the width of its caption.
#pragma once
#include "framework/Window.h"

class TCanvas;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TWindow {
 public:
  TLabel(TComponent* owner, TWindow* parent, int x, int y, int width, int height);
  void SetCaption(const std::string& caption);
  bool AutoSize = false;
  TAlignment Alignment = taLeftJustify;
  TColor Color = clBtnFace;
  bool Transparent = false;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  virtual void Paint(TCanvas& canvas);
};
