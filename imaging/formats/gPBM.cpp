#include "imaging/formats/gPBM.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/Palettes.h"

namespace {

// Header scanning reads no further than this per token.
constexpr int kMaxTokenScan = 4096;
// Larger numbers cannot be a picture side or the one maximum value read.
constexpr int64_t kMaxTokenValue = 0xFFFF;
constexpr int kMaxValue = 255;
// Raster bytes read at once: few reads, and rows still in the cache when they are turned over.
constexpr int32_t kRowsPerReadBytes = 128 * 1024;

struct tPbmState : tCodecState {
  int32_t DataOffset = 0;
};

bool NextChar(tBuffStream& s, uint8_t& c) {
  s.Read(&c, 1);
  return s.LastCount == 1;
}

bool IsBlank(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// A decimal token after blanks and at most one comment; the character that ends the digits is
// consumed. False for an empty token, zero, a number too large, or a header that runs on.
bool ReadToken(tBuffStream& s, int& value) {
  int scanned = 0;
  bool comment = false;
  uint8_t c = 0;
  for (;;) {
    if (++scanned > kMaxTokenScan || !NextChar(s, c)) return false;
    if (IsBlank(c)) continue;
    if (c != '#' || comment) break;
    comment = true;
    do {
      if (++scanned > kMaxTokenScan || !NextChar(s, c)) return false;
    } while (c != '\n' && c != '\r');
  }
  int64_t v = 0;
  int digits = 0;
  while (c >= '0' && c <= '9') {
    v = v * 10 + (c - '0');
    ++digits;
    if (v > kMaxTokenValue) return false;
    if (++scanned > kMaxTokenScan || !NextChar(s, c)) break;
  }
  if (digits == 0 || v == 0) return false;
  value = static_cast<int>(v);
  return true;
}

}  // namespace

void IdentifyPBM(tGraphicID& id) {
  tBuffStream& s = *id.Stream;
  s.Rewind();
  const uint8_t* b = s.BufferPtr();
  if (s.BytesValid < 3 || b[0] != 'P' || b[2] != '\n' || (b[1] != '5' && b[1] != '6')) return;
  const bool gray = b[1] == '5';
  const int bits = gray ? 8 : 24, colors = gray ? 256 : 280;
  uint8_t magic[3];
  s.Read(magic, 3);
  int width, height, maxValue;
  if (!ReadToken(s, width) || !ReadToken(s, height) || !ReadToken(s, maxValue)) return;
  if (maxValue != kMaxValue || !ValidPictureSize(width, height, colors)) return;
  auto st = std::make_unique<tPbmState>();
  st->DataOffset = s.Position() - s.Base;
  id.FormatId = fmtPBM;
  id.Width = static_cast<uint16_t>(width);
  id.Height = static_cast<uint16_t>(height);
  id.BitsPerPixel = static_cast<uint16_t>(bits);
  id.Colors = static_cast<uint16_t>(colors);
  id.SubType = std::string("type ") + static_cast<char>(b[1]);
  tQuadPalette quads{};
  if (gray) {
    const tRGBPalette palette = GrayPalette(256);
    std::memcpy(id.Palette, palette.data(), sizeof id.Palette);
    quads = RGBToQuads(palette);
    id.HasPalette = 1;
    id.GrayFlag = 1;
    id.SubType += " grayscale";
  }
  id.CodecState = std::move(st);
  id.Bitmap = std::make_unique<tMemBmp>();
  id.Bitmap->Allocate(width, height, gray, gray ? quads.data() : nullptr, colors, bits);
}

void LoadPBM(tGraphicID& id) {
  auto* st = dynamic_cast<tPbmState*>(id.CodecState.get());
  if (!st || !id.Stream) return;
  id.RowsDone = 0;
  tBuffStream& s = *id.Stream;
  tMemBmp& pic = *id.Bitmap;
  s.Seek(st->DataOffset);
  const int width = pic.Width(), height = pic.Height();
  const bool gray = id.BitsPerPixel == 8;
  const int32_t rowBytes = gray ? width : width * 3;
  // Rows without padding lie back to back, the last row first: a run of rows is read in one
  // piece straight into the place of those rows, where it lies upside down, and then turned
  // over pair by pair while it is in the cache, colour rows turning from red-first to
  // blue-first in the same pass. Padded rows are read one at a time. Whatever a short file
  // leaves unread stays black (the picture starts zeroed).
  const int rowsPerRead =
      pic.RowStride == rowBytes ? std::max(1, kRowsPerReadBytes / rowBytes) : 1;
  for (int y = 0; y < height;) {
    const int rows = std::min(rowsPerRead, height - y);
    uint8_t* first = pic.ScanLine(y + rows - 1);
    s.Read(first, rows * rowBytes);
    const int32_t got = s.LastCount;
    for (int i = 0, j = rows - 1; i <= j; ++i, --j)
      ExchangeRows(first + size_t(i) * rowBytes, first + size_t(j) * rowBytes, size_t(rowBytes),
                   !gray);
    id.RowsDone = static_cast<uint16_t>(y + got / rowBytes);
    if (got < rows * rowBytes) {
      id.ErrorCode = errEndOfFile;
      break;
    }
    y += rows;
  }
  id.NotifyImageDone();
  id.FinishDecoding();
}

void RegisterPBM() { RegisterFormat(IdentifyPBM, LoadPBM, NoNextImage); }
