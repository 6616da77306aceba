#include "imaging/formats/gICO.h"

#include <algorithm>
#include <vector>

#include "foundation/uFormat.h"
#include "foundation/uUtil.h"
#include "imaging/Palettes.h"
#include "imaging/formats/gByteRows.h"

namespace {

constexpr int kDirHeader = 6, kDirEntry = 16, kInfoHeader = 40;
constexpr int kMaxExamined = 16;
constexpr uint32_t kNoBackground = 0x20000000;

struct tIcoState : tCodecState {
  int32_t DataOffset = 0;  // the XOR rows of the chosen image
  int Bits = 0;
  bool Mapped = false;  // pixels go through Map (the background colour is entry 0)
  uint8_t Map[256] = {};
};

// A TColor as red, green, blue: system colours have the top bit set.
void ColorToRGB(uint32_t color, uint8_t rgb[3]) {
  if (color & 0x80000000u) {
    std::array<uint8_t, 3> c = SysColorToRGB(static_cast<int>(color & 0xFF));
    std::copy(c.begin(), c.end(), rgb);
    return;
  }
  rgb[0] = static_cast<uint8_t>(color), rgb[1] = static_cast<uint8_t>(color >> 8);
  rgb[2] = static_cast<uint8_t>(color >> 16);
}

int ColorCode(int bits) { return bits <= 8 ? 1 << bits : 256 + bits; }

// Reads width pixels of `bits` depth from the packed row.
void Unpack(const uint8_t* packed, uint8_t* out, int width, int bits) {
  if (bits == 8) {
    std::copy(packed, packed + width, out);
  } else {
    UnpackPixels(packed, out, (width * bits + 7) / 8, bits);
  }
}

}  // namespace

void IdentifyICO(tGraphicID& id) {
  if (!HasExtension(id.FileName, ".ICO")) return;
  tBuffStream& s = *id.Stream;
  s.Rewind();
  const uint8_t* b = s.BufferPtr();
  const uint16_t type = GetLE16(b + 2), count = GetLE16(b + 4);
  if (type >= 0xFFFE || count == 0) return;
  const int64_t dataSize = int64_t(s.Size) - s.Base;
  const int examined = dataSize >= tBuffStream::kBlockSize ? 1 : std::min<int>(kMaxExamined, count);
  const uint8_t* entry = b + kDirHeader;
  const int width = entry[0], height = entry[1];
  if (width <= 7 || height <= 7) return;
  std::vector<std::string> lines;
  int colorField = GetLE16(entry + 2);
  if (colorField == 4) {
    colorField = 16;
    lines.push_back(Format("%s4 color icon (bogus! ignored)", {"g"}));
  }
  const int64_t gap = int64_t(GetLE32(entry + 12)) - (kDirHeader + int64_t(kDirEntry) * count);
  if (gap < 0 || gap > 16) return;
  if (gap > 0) lines.push_back(Format("%sSkipping %d unused bytes", {"g", static_cast<int>(gap)}));

  // Each image is found by its own entry; the header must lie inside the file and the entry.
  struct tImage {
    uint32_t Offset;
    int Width, Bits;
  };
  std::vector<tImage> images;
  for (int i = 0; i < examined; ++i) {
    const uint8_t* e = entry + i * kDirEntry;
    const uint32_t size = GetLE32(e + 8), offset = GetLE32(e + 12);
    if (size < kInfoHeader || int64_t(offset) + kInfoHeader > dataSize) return;
    uint8_t h[kInfoHeader];
    if (s.ReadAt(static_cast<int32_t>(offset), h, kInfoHeader) != kInfoHeader) return;
    if (GetLE32(h) != kInfoHeader || GetLE16(h + 12) != 1 || GetLE32(h + 16) != 0) return;
    images.push_back({offset, static_cast<int32_t>(GetLE32(h + 4)), GetLE16(h + 14)});
  }
  // The one-byte count is 0 for 256 colours: the first image's depth says how many.
  if (colorField == 0 && images[0].Bits <= 8) colorField = 1 << images[0].Bits;
  if (colorField != 2 && colorField != 16 && colorField != 256) return;

  size_t chosen = 0;
  if (images.size() > 1) {
    for (size_t i = 0; i < images.size(); ++i) {
      const tImage& im = images[i];
      lines.push_back(
          Format("%sIcon %d: %s",
                 {"b", static_cast<int>(i + 1),
                  ImageSizeText(im.Width, im.Width, static_cast<uint16_t>(ColorCode(im.Bits)))}));
      if (im.Width == width && im.Bits > images[0].Bits && im.Bits <= 8) chosen = i;
    }
  }
  const int bits = images[chosen].Bits;
  // Only palette images are read.
  if (bits != 1 && bits != 2 && bits != 4 && bits != 8) return;
  const int colors = 1 << bits;
  uint8_t table[256 * 4] = {};
  const int32_t tableOffset = static_cast<int32_t>(images[chosen].Offset) + kInfoHeader;
  if (s.ReadAt(tableOffset, table, colors * 4) != colors * 4) return;

  auto st = std::make_unique<tIcoState>();
  st->Bits = bits;
  st->DataOffset = tableOffset + colors * 4;
  id.FormatId = fmtICO;
  id.Width = static_cast<uint16_t>(width);
  id.Height = static_cast<uint16_t>(height);
  id.BitsPerPixel = static_cast<uint16_t>(bits);
  id.Colors = static_cast<uint16_t>(colors);
  id.GrayFlag = 0;
  for (int i = 0; i < colors; ++i) {
    id.Palette[i * 3] = table[i * 4 + 2];
    id.Palette[i * 3 + 1] = table[i * 4 + 1];
    id.Palette[i * 3 + 2] = table[i * 4];
  }
  id.HasPalette = 1;
  for (const std::string& line : lines) id.AddInfoLine(line);

  id.Bitmap = std::make_unique<tMemBmp>();
  if (colors > 2 && id.BackgroundColor != kNoBackground) {
    uint8_t quads[256 * 4] = {};
    uint8_t bg[3];
    ColorToRGB(id.BackgroundColor, bg);
    quads[0] = bg[2], quads[1] = bg[1], quads[2] = bg[0];
    int inUse = 1;
    MergePalette(inUse, id.Palette, colors, st->Map, quads);
    st->Mapped = true;
    id.Bitmap->Allocate(width, height, false, quads, 256, 8);
  } else {
    id.Bitmap->Allocate(width, height, false, table, colors, bits);
  }
  id.CodecState = std::move(st);
}

