#include "imaging/formats/gPCX.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

#include "foundation/uFormat.h"
#include "imaging/Palettes.h"

namespace {

constexpr int kHeaderSize = 128;
constexpr int kMaxBytesPerLine = 2048;
constexpr int kPaletteMarker = 12;
constexpr int kTrailerSize = 769;  // the marker and 256 RGB triples

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Where the palette came from; the codes are the sub-type letters' order.
enum tPaletteSource { psNone = 0, psHeader = 1, psCompanion = 2, psTrailer = 3 };

struct tPcxState : tCodecState {
  uint8_t Header[kHeaderSize] = {};
  int Source = psNone;
  bool PaletteFound = false;  // false: the substitute palette is shown
  int Version() const { return Header[1]; }
  int Bits() const { return Header[3]; }
  int XMin() const { return Get16(Header + 4); }
  int YMin() const { return Get16(Header + 6); }
  int Planes() const { return Header[65]; }
  int BytesPerLine() const { return Get16(Header + 66); }
};

bool KnownLayout(int planes, int bits, int version) {
  if (bits < 1 || bits > 8 || planes < 1 || planes > 8) return false;
  if (planes == 1) return bits == 1 || bits == 2 || bits == 4 || bits == 8;
  return (planes == 4 && bits == 8 && version == 2) || bits == 1 || planes == bits ||
         (planes == 3 && bits == 8);
}

int ExpectedBytesPerLine(int planes, int bits, int width) {
  if (planes == 1) {
    switch (bits) {
      case 1:
        return (width + 7) / 8;
      case 2:
        return (width + 3) / 4;
      case 4:
        return (width + 1) / 2;
      default:
        return width;
    }
  }
  return planes == 3 ? width : (width + 7) / 8;
}

// The companion palette file: the same name with the extension ".pal".
std::string CompanionName(const std::string& name) {
  const size_t dot = name.find_last_of("./\\");
  const size_t end = dot != std::string::npos && name[dot] == '.' ? dot : name.size();
  return name.substr(0, end) + ".pal";
}

bool ReadCompanion(const std::string& fileName, int colors, uint8_t* palette) {
  if (fileName.empty()) return false;
  std::unique_ptr<TStream> file = OpenFileStream(CompanionName(fileName));
  if (!file) return false;
  std::vector<uint8_t> bytes(size_t(colors) * 3, 0);
  file->Read(bytes.data(), static_cast<int32_t>(bytes.size()));
  for (size_t i = 0; i < bytes.size(); ++i) palette[i] = static_cast<uint8_t>(bytes[i] << 2);
  return true;
}

// The 256-colour palette after the image, when the marker stands 769 bytes before the end.
bool ReadTrailer(tBuffStream& s, uint8_t* palette) {
  const int64_t offset = int64_t(s.Size) - s.Base - kTrailerSize;
  // Small files have no room for it: the probe would land in the header or before the file.
  if (offset < kHeaderSize) return false;
  uint8_t trailer[kTrailerSize];
  if (s.ReadAt(static_cast<int32_t>(offset), trailer, kTrailerSize) != kTrailerSize ||
      trailer[0] != kPaletteMarker)
    return false;
  std::memcpy(palette, trailer + 1, 768);
  return true;
}

// kSpread[b] holds the 8 bits of b, the most significant first, one in each byte.
static_assert(std::endian::native == std::endian::little);
const std::array<uint64_t, 256> kSpread = [] {
  std::array<uint64_t, 256> table{};
  for (int b = 0; b < 256; ++b)
    for (int k = 0; k < 8; ++k)
      if (b & (0x80 >> k)) table[b] |= uint64_t(1) << (8 * k);
  return table;
}();

// One-bit planes to one byte per pixel, plane 0 the lowest bit; 8 pixels per plane byte.
void MergePlanes(const uint8_t* scan, uint8_t* pixels, int bytesPerLine, int planes) {
  for (int i = 0; i < bytesPerLine; ++i, pixels += 8) {
    uint64_t eight = 0;
    for (int p = 0; p < planes; ++p) eight |= kSpread[scan[p * bytesPerLine + i]] << p;
    std::memcpy(pixels, &eight, 8);
  }
}

// Run-length decoding of scan lines; a run may go on into the next line.
class tRunDecoder {
 public:
  explicit tRunDecoder(tBuffStream& s) : s_(s) {}

