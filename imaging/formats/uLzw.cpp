#include "imaging/formats/uLzw.h"

#include <algorithm>

tLzwEncoder::tLzwEncoder(int minCodeSize, tBitOrder order, bool earlyChange, tSink sink)
    : minCodeSize_(std::clamp(minCodeSize, 2, 8)),
      clear_(1 << minCodeSize_),
      end_(clear_ + 1),
      order_(order),
      early_(earlyChange ? 1 : 0),
      sink_(std::move(sink)),
      hash_(kHashSize) {
  Reset();
  Write(clear_);
}

void tLzwEncoder::Reset() {
  codeLength_ = minCodeSize_ + 1;
  nextFree_ = clear_ + 2;
  limit_ = 1 << codeLength_;
  std::fill(hash_.begin(), hash_.end(), tSlot{0, 0, 0});
}

int tLzwEncoder::Find(int prefix, uint8_t c) const {
  int slot = ((c << 5) ^ prefix) % kHashSize;
  // Probes move on by 1, 3, 5, ... slots; should that ever come round without a free slot, by
  // single slots, which must meet one (the table never holds more than 4096 strings).
  for (int step = 1, probes = 0; hash_[slot].Code != 0; ++probes) {
    const tSlot& s = hash_[slot];
    if (s.Prefix == prefix && s.Character == c) break;
    slot = (slot + step) % kHashSize;
    step = probes < kHashSize ? step + 2 : 1;
  }
  return slot;
}

void tLzwEncoder::EmitByte(uint8_t b) {
  block_[blockLength_++] = b;
  if (blockLength_ == 255) {
    sink_(block_, 255);
    blockLength_ = 0;
  }
}

void tLzwEncoder::Write(int code) {
  if (order_ == LsbFirst) {
    acc_ |= uint32_t(code) << bits_;
    bits_ += codeLength_;
    for (; bits_ >= 8; bits_ -= 8, acc_ >>= 8) {
      EmitByte(static_cast<uint8_t>(acc_));
    }
  } else {
    acc_ = (acc_ << codeLength_) | uint32_t(code);
    bits_ += codeLength_;
    for (; bits_ >= 8; bits_ -= 8) {
      EmitByte(static_cast<uint8_t>(acc_ >> (bits_ - 8)));
    }
    acc_ &= (1u << bits_) - 1;
  }
}

void tLzwEncoder::Put(const uint8_t* pixels, int count) {
  int i = 0;
  if (prefix_ < 0) {
    if (count <= 0) return;
    prefix_ = pixels[i++];
  }
  for (; i < count; ++i) {
    const uint8_t c = pixels[i];
    const int slot = Find(prefix_, c);
    if (hash_[slot].Code != 0) {
      prefix_ = hash_[slot].Code;
      continue;
    }
    Write(prefix_);
    int assigned = nextFree_;  // or, when none is assigned, the next free code
    if (nextFree_ < kMaxCode) {
      hash_[slot] = {static_cast<int16_t>(prefix_), static_cast<int16_t>(nextFree_), c};
      ++nextFree_;
    }
    prefix_ = c;
    if (assigned + early_ == limit_) {
      if (codeLength_ < 12) {
        ++codeLength_;
        limit_ <<= 1;
      } else {
        Write(clear_);
        Reset();
      }
    }
  }
}

void tLzwEncoder::Finish() {
  if (prefix_ >= 0) {
    Write(prefix_);
    // A reader adds one more string on reading that code: the end code takes the width it then
    // expects.
    if (nextFree_ + early_ >= limit_ && codeLength_ < 12) ++codeLength_;
    ++nextFree_;
    prefix_ = -1;
  }
  Write(end_);
  if (bits_ > 0) {
    // The last bits, padded with zeros to a whole byte.
    EmitByte(static_cast<uint8_t>(order_ == LsbFirst ? acc_ : acc_ << (8 - bits_)));
    acc_ = 0;
    bits_ = 0;
  }
  if (blockLength_ > 0) sink_(block_, blockLength_);
  blockLength_ = 0;
}