void LoadICO(tGraphicID& id) {
  auto* st = dynamic_cast<tIcoState*>(id.CodecState.get());
  if (!st || !id.Stream) return;
  tBuffStream& s = *id.Stream;
  tMemBmp& pic = *id.Bitmap;
  const int width = id.IdentWidth, height = id.IdentHeight;
  s.Seek(st->DataOffset);
  const int xorStride = (width * st->Bits + 31) / 32 * 4, andStride = (width + 31) / 32 * 4;
  std::vector<uint8_t> packed(static_cast<size_t>(std::max(xorStride, andStride)));
  std::vector<uint8_t> row(static_cast<size_t>(andStride) * 8);
  auto readRow = [&](int stride) {
    s.Read(packed.data(), stride);
    if (s.LastCount < stride) id.ErrorCode = errEndOfFile;
    return id.ErrorCode == 0;
  };
  for (int y = height - 1; y >= 0 && readRow(xorStride); --y) {
    id.RowsDone = static_cast<uint16_t>(y);
    Unpack(packed.data(), row.data(), width, st->Bits);
    if (st->Mapped)
      for (int x = 0; x < width; ++x) row[x] = st->Map[row[x]];
    PutByteRow(pic, y, row.data());
  }
  for (int y = height - 1; y >= 0 && id.ErrorCode == 0 && readRow(andStride); --y) {
    const uint8_t* current = pic.GetByteLine(y);
    std::copy(current, current + width, row.begin());
    for (int x = 0; x < width; ++x)
      if (packed[x >> 3] & (0x80 >> (x & 7))) row[x] = 0;
    PutByteRow(pic, y, row.data());
  }
  id.NotifyImageDone();
  id.FinishDecoding();
}

void RegisterICO() { RegisterFormat(IdentifyICO, LoadICO, NoNextImage); }
