// Header controls: a row of sections whose widths the user drags; a section can be held at a
// minimum and maximum width (equal values fix it). While a divider is dragged an inverted
// vertical line can follow the mouse across a window below the header.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "framework/Window.h"

class TCanvas;

using TSectionEvent = std::function<void(TComponent* sender, int section)>;
// Paints the face of an owner-drawn section; pressed while the user holds it down.
using TDrawSectionEvent = std::function<void(TComponent* sender, int section, TCanvas& canvas,
                                             const RECT& rect, bool pressed)>;

class THeaderControl : public TWindow {
 public:
  THeaderControl(TComponent* owner, TWindow* parent, int x, int y, int width, int height);

  int SectionCount() const;
  int AddSection(const std::string& text, int width);
  int SectionWidth(int index) const;
  void SetSectionWidth(int index, int width);
  std::string SectionText(int index) const;
  void SetSectionText(int index, const std::string& text);
  void SetSectionLimits(int index, int minWidth, int maxWidth);
  // The height that suits the font.
  int PreferredHeight() const;
  // The section's face is painted by OnDrawSection instead of its text.
  void SetSectionOwnerDraw(int index, bool ownerDraw);

  // A section's width was changed (by the user or by SetSectionWidth).
  TSectionEvent OnSectionResize;
  TSectionEvent OnSectionClick;
  TDrawSectionEvent OnDrawSection;
  // The window that the tracking line of a section's divider crosses when the divider is at
  // screen x; none: no line there.
  std::function<TWindow*(int section, int screenX)> TrackLineWindow;
  // Where the tracking line is now, in screen x (-1 none), and over which window.
  int TrackLineX() const { return lineWindow_ ? lineX_ : -1; }

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;

 private:
  struct Limits {
    int minWidth = 0, maxWidth = 10000;
  };
  std::vector<Limits> limits_;
  void DrawTrackLine();
  void MoveTrackLine(int section, int width);
  TWindow* lineWindow_ = nullptr;
  int lineX_ = -1;
  int trackSection_ = -1;
};
