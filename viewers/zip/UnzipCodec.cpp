// Bit input, output window and prefix codes shared by the zip reader's decoders.
#include "viewers/zip/UnzipCodec.h"

#include <algorithm>
#include <cstring>

#include "foundation/uBuffStream.h"
#include "imaging/formats/gPNG.h"

namespace unzip {

tInput::tInput(TStream& stream, uint32_t packedSize, TZipPump pump, void* pumpData)
    : stream_(stream), packedSize_(packedSize), pump_(pump), pumpData_(pumpData) {}

bool tInput::Refill() {
  // A block is read only while the bytes read so far are at most the data's size plus 2.
  if (ended_ || aborted_ || bytesRead_ > uint64_t{packedSize_} + 2) {
    ended_ = true;
    return false;
  }
  const int percent =
      packedSize_ == 0 ? 100
                       : static_cast<int>(std::min<uint64_t>(100, bytesRead_ * 100 / packedSize_));
  if (pump_ && pump_(pumpData_, percent)) {
    aborted_ = true;
    ended_ = true;
    return false;
  }
  lastPercent_ = percent;
  const int32_t got = stream_.Read(buffer_, kBlock);
  if (got <= 0) {
    ended_ = true;
    return false;
  }
  bytesRead_ += static_cast<uint64_t>(got);
  pos_ = 0;
  len_ = got;
  return true;
}

bool tInput::ReadBytes(uint8_t* dest, uint32_t count, uint32_t& got) {
  got = 0;
  // First what the bit buffer holds (after AlignToByte, whole bytes only).
  while (got < count && bitCount_ >= 8 && bitCount_ > padBits_) {
    dest[got++] = static_cast<uint8_t>(bits_);
    Drop(8);
  }
  while (got < count) {
    if (pos_ == len_ && !Refill()) return false;
    const uint32_t n = std::min<uint32_t>(count - got, static_cast<uint32_t>(len_ - pos_));
    std::memcpy(dest + got, buffer_ + pos_, n);
    pos_ += static_cast<int>(n);
    bytesTaken_ += n;
    got += n;
  }
  return true;
}

tOutput::tOutput(TStream& out, std::function<void(uint32_t)> flushed)
    : out_(out), flushed_(std::move(flushed)), window_(kWindow, 0) {}

void tOutput::Copy(uint32_t distance, uint32_t length) {
  uint32_t from = (pos_ - distance) & (kWindow - 1);
  // Before the start of the output the window still holds the zeros it was made with,
  // as long as nothing has wrapped round; past that point nothing is "before the start".
  while (length-- > 0) {
    uint8_t b = (total_ < distance) ? 0 : window_[from];
    from = (from + 1) & (kWindow - 1);
    Put(b);
  }
}

bool tOutput::Flush() {
  if (pos_ > flushedTo_ && !failed_) {
    const uint32_t n = pos_ - flushedTo_;
    const uint8_t* p = window_.data() + flushedTo_;
    crc_ = PngCrc(p, crc_, n);
    if (out_.Write(p, static_cast<int32_t>(n)) != static_cast<int32_t>(n)) failed_ = true;
    if (flushed_) flushed_(n);
  }
  if (pos_ == kWindow) pos_ = 0;
  flushedTo_ = pos_;
  return !failed_;
}

bool tHuffman::Build(const uint8_t* lengths, int n, int fastBits) {
  std::fill(std::begin(count_), std::end(count_), 0);
  for (int i = 0; i < n; ++i) {
    if (lengths[i] > kMaxLength) return false;
    ++count_[lengths[i]];
  }
  count_[0] = 0;
  int left = 1;
  for (int len = 1; len <= kMaxLength; ++len) {
    left <<= 1;
    left -= count_[len];
    if (left < 0) return false;  // over-subscribed
  }
  int offsets[kMaxLength + 2] = {};
  for (int len = 1; len <= kMaxLength; ++len) offsets[len + 1] = offsets[len] + count_[len];
  symbols_.assign(static_cast<size_t>(std::max(n, 1)), 0);
  for (int i = 0; i < n; ++i)
    if (lengths[i] != 0) symbols_[static_cast<size_t>(offsets[lengths[i]]++)] = static_cast<int16_t>(i);

  // The lookup table: each code up to fastBits long fills every entry that ends in it
  // (codes are read starting with their first bit in the lowest position).
  fastBits_ = fastBits;
  fast_.assign(size_t{1} << fastBits, 0);
  uint32_t code = 0;
  int index = 0;
  for (int len = 1; len <= kMaxLength; ++len) {
    for (int k = 0; k < count_[len]; ++k, ++index, ++code) {
      if (len > fastBits) continue;
      uint32_t reversed = 0;
      for (int b = 0; b < len; ++b) reversed |= ((code >> b) & 1u) << (len - 1 - b);
      for (uint32_t fill = reversed; fill < (1u << fastBits); fill += 1u << len)
        fast_[fill] = static_cast<uint16_t>((len << 11) | symbols_[static_cast<size_t>(index)]);
    }
    code <<= 1;
  }
  return true;
}

int tHuffman::Decode(tInput& in, bool invert) const {
  in.Need(kMaxLength);
  const uint32_t flip = invert ? 0xFFFFFFFFu : 0;
  const uint32_t e = fast_[(in.Peek(fastBits_) ^ flip) & ((1u << fastBits_) - 1)];
  if (e != 0) {
    in.Drop(e >> 11);
    return e & 0x7FF;
  }
  // Bit by bit through the counts: the canonical code of each length is a run of values.
  const uint32_t bits = in.Peek(kMaxLength) ^ flip;
  int code = 0, first = 0, index = 0;
  for (int len = 1; len <= kMaxLength; ++len) {
    code |= static_cast<int>((bits >> (len - 1)) & 1u);
    const int count = count_[len];
    if (code - first < count) {
      in.Drop(len);
      return symbols_[static_cast<size_t>(index + code - first)];
    }
    index += count;
    first = (first + count) << 1;
    code <<= 1;
  }
  return -1;
}

int CheckStreams(const tInput& in, const tOutput& out) {
  if (out.Failed()) return kZipWriteError;
  if (in.Aborted()) return kZipAborted;
  if (in.Overrun()) return kZipReadError;
  if (out.Overflow()) return kZipBadData;
  return 0;
}

}  // namespace unzip
