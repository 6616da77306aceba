// The PNG reader: identification walks the chunks up to the first IDAT; loading checks every
// CRC first, then inflates the image data row by row straight from the file, reduces each row
// to the picture's depth, undoes the filters and draws Adam7 passes as blocks.
#include "imaging/formats/gPNG.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "foundation/uFormat.h"
#include "foundation/uUtil.h"
#include "imaging/formats/gPNGLayout.h"

namespace {

using namespace png;

constexpr int32_t kTextPiece = 10240;       // zTXt data is read and inflated in pieces of this
constexpr int32_t kMaxTextBytes = 1 << 20;  // inflated zTXt text kept at most (a zip bomb stops)
constexpr size_t kMaxIdatLines = 10000;     // "compressed image" lines listed at most

// What identification found, for Load.
struct tPngState : tCodecState {
  uint32_t width = 0, height = 0;
  uint8_t depth = 0, colorType = 0, interlace = 0;
  bool haveHeader = false;
  uint8_t background = 0;
  uint32_t physX = 0, physY = 0;
  int bytesPerPixel = 1;  // filter stride after reduction
  int idatCount = 0;
  int64_t expanded = 0;
  int32_t filterCounts[5] = {};
  int32_t idatData = 0;  // logical offset of the first IDAT's data
  uint32_t idatLength = 0;
  uint8_t nextHead[8] = {};  // header of the chunk after the image data
  bool haveNextHead = false;
};

bool ReadAll(tBuffStream& s, void* out, int32_t count) {
  s.Read(out, count);
  return s.LastCount == count;
}

int32_t LogicalPosition(tBuffStream& s) { return s.Position() - s.Base; }

void SkipBytes(tBuffStream& s, uint32_t count) {
  if (count <= static_cast<uint32_t>(std::max(0, s.BytesValid - s.Index))) {
    s.Index += static_cast<int32_t>(count);
    return;
  }
  s.Seek(static_cast<int32_t>(std::min<int64_t>(int64_t(LogicalPosition(s)) + count, INT32_MAX)));
}

bool IsPrintable(const uint8_t* type) {
  return std::all_of(type, type + 4, [](uint8_t c) { return c >= 32 && c <= 126; });
}

// Hands every byte of the next count bytes to f; false when the data ends first.
template <typename F>
bool EachByte(tBuffStream& s, uint32_t count, F f) {
  while (count > 0) {
    int32_t n = s.Available();
    if (n <= 0) return false;
    n = static_cast<int32_t>(std::min<uint32_t>(count, static_cast<uint32_t>(n)));
    for (int32_t i = 0; i < n; ++i) f(static_cast<char>(s.Buffer[s.Index + i]));
    s.Index += n;
    count -= static_cast<uint32_t>(n);
  }
  return true;
}

// --- Text chunks

std::string TimeText(const uint8_t* t) {
  const int year = (t[0] << 8) | t[1], month = t[2], day = t[3];
  const int hour = t[4], minute = t[5], second = t[6];
  TDateTime date;
  if (!TryEncodeDate(year, month, day, date) || hour > 23 || minute > 59 || second > 59)
    return "Created invalid!";
  std::string text =
      Format("Created %.4d-%.2d-%.2d %.2d:%.2d:%.2d", {year, month, day, hour, minute, second});
  return text.substr(0, 29);
}

// Inflates up to `count` bytes of zTXt data from the stream into remark characters; returns
// the characters inflated. A fault ends the text; the block it happened in is dropped.
int32_t InflateText(tGraphicID& id, uint32_t count) {
  tBuffStream& s = *id.Stream;
  z_stream z{};
  if (inflateInit(&z) != Z_OK) {
    SkipBytes(s, count);
    return 0;
  }
  std::vector<uint8_t> in(kTextPiece), out(kTextPiece);
  int32_t total = 0;
  bool ended = false;
  while (!ended && total < kMaxTextBytes && id.TextRoom() > 0) {
    z.next_out = out.data();
    z.avail_out = kTextPiece;
    while (z.avail_out > 0) {
      if (z.avail_in == 0 && count > 0) {
        int32_t n = static_cast<int32_t>(std::min<uint32_t>(count, kTextPiece));
        s.Read(in.data(), n);
        count -= static_cast<uint32_t>(n);
        if (s.LastCount == 0) count = 0;
        z.next_in = in.data();
        z.avail_in = static_cast<uInt>(s.LastCount);
      }
      const uInt before = z.avail_out;
      int r = inflate(&z, Z_NO_FLUSH);
      if (r == Z_STREAM_END) {
        ended = true;
        break;
      }
      if (r != Z_OK && r != Z_BUF_ERROR) {
        z.avail_out = kTextPiece;  // the faulty block yields nothing
        ended = true;
        break;
      }
      if (z.avail_out == before && z.avail_in == 0 && count == 0) {
        ended = true;  // the data ran out
        break;
      }
    }
    const int32_t got = static_cast<int32_t>(kTextPiece - z.avail_out);
    if (got == 0) break;
    const int32_t keep = std::min(got, kMaxTextBytes - total);
    for (int32_t i = 0; i < keep; ++i) id.AddRemarkChar(static_cast<char>(out[i]));
    total += keep;
  }
  inflateEnd(&z);
  SkipBytes(s, count);
  return total;
}

// tIME, tEXt and zTXt: info lines and remarks. False when the chunk's data ends early.
bool TextChunk(tGraphicID& id, tChunk chunk, uint32_t length) {
  tBuffStream& s = *id.Stream;
  if (chunk == chTIME) {
    uint8_t t[7];
    if (length != 7 || !ReadAll(s, t, 7)) return false;
    id.AddInfoLine("b" + TimeText(t));
    return true;
  }
  if (length == 0) return true;
  id.ClearRemark();
  if (chunk == chTEXT) {
    id.AddInfoLine(Format("%s%d character comment", {"g", length}));
    bool whole = EachByte(s, length, [&](char c) { id.AddRemarkChar(c); });
    id.EndRemark();
    return whole;
  }
  id.AddInfoLine(Format("%s%d compressed comment bytes", {"g", length}));
  uint32_t left = length;
  for (bool keyword = true; keyword && left > 0; --left) {
    uint8_t c;
    if (!ReadAll(s, &c, 1)) return false;
    id.AddRemarkChar(static_cast<char>(c));
    keyword = c != 0;
  }
  if (left > 0) {
    SkipBytes(s, 1);  // the compression method: deflate is the only one
    --left;
  }
  int32_t inflated = InflateText(id, left);
  id.AddInfoLine(Format("%s (%d characters)", {"g", inflated}));
  id.EndRemark();
  return true;
}

// --- Header walk

void ReadHeader(tGraphicID& id, tPngState& st, const uint8_t* h) {
  st.width = Get32BE(h);
  st.height = Get32BE(h + 4);
  st.depth = h[8];
  st.colorType = h[9];
  st.interlace = h[12];
  st.haveHeader = true;
  st.bytesPerPixel = 1;
  switch (st.colorType) {
    case ctGray:
    case ctGrayAlpha: {
      id.BitsPerPixel = std::min<uint16_t>(st.depth, 8);
      id.Colors = static_cast<uint16_t>(1 << id.BitsPerPixel);
      // The levels the samples stand for: 2-bit 0, 85, 170, 255.
      const int top = id.Colors - 1;
      for (int k = 0; k < id.Colors; ++k)
        std::memset(id.Palette + k * 3, top > 0 ? k * 255 / top : 0, 3);
      id.GrayFlag = 1;
      id.HasPalette = 1;
      break;
    }
    case ctRGB:
    case ctRGBA:
      id.BitsPerPixel = 24;
      id.Colors = 280;
      id.HasPalette = 0;
      st.bytesPerPixel = 3;
      break;
    case ctPalette:
      id.BitsPerPixel = std::min<uint16_t>(st.depth, 8);
      id.Colors = static_cast<uint16_t>(1 << id.BitsPerPixel);
      break;
    default:
      id.ErrorCode = errInvalidImage;
      return;
  }
  if (!DepthFits(st.colorType, st.depth) || st.interlace > 1) {
    id.ErrorCode = errInvalidImage;
    return;
  }
  if (!ValidPictureSize(static_cast<int>(std::min<uint32_t>(st.width, INT_MAX)),
                        static_cast<int>(std::min<uint32_t>(st.height, INT_MAX)), id.Colors)) {
    id.ErrorCode = errInvalidImage;
    return;
  }
  id.Width = static_cast<uint16_t>(st.width);
  id.Height = static_cast<uint16_t>(st.height);
  if (h[10] != 0) {
    id.ErrorCode = errUnknownCompression;
  } else if (h[11] != 0) {
    id.ErrorCode = errInvalidImage;
  }
  // Interlaced pictures smaller than 8 x 8 are valid: their empty passes store no rows.
}

// One chunk of the header walk, its data next in the stream. False ends the walk.
bool HeaderChunk(tGraphicID& id, tPngState& st, tChunk chunk, const uint8_t* type,
                 uint32_t length) {
  tBuffStream& s = *id.Stream;
  uint8_t data[13];
  switch (chunk) {
    case chIHDR:
      if (!ReadAll(s, data, 13)) break;
      ReadHeader(id, st, data);
      return id.ErrorCode == 0;
    case chTIME:
    case chTEXT:
    case chZTXT:
      if (!TextChunk(id, chunk, length)) break;
      return true;
    case chGAMA: {
      if (!ReadAll(s, data, 4)) break;
      id.Gamma = static_cast<uint16_t>(std::min<uint32_t>(Get32BE(data) / 100, 0xFFFF));
      id.AddInfoLine(Format("%sImage gamma=%6.3f", {"b", id.Gamma * 0.001}));
      return true;
    }
    case chPHYS:
      if (!ReadAll(s, data, 9)) break;
      st.physX = Get32BE(data);
      st.physY = Get32BE(data + 4);
      return true;
    case chPLTE:
      if (length % 3 != 0 || length > 768) {
        id.ErrorCode = errInvalidImage;
        return false;
      }
      if (st.colorType != ctPalette) {
        SkipBytes(s, length);
        return true;
      }
      if (!ReadAll(s, id.Palette, static_cast<int32_t>(length))) break;
      id.HasPalette = 1;
      return true;
    case chBKGD:
      if (st.colorType == ctPalette && length >= 1) {
        if (!ReadAll(s, &st.background, 1)) break;
        --length;
      }
      SkipBytes(s, length);
      return true;
    case chIDAT:
      if (!st.haveHeader) {
        id.ErrorCode = errInvalidImage;  // image data without a header
        return false;
      }
      st.idatData = LogicalPosition(s);
      st.idatLength = length;
      return false;
    case chIEND:
      id.ErrorCode = errEndOfFile;  // no image data
      return false;
    case chOther:
      if (!(type[0] & 0x20) || !IsPrintable(type)) {
        id.ErrorCode = errBadBlockId;
        return false;
      }
      [[fallthrough]];
    default:  // sBIT, cHRM, oFFs, tRNS, hIST and unknown ancillary chunks
      SkipBytes(s, length);
      return true;
  }
  id.ErrorCode = errEndOfFile;
  return false;
}

void HeaderWalk(tGraphicID& id, tPngState& st) {
  tBuffStream& s = *id.Stream;
  s.Seek(8);
  for (;;) {
    uint8_t head[8];
    if (!ReadAll(s, head, 8)) {
      id.ErrorCode = errEndOfFile;
      return;
    }
    const uint32_t length = Get32BE(head);
    const tChunk chunk = ChunkNumber(head + 4);
    if (length > INT32_MAX || (chunk != chOther && kChunkLengths[chunk] >= 0 &&
                               length != uint32_t(kChunkLengths[chunk]))) {
      id.ErrorCode = errBadBlockId;
      return;
    }
    if (!HeaderChunk(id, st, chunk, head + 4, length)) return;
    uint8_t crc[4];
    if (!ReadAll(s, crc, 4)) {
      id.ErrorCode = errEndOfFile;
      return;
    }
  }
}

const char* ColorTypeText(int colorType) {
  switch (colorType) {
    case ctGray:
      return "grayscale ";
    case ctRGB:
      return "RGB ";
    case ctPalette:
      return "palette-mapped ";
    case ctGrayAlpha:
      return "grayscale+ ";
    case ctRGBA:
      return "RGB+ ";
    default:
      return "";
  }
}

// --- Image data

// The image data of a run of IDAT chunks, inflated on demand straight from the stream.
class tIdatSource {
 public:
  tIdatSource(tBuffStream& s, uint32_t firstLength, tPngState& st)
      : s_(s), st_(st), left_(firstLength) {
    if (inflateInit(&z_) != Z_OK) ended_ = true;
  }
  ~tIdatSource() { inflateEnd(&z_); }
  tIdatSource(const tIdatSource&) = delete;
  tIdatSource& operator=(const tIdatSource&) = delete;

