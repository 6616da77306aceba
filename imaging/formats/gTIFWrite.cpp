// The TIFF writer: one Intel-order page, every out-of-line value before the IFD, the rows in
// two or more strips of about 8 KB that start on even offsets.
#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/uIdentity.h"
#include "foundation/uUtil.h"
#include "imaging/formats/gTIF.h"
#include "imaging/formats/uCCITT.h"
#include "imaging/formats/uLzw.h"

namespace {

enum tKind { kindBilevel, kindNibbles, kindBytes, kindRgb };
enum : uint16_t { tSHORT = 3, tLONG = 4, tRATIONAL = 5, tASCII = 2 };

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v);
  Put16(out, v >> 16);
}

int Luminance(const uint8_t* quad) { return 30 * quad[2] + 59 * quad[1] + 11 * quad[0]; }

// What is written, decided from the depth asked for and what the picture really holds.
struct tPlan {
  tKind Kind = kindRgb;
  bool Mask15 = false;
  bool Gray = false;        // photometric 1, no colour map
  bool GrayLevels = false;  // bytes are the palette's grey levels, not indices
  bool Invert = false;      // 1-bit rows with the lighter colour at index 0
  uint16_t Compression = 1;
  bool Predictor = false;
  uint16_t Photometric = 2;
  int RawRowBytes = 0;
  uint8_t Levels[256] = {};
};

tPlan MakePlan(tMemBmp& picture, int bits, bool ccitt, bool compressed) {
  tPlan p;
  const int width = picture.Width(), stored = picture.BitCount();
  const int colors = picture.ColorCount(), entries = picture.PaletteEntries();
  if (bits > 8 || stored > 8) {
    p.Kind = kindRgb;
    p.Mask15 = bits == 15;
  } else if (bits < 2 && stored == 1) {
    p.Kind = kindBilevel;
  } else if (bits <= 4 && colors <= 16) {
    p.Kind = kindNibbles;  // also a 1-bit picture asked for more bits: its colours are kept
  } else {
    p.Kind = kindBytes;
  }
  for (int i = 0; i < entries && i < 256; ++i) p.Levels[i] = picture.ColorTable[i * 4];
  if (p.Kind == kindBilevel) {
    p.Gray = true;
    p.Invert = entries >= 2 && Luminance(picture.ColorTable) > Luminance(picture.ColorTable + 4);
  } else if (p.Kind != kindRgb && picture.GrayFlag) {
    p.Gray = true;
    bool ramp = true;
    const int levels = p.Kind == kindNibbles ? 16 : 256;
    for (int i = 0; i < entries && i < levels; ++i)
      ramp = ramp && p.Levels[i] == i * 255 / (levels - 1);
    // Indices that are not the levels themselves are written as the grey levels they show.
    if (!ramp) {
      p.Kind = kindBytes;
      p.GrayLevels = true;
    }
  }
  p.RawRowBytes = p.Kind == kindRgb       ? width * 3
                  : p.Kind == kindBilevel ? (width + 7) / 8
                  : p.Kind == kindNibbles ? (width + 1) / 2
                                          : width;
  if (compressed) {
    if (stored >= 9 && p.Kind == kindRgb) {
      p.Compression = 5;
      p.Predictor = true;
    } else if (p.Kind == kindBilevel) {
      p.Compression = ccitt ? 4 : 32773;
    } else {
      p.Compression = 5;
    }
  }
  // Fax data has 1 for black, so a fax page says white is zero.
  p.Photometric = p.Kind == kindRgb ? 2 : p.Compression == 4 ? 0 : p.Gray ? 1 : 3;
  return p;
}

class tTiffWriter {
 public:
  tTiffWriter(tMemBmp& picture, tBuffStream& stream, const tPlan& plan)
      : pic_(picture), s_(stream), p_(plan), width_(picture.Width()), height_(picture.Height()) {
    row_.resize(size_t(std::max(p_.RawRowBytes, 1)) + 8);
  }
  void Write(const std::string& description);

 private:
  const uint8_t* Row(int y);
  void WriteStrip(int first, int rows);

  tMemBmp& pic_;
  tBuffStream& s_;
  const tPlan& p_;
  int width_, height_;
  std::vector<uint8_t> row_, packed_;
  std::vector<uint8_t> coded_;  // one LZW strip
  std::unique_ptr<tFaxCodec> fax_;
};

