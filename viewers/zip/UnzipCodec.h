// Inside the zip reader: the bit input, the output window and the decoders of the four
// methods. Every decoder returns 0 or one of the reader's result codes.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "viewers/zip/Unzip.h"

class TStream;

namespace unzip {

// The compressed data of one entry, read in blocks of 4096 bytes. Bits come from the low end
// of a bit buffer filled byte by byte. Reading past the data hands out zero bits and marks the
// overrun, which the decoders turn into a read error.
class tInput {
 public:
  static constexpr int kBlock = 4096;
  tInput(TStream& stream, uint32_t packedSize, TZipPump pump, void* pumpData);

  // Makes n (at most 32) bits available.
  void Need(int n) {
    while (bitCount_ < n) {
      int b = NextByte();
      if (b < 0) {
        b = 0;
        padBits_ += 8;
      }
      bits_ |= static_cast<uint64_t>(b) << bitCount_;
      bitCount_ += 8;
    }
  }
  uint32_t Peek(int n) const { return static_cast<uint32_t>(bits_ & ((uint64_t{1} << n) - 1)); }
  void Drop(int n) {
    bits_ >>= n;
    bitCount_ -= n;
    if (bitCount_ < padBits_) overrun_ = true;
  }
  uint32_t Get(int n) {
    Need(n);
    uint32_t v = Peek(n);
    Drop(n);
    return v;
  }
  // Drops the bits up to the next byte boundary.
  void AlignToByte() { Drop(bitCount_ & 7); }
  // Whole bytes, after the bits still buffered; false when the data ended first.
  bool ReadBytes(uint8_t* dest, uint32_t count, uint32_t& got);

  bool Overrun() const { return overrun_; }
  bool Aborted() const { return aborted_; }
  uint64_t BitsConsumed() const { return bytesTaken_ * 8 - (bitCount_ - padBits_); }

 private:
  int NextByte() {
    if (pos_ == len_ && !Refill()) return -1;
    ++bytesTaken_;
    return buffer_[pos_++];
  }
  bool Refill();

  TStream& stream_;
  uint32_t packedSize_;
  TZipPump pump_;
  void* pumpData_;
  uint8_t buffer_[kBlock];
  int pos_ = 0, len_ = 0;
  uint64_t bytesRead_ = 0, bytesTaken_ = 0;
  uint64_t bits_ = 0;
  int bitCount_ = 0, padBits_ = 0;
  int lastPercent_ = -1;
  bool ended_ = false, overrun_ = false, aborted_ = false;
};

// The 32,768-byte window through which all output leaves: flushed when it fills and at the
// end; each flush writes the bytes, adds them to the CRC and reports their count.
class tOutput {
 public:
  static constexpr uint32_t kWindow = 32768;
  tOutput(TStream& out, std::function<void(uint32_t)> flushed);

  void Put(uint8_t b) {
    window_[pos_++] = b;
    if (++total_ > limit_) overflow_ = true;
    if (pos_ == kWindow) Flush();
  }
  // Copies length bytes from distance back; bytes before the start of the output are zeros.
  void Copy(uint32_t distance, uint32_t length);
  bool Flush();
  uint32_t Crc() const { return crc_; }
  uint64_t Total() const { return total_; }
  bool Failed() const { return failed_; }
  // More output than the entry's size: the data lies about what it holds.
  void SetLimit(uint64_t limit) { limit_ = limit; }
  bool Overflow() const { return overflow_; }

 private:
  TStream& out_;
  std::function<void(uint32_t)> flushed_;
  std::vector<uint8_t> window_;
  uint32_t pos_ = 0, flushedTo_ = 0, crc_ = 0;
  uint64_t total_ = 0, limit_ = UINT64_MAX;
  bool failed_ = false, overflow_ = false;
};

// Canonical prefix codes from code lengths, decoded through a lookup table of fastBits bits
// and, for longer codes, bit by bit.
class tHuffman {
 public:
  static constexpr int kMaxLength = 16;
  // False for lengths that over-subscribe the code space or exceed kMaxLength. An incomplete
  // code is kept: its unused codes decode as invalid.
  bool Build(const uint8_t* lengths, int n, int fastBits);
  // The next symbol, -1 for an invalid code. With invert, every bit is read inverted.
  int Decode(tInput& in, bool invert) const;

 private:
  int16_t count_[kMaxLength + 1] = {};
  std::vector<int16_t> symbols_;
  std::vector<uint16_t> fast_;  // (length << 11) | symbol; 0 when longer or unused
  int fastBits_ = 0;
};

int Inflate(tInput& in, tOutput& out);
// flags: bit 1 8 KB window, bit 2 literal tree present.
int Explode(tInput& in, tOutput& out, uint16_t flags, uint32_t packedSize, uint32_t size);
int Unshrink(tInput& in, tOutput& out, uint32_t packedSize);
// The end result of a decoder from the input's and the output's state.
int CheckStreams(const tInput& in, const tOutput& out);

}  // namespace unzip
