#include "imaging/formats/gWMFWin.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/formats/gByteRows.h"

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr int kPlaceableHeader = 22;
constexpr int kTwipsPerInch = 1440;
// Metafiles larger than this are not read into memory.
constexpr int32_t kMaxMetafile = 64 << 20;
// Escapes reach a device driver, never our bitmap: they are left out when playing.
constexpr DWORD kEmrDrawEscape = 105, kEmrExtEscape = 106, kEmrNamedEscape = 110;

struct tWmfState : tCodecState {
  std::unique_ptr<tGraphicID> Nested;  // owns its "temp" stream once identified
};

// A metafile ready to play: either kind of handle and the picture size in pixels.
struct tMetafile {
  HMETAFILE Wmf = nullptr;
  HENHMETAFILE Emf = nullptr;
  int Width = 0, Height = 0;
  // Placeable and plain metafiles with a window: the window that fills the picture.
  bool Mapped = false;
  int WindowX = 0, WindowY = 0, WindowWidth = 0, WindowHeight = 0;
  // Plain metafiles without a window draw in device units; this shifts their drawing in.
  int OriginX = 0, OriginY = 0;
  ~tMetafile() {
    if (Wmf) DeleteMetaFile(Wmf);
    if (Emf) DeleteEnhMetaFile(Emf);
  }
};

int ScreenDpi(int index) {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, index);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int16_t GetS16(const uint8_t* p) { return static_cast<int16_t>(GetLE16(p)); }

int CALLBACK PlayWmfRecord(HDC dc, HANDLETABLE* table, METARECORD* record, int objects, LPARAM) {
  if (record->rdFunction != META_ESCAPE) PlayMetaFileRecord(dc, table, record, objects);
  return 1;
}

int CALLBACK PlayEmfRecord(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record, int objects,
                           LPARAM) {
  const DWORD type = record->iType;
  if (type != kEmrDrawEscape && type != kEmrExtEscape && type != kEmrNamedEscape)
    PlayEnhMetaFileRecord(dc, table, record, static_cast<UINT>(objects));
  return 1;
}

// The first window origin and extent a plain metafile sets, if any.
bool FindWindowRecords(const std::vector<uint8_t>& data, int& x, int& y, int& w, int& h) {
  bool haveExt = false, haveOrg = false;
  x = y = 0;
  const uint32_t headerWords = GetLE16(data.data() + 2);
  for (size_t p = size_t(headerWords) * 2; p + 6 <= data.size();) {
    const uint32_t words = GetLE32(data.data() + p);
    const uint16_t function = GetLE16(data.data() + p + 4);
    if (words < 3 || words > (data.size() - p) / 2) break;
    if (function == 0 || (haveExt && haveOrg)) break;
    if (words >= 5 && function == META_SETWINDOWEXT && !haveExt) {
      h = GetS16(data.data() + p + 6), w = GetS16(data.data() + p + 8);
      haveExt = true;
    } else if (words >= 5 && function == META_SETWINDOWORG && !haveOrg) {
      y = GetS16(data.data() + p + 6), x = GetS16(data.data() + p + 8);
      haveOrg = true;
    }
    p += size_t(words) * 2;
  }
  return haveExt && w != 0 && h != 0;
}

// Where a metafile drawing in device units puts its ink: recorded into an enhanced metafile,
// whose header then holds the bounds.
bool DrawnBounds(HMETAFILE wmf, RECT& bounds) {
  HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  if (!recorder) return false;
  EnumMetaFile(recorder, wmf, PlayWmfRecord, 0);
  HENHMETAFILE recorded = CloseEnhMetaFile(recorder);
  if (!recorded) return false;
  ENHMETAHEADER header{};
  const bool ok = GetEnhMetaFileHeader(recorded, sizeof header, &header) == sizeof header;
  DeleteEnhMetaFile(recorded);
  bounds = {header.rclBounds.left, header.rclBounds.top, header.rclBounds.right,
            header.rclBounds.bottom};
  return ok && bounds.right >= bounds.left && bounds.bottom >= bounds.top;
}

