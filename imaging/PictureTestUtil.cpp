#include "imaging/PictureTestUtil.h"

#include <cstdlib>
#include <cstring>

namespace pictest {

std::unique_ptr<tMemBmp> Blank(int width, int height, int bits) {
  auto p = std::make_unique<tMemBmp>();
  p->AllowDeepColor = bits == 32;
  p->AllowOddDepths = bits == 4;
  tQuadPalette quads{};
  for (int i = 0; i < 256; ++i) {
    quads[i * 4] = static_cast<uint8_t>(i * 73);
    quads[i * 4 + 1] = static_cast<uint8_t>(255 - i * 11);
    quads[i * 4 + 2] = static_cast<uint8_t>(i * 37);
  }
  int colors = bits <= 8 ? 1 << bits : 256 + bits;
  p->Allocate(width, height, false, quads.data(), colors, bits);
  return p;
}

uint32_t Pixel(tMemBmp& picture, int x, int y) {
  int bits = picture.BitCount();
  if (bits <= 8) return picture.GetByteLine(y)[x];
  const uint8_t* row = picture.ScanLine(y) + x * ((bits + 7) / 8);
  uint32_t v = 0;
  for (int i = 0; i < (bits + 7) / 8; ++i) v |= uint32_t(row[i]) << (8 * i);
  return v;
}

void SetPixel(tMemBmp& picture, int x, int y, uint32_t value) {
  int bits = picture.BitCount();
  if (bits <= 8) {
    std::vector<uint8_t> row(picture.GetByteLine(y), picture.GetByteLine(y) + picture.Width());
    row[x] = static_cast<uint8_t>(value);
    picture.SetByteLine(y, row.data());
    if (bits == 8) picture.ScanLine(y)[x] = static_cast<uint8_t>(value);
    return;
  }
  uint8_t* row = picture.ScanLine(y) + x * ((bits + 7) / 8);
  for (int i = 0; i < (bits + 7) / 8; ++i) row[i] = static_cast<uint8_t>(value >> (8 * i));
}

std::unique_ptr<tMemBmp> Pattern(int width, int height, int bits) {
  auto p = Blank(width, height, bits);
  uint64_t range = bits == 32 ? 0x100000000ull : 1ull << std::min(bits, 24);
  if (bits == 15) range = 0x8000;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint64_t v = (uint64_t(x) * 2654435761u + uint64_t(y) * 40503u + 7) % range;
      SetPixel(*p, x, y, static_cast<uint32_t>(v));
    }
  }
  return p;
}

std::unique_ptr<tMemBmp> FromBgr(int width, int height, const std::vector<uint8_t>& bgr) {
  auto p = std::make_unique<tMemBmp>();
  p->Allocate(width, height, false, nullptr, 280, 24);
  for (int y = 0; y < height && width > 0; ++y) {
    std::memcpy(p->ScanLine(y), bgr.data() + size_t(y) * width * 3, size_t(width) * 3);
  }
  return p;
}

std::unique_ptr<tMemBmp> FromRgbImage(const testsupport::RgbImage& image) {
  std::vector<uint8_t> bgr(size_t(image.width) * image.height * 3);
  for (size_t i = 0; i < bgr.size() / 3; ++i) {
    for (int c = 0; c < 3; ++c) {
      int v = image.samples[i * image.channels + (image.channels >= 3 ? 2 - c : 0)];
      bgr[i * 3 + c] = static_cast<uint8_t>(v * 255 / image.maxval);
    }
  }
  return FromBgr(image.width, image.height, bgr);
}

bool LoadPhoto(testsupport::RgbImage& image) {
  std::vector<uint8_t> ppm;
  std::string file = testsupport::TestData("jpeg/video-001.jpeg").string();
  return testsupport::Run("djpeg -pnm '" + file + "'", &ppm) == 0 &&
         testsupport::ParseNetpbm(ppm, image) && image.channels == 3;
}

double MeanError(tMemBmp& picture, const testsupport::RgbImage& image) {
  double total = 0;
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* row = picture.GetRGBLine(y);
    for (int x = 0; x < image.width; ++x) {
      for (int c = 0; c < 3; ++c) {
        int theirs = image.samples[(size_t(y) * image.width + x) * image.channels + c];
        total += std::abs(row[x * 3 + 2 - c] - theirs);
      }
    }
  }
  return total / (3.0 * image.width * image.height);
}

}  // namespace pictest
