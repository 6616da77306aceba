// The one picture type: a complete BMP file image (file header, 40-byte info header, colour
// table, bottom-up rows padded to 4 bytes) in one memory block, so every reader, writer and
// operation shares one row layout and the platform can load the image as it is.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/uBuffStream.h"

class tMemBmp {
 public:
  static constexpr int kFileHeaderSize = 14;
  static constexpr int kInfoHeaderSize = 40;
  // Largest BMP image Allocate makes; above it Allocate raises std::bad_alloc as when memory
  // runs out. The fuzz target lowers it to keep hostile headers from exhausting memory.
  static inline size_t MaxDataSize = size_t(1) << 31;

  tMemBmp();
  ~tMemBmp();
  tMemBmp(const tMemBmp&) = delete;
  tMemBmp& operator=(const tMemBmp&) = delete;

  std::unique_ptr<TMemoryStream> Data;
  uint16_t RowStride = 0;
  uint16_t PaletteSize = 0;
  uint32_t FileSize = 0;
  uint32_t ImageSize = 0;
  uint8_t* FileHeader = nullptr;
  uint8_t* InfoHeader = nullptr;
  uint8_t* ColorTable = nullptr;
  uint8_t* Bits = nullptr;
  uint32_t ChannelMasks[3] = {0, 0, 0};  // blue, green, red
  int32_t ChannelShifts[3] = {0, 0, 0};
  uint8_t Blank = 1;
  uint8_t GrayFlag = 0;
  uint8_t AllowOddDepths = 0;
  uint8_t AllowDeepColor = 0;
  int32_t TransparentIndex = -1;

  // Lays out and zero-fills the image. palette: RGBQUAD entries (PaletteSize bytes are copied),
  // or null. Raises std::bad_alloc when the memory cannot be had.
  void Allocate(int width, int height, bool grayFlag, const uint8_t* palette, int colors,
                int bitsPerPixel);
  bool HasLayout() const { return Bits != nullptr; }

  int Width() const;
  int Height() const;
  int BitCount() const;
  int ColorCount() const;
  // Entries in the colour table; pixel values at or past it read as black.
  int PaletteEntries() const { return PaletteSize / 4; }

  int ClampRow(int y) const;
  // Row y counted from the top; any y gives a valid row.
  uint8_t* ScanLine(int y) const;

  uint8_t* GetByteLine(int y);
  void SetByteLine(int y, const uint8_t* row);
  uint8_t* GetGrayLine(int y);
  uint8_t* GetRGBLine(int y);
  void SetRGBLine(int y, const uint8_t* row);
  uint8_t* GetRGBLineSwapped(int y);
  void SetRGBLineSwapped(int y, uint8_t* row);
  uint8_t* GetQuantizeLine(int y);
  uint16_t* GetLine16(int y, int depth);
  void InitMasks();

  // 256 RGB triples (768 bytes); entries past the table are zero.
  void GetPalette(uint8_t* triples) const;
  void SetPalette(const uint8_t* triples);
  void SetPaletteQuads(const uint8_t* quads);
  void SetColormap(const uint8_t* red, const uint8_t* green, const uint8_t* blue);
  bool SetGrayFlag(bool flag);

  // The whole BMP file image.
  const uint8_t* Image() const { return Data->Memory(); }

 private:
  bool MasksReady() const;
  void PaletteRow(const uint8_t* pixels, uint8_t* out, int width, bool swapped) const;
  uint8_t* RgbBuffer();

  std::vector<uint8_t> grayRow_, byteRow_, rgbRow_;
  std::vector<uint16_t> row16_;
  // PaletteRow's lookup table and the colour table it was made from.
  mutable uint8_t lookup_[256][3] = {};
  mutable uint8_t lookupKey_[256 * 4] = {};
  mutable int lookupEntries_ = -1;
  mutable bool lookupSwapped_ = false;
};

// Row routines shared with the readers. count is the number of packed bytes.
void UnpackPixels(const uint8_t* packed, uint8_t* out, int count, int bits);
void PackPixels(const uint8_t* pixels, uint8_t* packed, int count, int bits);
// n planes (2..8) of bytesPerPlane bytes each; n < 0 takes the planes in reverse bit order.
void PlanarToChunky(const uint8_t* planes, uint8_t* out, int bytesPerPlane, int n);
void SwapRedBlue(uint8_t* row, int pixels);
// Copies pixels three-byte pixels with their first and third bytes exchanged; from may be to.
void CopySwapRedBlue(const uint8_t* from, uint8_t* to, int pixels);
// Exchanges two rows of bytes in one pass; with swapRedBlue every whole three-byte pixel of
// both also has its first and third bytes exchanged (a row's last bytes that make no whole
// pixel are only exchanged). a may be b: then only the pixels' bytes are exchanged.
void ExchangeRows(uint8_t* a, uint8_t* b, size_t bytes, bool swapRedBlue);
