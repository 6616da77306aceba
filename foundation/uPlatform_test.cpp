#include "foundation/uPlatform.h"

#include <gtest/gtest.h>

#include "foundation/uUtil.h"

TEST(PlainPlatform, ClockIsFixedOrTheHosts) {
  tPlainPlatform platform;
  const TDateTime moment = EncodeDate(2011, 3, 14) + 0.5;
  platform.FixedNow = moment;
  EXPECT_EQ(platform.Now(), moment);
  platform.FixedNow = 0;
  int year, month, day;
  ASSERT_TRUE(DecodeDate(platform.Now(), year, month, day));
  EXPECT_GE(year, 2020);
}
