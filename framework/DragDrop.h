// Dragging a control's contents onto another control of the program (drops from the shell are
// DropFiles'). A source starts a drag on a left press once the mouse moves past the system's drag
// rectangle with the button held; while it lasts the mouse is captured, the control under the
// pointer in any of the program's windows is asked whether it takes the source, and the cursor
// says so; releasing the button drops there; Escape, the right button or a lost capture cancel.
#pragma once
#include <windows.h>

#include <functional>

#include "framework/Window.h"

enum TDragMode { dmManual, dmAutomatic };

// What a control does with things dragged onto it. Owned by the control, so it goes with it.
class TDragTarget : public TComponent {
 public:
  explicit TDragTarget(TWindow* control);
  ~TDragTarget() override;
  TWindow* Control() const { return control_; }
  // Whether the source may be dropped at the point (client coordinates of the control); a
  // target without it takes nothing.
  std::function<bool(TWindow* source, POINT at)> OnDragOver;
  std::function<void(TWindow* source, POINT at)> OnDragDrop;

 private:
  TWindow* control_;
};
// The target of a control; null when it takes no drops.
TDragTarget* DragTargetOf(TWindow* control);

// Automatic dragging for a control of a system class that tracks its own left press (a list
// box): its window procedure hands every message to Filter before its own handling.
class TAutoDrag {
 public:
  explicit TAutoDrag(TWindow& control) : control_(control) {}
  TDragMode Mode = dmManual;
  // Whether a press at the client point has something to drag; none: everywhere.
  std::function<bool(POINT at)> CanDrag;
  // True when the message is used up. A left press arms the rule (the control still handles
  // it); moves within the drag rectangle are held back so the press stays where it was; the
  // first move past it ends the control's own tracking with a release at the press point and
  // runs the drag.
  bool Filter(UINT message, WPARAM w, LPARAM l);

 private:
  TWindow& control_;
  bool armed_ = false;
  POINT press_{};
};

// Drags the source until it is dropped or cancelled, in a message loop of its own (as a menu
// runs). True when it was dropped on a target that took it, whose OnDragDrop has then run.
bool DoDrag(TWindow& source);
// The control being dragged now; null when no drag runs.
TWindow* DragSource();
// The cursor over a target that takes the source (over others: the system's "no" cursor).
HCURSOR DragCursor();
