#include "imaging/formats/gTGA.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/uFormat.h"
#include "imaging/Palettes.h"

namespace {

constexpr int kHeaderSize = 18;
constexpr int kMaxMapIndex = 256;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// The 18-byte header and what identification derived from it, for Load.
struct tTgaState : tCodecState {
  uint8_t Header[kHeaderSize] = {};
  int XOrigin = 0, YOrigin = 0, Width = 0, Height = 0, Depth = 0;
  bool Rle = false, TopDown = false;
  int32_t DataOffset = 0;
};

bool OneOf(int v, std::initializer_list<int> set) {
  return std::find(set.begin(), set.end(), v) != set.end();
}

// Reads one byte of run-length data; false at the end of the stream.
inline bool NextByte(tBuffStream& s, uint8_t& v) {
  if (s.Index >= s.BytesValid && s.Available() == 0) return false;
  v = s.Buffer[s.Index++];
  return true;
}

// File rows of `units` elements of `unitBytes` bytes each, uncompressed or run-length encoded;
// a run-length packet may go on into the next row.
class tRowReader {
 public:
  tRowReader(tBuffStream& s, bool rle, int units, int unitBytes)
      : s_(s), rle_(rle), units_(units), unitBytes_(unitBytes) {}

  // Fills row (units x unitBytes bytes); false when the data ran out (the rest of row is 0).
  bool Next(uint8_t* row) {
    const int bytes = units_ * unitBytes_;
    if (!rle_) {
      s_.Read(row, bytes);
      if (s_.LastCount == bytes) return true;
      std::memset(row + s_.LastCount, 0, static_cast<size_t>(bytes - s_.LastCount));
      return false;
    }
    int x = 0;
    while (x < units_) {
      if (pending_ == 0) {
        uint8_t b;
        if (!NextByte(s_, b)) return Short(row, x);
        pending_ = (b & 0x7F) + 1;
        repeat_ = (b & 0x80) != 0;
        if (repeat_) {
          s_.Read(pixel_, unitBytes_);
          if (s_.LastCount < unitBytes_) return Short(row, x);
        }
      }
      const int n = std::min(pending_, units_ - x);
      uint8_t* to = row + x * unitBytes_;
      if (repeat_) {
        if (unitBytes_ == 1) {
          std::memset(to, pixel_[0], static_cast<size_t>(n));
        } else {
          for (int i = 0; i < n; ++i, to += unitBytes_) std::memcpy(to, pixel_, unitBytes_);
        }
      } else {
        s_.Read(to, n * unitBytes_);
        if (s_.LastCount < n * unitBytes_) return Short(row, x + s_.LastCount / unitBytes_);
      }
      x += n;
      pending_ -= n;
    }
    return true;
  }

 private:
  bool Short(uint8_t* row, int x) {
    std::memset(row + x * unitBytes_, 0, static_cast<size_t>((units_ - x) * unitBytes_));
    return false;
  }

  tBuffStream& s_;
  const bool rle_;
  const int units_, unitBytes_;
  int pending_ = 0;
  bool repeat_ = false;
  uint8_t pixel_[4] = {};
};

// Puts one file row into its canvas row at column x0.
void PlaceRow(tMemBmp& pic, int canvasRow, int x0, const uint8_t* row, int width, int depth,
              std::vector<uint8_t>& bytes) {
  uint8_t* line = pic.ScanLine(canvasRow);
  switch (depth) {
    case 1:
      if (x0 == 0) {
        std::memcpy(line, row, static_cast<size_t>((width + 7) / 8));
      } else {
        bytes.assign(static_cast<size_t>(pic.Width()) + 8, 0);
        UnpackPixels(row, bytes.data() + x0, (width + 7) / 8, 1);
        pic.SetByteLine(canvasRow, bytes.data());
      }
      break;
    case 8:
      std::memcpy(line + x0, row, static_cast<size_t>(width));
      break;
    case 16: {
      // The 5-5-5 bits are the picture's own layout; the top (attribute) bit is dropped.
      uint8_t* to = line + size_t(x0) * 2;
      for (int x = 0; x < width; ++x, row += 2, to += 2) {
        to[0] = row[0];
        to[1] = row[1] & 0x7F;
      }
      break;
    }
    case 24:
      std::memcpy(line + size_t(x0) * 3, row, size_t(width) * 3);
      break;
    default: {  // 32: blue, green, red, alpha
      uint8_t* to = line + size_t(x0) * 3;
      for (int x = 0; x < width; ++x, row += 4, to += 3) std::memcpy(to, row, 3);
      break;
    }
  }
}

}  // namespace

