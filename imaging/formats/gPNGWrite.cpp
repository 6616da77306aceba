// The PNG writer: header chunks, one IDAT deflated at level 9 straight into the file, and a
// last pass that fills in every chunk's CRC.
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"
#include "imaging/formats/gPNG.h"
#include "imaging/formats/gPNGLayout.h"

namespace {

using namespace png;

constexpr size_t kOutBlock = 1 << 16;  // deflate output written at a time
constexpr int kAdaptive = 5;           // filter options from here on choose per row

// Writes through the buffered writer and remembers any failed write (a later successful flush
// clears the stream's own flag).
class tOut {
 public:
  explicit tOut(tBuffStream& s) : s_(s) {}
  void Write(const void* data, size_t count) {
    s_.Write(data, static_cast<int32_t>(count));
    if (s_.AtEnd || size_t(s_.LastCount) != count) failed_ = true;
  }
  void Chunk(const char* type, const std::vector<uint8_t>& data) {
    uint8_t head[8];
    Put32BE(head, static_cast<uint32_t>(data.size()));
    std::memcpy(head + 4, type, 4);
    Write(head, 8);
    if (!data.empty()) Write(data.data(), data.size());
    const uint8_t crc[4] = {};  // filled in by the CRC pass
    Write(crc, 4);
  }
  // Bytes written by the writer itself, not through the buffer.
  void Direct(const uint8_t* data, size_t count) {
    if (!s_.Stream || s_.Stream->Write(data, static_cast<int32_t>(count)) != int32_t(count))
      failed_ = true;
  }
  bool Failed() const { return failed_; }
  void Fail() { failed_ = true; }
  tBuffStream& Stream() { return s_; }

