// Bilevel rows coded by the ITU-T facsimile standards as TIFF stores them: compression 2
// (modified Huffman: one-dimensional, byte-aligned rows, no EOL codes), 3 (T.4: one- or
// two-dimensional rows with EOL codes) and 4 (T.6: two-dimensional, no EOL codes).
// Decoded rows are handed on with 1 = white (the coded bits have 1 = black and are inverted), so
// they match a picture whose palette has black at index 0.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "foundation/uBuffStream.h"

// The TIFF tag values the codec works from.
struct tFaxParams {
  float YResolution = 0;
  uint16_t Orientation = 1, Photometric = 0;
  uint16_t FillOrder = 1, Compression = 1;
  uint16_t PlanarConfiguration = 1, BitsPerSample = 1;
  uint16_t SamplesPerPixel = 1, ResolutionUnit = 2;
  uint32_t RowsPerStrip = 0;
  uint32_t ImageWidth = 0, ImageLength = 0;
  uint32_t TileWidth = 0, TileLength = 0;
  uint32_t Group3Options = 0, Group4Options = 0;
};

// Receives each decoded row (ImageWidth pixels, 1 bit each, most significant bit first,
// 1 = white); returns true when no further row is wanted from this strip.
using tFaxRowSink = std::function<bool(const uint8_t* row)>;

class tFaxCodec {
 public:
  static constexpr int kFlagAll = 1, kFlagNoEol = 2, kFlagByteAligned = 4;
  explicit tFaxCodec(const tFaxParams& params);

  const tFaxParams Params;
  const int Flags;
  int RowBytes() const { return rowBytes_; }
  // Rows decoded since the codec was made.
  int64_t RowsDecoded = 0;

  // Decodes rows of one strip of byteCount bytes from the stream's position until the sink
  // wants no more. Returns 0, or 12 when a row fails to decode.
  int DecodeStrip(tBuffStream& stream, int32_t byteCount, const tFaxRowSink& put);

  // Encoding (compressions 3 and 4): start a strip, code rows (1 = black, most significant bit
  // first), finish the strip; the coded bytes collect in Output. EncodeRow returns -1 for
  // compression 2, which has no encoder, else 0.
  void EncodeStart();
  int EncodeRow(const uint8_t* row);
  void EncodeFinish();
  std::vector<uint8_t> Output;

 private:
  struct tBits;
  enum tRowResult { rowOk, rowFailed, rowNoData, rowEnded };
  tRowResult Decode1D(tBits& in);
  tRowResult Decode2D(tBits& in);
  tRowResult ReadRun(tBits& in, int color, int& run);
  bool UncompressedMode(tBits& in, int& a0, int& color);
  void RowToBits(uint8_t* out) const;

  void PutBits(uint32_t code, int length);
  void PutRun(int color, int run);
  void PutEol();
  void Encode1D();
  void Encode2D();
  void ChangesOf(const uint8_t* row);

  int width_ = 0, rowBytes_ = 0;
  bool twoDimensional_ = false;  // T.4 with Group 3 option bit 0
  // Changing elements (positions where the colour changes, white first), ended by sentinels.
  std::vector<int32_t> cur_, ref_;
  int curCount_ = 0, refCount_ = 0;
  // Encoder state.
  uint32_t bitBuffer_ = 0;
  int bitCount_ = 0;
  int kFactor_ = 2, rowInGroup_ = 0;
};

// Makes the codec for compression 2, 3 or 4; null for any other compression.
std::unique_ptr<tFaxCodec> FaxCreate(const tFaxParams& params);
int FaxDecodeStrip(tFaxCodec& codec, int32_t byteCount, tBuffStream& stream,
                   const tFaxRowSink& put);
