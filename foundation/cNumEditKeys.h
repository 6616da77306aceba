// The number edit's decisions that need no window: what a typed character does to the text, the
// caret and the selection, and how the text reads as a number. Texts are UTF-16 as the edit
// control holds them, so positions are the control's own.
#pragma once
#include <string>

struct tNumEditState {
  std::u16string Text;
  int SelStart = 0;  // the caret when nothing is selected
  int SelLength = 0;
};

struct tNumEditOptions {
  int Decimals = 0;  // below 0: any number of decimals
  int Digits = 0;    // integer digits at most; 0 or below: no limit
  bool ReadOnly = false;
  char16_t DecimalSeparator = u'.';
};

enum class tNumKey {
  Pass,     // not ours: the edit control does what it does (read-only edits, copy, cut, paste)
  Dropped,  // swallowed, the state may have changed (caret, selection, sign, text)
};

// A character typed into the edit (Enter is the window's business and never reaches here).
tNumKey NumEditChar(tNumEditState& state, char16_t key, const tNumEditOptions& options);
// Backspace (forward false) or Delete (forward true): the selection, or one character before or
// after the caret. False when nothing could be deleted.
bool NumEditDelete(tNumEditState& state, bool forward);

// The number the text stands for: thousands separators dropped, "" as 0, "-" as -0; text that
// is no number (pasted, say) reads as 0. thousands 0: the locale has none.
double NumEditTextValue(const std::u16string& text, char16_t thousands, char16_t decimal);
