// The clipboard's bitmap and text.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class TBitmap;

// The clipboard holds a bitmap (as a device-independent or a device bitmap).
bool ClipboardHasBitmap();
// The clipboard's bitmap as a whole BMP file image (file header, info header, colour table,
// rows); false when it holds none.
bool GetClipboardBmpImage(std::vector<uint8_t>& image);
// Puts a copy of the bitmap on the clipboard (as a device-independent bitmap).
bool SetClipboardBitmap(TBitmap& bitmap);
bool SetClipboardText(const std::string& text);
std::string GetClipboardText();
