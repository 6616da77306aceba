// Utility routines that need a window.
#pragma once
#include <windows.h>

#include <string>

// The window's normal (restored) position and size, also while it is minimized or maximized.
// False, with zeros, when the handle names no window.
bool GetNormalBounds(HWND window, int& left, int& top, int& width, int& height);

// The running program's file (UTF-8), however long its path.
std::string ModuleFileName();