 private:
  tBuffStream& s_;
  bool failed_ = false;
};

void Append32(std::vector<uint8_t>& v, uint32_t x) {
  uint8_t b[4];
  Put32BE(b, x);
  v.insert(v.end(), b, b + 4);
}

std::vector<uint8_t> TextData(const char* keyword, const std::string& text) {
  std::vector<uint8_t> v(keyword, keyword + std::strlen(keyword) + 1);
  v.insert(v.end(), text.begin(), text.end());
  return v;
}

std::vector<uint8_t> CompressedTextData(const char* keyword, const std::string& text) {
  std::vector<uint8_t> v(keyword, keyword + std::strlen(keyword) + 1);
  v.push_back(0);  // compression method: deflate
  uLongf size = compressBound(static_cast<uLong>(text.size()));
  const size_t head = v.size();
  v.resize(head + size);
  if (compress2(v.data() + head, &size, reinterpret_cast<const Bytef*>(text.data()),
                static_cast<uLong>(text.size()), Z_BEST_COMPRESSION) != Z_OK)
    throw std::bad_alloc();
  v.resize(head + size);
  return v;
}

// The clock's local time as the 7 bytes of tIME.
std::vector<uint8_t> TimeData(TDateTime now) {
  int year = 0, month = 0, day = 0;
  DecodeDate(now, year, month, day);
  const double day0 = std::floor(now);
  int64_t ms = std::llround((now - day0) * 86400000.0);
  ms = std::clamp<int64_t>(ms, 0, 86399999);
  const int seconds = static_cast<int>(ms / 1000);
  return {static_cast<uint8_t>(year >> 8),      static_cast<uint8_t>(year),
          static_cast<uint8_t>(month),          static_cast<uint8_t>(day),
          static_cast<uint8_t>(seconds / 3600), static_cast<uint8_t>(seconds / 60 % 60),
          static_cast<uint8_t>(seconds % 60)};
}

// The forward filter f of a row of n bytes with the given pixel stride.
void FilterRow(int f, const uint8_t* x, const uint8_t* above, uint8_t* out, size_t n, int bpp) {
  const size_t k = std::min<size_t>(size_t(bpp), n);
  switch (f) {
    case 0:
      std::memcpy(out, x, n);
      break;
    case 1:
      std::memcpy(out, x, k);
      for (size_t i = k; i < n; ++i) out[i] = static_cast<uint8_t>(x[i] - x[i - bpp]);
      break;
    case 2:
      for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(x[i] - above[i]);
      break;
    case 3:
      for (size_t i = 0; i < k; ++i) out[i] = static_cast<uint8_t>(x[i] - (above[i] >> 1));
      for (size_t i = k; i < n; ++i)
        out[i] = static_cast<uint8_t>(x[i] - ((x[i - bpp] + above[i]) >> 1));
      break;
    default:
      for (size_t i = 0; i < k; ++i) out[i] = static_cast<uint8_t>(x[i] - above[i]);
      for (size_t i = k; i < n; ++i)
        out[i] = static_cast<uint8_t>(x[i] - Paeth(x[i - bpp], above[i], above[i - bpp]));
      break;
  }
}

// The sum of the bytes read as signed numbers, without their signs.
uint64_t FilterScore(const uint8_t* row, size_t n) {
  uint64_t sum = 0;
  for (size_t i = 0; i < n; ++i)
    sum += static_cast<uint64_t>(std::abs(static_cast<int8_t>(row[i])));
  return sum;
}

// How the picture is stored and where its rows come from.
struct tLayout {
  int colorType = ctPalette, depth = 8;
  int bpp = 1;          // bytes per pixel of a source row and the filter stride
  uint8_t levels[256];  // index -> stored sample (grey levels or the index itself)
};

tLayout LayoutOf(const tMemBmp& picture) {
  tLayout l;
  const int c = picture.ColorCount();
  const bool grey = picture.GrayFlag != 0;
  if (c > 256) {
    l.colorType = ctRGB;
    l.depth = 8;
    l.bpp = 3;
    return l;
  }
  l.colorType = grey ? ctGray : ctPalette;
  // Grey pictures of 3 to 16 colours take 4 bits, as their levels are 4-bit.
  l.depth = c < 3 ? 1 : c <= 4 ? (grey ? 4 : 2) : c <= 16 ? 4 : 8;
  const int entries = picture.PaletteEntries();
  if (grey) {
    // Grey levels the depth cannot hold exactly (a 1-bit picture of 0 and 100) take 8 bits.
    const int step = 255 / ((1 << l.depth) - 1);
    for (int i = 0; i < std::min(c, entries); ++i)
      if (picture.ColorTable[i * 4] % step != 0) l.depth = 8;
  }
  const int top = (1 << l.depth) - 1;
  for (int i = 0; i < 256; ++i) {
    if (!grey) {
      l.levels[i] = static_cast<uint8_t>(i);
      continue;
    }
    // True grey levels, whatever order the table has: a 1-bit picture whose entry 0 is white
    // stays white.
    const int g = i < entries ? picture.ColorTable[i * 4] : 0;
    l.levels[i] = static_cast<uint8_t>((g * top + 127) / 255);
  }
  return l;
}

// Makes the stored rows of every pass, filters and deflates them into the file.
class tImageWriter {
 public:
  tImageWriter(tMemBmp& picture, const tLayout& layout, int filterOption, tOut& out)
      : pic_(picture), l_(layout), option_(filterOption), out_(out) {
    const size_t width = static_cast<size_t>(picture.Width());
    rowBytes_ = static_cast<size_t>(StoredRowBytes(width, l_.depth, l_.colorType));
    // Room for whole packed bytes of pixels: the gathered row is packed byte by byte.
    gathered_.assign(std::max(width * l_.bpp, rowBytes_ * 8), 0);
    current_.assign(rowBytes_, 0);
    previous_.assign(rowBytes_, 0);
    for (auto& f : filtered_) f.assign(rowBytes_ + 1, 0);
    outBlock_.resize(kOutBlock);
    // Filtered rows hold small values scattered around zero, which compress better with
    // Huffman codes favoured over short matches (as libpng does too).
    const bool filtered =
        option_ < kAdaptive ? option_ != 0 : l_.colorType != ctPalette && l_.depth >= 8;
    if (deflateInit2(&z_, Z_BEST_COMPRESSION, Z_DEFLATED, 15, 8,
                     filtered ? Z_FILTERED : Z_DEFAULT_STRATEGY) != Z_OK)
      throw std::bad_alloc();
    z_.next_out = outBlock_.data();
    z_.avail_out = static_cast<uInt>(kOutBlock);
  }
  ~tImageWriter() { deflateEnd(&z_); }
  tImageWriter(const tImageWriter&) = delete;
  tImageWriter& operator=(const tImageWriter&) = delete;

