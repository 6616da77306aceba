// The program's own window messages (WM_USER + n), shared by the windows that send and receive
// them.
#pragma once

constexpr unsigned kWmUser = 1024;
constexpr unsigned WM_CLOSE_REQUEST = kWmUser + 87;
constexpr unsigned WM_VIEWER_SHOWN = kWmUser + 88;
constexpr unsigned WM_REFRESHLIST = kWmUser + 101;
constexpr unsigned WM_DEFERRED_START = kWmUser + 102;
constexpr unsigned WM_FOLDER_CHANGED = kWmUser + 114;
constexpr unsigned WM_WINDOWCLOSED = kWmUser + 117;
constexpr unsigned WM_THUMBS_START = kWmUser + 118;
constexpr unsigned WM_THUMBS_NEXT = kWmUser + 119;
constexpr unsigned WM_THUMBS_BUILD = kWmUser + 120;
constexpr unsigned WM_THUMBS_RESET = kWmUser + 121;
constexpr unsigned WM_SELECTFILE = kWmUser + 122;
