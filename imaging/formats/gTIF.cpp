#include "imaging/formats/gTIF.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "foundation/uFormat.h"
#include "foundation/uUtil.h"
#include "imaging/Palettes.h"
#include "imaging/formats/gTIFState.h"

namespace {

const char* const kTagNames[] = {
    "(NewSubfileType)",
    "(SubfileType)",
    "(ImageWidth)",
    "(ImageLength)",
    "(BitsPerSample)",
    "(Compression)",
    "(?)",
    "(?)",
    "(PhotometricInterpret)",
    "(Threshholding)",
    "(CellWidth)",
    "(CellLength)",
    "(FillOrder)",
    "(?)",
    "(?)",
    "(DocumentName)",
    "(ImageDescription)",
    "(Make)",
    "(Model)",
    "(StripOffsets)",
    "(Orientation)",
    "(?)",
    "(?)",
    "(SamplesPerPixel)",
    "(RowsPerStrip)",
    "(StripByteCounts)",
    "(MinSampleValue)",
    "(MaxSampleValue)",
    "(XResolution)",
    "(YResolution)",
    "(PlanarConfiguration)",
    "(PageName)",
    "(XPosition)",
    "(YPosition)",
    "(FreeOffsets)",
    "(FreeByteCounts)",
    "(GrayResponseUnit)",
    "(GrayResponseCurve)",
    "(Group3Options)",
    "(Group4Options)",
    "(?)",
    "(?)",
    "(ResolutionUnit)",
    "(PageNumber)",
    "(?)",
    "(?)",
    "(?)",
    "(ColorResponseCurves)",
    "(?)",
    "(?)",
    "(?)",
    "(Software)",
    "(DateTime)",
    "(?)",
    "(?)",
    "(?)",
    "(?)",
    "(?)",
    "(?)",
    "(?)",
    "(?)",
    "(Artist)",
    "(HostComputer)",
    "(Predictor)",
    "(WhitePoint)",
    "(PrimaryChromaticities)",
    "(ColorMap)",
};
static_assert(std::size(kTagNames) == 67);

enum : uint16_t { tBYTE = 1, tASCII, tSHORT, tLONG, tRATIONAL };

const char* TagName(int tag) { return tag >= 254 && tag <= 320 ? kTagNames[tag - 254] : ""; }

const char* TypeName(int type) {
  static const char* const names[] = {"(byte)", "(ascii)", "(short)", "(long)", "(rational)"};
  return type >= 1 && type <= 5 ? names[type - 1] : "?";
}

int TypeSize(int type) {
  switch (type) {
    case tSHORT:
      return 2;
    case tLONG:
      return 4;
    case tRATIONAL:
      return 8;
    default:
      return 1;
  }
}

const char* CompressionText(int compression) {
  switch (compression) {
    case 1:
      return "none";
    case 2:
      return "CCITT 1D";
    case 3:
      return "Group 3 fax";
    case 4:
      return "Group 4 fax";
    case 5:
      return "LZW";
    case 32773:
      return "PackBits";
    default:
      return "???";
  }
}

struct tEntry {
  uint16_t Tag, Type;
  uint32_t Count;
  uint8_t Raw[4];
  uint32_t Value;  // a single value converted at its type's size; else the offset
};

class tIfdReader {
 public:
  tIfdReader(tGraphicID& id, tTiffState& st) : id_(id), st_(st), s_(*id.Stream) {}
  void Read(int32_t offset);

 private:
  uint16_t U16(const uint8_t* p) const {
    return st_.Intel ? static_cast<uint16_t>(p[0] | p[1] << 8)
                     : static_cast<uint16_t>(p[0] << 8 | p[1]);
  }
  uint32_t U32(const uint8_t* p) const {
    return st_.Intel ? (p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24)
                     : (uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]);
  }
  bool ValidOffset(uint32_t offset) const { return offset >= 8 && offset < uint32_t(s_.Size); }
  void Info(const std::string& line) {
    if (!st_.Quiet) id_.AddInfoLine(line);
  }
  // Up to maxCount values of the entry: inline when they fit the value field, else from its
  // offset, never more than the stream holds.
  std::vector<uint32_t> Values(const tEntry& e, uint32_t maxCount);
  void ListValues(const std::vector<uint32_t>& values);
  void Defaults();
  void Entry(const tEntry& e);
  void Remark(const tEntry& e);
  void ColorMap(const tEntry& e);
  void Samples(const tEntry& e);
  void Finish();

