// What the TIFF reader keeps between identification and the pages it decodes.
#pragma once
#include <cstdint>
#include <vector>

#include "imaging/formats/uCCITT.h"
#include "imaging/uGraphic.h"

struct tTiffState : tCodecState {
  uint8_t FillOrder = 1;
  uint16_t Compression = 1;
  uint8_t Quiet = 0;
  uint8_t Intel = 1;
  uint8_t TopDown = 1;
  uint8_t Planar = 0;
  uint8_t Predictor = 0;
  uint8_t Reduced = 0;
  uint8_t Page = 0;
  uint16_t BitsPerSample = 0;  // all the samples of a pixel together
  uint16_t Photometric = 0;
  std::vector<int32_t> StripOffsets;
  std::vector<int32_t> StripByteCounts;
  bool HasByteCounts = false;
  int32_t StripBytesLeft = 0;
  int32_t RawRowBytes = 0;
  int32_t RowBytes = 0;
  int32_t GrayMode = 0;
  int32_t RowsPerStrip = INT32_MAX;
  int32_t RowsInStrip = 0;
  uint16_t EntryCount = 0;
  int32_t NextIFD = 0;
  uint8_t Header[8] = {};
  int32_t ImageIndex = 0;
  int32_t IfdCount = 0;
  int32_t XResolution = 0, YResolution = 0;
  tFaxParams Fax;

  // The IFD chain as identification walked it: each offset once, so a chain that loops back
  // ends instead of repeating its pages.
  std::vector<int32_t> IfdOffsets;
  // The IFD's size as stored (Width and Height of the picture are 16-bit).
  uint32_t ImageWidth = 0, ImageLength = 0;
  uint16_t SamplesPerPixel = 1;
  std::vector<uint32_t> SampleBits;  // BitsPerSample values, as many as stored (up to 8)
  // Bits of a pixel as the samples really are, and whether this reader can show them.
  int32_t PixelBits = 1;
  bool PixelBitsValid = true;
};

constexpr int kMaxTiffPages = 65535;

bool TiffIsFax(const tTiffState& st);
// Decodes the strips of the current IFD into the picture.
void DecodeTiffStrips(tGraphicID& id, tTiffState& st);
