#include "imaging/uMemBmp.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace {

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

// The masked channel moved so that its top bit lands on bit 7 (or further for wide masks).
inline uint8_t Channel(uint32_t pixel, uint32_t mask, int32_t shift) {
  uint64_t v = pixel & mask;
  return static_cast<uint8_t>(shift >= 0 ? v >> shift : v << -shift);
}
inline uint32_t Unchannel(uint8_t value, uint32_t mask, int32_t shift) {
  uint64_t v = value;
  return static_cast<uint32_t>((shift >= 0 ? v << shift : v >> -shift) & mask);
}

}  // namespace

tMemBmp::tMemBmp() : Data(std::make_unique<TMemoryStream>()) {}
tMemBmp::~tMemBmp() = default;

void tMemBmp::Allocate(int width, int height, bool grayFlag, const uint8_t* palette, int colors,
                       int bits) {
  if (AllowOddDepths == 0 && bits >= 2 && bits <= 7) bits = 8;
  if (AllowDeepColor == 0) {
    bits = std::min(24, bits);
    colors = std::min(280, colors);
  }
  GrayFlag = grayFlag ? 1 : 0;
  width = std::max(0, width);
  height = std::max(0, height);

  int stored, entries;
  int64_t rowBytes;
  if (bits == 1) {
    stored = 1, rowBytes = (int64_t(width) + 7) / 8, entries = 2;
  } else if (bits >= 2 && bits <= 4) {
    stored = 4, rowBytes = (int64_t(width) + 1) / 2, entries = 16;
  } else if (bits >= 5 && bits <= 8) {
    stored = 8, rowBytes = width, entries = 256;
  } else if (bits >= 9 && bits <= 15) {
    stored = 15, rowBytes = int64_t(width) * 2, entries = 0;
  } else if (bits == 16) {
    stored = 16, rowBytes = int64_t(width) * 2, entries = 0;
  } else if (bits == 32) {
    stored = 32, rowBytes = int64_t(width) * 4, entries = 0;
  } else {
    stored = 24, rowBytes = int64_t(width) * 3, entries = 0;
  }
  int64_t stride = (rowBytes + 3) & ~int64_t(3);
  // The stride is a 16-bit field; a wider row cannot be laid out.
  if (stride > 0xFFFF) throw std::bad_alloc();
  uint32_t colorsUsed = 0;
  if (stored <= 8 && colors >= 2 && colors <= 255) {
    if (colors < entries) colorsUsed = static_cast<uint32_t>(colors);
    entries = colors;
  }
  uint64_t imageSize = uint64_t(stride) * uint64_t(height);
  uint64_t fileSize = kFileHeaderSize + kInfoHeaderSize + uint64_t(entries) * 4 + imageSize;
  if (fileSize > MaxDataSize || fileSize > 0xFFFFFFFFu) throw std::bad_alloc();

  // The old picture goes first, so that two never need memory at once.
  FileHeader = InfoHeader = ColorTable = Bits = nullptr;
  Data->Clear();
  if (!Data->AllocateZeroed(static_cast<int64_t>(fileSize))) throw std::bad_alloc();

  RowStride = static_cast<uint16_t>(stride);
  PaletteSize = static_cast<uint16_t>(entries * 4);
  ImageSize = static_cast<uint32_t>(imageSize);
  FileSize = static_cast<uint32_t>(fileSize);
  FileHeader = Data->Memory();
  InfoHeader = FileHeader + kFileHeaderSize;
  ColorTable = InfoHeader + kInfoHeaderSize;
  Bits = ColorTable + PaletteSize;

  FileHeader[0] = 'B';
  FileHeader[1] = 'M';
  Put32(FileHeader + 2, FileSize);
  Put32(FileHeader + 10, kFileHeaderSize + kInfoHeaderSize + PaletteSize);
  Put32(InfoHeader, kInfoHeaderSize);
  Put32(InfoHeader + 4, static_cast<uint32_t>(width));
  Put32(InfoHeader + 8, static_cast<uint32_t>(height));
  Put16(InfoHeader + 12, 1);
  Put16(InfoHeader + 14, static_cast<uint32_t>(stored));
  Put32(InfoHeader + 20, ImageSize);
  Put32(InfoHeader + 32, colorsUsed);
  if (palette) std::memcpy(ColorTable, palette, PaletteSize);
}

int tMemBmp::Width() const { return InfoHeader ? static_cast<int32_t>(Get32(InfoHeader + 4)) : 0; }
int tMemBmp::Height() const { return InfoHeader ? static_cast<int32_t>(Get32(InfoHeader + 8)) : 0; }
int tMemBmp::BitCount() const { return InfoHeader ? Get16(InfoHeader + 14) : 0; }