  tGraphicID& id_;
  tTiffState& st_;
  tBuffStream& s_;
};

std::vector<uint32_t> tIfdReader::Values(const tEntry& e, uint32_t maxCount) {
  const int size = TypeSize(e.Type);
  uint32_t n = std::min(e.Count, maxCount);
  std::vector<uint8_t> bytes;
  if (uint64_t(e.Count) * size <= 4) {
    bytes.assign(e.Raw, e.Raw + 4);
  } else {
    if (!ValidOffset(e.Value)) return {};
    n = std::min<uint32_t>(n, (uint32_t(s_.Size) - e.Value) / size);
    bytes.resize(size_t(n) * size);
    n = static_cast<uint32_t>(
        s_.ReadAt(static_cast<int32_t>(e.Value), bytes.data(), static_cast<int32_t>(bytes.size())) /
        size);
  }
  std::vector<uint32_t> values(n);
  for (uint32_t i = 0; i < n; ++i) {
    const uint8_t* p = &bytes[size_t(i) * size];
    values[i] = size == 2 ? U16(p) : size >= 4 ? U32(p) : p[0];
  }
  return values;
}

void tIfdReader::ListValues(const std::vector<uint32_t>& values) {
  if (st_.Quiet) return;
  // Strip lists of a hostile file run to millions of entries: the first lines say enough.
  constexpr size_t kMaxListed = 30000;
  std::string line;
  for (size_t i = 0; i < std::min(values.size(), kMaxListed) && id_.TextRoom() > 0; ++i) {
    if (i % 3 == 0) line = Format("%s   ", {"g"});
    line += Format("%13.0n=%.8xh ", {double(values[i]), values[i]});
    if (i % 3 == 2 || i + 1 == std::min(values.size(), kMaxListed)) id_.AddInfoLine(line);
  }
}

void tIfdReader::Defaults() {
  id_.IdentWidth = id_.IdentHeight = 0;
  st_.ImageWidth = st_.ImageLength = 0;
  st_.BitsPerSample = 0;
  st_.Photometric = 0;
  st_.StripOffsets.clear();
  st_.StripByteCounts.clear();
  st_.HasByteCounts = false;
  id_.HandlerByte = 0;
  std::memset(id_.SavedPalette, 0, sizeof id_.SavedPalette);
  id_.IdentBits = 1;
  id_.IdentColors = 2;
  st_.Compression = 1;
  st_.FillOrder = 1;
  st_.RowsPerStrip = INT32_MAX;
  st_.TopDown = 1;
  st_.Planar = 0;
  st_.Predictor = 0;
  id_.AspectX = id_.AspectY = 1;
  st_.XResolution = st_.YResolution = 0;
  st_.Reduced = st_.Page = 0;
  st_.Fax = tFaxParams{};
  st_.SamplesPerPixel = 1;
  st_.SampleBits.clear();
}

void tIfdReader::Remark(const tEntry& e) {
  id_.ClearRemark();
  std::vector<uint8_t> text;
  if (e.Count <= 4) {
    text.assign(e.Raw, e.Raw + e.Count);
  } else if (ValidOffset(e.Value)) {
    text.resize(std::min<size_t>(std::min<uint32_t>(e.Count, uint32_t(s_.Size) - e.Value),
                                 id_.TextRoom()));
    text.resize(
        static_cast<size_t>(std::max(0, s_.ReadAt(static_cast<int32_t>(e.Value), text.data(),
                                                  static_cast<int32_t>(text.size())))));
  }
  for (uint8_t c : text) id_.AddRemarkChar(static_cast<char>(c));
  id_.EndRemark();
}

