// The strips of one TIFF page: each strip's decoder hands over stored rows, which are unpacked,
// undone from the predictor, converted to the picture's layout and put at the page's next row.
#include <algorithm>
#include <cstring>

#include "foundation/uFormat.h"
#include "imaging/formats/gTIFState.h"
#include "imaging/formats/uCCITTCodes.h"
#include "imaging/formats/uTiffLzw.h"

namespace {

class tTiffPage {
 public:
  tTiffPage(tGraphicID& id, tTiffState& st) : id_(id), st_(st), pic_(*id.Bitmap), s_(*id.Stream) {
    width_ = std::min<int>(id.IdentWidth, pic_.Width());
    height_ = std::min<int>(id.IdentHeight, pic_.Height());
    bits_ = st.PixelBits;
    st.RawRowBytes = static_cast<int32_t>(bits_ <= 8    ? (int64_t(bits_) * width_ + 7) / 8
                                          : bits_ == 32 ? int64_t(width_) * 4
                                                        : int64_t(width_) * 3);
    st.RowBytes = bits_ > 8 ? width_ * 3 : width_;
    fax_ = TiffIsFax(st);
    order_ = !fax_ && st.FillOrder == 2 ? fax::ReversedBits() : nullptr;
    row_ = st.TopDown ? 0 : height_ - 1;
    const size_t raw = size_t(std::max(st.RawRowBytes, 1));
    row_buffer_.resize(raw);
    pixels_.resize(raw * 8 + 8);
    unpacked_.resize(size_t((width_ + 7) / 8) * 8 + 8);
  }

  void Run();

 private:
  bool PutRow(const uint8_t* raw);
  bool Advance();
  void PutPixels(const uint8_t* pixels, bool packed);
  void Uncompressed();
  void PackBits();
  void Lzw();
  void Fax(tFaxCodec& codec);