int tMemBmp::ColorCount() const {
  int bits = BitCount();
  if (bits >= 9) return 256 + bits;
  uint32_t used = InfoHeader ? Get32(InfoHeader + 32) : 0;
  return used ? static_cast<int>(used) : 1 << bits;
}

int tMemBmp::ClampRow(int y) const { return std::clamp(y, 0, std::max(0, Height() - 1)); }

uint8_t* tMemBmp::ScanLine(int y) const {
  return Bits + size_t(Height() - 1 - ClampRow(y)) * RowStride;
}

uint8_t* tMemBmp::GetByteLine(int y) {
  int bits = BitCount();
  if (bits >= 8) return ScanLine(y);
  byteRow_.resize(size_t(RowStride) * 8);
  UnpackPixels(ScanLine(y), byteRow_.data(), RowStride, bits);
  return byteRow_.data();
}

void tMemBmp::SetByteLine(int y, const uint8_t* row) {
  int bits = BitCount();
  if (bits >= 8) return;
  // Only the picture's width is taken from the caller's row; the padding packs as zero.
  byteRow_.assign(size_t(RowStride) * 8, 0);
  std::memcpy(byteRow_.data(), row, static_cast<size_t>(Width()));
  PackPixels(byteRow_.data(), ScanLine(y), RowStride, bits);
}

uint8_t* tMemBmp::GetGrayLine(int y) {
  int colors = ColorCount();
  if (colors >= 256) return ScanLine(y);
  int width = Width();
  grayRow_.resize(std::max<size_t>(size_t(RowStride) * 8, 1));
  const uint8_t* pixels = GetByteLine(y);
  int entries = PaletteEntries();
  int shift = colors <= 16 ? 4 : 0;
  for (int x = 0; x < width; ++x) {
    int i = pixels[x];
    grayRow_[x] = i < entries ? static_cast<uint8_t>(ColorTable[i * 4] >> shift) : 0;
  }
  return grayRow_.data();
}

uint8_t* tMemBmp::RgbBuffer() {
  rgbRow_.resize(std::max<size_t>(size_t(Width()) * 3, 1));
  return rgbRow_.data();
}

uint8_t* tMemBmp::GetRGBLine(int y) {
  int bits = BitCount();
  if (bits == 24) return ScanLine(y);
  int width = Width();
  uint8_t* out = RgbBuffer();
  const uint8_t* row = ScanLine(y);
  if (bits <= 8) {
    PaletteRow(GetByteLine(y), out, width, false);
  } else {
    InitMasks();
    for (int x = 0; x < width; ++x, out += 3) {
      uint32_t p = bits == 32 ? Get32(row + x * 4) : Get16(row + x * 2);
      for (int c = 0; c < 3; ++c) out[c] = Channel(p, ChannelMasks[c], ChannelShifts[c]);
    }
  }
  return rgbRow_.data();
}

void tMemBmp::SetRGBLine(int y, const uint8_t* row) {
  int bits = BitCount();
  if (bits <= 8) return;
  uint8_t* dest = ScanLine(y);
  int width = Width();
  if (bits == 24) {
    if (row != dest) std::memmove(dest, row, size_t(width) * 3);
    return;
  }
  InitMasks();
  for (int x = 0; x < width; ++x, row += 3) {
    uint32_t p = 0;
    for (int c = 0; c < 3; ++c) p |= Unchannel(row[c], ChannelMasks[c], ChannelShifts[c]);
    if (bits == 32) {
      Put32(dest + x * 4, p);
    } else {
      Put16(dest + x * 2, p);
    }
  }
}

void tMemBmp::PaletteRow(const uint8_t* pixels, uint8_t* out, int width, bool swapped) const {
  // Entries past the table are black: pixel values a file may hold beyond its colours.
  const int entries = std::min(PaletteEntries(), 256);
  if (width < entries) {
    // A narrow row costs less than the lookup table (tall thin pictures have many rows).
    for (int x = 0; x < width; ++x, out += 3) {
      const int i = pixels[x];
      if (i >= entries) {
        out[0] = out[1] = out[2] = 0;
        continue;
      }
      const uint8_t* q = ColorTable + i * 4;
      out[0] = q[swapped ? 2 : 0];
      out[1] = q[1];
      out[2] = q[swapped ? 0 : 2];
    }
    return;
  }
  // The lookup table is made once per colour table, not once per row: kept with a copy of the
  // table it was made from (anyone may change the table between two rows).
  const size_t tableBytes = size_t(entries) * 4;
  if (lookupEntries_ != entries || lookupSwapped_ != swapped ||
      std::memcmp(lookupKey_, ColorTable, tableBytes) != 0) {
    std::memset(lookup_, 0, sizeof lookup_);
    for (int i = 0; i < entries; ++i) {
      const uint8_t* q = ColorTable + i * 4;
      lookup_[i][0] = q[swapped ? 2 : 0];
      lookup_[i][1] = q[1];
      lookup_[i][2] = q[swapped ? 0 : 2];
    }
    std::memcpy(lookupKey_, ColorTable, tableBytes);
    lookupEntries_ = entries;
    lookupSwapped_ = swapped;
  }
  for (int x = 0; x < width; ++x, out += 3) std::memcpy(out, lookup_[pixels[x]], 3);
}

