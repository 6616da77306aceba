#include "imaging/formats/gLBM.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/uFormat.h"
#include "imaging/Palettes.h"

namespace {

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}
bool Is(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

// Pixel values are gathered in three bytes (red, green, blue planes): more planes cannot be held.
constexpr int kMaxIlbmPlanes = 24;
constexpr int kMaxPbmPlanes = 8;
// A bitmap header must start before this offset of the first buffer.
constexpr int kBmhdSearchEnd = 4089;
// 256 RGB triples; a longer colour map is read only that far.
constexpr int kMaxCmapBytes = 768;
// Skipping a chunk this short reads through it rather than refilling the buffer by a seek.
constexpr int64_t kSkipByReading = 4 * tBuffStream::kBlockSize;

constexpr uint32_t kCamgHam = 0x800, kCamgHalfBrite = 0x80;

struct tLbmState : tCodecState {
  int ImageWidth = 0, ImageHeight = 0, X = 0, Y = 0;
  int Planes = 0, Masking = 0, Compression = 0;
  bool Ilbm = false, Ham = false;
  uint8_t HamBase[64 * 3] = {};
  int32_t BodyOffset = -1;  // logical offset of the BODY data; -1 when none was reached
  int64_t BodyLength = 0;
};

// What the chunks in front of the BODY held.
struct tChunks {
  uint8_t Bmhd[20] = {};
  uint8_t Cmap[kMaxCmapBytes] = {};
  int CmapBytes = -1;  // -1: no CMAP
  uint32_t Camg = 0;
  std::vector<std::vector<uint8_t>> Notes;  // ANNO texts
  int32_t BodyOffset = -1;
  int64_t BodyLength = 0;
  bool Short = false;  // a chunk header or the bitmap header ended early
};

bool BmhdInFirstBuffer(const uint8_t* b) {
  for (int64_t pos = 12; pos < kBmhdSearchEnd;) {
    if (Is(b + pos, "BMHD")) return true;
    const uint32_t len = Get32(b + pos + 4);
    pos += 8 + int64_t{len} + (len & 1);
  }
  return false;
}

int64_t LogicalPosition(tBuffStream& s) { return int64_t{s.Position()} - s.Base; }

void SkipTo(tBuffStream& s, int64_t pos) {
  const int64_t ahead = pos - LogicalPosition(s);
  if (ahead >= 0 && ahead <= kSkipByReading) {
    s.Skip(static_cast<int32_t>(ahead));
  } else {
    s.Seek(static_cast<int32_t>(pos));
  }
}

void ReadChunks(tBuffStream& s, tChunks& c) {
  const int64_t size = int64_t{s.Size} - s.Base;
  s.Seek(12);
  int64_t pos = 12;
  for (;;) {
    uint8_t head[8];
    s.Read(head, 4);
    if (s.LastCount == 4) s.Read(head + 4, 4);
    if (s.LastCount < 4) {
      c.Short = true;
      return;
    }
    pos += 8;
    int64_t len = Get32(head + 4);
    if (len == 0) len = std::max<int64_t>(0, size - pos);  // the rest of the file
    if (Is(head, "BODY")) {
      c.BodyOffset = static_cast<int32_t>(pos);
      c.BodyLength = len;
      return;
    }
    if (Is(head, "CMAP")) {
      s.Read(c.Cmap, static_cast<int32_t>(std::min<int64_t>(len, kMaxCmapBytes)));
      c.CmapBytes = s.LastCount;
    } else if (Is(head, "CAMG")) {
      uint8_t value[4] = {};
      s.Read(value, 4);
      c.Camg = Get32(value);
    } else if (Is(head, "BMHD")) {
      s.Read(c.Bmhd, 20);
      if (s.LastCount < 20) {
        c.Short = true;
        return;
      }
    } else if (Is(head, "ANNO")) {
      std::vector<uint8_t> text(static_cast<size_t>(std::clamp<int64_t>(size - pos, 0, len)));
      s.Read(text.data(), static_cast<int32_t>(text.size()));
      text.resize(static_cast<size_t>(s.LastCount));
      c.Notes.push_back(std::move(text));
    }
    pos = std::min(pos + len + (len & 1), size);
    SkipTo(s, pos);
  }
}

bool AllGray(const uint8_t* rgb, int entries) {
  for (int i = 0; i < entries; ++i, rgb += 3)
    if (rgb[0] != rgb[1] || rgb[1] != rgb[2]) return false;
  return true;
}

// Reads body bytes while the BODY length lasts.
class tBodyReader {
 public:
  tBodyReader(tGraphicID& id, int64_t length) : id_(id), s_(*id.Stream), left_(length) {}
  // False when the BODY is used up or the file ends (error 3).
  bool Next(uint8_t& v) {
    if (left_ <= 0) return false;
    if (s_.Index >= s_.BytesValid && s_.Available() == 0) {
      id_.ErrorCode = errEndOfFile;
      return false;
    }
    v = s_.Buffer[s_.Index++];
    --left_;
    return true;
  }

 private:
  tGraphicID& id_;
  tBuffStream& s_;
  int64_t left_;
};

// Turns decoded rows into picture rows at the image's place on the page.
class tRowPutter {
 public:
  tRowPutter(tGraphicID& id, const tLbmState& st)
      : id_(id), st_(st), pic_(*id.Bitmap), pixels_(static_cast<size_t>(st.ImageWidth)) {
    planeBytes_ = ((st.ImageWidth + 7) / 8 + 1) & ~1;
    planesInRow_ = st.Planes + (st.Ilbm && st.Masking == 1 ? 1 : 0);
  }
  size_t RowBytes() const {
    return st_.Ilbm ? size_t(planeBytes_) * planesInRow_ : size_t(st_.ImageWidth);
  }

  void Put(const uint8_t* raw, int row) {
    const int w = st_.ImageWidth, y = st_.Y + row;
    id_.RowsDone = static_cast<uint16_t>(std::clamp(y + 1, 0, 0xFFFF));
    if (y < 0 || y >= pic_.Height()) return;
    // Pixels left of the page or right of it are dropped.
    const int from = std::max(0, -st_.X), to = std::min(w, pic_.Width() - st_.X);
    if (from >= to) return;
    if (st_.Ilbm) {
      Gather(raw);
    } else {
      for (int x = 0; x < w; ++x) pixels_[x] = raw[x];
    }
    if (id_.BitsPerPixel <= 8) {
      uint8_t* line = pic_.GetByteLine(y);
      if (pic_.BitCount() < 8) {
        // A copy: SetByteLine packs from the very buffer GetByteLine unpacked into.
        bytes_.assign(line, line + pic_.Width());
        line = bytes_.data();
      }
      for (int x = from; x < to; ++x) line[st_.X + x] = static_cast<uint8_t>(pixels_[x]);
      pic_.SetByteLine(y, line);
      return;
    }
    uint8_t* line = pic_.GetRGBLineSwapped(y);
    if (st_.Ham) {
      Ham(line, from, to);
    } else {
      for (int x = from; x < to; ++x) {
        uint8_t* d = line + 3 * (st_.X + x);
        d[0] = static_cast<uint8_t>(pixels_[x]);
        d[1] = static_cast<uint8_t>(pixels_[x] >> 8);
        d[2] = static_cast<uint8_t>(pixels_[x] >> 16);
      }
    }
    pic_.SetRGBLineSwapped(y, line);
  }

 private:
  // Plane p of the row gives bit p of each pixel; a mask plane after the bit planes is passed.
  // Eight pixels at a time: one plane byte spread to eight pixel bytes per table look-up.
  void Gather(const uint8_t* raw) {
    static const std::array<uint64_t, 256> spread = [] {
      std::array<uint64_t, 256> t{};
      for (int b = 0; b < 256; ++b)
        for (int k = 0; k < 8; ++k)
          if (b & (0x80 >> k)) t[b] |= uint64_t{1} << (8 * k);
      return t;
    }();
    const int w = st_.ImageWidth;
    for (int g = 0, x = 0; x < w; ++g, x += 8) {
      uint64_t channel[3] = {0, 0, 0};  // planes 0-7, 8-15, 16-23
      for (int p = 0; p < st_.Planes; ++p)
        channel[p >> 3] |= spread[raw[size_t(p) * planeBytes_ + g]] << (p & 7);
      const int n = std::min(8, w - x);
      for (int k = 0; k < n; ++k)
        pixels_[x + k] = static_cast<uint32_t>((channel[0] >> (8 * k) & 0xFF) |
                                               (channel[1] >> (8 * k) & 0xFF) << 8 |
                                               (channel[2] >> (8 * k) & 0xFF) << 16);
    }
  }

  // Hold-and-modify: each pixel takes a base colour or changes one channel of the one before.
  void Ham(uint8_t* line, int from, int to) {
    const bool ham8 = st_.Planes == 8;
    const int dataBits = ham8 ? 6 : 4, scale = ham8 ? 4 : 16;
    uint8_t rgb[3] = {0, 0, 0};
    for (int x = 0; x < to; ++x) {
      const uint32_t v = pixels_[x];
      const uint32_t data = v & ((1u << dataBits) - 1);
      switch ((v >> dataBits) & 3) {
        case 0:
          std::memcpy(rgb, st_.HamBase + 3 * data, 3);
          break;
        case 1:
          rgb[2] = static_cast<uint8_t>(data * scale);
          break;
        case 2:
          rgb[0] = static_cast<uint8_t>(data * scale);
          break;
        default:
          rgb[1] = static_cast<uint8_t>(data * scale);
          break;
      }
      if (x >= from) std::memcpy(line + 3 * (st_.X + x), rgb, 3);
    }
  }

  tGraphicID& id_;
  const tLbmState& st_;
  tMemBmp& pic_;
  std::vector<uint32_t> pixels_;
  std::vector<uint8_t> bytes_;
  int planeBytes_ = 0, planesInRow_ = 0;
};

void DecodeBody(tGraphicID& id, const tLbmState& st) {
  const int h = st.ImageHeight;
  if (st.ImageWidth <= 0 || h <= 0) return;
  id.Stream->Seek(st.BodyOffset);
  tBodyReader body(id, st.BodyLength);
  tRowPutter putter(id, st);
  std::vector<uint8_t> raw(putter.RowBytes());
  size_t fill = 0;
  int row = 0;
  auto emit = [&](uint8_t v) {
    raw[fill++] = v;
    if (fill == raw.size()) {
      putter.Put(raw.data(), row++);
      fill = 0;
    }
  };
  uint8_t b, v;
  while (row < h && body.Next(b)) {
    if (st.Compression == 0) {
      emit(b);
      continue;
    }
    const int n = static_cast<int8_t>(b);
    if (n >= 0) {
      for (int i = 0; i <= n && row < h; ++i) {
        if (!body.Next(v)) return;
        emit(v);
      }
    } else if (n != -128) {
      if (!body.Next(v)) return;
      for (int i = 0; i < 1 - n && row < h; ++i) emit(v);
    }
  }
}

}  // namespace