// Row y as stored in the file, before compression.
const uint8_t* tTiffWriter::Row(int y) {
  uint8_t* out = row_.data();
  switch (p_.Kind) {
    case kindRgb: {
      const uint8_t* rgb = pic_.GetRGBLineSwapped(y);
      const int n = width_ * 3;
      if (p_.Mask15) {
        for (int i = 0; i < n; ++i) out[i] = rgb[i] & 0xF8;
      } else {
        std::memcpy(out, rgb, static_cast<size_t>(n));
      }
      if (p_.Predictor)
        for (int i = n - 1; i >= 3; --i) out[i] = static_cast<uint8_t>(out[i] - out[i - 3]);
      return out;
    }
    case kindBilevel: {
      const uint8_t* line = pic_.ScanLine(y);
      // Fax data wants 1 for black, the other kinds 1 for white.
      const bool invert = p_.Invert != (p_.Compression == 4);
      for (int i = 0; i < p_.RawRowBytes; ++i) out[i] = invert ? ~line[i] : line[i];
      return out;
    }
    case kindNibbles:
      PackPixels(pic_.GetByteLine(y), out, p_.RawRowBytes, 4);
      return out;
    case kindBytes: {
      const uint8_t* line = pic_.GetByteLine(y);
      if (!p_.GrayLevels) return line;
      for (int x = 0; x < width_; ++x) out[x] = p_.Levels[line[x]];
      return out;
    }
  }
  return out;
}

void tTiffWriter::WriteStrip(int first, int rows) {
  switch (p_.Compression) {
    case 5:
    {
      // TIFF's LZW: codes high bit first, widening one code early, a clear code to start.
      coded_.clear();
      tLzwEncoder lzw(8, tLzwEncoder::MsbFirst, true, [this](const uint8_t* data, int count) {
        coded_.insert(coded_.end(), data, data + count);
      });
      for (int y = first; y < first + rows; ++y) lzw.Put(Row(y), p_.RawRowBytes);
      lzw.Finish();
      s_.Write(coded_.data(), static_cast<int32_t>(coded_.size()));
      break;
    }
    case 4:
      fax_->EncodeStart();
      for (int y = first; y < first + rows; ++y) fax_->EncodeRow(Row(y));
      fax_->EncodeFinish();
      s_.Write(fax_->Output.data(), static_cast<int32_t>(fax_->Output.size()));
      break;
    case 32773:
      packed_.resize(PackRunsBound(p_.RawRowBytes, 0));
      for (int y = first; y < first + rows; ++y) {
        int n = PackRuns(Row(y), packed_.data(), p_.RawRowBytes, 0);
        s_.Write(packed_.data(), n);
      }
      break;
    default:
      for (int y = first; y < first + rows; ++y) s_.Write(Row(y), p_.RawRowBytes);
      break;
  }
}

