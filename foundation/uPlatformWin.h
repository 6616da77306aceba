// The Win32 implementation of the platform interface, installed by the programs at start-up.
#pragma once

void InstallWin32Platform();
