#include "foundation/cFileCtlRename.h"

TOrvex_RenameForm::TOrvex_RenameForm(TComponent* owner, HWND ownerWindow)
    : TForm(owner, bsNone, ownerWindow) {
  KeyPreview = true;
  Edit = new TEdit(this, this, 0, 0, 100, 20);
  ActiveControl = Edit;
}

void TOrvex_RenameForm::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_RETURN || key == VK_ESCAPE) {
    ModalResult = key == VK_RETURN ? mrOk : mrCancel;
    key = 0;
    return;
  }
  TForm::KeyDown(key, shift);
}

LRESULT TOrvex_RenameForm::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE: {
      // The form holds the mouse: a press outside the edit accepts; inside, the edit gets it.
      POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
      RECT r = Edit->BoundsRect();
      if (PtInRect(&r, p)) {
        POINT e{p.x - r.left, p.y - r.top};
        Edit->Send(message, w, MAKELPARAM(e.x, e.y));
        if (!MouseCapture() && ModalResult == mrNone) SetMouseCapture(true);
      } else if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
        ModalResult = mrOk;
      }
      return 0;
    }
  }
  return TForm::WndProc(message, w, l);
}

bool EditNameInPlace(TWindow& list, const RECT& cell, const std::string& oldName,
                     std::string& newName) {
  TOrvex_RenameForm form(nullptr, GetAncestor(list.Handle(), GA_ROOT));
  form.Font() = list.Font();
  form.Edit->Font() = list.Font();
  const int w = cell.right - cell.left, h = cell.bottom - cell.top;
  POINT p = list.ClientToScreen({cell.left, cell.top});
  form.SetBounds(p.x, p.y, w, h);
  form.Edit->SetBounds(0, 0, w, h);
  form.Edit->SetText(oldName);
  form.Edit->SelectAll();
  form.SetClientSize(form.Edit->Width(), form.Edit->Height());
  form.OnShow = [&form](TComponent*) { form.SetMouseCapture(true); };
  int result = form.ShowModal();
  form.SetMouseCapture(false);
  if (result != mrOk) return false;
  newName = form.Edit->Text();
  return true;
}
