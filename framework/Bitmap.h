// Off-screen bitmaps: made at a size, loaded from the program's bitmap resources, or taken from a
// BMP image in memory as it is; each has a canvas over a memory context of its own.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Canvas.h"

class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  ~TBitmap();

  bool Empty() const { return handle_ == nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The bitmap handle; it stays selected in the canvas's context while the canvas exists, so
  // callers that need it free (image lists) call Dormant first.
  HBITMAP Handle() const { return handle_; }
  void Dormant();

  // A 24-bit bitmap of the size, white.
  bool SetSize(int width, int height);
  // A BITMAP resource of the module (nullptr: the program) by name.
  bool LoadFromResourceName(const std::string& name, HINSTANCE module = nullptr);
  // A BMP image in memory, with or without its 14-byte file header: the info header, colour
  // table and rows are taken as they are. False (and the bitmap unchanged) for anything that
  // is not a complete uncompressed BMP image within size.
  bool LoadFromBmpImage(const void* data, size_t size);
  // A device-independent bitmap given by its header (with colour table or masks) and rows.
  bool LoadFromDIB(const BITMAPINFO* info, const void* bits);
  // Takes over a bitmap handle.
  void Assign(HBITMAP handle);

  TCanvas& Canvas();

  // The bitmap's DIB: the header with its colour table, and the rows (bottom-up).
  bool GetDIB(std::vector<uint8_t>& info, std::vector<uint8_t>& bits);
  // A logical palette of the colour table of a DIB section of 8 bits or fewer, made on first
  // use and kept with the bitmap (null for deeper bitmaps): palette screens realise it.
  HPALETTE Palette();

 private:
  void Free();
  HBITMAP handle_ = nullptr;
  int width_ = 0, height_ = 0;
  std::unique_ptr<TCanvas> canvas_;
  HGDIOBJ oldBitmap_ = nullptr;
  HPALETTE palette_ = nullptr;
};

// Size of the colour table and masks that follow an info header, in bytes; -1 when the header
// describes no uncompressed bitmap (the checks of LoadFromBmpImage).
int DibColorTableSize(const BITMAPINFOHEADER& header);
