// What the PNG reader and writer share: the signature, the chunk table, the Adam7 passes and the
// byte counts of stored rows. Sizes are 64-bit: a wide 16-bit RGBA row does not fit 16 bits.
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

#include "foundation/uBuffStream.h"

namespace png {

constexpr uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// Chunk numbers, in the order of the name table; chOther is any other name.
enum tChunk {
  chIHDR,
  chTIME,
  chTEXT,
  chZTXT,
  chGAMA,
  chSBIT,
  chCHRM,
  chPHYS,
  chOFFS,
  chPLTE,
  chTRNS,
  chBKGD,
  chHIST,
  chIDAT,
  chIEND,
  chOther
};

constexpr const char* kChunkNames[chOther] = {"IHDR", "tIME", "tEXt", "zTXt", "gAMA",
                                              "sBIT", "cHRM", "pHYs", "oFFs", "PLTE",
                                              "tRNS", "bKGD", "hIST", "IDAT", "IEND"};
// Data length a chunk must have; -1: any.
constexpr int32_t kChunkLengths[chOther] = {13, 7, -1, -1, -1, -1, 32, 9, 9, -1, -1, -1, -1, -1, 0};

inline tChunk ChunkNumber(const uint8_t* type) {
  for (int i = 0; i < chOther; ++i)
    if (std::memcmp(type, kChunkNames[i], 4) == 0) return static_cast<tChunk>(i);
  return chOther;
}

// Colour types.
enum : uint8_t { ctGray = 0, ctRGB = 2, ctPalette = 3, ctGrayAlpha = 4, ctRGBA = 6 };

inline int SamplesPerPixel(int colorType) {
  switch (colorType) {
    case ctRGB:
      return 3;
    case ctGrayAlpha:
      return 2;
    case ctRGBA:
      return 4;
    default:
      return 1;
  }
}

// Whether a bit depth exists for a colour type.
inline bool DepthFits(int colorType, int depth) {
  switch (colorType) {
    case ctGray:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case ctPalette:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case ctRGB:
    case ctGrayAlpha:
    case ctRGBA:
      return depth == 8 || depth == 16;
    default:
      return false;
  }
}

// Stored bytes of a row of `pixels` pixels, without the filter byte.
inline uint64_t StoredRowBytes(uint64_t pixels, int depth, int colorType) {
  return (pixels * uint64_t(depth) * uint64_t(SamplesPerPixel(colorType)) + 7) / 8;
}

// Adam7: pass 0..6. A non-interlaced picture is one pass with start 0 and step 1.
struct tPass {
  int rowStart, columnStart, rowStep, columnStep, blockHeight, blockWidth;
};
constexpr tPass kAdam7[7] = {{0, 0, 8, 8, 8, 8}, {0, 4, 8, 8, 8, 4}, {4, 0, 8, 4, 4, 4},
                             {0, 2, 4, 4, 4, 2}, {2, 0, 4, 2, 2, 2}, {0, 1, 2, 2, 2, 1},
                             {1, 0, 2, 1, 1, 1}};
constexpr tPass kWholePicture = {0, 0, 1, 1, 1, 1};

inline uint32_t PassColumns(const tPass& p, uint32_t width) {
  return width > uint32_t(p.columnStart) ? (width - p.columnStart + p.columnStep - 1) / p.columnStep
                                         : 0;
}
inline uint32_t PassRows(const tPass& p, uint32_t height) {
  return height > uint32_t(p.rowStart) ? (height - p.rowStart + p.rowStep - 1) / p.rowStep : 0;
}

inline uint32_t Get32BE(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline void Put32BE(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

// The Paeth predictor: the neighbour nearest to left + above - upper left; ties go to left,
// then above.
inline uint8_t Paeth(int a, int b, int c) {
  int p = a + b - c;
  int pa = p > a ? p - a : a - p, pb = p > b ? p - b : b - p, pc = p > c ? p - c : c - p;
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

// The read-mode CRC pass: 0 when every chunk up to and including IEND is whole and its CRC
// matches, else the file offset just past the first chunk that is not. Counts the IDAT chunks
// and, when asked, keeps the data lengths of the first run of IDAT chunks (at most maxRun).
int32_t CheckChunks(tBuffStream& stream, int& idatCount, std::vector<uint32_t>* firstRun,
                    size_t maxRun);
// The write-mode CRC pass over a file that starts at `start` in the stream: writes each chunk's
// CRC into its field; 0 once IEND is done, else the offset where the chunks ended early.
int32_t FillInCrcs(TStream& file, int64_t start, int& idatCount);

}  // namespace png