  // Fills n bytes, with 8 bytes of room after them; false when the data ran out (the rest is
  // then 0).
  bool Fill(uint8_t* out, int n) {
    uint8_t* o = out;
    uint8_t* const stop = out + n;
    while (o < stop) {
      if (pending_ > 0) {
        const int k = std::min<int>(pending_, static_cast<int>(stop - o));
        std::memset(o, value_, static_cast<size_t>(k));
        o += k;
        pending_ -= k;
        continue;
      }
      if (s_.Index >= s_.BytesValid && s_.Available() == 0) return Short(out, o, stop);
      // Straight from the buffer while a count byte and its value are both in it.
      const uint8_t* in = s_.Buffer + s_.Index;
      const uint8_t* const last = s_.Buffer + s_.BytesValid - 1;
      while (o < stop && in < last) {
        const uint8_t b = *in++;
        if (b < 0xC0) {
          *o++ = b;
          continue;
        }
        const int count = b & 0x3F;
        const uint8_t value = *in++;
        if (count > stop - o) {
          pending_ = count, value_ = value;
          break;
        }
        // Eight bytes a time; what lands past the run is written over next (or is slack).
        const uint64_t eight = value * 0x0101010101010101ull;
        for (int k = 0; k < count; k += 8) std::memcpy(o + k, &eight, 8);
        o += count;
      }
      if (o < stop && in == last && pending_ == 0) {
        // The buffer's last byte: a plain value, or a count whose value is in the next block.
        const uint8_t b = *in++;
        s_.Index = static_cast<int32_t>(in - s_.Buffer);
        if (b < 0xC0) {
          *o++ = b;
        } else {
          if (s_.Available() == 0) return Short(out, o, stop);
          pending_ = b & 0x3F;
          value_ = s_.Buffer[s_.Index++];
        }
        continue;
      }
      s_.Index = static_cast<int32_t>(in - s_.Buffer);
    }
    return true;
  }

 private:
  static bool Short(uint8_t*, uint8_t* o, uint8_t* stop) {
    std::memset(o, 0, static_cast<size_t>(stop - o));
    return false;
  }

  tBuffStream& s_;
  int pending_ = 0;
  uint8_t value_ = 0;
};

}  // namespace

void IdentifyPCX(tGraphicID& id) {
  tBuffStream& s = *id.Stream;
  if (int64_t(s.Size) - s.Base < kHeaderSize) return;
  s.Rewind();
  if (s.BufferPtr()[0] != 10) return;
  uint8_t h[kHeaderSize];
  std::memcpy(h, s.BufferPtr(), kHeaderSize);
  const int version = h[1], bits = h[3], planes = h[65], bytesPerLine = Get16(h + 66);
  const int xmin = Get16(h + 4), ymin = Get16(h + 6), xmax = Get16(h + 8), ymax = Get16(h + 10);
  const int estimate = planes * bits > 8 ? 280 : 256;
  if (!SpanFits(xmin, xmax) || !SpanFits(ymin, ymax)) return;
  const int width = xmax - xmin + 1, height = ymax - ymin + 1;
  if (!ValidPictureSize(width, height, estimate) || bytesPerLine > kMaxBytesPerLine) return;
  if (!KnownLayout(planes, bits, version)) return;
  const int expected = ExpectedBytesPerLine(planes, bits, width);
  if (bytesPerLine < expected || bytesPerLine > expected + 8) return;

  auto st = std::make_unique<tPcxState>();
  std::memcpy(st->Header, h, kHeaderSize);
  id.FormatId = fmtPCX;
  s.Seek(kHeaderSize);
  id.Width = static_cast<uint16_t>(width);
  id.Height = static_cast<uint16_t>(height);
  id.Work1 = static_cast<uint16_t>(xmin);
  id.Work0 = static_cast<uint16_t>(ymin);
  id.BackgroundIndex = 0;
  if (bits == 8 && planes == 3) {
    id.BitsPerPixel = 24;
    id.Colors = 280;
  } else {
    id.BitsPerPixel = static_cast<uint16_t>(planes >= 2 ? planes : bits);
    id.Colors = static_cast<uint16_t>(1 << id.BitsPerPixel);
  }

  const int colors = id.Colors;
  uint8_t* palette = id.Palette;
  if (colors == 2) {
    id.GrayFlag = 1;
    st->PaletteFound = true;
  } else if (colors == 4) {
    // CGA: the background colour in the high nibble of the first byte, the palette number in
    // bits 5 and 6 of the fourth.
    const tPalette16 ega = EgaPalette();
    const auto cga = CgaPalettes();
    const int number = 2 * (1 - ((h[19] >> 5) & 1)) + ((h[19] >> 6) & 1);
    std::memcpy(palette, cga.data() + number * 12, 12);
    std::memcpy(palette, ega.data() + (h[16] >> 4) * 3, 3);
    st->Source = psHeader;
  } else if (colors <= 256) {
    if (ReadCompanion(id.FileName, colors, palette)) {
      st->Source = psCompanion;
    } else if (ReadTrailer(s, palette)) {
      st->Source = psTrailer;
    } else if (colors == 16 && (version == 2 || version == 3)) {
      const tPalette16 ega = EgaPalette();
      std::memcpy(palette, ega.data(), ega.size());
      st->PaletteFound = true;
    } else if (colors == 16) {
      std::memcpy(palette, h + 16, 48);
      st->Source = psHeader;
    }
  }
  if (st->Source != psNone) {
    st->PaletteFound = true;
    id.HasPalette = 1;
  }
  if (id.GrayFlag) {
    const tRGBPalette gray = GrayPalette(colors);
    std::memcpy(palette, gray.data(), gray.size());
  } else if (!st->PaletteFound && id.BitsPerPixel <= 8) {
    const tRGBPalette substitute = Palette332();
    std::memcpy(palette, substitute.data(), substitute.size());
  }
  static const char* const kLetters[] = {"", "h", "p", "i"};
  id.SubType = Format("Type %d%s", {version, kLetters[st->Source]});

  tRGBPalette rgb;
  std::memcpy(rgb.data(), palette, rgb.size());
  const tQuadPalette quads = RGBToQuads(rgb);
  const bool hasTable = id.BitsPerPixel <= 8;
  id.GrayFlag = hasTable && IsGrayPalette(id.BitsPerPixel, colors, quads.data()) ? 1 : 0;
  id.CodecState = std::move(st);
  id.Bitmap = std::make_unique<tMemBmp>();
  id.Bitmap->Allocate(id.Width, id.Height, id.GrayFlag, hasTable ? quads.data() : nullptr,
                      id.Colors, id.BitsPerPixel);
}

