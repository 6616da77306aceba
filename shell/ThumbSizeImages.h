// The sample picture "BTNSTRIP" at every thumbnail size, for the options dialog's size page.
#pragma once
#include "framework/Bitmap.h"

// The sample fitted into the thumbnail box of the size code (4 to 12), made once for the
// program; nullptr for another code or when the sample cannot be loaded.
TBitmap* ThumbSizeImage(int code);
