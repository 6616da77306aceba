#include "imaging/formats/uTiffLzw.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr int kClear = 256, kEnd = 257, kFirstFree = 258, kTableSize = 4096;
constexpr int kMaxNotes = 100;

}  // namespace

// Per code: where its string last stood in the output buffer (negative once that part of the
// output has been dropped), its length and first byte, and how it was made (prefix code and last
// byte) for spelling it out when it no longer stands in the buffer. The fields used for every
// code share one 8-byte entry.
struct tTiffLzwDecoder::tTable {
  struct tEntry {
    int32_t At;
    uint16_t Length;
    uint8_t First;
    uint8_t Suffix;
  };
  tEntry Entry[kTableSize];
  uint16_t Prefix[kTableSize];
  tTable() {
    for (int i = 0; i < kTableSize; ++i) {
      const auto byte = static_cast<uint8_t>(i);
      Entry[i] = {-1, 1, byte, byte};
      Prefix[i] = 0;
    }
  }
  // Moves the output from start on to the buffer's beginning; the positions of the codes below
  // nextFree follow, those before start are forgotten. Returns start.
  size_t Compact(uint8_t* out, size_t start, size_t filled, int nextFree) {
    if (start == 0) return 0;
    std::memmove(out, out + start, filled - start);
    const auto shift = static_cast<int32_t>(start);
    for (int i = 0; i < nextFree; ++i) Entry[i].At = Entry[i].At >= shift ? Entry[i].At - shift : -1;
    return start;
  }
  // Writes the string of code backwards from its known length, through the prefixes.
  void Spell(int code, uint8_t* to) const {
    for (int k = Entry[code].Length - 1; k >= 0; --k) {
      to[k] = Entry[code].Suffix;
      code = Prefix[code];
    }
  }
};

namespace {

constexpr size_t kWindow = 1 << 18;  // output kept for copying strings that stand in it
constexpr size_t kKeep = 1 << 16;    // recent output kept when the buffer is compacted
constexpr size_t kSlack = 16;        // short strings are copied 16 bytes at a time

// Copies 16 bytes; the source may overlap the destination's end (all is loaded first).
inline void Copy16(uint8_t* to, const uint8_t* from) {
  uint64_t a, b;
  std::memcpy(&a, from, 8);
  std::memcpy(&b, from + 8, 8);
  std::memcpy(to, &a, 8);
  std::memcpy(to + 8, &b, 8);
}

// The bit reader's state. The helpers below take and return it by value: a local whose address
// reached a call that is not inlined would live in memory through the whole decoding loop.
struct tBits {
  uint64_t Acc;  // the next bit is bit 63
  int Count;
};

[[gnu::noinline]] tBits RefillByBytes(tStripBytes& in, tBits bits) {
  uint8_t b;
  while (bits.Count <= 56 && in.Next(b)) {
    bits.Acc |= uint64_t{b} << (56 - bits.Count);
    bits.Count += 8;
  }
  return bits;
}

inline tBits Refill(tStripBytes& in, tBits bits) {
  // Whole bytes straight from the stream's buffer when eight are there; the bits loaded past
  // the counted ones are the same bits the next load puts there again.
  tBuffStream& stream = in.Stream;
  if (!in.Order && in.Left >= 8 && stream.Index >= 0 && stream.Index + 8 <= stream.BytesValid) {
    uint64_t v;
    std::memcpy(&v, stream.Buffer + stream.Index, 8);
    v = __builtin_bswap64(v);
    const int bytes = (64 - bits.Count) >> 3;
    bits.Acc |= v >> bits.Count;
    bits.Count += bytes * 8;
    stream.Index += bytes;
    in.Left -= bytes;
    return bits;
  }
  return RefillByBytes(in, bits);
}

// Hands the completed rows from taken on to the sink; returns the new taken, or SIZE_MAX when
// the sink wants no more.
[[gnu::noinline]] size_t PutRows(const tLzwRowSink& put, const uint8_t* out, size_t taken,
                                 size_t filled, size_t rowBytes) {
  while (filled - taken >= rowBytes) {
    if (put(out + taken)) return SIZE_MAX;
    taken += rowBytes;
  }
  return taken;
}

}  // namespace

tTiffLzwDecoder::tTiffLzwDecoder(int rowBytes)
    : rowBytes_(std::max(rowBytes, 0)),
      table_(std::make_unique<tTable>()),
      out_(size_t(rowBytes_) + kWindow + kTableSize + kSlack) {}

tTiffLzwDecoder::~tTiffLzwDecoder() = default;

