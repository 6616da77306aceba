// Single-line edit boxes.
#pragma once
#include "framework/Window.h"

class TEdit : public TWindow {
 public:
  TEdit(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
        DWORD extraStyle = WS_BORDER);
  ~TEdit() override;
  std::string Text() const { return Caption(); }
  void SetText(const std::string& text) { SetCaption(text); }
  void SelectAll() { Send(EM_SETSEL, 0, -1); }
  TNotifyEvent OnChange;
  // The focus left the box.
  TNotifyEvent OnExit;
  // Shown below the mouse resting on the box (see framework/HintWindow.h).
  std::string Hint;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
};
