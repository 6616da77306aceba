// A status bar of fixed-width panels at the bottom of a form (the system's status control).
// Small on purpose: the main window and the picture window need panels with text and nothing
// else.
#pragma once
#include <string>
#include <vector>

#include "framework/Window.h"

class TStatusLine : public TWindow {
 public:
  // Panel widths in pixels; -1 runs to the right edge.
  TStatusLine(TComponent* owner, TWindow* parent, const std::vector<int>& widths);
  void SetPanelWidths(const std::vector<int>& widths);
  int PanelCount() const { return static_cast<int>(widths_.size()); }
  // Text of a panel; centred panels are drawn centred.
  void SetPanelText(int panel, const std::string& text);
  std::string PanelText(int panel) const;
  void SetCentred(int panel, bool centred);
  // The parent resized: the bar goes back to the bottom edge.
  void Realign();

 private:
  std::vector<int> widths_;
  std::vector<std::string> texts_;
  std::vector<bool> centred_;
};
