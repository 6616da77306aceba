// How a picture is to be saved: size, colours, format and the per-format and special options.
// The main window keeps the live copy among its settings, so the save dialog offers the user's
// last choices again; the save pipeline and the batch tools take copies by value. The record
// owns nothing: `Picture` only points at the picture being saved.
#pragma once
#include <cstdint>

class tGraphicID;

// Output formats, in the order of the save dialog's pages.
enum : int32_t {
  sfGIF = 0,
  sfPCX = 1,
  sfBMP = 2,
  sfTGA = 3,
  sfTIF = 4,
  sfJPG = 5,
  sfPNG = 6,
};

// Batch size rules.
enum : int32_t { bsOriginalSize = 0, bsShrinkLarger = 1, bsRescaleAll = 2 };

struct TSaveOptions {
  int32_t Width = 0;  // output size of a single picture
  int32_t Height = 0;
  int32_t Colors = 0;  // 2..256 palette size; 256 + bits for direct colour (271, 272, 280)
  int32_t Format = sfGIF;
  int32_t BmpStyle = 0;      // 0 Windows BMP, 1 Windows RLE, 2 OS/2 BMP
  int32_t JpegQuality = 75;  // 1..100
  int32_t PngGamma = 100;    // gamma x 100, 20..800
  int32_t Background = 0;    // GIF background colour index
  int32_t BatchSize = bsOriginalSize;
  int32_t BatchWidth = 1024;
  int32_t BatchHeight = 1024;
  int32_t Transparent = 0;        // GIF transparent colour index; -1 none
  tGraphicID* Picture = nullptr;  // not owned
  uint8_t Wallpaper = 0;          // save the BMP to the Windows folder as the desktop wallpaper
  uint8_t SourceGrey = 0;
  uint8_t Grayscale = 0;
  uint8_t Compressed = 0;  // TGA RLE, TIF
  uint8_t TopDown = 0;     // TGA rows top to bottom
  uint8_t Interlaced = 0;  // GIF/PNG interlaced, JPG progressive
  uint8_t StandardPalette = 0;
  uint8_t StorePngGamma = 0;
  uint8_t BatchMode = 0;
  uint8_t ShowHidden = 0;  // the special GIF options and CCITT are offered
  uint8_t NoDither = 0;
  uint8_t CCITT = 0;
  uint8_t Trim = 0;
  uint8_t Emboss = 0;
  uint8_t Imprint = 0;
  uint8_t PlusLime = 0;
  uint8_t Smooth = 0;
  uint8_t Rescale = 0;
  uint8_t Optimize = 0;
  uint8_t ThumbnailPalette = 0;
};
