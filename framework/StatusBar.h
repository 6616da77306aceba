// The status bar: the system's status bar at the bottom of its parent, in panels of given
// widths (the last one takes the rest); a panel's text can be centred.
#pragma once
#include <string>
#include <vector>

#include "framework/Window.h"

class TStatusBar : public TWindow {
 public:
  TStatusBar(TComponent* owner, TWindow* parent);
  // Widths in pixels; a centred panel shows its text in the middle.
  void SetPanels(const std::vector<int>& widths, const std::vector<bool>& centred = {});
  void SetPanelText(int panel, const std::string& text);
  std::string PanelText(int panel) const;
  // The panel's rectangle in the bar's client area.
  RECT PanelRect(int panel) const;
  // Follows its parent's size (call from the parent's resize).
  void ParentResized() { Send(WM_SIZE, 0, 0); }

 private:
  std::vector<int> widths_;
  std::vector<bool> centred_;
  std::vector<std::string> texts_;
};
