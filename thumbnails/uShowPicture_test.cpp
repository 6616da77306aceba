#include "thumbnails/uShowPicture.h"

#include <gtest/gtest.h>

#include "imaging/PictureTestUtil.h"

namespace {

tShowLayout Screen(int mode, bool original) {
  tShowLayout layout;
  layout.Init(320, 200, mode, original, -1, 4, 3);
  return layout;
}

TEST(ShowPicture, PicturesThatFitAreShownAsDecoded) {
  auto picture = pictest::Pattern(100, 50, 24);
  tShowPictureSource source{picture.get()};
  EXPECT_EQ(PrepareShowPicture(source, Screen(0, true), 24, false), nullptr);
}

TEST(ShowPicture, SizeFollowsAspectFitAndScreenDepth) {
  struct {
    int bits, w, h, aspectX, aspectY, dw, dh, mode;
    bool original;
    int screenBits, outW, outH, outBits;
  } cases[] = {
      {24, 640, 400, 0, 0, 0, 0, 0, true, 24, 320, 200, 24},    // shrunk to the screen
      {24, 100, 50, 0, 0, 0, 0, 0, false, 24, 320, 159, 24},    // enlarged without the flag
      {24, 100, 50, 0, 0, 0, 0, 2, true, 24, 0, 0, 0},          // float: fits half the screen
      {24, 400, 100, 0, 0, 0, 0, 2, true, 24, 160, 40, 24},
      {8, 100, 50, 1, 2, 100, 100, 0, true, 24, 100, 100, 24},  // aspect corrected (smoothed)
      {24, 100, 50, 0, 0, 0, 0, 0, true, 8, 100, 50, 8},        // 256-colour screen
      {24, 100, 50, 0, 0, 0, 0, 0, true, 4, 100, 50, 8},        // 16 colours, one byte each
      {4, 100, 50, 0, 0, 0, 0, 0, true, 8, 0, 0, 0},            // already fits the screen
  };
  for (const auto& c : cases) {
    auto picture = pictest::Pattern(c.w, c.h, c.bits);
    tShowPictureSource source{picture.get(), c.aspectX, c.aspectY, c.dw, c.dh};
    auto shown = PrepareShowPicture(source, Screen(c.mode, c.original), c.screenBits, false);
    if (c.outW == 0) {
      EXPECT_EQ(shown, nullptr);
      continue;
    }
    if (shown == nullptr) {
      ADD_FAILURE() << c.w << "x" << c.h << " not prepared";
      continue;
    }
    EXPECT_EQ(shown->Width(), c.outW) << c.w << "x" << c.h;
    EXPECT_EQ(shown->Height(), c.outH) << c.w << "x" << c.h;
    EXPECT_EQ(shown->BitCount(), c.outBits) << c.w << "x" << c.h;
    EXPECT_EQ(picture->Width(), c.w);  // the decoder's picture stays as it was
  }
}

}  // namespace