void tIfdReader::ColorMap(const tEntry& e) {
  uint32_t entries = e.Count / 3;
  if (entries == 0 || entries > 256) entries = 256;
  std::vector<uint32_t> v = Values(e, entries * 3);
  const int size = TypeSize(e.Type);
  for (uint32_t i = 0; i < entries; ++i) {
    for (uint32_t c = 0; c < 3; ++c) {
      const size_t k = size_t(c) * entries + i;
      const uint32_t value = k < v.size() ? v[k] : 0;
      id_.SavedPalette[i * 3 + c] = static_cast<uint8_t>(size >= 2 ? value >> 8 : value);
    }
  }
  id_.HandlerByte = 1;
}

void tIfdReader::Samples(const tEntry& e) {
  if (e.Count == 1) {
    st_.SampleBits.assign(1, e.Value & 0xFFFF);
    return;
  }
  std::vector<uint32_t> v = Values(e, 8);
  ListValues(std::vector<uint32_t>(v.begin(), v.begin() + std::min<size_t>(v.size(), 4)));
  st_.SampleBits = v;
}

void tIfdReader::Entry(const tEntry& e) {
  Info(Format("%sTag %3d %-23s type %d %-10s count=%3d value=%d",
              {"g", e.Tag, TagName(e.Tag), e.Type, TypeName(e.Type), e.Count, e.Value}));
  if (e.Type == tASCII && e.Count >= 2 && !st_.Quiet) {
    Remark(e);
    return;
  }
  tFaxParams& fax = st_.Fax;
  const uint32_t v = e.Value;
  switch (e.Tag) {
    case 254:
      st_.Reduced = v & 1;
      st_.Page = (v >> 1) & 1;
      break;
    case 255:
      st_.Reduced = v == 2;
      st_.Page = v == 3;
      break;
    case 256:
      st_.ImageWidth = fax.ImageWidth = v;
      break;
    case 257:
      st_.ImageLength = fax.ImageLength = v;
      break;
    case 258:
      Samples(e);
      break;
    case 259:
      st_.Compression = fax.Compression = static_cast<uint16_t>(v);
      break;
    case 262:
      st_.Photometric = fax.Photometric = static_cast<uint16_t>(v);
      break;
    case 266:
      st_.FillOrder = static_cast<uint8_t>(v);
      fax.FillOrder = static_cast<uint16_t>(v);
      break;
    case 273:
    case 279:
      if (!st_.Quiet && (e.Type == tSHORT || e.Type == tLONG)) {
        std::vector<uint32_t> values = Values(e, e.Count);
        ListValues(values);
        std::vector<int32_t>& to = e.Tag == 273 ? st_.StripOffsets : st_.StripByteCounts;
        to.assign(values.begin(), values.end());
        if (e.Tag == 279) st_.HasByteCounts = true;
      }
      break;
    case 274:
      st_.TopDown = !(v == 3 || v == 4);
      fax.Orientation = static_cast<uint16_t>(v);
      break;
    case 277:
      st_.SamplesPerPixel = fax.SamplesPerPixel = static_cast<uint16_t>(v);
      break;
    case 278:
      st_.RowsPerStrip = static_cast<int32_t>(std::min<uint32_t>(v, INT32_MAX));
      fax.RowsPerStrip = v;
      break;
    case 282:
    case 283: {
      std::vector<uint32_t> r =
          ValidOffset(v) ? Values(tEntry{e.Tag, tLONG, 2, {}, v}, 2) : std::vector<uint32_t>{};
      if (r.size() < 2) break;
      Info(Format("%s        %d/%d", {"g", r[0], r[1]}));
      if (r[0] > 0 && r[1] > 0) {
        int32_t res = static_cast<int32_t>(std::min<uint32_t>(r[0] / r[1], INT32_MAX));
        (e.Tag == 282 ? st_.XResolution : st_.YResolution) = res;
        if (e.Tag == 283) fax.YResolution = static_cast<float>(r[0]) / static_cast<float>(r[1]);
      }
      break;
    }
    case 284:
      fax.PlanarConfiguration = static_cast<uint16_t>(v);
      break;
    case 292:
      fax.Group3Options = v;
      break;
    case 293:
      fax.Group4Options = v;
      break;
    case 296:
      fax.ResolutionUnit = static_cast<uint16_t>(v);
      break;
    case 317:
      st_.Predictor = v == 2;
      break;
    case 320:
      ColorMap(e);
      break;
    case 322:
      fax.TileWidth = v;
      break;
    case 323:
      fax.TileLength = v;
      break;
    default:
      break;
  }
}

