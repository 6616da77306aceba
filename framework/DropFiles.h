// Files dropped from the shell onto a window.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

// Accepts or refuses shell drops on the window.
void AcceptDroppedFiles(HWND window, bool accept);
// The names of a WM_DROPFILES drop and the point (client coordinates of the window it was
// dropped on; inClient false when it fell on the frame); the drop is finished (DragFinish).
std::vector<std::string> TakeDroppedFiles(HDROP drop, POINT& point, bool& inClient);
