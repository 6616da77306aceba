// Method 8: deflate (RFC 1951).
#include "viewers/zip/UnzipCodec.h"

namespace unzip {
namespace {

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                    33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which code-length code lengths are sent.
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                          11, 4,  12, 3, 13, 2, 14, 1, 15};

int StoredBlock(tInput& in, tOutput& out) {
  in.AlignToByte();
  const uint32_t len = in.Get(16);
  const uint32_t nlen = in.Get(16);
  if (in.Overrun()) return kZipReadError;
  if ((len ^ 0xFFFFu) != nlen) return kZipBadData;
  uint8_t chunk[1024];
  for (uint32_t left = len; left > 0;) {
    const uint32_t n = left < sizeof chunk ? left : static_cast<uint32_t>(sizeof chunk);
    uint32_t got = 0;
    if (!in.ReadBytes(chunk, n, got)) return in.Aborted() ? kZipAborted : kZipReadError;
    for (uint32_t i = 0; i < got; ++i) out.Put(chunk[i]);
    if (out.Failed()) return kZipWriteError;
    left -= n;
  }
  return 0;
}

int CodedBlock(tInput& in, tOutput& out, const tHuffman& lit, const tHuffman& dist) {
  for (;;) {
    const int sym = lit.Decode(in, false);
    if (int r = CheckStreams(in, out)) return r;
    if (sym < 0) return kZipBadData;
    if (sym < 256) {
      out.Put(static_cast<uint8_t>(sym));
      continue;
    }
    if (sym == 256) return 0;
    const int li = sym - 257;
    if (li >= 29) return kZipBadData;
    const uint32_t length = kLengthBase[li] + in.Get(kLengthExtra[li]);
    const int ds = dist.Decode(in, false);
    if (ds < 0 || ds >= 30) return in.Overrun() ? kZipReadError : kZipBadData;
    const uint32_t distance = kDistBase[ds] + in.Get(kDistExtra[ds]);
    if (int r = CheckStreams(in, out)) return r;
    if (distance > out.Total()) return kZipBadData;  // reaches before the start of the data
    out.Copy(distance, length);
  }
}

int DynamicTrees(tInput& in, tHuffman& lit, tHuffman& dist) {
  const int nlen = static_cast<int>(in.Get(5)) + 257;
  const int ndist = static_cast<int>(in.Get(5)) + 1;
  const int ncode = static_cast<int>(in.Get(4)) + 4;
  if (in.Overrun()) return kZipReadError;
  if (nlen > 286 || ndist > 30) return kZipBadData;
  uint8_t lengths[320] = {};
  for (int i = 0; i < ncode; ++i) lengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(in.Get(3));
  tHuffman codeLen;
  if (!codeLen.Build(lengths, 19, 7)) return kZipBadData;
  int i = 0;
  while (i < nlen + ndist) {
    const int sym = codeLen.Decode(in, false);
    if (in.Overrun()) return kZipReadError;
    if (sym < 0) return kZipBadData;
    if (sym < 16) {
      lengths[i++] = static_cast<uint8_t>(sym);
      continue;
    }
    uint8_t value = 0;
    int repeat;
    if (sym == 16) {
      if (i == 0) return kZipBadData;  // nothing to repeat
      value = lengths[i - 1];
      repeat = 3 + static_cast<int>(in.Get(2));
    } else if (sym == 17) {
      repeat = 3 + static_cast<int>(in.Get(3));
    } else {
      repeat = 11 + static_cast<int>(in.Get(7));
    }
    if (i + repeat > nlen + ndist) return kZipBadData;
    while (repeat-- > 0) lengths[i++] = value;
  }
  if (lengths[256] == 0) return kZipBadData;  // no end-of-block code
  if (!lit.Build(lengths, nlen, 10) || !dist.Build(lengths + nlen, ndist, 8)) return kZipBadData;
  return 0;
}

}  // namespace

int Inflate(tInput& in, tOutput& out) {
  static tHuffman fixedLit, fixedDist;
  static bool fixedBuilt = false;
  if (!fixedBuilt) {
    uint8_t l[288];
    for (int i = 0; i < 288; ++i) l[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
    fixedLit.Build(l, 288, 10);
    uint8_t d[30];
    for (uint8_t& x : d) x = 5;
    fixedDist.Build(d, 30, 5);
    fixedBuilt = true;
  }
  for (;;) {
    const uint32_t last = in.Get(1);
    const uint32_t type = in.Get(2);
    if (int r = CheckStreams(in, out)) return r;
    int r = 0;
    if (type == 0) {
      r = StoredBlock(in, out);
    } else if (type == 1) {
      r = CodedBlock(in, out, fixedLit, fixedDist);
    } else if (type == 2) {
      tHuffman lit, dist;
      r = DynamicTrees(in, lit, dist);
      if (r == 0) r = CodedBlock(in, out, lit, dist);
    } else {
      r = kZipBadData;
    }
    if (r != 0) return r;
    if (last) break;
  }
  if (!out.Flush()) return kZipWriteError;
  return CheckStreams(in, out);
}

}  // namespace unzip
