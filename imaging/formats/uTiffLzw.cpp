#include "imaging/formats/uTiffLzw.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr int kClear = 256, kEnd = 257, kFirstFree = 258, kTableSize = 4096;
constexpr int kMaxNotes = 100;

}  // namespace

// Per code, one 64-bit word: where its string last stood in the output buffer (bits 0-31,
// signed; negative once that part of the output has been dropped), its length (bits 32-47),
// first byte (48-55) and last byte (56-63). With the prefix code, the last byte spells the string
// out when it no longer stands in the buffer. A word is read and made whole, in registers.
namespace {

using tLzwEntry = uint64_t;
constexpr tLzwEntry kLengthOne = tLzwEntry{1} << 32;
constexpr tLzwEntry kLengthAndFirst = tLzwEntry{0xFFFFFF} << 32;

inline int32_t EntryAt(tLzwEntry e) { return static_cast<int32_t>(static_cast<uint32_t>(e)); }
inline int EntryLength(tLzwEntry e) { return static_cast<int>((e >> 32) & 0xFFFF); }
inline uint8_t EntryFirst(tLzwEntry e) { return static_cast<uint8_t>(e >> 48); }
inline uint8_t EntryLast(tLzwEntry e) { return static_cast<uint8_t>(e >> 56); }
inline tLzwEntry WithAt(tLzwEntry e, int32_t at) {
  return (e & ~tLzwEntry{0xFFFFFFFF}) | static_cast<uint32_t>(at);
}
inline tLzwEntry WithLast(tLzwEntry e, uint8_t last) { return e | tLzwEntry{last} << 56; }

}  // namespace

// The table has one entry more than codes: while it is full, the entry every code makes goes
// to that spare one, which is never read, so that making one needs no test.
struct tTiffLzwDecoder::tTable {
  tLzwEntry Entry[kTableSize + 1];
  uint16_t Prefix[kTableSize + 1];
  tTable() {
    for (int i = 0; i <= kTableSize; ++i) {
      const auto byte = static_cast<uint8_t>(i);
      Entry[i] = WithLast(WithAt(kLengthOne | tLzwEntry{byte} << 48, -1), byte);
      Prefix[i] = 0;
    }
  }
  // Moves the output from start on to the buffer's beginning; the positions of the codes below
  // nextFree follow, those before start are forgotten. Returns start.
  size_t Compact(uint8_t* out, size_t start, size_t filled, int nextFree) {
    if (start == 0) return 0;
    std::memmove(out, out + start, filled - start);
    const auto shift = static_cast<int32_t>(start);
    for (int i = 0; i < nextFree; ++i) Entry[i] = Shifted(Entry[i], shift);
    return start;
  }
  static tLzwEntry Shifted(tLzwEntry e, int32_t shift) {
    return WithAt(e, EntryAt(e) >= shift ? EntryAt(e) - shift : -1);
  }
  // Writes the string of code backwards from its known length, through the prefixes.
  void Spell(int code, uint8_t* to) const {
    for (int k = EntryLength(Entry[code]) - 1; k >= 0; --k) {
      to[k] = EntryLast(Entry[code]);
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
  tTable& table = *table_;
  uint8_t* const out = out_.data();
  // Rows are taken from [taken, filled); strings are written whole, at most 4096 bytes each.
  // The output stays in the buffer until it is compacted, so most strings are copied from where
  // they last stood rather than spelled out through the table. Every longer code's entry tells
  // where its string was last written.
  const size_t compactAt = out_.size() - kSlack - kTableSize;
  size_t taken = 0, filled = 0;
  // Positions left from an earlier strip are never read: a longer code is used only once this
  // strip has defined it again.
  int64_t dropped = 0;    // output dropped by compacting, for counting bytes across it
  int64_t fullFrom = -1;  // where the output stood when the table filled up; -1: not full

  tBits bits{0, 0};
  int codeLength = 9, nextFree = kFirstFree, growAt = 511;
  int previous = 0;
  // The previous string's entry (without its last byte), kept here rather than read back from
  // the table: its position is where it was last written, just before the current string.
  // Literals' own entries never need their position, as no string is copied from them.
  tLzwEntry prev = 0;

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
      const size_t start = table.Compact(
          out, std::min(taken, filled > kKeep ? filled - kKeep : 0), filled, nextFree);
      filled -= start;
      taken -= start;
      dropped += int64_t(start);
      prev = tTable::Shifted(prev, static_cast<int32_t>(start));
    }
    limit = std::min(taken + rowBytes, compactAt + 1);
    return true;
  };

  // Writes the string of code (its entry e) at p: copied from where it last stood, or spelled
  // out through the table. It ends before p; bytes copied past its end are overwritten later.
  auto putString = [&](int code, tLzwEntry e, uint8_t* p) __attribute__((always_inline)) {
    const int length = EntryLength(e);
    if (EntryAt(e) < 0) {
      table.Spell(code, p);
    } else if (length <= int(kSlack)) {
      Copy16(p, out + EntryAt(e));
    } else {
      std::memcpy(p, out + EntryAt(e), size_t(length));
    }
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
    prev = WithAt(kLengthOne | tLzwEntry(code) << 48, static_cast<int32_t>(filled));
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
      // made: the new code's entry, the previous string and this one's first byte, standing
      // where the previous one does (or, for the code being defined, here); now: this string's.
      tLzwEntry made, now;
      if (code < kClear) {
        *p = static_cast<uint8_t>(code);
        made = WithLast(prev + kLengthOne, static_cast<uint8_t>(code));
        now = WithAt(kLengthOne | tLzwEntry(code) << 48, at);
      } else if (code < nextFree) {
        const tLzwEntry e = table.Entry[code];
        putString(code, e, p);
        table.Entry[code] = WithAt(e, at);
        made = WithLast(prev + kLengthOne, EntryFirst(e));
        now = WithAt(e & kLengthAndFirst, at);
      } else {
        // The code being defined: the previous string and its own first byte. The previous
        // string was the last one written, just before this one.
        putString(previous, prev, p);
        p[EntryLength(prev)] = EntryFirst(prev);
        now = WithAt(prev + kLengthOne, at);
        made = WithLast(now, EntryFirst(prev));
      }
      table.Entry[nextFree] = made;
      table.Prefix[nextFree] = static_cast<uint16_t>(previous);
      if (++nextFree >= growAt) {
        if (codeLength < 12) {
          ++codeLength;
          growAt = codeLength < 12 ? (1 << codeLength) - 1 : kTableSize;
        } else {
          // Full: further entries go to the spare one.
          if (nextFree == kTableSize) fullFrom = dropped + int64_t(filled);
          nextFree = kTableSize;
        }
      }
      previous = code;
      prev = now;
      filled += size_t(EntryLength(now));
      if (filled >= limit && !settle()) return 0;
    }
    if (code == kEnd) return 0;
  }
}