// The pixel layout from the sample tags, then the grey palettes of bilevel and grey pages.
void tIfdReader::Finish() {
  const int spp = std::max<int>(1, st_.SamplesPerPixel);
  const std::vector<uint32_t>& bits = st_.SampleBits;
  int64_t total = 0;
  bool uniform8 = true;
  if (bits.empty()) {
    total = spp;  // one bit per sample when the tag is missing
    uniform8 = false;
  } else if (bits.size() == 1) {
    total = int64_t(bits[0]) * spp;
    uniform8 = bits[0] == 8;
  } else {
    for (int i = 0; i < spp; ++i) {
      uint32_t b = i < static_cast<int>(bits.size()) ? bits[i] : 0;
      total += b;
      uniform8 = uniform8 && b == 8;
    }
  }
  st_.PixelBits = static_cast<int32_t>(std::min<int64_t>(total, 1 << 20));
  st_.PixelBitsValid = spp == 1 ? (total == 1 || total == 2 || total == 4 || total == 8)
                                : (uniform8 && (spp == 3 || spp == 4));
  st_.BitsPerSample = static_cast<uint16_t>(std::min<int64_t>(total, 0xFFFF));
  id_.IdentBits = static_cast<uint16_t>(total <= 8 ? std::max<int64_t>(total, 1) : 24);
  id_.IdentColors =
      static_cast<uint16_t>(id_.IdentBits <= 8 ? 1 << id_.IdentBits : id_.IdentBits + 256);
  st_.Fax.BitsPerSample = static_cast<uint16_t>(bits.empty() ? 1 : bits[0]);
  // Recorded only: separate planes are decoded as if the samples were interleaved.
  st_.Planar = st_.Fax.PlanarConfiguration == 2 && id_.IdentBits > 1;
  if (st_.ImageWidth <= 0xFFFF) id_.IdentWidth = static_cast<uint16_t>(st_.ImageWidth);
  if (st_.ImageLength <= 0xFFFF) id_.IdentHeight = static_cast<uint16_t>(st_.ImageLength);

  const bool fax = TiffIsFax(st_);
  if (!fax && st_.Photometric > 1) {
    st_.GrayMode = st_.Photometric;
    return;
  }
  if (id_.IdentBits > 8) return;  // true colour without a colour model of its own
  // Fax rows come inverted (1 = white), so for them the palette order is the other way round.
  const bool whiteIsZero = (st_.Photometric == 0) != fax;
  const int levels = id_.IdentColors;
  for (int k = 0; k < levels; ++k) {
    const uint8_t grey = static_cast<uint8_t>(levels > 1 ? k * 255 / (levels - 1) : 0);
    const int entry = whiteIsZero ? levels - 1 - k : k;
    std::memset(id_.SavedPalette + entry * 3, grey, 3);
  }
  id_.GrayFlag = 1;
  id_.HandlerByte = 1;
  st_.GrayMode = levels == 2 ? ((st_.Compression == 3 || st_.Compression == 4) ? 5 : 0) : 1;
}

