#include "imaging/formats/uTiffLzw.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr int kClear = 256, kEnd = 257, kFirstFree = 258, kTableSize = 4096;
constexpr int kMaxNotes = 100;

struct tLzwTable {
  uint16_t Prefix[kTableSize];
  uint16_t Length[kTableSize];
  uint8_t Suffix[kTableSize];
  uint8_t First[kTableSize];
  tLzwTable() {
    for (int i = 0; i < 256; ++i) {
      Prefix[i] = 0;
      Length[i] = 1;
      Suffix[i] = First[i] = static_cast<uint8_t>(i);
    }
  }
};

}  // namespace

int TiffLzwDecode(tStripBytes& in, int rowBytes, const tLzwRowSink& put, tLzwNotes& notes) {
  if (rowBytes <= 0) return 0;
  auto table = std::make_unique<tLzwTable>();
  // Rows are taken from [taken, filled); strings are written whole, at most 4096 bytes each.
  const size_t capacity = size_t(std::max(rowBytes, kTableSize)) * 2 + kTableSize;
  std::vector<uint8_t> out(capacity);
  size_t taken = 0, filled = 0;

  uint64_t acc = 0;  // the next bit is bit 63
  int count = 0;
  int codeLength = 9, nextFree = kFirstFree, previous = -1;
  int clearRun = 0;
  int64_t fullBytes = 0;

  auto refill = [&] {
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

    int length;
    if (code < nextFree) {
      length = table->Length[code];
      if (previous >= 0 && nextFree < kTableSize) {
        table->Prefix[nextFree] = static_cast<uint16_t>(previous);
        table->Suffix[nextFree] = table->First[code];
        table->First[nextFree] = table->First[previous];
        table->Length[nextFree] = static_cast<uint16_t>(table->Length[previous] + 1);
        ++nextFree;
      }
    } else {
      // The code being defined: the previous string and its own first byte.
      if (nextFree >= kTableSize) return 6;
      table->Prefix[nextFree] = static_cast<uint16_t>(previous);
      table->Suffix[nextFree] = table->First[previous];
      table->First[nextFree] = table->First[previous];
      table->Length[nextFree] = static_cast<uint16_t>(table->Length[previous] + 1);
      ++nextFree;
      length = table->Length[code];
    }
    if (nextFree >= kTableSize) fullBytes += length;
    if (nextFree + 1 >= (1 << codeLength) && codeLength < 12) ++codeLength;
    previous = code;

    if (filled + size_t(length) > capacity) {
      std::memmove(out.data(), out.data() + taken, filled - taken);
      filled -= taken;
      taken = 0;
    }
    uint8_t* p = out.data() + filled;
    int c = code;
    for (int k = length - 1; k >= 0; --k) {
      p[k] = table->Suffix[c];
      c = table->Prefix[c];
    }
    filled += size_t(length);
    while (filled - taken >= size_t(rowBytes)) {
      if (put(out.data() + taken)) return 0;
      taken += size_t(rowBytes);
    }
  }
}

void tTiffLzwEncoder::ResetTable() {
  for (tSlot& s : table_) s.Code = 0;
  nextFree_ = kFirstFree;
  codeLength_ = 9;
}

void tTiffLzwEncoder::PutCode(int code) {
  bits_ = (bits_ << codeLength_) | uint64_t(code);
  bitCount_ += codeLength_;
  while (bitCount_ >= 8) {
    bitCount_ -= 8;
    Output.push_back(static_cast<uint8_t>(bits_ >> bitCount_));
  }
}

void tTiffLzwEncoder::Start() {
  Output.clear();
  bits_ = 0;
  bitCount_ = 0;
  prefix_ = -1;
  codeLength_ = 9;
  PutCode(kClear);
  ResetTable();
}

void tTiffLzwEncoder::Add(const uint8_t* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const uint8_t c = bytes[i];
    if (prefix_ < 0) {
      prefix_ = c;
      continue;
    }
    int slot = ((c << 5) ^ prefix_) % kSlots;
    // Steps of 1, 3, 5 ... reach only half the slots of a prime table; past that the probe
    // goes on one slot at a time, so it always ends at the entry or at a free slot.
    for (int probe = 0, step = 1;; ++probe, step += 2) {
      const tSlot& s = table_[slot];
      if (s.Code == 0 || (s.Prefix == prefix_ && s.Char == c)) break;
      slot = (slot + (probe < kSlots ? step : 1)) % kSlots;
    }
    if (table_[slot].Code != 0) {
      prefix_ = table_[slot].Code;
      continue;
    }
    PutCode(prefix_);
    const int assigned = nextFree_;
    table_[slot] = {static_cast<int16_t>(prefix_), static_cast<int16_t>(assigned), c};
    ++nextFree_;
    prefix_ = c;
    if (assigned + 1 == (1 << codeLength_)) {
      if (codeLength_ < 12) {
        ++codeLength_;
      } else {
        PutCode(kClear);
        ResetTable();
      }
    }
  }
}

void tTiffLzwEncoder::Finish() {
  if (prefix_ >= 0) {
    PutCode(prefix_);
    // The decoder adds one more entry on reading that code, and may grow the length with it.
    if (nextFree_ + 1 == (1 << codeLength_) && codeLength_ < 12) ++codeLength_;
    prefix_ = -1;
  }
  PutCode(kEnd);
  if (bitCount_ > 0) {
    Output.push_back(static_cast<uint8_t>(bits_ << (8 - bitCount_)));
    bitCount_ = 0;
  }
}
