// Palettes on palette screens: a form answers the system's palette messages with the palette of
// what it shows (realised in the foreground when it becomes active, in the background when
// another window changed the system palette), and painting selects the same palette.
#pragma once
#include <windows.h>

#include <functional>

#include "framework/Window.h"

// Selects a palette into a context and realises it for the life of the object (nothing for a
// null palette); the context's previous palette comes back at the end.
class TSelectedPalette {
 public:
  TSelectedPalette(HDC dc, HPALETTE palette, bool background = true);
  ~TSelectedPalette();
  TSelectedPalette(const TSelectedPalette&) = delete;
  TSelectedPalette& operator=(const TSelectedPalette&) = delete;

 private:
  HDC dc_;
  HPALETTE old_ = nullptr;
};

// Installs the palette messages' handlers on the form: getPalette names the palette the form
// wants now (null: none), and the form is repainted when realising it changed the colours.
void HandlePaletteMessages(TWindow& form, std::function<HPALETTE()> getPalette);
// Tells the form that its palette changed (realised again as if the form had just become active).
void PaletteChanged(TWindow& form);
