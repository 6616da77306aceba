#include "imaging/formats/gMAC.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "imaging/Palettes.h"

namespace {

constexpr int kWidth = 576, kHeight = 720, kRowBytes = kWidth / 8;
// Where a MacBinary header keeps the file type, and how much of the file name is kept.
constexpr int kMacBinaryType = 65;
constexpr int kMaxNameLength = 25;

struct tMacState : tCodecState {
  std::string Name;  // from the MacBinary header; empty for a bare file
  int32_t DataOffset = 0;
  std::string Code;
};

bool AllZero(const uint8_t* p, int n) {
  return std::all_of(p, p + n, [](uint8_t v) { return v == 0; });
}

bool VersionAndPattern(const uint8_t* b, uint8_t version) {
  static const uint8_t kOnes[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  return b[0] == 0 && b[1] == 0 && b[2] == 0 && b[3] == version &&
         std::memcmp(b + 4, kOnes, 8) == 0;
}

}  // namespace

void IdentifyMAC(tGraphicID& id) {
  tBuffStream& s = *id.Stream;
  if (s.Base != 0) return;
  s.Rewind();
  const uint8_t* b = s.BufferPtr();
  const int valid = s.BytesValid;  // the pad behind a short file is no evidence
  auto st = std::make_unique<tMacState>();
  if (valid > kMacBinaryType + 3 && std::memcmp(b + kMacBinaryType, "PNTG", 4) == 0) {
    st->DataOffset = 640;
    st->Code = "P.5";
    st->Name.assign(reinterpret_cast<const char*>(b + 2), std::min<int>(b[1], kMaxNameLength));
  } else if (valid > 640 && std::count_if(b, b + 640, [](uint8_t v) { return v != 0; }) <= 2 &&
             b[640] != 0) {
    st->DataOffset = 640;
    st->Code = "5.5";
  } else if (valid >= 12 && VersionAndPattern(b, 2)) {
    st->DataOffset = 512;
    st->Code = "2.4";
  } else if (valid >= 12 && VersionAndPattern(b, 3)) {
    st->DataOffset = 512;
    st->Code = "3.4";
  } else if (valid > 512 && AllZero(b, 512) && b[512] != 0) {
    st->DataOffset = 512;
    st->Code = "4.4";
  } else {
    return;
  }
  id.FormatId = fmtMAC;
  id.Width = kWidth;
  id.Height = kHeight;
  id.BitsPerPixel = 1;
  id.Colors = 2;
  id.GrayFlag = 1;
  id.HasPalette = 1;
  id.SubType = st->Code;
  const tRGBPalette palette = GrayPalette(2);
  std::memcpy(id.Palette, palette.data(), sizeof id.Palette);
  id.CodecState = std::move(st);
  id.Bitmap = std::make_unique<tMemBmp>();
  id.Bitmap->Allocate(kWidth, kHeight, true, RGBToQuads(palette).data(), 2, 1);
}

void LoadMAC(tGraphicID& id) {
  auto* st = dynamic_cast<tMacState*>(id.CodecState.get());
  if (!st || !id.Stream) return;
  id.RowsDone = 0;
  if (!st->Name.empty()) id.AddInfoLine("r" + st->Name);
  tBuffStream& s = *id.Stream;
  tMemBmp& pic = *id.Bitmap;
  s.Seek(st->DataOffset);
  uint8_t row[kRowBytes];
  int fill = 0, y = 0;
  auto next = [&](uint8_t& v) {
    if (s.Index >= s.BytesValid && s.Available() == 0) {
      id.ErrorCode = errEndOfFile;
      return false;
    }
    v = s.Buffer[s.Index++];
    return true;
  };
  // MacPaint's 1 is black: every byte is stored inverted.
  auto emit = [&](uint8_t v) {
    row[fill++] = static_cast<uint8_t>(~v);
    if (fill == kRowBytes) {
      std::memcpy(pic.ScanLine(y++), row, kRowBytes);
      id.RowsDone = static_cast<uint16_t>(y);
      fill = 0;
    }
  };
  uint8_t control, v;
  while (y < kHeight && next(control)) {
    const int n = static_cast<int8_t>(control);
    if (n >= 0) {
      for (int i = 0; i <= n && y < kHeight; ++i) {
        if (!next(v)) break;
        emit(v);
      }
    } else if (n != -128) {
      if (!next(v)) break;
      for (int i = 0; i < 1 - n && y < kHeight; ++i) emit(v);
    }
  }
  id.NotifyImageDone();
  id.FinishDecoding();
}

void RegisterMAC() { RegisterFormat(IdentifyMAC, LoadMAC, NoNextImage); }