uint8_t* tMemBmp::GetRGBLineSwapped(int y) {
  const int bits = BitCount(), width = Width();
  if (bits <= 8) {
    PaletteRow(GetByteLine(y), RgbBuffer(), width, true);
    return rgbRow_.data();
  }
  const uint8_t* row = GetRGBLine(y);
  uint8_t* out = RgbBuffer();
  for (int x = 0; x < width; ++x, row += 3, out += 3) {
    const uint8_t b = row[0], g = row[1], r = row[2];
    out[0] = r, out[1] = g, out[2] = b;
  }
  return rgbRow_.data();
}

void tMemBmp::SetRGBLineSwapped(int y, uint8_t* row) {
  SwapRedBlue(row, Width());
  SetRGBLine(y, row);
}

uint8_t* tMemBmp::GetQuantizeLine(int y) {
  if (!GrayFlag || BitCount() > 8) return GetRGBLine(y);
  int width = Width();
  grayRow_.resize(std::max<size_t>(size_t(RowStride) * 8, 1));
  const uint8_t* pixels = GetByteLine(y);
  int entries = PaletteEntries();
  for (int x = 0; x < width; ++x) {
    int i = pixels[x];
    grayRow_[x] = i < entries ? ColorTable[i * 4] : 0;
  }
  return grayRow_.data();
}

uint16_t* tMemBmp::GetLine16(int y, int depth) {
  int width = Width();
  row16_.resize(std::max(width, 1));
  if (BitCount() == depth) {
    std::memcpy(row16_.data(), ScanLine(y), size_t(width) * 2);
    return row16_.data();
  }
  const uint8_t* rgb = GetRGBLine(y);
  for (int x = 0; x < width; ++x, rgb += 3) {
    uint8_t b = rgb[0], g = rgb[1], r = rgb[2];
    row16_[x] = depth == 15
                    ? static_cast<uint16_t>(((r & 0xF8) << 7) | ((g & 0xF8) << 2) | (b >> 3))
                    : static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
  }
  return row16_.data();
}

bool tMemBmp::MasksReady() const { return ChannelMasks[0] || ChannelMasks[1] || ChannelMasks[2]; }

void tMemBmp::InitMasks() {
  if (!MasksReady()) {
    int bits = BitCount();
    if (bits == 15 || bits == 16) {
      ChannelMasks[0] = 0x001F, ChannelMasks[1] = 0x03E0, ChannelMasks[2] = 0x7C00;
    } else {
      ChannelMasks[0] = 0xFF, ChannelMasks[1] = 0xFF00, ChannelMasks[2] = 0xFF0000;
    }
  }
  for (int c = 0; c < 3; ++c) {
    uint32_t mask = ChannelMasks[c];
    int32_t shift = 0;
    if (mask) {
      while (shift < 32 && !(mask & (1u << shift))) ++shift;
      uint64_t moved = uint64_t(mask) >> shift;
      while (!(moved & 0x80)) moved <<= 1, --shift;
    }
    ChannelShifts[c] = shift;
  }
}

void tMemBmp::GetPalette(uint8_t* triples) const {
  std::memset(triples, 0, 768);
  int n = std::min({PaletteEntries(), 256, ColorCount()});
  for (int i = 0; i < n; ++i) {
    triples[i * 3] = ColorTable[i * 4 + 2];
    triples[i * 3 + 1] = ColorTable[i * 4 + 1];
    triples[i * 3 + 2] = ColorTable[i * 4];
  }
}

void tMemBmp::SetPalette(const uint8_t* triples) {
  for (int i = 0; i < std::min(PaletteEntries(), 256); ++i) {
    ColorTable[i * 4] = triples[i * 3 + 2];
    ColorTable[i * 4 + 1] = triples[i * 3 + 1];
    ColorTable[i * 4 + 2] = triples[i * 3];
    ColorTable[i * 4 + 3] = 0;
  }
}

void tMemBmp::SetPaletteQuads(const uint8_t* quads) {
  if (PaletteSize) std::memcpy(ColorTable, quads, PaletteSize);
}

void tMemBmp::SetColormap(const uint8_t* red, const uint8_t* green, const uint8_t* blue) {
  for (int i = 0; i < std::min(PaletteEntries(), 256); ++i) {
    ColorTable[i * 4] = blue[i];
    ColorTable[i * 4 + 1] = green[i];
    ColorTable[i * 4 + 2] = red[i];
    ColorTable[i * 4 + 3] = 0;
  }
}

