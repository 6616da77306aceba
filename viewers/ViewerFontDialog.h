// The system's font dialog started from a font, which takes the choice on OK (the text and hex
// windows' font buttons).
#pragma once
#include <windows.h>

class TFont;

bool ChooseViewerFont(HWND owner, TFont& font);
