// The number edit: an edit box that takes only what a number can hold (digits, one decimal
// separator, a sign toggled by "-"), keeps to its integer digits and decimals, shows the value
// with or without thousands separators when the focus leaves it, and answers Enter with the
// form's default button.
#pragma once
#include <cstdint>
#include <string>

#include "foundation/cNumEditKeys.h"
#include "framework/Label.h"
#include "framework/Window.h"

enum TNumberFormat { Standard, Thousands };

class TNumEdit : public TWindow {
 public:
  TNumEdit(TComponent* owner, TWindow* parent, int x = 0, int y = 0, int width = 121,
           int height = 21);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  bool AutoSelect = true;
  bool ReadOnly() const;
  void SetReadOnly(bool readOnly);
  // Decimals shown and typed (below 0: any number typed, shown with 2); integer digits that
  // may be typed (0 or below: any).
  int8_t Decimals = 0;
  int8_t Digits = 0;
  TNumberFormat NumberFormat = Standard;

  std::string Text() const { return Caption(); }
  void SetText(const std::string& text) { SetCaption(text); }
  // The text as a number; text that is no number (pasted, say) reads as 0.
  double Value() const;
  void SetValue(double value);
  int64_t GetAsInteger() const;
  // Sets the text only when it differs.
  void SetAsInteger(int64_t value);
  // The text of a value in the edit's format.
  std::string ValueText(double value) const;
  void SelectAll() { Send(EM_SETSEL, 0, -1); }

  TNotifyEvent OnChange, OnEnter, OnExit;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;

 private:
  tNumEditState State() const;
  void Apply(const tNumEditState& state);
  void PressDefaultButton();

  TAlignment alignment_ = taLeftJustify;
  bool selectOnMouseUp_ = false;
};
