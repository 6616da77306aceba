#include "imaging/formats/gHLO.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/uFormat.h"
#include "imaging/Palettes.h"
#include "imaging/formats/gByteRows.h"

namespace {

constexpr int kPalHeader = 40, kPalRecord = 6, kScreenHeader = 8, kCutHeader = 6;
constexpr int kRecord = 512;
constexpr int kMaxCutWidth = 1024, kMaxCutHeight = 768;
// Versions from this one on store 8-bit palette values.
constexpr int kEightBitVersion = 226;

struct tHaloState : tCodecState {
  uint8_t Header[kScreenHeader] = {};
  int Entries = 0;
  bool Cut = false;
  bool Planar = false;
  int32_t DataOffset = 0;
  int Mode() const { return Header[7]; }
};

// The companion ".pal" file: entries (0 when it is missing or short) and its version.
struct tHaloPalette {
  int Entries = 0;
  int Version = 0;
  tRGBPalette Rgb{};
};

tHaloPalette ReadPaletteFile(const std::string& name) {
  tHaloPalette pal;
  const std::string ext = ExtractFileExt(name);
  const std::string stem = name.substr(0, name.size() - ext.size());
  std::unique_ptr<TStream> file = OpenFileStream(stem + ".pal");
  if (!file) file = OpenFileStream(stem + ".PAL");
  if (!file) return pal;
  uint8_t header[kPalHeader];
  if (file->Read(header, kPalHeader) != kPalHeader) return pal;
  const int n = GetLE16(header + 12) + 1;
  if (n < 1 || n > 256) return pal;
  uint8_t records[256 * kPalRecord];
  if (file->Read(records, n * kPalRecord) != n * kPalRecord) return pal;
  for (int i = 0; i < n; ++i)
    for (int c = 0; c < 3; ++c) pal.Rgb[i * 3 + c] = records[i * kPalRecord + c * 2];
  pal.Entries = n;
  pal.Version = GetLE16(header + 2);
  return pal;
}

// A cut-out has no signature: its size must be sane and its first lines must each end in 0.
bool LooksLikeCut(const uint8_t* b, int valid) {
  const int width = GetLE16(b), height = GetLE16(b + 2);
  if (width < 1 || width > kMaxCutWidth || height < 1 || height > kMaxCutHeight) return false;
  int lines = 0;
  for (int p = kCutHeader; p + 2 <= valid;) {
    const int count = GetLE16(b + p);
    if (p + 2 + count > valid) break;  // the line goes on past the buffer
    if (count == 0 || b[p + 2 + count - 1] != 0) return false;
    ++lines;
    p += 2 + count;
  }
  return lines > 3;
}

std::string VersionText(int version) {
  switch (version) {
    case 224:
      return "2";
    case 226:
    case 227:
      return "3";
    case 230:
      return "3?";
    default:
      return Format("??? [%4x]", {version});
  }
}

struct tModeLayout {
  int Width, Height, Bits;
  bool Planar;
  int HeaderSkip;
};

bool ModeLayout(int mode, bool hasPaletteFile, tModeLayout& m) {
  switch (mode) {
    case 1:
      m = {320, 200, 2, false, 8};
      return true;
    case 7:
      m = {720, 348, 1, false, 2};
      return true;
    case 21:
    case 84:
      m = {640, 350, 4, true, 4};
      return true;
    case 71:
      m = {640, hasPaletteFile ? 480 : 350, 4, true, 4};
      return true;
    case 46:
      m = hasPaletteFile ? tModeLayout{640, 350, 4, true, 4} : tModeLayout{640, 480, 4, false, 4};
      return true;
    case 60:
      m = {320, 200, 8, false, 8};
      return true;
    case 73:
      m = {720, 348, 4, true, 4};
      return true;
    default:
      return false;
  }
}

// Walks the lines in the order the file stores them: interleaved fields (with the memory gap
// between fields dropped) and, for planar pictures, plane after plane.
class tLineOrder {
 public:
  tLineOrder(tGraphicID& id, const tHaloState& st)
      : id_(id), pic_(*id.Bitmap), planar_(st.Planar), cut_(st.Cut), height_(id.IdentHeight) {
    const int w = id.IdentWidth, bits = id.IdentBits;
    lineBytes_ = cut_ || (!planar_ && bits >= 4) ? w : bits == 2 ? (w + 3) / 4 : (w + 7) / 8;
    line_.resize(size_t(lineBytes_));
    row_.resize(size_t(lineBytes_) * 8 + 8);
    if (!cut_ && st.Mode() == 1) fields_ = 2, gap_ = 192;
    if (!cut_ && (st.Mode() == 7 || st.Mode() == 73)) fields_ = 4, gap_ = 362;
    id.RowsDone = 0;
  }
  bool Done() const { return done_; }

