// Pixel access shared by the picture operations: one pixel of a stored row as an integer at any
// of the stored depths (1, 4, 8, 15, 16, 24, 32 bits), and a new picture in a picture's format.
#pragma once
#include <cstdint>
#include <memory>

#include "imaging/uMemBmp.h"

inline uint32_t GetPixel(const uint8_t* row, int x, int bits) {
  switch (bits) {
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
      return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    case 8:
      return row[x];
    case 15:
    case 16:
      return row[x * 2] | (row[x * 2 + 1] << 8);
    case 32:
      return row[x * 4] | (row[x * 4 + 1] << 8) | (row[x * 4 + 2] << 16) |
             (static_cast<uint32_t>(row[x * 4 + 3]) << 24);
    default:
      return row[x * 3] | (row[x * 3 + 1] << 8) | (row[x * 3 + 2] << 16);
  }
}

inline void PutPixel(uint8_t* row, int x, int bits, uint32_t v) {
  switch (bits) {
    case 1: {
      uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = static_cast<uint8_t>((row[x >> 3] & ~bit) | ((v & 1) ? bit : 0));
      break;
    }
    case 4: {
      int shift = (x & 1) ? 0 : 4;
      row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & ~(15 << shift)) | ((v & 15) << shift));
      break;
    }
    case 8:
      row[x] = static_cast<uint8_t>(v);
      break;
    case 15:
    case 16:
      row[x * 2] = static_cast<uint8_t>(v);
      row[x * 2 + 1] = static_cast<uint8_t>(v >> 8);
      break;
    case 32:
      for (int i = 0; i < 4; ++i) row[x * 4 + i] = static_cast<uint8_t>(v >> (8 * i));
      break;
    default:
      for (int i = 0; i < 3; ++i) row[x * 3 + i] = static_cast<uint8_t>(v >> (8 * i));
  }
}

// Bytes a whole pixel takes at depths of 8 bits and more.
inline int PixelBytes(int bits) { return (bits + 7) / 8; }

// An empty (black, index 0) picture of the given size in the format of picture.
std::unique_ptr<tMemBmp> NewLike(const tMemBmp& picture, int width, int height);
