// GIF reader, pixel side: the LZW decoder, putting frame rows into the picture (interlace passes,
// colour maps, transparency) and drawing plain-text blocks with the bitmap fonts.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "foundation/uFormat.h"
#include "foundation/uUtil.h"
#include "imaging/formats/gGIFState.h"
#include "imaging/uFonts.h"

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxFullTableRecords = 100;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Codes, least significant bit first, from the data sub-blocks of an image.
class tCodeReader {
 public:
  explicit tCodeReader(tBuffStream& s) : s_(s) {}

  // False when the data ends before the code is complete.
  bool Get(int width, int& code) {
    while (bits_ < width) {
      if (pos_ >= len_ && !NextBlock()) return false;
      acc_ |= uint32_t(block_[pos_++]) << bits_;
      bits_ += 8;
    }
    code = static_cast<int>(acc_ & ((1u << width) - 1));
    acc_ >>= width;
    bits_ -= width;
    return true;
  }
  // A zero-length sub-block (or the end of the stream) has been met.
  bool Ended() const { return ended_; }

 private:
  bool NextBlock() {
    uint8_t n;
    if (ended_ || !ReadByte(s_, n) || n == 0) {
      ended_ = true;
      return false;
    }
    s_.Read(block_, n);
    len_ = s_.LastCount;
    pos_ = 0;
    if (len_ < n) ended_ = true;  // the stream ends inside the sub-block: use what came
    return len_ > 0;
  }

  tBuffStream& s_;
  uint8_t block_[255];
  int pos_ = 0, len_ = 0;
  uint32_t acc_ = 0;
  int bits_ = 0;
  bool ended_ = false;
};

// The string table. Each code keeps the last 1 to 8 characters of its string in its block and
// the code whose string comes before them, so a string is copied out 8 characters per step.
struct tLzwTable {
  uint8_t Block[kMaxCodes][8];
  uint16_t Prefix[kMaxCodes];
  uint16_t Length[kMaxCodes];
  uint8_t First[kMaxCodes];
  uint8_t Stack[kMaxCodes];
};

// Collects decoded pixels into frame rows and hands each complete row to PutFrameRow.
class tRowSink {
 public:
  tRowSink(tGraphicID& id, tGifState& st)
      : id_(id),
        st_(st),
        row_(static_cast<size_t>(st.FrameWidth)),
        left_(int64_t(st.FrameWidth) * st.FrameHeight) {}

  int64_t PixelsLeft() const { return left_; }
  // Room in the current row.
  int RowRoom() const { return st_.FrameWidth - pos_; }
  uint8_t* At() { return row_.data() + pos_; }
  // n pixels were written at At() (n <= RowRoom()).
  void Advance(int n) {
    pos_ += n;
    left_ -= n;
    if (pos_ == st_.FrameWidth) {
      PutFrameRow(id_, st_, row_.data());
      pos_ = 0;
    }
  }
  void Append(const uint8_t* pixels, int n) {
    while (n > 0) {
      int k = std::min(n, RowRoom());
      std::memcpy(At(), pixels, static_cast<size_t>(k));
      pixels += k;
      n -= k;
      Advance(k);
    }
  }

 private:
  tGraphicID& id_;
  tGifState& st_;
  std::vector<uint8_t> row_;
  int pos_ = 0;
  int64_t left_;
};

class tLzwDecoder {
 public:
  tLzwDecoder(tGraphicID& id, tGifState& st, int minCodeSize)
      : id_(id),
        st_(st),
        sink_(id, st),
        reader_(*id.Stream),
        clear_(1 << minCodeSize),
        minCodeSize_(minCodeSize) {
    for (int i = 0; i < clear_; ++i) {
      t_.Block[i][0] = t_.First[i] = static_cast<uint8_t>(i);
      t_.Length[i] = 1;
      t_.Prefix[i] = 0;
    }
    Reset();
  }

  void Run() {
    const int end = clear_ + 1;
    int prev = -1;  // none: as after a clear code, also when the data does not start with one
    for (;;) {
      int code;
      if (!reader_.Get(codeLength_, code)) {
        id_.ErrorCode = errFileDamaged;
        break;
      }
      if (code == clear_) {
        if (fullCount_ > 0 && records_.size() < kMaxFullTableRecords)
          records_.push_back(fullCount_);
        fullCount_ = 0;
        Reset();
        prev = -1;
        ++clearRun_;
        continue;
      }
      EndClearRun();
      if (code == end) break;
      // Only literals may follow a clear code; any other code must already be in the table.
      if (code > nextFree_ || (prev < 0 && code >= clear_)) {
        id_.ErrorCode = errBadCode;
        break;
      }
      if (prev >= 0 && !tableFull_) AddEntry(prev, code);
      if (!Output(code)) break;
      prev = code;
    }
    EndClearRun();
  }

  // True when the data chain ended before the end code.
  bool DataEnded() const { return reader_.Ended(); }
  const std::vector<uint32_t>& FullTableRecords() const { return records_; }

 private:
  void Reset() {
    codeLength_ = minCodeSize_ + 1;
    nextFree_ = clear_ + 2;
    limit_ = 1 << codeLength_;
    tableFull_ = false;
  }