  // Fills count bytes; returns the bytes got: fewer when the data ends, 0 on an inflate fault.
  size_t Read(uint8_t* out, size_t count) {
    z_.next_out = out;
    z_.avail_out = static_cast<uInt>(count);
    while (z_.avail_out > 0 && !ended_) {
      if (z_.avail_in == 0 && !exhausted_ && !Feed()) exhausted_ = true;
      // Called even without new input: inflate may still hold output from earlier input.
      int r = inflate(&z_, Z_NO_FLUSH);
      if (r == Z_STREAM_END) {
        ended_ = true;
      } else if (r == Z_BUF_ERROR) {
        if (exhausted_) break;  // nothing more to come
      } else if (r != Z_OK) {
        ended_ = true;
        return 0;
      }
    }
    return count - z_.avail_out;
  }

  // Passes the rest of the IDAT run, keeping the header of the chunk after it.
  void SkipRest() {
    z_.avail_in = 0;
    while (inRun_) {
      SkipBytes(s_, left_);
      left_ = 0;
      NextChunk();
    }
  }

 private:
  // Points inflate at the next piece of data in the stream's buffer.
  bool Feed() {
    while (left_ == 0) {
      if (!inRun_ || !NextChunk()) return false;
    }
    int32_t n = s_.Available();
    if (n <= 0) {
      inRun_ = false;
      return false;
    }
    n = static_cast<int32_t>(std::min<uint32_t>(left_, static_cast<uint32_t>(n)));
    z_.next_in = s_.Buffer + s_.Index;
    z_.avail_in = static_cast<uInt>(n);
    // The buffer is not refilled before inflate has taken these bytes: Feed runs again first.
    s_.Index += n;
    left_ -= static_cast<uint32_t>(n);
    return true;
  }

