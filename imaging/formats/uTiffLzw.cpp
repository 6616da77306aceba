#include "imaging/formats/uTiffLzw.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr int kClear = 256, kEnd = 257, kFirstFree = 258, kTableSize = 4096;
constexpr int kMaxNotes = 100;

}  // namespace

struct tTiffLzwDecoder::tTable {
  uint16_t Prefix[kTableSize];
  uint16_t Length[kTableSize];
  uint8_t Suffix[kTableSize];
  uint8_t First[kTableSize];
  // Where in the output (counted from the strip's first byte) the code's string last stood.
  int64_t At[kTableSize];
  tTable() {
    for (int i = 0; i < 256; ++i) {
      Prefix[i] = 0;
      Length[i] = 1;
      Suffix[i] = First[i] = static_cast<uint8_t>(i);
    }
  }
};

namespace {

constexpr size_t kWindow = 1 << 18;  // output kept for copying strings that stand in it
constexpr size_t kKeep = 1 << 16;    // recent output kept when the buffer is compacted
constexpr size_t kSlack = 16;        // short strings are copied 16 bytes at a time

// Copies 16 bytes; the source may overlap the destination's end.
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
  const int rowBytes = rowBytes_;
  if (rowBytes <= 0) return 0;
  tTable* table = table_.get();
  std::vector<uint8_t>& out = out_;
  // Rows are taken from [taken, filled); strings are written whole, at most 4096 bytes each.
  // The output stays in the buffer until it is compacted, so most strings are copied from where
  // they last stood rather than spelled out through the table.
  const size_t capacity = out.size() - kSlack;
  size_t taken = 0, filled = 0;
  int64_t base = 0;  // output position of out[0]

  uint64_t acc = 0;  // the next bit is bit 63
  int count = 0;
  int codeLength = 9, nextFree = kFirstFree, previous = -1;
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
  auto endClearRun = [&] {
    if (clearRun > 1 && notes.ClearRuns.size() < kMaxNotes) notes.ClearRuns.push_back(clearRun);
    clearRun = 0;
  };

  for (;;) {
    if (count < codeLength) {
      refill();
      if (count < codeLength) return 12;
    }
    const int code = static_cast<int>(acc >> (64 - codeLength));
    acc <<= codeLength;
    count -= codeLength;

    if (code == kClear) {
      if (clearRun == 0 && fullBytes > 0 && notes.FullTableBytes.size() < kMaxNotes)
        notes.FullTableBytes.push_back(fullBytes);
      fullBytes = 0;
      ++clearRun;
      codeLength = 9;
      nextFree = kFirstFree;
      previous = -1;
      continue;
    }
    endClearRun();
    if (code == kEnd) return 0;
    if (code > nextFree || (previous < 0 && code >= kClear)) return 6;

    if (filled + kTableSize > capacity) {
      // Keep the rows not yet taken and the recent output that strings are copied from.
      const size_t start = std::min(taken, filled > kKeep ? filled - kKeep : 0);
      std::memmove(out.data(), out.data() + start, filled - start);
      base += static_cast<int64_t>(start);
      filled -= start;
      taken -= start;
    }
    uint8_t* p = out.data() + filled;
    const int64_t here = base + static_cast<int64_t>(filled);
    int length;
    if (code < nextFree) {
      length = table->Length[code];
      if (code < 256) {
        *p = static_cast<uint8_t>(code);
      } else if (const int64_t from = table->At[code] - base; from >= 0) {
        const uint8_t* src = out.data() + from;
        // The string ends before p; the bytes copied past its end are overwritten later.
        if (length <= int(kSlack)) {
          Copy16(p, src);
        } else {
          std::memcpy(p, src, size_t(length));
        }
      } else {
        int c = code;
        for (int k = length - 1; k >= 0; --k) {
          p[k] = table->Suffix[c];
          c = table->Prefix[c];
        }
      }
      if (previous >= 0 && nextFree < kTableSize) {
        table->Prefix[nextFree] = static_cast<uint16_t>(previous);
        table->Suffix[nextFree] = table->First[code];
        table->First[nextFree] = table->First[previous];
        table->Length[nextFree] = static_cast<uint16_t>(table->Length[previous] + 1);
        table->At[nextFree] = table->At[previous];
        ++nextFree;
      }
    } else {
      // The code being defined: the previous string and its own first byte. The previous
      // string was the last one written, just before this one.
      if (nextFree >= kTableSize) return 6;
      const int prevLength = table->Length[previous];
      length = prevLength + 1;
      const int64_t from = table->At[previous] - base;
      if (from >= 0) {
        std::memmove(p, out.data() + from, size_t(prevLength));
      } else {
        int c = previous;
        for (int k = prevLength - 1; k >= 0; --k) {
          p[k] = table->Suffix[c];
          c = table->Prefix[c];
        }
      }
      p[prevLength] = table->First[previous];
      table->Prefix[nextFree] = static_cast<uint16_t>(previous);
      table->Suffix[nextFree] = table->First[previous];
      table->First[nextFree] = table->First[previous];
      table->Length[nextFree] = static_cast<uint16_t>(length);
      table->At[nextFree] = table->At[previous];
      ++nextFree;
    }
    table->At[code] = here;
    if (nextFree >= kTableSize) fullBytes += length;
    if (nextFree + 1 >= (1 << codeLength) && codeLength < 12) ++codeLength;
    previous = code;

    filled += size_t(length);
    while (filled - taken >= size_t(rowBytes)) {
      if (put(out.data() + taken)) return 0;
      taken += size_t(rowBytes);
    }
  }
}
