// Hands a tMemBmp to Win32 as a device-independent bitmap for the screen.
#pragma once
#include <windows.h>

#include "imaging/uMemBmp.h"

// A DIB section with the picture's rows and colour table; the caller deletes it (DeleteObject).
// 15- and 16-bit pictures go through a 24-bit copy, since their masks may not be 5-5-5; palette
// pictures get a full table, black past their own colours. Null when the picture has no layout
// or the bitmap cannot be made.
HBITMAP AssignToBitmap(tMemBmp& picture);
