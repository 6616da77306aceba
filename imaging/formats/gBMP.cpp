#include "imaging/formats/gBMP.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>

#include "foundation/uFormat.h"

namespace {

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

enum : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };
constexpr uint32_t kWindowsHeader = 40, kOs2Header = 12;

// The later Windows headers (52, 56, 108 and 124 bytes) begin with the 40-byte one and carry
// the bit-field masks inside; files written by today's programs use them.
bool IsWindowsHeader(uint32_t size) {
  return size == kWindowsHeader || size == 52 || size == 56 || size == 108 || size == 124;
}

// What identification found, for Load.
struct tBmpState : tCodecState {
  uint8_t FileHeader[14] = {};
  uint8_t InfoHeader[40] = {};
  uint8_t Masks[12] = {};  // red, green, blue as stored
  int32_t HeaderBytes = 0;
  int32_t GapBytes = 0;
  bool TopDown = false;  // negative height: the top row comes first
  int32_t PixelOffset() const { return static_cast<int32_t>(Get32(FileHeader + 10)); }
  uint16_t Bits() const { return Get16(InfoHeader + 14); }
  uint32_t Compression() const { return Get32(InfoHeader + 16); }
};

bool HasBmpExtension(const std::string& name) {
  size_t dot = name.find_last_of("./\\");
  if (dot == std::string::npos || name[dot] != '.') return false;
  std::string ext = name.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".bmp";
}

// Reads one byte of compressed data; false at the end of the stream.
inline bool NextByte(tBuffStream& s, uint8_t& v) {
  if (s.Index >= s.BytesValid && s.Available() == 0) return false;
  v = s.Buffer[s.Index++];
  return true;
}

// Decodes RLE8 or RLE4 rows (bottom row first) into the 8-bit picture.
void DecodeRle(tGraphicID& id, bool nibbles) {
  tMemBmp& pic = *id.Bitmap;
  tBuffStream& s = *id.Stream;
  const int width = pic.Width(), height = pic.Height();
  int x = 0, r = 0;
  // Stops with an error; a row filled before it counts as delivered.
  auto stop = [&](int32_t code) {
    if (x == width) id.RowsDone = static_cast<uint16_t>(r + 1);
    id.ErrorCode = code;
  };
  for (; r < height; ++r) {
    uint8_t* row = pic.ScanLine(height - 1 - r);
    // A full row still has its end-of-line to come: pixels before it do not fit the row. The
    // top row may end the data without one.
    while (x < width || r + 1 < height) {
      uint8_t count, value;
      if (!NextByte(s, count) || !NextByte(s, value)) {
        stop(errEndOfFile);
        return;
      }
      if (count > 0) {
        if (x + count > width) {
          stop(errRunLength);
          return;
        }
        if (!nibbles) {
          std::memset(row + x, value, count);
        } else {
          for (int i = 0; i < count; ++i) row[x + i] = (i & 1) ? (value & 15) : (value >> 4);
        }
        x += count;
      } else if (value == 0) {
        if (x > 0) break;  // end of line; one at the start of a row is skipped
      } else if (value == 1) {
        if (x == width) id.RowsDone = static_cast<uint16_t>(r + 1);
        return;  // end of bitmap: the rows above stay black
      } else if (value == 2) {
        // Delta: skip right and up; the pixels passed over stay at index 0.
        uint8_t dx, dy;
        if (!NextByte(s, dx) || !NextByte(s, dy)) {
          stop(errEndOfFile);
          return;
        }
        if (x + dx > width || r + dy >= height) {
          stop(errRunLength);
          return;
        }
        x += dx;
        if (dy > 0) {
          id.RowsDone = static_cast<uint16_t>(r + dy);
          r += dy;
          row = pic.ScanLine(height - 1 - r);
        }
      } else {
        int n = value;
        if (x + n > width) {
          stop(errRunLength);
          return;
        }
        int bytes = nibbles ? (n + 1) / 2 : n;
        uint8_t b = 0;
        if (!nibbles && s.BytesValid - s.Index > bytes) {
          // The whole literal and its pad are in the buffer.
          std::memcpy(row + x, s.Buffer + s.Index, static_cast<size_t>(n));
          s.Index += n + (n & 1);
          x += n;
          continue;
        }
        for (int i = 0; i < bytes; ++i) {
          if (!NextByte(s, b)) {
            id.ErrorCode = errEndOfFile;
            return;
          }
          if (!nibbles) {
            row[x++] = b;
          } else {
            row[x++] = b >> 4;
            if (2 * i + 1 < n) row[x++] = b & 15;
          }
        }
        if ((bytes & 1) && !NextByte(s, b)) {
          stop(errEndOfFile);
          return;
        }
      }
    }
    id.RowsDone = static_cast<uint16_t>(r + 1);
    x = 0;
  }
}

