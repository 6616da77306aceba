#include "imaging/formats/gRIX.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/Palettes.h"
#include "imaging/formats/gByteRows.h"

namespace {

constexpr int64_t kEgaPaintSize = 112016;
constexpr int kEgaWidth = 640, kEgaHeight = 350, kEgaRowBytes = 80, kEgaRegisters = 16;
constexpr int kRixHeader = 10;
constexpr uint8_t kEgaPaintStorage = 0xEA;

struct tRixState : tCodecState {
  uint8_t Header[kRixHeader] = {};
  int32_t DataOffset = 0;
  bool EgaPaint = false;
};

void LoadEgaPaint(tGraphicID& id) {
  tBuffStream& s = *id.Stream;
  tMemBmp& pic = *id.Bitmap;
  uint8_t packed[kEgaRowBytes], bits[kEgaWidth];
  std::vector<uint8_t> row(kEgaWidth);
  // Whole planes one after another: the picture gains a bit of colour with each.
  for (int p = 0; p < 4; ++p) {
    for (int y = 0; y < kEgaHeight; ++y) {
      s.Read(packed, kEgaRowBytes);
      if (s.LastCount < kEgaRowBytes) {
        id.ErrorCode = errEndOfFile;
        return;
      }
      UnpackPixels(packed, bits, kEgaRowBytes, 1);
      const uint8_t* current = pic.GetByteLine(y);
      for (int x = 0; x < kEgaWidth; ++x)
        row[x] = p == 0 ? bits[x] : static_cast<uint8_t>(current[x] | bits[x] << p);
      PutByteRow(pic, y, row.data());
      id.RowsDone = static_cast<uint16_t>(y + 1);
    }
    if (p < 3) {
      id.RowsDone = 0;
      id.NotifyPartial();
    }
  }
}

void LoadRix3(tGraphicID& id, bool planar) {
  tBuffStream& s = *id.Stream;
  tMemBmp& pic = *id.Bitmap;
  const int width = id.IdentWidth, height = id.IdentHeight, plane = (width + 7) / 8;
  const int lineBytes = planar ? plane * 4 : width;
  std::vector<uint8_t> line(static_cast<size_t>(lineBytes)), row(size_t(plane) * 8);
  for (int y = 0; y < height; ++y) {
    s.Read(line.data(), lineBytes);
    if (s.LastCount < lineBytes) {
      id.ErrorCode = errEndOfFile;
      return;
    }
    if (planar) {
      PlanarToChunky(line.data(), row.data(), plane, 4);  // plane 0 is the lowest bit
      PutByteRow(pic, y, row.data());
    } else {
      PutByteRow(pic, y, line.data());
    }
    id.RowsDone = static_cast<uint16_t>(y + 1);
  }
}

}  // namespace

void IdentifyRIX(tGraphicID& id) {
  tBuffStream& s = *id.Stream;
  s.Rewind();
  const uint8_t* b = s.BufferPtr();
  auto st = std::make_unique<tRixState>();
  tRGBPalette rgb{};
  int width, height, bits, colors;
  if (int64_t(s.Size) - s.Base == kEgaPaintSize) {
    if (std::any_of(b, b + kEgaRegisters, [](uint8_t v) { return v > 63; })) return;
    width = kEgaWidth, height = kEgaHeight, bits = 4, colors = 16;
    st->Header[9] = kEgaPaintStorage;
    st->EgaPaint = true;
    uint8_t registers[kEgaRegisters];
    std::memcpy(registers, b, kEgaRegisters);
    for (auto [i, j] : {std::pair{2, 4}, {3, 5}, {10, 12}, {11, 13}})
      std::swap(registers[i], registers[j]);
    const tPalette16 pal = EgaRegistersToRGB(registers);
    std::copy(pal.begin(), pal.end(), rgb.begin());
    st->DataOffset = kEgaRegisters;
  } else {
    if (std::memcmp(b, "RIX3", 4) != 0) return;
    width = GetLE16(b + 4), height = GetLE16(b + 6);
    const uint8_t paletteType = b[8], storage = b[9];
    if (!ValidPictureSize(width, height, 256)) return;
    if (!(paletteType == 0xAF && storage == 0) && !(paletteType == 0xAB && storage == 4)) return;
    std::memcpy(st->Header, b, kRixHeader);
    bits = storage == 4 ? 4 : 8;
    colors = 1 << bits;
    // 6-bit values; the palette lies well inside the first buffer.
    std::copy(b + kRixHeader, b + kRixHeader + colors * 3, rgb.begin());
    ShiftPalette(std::span<uint8_t>(rgb.data(), size_t(colors) * 3), 2);
    st->DataOffset = kRixHeader + colors * 3;
  }
  const tQuadPalette quads = RGBToQuads(rgb);
  std::copy(rgb.begin(), rgb.end(), id.Palette);
  id.HasPalette = 1;
  id.Width = static_cast<uint16_t>(width);
  id.Height = static_cast<uint16_t>(height);
  id.BitsPerPixel = static_cast<uint16_t>(bits);
  id.Colors = static_cast<uint16_t>(colors);
  id.FormatId = fmtRIX;
  id.SubType = st->EgaPaint ? "(Ega Paint)" : "(ColoRix)";
  id.GrayFlag = IsGrayPalette(bits, colors, quads.data()) ? 1 : 0;
  id.Bitmap = std::make_unique<tMemBmp>();
  id.Bitmap->Allocate(width, height, id.GrayFlag, quads.data(), colors, bits);
  id.CodecState = std::move(st);
}

void LoadRIX(tGraphicID& id) {
  auto* st = dynamic_cast<tRixState*>(id.CodecState.get());
  if (!st || !id.Stream) return;
  id.Stream->Seek(st->DataOffset);
  if (st->EgaPaint)
    LoadEgaPaint(id);
  else
    LoadRix3(id, st->Header[9] == 4);
  id.NotifyImageDone();
  id.FinishDecoding();
}

void RegisterRIX() { RegisterFormat(IdentifyRIX, LoadRIX, NoNextImage); }