void tTiffWriter::Write(const std::string& description) {
  // Rows per strip for about 8 KB, and never fewer than two strips.
  int rowsPerStrip = std::max(1, 8192 / std::max(1, p_.RawRowBytes));
  int strips = (height_ + rowsPerStrip - 1) / rowsPerStrip;
  if (strips < 2) {
    strips = 2;
    rowsPerStrip = (height_ + 1) / 2;
  }
  const bool trueColor = p_.Kind == kindRgb;
  const int mapEntries = p_.Gray || trueColor ? 0 : p_.Kind == kindNibbles ? 16 : 256;

  // The out-of-line blocks, each starting on an even offset.
  std::vector<uint8_t> blocks;
  auto evenPad = [&] {
    if (blocks.size() % 2) blocks.push_back(0);
  };
  const uint32_t base = 8;
  const std::string software = ProgramNameAndVersion();
  const uint32_t softwareAt = base;
  blocks.insert(blocks.end(), software.begin(), software.end());
  blocks.push_back(0);
  evenPad();
  const uint32_t resolutionAt = base + static_cast<uint32_t>(blocks.size());
  Put32(blocks, 72);
  Put32(blocks, 1);
  const uint32_t mapAt = base + static_cast<uint32_t>(blocks.size());
  if (mapEntries) {
    uint8_t rgb[768];
    pic_.GetPalette(rgb);
    for (int c = 0; c < 3; ++c)
      for (int i = 0; i < mapEntries; ++i) Put16(blocks, rgb[i * 3 + c] * 257u);  // 255 is 65535: full scale for every reader
  }
  const uint32_t bitsAt = base + static_cast<uint32_t>(blocks.size());
  if (trueColor)
    for (int i = 0; i < 3; ++i) Put16(blocks, 8);
  const uint32_t descriptionAt = base + static_cast<uint32_t>(blocks.size());
  if (!description.empty()) {
    blocks.insert(blocks.end(), description.begin(), description.end());
    blocks.push_back(0);
    while (blocks.size() - (descriptionAt - base) < 6) blocks.push_back(0);
    evenPad();
  }
  const uint32_t ifdAt = base + static_cast<uint32_t>(blocks.size());

  struct tField {
    uint16_t Tag, Type;
    uint32_t Count, Value;
    const std::string* Text = nullptr;  // ASCII that fits the value field goes there
  };
  std::vector<tField> fields;
  fields.push_back({254, tLONG, 1, 0});
  const uint16_t sizeType = std::max(width_, height_) > 0xFFFF ? tLONG : tSHORT;
  fields.push_back({256, sizeType, 1, uint32_t(width_)});
  fields.push_back({257, sizeType, 1, uint32_t(height_)});
  if (trueColor) {
    fields.push_back({258, tSHORT, 3, bitsAt});
  } else if (p_.Kind != kindBilevel) {
    fields.push_back({258, tSHORT, 1, p_.Kind == kindNibbles ? 4u : 8u});
  }
  if (p_.Compression >= 2) fields.push_back({259, tSHORT, 1, p_.Compression});
  fields.push_back({262, tSHORT, 1, p_.Photometric});
  if (!description.empty())
    fields.push_back({270, tASCII, uint32_t(description.size() + 1), descriptionAt, &description});
  const size_t offsetsField = fields.size();
  fields.push_back({273, tLONG, uint32_t(strips), 0});
  if (trueColor) fields.push_back({277, tSHORT, 1, 3});
  fields.push_back({278, tSHORT, 1, uint32_t(rowsPerStrip)});
  const size_t countsField = fields.size();
  fields.push_back({279, tLONG, uint32_t(strips), 0});
  fields.push_back({282, tRATIONAL, 1, resolutionAt});
  fields.push_back({283, tRATIONAL, 1, resolutionAt});
  fields.push_back({296, tSHORT, 1, 2});
  fields.push_back({305, tASCII, uint32_t(software.size() + 1), softwareAt, &software});
  if (p_.Predictor) fields.push_back({317, tSHORT, 1, 2});
  if (mapEntries) fields.push_back({320, tSHORT, uint32_t(mapEntries * 3), mapAt});

  const uint32_t offsetsAt = ifdAt + 2 + 12 * uint32_t(fields.size()) + 4;
  const uint32_t countsAt = offsetsAt + 4 * uint32_t(strips);
  fields[offsetsField].Value = offsetsAt;
  fields[countsField].Value = countsAt;

  std::vector<uint8_t> head{'I', 'I'};
  Put16(head, 42);
  Put32(head, ifdAt);
  head.insert(head.end(), blocks.begin(), blocks.end());
  Put16(head, static_cast<uint32_t>(fields.size()));
  for (const tField& f : fields) {
    Put16(head, f.Tag);
    Put16(head, f.Type);
    Put32(head, f.Count);
    if (f.Text && f.Count <= 4) {
      uint8_t inline_[4] = {};
      std::memcpy(inline_, f.Text->data(), f.Text->size());
      head.insert(head.end(), inline_, inline_ + 4);
    } else if (f.Type == tSHORT && f.Count == 1) {
      Put16(head, f.Value);
      Put16(head, 0);
    } else {
      Put32(head, f.Value);
    }
  }
  Put32(head, 0);
  head.resize(head.size() + 8 * size_t(strips), 0);
  s_.Write(head.data(), static_cast<int32_t>(head.size()));

  if (p_.Compression == 4) {
    tFaxParams params;
    params.Compression = 4;
    params.ImageWidth = static_cast<uint32_t>(width_);
    params.ImageLength = static_cast<uint32_t>(height_);
    params.RowsPerStrip = static_cast<uint32_t>(rowsPerStrip);
    fax_ = FaxCreate(params);
  }
  int written = 0;
  for (int i = 0; i < strips && !s_.AtEnd; ++i) {
    const int32_t start = s_.Position();
    const int rows = std::min(rowsPerStrip, height_ - written);
    WriteStrip(written, rows);
    written += rows;
    int32_t end = s_.Position();
    if (end % 2) {
      const uint8_t zero = 0;
      s_.Write(&zero, 1);
      ++end;
    }
    uint8_t value[4];
    for (int k = 0; k < 4; ++k) value[k] = static_cast<uint8_t>(uint32_t(start) >> (8 * k));
    s_.WriteAt(static_cast<int32_t>(offsetsAt + 4 * i), value, 4);
    for (int k = 0; k < 4; ++k) value[k] = static_cast<uint8_t>(uint32_t(end - start) >> (8 * k));
    s_.WriteAt(static_cast<int32_t>(countsAt + 4 * i), value, 4);
  }
}

}  // namespace

void WriteTIFF(tMemBmp& picture, tBuffStream& stream, const std::string& description, int bits,
               bool ccitt, bool topDown, bool compressed) {
  (void)topDown;  // rows always go top to bottom, so no Orientation tag is written
  if (!picture.HasLayout()) return;
  const tPlan plan = MakePlan(picture, bits, ccitt, compressed);
  tTiffWriter(picture, stream, plan).Write(description);
}
