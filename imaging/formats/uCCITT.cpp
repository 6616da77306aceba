#include "imaging/formats/uCCITT.h"

#include <algorithm>
#include <cstring>

#include "imaging/formats/uCCITTCodes.h"

using namespace fax;

// The strip's bits, most significant first, never read past the strip's byte count. Bits past
// the data read as zero; Has tells whether they are real.
struct tFaxCodec::tBits {
  tBuffStream& Stream;
  int32_t Left;
  const uint8_t* Order;  // null: bytes as they are
  uint64_t Acc = 0;      // the next bit is bit 63
  int Count = 0;         // real bits in Acc
  int64_t Consumed = 0;

  void Refill() {
    while (Count <= 56 && Left > 0) {
      if (Stream.Index >= Stream.BytesValid && Stream.Available() == 0) {
        Left = 0;
        return;
      }
      uint8_t b = Stream.Buffer[Stream.Index++];
      --Left;
      if (Order) b = Order[b];
      Acc |= uint64_t{b} << (56 - Count);
      Count += 8;
    }
  }
  bool Has(int bits) {
    if (Count < bits) Refill();
    return Count >= bits;
  }
  uint32_t Peek(int bits) {
    if (Count < bits) Refill();
    return static_cast<uint32_t>(Acc >> (64 - bits));
  }
  void Drop(int bits) {
    Acc = bits < 64 ? Acc << bits : 0;
    Count -= bits;
    Consumed += bits;
  }
  // Skips fill bits and the EOL that ends them (11 or more zero bits, then a one).
  bool SkipToEol() {
    int zeros = 0;
    for (;;) {
      if (!Has(1)) return false;
      if (Acc == 0) {
        zeros += Count;
        Drop(Count);
        continue;
      }
      int lead = __builtin_clzll(Acc);
      Drop(lead + 1);
      if (zeros + lead >= 11) return true;
      zeros = 0;
    }
  }
};

namespace {

// Clears bits [start, end) of a row, most significant bit first.
void ClearBits(uint8_t* row, int start, int end) {
  if (start >= end) return;
  int first = start >> 3, last = (end - 1) >> 3;
  uint8_t head = static_cast<uint8_t>(0xFF >> (start & 7));
  uint8_t tail = static_cast<uint8_t>(0xFF << (7 - ((end - 1) & 7)));
  if (first == last) {
    row[first] &= static_cast<uint8_t>(~(head & tail));
    return;
  }
  row[first] &= static_cast<uint8_t>(~head);
  std::memset(row + first + 1, 0, static_cast<size_t>(last - first - 1));
  row[last] &= static_cast<uint8_t>(~tail);
}

}  // namespace

tFaxCodec::tFaxCodec(const tFaxParams& params)
    : Params(params),
      Flags(kFlagAll | (params.Compression == 2 ? kFlagNoEol | kFlagByteAligned : 0) |
            (params.Compression == 4 ? kFlagNoEol : 0)) {
  width_ = static_cast<int>(std::min<uint32_t>(params.ImageWidth, 1u << 24));
  rowBytes_ = (width_ + 7) / 8;
  twoDimensional_ = params.Compression == 3 && (params.Group3Options & 1);
  cur_.assign(static_cast<size_t>(width_) + 4, width_);
  ref_.assign(static_cast<size_t>(width_) + 4, width_);
  kFactor_ = params.YResolution > 150 ? 4 : 2;
}

std::unique_ptr<tFaxCodec> FaxCreate(const tFaxParams& params) {
  if (params.Compression < 2 || params.Compression > 4) return nullptr;
  return std::make_unique<tFaxCodec>(params);
}

int FaxDecodeStrip(tFaxCodec& codec, int32_t byteCount, tBuffStream& stream,
                   const tFaxRowSink& put) {
  return codec.DecodeStrip(stream, byteCount, put);
}

// Pushes a changing element; two at one place cancel, and the row's end is implicit.
#define PUSH_CHANGE(pos)                                \
  do {                                                  \
    const int p_ = (pos);                               \
    if (p_ < width_) {                                  \
      if (curCount_ > 0 && cur_[curCount_ - 1] == p_) { \
        --curCount_;                                    \
      } else {                                          \
        cur_[curCount_++] = p_;                         \
      }                                                 \
    }                                                   \
  } while (0)

tFaxCodec::tRowResult tFaxCodec::ReadRun(tBits& in, int color, int& run) {
  run = 0;
  const tRunEntry* table = RunTable(color);
  for (;;) {
    if (!in.Has(1)) return rowNoData;
    const tRunEntry& e = table[in.Peek(kRunPeekBits)];
    if (e.Length > in.Count) return rowNoData;
    if (e.Kind >= runEol) return e.Kind == runInvalid ? rowFailed : rowEnded;
    in.Drop(e.Length);
    run += e.Run;
    if (e.Kind == runTerminating) return rowOk;
    if (run > (1 << 26)) return rowFailed;  // endless make-up codes
  }
}

tFaxCodec::tRowResult tFaxCodec::Decode1D(tBits& in) {
  curCount_ = 0;
  int a = 0, color = kWhite;
  while (a < width_) {
    int run;
    if (ReadRun(in, color, run) != rowOk) return rowFailed;
    a = std::min(a + run, width_);
    PUSH_CHANGE(a);
    color ^= 1;
  }
  return rowOk;
}