  // At the end of an IDAT's data: its CRC, then the next header. True when that is an IDAT.
  bool NextChunk() {
    uint8_t crc[4];
    inRun_ = false;
    if (!ReadAll(s_, crc, 4) || !ReadAll(s_, st_.nextHead, 8)) return false;
    st_.haveNextHead = true;
    if (ChunkNumber(st_.nextHead + 4) != chIDAT || Get32BE(st_.nextHead) > INT32_MAX) return false;
    st_.haveNextHead = false;
    left_ = Get32BE(st_.nextHead);
    inRun_ = true;
    return true;
  }

  tBuffStream& s_;
  tPngState& st_;
  z_stream z_{};
  uint32_t left_;  // data bytes left in the current IDAT
  bool inRun_ = true;
  bool exhausted_ = false;  // no data left in the run
  bool ended_ = false;      // the deflate stream ended or failed
};

// Bytes of a row after reduction: packed bytes below 8 bits, one per sample else, x3 for RGB.
size_t ReducedRowBytes(uint32_t pixels, int depth, int bytesPerPixel) {
  if (depth < 8) return static_cast<size_t>(StoredRowBytes(pixels, depth, ctGray));
  return size_t(pixels) * bytesPerPixel;
}

// Reduces a stored row in place to what the picture holds: the high byte of 16-bit samples,
// alpha dropped, colour as blue, green, red. The filters work on each byte lane alone, so
// reducing before unfiltering gives the same result.
void Reduce(uint8_t* row, uint32_t pixels, int colorType, int depth) {
  const int sample = depth / 8;  // 0 below 8 bits
  if (colorType == ctRGB || colorType == ctRGBA) {
    const int step = SamplesPerPixel(colorType) * sample;
    const uint8_t* s = row;
    for (uint32_t i = 0; i < pixels; ++i, s += step) {
      uint8_t r = s[0], g = s[sample], b = s[2 * sample];
      row[i * 3] = b;
      row[i * 3 + 1] = g;
      row[i * 3 + 2] = r;
    }
  } else if (sample > 0 && (colorType == ctGrayAlpha || depth == 16)) {
    const int step = SamplesPerPixel(colorType) * sample;
    for (uint32_t i = 0; i < pixels; ++i) row[i] = row[size_t(i) * step];
  }
}

void Unfilter(int filter, uint8_t* x, const uint8_t* above, size_t n, int bpp) {
  const size_t k = std::min<size_t>(size_t(bpp), n);
  switch (filter) {
    case 1:
      for (size_t i = k; i < n; ++i) x[i] = static_cast<uint8_t>(x[i] + x[i - bpp]);
      break;
    case 2:
      for (size_t i = 0; i < n; ++i) x[i] = static_cast<uint8_t>(x[i] + above[i]);
      break;
    case 3:
      for (size_t i = 0; i < k; ++i) x[i] = static_cast<uint8_t>(x[i] + (above[i] >> 1));
      for (size_t i = k; i < n; ++i)
        x[i] = static_cast<uint8_t>(x[i] + ((x[i - bpp] + above[i]) >> 1));
      break;
    case 4:
      for (size_t i = 0; i < k; ++i) x[i] = static_cast<uint8_t>(x[i] + above[i]);
      for (size_t i = k; i < n; ++i)
        x[i] = static_cast<uint8_t>(x[i] + Paeth(x[i - bpp], above[i], above[i - bpp]));
      break;
    default:
      break;
  }
}

// Puts the decoded pixels of one pass row: whole rows replace the picture row, the rows of
// passes 1 to 6 fill their blocks so the picture shows at once in coarse form.
class tRowPutter {
 public:
  tRowPutter(tMemBmp& picture, int bytesPerPixel)
      : pic_(picture),
        width_(picture.Width()),
        height_(picture.Height()),
        bpp_(bytesPerPixel),
        line_(picture.BitCount() < 8 ? size_t(width_) : 0) {}

