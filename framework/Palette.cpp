#include "framework/Palette.h"

TSelectedPalette::TSelectedPalette(HDC dc, HPALETTE palette, bool background) : dc_(dc) {
  if (!palette) return;
  old_ = SelectPalette(dc, palette, background);
  RealizePalette(dc);
}

TSelectedPalette::~TSelectedPalette() {
  if (old_) SelectPalette(dc_, old_, TRUE);
}

namespace {
// Realises the palette in the form's context; true when colours of the system palette changed.
bool Realize(TWindow& form, HPALETTE palette, bool background) {
  if (!palette || !form.HandleAllocated()) return false;
  HDC dc = GetDC(form.Handle());
  HPALETTE old = SelectPalette(dc, palette, background);
  const UINT changed = RealizePalette(dc);
  SelectPalette(dc, old, TRUE);
  ReleaseDC(form.Handle(), dc);
  return changed > 0;
}

void RepaintAll(TWindow& form) {
  RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
}
}  // namespace

void HandlePaletteMessages(TWindow& form, std::function<HPALETTE()> getPalette) {
  TWindow* self = &form;
  form.OnMessage(WM_QUERYNEWPALETTE, [self, getPalette](WPARAM, LPARAM) -> LRESULT {
    if (Realize(*self, getPalette(), false)) RepaintAll(*self);
    return TRUE;
  });
  form.OnMessage(WM_PALETTECHANGED, [self, getPalette](WPARAM w, LPARAM) -> LRESULT {
    // Our own realising does not call for another round.
    HWND from = reinterpret_cast<HWND>(w);
    if (from == self->Handle() || IsChild(self->Handle(), from)) return 0;
    if (Realize(*self, getPalette(), true)) RepaintAll(*self);
    return 0;
  });
}

void PaletteChanged(TWindow& form) {
  if (form.HandleAllocated()) form.Send(WM_QUERYNEWPALETTE);
}