void TgaEntryToRGB(const uint8_t* entry, uint8_t* out, int entryBits) {
  if (entryBits == 15 || entryBits == 16) {
    const uint16_t v = Get16(entry);
    out[0] = static_cast<uint8_t>(v << 3);
    out[1] = static_cast<uint8_t>((v >> 2) & 0xF8);
    out[2] = static_cast<uint8_t>((v >> 7) & 0xF8);
  } else {
    std::memcpy(out, entry, 3);
  }
}

void TgaMapToRGB(const uint8_t* map, int count, uint8_t* palette, int entryBits) {
  const int step = entryBits == 15 ? 2 : entryBits / 8;
  for (int i = 0; i < count; ++i, map += step, palette += 3) {
    uint8_t bgr[3];
    TgaEntryToRGB(map, bgr, entryBits);
    palette[0] = bgr[2];
    palette[1] = bgr[1];
    palette[2] = bgr[0];
  }
}

void IdentifyTGA(tGraphicID& id) {
  tBuffStream& s = *id.Stream;
  const int64_t streamBytes = int64_t(s.Size) - s.Base;
  if (streamBytes < kHeaderSize) return;
  s.Rewind();
  const uint8_t* h = s.BufferPtr();
  const int idLength = h[0], mapType = h[1], imageType = h[2];
  const int firstIndex = Get16(h + 3), mapLength = Get16(h + 5);
  const int entryBits = h[7] == 15 ? 16 : h[7];
  const int xOrigin = Get16(h + 8), yOrigin = Get16(h + 10);
  const int width = Get16(h + 12), height = Get16(h + 14);
  const int depth = h[16], descriptor = h[17];
  // Only a present map (type 1) takes room in the file.
  const int mapBytes = mapType == 1 && entryBits ? entryBits / 8 * mapLength : 0;

  const int sizeColors = depth < 2 ? 2 : depth < 9 ? 256 : 280;
  if (!ValidPictureSize(width, height, sizeColors) || !SpanFits(xOrigin, width) ||
      !SpanFits(yOrigin, height))
    return;
  // The canvas holds the origin too; it has to fit the same limits as the picture.
  if (!CheckPictureSize(xOrigin + width, yOrigin + height, sizeColors)) return;
  if (mapType > 1 || (mapType == 0 && (imageType == 1 || imageType == 9))) return;
  if (firstIndex >= kMaxMapIndex || mapLength > kMaxMapIndex) return;
  if (!OneOf(entryBits, {0, 16, 24, 32}) || !OneOf(depth, {1, 8, 16, 24, 32}) ||
      !OneOf(descriptor, {0, 1, 8, 32, 33, 40}))
    return;
  if (imageType >= 1 && imageType <= 3) {
    const int64_t pixelBytes = int64_t(width) * height * depth / 8;
    if (streamBytes < pixelBytes + mapBytes + idLength + kHeaderSize) return;
  } else if (imageType < 9 || imageType > 11) {
    return;
  }

  auto st = std::make_unique<tTgaState>();
  std::memcpy(st->Header, h, kHeaderSize);
  st->XOrigin = xOrigin, st->YOrigin = yOrigin;
  st->Width = width, st->Height = height, st->Depth = depth;
  st->Rle = imageType > 8;
  st->TopDown = (descriptor & 0x20) != 0;  // the origin bit, whatever the attribute bits
  st->DataOffset = kHeaderSize + idLength + mapBytes;

  id.Work0 = static_cast<uint16_t>(yOrigin);
  id.Work1 = static_cast<uint16_t>(xOrigin);
  id.Width = static_cast<uint16_t>(xOrigin + width);
  id.Height = static_cast<uint16_t>(yOrigin + height);
  id.BitsPerPixel = depth == 1 ? 1 : depth == 16 ? 15 : depth >= 24 ? 24 : 8;
  id.Colors = static_cast<uint16_t>(id.BitsPerPixel == 1 ? 2 : 256);
  if (id.BitsPerPixel > 8) id.Colors = static_cast<uint16_t>(id.Colors + id.BitsPerPixel);

  const int baseType = imageType & 7;
  if (mapBytes > 0) {
    std::vector<uint8_t> map(static_cast<size_t>(mapBytes), 0);
    s.Seek(kHeaderSize + idLength);
    s.Read(map.data(), mapBytes);
    if (baseType == 1) {
      // Pixel values are map indices: the map's entries start at its first index.
      const int count = std::min(mapLength, kMaxMapIndex - firstIndex);
      TgaMapToRGB(map.data(), count, id.Palette + firstIndex * 3, entryBits);
      id.Colors = static_cast<uint16_t>(firstIndex + count);
      id.HasPalette = 1;
    }
  }
  if (baseType == 3 && id.BitsPerPixel <= 8) {
    const tRGBPalette gray = GrayPalette(id.Colors);
    std::memcpy(id.Palette, gray.data(), gray.size());
    id.GrayFlag = 1;
    id.HasPalette = 1;
  }
  s.Seek(st->DataOffset);

  id.BackgroundIndex = 0;
  id.FormatId = fmtTGA;
  const char* kind = baseType == 1 ? "mapped" : baseType == 2 ? "RGB" : "grayscale";
  id.FormatName = Format("%s %d %s %s", {"Targa", baseType == 1 ? entryBits : depth, kind,
                                         st->Rle ? "RLE" : "uncompressed"});
  id.CodecState = std::move(st);

  tRGBPalette rgb;
  std::memcpy(rgb.data(), id.Palette, rgb.size());
  const tQuadPalette quads = RGBToQuads(rgb);
  id.Bitmap = std::make_unique<tMemBmp>();
  id.Bitmap->Allocate(id.Width, id.Height, id.GrayFlag, id.HasPalette ? quads.data() : nullptr,
                      id.Colors, id.BitsPerPixel);
}

