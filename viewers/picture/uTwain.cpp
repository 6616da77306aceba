#include "viewers/picture/uTwain.h"

#include <algorithm>
#include <cstring>

void SetTwainString(char (&field)[34], const std::string& text) {
  std::memset(field, 0, sizeof field);
  std::memcpy(field, text.data(), std::min<size_t>(text.size(), 31));
}

std::string TwainString(const char (&field)[34]) {
  return std::string(field, strnlen(field, sizeof field));
}

TW_IDENTITY ProgramIdentity(const std::string& manufacturer) {
  TW_IDENTITY id;
  std::memset(&id, 0, sizeof id);
  id.Version.MajorNum = 1;
  id.Version.MinorNum = 0;
  id.Version.Language = 13;
  id.Version.Country = 1;
  SetTwainString(id.Version.Info, "App version 1.0");
  id.ProtocolMajor = 1;
  id.ProtocolMinor = 9;
  id.SupportedGroups = DG_CONTROL | DG_IMAGE;
  SetTwainString(id.Manufacturer, manufacturer);
  SetTwainString(id.ProductFamily, "Tavishore");
  SetTwainString(id.ProductName, "Tavishore 32");
  return id;
}

int TwainNextState(TTwainOp op, int state) {
  struct Step {
    TTwainOp op;
    int from, to;
  };
  static const Step steps[] = {
      {toOpenManager, 2, 3},     {toCloseManager, 3, 2},     {toOpenSource, 3, 4},
      {toCloseSource, 4, 3},     {toSetCount, 4, 4},         {toEnable, 4, 5},
      {toDisable, 5, 4},         {toTransfer, 6, 7},         {toEndTransferMore, 7, 6},
      {toEndTransferLast, 7, 5}, {toReset, 6, 5},
  };
  for (const Step& s : steps)
    if (s.op == op && s.from == state) return s.to;
  return -1;
}

namespace {
uint32_t Get32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
// A scanner's picture is at most this many pixels a side (and the whole image 1 GB).
constexpr int64_t kMaxSide = 100000;
constexpr uint64_t kMaxImage = uint64_t{1} << 30;
constexpr uint32_t kBitFields = 3;
}  // namespace

bool DibToBmpFile(const uint8_t* dib, size_t dibSize, std::vector<uint8_t>& bmp) {
  bmp.clear();
  if (!dib || dibSize < 40) return false;
  const uint32_t headerSize = Get32(dib);
  if (headerSize < 40 || headerSize > dibSize) return false;
  const int64_t width = static_cast<int32_t>(Get32(dib + 4));
  const int64_t height = static_cast<int32_t>(Get32(dib + 8));
  const uint16_t bits = static_cast<uint16_t>(dib[14] | (dib[15] << 8));
  const uint32_t compression = Get32(dib + 16);
  uint32_t colorsUsed = Get32(dib + 32);
  if (width <= 0 || width > kMaxSide || height == 0 || std::abs(height) > kMaxSide) return false;

  uint16_t outBits;
  int64_t rowBytes;
  uint32_t palette = 0;
  if (bits > 8) {
    outBits = bits <= 15 ? 15 : bits == 16 ? 16 : bits == 32 ? 32 : 24;
    rowBytes = width * (outBits == 15 || outBits == 16 ? 2 : outBits == 32 ? 4 : 3);
  } else if (bits <= 1) {
    outBits = 1;
    rowBytes = (width + 7) / 8;
    palette = 2;
  } else if (bits <= 4) {
    outBits = 4;
    rowBytes = (width + 1) / 2;
    palette = 16;
  } else {
    outBits = 8;
    rowBytes = width;
    palette = 256;
  }
  rowBytes = (rowBytes + 3) / 4 * 4;
  const uint64_t imageSize = static_cast<uint64_t>(rowBytes) * static_cast<uint64_t>(std::abs(height));
  if (imageSize > kMaxImage) return false;
  // A true-colour DIB may carry an optimisation table of colours-used entries before its rows;
  // the rows are taken from behind it and the table is not kept.
  const uint64_t skipped = (!palette && colorsUsed <= 256) ? uint64_t{colorsUsed} * 4 : 0;
  if (!palette && colorsUsed > 256) return false;
  if (palette && colorsUsed >= 2 && colorsUsed < palette)
    palette = colorsUsed;
  else
    colorsUsed = 0;
  // Bit-field masks sit between the header and the rows and count in the pixel offset.
  const uint32_t masks = (compression == kBitFields && outBits >= 15 && headerSize == 40) ? 12 : 0;
  const uint64_t front = uint64_t{headerSize} + masks + uint64_t{palette} * 4;
  if (front + skipped + imageSize > dibSize) return false;

  const uint64_t offset = 14 + front;
  const uint64_t fileSize = offset + imageSize;
  bmp.resize(static_cast<size_t>(fileSize));
  uint8_t* out = bmp.data();
  out[0] = 'B';
  out[1] = 'M';
  Put32(out + 2, static_cast<uint32_t>(fileSize));
  Put32(out + 6, 0);
  Put32(out + 10, static_cast<uint32_t>(offset));
  std::memcpy(out + 14, dib, static_cast<size_t>(front));
  std::memcpy(out + offset, dib + front + skipped, static_cast<size_t>(imageSize));
  uint8_t* header = out + 14;
  // 15-bit rows are stored as BMP's 16-bit 5-5-5 layout: a bit count of 15 is no BMP.
  Put16(header + 14, outBits == 15 ? 16 : outBits);
  Put32(header + 20, static_cast<uint32_t>(imageSize));
  Put32(header + 32, colorsUsed);
  if (colorsUsed) Put32(header + 36, colorsUsed);
  return true;
}