// T.4 uncompressed mode: pixel patterns until an exit code, which also gives the colour of the
// run that follows. a0 and color are updated to continue two-dimensional coding.
bool tFaxCodec::UncompressedMode(tBits& in, int& a0, int& color) {
  int pos = std::max(a0, 0);
  int now = color;  // colour of the last pixel placed
  auto place = [&](int c, int n) {
    for (int i = 0; i < n; ++i, ++pos) {
      if (c != now) {
        PUSH_CHANGE(pos);
        now = c;
      }
    }
  };
  for (;;) {
    if (!in.Has(1)) return false;
    uint32_t peek = in.Peek(12);
    int zeros = peek == 0 ? 12 : __builtin_clz(peek) - 20;
    if (zeros > 10 || zeros + 1 > in.Count) return false;
    in.Drop(zeros + 1);
    if (zeros <= 4) {
      place(kWhite, zeros);
      place(kBlack, 1);
    } else if (zeros == 5) {
      place(kWhite, 5);
    } else {
      place(kWhite, zeros - 6);
      if (!in.Has(1)) return false;
      int next = static_cast<int>(in.Peek(1));
      in.Drop(1);
      if (next != now) PUSH_CHANGE(pos);
      a0 = std::min(pos, width_);
      color = next;
      return true;
    }
    pos = std::min(pos, width_ + 1);
  }
}

tFaxCodec::tRowResult tFaxCodec::Decode2D(tBits& in) {
  curCount_ = 0;
  int a0 = -1, color = kWhite, bi = 0;
  const int32_t* ref = ref_.data();
  const tModeEntry* modes = ModeTable();
  while (a0 < width_) {
    if (bi > 0) --bi;
    while (ref[bi] <= a0) ++bi;
    if ((bi & 1) != color) ++bi;
    const int b1 = ref[bi], b2 = ref[bi + 1];
    if (!in.Has(1)) return rowNoData;
    const tModeEntry& m = modes[in.Peek(kModePeekBits)];
    if (m.Length > in.Count) return rowNoData;
    switch (m.Mode) {
      case modePass:
        in.Drop(m.Length);
        a0 = b2;
        break;
      case modeHorizontal: {
        in.Drop(m.Length);
        int run1, run2;
        tRowResult r = ReadRun(in, color, run1);
        if (r == rowOk) r = ReadRun(in, color ^ 1, run2);
        if (r != rowOk) return r == rowNoData ? rowNoData : rowFailed;
        const int a1 = std::min(std::max(a0, 0) + run1, width_);
        const int a2 = std::min(a1 + run2, width_);
        PUSH_CHANGE(a1);
        PUSH_CHANGE(a2);
        a0 = a2;
        break;
      }
      case modeVertical: {
        in.Drop(m.Length);
        const int a1 = b1 + m.Offset;
        if (a1 < 0 || a1 < a0) return rowFailed;
        PUSH_CHANGE(a1);
        a0 = std::min(a1, width_);
        color ^= 1;
        break;
      }
      case modeLonger: {
        const uint32_t peek = in.Peek(12);
        if (peek <= 1) return in.SkipToEol() ? rowEnded : rowNoData;  // EOL, or fill before one
        if ((peek >> 2) == 0x0F && in.Count >= 10) {                  // extension 111
          in.Drop(10);
          if (!UncompressedMode(in, a0, color)) return rowFailed;
          break;
        }
        return rowFailed;
      }
      default:
        return rowFailed;
    }
  }
  return rowOk;
}

void tFaxCodec::RowToBits(uint8_t* out) const {
  // Set black, then invert: start white and clear the black runs.
  std::memset(out, 0xFF, static_cast<size_t>(rowBytes_));
  for (int i = 0; i < curCount_; i += 2)
    ClearBits(out, cur_[i], i + 1 < curCount_ ? cur_[i + 1] : width_);
}

int tFaxCodec::DecodeStrip(tBuffStream& stream, int32_t byteCount, const tFaxRowSink& put) {
  tBits in{stream, byteCount, Params.FillOrder == 2 ? ReversedBits() : nullptr};
  const int compression = Params.Compression;
  std::vector<uint8_t> row(static_cast<size_t>(std::max(rowBytes_, 1)));
  // Each strip is coded on its own: the first row refers to an all-white row.
  refCount_ = 0;
  std::fill(ref_.begin(), ref_.end(), width_);
  for (;;) {
    tRowResult result;
    if (compression == 3) {
      if (!in.SkipToEol()) return 12;
      bool twoD = false;
      if (twoDimensional_) {
        if (!in.Has(1)) return 12;
        twoD = in.Peek(1) == 0;
        in.Drop(1);
      }
      result = twoD ? Decode2D(in) : Decode1D(in);
    } else if (compression == 2) {
      result = Decode1D(in);
      in.Drop(static_cast<int>((8 - in.Consumed % 8) % 8));  // rows start on a byte
    } else {
      result = Decode2D(in);
      // T.6 data that ends (or an end-of-block) leaves the rest white without an error.
      if (result == rowNoData || result == rowEnded) result = rowOk;
    }
    if (result != rowOk) return 12;
    cur_[curCount_] = cur_[curCount_ + 1] = cur_[curCount_ + 2] = width_;
    RowToBits(row.data());
    std::swap(cur_, ref_);
    refCount_ = curCount_;
    ++RowsDecoded;
    if (put(row.data())) return 0;
  }
}
