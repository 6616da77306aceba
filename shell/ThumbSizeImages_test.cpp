// The sample picture at every thumbnail size: each fits its box as a thumbnail would and still
// shows the sample (its mean colour stays), not a blank box.
#include "shell/ThumbSizeImages.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <vector>

#include "thumbnails/uThumbnails.h"

namespace {
std::array<double, 3> MeanColour(TBitmap& bitmap) {
  std::vector<uint8_t> info, bits;
  std::array<double, 3> sum{};
  if (!bitmap.GetDIB(info, bits)) return sum;
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(info.data());
  if (header->biBitCount != 24) return sum;
  const int w = bitmap.Width(), h = bitmap.Height();
  const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) sum[c] += bits[y * stride + x * 3 + c];
  for (double& v : sum) v /= static_cast<double>(w) * h;
  return sum;
}
}  // namespace

TEST(ThumbSizeImages, TheSampleAtEverySize) {
  TBitmap sample;
  ASSERT_TRUE(sample.LoadFromResourceName("BTNSTRIP"));
  const std::array<double, 3> want = MeanColour(sample);
  for (int code = 4; code <= 12; ++code) {
    TBitmap* image = ThumbSizeImage(code);
    ASSERT_NE(image, nullptr) << code;
    const int box = ThumbnailBoxSize(code);
    EXPECT_EQ(image->Width(), box) << code;
    EXPECT_EQ(image->Height(), MulDiv(sample.Height(), box, sample.Width())) << code;
    const std::array<double, 3> got = MeanColour(*image);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], want[c], 12.0) << code << " channel " << c;
  }
  EXPECT_EQ(ThumbSizeImage(3), nullptr);
  EXPECT_EQ(ThumbSizeImage(13), nullptr);
  EXPECT_EQ(ThumbSizeImage(7), ThumbSizeImage(7));  // made once
}
