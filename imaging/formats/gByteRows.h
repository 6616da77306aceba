// Small helpers shared by the palette readers: storing a one-byte-per-pixel row in whatever
// depth the picture was laid out, and testing a file name's extension.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>

#include "foundation/uFiles.h"
#include "imaging/uMemBmp.h"

// Stores width pixel indices as row y (from the top). SetByteLine leaves 8-bit rows to the
// caller, so they are copied here.
inline void PutByteRow(tMemBmp& picture, int y, const uint8_t* row) {
  if (picture.BitCount() >= 8)
    std::memcpy(picture.ScanLine(y), row, static_cast<size_t>(picture.Width()));
  else
    picture.SetByteLine(y, row);
}

// True when the name's extension equals ext (with its dot), ignoring ASCII case.
inline bool HasExtension(const std::string& name, const char* ext) {
  const std::string have = ExtractFileExt(name);
  if (have.size() != std::strlen(ext)) return false;
  for (size_t i = 0; i < have.size(); ++i) {
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (up(have[i]) != up(ext[i])) return false;
  }
  return true;
}

inline uint16_t GetLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetLE32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