  void WritePass(const tPass& pass) {
    const uint32_t width = static_cast<uint32_t>(pic_.Width());
    const uint32_t columns = PassColumns(pass, width);
    const uint32_t rows = PassRows(pass, static_cast<uint32_t>(pic_.Height()));
    if (columns == 0 || rows == 0) return;  // an empty pass stores no rows at all
    const size_t n = static_cast<size_t>(StoredRowBytes(columns, l_.depth, l_.colorType));
    std::fill(previous_.begin(), previous_.end(), 0);
    for (uint32_t r = 0; r < rows && !out_.Failed(); ++r) {
      MakeRow(pass, pass.rowStart + static_cast<int>(r) * pass.rowStep, columns, n);
      Deflate(ChooseFilter(n), n + 1, Z_NO_FLUSH);
      current_.swap(previous_);
    }
  }

  void Finish() {
    if (!out_.Failed()) Deflate(nullptr, 0, Z_FINISH);
  }

 private:
  // The stored bytes of one pass row into current_.
  void MakeRow(const tPass& pass, int y, uint32_t columns, size_t n) {
    const int bpp = l_.bpp;
    if (l_.colorType == ctRGB) {
      const uint8_t* rgb = pic_.GetRGBLineSwapped(y);
      if (pass.columnStep == 1) {
        std::memcpy(current_.data(), rgb, n);
        return;
      }
      for (uint32_t j = 0; j < columns; ++j)
        std::memcpy(&current_[j * bpp], rgb + (pass.columnStart + j * pass.columnStep) * bpp, 3);
      return;
    }
    const uint8_t* index = pic_.GetByteLine(y);
    uint8_t* to = l_.depth == 8 ? current_.data() : gathered_.data();
    for (uint32_t j = 0; j < columns; ++j)
      to[j] = l_.levels[index[pass.columnStart + j * pass.columnStep]];
    if (l_.depth < 8) {
      std::fill(gathered_.begin() + columns, gathered_.begin() + n * (8 / l_.depth), 0);
      PackPixels(gathered_.data(), current_.data(), static_cast<int>(n), l_.depth);
    }
  }

  // Returns the filter byte and row to deflate, in one of the filtered buffers.
  const uint8_t* ChooseFilter(size_t n) {
    int chosen = 0;
    if (option_ < kAdaptive) {
      chosen = option_;
    } else if (l_.colorType != ctPalette && l_.depth >= 8) {
      uint64_t best = UINT64_MAX;
      for (int f = 0; f < 5; ++f) {
        FilterRow(f, current_.data(), previous_.data(), filtered_[f].data() + 1, n, l_.bpp);
        const uint64_t score = FilterScore(filtered_[f].data() + 1, n);
        if (score < best) best = score, chosen = f;
      }
      filtered_[chosen][0] = static_cast<uint8_t>(chosen);
      return filtered_[chosen].data();
    }
    FilterRow(chosen, current_.data(), previous_.data(), filtered_[chosen].data() + 1, n, l_.bpp);
    filtered_[chosen][0] = static_cast<uint8_t>(chosen);
    return filtered_[chosen].data();
  }

