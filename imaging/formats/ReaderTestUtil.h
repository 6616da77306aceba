// Helpers shared by the tests of the IFF, CompuServe RLE, MacPaint, PBMPLUS and GEM readers.
#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "imaging/uGraphic.h"
#include "tests/TestSupport.h"

namespace readertest {

using testsupport::RgbImage;

// Identifies bytes through the registry (every format registered); null when none took them.
std::unique_ptr<tGraphicID> Identify(const std::vector<uint8_t>& bytes,
                                     const std::string& name = "pic.dat");
// Identifies and decodes the first picture; null when no format took the bytes.
std::unique_ptr<tGraphicID> Decode(const std::vector<uint8_t>& bytes,
                                   const std::string& name = "pic.dat");
// The decoded picture as 8-bit RGB, top row first.
RgbImage Rgb(tGraphicID& id);
// Stored pixel values (palette indices) of row y, one byte per pixel.
std::vector<uint8_t> Indices(tGraphicID& id, int y);

// ffmpeg's decoding of the first frame as 8-bit RGB; demuxer empty lets ffmpeg guess.
bool DecodeFfmpeg(const std::filesystem::path& file, const std::string& demuxer, RgbImage& out);
// The leftmost columns of an image.
RgbImage CropColumns(const RgbImage& image, int width);
// Empty when both have the same size and each colour of one always meets the same colour of the
// other (the same picture under different palettes); otherwise the first mismatch.
std::string SamePartition(const RgbImage& a, const RgbImage& b);
// A raw PPM (P6, maximum 255) of an 8-bit RGB image.
std::vector<uint8_t> Ppm(const RgbImage& image);

void PutBE16(std::vector<uint8_t>& v, uint32_t x);
void PutBE32(std::vector<uint8_t>& v, uint32_t x);

}  // namespace readertest