// Uncompressed 4-bit rows, widened to the picture's 8 bits.
void Decode4Bit(tGraphicID& id, bool topDown) {
  tMemBmp& pic = *id.Bitmap;
  const int width = pic.Width(), height = pic.Height();
  const int packed = (width + 1) / 2, stride = (packed + 3) & ~3;
  std::vector<uint8_t> in(static_cast<size_t>(stride)), out(static_cast<size_t>(packed) * 2);
  for (int r = 0; r < height; ++r) {
    id.Stream->Read(in.data(), stride);
    if (id.Stream->LastCount < stride) {
      id.ErrorCode = errEndOfFile;
      return;
    }
    UnpackPixels(in.data(), out.data(), packed, 4);
    std::memcpy(pic.ScanLine(topDown ? r : height - 1 - r), out.data(), static_cast<size_t>(width));
    id.RowsDone = static_cast<uint16_t>(r + 1);
  }
}

// Top-down files are read as they lie and turned over into the picture's bottom-up order.
void FlipRows(tMemBmp& pic) {
  const size_t stride = static_cast<size_t>(pic.RowStride);
  std::vector<uint8_t> tmp(stride);
  for (int top = 0, bottom = pic.Height() - 1; top < bottom; ++top, --bottom) {
    std::memcpy(tmp.data(), pic.ScanLine(top), stride);
    std::memcpy(pic.ScanLine(top), pic.ScanLine(bottom), stride);
    std::memcpy(pic.ScanLine(bottom), tmp.data(), stride);
  }
}

void DecodeStraight(tGraphicID& id, const tBmpState& st) {
  tMemBmp& pic = *id.Bitmap;
  tBuffStream& s = *id.Stream;
  int64_t data = int64_t(s.Size) - s.Base - st.PixelOffset();
  if (data > int64_t(pic.ImageSize))
    id.AddInfoLine(Format("%sSkipping %.0n trailing (garbage) bytes",
                          {"g", static_cast<double>(data - pic.ImageSize)}));
  // One read for the whole block; then the stream stands where reading through it would.
  const int32_t offset = st.PixelOffset();
  const int32_t got = s.ReadAt(offset, pic.Bits, static_cast<int32_t>(pic.ImageSize));
  s.Seek(offset + got);
  if (pic.RowStride) id.RowsDone = static_cast<uint16_t>(got / pic.RowStride);
  if (st.TopDown) FlipRows(pic);
}

}  // namespace