bool tMemBmp::SetGrayFlag(bool flag) {
  bool old = GrayFlag != 0;
  GrayFlag = flag ? 1 : 0;
  return old;
}

void UnpackPixels(const uint8_t* packed, uint8_t* out, int count, int bits) {
  if (bits != 1 && bits != 2 && bits != 4) return;
  int per = 8 / bits;
  uint8_t mask = static_cast<uint8_t>((1 << bits) - 1);
  for (int i = 0; i < count; ++i) {
    uint8_t b = packed[i];
    for (int k = per - 1; k >= 0; --k) *out++ = static_cast<uint8_t>((b >> (k * bits)) & mask);
  }
}

void PackPixels(const uint8_t* pixels, uint8_t* packed, int count, int bits) {
  if (bits != 1 && bits != 2 && bits != 4) return;
  int per = 8 / bits;
  uint8_t mask = static_cast<uint8_t>((1 << bits) - 1);
  for (int i = 0; i < count; ++i) {
    uint8_t b = 0;
    for (int k = per - 1; k >= 0; --k) b |= static_cast<uint8_t>((*pixels++ & mask) << (k * bits));
    packed[i] = b;
  }
}

void PlanarToChunky(const uint8_t* planes, uint8_t* out, int bytesPerPlane, int n) {
  int count = n < 0 ? -n : n;
  if (count < 2 || count > 8) return;
  int pixels = bytesPerPlane * 8;
  std::memset(out, 0, static_cast<size_t>(pixels));
  for (int p = 0; p < count; ++p) {
    int bit = n > 0 ? p : count - 1 - p;
    const uint8_t* plane = planes + size_t(p) * bytesPerPlane;
    for (int x = 0; x < pixels; ++x)
      if (plane[x >> 3] & (0x80 >> (x & 7))) out[x] |= static_cast<uint8_t>(1 << bit);
  }
}

void SwapRedBlue(uint8_t* row, int pixels) { CopySwapRedBlue(row, row, pixels); }

void ExchangeRows(uint8_t* a, uint8_t* b, size_t bytes, bool swapRedBlue) {
  if (a == b) {
    if (swapRedBlue) SwapRedBlue(a, static_cast<int>(bytes / 3));
    return;
  }
  size_t i = 0;
  if (swapRedBlue) {
    if constexpr (std::endian::native == std::endian::little) {
      // Two pixels a step, as in CopySwapRedBlue; each row keeps its own last two bytes of the
      // word, which belong to its next pixel, not yet moved.
      constexpr uint64_t kKept = 0xFFFF000000000000u;
      const auto swapped = [](uint64_t v) {
        const uint64_t t = __builtin_bswap64(v);
        return (t >> 40) | ((t << 8) & 0xFFFFFF000000u);
      };
      for (; i + 8 <= bytes; i += 6) {
        uint64_t va, vb;
        std::memcpy(&va, a + i, 8);
        std::memcpy(&vb, b + i, 8);
        const uint64_t na = swapped(vb) | (va & kKept), nb = swapped(va) | (vb & kKept);
        std::memcpy(a + i, &na, 8);
        std::memcpy(b + i, &nb, 8);
      }
    }
    for (; i + 3 <= bytes; i += 3) {
      const uint8_t r = a[i], g = a[i + 1], bl = a[i + 2];
      a[i] = b[i + 2], a[i + 1] = b[i + 1], a[i + 2] = b[i];
      b[i] = bl, b[i + 1] = g, b[i + 2] = r;
    }
  }
  for (; i + 8 <= bytes; i += 8) {
    uint64_t va, vb;
    std::memcpy(&va, a + i, 8);
    std::memcpy(&vb, b + i, 8);
    std::memcpy(a + i, &vb, 8);
    std::memcpy(b + i, &va, 8);
  }
  for (; i < bytes; ++i) std::swap(a[i], b[i]);
}

void CopySwapRedBlue(const uint8_t* from, uint8_t* to, int pixels) {
  int x = 0;
  if constexpr (std::endian::native == std::endian::little) {
    // Two pixels a step through one 64-bit word: byte-reversed, the first pixel's three bytes
    // stand at its top and the second's below them. The word's last two bytes (the next
    // pixel's) go back as they were, so from may be to.
    for (; x + 3 <= pixels; x += 2, from += 6, to += 6) {
      uint64_t v;
      std::memcpy(&v, from, 8);
      const uint64_t t = __builtin_bswap64(v);
      v = (t >> 40) | ((t << 8) & 0xFFFFFF000000u) | (v & 0xFFFF000000000000u);
      std::memcpy(to, &v, 8);
    }
  }
  for (; x < pixels; ++x, from += 3, to += 3) {
    const uint8_t r = from[0], g = from[1], b = from[2];
    to[0] = b, to[1] = g, to[2] = r;
  }
}
