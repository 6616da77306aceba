#include "framework/Clipboard.h"

#include <windows.h>

#include <cstring>

#include "framework/Bitmap.h"
#include "framework/Text.h"

namespace {
// Open for the life of the object; the clipboard is shared, so keep it short.
class TOpenClipboard {
 public:
  TOpenClipboard() : open_(OpenClipboard(nullptr) != 0) {}
  ~TOpenClipboard() {
    if (open_) CloseClipboard();
  }
  bool Open() const { return open_; }

 private:
  bool open_;
};

bool PutData(UINT format, const void* data, size_t size) {
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!g) return false;
  void* p = GlobalLock(g);
  std::memcpy(p, data, size);
  GlobalUnlock(g);
  TOpenClipboard clip;
  if (!clip.Open() || !EmptyClipboard() || !SetClipboardData(format, g)) {
    GlobalFree(g);
    return false;
  }
  return true;
}
}  // namespace

bool ClipboardHasBitmap() {
  return IsClipboardFormatAvailable(CF_DIB) || IsClipboardFormatAvailable(CF_BITMAP);
}

bool GetClipboardBmpImage(std::vector<uint8_t>& image) {
  image.clear();
  if (!ClipboardHasBitmap()) return false;
  TOpenClipboard clip;
  if (!clip.Open()) return false;
  HANDLE h = GetClipboardData(CF_DIB);
  if (!h) return false;
  const size_t size = GlobalSize(h);
  const auto* dib = static_cast<const uint8_t*>(GlobalLock(h));
  if (!dib) return false;
  bool ok = false;
  if (size >= sizeof(BITMAPINFOHEADER)) {
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof header);
    const int table = DibColorTableSize(header);
    // The reader checks the rest; a header that describes no bitmap is refused here.
    if (table >= 0 && header.biSize >= sizeof header && header.biSize + size_t(table) <= size) {
      BITMAPFILEHEADER file{};
      file.bfType = 0x4D42;
      file.bfSize = static_cast<DWORD>(sizeof file + size);
      file.bfOffBits = static_cast<DWORD>(sizeof file + header.biSize + size_t(table));
      image.resize(sizeof file + size);
      std::memcpy(image.data(), &file, sizeof file);
      std::memcpy(image.data() + sizeof file, dib, size);
      ok = true;
    }
  }
  GlobalUnlock(h);
  return ok;
}

bool SetClipboardBitmap(TBitmap& bitmap) {
  std::vector<uint8_t> info, bits;
  if (!bitmap.GetDIB(info, bits)) return false;
  std::vector<uint8_t> dib(info);
  dib.insert(dib.end(), bits.begin(), bits.end());
  return PutData(CF_DIB, dib.data(), dib.size());
}

bool SetClipboardText(const std::string& text) {
  std::wstring w = Utf8ToWide(text);
  return PutData(CF_UNICODETEXT, w.c_str(), (w.size() + 1) * sizeof(wchar_t));
}

std::string GetClipboardText() {
  TOpenClipboard clip;
  if (!clip.Open()) return {};
  HANDLE h = GetClipboardData(CF_UNICODETEXT);
  if (!h) return {};
  const auto* p = static_cast<const wchar_t*>(GlobalLock(h));
  if (!p) return {};
  std::wstring w(p, wcsnlen(p, GlobalSize(h) / sizeof(wchar_t)));
  GlobalUnlock(h);
  return WideToUtf8(w);
}