void IdentifyLBM(tGraphicID& id) {
  tBuffStream& s = *id.Stream;
  s.Rewind();
  const uint8_t* b = s.BufferPtr();
  if (!Is(b, "FORM") || int64_t{Get32(b + 4)} + 8 > s.Size) return;
  const bool ilbm = Is(b + 8, "ILBM");
  if (!ilbm && !Is(b + 8, "PBM ")) return;
  if (!BmhdInFirstBuffer(b)) return;
  tChunks c;
  ReadChunks(s, c);

  auto st = std::make_unique<tLbmState>();
  const uint8_t* h = c.Bmhd;
  st->ImageWidth = Get16(h);
  st->ImageWidth += st->ImageWidth & 1;
  st->ImageHeight = Get16(h + 2);
  st->X = static_cast<int16_t>(Get16(h + 4));
  st->Y = static_cast<int16_t>(Get16(h + 6));
  st->Planes = h[8];
  st->Masking = h[9];
  st->Compression = h[10];
  st->Ilbm = ilbm;
  st->Ham = (c.Camg & kCamgHam) != 0;
  st->BodyOffset = c.BodyOffset;
  st->BodyLength = c.BodyLength;
  const int planes = st->Planes;
  if (planes < 1 || planes > (ilbm ? kMaxIlbmPlanes : kMaxPbmPlanes)) return;

  int width = Get16(h + 16), height = Get16(h + 18);
  if (width < st->ImageWidth || height < st->ImageHeight) {
    width = st->ImageWidth;
    height = st->ImageHeight;
  }
  const int bits = st->Ham ? (planes == 8 ? 18 : 12) : planes;
  const int colors = bits <= 8 ? 1 << bits : bits + 256;
  if (!ValidPictureSize(width, height, colors)) return;

  tRGBPalette palette{};
  const bool hasCmap = c.CmapBytes >= 0;
  if (hasCmap) {
    std::memcpy(palette.data(), c.Cmap, static_cast<size_t>(c.CmapBytes));
    // Extra half-brite: colours 32 to 63 are colours 0 to 31 at half brightness.
    if (!st->Ham && planes == 6 && (c.Camg & kCamgHalfBrite))
      for (int i = 0; i < 32 * 3; ++i) palette[32 * 3 + i] = palette[i] >> 1;
  }
  if (bits > 8) std::memcpy(st->HamBase, palette.data(), sizeof st->HamBase);
  if (!hasCmap) palette = GrayPalette(colors);

  id.FormatId = fmtLBM;
  id.Width = static_cast<uint16_t>(width);
  id.Height = static_cast<uint16_t>(height);
  id.BitsPerPixel = static_cast<uint16_t>(bits);
  id.Colors = static_cast<uint16_t>(colors);
  id.HasPalette = hasCmap ? 1 : 0;
  std::memcpy(id.Palette, palette.data(), sizeof id.Palette);
  const char* kind = st->Ham        ? (planes == 6   ? "HAM6 "
                                       : planes == 8 ? "HAM8 "
                                                     : "HAM? ")
                     : planes == 24 ? "LBM-24 "
                                    : "";
  id.SubType =
      std::string(kind) + "Type " + (ilbm ? "ILBM" : "PBM") + "." + std::to_string(st->Compression);
  if (width == 320 && height != 200) id.SetAspect(3, 5);
  id.GrayFlag = bits <= 8 && AllGray(palette.data(), colors) ? 1 : 0;
  if (c.Short) id.ErrorCode = errEndOfFile;
  for (const auto& note : c.Notes) {
    id.ClearRemark();
    for (uint8_t ch : note) id.AddRemarkChar(static_cast<char>(ch));
    id.EndRemark();
  }
  id.CodecState = std::move(st);
  id.Bitmap = std::make_unique<tMemBmp>();
  const tQuadPalette quads = RGBToQuads(palette);
  id.Bitmap->Allocate(width, height, id.GrayFlag, quads.data(), colors, bits);
}

void LoadLBM(tGraphicID& id) {
  auto* st = dynamic_cast<tLbmState*>(id.CodecState.get());
  if (!st || !id.Stream) return;
  id.IdentWidth = static_cast<uint16_t>(st->ImageWidth);
  id.IdentHeight = static_cast<uint16_t>(st->ImageHeight);
  id.Work0 = static_cast<uint16_t>(st->Y);
  id.Work1 = static_cast<uint16_t>(st->X);
  id.RowsDone = static_cast<uint16_t>(std::max(0, st->Y));
  if (st->ImageWidth != id.Width || st->ImageHeight != id.Height)
    id.AddInfoLine(
        Format("%s%dx%d image at %d,%d", {"b", st->ImageWidth, st->ImageHeight, st->X, st->Y}));
  if (st->BodyOffset >= 0) {
    if (st->Compression > 1) {
      id.ErrorCode = errUnknownCompression;
    } else {
      DecodeBody(id, *st);
    }
  }
  id.NotifyImageDone();
  id.FinishDecoding();
}

void RegisterLBM() { RegisterFormat(IdentifyLBM, LoadLBM, NoNextImage); }
