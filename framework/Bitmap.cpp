#include "framework/Bitmap.h"

#include <cstring>

#include "framework/Text.h"

namespace {
// The largest side a picture may have (pictures with a palette; true colour stays smaller).
constexpr long kMaxSide = 30000;

HBITMAP NewDib(const BITMAPINFO* info, void** bits) {
  HDC screen = GetDC(nullptr);
  HBITMAP h = CreateDIBSection(screen, info, DIB_RGB_COLORS, bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  return h;
}

size_t RowBytes(long width, int bitCount) {
  return ((static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 31) / 32) * 4;
}
}  // namespace

int DibColorTableSize(const BITMAPINFOHEADER& h) {
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > sizeof(BITMAPV5HEADER)) return -1;
  if (h.biWidth < 1 || h.biWidth > kMaxSide || h.biHeight == 0 || h.biHeight > kMaxSide ||
      h.biHeight < -kMaxSide || h.biPlanes != 1)
    return -1;
  switch (h.biBitCount) {
    case 1:
    case 4:
    case 8: {
      if (h.biCompression != BI_RGB) return -1;
      DWORD most = 1u << h.biBitCount;
      DWORD used = h.biClrUsed ? h.biClrUsed : most;
      return used > most ? -1 : static_cast<int>(used * 4);
    }
    case 16:
    case 32:
      if (h.biCompression == BI_BITFIELDS) return h.biSize == sizeof(BITMAPINFOHEADER) ? 12 : 0;
      if (h.biCompression != BI_RGB) return -1;
      return h.biClrUsed > 256 ? -1 : static_cast<int>(h.biClrUsed * 4);
    case 24:
      if (h.biCompression != BI_RGB) return -1;
      return h.biClrUsed > 256 ? -1 : static_cast<int>(h.biClrUsed * 4);
  }
  return -1;
}

TBitmap::~TBitmap() { Free(); }

void TBitmap::Free() {
  Dormant();
  canvas_.reset();
  if (handle_) DeleteObject(handle_);
  handle_ = nullptr;
  width_ = height_ = 0;
  if (palette_) DeleteObject(palette_);
  palette_ = nullptr;
}

HPALETTE TBitmap::Palette() {
  if (palette_ || !handle_) return palette_;
  DIBSECTION ds{};
  if (GetObjectW(handle_, sizeof ds, &ds) != sizeof ds || ds.dsBmih.biBitCount > 8) return nullptr;
  RGBQUAD table[256];
  const UINT n = GetDIBColorTable(Canvas().Handle(), 0, 256, table);
  if (n == 0) return nullptr;
  std::vector<uint8_t> block(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(block.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(n);
  for (UINT i = 0; i < n; ++i)
    lp->palPalEntry[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
  palette_ = CreatePalette(lp);
  return palette_;
}

void TBitmap::Dormant() {
  if (canvas_ && canvas_->Handle()) {
    HDC dc = canvas_->Handle();
    canvas_->SetHandle(nullptr);
    SelectObject(dc, oldBitmap_);
    DeleteDC(dc);
    oldBitmap_ = nullptr;
  }
}

void TBitmap::Assign(HBITMAP handle) {
  Free();
  handle_ = handle;
  BITMAP bm{};
  if (handle_ && GetObjectW(handle_, sizeof bm, &bm)) {
    width_ = bm.bmWidth;
    height_ = bm.bmHeight;
  }
}

bool TBitmap::SetSize(int width, int height) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP h = NewDib(&info, &bits);
  if (!h) return false;
  std::memset(bits, 0xFF, RowBytes(width, 24) * static_cast<size_t>(height));
  Assign(h);
  return true;
}

bool TBitmap::LoadFromResourceName(const std::string& name, HINSTANCE module) {
  HANDLE h = LoadImageW(module ? module : GetModuleHandleW(nullptr), Utf8ToWide(name).c_str(),
                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!h) return false;
  Assign(static_cast<HBITMAP>(h));
  return true;
}

bool TBitmap::LoadFromDIB(const BITMAPINFO* info, const void* bits) {
  const BITMAPINFOHEADER& hdr = info->bmiHeader;
  if (DibColorTableSize(hdr) < 0) return false;
  void* target = nullptr;
  HBITMAP h = NewDib(info, &target);
  if (!h) return false;
  long rows = hdr.biHeight < 0 ? -static_cast<long>(hdr.biHeight) : hdr.biHeight;
  std::memcpy(target, bits, RowBytes(hdr.biWidth, hdr.biBitCount) * static_cast<size_t>(rows));
  Assign(h);
  return true;
}

bool TBitmap::LoadFromBmpImage(const void* data, size_t size) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  if (!p) return false;
  size_t headerAt = 0, bitsAt = 0;
  bool fileHeader = size >= 14 && p[0] == 'B' && p[1] == 'M';
  if (fileHeader) {
    headerAt = 14;
    uint32_t offBits;
    std::memcpy(&offBits, p + 10, 4);
    bitsAt = offBits;
  }
  if (size < headerAt + sizeof(BITMAPINFOHEADER)) return false;
  // Copied out so the header is aligned whatever the buffer's alignment.
  BITMAPINFOHEADER hdr;
  std::memcpy(&hdr, p + headerAt, sizeof hdr);
  int table = DibColorTableSize(hdr);
  if (table < 0) return false;
  size_t infoSize = static_cast<size_t>(hdr.biSize) + static_cast<size_t>(table);
  if (size - headerAt < infoSize) return false;
  if (!fileHeader) bitsAt = headerAt + infoSize;
  if (bitsAt < headerAt + infoSize || bitsAt > size) return false;
  long rows = hdr.biHeight < 0 ? -static_cast<long>(hdr.biHeight) : hdr.biHeight;
  size_t need = RowBytes(hdr.biWidth, hdr.biBitCount) * static_cast<size_t>(rows);
  if (size - bitsAt < need) return false;
  std::vector<uint8_t> info(p + headerAt, p + headerAt + infoSize);
  return LoadFromDIB(reinterpret_cast<const BITMAPINFO*>(info.data()), p + bitsAt);
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>();
  if (!canvas_->Handle() && handle_) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    oldBitmap_ = SelectObject(dc, handle_);
    canvas_->SetHandle(dc);
  }
  return *canvas_;
}

bool TBitmap::GetDIB(std::vector<uint8_t>& info, std::vector<uint8_t>& bits) {
  if (!handle_) return false;
  Dormant();
  BITMAP bm{};
  if (!GetObjectW(handle_, sizeof bm, &bm)) return false;
  int bitCount = bm.bmBitsPixel * bm.bmPlanes;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
    bitCount = 24;
  int colors = bitCount <= 8 ? (1 << bitCount) : 0;
  info.assign(sizeof(BITMAPINFOHEADER) + static_cast<size_t>(colors) * 4, 0);
  auto* bi = reinterpret_cast<BITMAPINFO*>(info.data());
  bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi->bmiHeader.biWidth = bm.bmWidth;
  bi->bmiHeader.biHeight = bm.bmHeight;
  bi->bmiHeader.biPlanes = 1;
  bi->bmiHeader.biBitCount = static_cast<WORD>(bitCount);
  bi->bmiHeader.biCompression = BI_RGB;
  bits.assign(RowBytes(bm.bmWidth, bitCount) * static_cast<size_t>(bm.bmHeight), 0);
  HDC screen = GetDC(nullptr);
  int got = GetDIBits(screen, handle_, 0, static_cast<UINT>(bm.bmHeight), bits.data(), bi,
                      DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return got == bm.bmHeight;
}
