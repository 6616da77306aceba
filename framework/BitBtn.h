// Bitmap buttons: a push button that draws a glyph above its caption (the glyph's bottom-left
// pixel colour is transparent), greyed when disabled. Speed buttons: buttons that stay down,
// alone or one of a group.
#pragma once
#include <string>

#include "framework/Bitmap.h"
#include "framework/Button.h"

class TBitBtn : public TButton {
 public:
  TBitBtn(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y, int width,
          int height);
  // The glyph; loading it repaints the button.
  TBitmap& Glyph() { return glyph_; }
  bool LoadGlyph(const std::string& resourceName);

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;

 private:
  void DrawButton(const DRAWITEMSTRUCT& d);
  TBitmap glyph_;
};

// A button that stays down: in a group (GroupIndex > 0) the one clicked goes down and the
// others of the group come up; a button alone in its group with AllowAllUp toggles.
class TSpeedButton : public TButton {
 public:
  TSpeedButton(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y,
               int width, int height, int groupIndex = 0, bool allowAllUp = false);
  bool Down() const { return down_; }
  void SetDown(bool down);
  int GroupIndex;
  bool AllowAllUp;
  void Click() override;

 private:
  bool down_ = false;
};
