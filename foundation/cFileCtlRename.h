// In-place renaming for the file and folder lists: a borderless form holding one edit box,
// placed over a name cell. Enter or a click outside the edit accepts, Esc cancels.
#pragma once
#include <string>

#include "framework/Edit.h"
#include "framework/Form.h"

class TOrvex_RenameForm : public TForm {
 public:
  TOrvex_RenameForm(TComponent* owner, HWND ownerWindow);
  TEdit* Edit;

 protected:
  void KeyDown(WORD& key, TShiftState shift) override;
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
};

// Runs the rename form over a cell (in the list's client coordinates) in the list's font,
// starting with the old name selected; true with the new name when the user accepted.
bool EditNameInPlace(TWindow& list, const RECT& cell, const std::string& oldName,
                     std::string& newName);
