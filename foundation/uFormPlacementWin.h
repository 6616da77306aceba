// A header control's section widths as a comma text and back, and forms placed inside the
// screen, restored to a stored place and size, and measured for their frames.
#pragma once
#include <windows.h>

#include <string>

#include "foundation/uFormPlacement.h"
#include "framework/Form.h"
#include "framework/Header.h"

// "160,18,18,136": every section's width in order; '' without sections.
std::string HeaderWidthsToText(const THeaderControl& header);
// Pieces that are whole numbers set the width of the section of their place; the header is
// repainted.
void HeaderWidthsFromText(THeaderControl& header, const std::string& text);

// Moves the form to the point, keeping its right and bottom edges on the full screen.
void PlaceFormAt(TForm& form, POINT at);
// The stored size always; the stored place when its corner is on the screen with 20 pixels to
// spare (poDesigned), else the system's place (poDefaultPosOnly).
void RestoreFormBounds(TForm& form, const tFormBounds& bounds);
// The form's non-client size across (false) or down (true).
int FormFrameSize(const TForm& form, bool vertical);