void tIfdReader::Read(int32_t offset) {
  st_.NextIFD = 0;
  uint8_t countBytes[2];
  const bool countRead = s_.ReadAt(offset, countBytes, 2) == 2;
  const uint16_t n = countRead ? U16(countBytes) : 0;
  st_.EntryCount = n;
  Info(Format("%sIFD at %d, %d entries", {"g", offset, n}));
  std::vector<uint8_t> raw;
  size_t entries = 0;
  if (!countRead) {
    if (!st_.Quiet) id_.ErrorCode = errEndOfFile;
  } else if (n >= 1 && n <= 255) {
    raw.resize(size_t(n) * 12 + 4);
    const int32_t got = s_.ReadAt(offset + 2, raw.data(), static_cast<int32_t>(raw.size()));
    entries = static_cast<size_t>(std::max(0, got)) / 12;
    if (entries < n && !st_.Quiet) id_.ErrorCode = errEndOfFile;
    entries = std::min<size_t>(entries, n);
    if (got >= static_cast<int32_t>(raw.size())) {
      const uint32_t next = U32(&raw[size_t(n) * 12]);
      st_.NextIFD = ValidOffset(next) ? static_cast<int32_t>(next) : 0;
    }
  }
  Defaults();
  for (size_t i = 0; i < entries; ++i) {
    const uint8_t* p = &raw[i * 12];
    tEntry e{U16(p), U16(p + 2), U32(p + 4), {p[8], p[9], p[10], p[11]}, 0};
    e.Value = e.Count != 1       ? U32(e.Raw)
              : e.Type == tBYTE  ? e.Raw[0]
              : e.Type == tSHORT ? U16(e.Raw)
                                 : U32(e.Raw);
    Entry(e);
  }
  Finish();
}

}  // namespace

bool TiffIsFax(const tTiffState& st) { return st.Compression >= 2 && st.Compression <= 4; }

static void ReadIFD(tGraphicID& id, tTiffState& st, int32_t offset) {
  tIfdReader(id, st).Read(offset);
}

void IdentifyTIF(tGraphicID& id) {
  tBuffStream& s = *id.Stream;
  s.Rewind();
  const uint8_t* b = s.BufferPtr();
  if (s.Size < 8) return;
  const bool intel = b[0] == 'I' && b[1] == 'I';
  if (!intel && !(b[0] == 'M' && b[1] == 'M')) return;
  auto u16 = [&](const uint8_t* p) { return intel ? p[0] | p[1] << 8 : p[0] << 8 | p[1]; };
  auto u32 = [&](const uint8_t* p) {
    return intel ? (p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24)
                 : (uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]);
  };
  const uint32_t first = u32(b + 4);
  if (u16(b + 2) != 42 || first < 8 || first >= uint32_t(s.Size)) return;

  auto st = std::make_unique<tTiffState>();
  st->Intel = intel;
  std::memcpy(st->Header, b, 8);
  st->Quiet = 1;
  id.FormatId = fmtTIF;
  uint32_t width = 1, height = 1;
  int bits = 1;
  std::set<int32_t> seen;
  for (int32_t offset = static_cast<int32_t>(first);
       offset != 0 && st->IfdOffsets.size() < kMaxTiffPages && seen.insert(offset).second;
       offset = st->NextIFD) {
    st->IfdOffsets.push_back(offset);
    ReadIFD(id, *st, offset);
    width = std::max(width, st->ImageWidth);
    height = std::max(height, st->ImageLength);
    bits = std::max<int>(bits, id.IdentBits);
    if (id.HandlerByte && !id.HasPalette) {
      id.HasPalette = 1;
      std::memcpy(id.Palette, id.SavedPalette, sizeof id.Palette);
    }
  }
  st->IfdCount = static_cast<int32_t>(st->IfdOffsets.size());
  id.SubType = Format("Order %s Compression %s%s",
                      {std::string(reinterpret_cast<const char*>(st->Header), 2),
                       std::string(CompressionText(st->Compression)) + (st->Predictor ? "+" : ""),
                       st->Photometric == 5 ? " CMYK" : ""});
  const int colors = bits <= 8 ? 1 << bits : bits + 256;
  id.BitsPerPixel = static_cast<uint16_t>(bits);
  id.Colors = static_cast<uint16_t>(colors);
  id.CodecState = std::move(st);
  if (!CheckPictureSize(static_cast<int>(std::min<uint32_t>(width, INT32_MAX)),
                        static_cast<int>(std::min<uint32_t>(height, INT32_MAX)), colors)) {
    id.ErrorCode = errInvalidImage;
    return;
  }
  id.Width = static_cast<uint16_t>(width);
  id.Height = static_cast<uint16_t>(height);
  tRGBPalette rgb;
  std::memcpy(rgb.data(), id.Palette, rgb.size());
  const tQuadPalette quads = RGBToQuads(rgb);
  id.GrayFlag = id.HasPalette && IsGrayPalette(bits, colors <= 256 ? colors : 0, quads.data());
  id.Bitmap = std::make_unique<tMemBmp>();
  id.Bitmap->Allocate(id.Width, id.Height, id.GrayFlag, id.HasPalette ? quads.data() : nullptr,
                      colors, bits);
}