int tTiffLzwDecoder::Decode(tStripBytes& in, const tLzwRowSink& put, tLzwNotes& notes) {
  const size_t rowBytes = size_t(rowBytes_);
  if (rowBytes == 0) return 0;
  tTable::tEntry* const entry = table_->Entry;
  uint16_t* const prefix = table_->Prefix;
  uint8_t* const out = out_.data();
  // Rows are taken from [taken, filled); strings are written whole, at most 4096 bytes each.
  // The output stays in the buffer until it is compacted, so most strings are copied from where
  // they last stood rather than spelled out through the table. Every code's entry, literals
  // included, tells where its string was last written: the previous string is found there.
  const size_t compactAt = out_.size() - kSlack - kTableSize;
  size_t taken = 0, filled = 0;
  // Positions left from an earlier strip are never read: a code is used only once this strip
  // has written its string again (a literal) or defined it again (a longer string).
  int64_t dropped = 0;    // output dropped by compacting, for counting bytes across it
  int64_t fullFrom = -1;  // where the output stood when the table filled up; -1: not full

  tBits bits{0, 0};
  int codeLength = 9, nextFree = kFirstFree, growAt = 511;
  int previous = 0;

  // The next code; -1 when the data ends before it does.
  auto read = [&]() __attribute__((always_inline)) -> int {
    if (bits.Count < codeLength) {
      bits = Refill(in, bits);
      if (bits.Count < codeLength) return -1;
    }
    const int code = static_cast<int>(bits.Acc >> (64 - codeLength));
    bits.Acc <<= codeLength;
    bits.Count -= codeLength;
    return code;
  };
  // One test per code: the output reached a whole row or the end of the room kept for the
  // longest string.
  size_t limit = std::min(rowBytes, compactAt + 1);
  // Hands out the rows completed, then drops the output before the rows not yet taken and the
  // recent output that strings are copied from (positions before the new start are
  // forgotten). False when the sink wants no more.
  auto settle = [&]() __attribute__((always_inline)) -> bool {
    if (filled - taken >= rowBytes &&
        (taken = PutRows(put, out, taken, filled, rowBytes)) == SIZE_MAX)
      return false;
    if (filled > compactAt) {
      const size_t start = table_->Compact(
          out, std::min(taken, filled > kKeep ? filled - kKeep : 0), filled, nextFree);
      filled -= start;
      taken -= start;
      dropped += int64_t(start);
    }
    limit = std::min(taken + rowBytes, compactAt + 1);
    return true;
  };

  int code = read();
  if (code < 0) return 12;
  for (;;) {
    // A table starts: at the strip's start and after clear codes. Its first code is a literal.
    int clears = 0;
    while (code == kClear) {
      if (clears == 0 && fullFrom >= 0 && notes.FullTableBytes.size() < kMaxNotes)
        notes.FullTableBytes.push_back(dropped + int64_t(filled) - fullFrom);
      fullFrom = -1;
      ++clears;
      codeLength = 9;
      growAt = 511;
      nextFree = kFirstFree;
      code = read();
      if (code < 0) return 12;
    }
    if (clears > 1 && notes.ClearRuns.size() < kMaxNotes) notes.ClearRuns.push_back(clears);
    if (code == kEnd) return 0;
    if (code >= kClear) return 6;
    out[filled] = static_cast<uint8_t>(code);
    entry[code].At = static_cast<int32_t>(filled);
    previous = code;
    ++filled;
    if (filled >= limit && !settle()) return 0;

    for (;;) {
      code = read();
      if (code < 0) return 12;
      if (code >= kClear) {
        if (code < kFirstFree) break;  // clear or end
        if (code > nextFree) return 6;
      }
      uint8_t* const p = out + filled;
      const auto at = static_cast<int32_t>(filled);
      const tTable::tEntry prev = entry[previous];
      int length;
      uint8_t first;
      if (code < kClear) {
        *p = static_cast<uint8_t>(code);
        length = 1;
        first = static_cast<uint8_t>(code);
        entry[code].At = at;
      } else if (code < nextFree) {
        const tTable::tEntry e = entry[code];
        length = e.Length;
        first = e.First;
        if (e.At >= 0) {
          // The string ends before p; the bytes copied past its end are overwritten later.
          if (length <= int(kSlack)) {
            Copy16(p, out + e.At);
          } else {
            std::memcpy(p, out + e.At, size_t(length));
          }
        } else {
          table_->Spell(code, p);
        }
        entry[code].At = at;
      } else {
        // The code being defined: the previous string and its own first byte. The previous
        // string was the last one written, just before this one.
        length = prev.Length + 1;
        first = prev.First;
        if (prev.At >= 0) {
          if (prev.Length <= int(kSlack)) {
            Copy16(p, out + prev.At);
          } else {
            std::memcpy(p, out + prev.At, size_t(prev.Length));
          }
        } else {
          table_->Spell(previous, p);
        }
        p[prev.Length] = prev.First;
      }
      if (nextFree < kTableSize) {
        // The previous string and this one's first byte, standing where the previous one does
        // (or, for the code being defined, here).
        entry[nextFree] = {code == nextFree ? at : prev.At, static_cast<uint16_t>(prev.Length + 1),
                           prev.First, first};
        prefix[nextFree] = static_cast<uint16_t>(previous);
        if (++nextFree >= growAt) {
          if (codeLength < 12) {
            ++codeLength;
            growAt = codeLength < 12 ? (1 << codeLength) - 1 : kTableSize;
          } else {
            fullFrom = dropped + int64_t(filled);
          }
        }
      }
      previous = code;
      filled += size_t(length);
      if (filled >= limit && !settle()) return 0;
    }
    if (code == kEnd) return 0;
  }
}
