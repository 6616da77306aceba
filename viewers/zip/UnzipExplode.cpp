// Method 6: implode (sliding dictionary with Shannon-Fano trees).
#include "viewers/zip/UnzipCodec.h"

namespace unzip {
namespace {

// A tree comes as a compressed list of bit lengths: a count byte (minus one), then bytes whose
// high nibble plus one repeats the low nibble plus one. The list must give exactly n lengths.
bool ReadTree(tInput& in, tHuffman& tree, int n, int fastBits) {
  uint8_t lengths[256];
  const int bytes = static_cast<int>(in.Get(8)) + 1;
  int k = 0;
  for (int i = 0; i < bytes; ++i) {
    const uint32_t b = in.Get(8);
    const int repeat = static_cast<int>(b >> 4) + 1;
    const uint8_t len = static_cast<uint8_t>((b & 15) + 1);
    if (k + repeat > n) return false;
    for (int j = 0; j < repeat; ++j) lengths[k++] = len;
  }
  if (in.Overrun() || k != n) return false;
  return tree.Build(lengths, n, fastBits);
}

}  // namespace

int Explode(tInput& in, tOutput& out, uint16_t flags, uint32_t packedSize, uint32_t size) {
  const bool literalTree = (flags & 4) != 0;
  const int lowDistBits = (flags & 2) ? 7 : 6;
  const uint32_t minMatch = literalTree ? 3 : 2;
  tHuffman literals, lengths, distances;
  if (literalTree && !ReadTree(in, literals, 256, 9))
    return in.Overrun() ? kZipReadError : kZipBadData;
  if (!ReadTree(in, lengths, 64, 7) ||
      !ReadTree(in, distances, 64, packedSize > 200000 ? 8 : 7))
    return in.Overrun() ? kZipReadError : kZipBadData;

  while (out.Total() < size) {
    if (in.Get(1)) {
      int lit;
      if (literalTree) {
        lit = literals.Decode(in, true);
      } else {
        lit = static_cast<int>(in.Get(8));
      }
      if (int r = CheckStreams(in, out)) return r;
      if (lit < 0) return kZipBadData;
      out.Put(static_cast<uint8_t>(lit));
      continue;
    }
    const uint32_t low = in.Get(lowDistBits);
    const int high = distances.Decode(in, true);
    if (high < 0) return in.Overrun() ? kZipReadError : kZipBadData;
    const uint32_t distance = ((static_cast<uint32_t>(high) << lowDistBits) | low) + 1;
    const int lcode = lengths.Decode(in, true);
    if (lcode < 0) return in.Overrun() ? kZipReadError : kZipBadData;
    uint32_t length = static_cast<uint32_t>(lcode) + minMatch;
    if (lcode == 63) length += in.Get(8);
    if (int r = CheckStreams(in, out)) return r;
    const uint64_t room = size - out.Total();
    out.Copy(distance, static_cast<uint32_t>(length < room ? length : room));
  }
  if (!out.Flush()) return kZipWriteError;
  if (out.Failed()) return kZipWriteError;
  return in.Aborted() ? kZipAborted : 0;
}

}  // namespace unzip
