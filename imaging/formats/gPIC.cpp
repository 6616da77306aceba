#include "imaging/formats/gPIC.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/uFormat.h"
#include "imaging/Palettes.h"
#include "imaging/formats/gByteRows.h"

namespace {

constexpr int kHeader = 17;
constexpr uint16_t kMagic = 0x1234;
// Four planes of one bit each: the only planar layout the reader knows.
constexpr uint8_t kPlanar = 0x31;

struct tPicState : tCodecState {
  uint8_t Header[kHeader] = {};
  int PaletteLength() const { return GetLE16(Header + 15); }
  bool Planar() const { return Header[10] == kPlanar; }
  int Bits() const { return Planar() ? 4 : Header[10]; }
};

bool KnownPlaneInfo(uint8_t v) { return v == 1 || v == 2 || v == 4 || v == 8 || v == kPlanar; }

bool KnownPaletteLength(int n) { return n == 0 || n == 2 || n == 16 || n == 48 || n == 768; }

// Turns the decoded byte stream into rows, bottom row first, plane by plane for planar pictures.
class tRowSink {
 public:
  tRowSink(tGraphicID& id, const tPicState& st)
      : id_(id), pic_(*id.Bitmap), planar_(st.Planar()), bits_(st.Bits()) {
    const int w = id.IdentWidth;
    rowBytes_ = planar_ || bits_ == 1 ? (w + 7) / 8
                : bits_ == 2          ? (w + 3) / 4
                : bits_ == 4          ? (w + 1) / 2
                                      : w;
    line_.resize(size_t(rowBytes_));
    row_.resize(size_t(rowBytes_) * 8);
    id.RowsDone = static_cast<uint16_t>(id.IdentHeight - 1);
  }
  bool Full() const { return full_; }

  void Put(uint8_t v, int count) {
    while (count > 0 && !full_) {
      int n = std::min(count, rowBytes_ - fill_);
      std::memset(line_.data() + fill_, v, size_t(n));
      fill_ += n, count -= n;
      if (fill_ == rowBytes_) EndRow();
    }
  }

 private:
  void EndRow() {
    fill_ = 0;
    const int y = id_.RowsDone, width = id_.IdentWidth;
    if (planar_) {
      UnpackPixels(line_.data(), row_.data(), rowBytes_, 1);
      const uint8_t* current = pic_.GetByteLine(y);
      for (int x = 0; x < width; ++x)
        if (plane_ > 0) row_[x] = static_cast<uint8_t>(current[x] | row_[x] << plane_);
    } else if (bits_ == 8) {
      std::memcpy(row_.data(), line_.data(), size_t(width));
    } else {
      UnpackPixels(line_.data(), row_.data(), rowBytes_, bits_);
    }
    PutByteRow(pic_, y, row_.data());
    if (y > 0) {
      id_.RowsDone = static_cast<uint16_t>(y - 1);
    } else if (planar_ && plane_ < 3) {
      id_.NotifyPartial();
      ++plane_;
      id_.RowsDone = static_cast<uint16_t>(id_.IdentHeight - 1);
    } else {
      // The last row is in: whatever data follows has nowhere to go.
      full_ = true;
    }
  }

  tGraphicID& id_;
  tMemBmp& pic_;
  bool planar_;
  int bits_, rowBytes_ = 0, fill_ = 0, plane_ = 0;
  bool full_ = false;
  std::vector<uint8_t> line_, row_;
};

bool ReadByte(tBuffStream& s, uint8_t& v) {
  s.Read(&v, 1);
  return s.LastCount == 1;
}

}  // namespace

