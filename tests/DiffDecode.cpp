#include "tests/DiffDecode.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "foundation/uBuffStream.h"
#include "foundation/uPlatform.h"
#include "imaging/uGraphic.h"

namespace testsupport {

namespace {

// Keeps a copy of the wanted image when the decoder reports it complete.
class tCapture : public tPlainPlatform {
 public:
  tGraphicID* id = nullptr;
  int wanted = 1;
  RgbImage image;
  bool captured = false;
  intptr_t SendWindowMessage(intptr_t, unsigned message, uintptr_t wparam, intptr_t) override {
    if (message == WM_GRAPHIC_PROGRESS && wparam == 0 && id->ImageCount == wanted) {
      image = PictureToRgb(*id->Bitmap);
      captured = true;
    }
    return 0;
  }
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// 8-bit samples, 3 or 4 channels.
RgbImage Normalize(const RgbImage& in) {
  RgbImage out;
  out.width = in.width;
  out.height = in.height;
  out.channels = in.channels == 2 || in.channels == 4 ? 4 : 3;
  out.maxval = 255;
  size_t n = size_t(in.width) * in.height;
  out.samples.resize(n * out.channels);
  for (size_t p = 0; p < n; ++p) {
    const uint16_t* s = &in.samples[p * in.channels];
    auto scale = [&](uint16_t v) {
      return static_cast<uint16_t>((uint32_t(v) * 255 + in.maxval / 2) / in.maxval);
    };
    uint16_t* d = &out.samples[p * out.channels];
    if (in.channels <= 2) {
      d[0] = d[1] = d[2] = scale(s[0]);
    } else {
      for (int c = 0; c < 3; ++c) d[c] = scale(s[c]);
    }
    if (out.channels == 4) d[3] = scale(s[in.channels - 1]);
  }
  return out;
}

}  // namespace

RgbImage PictureToRgb(tMemBmp& picture) {
  RgbImage img;
  img.width = picture.Width();
  img.height = picture.Height();
  const int transparent = picture.BitCount() <= 8 ? picture.TransparentIndex : -1;
  img.channels = transparent >= 0 ? 4 : 3;
  img.samples.resize(size_t(img.width) * img.height * img.channels);
  uint16_t* d = img.samples.data();
  for (int y = 0; y < img.height; ++y) {
    const uint8_t* rgb = picture.GetRGBLine(y);
    const uint8_t* index = transparent >= 0 ? picture.GetByteLine(y) : nullptr;
    for (int x = 0; x < img.width; ++x) {
      *d++ = rgb[x * 3 + 2];
      *d++ = rgb[x * 3 + 1];
      *d++ = rgb[x * 3];
      if (index) *d++ = index[x] == transparent ? 0 : 255;
    }
  }
  return img;
}

tOurDecode DecodeOurs(const std::filesystem::path& file, int image) {
  tOurDecode result;
  RegisterAllFormats();
  std::string name = file.string();
  auto* stream = new tBuffStream(name, OpenFileStream(name), false);
  auto id = std::make_unique<tGraphicID>(stream);
  if (!id->IdentifyPicture()) {
    delete stream;
    result.info = id->Info;
    return result;
  }
  tCapture capture;
  capture.id = id.get();
  capture.wanted = image;
  SetPlatform(&capture);
  id->NotifyWindow = 1;
  id->LoadPicture();
  for (int guard = 0; id->Stream && !capture.captured && guard < 100000; ++guard)
    id->LoadNextPicture();
  SetPlatform(nullptr);
  id->CloseStream();
  result.identified = true;
  result.formatId = id->FormatId;
  result.errorCode = id->ErrorCode;
  result.imageCount = id->ImageCount;
  result.rowsDone = id->RowsDone;
  result.info = id->Info;
  result.image = std::move(capture.image);
  return result;
}

bool DecodeReference(tReference reference, const std::filesystem::path& file, RgbImage& out,
                     const std::string& netpbmProgram) {
  std::string f = Quote(file.string()), command;
  switch (reference) {
    case tReference::ImageMagick:
    case tReference::ImageMagickWarned:
      command = "convert " + f + " -depth 8 ppm:- 2>/dev/null";
      break;
    case tReference::ImageMagickAlpha:
      command = "convert " + f + " -depth 8 -alpha on pam:- 2>/dev/null";
      break;
    case tReference::Netpbm:
      command = netpbmProgram + " " + f + " 2>/dev/null";
      break;
    case tReference::Pil:
      command =
          "/usr/bin/python3 -c 'import sys\nfrom PIL import Image\n"
          "im = Image.open(sys.argv[1]).convert(\"RGB\")\n"
          "sys.stdout.buffer.write(b\"P6 %d %d 255\\n\" % im.size + im.tobytes())' " +
          f + " 2>/dev/null";
      break;
  }
  std::vector<uint8_t> data;
  if (Run(command, &data) != 0 && reference != tReference::ImageMagickWarned) return false;
  return ParseNetpbm(data, out);
}

RgbImage CropRows(const RgbImage& image, int top, int count) {
  RgbImage out = image;
  top = std::clamp(top, 0, image.height);
  count = std::clamp(count, 0, image.height - top);
  out.height = count;
  size_t row = size_t(image.width) * image.channels;
  out.samples.assign(image.samples.begin() + top * row,
                     image.samples.begin() + (top + count) * row);
  return out;
}

std::string ComparePixels(const RgbImage& oursIn, const RgbImage& theirsIn, int tolerance) {
  std::ostringstream why;
  if (oursIn.width != theirsIn.width || oursIn.height != theirsIn.height) {
    why << "size " << oursIn.width << "x" << oursIn.height << " vs " << theirsIn.width << "x"
        << theirsIn.height;
    return why.str();
  }
  RgbImage ours = Normalize(oursIn), theirs = Normalize(theirsIn);
  size_t differing = 0;
  std::string first;
  for (int y = 0; y < ours.height; ++y)
    for (int x = 0; x < ours.width; ++x)
      for (int c = 0; c < 4; ++c) {
        size_t p = size_t(y) * ours.width + x;
        auto sample = [&](const RgbImage& img) -> int {
          if (c < 3) return img.samples[p * img.channels + c];
          return img.channels == 4 ? img.samples[p * 4 + 3] : 255;
        };
        int a = sample(ours), b = sample(theirs);
        if (std::abs(a - b) <= tolerance) continue;
        if (differing++ == 0) {
          std::ostringstream f;
          f << "first at x=" << x << " y=" << y << " channel " << c << ": " << a << " vs " << b;
          first = f.str();
        }
      }
  if (!differing) return "";
  why << differing << " samples differ; " << first;
  return why.str();
}

}  // namespace testsupport
