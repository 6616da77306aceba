#include "thumbnails/uThumbLzw.h"

#include <algorithm>
#include <cstring>
#include <vector>

// This is the thumbnail store's own coder, not the GIF writer's: the stored bytes follow their
// own rule for the end code's width and carry no block lengths, and stored files rely on them.

namespace {

constexpr int kHashSize = 5003;  // a prime
constexpr int kMaxCodes = 4096;
constexpr int kMaxWidth = 12;

// Codes packed least significant bit first, handed on in pieces of 255 bytes.
class tBitWriter {
 public:
  explicit tBitWriter(TStream& destination) : destination_(destination) {}
  void Put(int code, int width) {
    acc_ |= uint32_t(code) << bits_;
    bits_ += width;
    for (; bits_ >= 8; bits_ -= 8, acc_ >>= 8) Byte(static_cast<uint8_t>(acc_));
  }
  void Finish() {
    if (bits_ > 0) Byte(static_cast<uint8_t>(acc_));
    acc_ = 0;
    bits_ = 0;
    if (count_ > 0) destination_.Write(piece_, count_);
    count_ = 0;
  }

 private:
  void Byte(uint8_t b) {
    piece_[count_++] = b;
    if (count_ == 255) {
      destination_.Write(piece_, 255);
      count_ = 0;
    }
  }
  TStream& destination_;
  uint8_t piece_[255];
  int count_ = 0;
  uint32_t acc_ = 0;
  int bits_ = 0;
};

struct tSlot {
  int16_t Prefix;
  uint16_t Code;  // 0: empty
  uint8_t Suffix;
};

// Codes read least significant bit first from 256-byte windows of the input.
class tBitReader {
 public:
  explicit tBitReader(TStream& source) : source_(source) {}
  // False when the input ends before a whole code.
  bool Get(int width, int& code) {
    while (bits_ < width) {
      if (pos_ == length_) {
        length_ = source_.Read(window_, sizeof window_);
        pos_ = 0;
        if (length_ <= 0) {
          length_ = 0;
          return false;
        }
      }
      acc_ |= uint32_t(window_[pos_++]) << bits_;
      bits_ += 8;
    }
    code = static_cast<int>(acc_ & ((1u << width) - 1));
    acc_ >>= width;
    bits_ -= width;
    return true;
  }

 private:
  TStream& source_;
  uint8_t window_[256];
  int32_t length_ = 0, pos_ = 0;
  uint32_t acc_ = 0;
  int bits_ = 0;
};

// Output in 1024-byte pieces, up to a limit.
class tByteWriter {
 public:
  tByteWriter(TStream& destination, int64_t limit) : destination_(destination), room_(limit) {}
  // False once the limit is reached.
  bool Put(uint8_t b) {
    if (room_ <= 0) return false;
    piece_[count_++] = b;
    --room_;
    ++written_;
    if (count_ == sizeof piece_) Flush();
    return room_ > 0;
  }
  void Flush() {
    if (count_ > 0) destination_.Write(piece_, count_);
    count_ = 0;
  }
  int64_t Written() const { return written_; }

 private:
  TStream& destination_;
  uint8_t piece_[1024];
  int count_ = 0;
  int64_t room_, written_ = 0;
};

}  // namespace