void LoadPCX(tGraphicID& id) {
  auto* st = dynamic_cast<tPcxState*>(id.CodecState.get());
  if (!st || !id.Stream) return;
  tBuffStream& s = *id.Stream;
  tMemBmp& pic = *id.Bitmap;
  const int bits = st->Bits(), planes = st->Planes(), bytesPerLine = st->BytesPerLine();
  id.AddInfoLine(
      Format("%s%d bit(s)/pixel, %d plane(s) %d byte(s)/line", {"g", bits, planes, bytesPerLine}));
  if (!st->PaletteFound && id.BitsPerPixel <= 8)
    id.AddInfoLine(Format("%sNo PCX palette found! (using substitute palette)", {"b"}));
  if (st->XMin() || st->YMin())
    id.AddInfoLine(Format("%sImage at %d,%d", {"b", st->XMin(), st->YMin()}));
  s.Seek(kHeaderSize);

  const int width = pic.Width(), height = id.IdentHeight;
  const int scanBytes = planes * bytesPerLine;
  std::vector<uint8_t> scan(static_cast<size_t>(scanBytes) + 8);
  std::vector<uint8_t> pixels(size_t(bytesPerLine) * 8 + 8);
  tRunDecoder decoder(s);
  // Rows from the top of the picture; the box's top (ymin) only moves it on a larger screen.
  for (int y = 0; y < height; ++y) {
    const bool whole = decoder.Fill(scan.data(), scanBytes);
    uint8_t* line = pic.ScanLine(y);
    if (planes == 1) {
      if (bits == 8) {
        std::memcpy(line, scan.data(), static_cast<size_t>(width));
      } else if (bits == pic.BitCount()) {
        // 1 bit: the scan line is the picture's own packed row.
        std::memcpy(line, scan.data(), static_cast<size_t>((width + 7) / 8));
      } else {
        UnpackPixels(scan.data(), pixels.data(), (width * bits + 7) / 8, bits);
        std::memcpy(line, pixels.data(), static_cast<size_t>(width));
      }
    } else if (planes == 3 && bits == 8) {
      const uint8_t *red = scan.data(), *green = red + bytesPerLine, *blue = green + bytesPerLine;
      for (int x = 0; x < width; ++x, line += 3) {
        line[0] = blue[x];
        line[1] = green[x];
        line[2] = red[x];
      }
    } else {
      // One bit per plane; the picture stores 2 to 8 bits as 8.
      MergePlanes(scan.data(), pixels.data(), bytesPerLine, planes);
      std::memcpy(line, pixels.data(), static_cast<size_t>(width));
    }
    if (!whole) {
      id.ErrorCode = errEndOfFile;
      break;
    }
    id.RowsDone = static_cast<uint16_t>(y + 1);
  }
  id.NotifyImageDone();
  id.FinishDecoding();
}

void RegisterPCX() { RegisterFormat(IdentifyPCX, LoadPCX, NoNextImage); }