  void EndClearRun() {
    if (clearRun_ > 1) id_.AddInfoLine(Format("%s%d consecutive clear codes", {"g", clearRun_}));
    clearRun_ = 0;
  }

  // Entry next free = previous string + first character of the current one (of the previous
  // one when the current code is the entry being made).
  void AddEntry(int prev, int code) {
    const int n = nextFree_;
    const uint8_t c = code == n ? t_.First[prev] : t_.First[code];
    const int length = t_.Length[prev];
    const int used = length & 7;  // characters in the previous string's last block; 0: full
    if (used == 0) {
      t_.Block[n][0] = c;
      t_.Prefix[n] = static_cast<uint16_t>(prev);
    } else {
      std::memcpy(t_.Block[n], t_.Block[prev], 8);
      t_.Block[n][used] = c;
      t_.Prefix[n] = t_.Prefix[prev];
    }
    t_.First[n] = t_.First[prev];
    t_.Length[n] = static_cast<uint16_t>(length + 1);
    ++nextFree_;
    if (nextFree_ >= limit_) {
      if (codeLength_ == 12) {
        tableFull_ = true;
      } else {
        ++codeLength_;
        limit_ <<= 1;
      }
    }
  }

  // Copies the string of code (length characters) to out.
  void Expand(int code, int length, uint8_t* out) const {
    uint8_t* p = out + length;
    const int last = ((length - 1) & 7) + 1;
    p -= last;
    for (int i = 0; i < last; ++i) p[i] = t_.Block[code][i];
    for (length -= last; length > 0; length -= 8) {
      code = t_.Prefix[code];
      p -= 8;
      std::memcpy(p, t_.Block[code], 8);
    }
  }

  // Puts the string of code; false (with the overrun error) when it is longer than the pixels
  // the frame has left.
  bool Output(int code) {
    const int length = t_.Length[code];
    if (tableFull_) fullCount_ += static_cast<uint32_t>(length);
    if (length <= sink_.RowRoom() && length <= sink_.PixelsLeft()) {
      Expand(code, length, sink_.At());
      sink_.Advance(length);
      return true;
    }
    uint8_t* sp = t_.Stack;
    Expand(code, length, sp);
    const int fits = static_cast<int>(std::min<int64_t>(length, sink_.PixelsLeft()));
    sink_.Append(sp, fits);
    if (fits == length) return true;
    id_.ErrorCode = st_.Interlaced ? errInterlaceOverrun : errSequentialOverrun;
    return false;
  }

  tGraphicID& id_;
  tGifState& st_;
  tRowSink sink_;
  tCodeReader reader_;
  tLzwTable t_;
  const int clear_, minCodeSize_;
  int codeLength_ = 0, nextFree_ = 0, limit_ = 0;
  bool tableFull_ = false;
  int clearRun_ = 0;
  uint32_t fullCount_ = 0;
  std::vector<uint32_t> records_;
};

}  // namespace

void StartRows(tGraphicID& id, tGifState& st, bool interlaced) {
  st.Interlaced = interlaced;
  st.Pass = interlaced ? 0 : 3;
  st.Row = 0;
  id.RowsDone = static_cast<uint16_t>(st.Top);
}

void PutFrameRow(tGraphicID& id, tGifState& st, const uint8_t* pixels) {
  if (st.Pass >= 4) {
    id.ErrorCode = st.Interlaced ? errInterlaceOverrun : errSequentialOverrun;
    return;
  }
  tMemBmp& pic = *id.Bitmap;
  const int y = st.Top + st.Row;
  // Rows below the picture are dropped (the picture's last row is not theirs).
  if (y < pic.Height()) {
    uint8_t* line = pic.GetByteLine(y);
    if (pic.BitCount() < 8) {
      // Our own copy: the picture's unpacked row is also the buffer SetByteLine packs from.
      st.PackedRow.assign(line, line + pic.Width());
      line = st.PackedRow.data();
    }
    uint8_t* dst = line + st.Left;
    const int w = st.FrameWidth;
    if (st.HasMap) {
      const uint8_t* map = st.FrameMap;
      if (st.Transparent) {
        const uint8_t t = st.TransparentIndex;
        for (int i = 0; i < w; ++i)
          if (pixels[i] != t) dst[i] = map[pixels[i]];
      } else {
        for (int i = 0; i < w; ++i) dst[i] = map[pixels[i]];
      }
    } else {
      std::memcpy(dst, pixels, static_cast<size_t>(w));
    }
    pic.SetByteLine(y, line);
  }
  const int oldPass = st.Pass;
  int row = st.Row + (st.Interlaced ? kPassStep[st.Pass] : 1);
  while (st.Pass < 4 && row >= st.FrameHeight) {
    ++st.Pass;
    if (st.Pass < 4) row = kPassStart[st.Pass];
  }
  st.Row = row;
  id.RowsDone = static_cast<uint16_t>(std::min(st.Top + row, 0xFFFF));
  if (st.Pass != oldPass && st.Interlaced && st.Pass < 3) id.NotifyPartial();
}

