// Method 1: shrink (dynamic LZW, 9 to 13 bits, partial clearing).
#include <memory>

#include "viewers/zip/UnzipCodec.h"

namespace unzip {
namespace {

constexpr int kFirstFree = 257;
constexpr int kCodes = 8192;  // codes 0..8191
constexpr int kMaxBits = 13;
constexpr int32_t kFree = -1;

struct tTables {
  int32_t prefix[kCodes];  // kFree for an unused code
  uint8_t suffix[kCodes];
  uint8_t stack[kCodes + 1];
  bool hasChild[kCodes];
};

// Frees every code that is no prefix of another code in use.
void PartialClear(tTables& t) {
  for (int c = kFirstFree; c < kCodes; ++c) t.hasChild[c] = false;
  for (int c = kFirstFree; c < kCodes; ++c)
    if (t.prefix[c] >= kFirstFree) t.hasChild[t.prefix[c]] = true;
  for (int c = kFirstFree; c < kCodes; ++c)
    if (!t.hasChild[c]) t.prefix[c] = kFree;
}

}  // namespace

int Unshrink(tInput& in, tOutput& out, uint32_t packedSize) {
  auto t = std::make_unique<tTables>();
  for (int c = 0; c < kCodes; ++c) {
    t->prefix[c] = c < kFirstFree ? 0 : kFree;
    t->suffix[c] = static_cast<uint8_t>(c < 256 ? c : 0);
  }
  const uint64_t totalBits = uint64_t{packedSize} * 8;
  int codeSize = 9;
  auto bitsLeft = [&] { return totalBits - in.BitsConsumed(); };

  if (bitsLeft() < static_cast<uint64_t>(codeSize)) return out.Flush() ? 0 : kZipWriteError;
  int oldCode = static_cast<int>(in.Get(codeSize));
  if (int r = CheckStreams(in, out)) return r;
  if (oldCode >= 256) return kZipBadData;
  uint8_t firstChar = static_cast<uint8_t>(oldCode);
  out.Put(firstChar);
  int searchFrom = kFirstFree;  // free codes are handed out lowest first

  while (bitsLeft() >= static_cast<uint64_t>(codeSize)) {
    int code = static_cast<int>(in.Get(codeSize));
    if (int r = CheckStreams(in, out)) return r;
    if (code == 256) {
      if (bitsLeft() < static_cast<uint64_t>(codeSize)) break;
      const uint32_t control = in.Get(codeSize);
      if (control == 1) {
        if (++codeSize > kMaxBits) return kZipBadData;
      } else if (control == 2) {
        PartialClear(*t);
        searchFrom = kFirstFree;
      } else {
        return kZipBadData;
      }
      continue;
    }
    // Unwind the string from its last character back to its first.
    const int thisCode = code;
    int top = kCodes + 1;
    if (code >= kFirstFree && t->prefix[code] == kFree) {
      // Not yet defined: the previous string followed by its own first character.
      t->stack[--top] = firstChar;
      code = oldCode;
    }
    while (code >= kFirstFree) {
      if (top == 0 || t->prefix[code] == kFree) return kZipBadData;
      t->stack[--top] = t->suffix[code];
      code = t->prefix[code];
    }
    if (top == 0) return kZipBadData;
    t->stack[--top] = static_cast<uint8_t>(code);
    firstChar = static_cast<uint8_t>(code);
    for (int i = top; i < kCodes + 1; ++i) out.Put(t->stack[i]);
    if (out.Failed()) return kZipWriteError;

    // The new code: the previous string followed by this string's first character.
    while (searchFrom < kCodes && t->prefix[searchFrom] != kFree) ++searchFrom;
    if (searchFrom < kCodes) {
      t->prefix[searchFrom] = oldCode;
      t->suffix[searchFrom] = firstChar;
      ++searchFrom;
    }
    oldCode = thisCode;
  }
  if (!out.Flush()) return kZipWriteError;
  return CheckStreams(in, out);
}

}  // namespace unzip