  void Put(const uint8_t* bytes, int count) {
    for (int i = 0; i < count && !done_;) {
      if (drop_ > 0) {
        int n = std::min(drop_, count - i);
        drop_ -= n, i += n;
        continue;
      }
      int n = std::min(lineBytes_ - fill_, count - i);
      std::memcpy(line_.data() + fill_, bytes + i, size_t(n));
      fill_ += n, i += n;
      if (fill_ == lineBytes_) EndLine();
    }
  }

 private:
  void EndLine() {
    fill_ = 0;
    const int width = id_.IdentWidth, bits = id_.IdentBits;
    if (planar_) {
      UnpackPixels(line_.data(), row_.data(), lineBytes_, 1);
      const uint8_t* current = pic_.GetByteLine(row_y_);
      for (int x = 0; x < width && plane_ > 0; ++x)
        row_[x] = static_cast<uint8_t>(current[x] | row_[x] << plane_);
    } else if (cut_ || bits >= 4) {
      std::memcpy(row_.data(), line_.data(), size_t(width));
    } else {
      UnpackPixels(line_.data(), row_.data(), lineBytes_, bits);
    }
    PutByteRow(pic_, row_y_, row_.data());
    id_.RowsDone = static_cast<uint16_t>(id_.RowsDone + 1);
    row_y_ += fields_;
    if (row_y_ < height_) return;
    // The field is complete.
    if (++field_ < fields_) {
      row_y_ = field_;
      drop_ = gap_;
      return;
    }
    if (planar_ && plane_ < 3) {
      id_.NotifyPartial();
      ++plane_;
      field_ = row_y_ = 0;
      drop_ = gap_;
      id_.RowsDone = 0;
      return;
    }
    done_ = true;
  }

  tGraphicID& id_;
  tMemBmp& pic_;
  bool planar_, cut_;
  int height_, lineBytes_ = 0, fill_ = 0, fields_ = 1, gap_ = 0, drop_ = 0;
  int field_ = 0, row_y_ = 0, plane_ = 0;
  bool done_ = false;
  std::vector<uint8_t> line_, row_;
};

}  // namespace