void IdentifyBMP(tGraphicID& id) {
  const uint8_t* b = id.Stream->BufferPtr();
  if (b[0] != 'B' || b[1] != 'M') return;
  int64_t fileSize = Get32(b + 2), streamSize = id.Stream->Size;
  if (fileSize != streamSize && fileSize != 2 * streamSize && fileSize != 4 * streamSize &&
      !HasBmpExtension(id.FileName))
    return;
  auto st = std::make_unique<tBmpState>();
  std::memcpy(st->FileHeader, b, 14);
  const uint32_t headerSize = Get32(b + 14);
  const uint8_t* p = b + 14;
  uint8_t table[256 * 4] = {};
  int entries = 0;
  uint16_t width, height, bits;
  if (IsWindowsHeader(headerSize)) {
    std::memcpy(st->InfoHeader, p, 40);
    uint32_t compression = st->Compression();
    if (headerSize > kWindowsHeader) {
      if (compression == kBitFields) std::memcpy(st->Masks, p + 40, 12);
      p += headerSize;
    } else {
      p += 40;
      if (compression == kBitFields) {
        std::memcpy(st->Masks, p, 12);
        p += 12;
      }
    }
    int32_t signedHeight = static_cast<int32_t>(Get32(st->InfoHeader + 8));
    if (signedHeight < 0) {
      // Top-down rows exist only uncompressed.
      if (compression == kRle8 || compression == kRle4 || signedHeight == INT32_MIN) return;
      st->TopDown = true;
      Put32(st->InfoHeader + 8, static_cast<uint32_t>(-signedHeight));
    }
    // Sizes are kept in 16 bits: a larger one must not wrap round to a small picture.
    if (Get32(st->InfoHeader + 4) > 0xFFFF || Get32(st->InfoHeader + 8) > 0xFFFF) return;
    width = static_cast<uint16_t>(Get32(st->InfoHeader + 4));
    height = static_cast<uint16_t>(Get32(st->InfoHeader + 8));
    bits = st->Bits();
    if (Get16(st->InfoHeader + 12) != 1 || compression > kBitFields) return;
    bool is565 = compression == kBitFields && Get32(st->Masks + 4) == 0x07E0;
    uint16_t pictureBits = bits == 16 && !is565 ? 15 : bits;
    uint32_t used = Get32(st->InfoHeader + 32);
    // More than 256 colours used cannot be a table; palette files then use all 2^bits.
    const uint32_t stated = used;
    if (used > 256) {
      std::memset(st->InfoHeader + 32, 0, 4);
      used = 0;
    }
    int colors = bits <= 8 ? (used >= 1 ? static_cast<int>(used) : 1 << bits) : 256 + pictureBits;
    colors &= 0xFFFF;
    if (!ValidPictureSize(width, height, colors)) return;
    if (stated > 256)
      id.AddInfoLine(
          Format("%sIgnore (stupid) color map colors=%d", {"g", static_cast<int32_t>(stated)}));
    if (colors <= 256) {
      entries = colors;
    } else if (used >= 1 && used <= 256) {
      entries = static_cast<int>(used);
    }
    std::memcpy(table, p, size_t(entries) * 4);
    p += entries * 4;
    id.BitsPerPixel = pictureBits;
    id.Colors = static_cast<uint16_t>(colors);
    id.FormatName = bits == 32 ? "32-bit Windows Bitmap" : "Windows Bitmap";
    id.SubType = compression == kRle8        ? "RLE8"
                 : compression == kRle4      ? "RLE4"
                 : compression == kBitFields ? "BitFields"
                                             : "";
  } else if (headerSize == kOs2Header) {
    width = Get16(p + 4);
    height = Get16(p + 6);
    uint16_t planes = Get16(p + 8);
    bits = Get16(p + 10);
    p += 12;
    if (planes != 1) return;
    uint16_t pictureBits = bits == 16 ? 15 : bits;
    int colors = (bits <= 8 ? 1 << bits : 256 + pictureBits) & 0xFFFF;
    if (!ValidPictureSize(width, height, colors)) return;
    if (colors <= 256) entries = colors;
    for (int i = 0; i < entries; ++i, p += 3) std::memcpy(table + i * 4, p, 3);
    Put32(st->InfoHeader, 40);
    Put32(st->InfoHeader + 4, width);
    Put32(st->InfoHeader + 8, height);
    Put32(st->InfoHeader + 12, 1u | (uint32_t(bits) << 16));
    id.BitsPerPixel = pictureBits;
    id.Colors = static_cast<uint16_t>(colors);
    id.FormatName = "OS/2 Bitmap";
    id.SubType.clear();
  } else {
    return;
  }
  id.Width = width;
  id.Height = height;
  id.HasPalette = entries > 0 ? 1 : 0;
  id.FormatId = fmtBMP;

  st->HeaderBytes = static_cast<int32_t>(p - b);
  int32_t offset = st->PixelOffset();
  if (offset > st->HeaderBytes) {
    st->GapBytes = offset - st->HeaderBytes;
    id.AddInfoLine(Format("%sBMP header=%d bytes, bfOffBits=%d", {"g", st->HeaderBytes, offset}));
  } else {
    Put32(st->FileHeader + 10, static_cast<uint32_t>(st->HeaderBytes));
  }

  bool gray = bits == 1;
  if (!gray && entries > 0) {
    gray = true;
    for (int i = 0; i < entries && gray; ++i)
      gray = table[i * 4] == table[i * 4 + 1] && table[i * 4 + 1] == table[i * 4 + 2];
  }
  id.GrayFlag = gray ? 1 : 0;
  id.Bitmap = std::make_unique<tMemBmp>();
  tMemBmp& pic = *id.Bitmap;
  pic.AllowDeepColor = 1;
  pic.Allocate(id.Width, id.Height, gray, entries ? table : nullptr, id.Colors, id.BitsPerPixel);
  pic.ChannelMasks[0] = Get32(st->Masks + 8);
  pic.ChannelMasks[1] = Get32(st->Masks + 4);
  pic.ChannelMasks[2] = Get32(st->Masks);
  for (int i = 0; i < entries && i < 256; ++i) {
    id.Palette[i * 3] = table[i * 4 + 2];
    id.Palette[i * 3 + 1] = table[i * 4 + 1];
    id.Palette[i * 3 + 2] = table[i * 4];
  }
  if (headerSize == kOs2Header) Put32(st->InfoHeader + 20, pic.ImageSize);
  id.CodecState = std::move(st);
}

void LoadBMP(tGraphicID& id) {
  auto* st = dynamic_cast<tBmpState*>(id.CodecState.get());
  if (!st || !id.Stream) return;
  tBuffStream& s = *id.Stream;
  // Seeking lands where Rewind and Skip would, without reading a huge offset through.
  s.Seek(st->PixelOffset());
  if (st->GapBytes > 0) id.AddInfoLine(Format("%sSkipping %d (unused) bytes", {"g", st->GapBytes}));
  const uint32_t compression = st->Compression();
  const uint16_t bits = st->Bits();
  if ((compression == kRgb || compression == kBitFields) && bits != 4) {
    // Only these depths have rows laid out as the picture's; others would show noise.
    if (bits == 1 || bits == 8 || bits == 16 || bits == 24 || bits == 32) {
      DecodeStraight(id, *st);
    } else {
      id.ErrorCode = errUnknownCompression;
    }
  } else if (bits == 4) {
    if (compression == kRgb) {
      Decode4Bit(id, st->TopDown);
    } else if (compression == kRle4) {
      DecodeRle(id, true);
    } else {
      id.ErrorCode = errUnknownCompression;
    }
  } else if (compression == kRle8 && bits == 8) {
    DecodeRle(id, false);
  } else {
    id.ErrorCode = errUnknownCompression;
  }
  id.NotifyImageDone();
  id.FinishDecoding();
}

void RegisterBMP() { RegisterFormat(IdentifyBMP, LoadBMP, NoNextImage); }
