// Static text labels: one line, or with WordWrap lines broken at the label's width and at the
// caption's line breaks. An auto-sized label takes the width of its caption (with WordWrap it
// keeps its width and takes the height of its lines).
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
  bool WordWrap = false;
  // With a control here the caption's "&" marks a letter, drawn underlined, that takes the
  // focus to the control (Alt with the letter, or the letter alone where no control takes
  // characters).
  TWindow* FocusControl = nullptr;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  virtual void Paint(TCanvas& canvas);
};
