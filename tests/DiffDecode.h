// Differential decoding: a file decoded by our registry and by an independent decoder from
// Debian (ImageMagick, netpbm, PIL), compared pixel by pixel.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/uMemBmp.h"
#include "tests/TestSupport.h"

namespace testsupport {

// What our readers made of a file.
struct tOurDecode {
  bool identified = false;
  int formatId = 18;
  int errorCode = 0;
  int imageCount = 0;
  int rowsDone = 0;  // complete rows the reader delivered, counted from its first row
  std::vector<std::string> info;
  RgbImage image;  // RGB, or RGBA when the picture has a transparent index
};

// Identifies and decodes the file through the registry (registering all formats), keeping
// image number `image` (counted from 1).
tOurDecode DecodeOurs(const std::filesystem::path& file, int image = 1);
// Top row first, 8-bit RGB; RGBA when the picture has a transparent palette index.
RgbImage PictureToRgb(tMemBmp& picture);

enum class tReference {
  ImageMagick,       // convert FILE ppm:-
  ImageMagickAlpha,  // convert FILE pam:- (RGBA)
  ImageMagickWarned, // convert FILE ppm:-, whose exit status is a warning about a whole picture
  Netpbm,            // the netpbm program given, FILE > stdout
  Pil,               // /usr/bin/python3 with PIL, as RGB
};
// Decodes with an independent tool; false when the tool fails or gives no picture.
bool DecodeReference(tReference reference, const std::filesystem::path& file, RgbImage& out,
                     const std::string& netpbmProgram = "anytopnm");

// Rows [top, top + count) of a picture, for comparing what a reader delivered before an error.
RgbImage CropRows(const RgbImage& image, int top, int count);

// Empty when both pictures have the same size and every sample differs by at most tolerance
// (after scaling to 8 bits and widening grey to RGB; a missing alpha counts as opaque);
// otherwise a description of the first difference and the number of differing samples.
std::string ComparePixels(const RgbImage& ours, const RgbImage& theirs, int tolerance = 0);

}  // namespace testsupport