void LzwEncodeThumbnail(TStream& source, TStream& destination) {
  constexpr int kSize = 8, kClear = 1 << kSize, kEnd = kClear + 1, kFirst = kClear + 2;
  const uint8_t sizeByte = kSize;
  destination.Write(&sizeByte, 1);
  std::vector<tSlot> table(kHashSize);
  int width = 0, limit = 0, next = 0;
  auto init = [&] {
    width = kSize + 1;
    limit = 1 << width;
    next = kFirst;
    std::fill(table.begin(), table.end(), tSlot{0, 0, 0});
  };
  tBitWriter out(destination);
  init();
  out.Put(kClear, width);

  uint8_t block[1024];
  int32_t got = source.Read(block, sizeof block);
  if (got > 0) {
    int prefix = block[0];
    int at = 1;
    for (;;) {
      if (at >= got) {
        got = source.Read(block, sizeof block);
        at = 0;
        if (got <= 0) break;
      }
      const uint8_t c = block[at++];
      int slot = ((c << 5) ^ prefix) % kHashSize;
      bool found = false;
      // Odd growing steps; should they ever come round without an empty slot, single steps,
      // which must meet one: the table holds far fewer strings than slots.
      for (int step = 1, probes = 0; table[size_t(slot)].Code != 0; ++probes) {
        const tSlot& s = table[size_t(slot)];
        if (s.Prefix == prefix && s.Suffix == c) {
          prefix = s.Code;
          found = true;
          break;
        }
        slot = (slot + step) % kHashSize;
        step = probes < kHashSize ? step + 2 : 1;
      }
      if (found) continue;
      out.Put(prefix, width);
      const int before = next;
      if (next < kMaxCodes) {
        table[size_t(slot)] = {static_cast<int16_t>(prefix), static_cast<uint16_t>(next), c};
        ++next;
      }
      if (before == limit) {
        if (width < kMaxWidth) {
          ++width;
          limit <<= 1;
        } else {
          out.Put(kClear, width);
          init();
        }
      }
      prefix = c;
    }
    out.Put(prefix, width);
    ++next;
    if (next + 1 >= limit && width < kMaxWidth) ++width;
  }
  out.Put(kEnd, width);
  out.Finish();
}

int64_t LzwDecodeThumbnail(TStream& source, TStream& destination, int64_t maxOutput) {
  uint8_t size = 0;
  if (source.Read(&size, 1) != 1 || size < 2 || size > 8 || maxOutput <= 0) return 0;
  const int clear = 1 << size, end = clear + 1, first = clear + 2;
  int next = first, width = size + 1, limit = 1 << width;
  bool full = false;
  std::vector<int16_t> prefixes(kMaxCodes, 0);
  std::vector<uint8_t> suffixes(kMaxCodes, 0), stack(kMaxCodes);
  tBitReader in(source);
  tByteWriter out(destination, maxOutput);
  int prev = -1, firstByte = 0, code = 0;
  bool more = true;
  while (more && in.Get(width, code)) {
    if (code == clear) {
      next = first;
      width = size + 1;
      limit = 1 << width;
      full = false;
      do {
        if (!in.Get(width, code)) code = end;
      } while (code == clear);
      if (code >= clear) break;  // the end, or a code no table holds yet
      more = out.Put(static_cast<uint8_t>(code));
      prev = firstByte = code;
      continue;
    }
    if (code > next || code == end) break;
    const int current = code;
    int sp = 0;
    if (code == next) {
      if (prev < 0) break;
      stack[size_t(sp++)] = static_cast<uint8_t>(firstByte);
      code = prev;
    }
    bool stopAfter = false;
    bool corrupt = false;
    while (code >= first) {
      if (sp >= kMaxCodes - 1) {
        corrupt = true;
        break;
      }
      stack[size_t(sp++)] = suffixes[size_t(code)];
      const int p = prefixes[size_t(code)];
      if (p > next) stopAfter = true;
      code = p;
    }
    if (corrupt || code >= clear || code < 0) break;
    firstByte = code;
    stack[size_t(sp++)] = static_cast<uint8_t>(code);
    while (sp > 0 && more) more = out.Put(stack[size_t(--sp)]);
    if (!full && prev >= 0) {
      prefixes[size_t(next)] = static_cast<int16_t>(prev);
      suffixes[size_t(next)] = static_cast<uint8_t>(firstByte);
      if (++next == limit) {
        if (width < kMaxWidth) {
          ++width;
          limit <<= 1;
        } else {
          full = true;
        }
      }
    }
    prev = current;
    if (stopAfter) break;
  }
  out.Flush();
  return out.Written();
}