  void Put(const tPass& pass, bool whole, int y, const uint8_t* pixels, uint32_t columns) {
    if (whole) {
      if (pic_.BitCount() < 8) {
        pic_.SetByteLine(y, pixels);
      } else {
        std::memcpy(pic_.ScanLine(y), pixels, size_t(width_) * bpp_);
      }
      return;
    }
    for (int yy = y; yy < y + pass.blockHeight && yy < height_; ++yy) {
      const bool packed = pic_.BitCount() < 8;
      uint8_t* line = pic_.ScanLine(yy);
      if (packed) {
        std::memcpy(line_.data(), pic_.GetByteLine(yy), size_t(width_));
        line = line_.data();
      }
      for (uint32_t j = 0; j < columns; ++j) {
        const int x0 = pass.columnStart + int(j) * pass.columnStep;
        const int x1 = std::min(x0 + pass.blockWidth, width_);
        const uint8_t* p = pixels + size_t(j) * bpp_;
        for (int x = x0; x < x1; ++x) std::memcpy(line + size_t(x) * bpp_, p, size_t(bpp_));
      }
      if (packed) pic_.SetByteLine(yy, line);
    }
  }

 private:
  tMemBmp& pic_;
  const int width_, height_, bpp_;
  std::vector<uint8_t> line_;
};

// Inflates, unfilters and puts every row. Sets ErrorCode on a fault.
void DecodeRows(tGraphicID& id, tPngState& st, tIdatSource& source) {
  const uint32_t width = st.width;
  const int depth = st.depth, colorType = st.colorType, bpp = st.bytesPerPixel;
  const size_t maxRaw = static_cast<size_t>(StoredRowBytes(width, depth, colorType)) + 1;
  const size_t maxReduced = ReducedRowBytes(width, depth, bpp);
  std::vector<uint8_t> current(maxRaw), previous(maxRaw);
  std::vector<uint8_t> pixels(depth < 8 ? maxReduced * (8 / depth) : 0);
  tRowPutter putter(*id.Bitmap, bpp);

  const bool interlaced = st.interlace == 1;
  const int passCount = interlaced ? 7 : 1;
  for (int p = 0; p < passCount; ++p) {
    const tPass& pass = interlaced ? kAdam7[p] : kWholePicture;
    const uint32_t columns = PassColumns(pass, width), rows = PassRows(pass, st.height);
    if (columns == 0 || rows == 0) continue;  // an empty pass stores no rows at all
    const size_t raw = static_cast<size_t>(StoredRowBytes(columns, depth, colorType)) + 1;
    const size_t reduced = ReducedRowBytes(columns, depth, bpp);
    std::fill(previous.begin(), previous.begin() + static_cast<ptrdiff_t>(reduced + 1), 0);
    const bool whole = !interlaced || p == 6;
    for (uint32_t r = 0; r < rows; ++r) {
      const int y = pass.rowStart + static_cast<int>(r) * pass.rowStep;
      const size_t got = source.Read(current.data(), raw);
      st.expanded += static_cast<int64_t>(got);
      if (got < raw) {
        id.ErrorCode = errFileDamaged;
        return;
      }
      const int filter = current[0];
      if (filter > 4) {
        id.ErrorCode = errBadCode;
        return;
      }
      ++st.filterCounts[filter];
      uint8_t* row = current.data() + 1;
      Reduce(row, columns, colorType, depth);
      Unfilter(filter, row, previous.data() + 1, reduced, bpp);
      current.swap(previous);
      const uint8_t* out = previous.data() + 1;
      if (depth < 8) {
        UnpackPixels(out, pixels.data(), static_cast<int>(reduced), depth);
        out = pixels.data();
      }
      putter.Put(pass, whole, y, out, columns);
      if (!interlaced) id.RowsDone = static_cast<uint16_t>(y + 1);
    }
    if (interlaced) id.NotifyPartial();
  }
  id.RowsDone = id.Height;
}

void Decode(tGraphicID& id, tPngState& st) {
  tBuffStream& s = *id.Stream;
  id.AddInfoLine(Format("%sChecking file CRC32", {"g"}));
  std::vector<uint32_t> run;
  const int32_t fault = CheckChunks(s, st.idatCount, &run, kMaxIdatLines);
  if (fault != 0) {
    // The error line names the offset just past the damaged chunk.
    s.Seek(fault - s.Base);
    id.GetStopPosition();
    id.ErrorCode = errFileDamaged;
    return;
  }
  std::fill(std::begin(st.filterCounts), std::end(st.filterCounts), 0);
  st.expanded = 0;
  for (uint32_t length : run)
    id.AddInfoLine(Format("%s%.0n byte compressed image", {"g", static_cast<double>(length)}));
  s.Seek(st.idatData);
  tIdatSource source(s, st.idatLength, st);
  DecodeRows(id, st, source);
  if (id.ErrorCode != 0) return;
  source.SkipRest();
  if (st.expanded == 0) {
    id.ErrorCode = errBadBlockId;
    return;
  }
  id.AddInfoLine(Format("%s%.0n byte expanded image", {"g", static_cast<double>(st.expanded)}));
  for (int f = 0; f < 5; ++f)
    if (st.filterCounts[f] > 0)
      id.AddInfoLine(Format("%sFilter %d = %d", {"g", f, st.filterCounts[f]}));
}

// The chunks after the image data: text chunks as in the header, up to IEND.
void TrailingWalk(tGraphicID& id, tPngState& st) {
  if (!st.haveNextHead) return;
  tBuffStream& s = *id.Stream;
  uint8_t head[8];
  std::memcpy(head, st.nextHead, 8);
  for (;;) {
    const uint32_t length = Get32BE(head);
    const tChunk chunk = ChunkNumber(head + 4);
    if (length > INT32_MAX) return;
    if (chunk == chIEND) {
      id.AddInfoLine(Format("%s[ end ]", {"g"}));
      return;
    }
    if (chunk == chTIME || chunk == chTEXT || chunk == chZTXT) {
      if (!TextChunk(id, chunk, length)) return;
    } else {
      SkipBytes(s, length);
    }
    uint8_t crc[4];
    if (!ReadAll(s, crc, 4) || !ReadAll(s, head, 8)) return;
  }
}

}  // namespace