void IdentifyPIC(tGraphicID& id) {
  tBuffStream& s = *id.Stream;
  s.Rewind();
  const uint8_t* b = s.BufferPtr();
  const int width = GetLE16(b + 2), height = GetLE16(b + 4);
  const int xOffset = GetLE16(b + 6), yOffset = GetLE16(b + 8);
  const uint8_t planeInfo = b[10], mode = b[12];
  const int paletteLength = GetLE16(b + 15);
  if (GetLE16(b) != kMagic || b[11] != 0xFF || !SpanFits(xOffset, width) ||
      !SpanFits(yOffset, height) || !ValidPictureSize(width, height, 256) || mode < 'A' ||
      mode > 'X' || !KnownPaletteLength(paletteLength) || !KnownPlaneInfo(planeInfo))
    return;
  auto st = std::make_unique<tPicState>();
  std::memcpy(st->Header, b, kHeader);
  id.FormatId = fmtPIC;
  id.Width = static_cast<uint16_t>(width);
  id.Height = static_cast<uint16_t>(height);
  id.Work1 = static_cast<uint16_t>(xOffset);
  id.Work0 = static_cast<uint16_t>(yOffset);
  const int bits = st->Bits(), colors = 1 << bits;
  id.BitsPerPixel = static_cast<uint16_t>(bits);
  id.Colors = static_cast<uint16_t>(colors);

  tRGBPalette rgb{};
  const uint8_t* data = b + kHeader;  // at most 768 bytes: inside the first buffer
  const tPalette16 ega = EgaPalette();
  if (paletteLength == 0) {
    if (colors == 16) {
      std::copy(ega.begin(), ega.end(), rgb.begin());
    } else {
      id.GrayFlag = 1;
      rgb = GrayPalette(colors);
    }
  } else if (paletteLength == 2) {
    // A CGA palette selector and the background colour for entry 0.
    const auto cga = CgaPalettes();
    const int which = data[0] == 5 ? 2 : 0;
    std::copy(cga.begin() + which * 12, cga.begin() + which * 12 + 12, rgb.begin());
    const int background = data[1] > 15 ? 0 : data[1];
    std::copy(ega.begin() + background * 3, ega.begin() + background * 3 + 3, rgb.begin());
  } else if (paletteLength == 16) {
    const tPalette16 pal = EgaRegistersToRGB(data);
    std::copy(pal.begin(), pal.end(), rgb.begin());
  } else {
    std::copy(data, data + paletteLength, rgb.begin());
    ShiftPalette(std::span<uint8_t>(rgb.data(), size_t(paletteLength)), 2);
  }
  std::copy(rgb.begin(), rgb.end(), id.Palette);
  id.HasPalette = 1;
  id.SubType = Format("Type %s %s", {static_cast<char>(mode), st->Planar() ? "planar" : ""});
  const tQuadPalette quads = RGBToQuads(rgb);
  id.GrayFlag = IsGrayPalette(bits, colors, quads.data()) ? 1 : 0;
  id.Bitmap = std::make_unique<tMemBmp>();
  id.Bitmap->Allocate(width, height, id.GrayFlag, quads.data(), colors, bits);
  id.CodecState = std::move(st);
}

void LoadPIC(tGraphicID& id) {
  auto* st = dynamic_cast<tPicState*>(id.CodecState.get());
  if (!st || !id.Stream) return;
  tBuffStream& s = *id.Stream;
  s.Seek(kHeader + st->PaletteLength());
  uint8_t word[2];
  s.Read(word, 2);
  const int blocks = GetLE16(word);
  if (s.LastCount < 2) {
    id.ErrorCode = errEndOfFile;
  } else if (blocks == 0) {
    id.ErrorCode = errFileDamaged;
    id.FinishDecoding();
    return;
  } else {
    id.AddInfoLine(Format("%s%d compressed blocks", {"g", blocks}));
  }
  tRowSink sink(id, *st);
  for (int j = 1; j <= blocks && id.ErrorCode == 0; ++j) {
    uint8_t head[5];
    s.Read(head, 5);
    if (s.LastCount < 5) {
      id.ErrorCode = errEndOfFile;
      break;
    }
    const int blockSize = GetLE16(head), unpacked = GetLE16(head + 2);
    const uint8_t marker = head[4];
    id.AddInfoLine(Format("%sblock %d: %d bytes compressed to %d", {"g", j, unpacked, blockSize}));
    int left = blockSize - 5;
    while (left > 0) {
      uint8_t b, value;
      int count = 1;
      if (!ReadByte(s, b)) break;
      --left;
      value = b;
      if (b == marker) {
        uint8_t c;
        if (!ReadByte(s, c)) break;
        --left;
        count = c;
        if (c == 0) {
          s.Read(word, 2);
          if (s.LastCount < 2) break;
          left -= 2;
          count = GetLE16(word);
        }
        if (!ReadByte(s, value)) break;
        --left;
      }
      sink.Put(value, count);
    }
    if (left > 0) id.ErrorCode = errEndOfFile;
  }
  id.NotifyImageDone();
  id.FinishDecoding();
}

void RegisterPIC() { RegisterFormat(IdentifyPIC, LoadPIC, NoNextImage); }
