// The picture window's companion dialogs that live in their own units (whole-or-part choice,
// details, comments, GIF palette colours): they install themselves here, so the commands reach
// them without depending on their units. Until one is installed its fallback applies.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "framework/Bitmap.h"
#include "framework/Form.h"
#include "imaging/uGraphic.h"

// 1 the whole picture, 2 the selected part, 0 cancelled. Fallback: the whole picture.
using TFullOrClipChooser =
    std::function<int(TForm* owner, TBitmap& bitmap, const RECT& clip, const std::string& caption)>;
// The details window of a picture at a screen point. Fallback: none.
using TDetailsShower = std::function<void(TForm* window, tGraphicID& picture, POINT at)>;
// Edits the picture's comments, modally. Fallback: none.
using TCommentsEditor = std::function<void(TForm* owner, tGraphicID& picture)>;
// Background and transparent indexes of a GIF save. Fallback: none (unchanged).
using TPaletteColorChooser = std::function<void(TForm* owner, int colors, const uint8_t* palette,
                                                int32_t& transparent, int32_t& background)>;

void SetFullOrClipChooser(TFullOrClipChooser chooser);
void SetDetailsShower(TDetailsShower shower);
void SetCommentsEditor(TCommentsEditor editor);
void SetPaletteColorChooser(TPaletteColorChooser chooser);
bool HasDetailsShower();
bool HasCommentsEditor();

// The whole picture without asking when the selection is under 8 x 8 pixels.
int ChooseFullOrClipPart(TForm* owner, TBitmap& bitmap, const RECT& clip,
                         const std::string& caption);
void ShowDetailsOf(TForm* window, tGraphicID& picture, POINT at);
void EditCommentsOf(TForm* owner, tGraphicID& picture);
void ChooseGifColors(TForm* owner, int colors, const uint8_t* palette, int32_t& transparent,
                     int32_t& background);
