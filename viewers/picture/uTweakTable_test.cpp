#include "viewers/picture/uTweakTable.h"

#include <gtest/gtest.h>

namespace {

struct tTable {
  uint8_t t[256][3];
};

tTable Build(int gamma, int contrast, int bright, int red, int green, int blue) {
  const int32_t s[kTweakSliders] = {gamma, contrast, bright, red, green, blue};
  tTable t;
  BuildTweakTable(s, t.t);
  return t;
}

TEST(TweakTable, SlidersShapeTheTable) {
  struct tCase {
    const char* what;
    int s[6];
    int in;
    int r, g, b;
  };
  const tCase cases[] = {
      {"all at 50 is the identity", {50, 50, 50, 50, 50, 50}, 77, 77, 77, 77},
      {"brightness adds", {50, 50, 60, 50, 50, 50}, 77, 87, 87, 87},
      {"brightness stops at white", {50, 50, 100, 50, 50, 50}, 230, 255, 255, 255},
      {"brightness stops at black", {50, 50, 0, 50, 50, 50}, 30, 0, 0, 0},
      {"red only moves red", {50, 50, 50, 70, 50, 50}, 100, 120, 100, 100},
      {"blue down", {50, 50, 50, 50, 50, 40}, 5, 5, 5, 0},
      {"gamma ends stay", {0, 50, 50, 50, 50, 50}, 255, 255, 255, 255},
      {"low gamma darkens the middle", {0, 50, 50, 50, 50, 50}, 128, 64, 64, 64},
      {"high gamma lightens the middle", {100, 50, 50, 50, 50, 50}, 64, 128, 128, 128},
      {"contrast up spreads from the middle", {50, 100, 50, 50, 50, 50}, 100, 90, 90, 90},
      {"contrast down pulls to the middle", {50, 0, 50, 50, 50, 50}, 100, 111, 111, 111},
      {"contrast keeps the middle", {50, 80, 50, 50, 50, 50}, 128, 128, 128, 128},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.what);
    tTable t = Build(c.s[0], c.s[1], c.s[2], c.s[3], c.s[4], c.s[5]);
    EXPECT_NEAR(t.t[c.in][0], c.r, 1);
    EXPECT_NEAR(t.t[c.in][1], c.g, 1);
    EXPECT_NEAR(t.t[c.in][2], c.b, 1);
  }
  EXPECT_DOUBLE_EQ(TweakGammaExponent(49), 1.01);
  EXPECT_DOUBLE_EQ(TweakGammaExponent(0), 2.0);
  EXPECT_DOUBLE_EQ(TweakGammaExponent(100), 0.5);
  EXPECT_NEAR(TweakGammaExponent(51), 0.99, 1e-12);
}
}  // namespace
