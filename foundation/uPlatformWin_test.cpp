#include "foundation/uPlatformWin.h"

#include <gtest/gtest.h>

#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"

TEST(Win32Platform, ClockGivesTheLocalDate) {
  InstallWin32Platform();
  const TDateTime now = Platform().Now();
  SetPlatform(nullptr);
  int year, month, day;
  ASSERT_TRUE(DecodeDate(now, year, month, day));
  EXPECT_GE(year, 2020);
}
