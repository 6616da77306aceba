#include "imaging/formats/gRLE.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "imaging/Palettes.h"

namespace {

struct tRleState : tCodecState {
  char Resolution = ' ';  // 'M' medium, 'H' high
  int32_t EscapeAt = 0;   // where the escape sequence stands in the first buffer
  int32_t DataOffset = 0;
};

// A byte b is a run of b - 32 pixels; bytes below 32 give none.
constexpr int kRunBias = 32;

}  // namespace

void IdentifyRLE(tGraphicID& id) {
  tBuffStream& s = *id.Stream;
  s.Rewind();
  // The first buffer as a zero-terminated text.
  std::string_view text(reinterpret_cast<const char*>(s.BufferPtr()),
                        static_cast<size_t>(std::max(0, s.BytesValid)));
  text = text.substr(0, text.find('\0'));
  char resolution = 'M';
  size_t at = text.find("\x1bGM");
  if (at == std::string_view::npos) {
    resolution = 'H';
    at = text.find("\x1bGH");
    if (at == std::string_view::npos) return;
  }
  const int width = resolution == 'M' ? 128 : 256, height = resolution == 'M' ? 96 : 192;
  auto st = std::make_unique<tRleState>();
  st->Resolution = resolution;
  st->EscapeAt = static_cast<int32_t>(at);
  st->DataOffset = static_cast<int32_t>(at + 3);
  id.FormatId = fmtRLE;
  id.Width = width;
  id.Height = height;
  id.BitsPerPixel = 1;
  id.Colors = 2;
  id.GrayFlag = 1;
  id.HasPalette = 1;
  const tRGBPalette palette = GrayPalette(2);
  std::memcpy(id.Palette, palette.data(), sizeof id.Palette);
  id.CodecState = std::move(st);
  id.Bitmap = std::make_unique<tMemBmp>();
  id.Bitmap->Allocate(width, height, true, RGBToQuads(palette).data(), 2, 1);
}

void LoadRLE(tGraphicID& id) {
  auto* st = dynamic_cast<tRleState*>(id.CodecState.get());
  if (!st || !id.Stream) return;
  id.RowsDone = 0;
  tBuffStream& s = *id.Stream;
  tMemBmp& pic = *id.Bitmap;
  const int width = pic.Width(), height = pic.Height();
  s.Seek(st->DataOffset);
  std::vector<uint8_t> row(static_cast<size_t>(width));
  int x = 0, y = 0;
  uint8_t color = 0;
  while (y < height) {
    uint8_t b;
    s.Read(&b, 1);
    if (s.LastCount < 1) {
      id.ErrorCode = errEndOfFile;
      if (x > 0) {
        // The part of the row that came; the rest stays black.
        std::fill(row.begin() + x, row.end(), 0);
        pic.SetByteLine(y, row.data());
      }
      break;
    }
    // A run goes on into the next row when it passes the end of this one.
    for (int run = std::max(0, b - kRunBias); run > 0 && y < height;) {
      const int n = std::min(run, width - x);
      std::fill_n(row.begin() + x, n, color);
      x += n;
      run -= n;
      if (x == width) {
        pic.SetByteLine(y++, row.data());
        id.RowsDone = static_cast<uint16_t>(y);
        x = 0;
      }
    }
    color ^= 1;
  }
  id.NotifyImageDone();
  id.FinishDecoding();
}

void RegisterRLE() { RegisterFormat(IdentifyRLE, LoadRLE, NoNextImage); }
