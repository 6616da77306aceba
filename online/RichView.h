// A read-only rich-text view (the system's rich edit control) for the about box's guide page and
// the read-me window: it takes rich text whole and shows it from the top.
#pragma once
#include <string>

#include "framework/Window.h"

class TRichView : public TWindow {
 public:
  TRichView(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
            bool scrollBars);
  // Replaces the contents with rich text (plain text is taken as it is); caret to the start.
  void SetRichText(const std::string& rtf);
  // The text as the control holds it, without formatting.
  std::string PlainText() const;
  void Clear() { SetRichText(""); }
  int FirstVisibleLine() const;
};