void IdentifyPNG(tGraphicID& id) {
  tBuffStream& s = *id.Stream;
  s.Rewind();
  if (s.BytesValid < 8 || std::memcmp(s.BufferPtr(), kSignature, 8) != 0) return;
  id.FormatId = fmtPNG;
  auto owned = std::make_unique<tPngState>();
  tPngState& st = *owned;
  id.CodecState = std::move(owned);
  HeaderWalk(id, st);
  id.FormatName = std::string(st.interlace == 1 ? "interlaced " : "") +
                  ColorTypeText(st.haveHeader ? st.colorType : -1) + ::FormatName(fmtPNG);
  id.DetectAspect();
  if (st.physX >= 1 && st.physY >= 1) {
    // SetAspect halves both together; do it here too so values past 2^31 stay positive.
    uint32_t x = st.physX, y = st.physY;
    while (x > 16384 || y > 16384) x /= 2, y /= 2;
    id.SetAspect(static_cast<int>(x), static_cast<int>(y));
  }
  if (st.interlace == 0) id.BackgroundIndex = st.background;
  if (id.ErrorCode != 0) return;
  uint8_t quads[1024] = {};
  for (int i = 0; i < 256; ++i) {
    quads[i * 4] = id.Palette[i * 3 + 2];
    quads[i * 4 + 1] = id.Palette[i * 3 + 1];
    quads[i * 4 + 2] = id.Palette[i * 3];
  }
  id.Bitmap = std::make_unique<tMemBmp>();
  id.Bitmap->Allocate(id.Width, id.Height, id.GrayFlag, id.HasPalette ? quads : nullptr, id.Colors,
                      id.BitsPerPixel);
}

void LoadPNG(tGraphicID& id) {
  auto* st = dynamic_cast<tPngState*>(id.CodecState.get());
  if (st && id.Stream && id.ErrorCode == 0) Decode(id, *st);
  if (st && id.Stream && id.ErrorCode == 0) {
    id.NotifyImageDone();
    TrailingWalk(id, *st);
  }
  id.FinishDecoding();
}

void RegisterPNG() { RegisterFormat(IdentifyPNG, LoadPNG, NoNextImage); }
