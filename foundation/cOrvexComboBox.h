// A drop-down list whose rows, when too wide for the dropped-down list, show whole in a tooltip
// beside the row under the mouse or keys while the list is open.
#pragma once
#include <memory>
#include <string>

#include "framework/ComboBox.h"
#include "framework/HintWindow.h"

class TOrvex_ComboBox : public TComboBox {
 public:
  TOrvex_ComboBox(TComponent* owner, TWindow* parent, int x = 0, int y = 0, int width = 145,
                  int height = 200);
  ~TOrvex_ComboBox() override;
  bool ItemHint = false;
  // The tooltip, while one shows (else null).
  THintWindow* HintWindow() const;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  void DrawItem(int index, const RECT& rect, UINT state) override;

 private:
  void ShowHint(int index, const RECT& rect);
  void HideHint();
  std::unique_ptr<THintWindow> hint_;
};
