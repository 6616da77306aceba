// The main window's messages besides those all windows share (foundation/uMessages.h).
#pragma once
#include "foundation/uMessages.h"

// Posted to the first main window when another main window closes.
inline constexpr unsigned WM_WINDOWCLOSED = kWmUser + 117;
