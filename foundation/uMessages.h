// The private window messages that the program's windows send each other (WM_USER + n). The
// picture decoder's own messages are in imaging/uGraphic.h.
#pragma once

inline constexpr unsigned kWmUser = 0x0400;
inline constexpr unsigned WM_CLOSE_REQUEST = kWmUser + 87;   // asks a window to close
inline constexpr unsigned WM_VIEWER_SHOWN = kWmUser + 88;    // a viewer window was shown
inline constexpr unsigned WM_MEDIA_REFRESH = kWmUser + 94;   // the media window's own pacing
inline constexpr unsigned WM_REFRESHLIST = kWmUser + 101;    // done with a list its owner gave
inline constexpr unsigned WM_DEFERRED_START = kWmUser + 102; // start work after creation
inline constexpr unsigned WM_FOLDER_CHANGED = kWmUser + 114; // rescan the folder when idle
inline constexpr unsigned WM_THUMBS_START = kWmUser + 118;
inline constexpr unsigned WM_THUMBS_NEXT = kWmUser + 119;
inline constexpr unsigned WM_THUMBS_BUILD = kWmUser + 120;
inline constexpr unsigned WM_THUMBS_RESET = kWmUser + 121;
inline constexpr unsigned WM_SELECTFILE = kWmUser + 122;     // select a named file in the list
