// A label that shows its caption (a path) shortened to its width.
#pragma once
#include "framework/Label.h"

class TPathLabel : public TLabel {
 public:
  TPathLabel(TComponent* owner, TWindow* parent, int x, int y, int width, int height);

 protected:
  void Paint(TCanvas& canvas) override;
};
