// The screen saver's dealings with the system before and around its show: the main program
// found through its open command in the registry, the password change and check through the
// system's libraries (loaded when present), the single-instance semaphore, the settings handed
// to the main program, and the preview drawn into the display settings' window.
#pragma once
#include <windows.h>

#include <string>

#include "screensaver/uSaverCommand.h"

// Set once at start: the main program and its folder (with a trailing backslash).
extern std::string MainProgramPath, MainProgramFolder;
extern tSaverMode SaverMode;
extern HWND SaverParentWindow;

// The main program's path from its open command; '' when it is not registered.
std::string GetMainProgramPath(const std::string& maker, const std::string& product);
// Sets MainProgramPath and MainProgramFolder; false when the main program is not registered.
bool FindMainProgram();

// The system's password change for screen savers (library "MPR.DLL"): skipped when the library
// or its function is missing. The library can be named for tests.
void ChangeSaverPassword(HWND parent, const wchar_t* library = L"MPR.DLL");
// True when the show may end: always outside run mode, and unless the user's desktop asks for
// a password ("ScreenSaveUsePassword" = 1) and the system's check ("PASSWORD.CPL") refuses.
bool VerifySaverPassword(HWND window, tSaverMode mode, const wchar_t* library = L"PASSWORD.CPL");

// The named semaphore that keeps one copy running; null when another copy holds it.
HANDLE CreateInstanceSemaphore(const std::string& name);
void CloseInstanceSemaphore(HANDLE& semaphore);

// Starts the main program with " /c" (its screen saver settings); false when it cannot start.
bool RunSettings(const std::string& programPath);

// Moves the program's icon about inside the parent window until the parent is hidden or gone.
// Returns at once for a handle that is no window.
void ShowPreview(HWND parent, HICON icon);

// The program's main sequence; returns the exit code.
int ScreenSaverStartup();
