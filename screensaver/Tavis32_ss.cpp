// The screen saver program: everything happens in its start-up sequence.
#include <windows.h>

#include "screensaver/uSaverSystem.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return ScreenSaverStartup(); }
