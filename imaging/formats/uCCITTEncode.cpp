#include <algorithm>
#include <cstdlib>

#include "imaging/formats/uCCITT.h"
#include "imaging/formats/uCCITTCodes.h"

using namespace fax;

void tFaxCodec::EncodeStart() {
  Output.clear();
  bitBuffer_ = 0;
  bitCount_ = 0;
  rowInGroup_ = 0;
  refCount_ = 0;
  std::fill(ref_.begin(), ref_.end(), width_);
}

void tFaxCodec::PutBits(uint32_t code, int length) {
  bitBuffer_ = (bitBuffer_ << length) | code;
  bitCount_ += length;
  while (bitCount_ >= 8) {
    bitCount_ -= 8;
    Output.push_back(static_cast<uint8_t>(bitBuffer_ >> bitCount_));
  }
}

void tFaxCodec::PutRun(int color, int run) {
  for (; run > 2560; run -= 2560) {
    tCode c = MakeupCode(color, 2560);
    PutBits(c.Bits, c.Length);
  }
  if (run >= 64) {
    tCode c = MakeupCode(color, run & ~63);
    PutBits(c.Bits, c.Length);
    run &= 63;
  }
  tCode c = TerminatingCode(color, run);
  PutBits(c.Bits, c.Length);
}

void tFaxCodec::PutEol() {
  if (Params.Group3Options & 4) {
    // Fill bits so that the EOL ends on a byte boundary.
    int fill = (8 - (bitCount_ + kEolCode.Length) % 8) % 8;
    if (fill) PutBits(0, fill);
  }
  PutBits(kEolCode.Bits, kEolCode.Length);
}

void tFaxCodec::ChangesOf(const uint8_t* row) {
  curCount_ = 0;
  int color = kWhite;
  for (int x = 0; x < width_;) {
    const uint8_t b = row[x >> 3];
    // Whole bytes of the current colour are passed over at once.
    if ((x & 7) == 0 && b == (color ? 0xFF : 0x00) && x + 8 <= width_) {
      x += 8;
      continue;
    }
    if (((b >> (7 - (x & 7))) & 1) != color) {
      cur_[curCount_++] = x;
      color ^= 1;
    }
    ++x;
  }
  cur_[curCount_] = cur_[curCount_ + 1] = cur_[curCount_ + 2] = width_;
}

void tFaxCodec::Encode1D() {
  int pos = 0, color = kWhite;
  for (int i = 0; pos < width_; ++i, color ^= 1) {
    const int next = i < curCount_ ? cur_[i] : width_;
    PutRun(color, next - pos);
    pos = next;
  }
}

void tFaxCodec::Encode2D() {
  const int32_t* cur = cur_.data();
  const int32_t* ref = ref_.data();
  int a0 = -1, color = kWhite, ai = 0, bi = 0;
  while (a0 < width_) {
    while (cur[ai] <= a0) ++ai;
    const int a1 = cur[ai];
    if (bi > 0) --bi;
    while (ref[bi] <= a0) ++bi;
    if ((bi & 1) != color) ++bi;
    const int b1 = ref[bi], b2 = ref[bi + 1];
    if (b2 < a1) {
      PutBits(kPassCode.Bits, kPassCode.Length);
      a0 = b2;
    } else if (std::abs(a1 - b1) <= 3) {
      tCode c = VerticalCode(a1 - b1);
      PutBits(c.Bits, c.Length);
      a0 = a1;
      color ^= 1;
    } else {
      const int a2 = cur[ai + 1];
      PutBits(kHorizontalCode.Bits, kHorizontalCode.Length);
      PutRun(color, a1 - std::max(a0, 0));
      PutRun(color ^ 1, a2 - a1);
      a0 = a2;
    }
  }
}

int tFaxCodec::EncodeRow(const uint8_t* row) {
  const int compression = Params.Compression;
  if (compression != 3 && compression != 4) return -1;
  ChangesOf(row);
  if (compression == 3) {
    PutEol();
    bool oneD = true;
    if (twoDimensional_) {
      oneD = rowInGroup_ == 0;
      PutBits(oneD ? 1 : 0, 1);
      rowInGroup_ = (rowInGroup_ + 1) % kFactor_;
    }
    if (oneD) {
      Encode1D();
    } else {
      Encode2D();
    }
  } else {
    Encode2D();
  }
  std::swap(cur_, ref_);
  refCount_ = curCount_;
  return 0;
}

void tFaxCodec::EncodeFinish() {
  const int compression = Params.Compression;
  if (compression == 3) {
    for (int i = 0; i < 6; ++i) {  // RTC
      PutEol();
      if (twoDimensional_) PutBits(1, 1);
    }
  } else if (compression == 4) {
    PutBits(kEolCode.Bits, kEolCode.Length);  // EOFB
    PutBits(kEolCode.Bits, kEolCode.Length);
  }
  if (bitCount_ > 0) PutBits(0, 8 - bitCount_);
}