  tGraphicID& id_;
  tTiffState& st_;
  tMemBmp& pic_;
  tBuffStream& s_;
  int width_ = 0, height_ = 0, bits_ = 1;
  bool fax_ = false;
  const uint8_t* order_ = nullptr;
  int row_ = 0;
  bool imageComplete_ = false;
  std::vector<uint8_t> row_buffer_;  // a stored row as read
  std::vector<uint8_t> pixels_;      // one byte per pixel, or a row undone from the predictor
  std::vector<uint8_t> unpacked_;    // a 1-bit row as one byte per pixel
  std::unique_ptr<tTiffLzwDecoder> lzw_;
};

// One row of page pixels (one byte each, or the stored 1-bit row when packed) into the picture.
void tTiffPage::PutPixels(const uint8_t* pixels, bool packed) {
  uint8_t* line = pic_.ScanLine(row_);
  const int picBits = pic_.BitCount();
  if (picBits == 1 && packed && width_ == pic_.Width()) {
    std::memcpy(line, pixels, static_cast<size_t>((width_ + 7) / 8));
    return;
  }
  if (packed) {
    uint8_t* unpacked = unpacked_.data();
    UnpackPixels(pixels, unpacked, (width_ + 7) / 8, 1);
    pixels = unpacked;
  }
  if (picBits == 8) {
    std::memcpy(line, pixels, static_cast<size_t>(width_));
  } else if (picBits == 24) {
    // A page of indices in a true-colour picture: through the page's own colour table.
    const uint8_t* pal = id_.SavedPalette;
    for (int x = 0; x < width_; ++x, line += 3) {
      const uint8_t* c = pal + pixels[x] * 3;
      line[0] = c[2];
      line[1] = c[1];
      line[2] = c[0];
    }
  } else {
    uint8_t* bytes = pic_.GetByteLine(row_);
    std::memcpy(bytes, pixels, static_cast<size_t>(width_));
    pic_.SetByteLine(row_, bytes);
  }
}

bool tTiffPage::PutRow(const uint8_t* raw) {
  if (imageComplete_) return true;
  const bool predictor = st_.Predictor && !fax_;
  if (bits_ <= 8) {
    if (bits_ == 1 && !predictor) {
      PutPixels(raw, true);
    } else {
      uint8_t* px = pixels_.data();
      if (bits_ < 8) {
        UnpackPixels(raw, px, st_.RawRowBytes, bits_);
      } else {
        std::memcpy(px, raw, static_cast<size_t>(width_));
      }
      if (predictor)
        for (int x = 1; x < width_; ++x) px[x] = static_cast<uint8_t>(px[x] + px[x - 1]);
      PutPixels(px, false);
    }
  } else {
    const int step = bits_ == 32 ? 4 : 3;
    const uint8_t* px = raw;
    if (predictor && step == 3) {
      // Undo the differences and store blue, green, red in one pass.
      uint8_t* line = pic_.ScanLine(row_);
      uint8_t r = 0, g = 0, b = 0;
      for (int x = 0; x < width_; ++x, px += 3, line += 3) {
        line[2] = r = static_cast<uint8_t>(r + px[0]);
        line[1] = g = static_cast<uint8_t>(g + px[1]);
        line[0] = b = static_cast<uint8_t>(b + px[2]);
      }
      return Advance();
    }
    if (predictor) {
      uint8_t* w = pixels_.data();
      std::memcpy(w, raw, static_cast<size_t>(st_.RawRowBytes));
      for (int i = step; i < st_.RawRowBytes; ++i) w[i] = static_cast<uint8_t>(w[i] + w[i - step]);
      px = w;
    }
    uint8_t* line = pic_.ScanLine(row_);
    if (step == 4 && st_.Photometric == 5) {
      for (int x = 0; x < width_; ++x, px += 4, line += 3) {
        const int k = px[3];
        line[2] = static_cast<uint8_t>(std::max(0, 255 - px[0] - k));
        line[1] = static_cast<uint8_t>(std::max(0, 255 - px[1] - k));
        line[0] = static_cast<uint8_t>(std::max(0, 255 - px[2] - k));
      }
    } else if (step == 3) {
      CopySwapRedBlue(px, line, width_);
    } else {
      for (int x = 0; x < width_; ++x, px += step, line += 3) {
        line[0] = px[2];
        line[1] = px[1];
        line[2] = px[0];
      }
    }
  }
  return Advance();
}

bool tTiffPage::Advance() {
  // Rows past the page's last one are never written: decoding stops there.
  if (st_.TopDown) {
    ++row_;
    id_.RowsDone = static_cast<uint16_t>(row_);
    imageComplete_ = row_ >= height_;
  } else {
    --row_;
    id_.RowsDone = static_cast<uint16_t>(std::max(row_, 0));
    imageComplete_ = row_ < 0;
  }
  ++st_.RowsInStrip;
  return imageComplete_ || st_.RowsInStrip >= st_.RowsPerStrip;
}

void tTiffPage::Uncompressed() {
  const int32_t n = st_.RawRowBytes;
  uint8_t* row = row_buffer_.data();
  for (;;) {
    s_.Read(row, n);
    if (s_.LastCount < n) {
      id_.ErrorCode = errEndOfFile;
      return;
    }
    if (order_)
      for (int32_t i = 0; i < n; ++i) row[i] = order_[row[i]];
    const bool done = PutRow(row);
    st_.StripBytesLeft -= n;
    if (st_.StripBytesLeft < 0) {
      id_.ErrorCode = errFileDamaged;
      return;
    }
    if (done) return;
  }
}

void tTiffPage::PackBits() {
  const int32_t n = st_.RawRowBytes;
  uint8_t* row = row_buffer_.data();
  tStripBytes in{s_, INT32_MAX, order_};
  for (;;) {
    int32_t filled = 0;
    while (filled < n) {
      uint8_t control, b;
      if (!in.Next(control)) {
        id_.ErrorCode = errFileDamaged;
        return;
      }
      const int c = static_cast<int8_t>(control);
      if (c >= 0) {
        // A copy cut at the row's end drops the rest of its bytes.
        const int32_t length = c + 1;
        if (!order_ && filled + length <= n && in.Left >= length && s_.Index >= 0 &&
            s_.BytesValid - s_.Index >= length) {
          // The whole copy is in the stream's buffer.
          std::memcpy(row + filled, s_.Buffer + s_.Index, static_cast<size_t>(length));
          s_.Index += length;
          in.Left -= length;
          filled += length;
          continue;
        }
        for (int i = 0; i <= c; ++i) {
          if (!in.Next(b)) {
            id_.ErrorCode = errFileDamaged;
            return;
          }
          if (filled < n) row[filled++] = b;
        }
      } else if (c != -128) {
        if (!in.Next(b)) {
          id_.ErrorCode = errFileDamaged;
          return;
        }
        const int count = std::min(1 - c, n - filled);
        std::memset(row + filled, b, static_cast<size_t>(count));
        filled += count;
      }
    }
    const bool done = PutRow(row);
    if (INT32_MAX - in.Left > st_.StripBytesLeft) {
      id_.ErrorCode = errFileDamaged;
      return;
    }
    if (done) return;
  }
}

void tTiffPage::Lzw() {
  tStripBytes in{s_, st_.StripBytesLeft, order_};
  tLzwNotes notes;
  if (!lzw_) lzw_ = std::make_unique<tTiffLzwDecoder>(st_.RawRowBytes);
  const int result = lzw_->Decode(
      in, [&](const uint8_t* row) { return PutRow(row); }, notes);
  if (result != 0) id_.ErrorCode = result;
  for (int run : notes.ClearRuns)
    id_.AddInfoLine(Format("%s%d consecutive clear codes", {"g", run}));
  for (int64_t bytes : notes.FullTableBytes)
    id_.AddInfoLine(Format("%s%.0n bytes output with full table", {"g", double(bytes)}));
}

void tTiffPage::Fax(tFaxCodec& codec) {
  const int result = FaxDecodeStrip(codec, st_.StripBytesLeft, s_,
                                    [&](const uint8_t* row) { return PutRow(row); });
  if (result != 0) id_.ErrorCode = result;
}

void tTiffPage::Run() {
  if (st_.StripOffsets.empty() || width_ <= 0 || height_ <= 0) return;
  if (bits_ > 8 && pic_.BitCount() != 24) {
    id_.ErrorCode = errInvalidImage;  // the file changed since it was identified
    return;
  }
  id_.RowsDone = static_cast<uint16_t>(std::max(row_, 0));
  if (!st_.HasByteCounts)
    id_.AddInfoLine(Format(
        "%sRequired \"StripByteCounts\" tag (279) is missing! Attempting to continue.", {"b"}));
  std::unique_ptr<tFaxCodec> codec;
  if (fax_) {
    tFaxParams params = st_.Fax;
    params.ImageWidth = static_cast<uint32_t>(width_);
    params.Photometric = 0;
    codec = FaxCreate(params);
  }
  // The picture shows this page's colours (pages may bring tables of their own).
  if (id_.HandlerByte && pic_.BitCount() <= 8) pic_.SetPalette(id_.SavedPalette);
  const size_t strips = st_.StripOffsets.size();
  for (size_t i = 0; i < strips && id_.ErrorCode == 0 && !imageComplete_ && !id_.Abort; ++i) {
    int32_t count = i < st_.StripByteCounts.size() ? st_.StripByteCounts[i] : -1;
    if (!st_.HasByteCounts || count < 0) count = s_.Size;
    st_.StripBytesLeft = count;
    st_.RowsInStrip = 0;
    const int32_t offset = st_.StripOffsets[i];
    s_.Seek(offset < 0 ? s_.Size : offset);
    switch (st_.Compression) {
      case 1:
        Uncompressed();
        break;
      case 2:
      case 3:
      case 4:
        Fax(*codec);
        break;
      case 5:
        Lzw();
        break;
      case 32773:
        PackBits();
        break;
      default:
        id_.ErrorCode = errUnknownCompression;
        break;
    }
    id_.NotifyPartial();
  }
}

}  // namespace

void DecodeTiffStrips(tGraphicID& id, tTiffState& st) { tTiffPage(id, st).Run(); }