void LoadTGA(tGraphicID& id) {
  auto* st = dynamic_cast<tTgaState*>(id.CodecState.get());
  if (!st || !id.Stream) return;
  tBuffStream& s = *id.Stream;
  tMemBmp& pic = *id.Bitmap;
  const int width = st->Width, height = st->Height, depth = st->Depth;
  id.IdentWidth = static_cast<uint16_t>(width);
  id.IdentHeight = static_cast<uint16_t>(height);
  if (st->XOrigin || st->YOrigin)
    id.AddInfoLine(
        Format("%s%dx%d image at %d,%d", {"b", width, height, st->XOrigin, st->YOrigin}));
  id.AddInfoLine(st->TopDown ? "gTop down" : "gBottom up");
  s.Seek(st->DataOffset);

  // A 1-bit row is read as bytes, 8 pixels each.
  const int units = depth == 1 ? (width + 7) / 8 : width;
  const int unitBytes = (depth + 7) / 8;
  std::vector<uint8_t> row(size_t(units) * unitBytes + 1), bytes;
  tRowReader reader(s, st->Rle, units, unitBytes);
  for (int r = 0; r < height; ++r) {
    const int canvasRow = st->TopDown ? st->YOrigin + r : st->YOrigin + height - 1 - r;
    const bool whole = reader.Next(row.data());
    PlaceRow(pic, canvasRow, st->XOrigin, row.data(), width, depth, bytes);
    if (!whole) {
      id.ErrorCode = errEndOfFile;
      break;
    }
    id.RowsDone = static_cast<uint16_t>(r + 1);
  }
  id.NotifyImageDone();
  id.FinishDecoding();
}

void RegisterTGA() { RegisterFormat(IdentifyTGA, LoadTGA, NoNextImage); }
