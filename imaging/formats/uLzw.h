// The hashed LZW encoder of the GIF writer, kept apart so that the TIFF writer's strips can use
// it too: variable-width codes from minimum code size + 1 up to 12 bits, a 5003-slot hash of
// (prefix, character) pairs, a clear code when the table is full, and the codes packed into
// blocks of 255 bytes.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

class tLzwEncoder {
 public:
  enum tBitOrder { LsbFirst, MsbFirst };
  // Receives each full block of 255 bytes and, at Finish, the remaining bytes (if any).
  using tSink = std::function<void(const uint8_t* data, int count)>;

  // minCodeSize: 2..8 (pixel values must stay below 2 ^ minCodeSize). earlyChange: the code
  // width grows one code earlier, as TIFF readers expect (GIF: false). Writes the clear code.
  tLzwEncoder(int minCodeSize, tBitOrder order, bool earlyChange, tSink sink);
  tLzwEncoder(const tLzwEncoder&) = delete;
  tLzwEncoder& operator=(const tLzwEncoder&) = delete;

  void Put(const uint8_t* pixels, int count);
  // Writes the last string and the end code and hands over the remaining bytes.
  void Finish();

 private:
  static constexpr int kHashSize = 5003;
  static constexpr int kMaxCode = 4096;
  struct tSlot {
    int16_t Prefix;
    int16_t Code;  // 0: empty (no string ever gets code 0)
    uint8_t Character;
  };

  void Reset();
  void Write(int code);
  void EmitByte(uint8_t b);
  // The slot holding (prefix, c), or the empty slot where it belongs.
  int Find(int prefix, uint8_t c) const;

  const int minCodeSize_, clear_, end_;
  const tBitOrder order_;
  const int early_;
  tSink sink_;
  int codeLength_ = 0, nextFree_ = 0, limit_ = 0;
  int prefix_ = -1;  // -1: no pixel yet
  std::vector<tSlot> hash_;
  uint32_t acc_ = 0;
  int bits_ = 0;
  uint8_t block_[256];
  int blockLength_ = 0;
};
