// The mask combo and the folder combos: leaving the mask combo applies its mask (Enter there
// only moves on), the first window keeps the mask history that is saved, and the drop-down
// lists of the drive, history and bookmark combos are as long as the folder list below them.
#include <windows.h>

#include "foundation/uUtil.h"
#include "shell/ViewerForm.h"

void TViewerForm::ConnectMaskCommands() {
  cbMask->OnExit = [this](TComponent*) {
    if (Closing) return;
    std::string mask = cbMask->Text();
    if (mask.empty()) {
      mask = Orvex_FilterCombo1->GetMask();
      cbMask->SetText(mask);
    }
    // Passing through the box changes nothing.
    if (!mask.empty() && mask != Orvex_FileList1->Mask()) SetFileMask(mask);
  };
  // Enter in the mask combo (typed into its edit box, seen through the window's key preview)
  // moves the focus on, which leaves the combo.
  TKeyEvent previous = OnKeyDown;
  OnKeyDown = [this, previous](TComponent* sender, WORD& key, TShiftState shift) {
    const HWND focus = GetFocus();
    const HWND mask = cbMask->Handle();
    if (key == VK_RETURN && focus && (focus == mask || IsChild(mask, focus))) {
      key = 0;
      if (HWND next = GetNextDlgTabItem(Handle(), focus, FALSE)) ::SetFocus(next);
      return;
    }
    if (previous) previous(sender, key, shift);
  };
  for (TComboBox* combo : {static_cast<TComboBox*>(Orvex_DriveCombo1),
                           static_cast<TComboBox*>(cbDir), static_cast<TComboBox*>(cbMarks)})
    combo->OnDropDown = [this, combo](TComponent*) {
      combo->SetDropDownRows(
          DropDownRowCount(Orvex_DirList1->Height(), combo->ListItemHeight(), combo->Count()));
    };
}

void TViewerForm::KeepMaskHistory() {
  // The first window's list is the one that is saved.
  if (!ViewerForm || ViewerForm == this) return;
  ViewerForm->cbMask->Clear();
  for (int i = 0; i < cbMask->Count(); ++i) ViewerForm->cbMask->Add(cbMask->String(i));
}