void DecodeImageData(tGraphicID& id, tGifState& st) {
  tBuffStream& s = *id.Stream;
  uint8_t minCodeSize;
  if (!ReadByte(s, minCodeSize)) {
    id.ErrorCode = errEndOfFile;
    return;
  }
  if (minCodeSize < 2 || minCodeSize > 8) {
    id.ErrorCode = errBadMinCode;
    return;
  }
  auto decoder = std::make_unique<tLzwDecoder>(id, st, minCodeSize);
  decoder->Run();
  if (!decoder->DataEnded() && id.ErrorCode == 0 && (s.Index < s.BytesValid || s.Available() > 0) &&
      s.Buffer[s.Index] == 0)
    ++s.Index;  // the chain's terminator
  if (id.ErrorCode == errFileDamaged && decoder->DataEnded() && st.Pass == 4) {
    id.AddInfoLine("gGIF ERROR! Missing LZW end code! (ignored)");
    id.WarningCode = errFileDamaged;
    id.ErrorCode = 0;
  }
  for (uint32_t count : decoder->FullTableRecords())
    id.AddInfoLine(Format("%s%.0n bytes output with full table", {"g", double(count)}));
}

void DrawPlainText(tGraphicID& id, tGifState& st, const uint8_t* data, int n) {
  tMemBmp& pic = *id.Bitmap;
  if (st.Disposal == 3) id.SaveBits();
  st.HasMap = st.BackgroundMode;
  if (st.BackgroundMode) std::memcpy(st.FrameMap, st.GlobalMap, 256);
  const uint8_t* h = st.PlainTextHeader;
  st.Left = Get16(h);
  st.Top = Get16(h + 2);
  st.FrameWidth = id.IdentWidth = Get16(h + 4);
  st.FrameHeight = id.IdentHeight = Get16(h + 6);
  const int cellWidth = h[8], cellHeight = h[9];
  const uint8_t foreground = h[10], background = h[11];
  // A cell of zero size holds no character (and must not divide).
  const int columns = cellWidth ? st.FrameWidth / cellWidth : 0;
  const int rows = cellHeight ? st.FrameHeight / cellHeight : 0;
  id.Work0 = static_cast<uint16_t>(st.Top);
  id.Work1 = static_cast<uint16_t>(st.Left);
  id.AddInfoLine(Format("%sPlain text: %d rows of %d characters", {"g", rows, columns}));

  const size_t capacity = size_t(columns) * size_t(rows);
  std::string text(reinterpret_cast<const char*>(data), std::min<size_t>(size_t(n), capacity));
  uint8_t block[256];
  for (int k; (k = ReadSubBlock(id, block)) > 0;)
    if (text.size() < capacity)
      text.append(reinterpret_cast<const char*>(block),
                  std::min<size_t>(size_t(k), capacity - text.size()));
  if (id.ErrorCode) return;
  if (st.FrameWidth == 0 || st.FrameHeight == 0 || st.Left + st.FrameWidth > id.Width) {
    id.ErrorCode = errInvalidImage;
    id.SetErrorText(
        Format("Invalid image %s at %d,%d",
               {ImageSizeText(id.IdentWidth, id.IdentHeight, id.IdentColors), st.Left, st.Top}));
    return;
  }
  st.ImageDecoded = true;
  if (columns == 0 || rows == 0) return;

  const bool tall = cellHeight > 13;
  const int fontHeight = tall ? 14 : 8;
  const int vScale = std::max(1, cellHeight / fontHeight);
  const int hScale = std::max(1, cellWidth / 8);
  // Glyphs wider or taller than their cell are cut at the cell's edge.
  const int glyphWidth = std::min(8 * hScale, cellWidth);
  StartRows(id, st, false);
  std::vector<uint8_t> line(static_cast<size_t>(st.FrameWidth));
  auto below = [&] { return st.Top + st.Row >= pic.Height(); };  // the rest would be dropped
  auto putBackground = [&](int count) {
    std::fill(line.begin(), line.end(), background);
    for (int i = 0; i < count && !below(); ++i) PutFrameRow(id, st, line.data());
  };
  for (int r = 0; r < rows && !below(); ++r) {
    int drawn = 0;
    for (int g = 0; g < fontHeight && drawn < cellHeight; ++g) {
      std::fill(line.begin(), line.end(), background);
      for (int c = 0; c < columns; ++c) {
        size_t at = size_t(r) * columns + c;
        uint8_t ch = at < text.size() ? static_cast<uint8_t>(text[at]) : ' ';
        uint8_t bits = tall ? Font8x14[ch][g] : Font8x8[ch][g];
        uint8_t* out = line.data() + size_t(c) * cellWidth;
        for (int x = 0; x < glyphWidth; ++x)
          out[x] = bits & (0x80 >> (x / hScale)) ? foreground : background;
      }
      for (int v = 0; v < vScale && drawn < cellHeight && !below(); ++v, ++drawn)
        PutFrameRow(id, st, line.data());
    }
    putBackground(cellHeight - drawn);
  }
  putBackground(st.FrameHeight - rows * cellHeight);
}
