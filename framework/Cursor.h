// Cursors from the program's resources, kept in numbered slots as the screen keeps its cursors:
// a window takes the cursor of a slot while it needs it (the picture window's grab hand).
#pragma once
#include <windows.h>

#include <string>

// A CURSOR resource of the program by name; null when there is none.
HCURSOR LoadCursorResource(const std::string& name);
// The cursor of a slot (null when none was set); setting replaces what was there.
HCURSOR CursorSlot(int slot);
void SetCursorSlot(int slot, HCURSOR cursor);