namespace {

// One page: its IFD with information lines, then its strips.
void ImageStep(tGraphicID& id) {
  auto* st = dynamic_cast<tTiffState*>(id.CodecState.get());
  if (!st || !id.Stream || st->ImageIndex >= static_cast<int32_t>(st->IfdOffsets.size())) {
    id.FinishDecoding();
    return;
  }
  const int32_t offset = st->IfdOffsets[st->ImageIndex];
  ++st->ImageIndex;
  st->Quiet = 0;
  ReadIFD(id, *st, offset);
  id.AddInfoLine(Format(
      "%sImage%3d: %s",
      {"b", id.ImageCount + 1, ImageSizeText(id.IdentWidth, id.IdentHeight, id.IdentColors)}));
  const bool fax = TiffIsFax(*st);
  if (id.ErrorCode == 0) {
    if (st->Photometric == 8) {
      id.ErrorCode = errUnsupportedColorSpace;
    } else if (fax) {
      if (st->PixelBits != 1 || st->SamplesPerPixel > 1) id.ErrorCode = errInvalidImage;
    } else if (st->Photometric <= 3 || st->Photometric == 5) {
      const bool grey = st->Photometric != 2 && st->Photometric != 5;
      if (!st->PixelBitsValid || grey != (st->PixelBits <= 8) ||
          (st->Photometric == 5 && st->PixelBits != 32))
        id.ErrorCode = errInvalidImage;
    } else {
      id.ErrorCode = errUnsupportedColorSpace;
    }
  }
  // A page whose data we cannot place is refused rather than shown as an empty picture.
  if (id.ErrorCode == 0 && (st->Fax.TileWidth != 0 || st->Fax.TileLength != 0)) {
    id.ErrorCode = errInvalidImage;
    id.SetErrorText("Tiled TIFF images are not supported");
  } else if (id.ErrorCode == 0 && st->StripOffsets.empty()) {
    id.ErrorCode = errInvalidImage;
    id.SetErrorText("No image data: the strip offsets are missing");
  }
  if (id.ErrorCode == 0) DecodeTiffStrips(id, *st);
  st->StripOffsets.clear();
  st->StripByteCounts.clear();
  st->StripOffsets.shrink_to_fit();
  st->StripByteCounts.shrink_to_fit();
  id.NotifyImageDone();
  if (id.ErrorCode == 0 && st->ImageIndex < static_cast<int32_t>(st->IfdOffsets.size())) {
    id.NotifyPause();
  } else {
    id.FinishDecoding();
  }
}

}  // namespace

void LoadTIF(tGraphicID& id) {
  auto* st = dynamic_cast<tTiffState*>(id.CodecState.get());
  if (!st) {
    id.FinishDecoding();
    return;
  }
  if (st->IfdCount > 1) id.AddInfoLine(Format("%s%d images", {"b", st->IfdCount}));
  st->ImageIndex = 0;
  ImageStep(id);
}

void NextTIF(tGraphicID& id) { ImageStep(id); }

void RegisterTIF() { RegisterFormat(IdentifyTIF, LoadTIF, NextTIF); }