int Scaled(int units, int dpi, int perInch) { return MulDiv(std::abs(units), dpi, perInch); }

// Loads the metafile and works out its size; false when GDI does not take it.
bool LoadMetafile(const std::vector<uint8_t>& data, tMetafile& m) {
  const int dpiX = ScreenDpi(LOGPIXELSX), dpiY = ScreenDpi(LOGPIXELSY);
  if (data.size() >= sizeof(ENHMETAHEADER) && GetLE32(data.data()) == EMR_HEADER &&
      GetLE32(data.data() + 40) == ENHMETA_SIGNATURE) {
    m.Emf = SetEnhMetaFileBits(static_cast<UINT>(data.size()), data.data());
    if (!m.Emf) return false;
    ENHMETAHEADER header{};
    if (GetEnhMetaFileHeader(m.Emf, sizeof header, &header) != sizeof header) return false;
    // The frame is in hundredths of a millimetre.
    m.Width = Scaled(header.rclFrame.right - header.rclFrame.left, dpiX, 2540);
    m.Height = Scaled(header.rclFrame.bottom - header.rclFrame.top, dpiY, 2540);
    return true;
  }
  if (data.size() >= kPlaceableHeader + 18 && GetLE32(data.data()) == kPlaceableKey) {
    const uint8_t* h = data.data();
    const int left = GetS16(h + 6), top = GetS16(h + 8), right = GetS16(h + 10),
              bottom = GetS16(h + 12), inch = GetLE16(h + 14);
    if (inch == 0) return false;
    m.Wmf =
        SetMetaFileBitsEx(static_cast<UINT>(data.size() - kPlaceableHeader), h + kPlaceableHeader);
    if (!m.Wmf) return false;
    m.Width = Scaled(right - left, dpiX, inch);
    m.Height = Scaled(bottom - top, dpiY, inch);
    m.Mapped = true;
    m.WindowX = left, m.WindowY = top, m.WindowWidth = right - left, m.WindowHeight = bottom - top;
    return true;
  }
  const uint16_t type = data.size() >= 18 ? GetLE16(data.data()) : 0;
  if ((type != 1 && type != 2) || GetLE16(data.data() + 2) != 9) return false;
  m.Wmf = SetMetaFileBitsEx(static_cast<UINT>(data.size()), data.data());
  if (!m.Wmf) return false;
  if (FindWindowRecords(data, m.WindowX, m.WindowY, m.WindowWidth, m.WindowHeight)) {
    // No unit is given: the window is taken in twips, as most placeable metafiles use.
    m.Mapped = true;
    m.Width = Scaled(m.WindowWidth, dpiX, kTwipsPerInch);
    m.Height = Scaled(m.WindowHeight, dpiY, kTwipsPerInch);
    return true;
  }
  RECT bounds;
  if (!DrawnBounds(m.Wmf, bounds)) return false;
  // Device units: the picture reaches from the origin (or the ink, when left of it) to the ink.
  m.OriginX = std::min<LONG>(0, bounds.left), m.OriginY = std::min<LONG>(0, bounds.top);
  m.Width = bounds.right + 1 - m.OriginX, m.Height = bounds.bottom + 1 - m.OriginY;
  return true;
}

