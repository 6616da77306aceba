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
  // they last stood rather than spelled out through the table.
  const size_t capacity = out_.size() - kSlack;
  size_t taken = 0, filled = 0;
  // Positions left from an earlier strip are never read: a code above the literals is used
  // only once this strip has defined it again.

  uint64_t acc = 0;  // the next bit is bit 63
  int count = 0;
  int codeLength = 9, nextFree = kFirstFree, growAt = 511;
  // The previous code, and where its string stands (its length and first byte).
  int previous = -1, prevLength = 0;
  int32_t prevAt = -1;
  uint8_t prevFirst = 0;
  int clearRun = 0;
  int64_t fullBytes = 0;

  tBuffStream& stream = in.Stream;
  auto refill = [&] {
    // Whole bytes straight from the stream's buffer when eight are there; the bits loaded past
    // the counted ones are the same bits the next load puts there again.
    if (!in.Order && in.Left >= 8 && stream.Index >= 0 && stream.Index + 8 <= stream.BytesValid) {
      uint64_t v;
      std::memcpy(&v, stream.Buffer + stream.Index, 8);
      v = __builtin_bswap64(v);
      const int bytes = (64 - count) >> 3;
      acc |= v >> count;
      count += bytes * 8;
      stream.Index += bytes;
      in.Left -= bytes;
      return;
    }
    uint8_t b;
    while (count <= 56 && in.Next(b)) {
      acc |= uint64_t{b} << (56 - count);
      count += 8;
    }
  };
  // Drops the output before the rows not yet taken and the recent output that strings are
  // copied from; positions before the new start are forgotten.
  auto compact = [&] {
    const size_t start = std::min(taken, filled > kKeep ? filled - kKeep : 0);
    if (start == 0) return;
    std::memmove(out, out + start, filled - start);
    const auto shift = static_cast<int32_t>(start);
    auto moved = [shift](int32_t at) { return at >= shift ? at - shift : -1; };
    for (int i = kFirstFree; i < nextFree; ++i) entry[i].At = moved(entry[i].At);
    prevAt = moved(prevAt);
    filled -= start;
    taken -= start;
  };

  for (;;) {
    if (count < codeLength) {
      refill();
      if (count < codeLength) return 12;
    }
    const int code = static_cast<int>(acc >> (64 - codeLength));
    acc <<= codeLength;
    count -= codeLength;

    if (unsigned(code - kClear) < 2u) {
      if (code == kEnd) {
        if (clearRun > 1 && notes.ClearRuns.size() < kMaxNotes) notes.ClearRuns.push_back(clearRun);
        return 0;
      }
      if (clearRun == 0 && fullBytes > 0 && notes.FullTableBytes.size() < kMaxNotes)
        notes.FullTableBytes.push_back(fullBytes);
      fullBytes = 0;
      ++clearRun;
      codeLength = 9;
      growAt = 511;
      nextFree = kFirstFree;
      previous = -1;
      continue;
    }
    if (clearRun != 0) {
      if (clearRun > 1 && notes.ClearRuns.size() < kMaxNotes) notes.ClearRuns.push_back(clearRun);
      clearRun = 0;
    }
    if (code > nextFree || (previous < 0 && code >= kClear)) return 6;

    if (filled + kTableSize > capacity) compact();
    uint8_t* p = out + filled;
    int length;
    uint8_t first;
    if (code < kClear) {
      *p = static_cast<uint8_t>(code);
      length = 1;
      first = static_cast<uint8_t>(code);
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
      entry[code].At = static_cast<int32_t>(filled);
    } else {
      // The code being defined: the previous string and its own first byte. The previous
      // string was the last one written, just before this one.
      length = prevLength + 1;
      first = prevFirst;
      if (prevAt >= 0) {
        if (prevLength <= int(kSlack)) {
          Copy16(p, out + prevAt);
        } else {
          std::memcpy(p, out + prevAt, size_t(prevLength));
        }
      } else {
        table_->Spell(previous, p);
      }
      p[prevLength] = prevFirst;
    }
    if (previous >= 0 && nextFree < kTableSize) {
      // The previous string and this one's first byte, standing where the previous one does.
      entry[nextFree] = {prevAt, static_cast<uint16_t>(prevLength + 1), prevFirst, first};
      prefix[nextFree] = static_cast<uint16_t>(previous);
      if (code == nextFree) entry[code].At = static_cast<int32_t>(filled);
      ++nextFree;
      if (nextFree >= growAt && codeLength < 12) {
        ++codeLength;
        growAt = (1 << codeLength) - 1;
      }
    }
    if (nextFree >= kTableSize) fullBytes += length;
    previous = code;
    prevAt = static_cast<int32_t>(filled);
    prevLength = length;
    prevFirst = first;

    filled += size_t(length);
    while (filled - taken >= rowBytes) {
      if (put(out + taken)) return 0;
      taken += rowBytes;
    }
  }
}
