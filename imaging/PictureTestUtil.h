// Small pictures for the tests of the picture operations and colour reduction.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/Palettes.h"
#include "imaging/uMemBmp.h"
#include "tests/TestSupport.h"

namespace pictest {

// A picture at the given stored depth (1, 4, 8, 15, 16, 24, 32); palette depths get a table of
// distinct colours (entry i = (i * 37, 255 - i * 11, i * 73) mod 256).
std::unique_ptr<tMemBmp> Blank(int width, int height, int bits);
// A stored pixel value as an integer (palette index, or the little-endian pixel bytes).
uint32_t Pixel(tMemBmp& picture, int x, int y);
void SetPixel(tMemBmp& picture, int x, int y, uint32_t value);
// A picture whose pixel values vary with x and y, within the depth's range.
std::unique_ptr<tMemBmp> Pattern(int width, int height, int bits);
// A 24-bit picture from blue, green, red bytes, top row first.
std::unique_ptr<tMemBmp> FromBgr(int width, int height, const std::vector<uint8_t>& bgr);
// A 24-bit picture of an 8-bit RGB image (netpbm layout).
std::unique_ptr<tMemBmp> FromRgbImage(const testsupport::RgbImage& image);
// The test photo decoded by djpeg (native runs with the tools only).
bool LoadPhoto(testsupport::RgbImage& image);
// Mean absolute difference per channel between a picture and an RGB image of the same size.
double MeanError(tMemBmp& picture, const testsupport::RgbImage& image);

}  // namespace pictest