  void Deflate(const uint8_t* data, size_t count, int flush) {
    z_.next_in = const_cast<uint8_t*>(data);
    z_.avail_in = static_cast<uInt>(count);
    for (;;) {
      int r = deflate(&z_, flush);
      if (r == Z_STREAM_ERROR) {
        out_.Fail();
        return;
      }
      if (z_.avail_out == 0 || r == Z_STREAM_END) {
        out_.Direct(outBlock_.data(), kOutBlock - z_.avail_out);
        z_.next_out = outBlock_.data();
        z_.avail_out = static_cast<uInt>(kOutBlock);
      }
      if (r == Z_STREAM_END || out_.Failed()) return;
      if (flush == Z_NO_FLUSH && z_.avail_in == 0 && z_.avail_out > 0) return;
    }
  }

  tMemBmp& pic_;
  const tLayout& l_;
  const int option_;
  tOut& out_;
  size_t rowBytes_ = 0;
  std::vector<uint8_t> gathered_, current_, previous_, outBlock_;
  std::vector<uint8_t> filtered_[5];
  z_stream z_{};
};

}  // namespace

void WritePNG(tMemBmp& picture, tBuffStream& stream, const std::string& software,
              const std::string& comment, uint8_t interlaced, uint8_t filterOption, int32_t gamma) {
  if (!picture.HasLayout() || picture.Width() <= 0 || picture.Height() <= 0)
    throw std::invalid_argument("The picture has no rows to write");
  const tLayout layout = LayoutOf(picture);
  tOut out(stream);
  const int64_t start = stream.Position();

  out.Write(kSignature, 8);
  std::vector<uint8_t> ihdr;
  Append32(ihdr, static_cast<uint32_t>(picture.Width()));
  Append32(ihdr, static_cast<uint32_t>(picture.Height()));
  ihdr.insert(ihdr.end(),
              {static_cast<uint8_t>(layout.depth), static_cast<uint8_t>(layout.colorType), 0, 0,
               static_cast<uint8_t>(interlaced ? 1 : 0)});
  out.Chunk("IHDR", ihdr);
  if (gamma > 0) {
    std::vector<uint8_t> g;
    Append32(g, static_cast<uint32_t>(std::min<int64_t>(int64_t(gamma) * 1000, INT32_MAX)));
    out.Chunk("gAMA", g);
  }
  if (layout.colorType == ctPalette) {
    uint8_t triples[768];
    picture.GetPalette(triples);
    const int entries = std::min(picture.ColorCount(), 256);
    out.Chunk("PLTE", std::vector<uint8_t>(triples, triples + entries * 3));
  }
  if (!software.empty()) out.Chunk("tEXt", TextData("Software", software));
  if (!comment.empty()) out.Chunk("zTXt", CompressedTextData("Comment", comment));
  out.Chunk("tIME", TimeData(Platform().Now()));

  // IDAT: its length is known only once the rows are deflated straight into the file.
  const int64_t idatStart = stream.Position();
  const uint8_t idatHead[8] = {0, 0, 0, 0, 'I', 'D', 'A', 'T'};
  out.Write(idatHead, 8);
  stream.Flush();
  {
    tImageWriter image(picture, layout, filterOption, out);
    if (interlaced) {
      for (const tPass& pass : kAdam7) image.WritePass(pass);
    } else {
      image.WritePass(kWholePicture);
    }
    image.Finish();
  }
  const uint8_t crc[4] = {};
  out.Write(crc, 4);
  const int64_t idatEnd = stream.Position();
  uint8_t length[4];
  Put32BE(length, static_cast<uint32_t>(idatEnd - idatStart - 12));
  if (stream.WriteAt(static_cast<int32_t>(idatStart), length, 4) != 4) out.Fail();
  out.Chunk("IEND", {});

  // Everything written is flushed here, so the stream's flag stays as set below.
  stream.Flush();
  if (stream.AtEnd || !stream.Stream) out.Fail();
  if (!out.Failed()) {
    int idatCount = 0;
    if (png::FillInCrcs(*stream.Stream, start, idatCount) != 0) out.Fail();
    stream.Stream->Seek(0, soFromEnd);
  }
  if (out.Failed()) stream.AtEnd = 1;
}