// Plays the metafile onto a white 24-bit bitmap and returns it as a BMP file image.
bool Render(const tMetafile& m, std::vector<uint8_t>& bmp) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = m.Width;
  info.bmiHeader.biHeight = m.Height;  // bottom-up, as a BMP file stores it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  const size_t stride = (size_t(m.Width) * 3 + 3) & ~size_t(3), image = stride * m.Height;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + image);
  info.bmiHeader.biSizeImage = static_cast<DWORD>(image);
  // The file image is had first: when memory runs out, nothing of GDI's is held yet.
  bmp.resize(file.bfSize);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib || !bits) {
    if (dib) DeleteObject(dib);
    return false;
  }
  std::memset(bits, 0xFF, image);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, dib);
  RECT all = {0, 0, m.Width, m.Height};
  if (m.Emf) {
    EnumEnhMetaFile(dc, m.Emf, PlayEmfRecord, nullptr, &all);
  } else {
    const int saved = SaveDC(dc);
    if (m.Mapped) {
      SetMapMode(dc, MM_ANISOTROPIC);
      SetWindowOrgEx(dc, m.WindowX, m.WindowY, nullptr);
      SetWindowExtEx(dc, m.WindowWidth, m.WindowHeight, nullptr);
      SetViewportExtEx(dc, m.Width, m.Height, nullptr);
    } else {
      SetViewportOrgEx(dc, -m.OriginX, -m.OriginY, nullptr);
    }
    EnumMetaFile(dc, m.Wmf, PlayWmfRecord, 0);
    RestoreDC(dc, saved);
  }
  GdiFlush();
  SelectObject(dc, old);
  DeleteDC(dc);
  std::memcpy(bmp.data(), &file, sizeof file);
  std::memcpy(bmp.data() + sizeof file, &info.bmiHeader, sizeof info.bmiHeader);
  std::memcpy(bmp.data() + file.bfOffBits, bits, image);
  DeleteObject(dib);
  return true;
}

const tGraphicFile kMetafileHandler = {IdentifyWMF, LoadWMF, NoNextImage};

}  // namespace

void IdentifyWMF(tGraphicID& id) {
  if (!HasExtension(id.FileName, ".wmf") && !HasExtension(id.FileName, ".emf")) return;
  tBuffStream& s = *id.Stream;
  s.Rewind();
  const int32_t size = s.Size - s.Base;
  if (size <= 0 || size > kMaxMetafile) return;
  std::vector<uint8_t> data(static_cast<size_t>(size));
  if (s.ReadAt(0, data.data(), size) != size) return;
  tMetafile m;
  if (!LoadMetafile(data, m) || !ValidPictureSize(m.Width, m.Height, 280)) return;
  std::vector<uint8_t> bmp;
  if (!Render(m, bmp)) return;

  auto st = std::make_unique<tWmfState>();
  auto* stream = new tBuffStream("temp", std::make_unique<TMemoryStream>(std::move(bmp)), false);
  st->Nested = std::make_unique<tGraphicID>(stream);
  tGraphicID& nested = *st->Nested;
  if (!nested.IdentifyPicture()) {
    delete stream;
    return;
  }
  id.FormatId = fmtWMF;
  id.SubType = m.Emf ? "\"enhanced\"" : "";
  id.Width = nested.Width;
  id.Height = nested.Height;
  id.BitsPerPixel = nested.BitsPerPixel;
  id.Colors = nested.Colors;
  id.GrayFlag = nested.GrayFlag;
  id.HasPalette = nested.HasPalette;
  tMemBmp& inner = *nested.Bitmap;
  id.Bitmap = std::make_unique<tMemBmp>();
  id.Bitmap->AllowDeepColor = inner.AllowDeepColor;
  id.Bitmap->Allocate(inner.Width(), inner.Height(), inner.GrayFlag,
                      inner.PaletteSize ? inner.ColorTable : nullptr, inner.ColorCount(),
                      inner.BitCount());
  id.CodecState = std::move(st);
}

void LoadWMF(tGraphicID& id) {
  auto* st = dynamic_cast<tWmfState*>(id.CodecState.get());
  if (st && st->Nested) {
    tGraphicID& nested = *st->Nested;
    nested.LoadPicture();
    if (nested.ErrorCode) id.ErrorCode = nested.ErrorCode;
    tMemBmp& inner = *nested.Bitmap;
    if (inner.HasLayout())
      std::memcpy(id.Bitmap->Bits, inner.Bits, std::min(inner.ImageSize, id.Bitmap->ImageSize));
  }
  id.NotifyImageDone();
  id.FinishDecoding();
  if (st) st->Nested.reset();
}

void InstallMetafileReader() { SetMetafileHandler(&kMetafileHandler); }
