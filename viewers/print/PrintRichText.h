// Printing the text of a rich edit control as one document on the printer: the control lays
// out and renders each page; where it renders nothing (Wine's rich edit formats no ranges) the
// rest of its text goes out as word-wrapped lines in the given font instead.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "framework/Canvas.h"

struct tRichPrintMargins {
  int LeftChars = 6, RightChars = 3;  // in widths of "W" of the font
  int TopLines = 2, BottomLines = 0;  // in heights of "H" of the font
};

// Prints the control's text under the title (the spooler's document name); pageHeader, when
// set, draws on each page before its text (the margins leave it room). Ends the document, or
// leaves it aborted when the printing form's Cancel was pressed. False when the printer
// refused the document.
bool PrintRichTextDocument(HWND richEdit, const TFont& font, const std::string& title,
                           const tRichPrintMargins& margins,
                           const std::function<void()>& pageHeader = nullptr);