void IdentifyHLO(tGraphicID& id) {
  tBuffStream& s = *id.Stream;
  s.Rewind();
  const uint8_t* b = s.BufferPtr();
  // Every file browsed reaches this reader: the palette files beside it are looked for only
  // when the data could be a screen or a cut at all.
  const bool screenLike = b[0] == 'A' && b[1] == 'H';
  if (!screenLike && !LooksLikeCut(b, s.BytesValid)) return;
  tHaloPalette pal;
  if (!HasExtension(id.FileName, ".pal")) pal = ReadPaletteFile(id.FileName);
  auto st = std::make_unique<tHaloState>();
  st->Cut = pal.Entries > 0 && LooksLikeCut(b, s.BytesValid);
  int width, height, bits, colors, version;
  if (st->Cut) {
    width = GetLE16(b), height = GetLE16(b + 2);
    colors = pal.Entries;
    bits = BitsForColors(colors);
    version = pal.Version;
    st->DataOffset = kCutHeader;
  } else {
    tModeLayout m;
    if (b[0] != 'A' || b[1] != 'H' || GetLE16(b + 4) != 0 || b[6] != 2 ||
        !ModeLayout(b[7], pal.Entries > 0, m))
      return;
    std::memcpy(st->Header, b, kScreenHeader);
    width = m.Width, height = m.Height, bits = m.Bits, colors = 1 << bits;
    st->Planar = m.Planar;
    version = GetLE16(b + 2);
    st->DataOffset = kScreenHeader + m.HeaderSkip;
  }
  st->Entries = pal.Entries;
  tRGBPalette rgb = pal.Rgb;
  id.GrayFlag = 0;
  if (pal.Entries > 0) {
    if (version < kEightBitVersion) ShiftPalette(rgb, 2);
  } else if (colors == 2) {
    id.GrayFlag = 1;
  } else if (colors == 4) {
    const auto cga = CgaPalettes();
    std::copy(cga.begin() + 12, cga.begin() + 24, rgb.begin());  // the dim first palette
  } else if (colors == 16) {
    const tPalette16 ega = EgaPalette();
    std::copy(ega.begin(), ega.end(), rgb.begin());
  }
  if (pal.Entries == 0 && id.GrayFlag) {
    rgb = GrayPalette(colors);
  } else if (pal.Entries == 0 && colors > 16 && bits <= 8) {
    rgb = Palette332();
  }
  std::copy(rgb.begin(), rgb.end(), id.Palette);
  id.HasPalette = pal.Entries > 0 ? 1 : 0;
  id.Width = static_cast<uint16_t>(width);
  id.Height = static_cast<uint16_t>(height);
  id.BitsPerPixel = static_cast<uint16_t>(bits);
  id.Colors = static_cast<uint16_t>(colors);
  id.SubType = std::string(st->Cut ? "CUT " : "") + "Version " + VersionText(version) +
               (st->Planar ? " planar" : "") +
               (st->Cut ? std::string() : Format(" mode %.2xh", {st->Mode()}));
  id.FormatId = fmtHLO;
  const tQuadPalette quads = RGBToQuads(rgb);
  id.Bitmap = std::make_unique<tMemBmp>();
  id.Bitmap->Allocate(width, height, id.GrayFlag, quads.data(), colors, bits);
  id.CodecState = std::move(st);
}

void LoadHLO(tGraphicID& id) {
  auto* st = dynamic_cast<tHaloState*>(id.CodecState.get());
  if (!st || !id.Stream) return;
  tBuffStream& s = *id.Stream;
  s.Seek(st->DataOffset);
  tLineOrder lines(id, *st);
  uint8_t word[2], data[128];
  auto fail = [&] { id.ErrorCode = errEndOfFile; };
  if (st->Cut) {
    s.Read(word, 2);  // the first line's byte count
    if (s.LastCount < 2) fail();
  }
  while (!lines.Done() && id.ErrorCode == 0) {
    uint8_t a;
    s.Read(&a, 1);
    if (s.LastCount < 1) {
      fail();
      break;
    }
    const int n = a & 0x7F;
    if (n == 0) {
      if (st->Cut) {
        s.Read(word, 2);  // the next line's byte count
        if (s.LastCount < 2) fail();
      } else {
        // The end of a 512-byte record.
        const int32_t at = s.Position() - s.Base, next = (at + kRecord - 1) / kRecord * kRecord;
        s.Skip(next - at);
      }
    } else if (a & 0x80) {
      uint8_t v;
      s.Read(&v, 1);
      if (s.LastCount < 1) {
        fail();
        break;
      }
      std::memset(data, v, size_t(n));
      lines.Put(data, n);
    } else {
      s.Read(data, n);
      if (s.LastCount < n) fail();
      lines.Put(data, s.LastCount);
    }
  }
  id.NotifyImageDone();
  id.FinishDecoding();
}

void RegisterHLO() { RegisterFormat(IdentifyHLO, LoadHLO, NoNextImage); }
