#include "foundation/uUtilWin.h"

#include <gtest/gtest.h>

#include <climits>

#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"

namespace {

TEST(UtilWin, GetNormalBoundsKeepsTheRestoredRectangle) {
  HWND w = CreateWindowExW(0, L"STATIC", L"bounds", WS_OVERLAPPEDWINDOW, 30, 40, 300, 200, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(w, nullptr);
  int left, top, width, height;
  ASSERT_TRUE(GetNormalBounds(w, left, top, width, height));
  EXPECT_EQ(left, 30);
  EXPECT_EQ(top, 40);
  EXPECT_EQ(width, 300);
  EXPECT_EQ(height, 200);
  ShowWindow(w, SW_MAXIMIZE);
  ASSERT_TRUE(GetNormalBounds(w, left, top, width, height));
  EXPECT_EQ(width, 300);
  EXPECT_EQ(height, 200);
  DestroyWindow(w);
  EXPECT_FALSE(GetNormalBounds(w, left, top, width, height));
  EXPECT_EQ(width, 0);
}

TEST(UtilWin, MulDivAgreesWithWin32) {
  // clang-format off
  const int32_t values[] = {0, 1, -1, 2, -2, 3, -3, 5, 7, 100, -100, 1999, 46341, 65536, -65536,
                            INT32_MAX, INT32_MAX - 1, INT32_MIN + 1};
  // clang-format on
  for (int32_t a : values)
    for (int32_t b : values)
      for (int32_t c : values) {
        // Wine answers -1 for a result of INT32_MIN (and negates an INT32_MIN operand with
        // overflow, so those stay out of the table); the program never divides near there.
        if (MulDivRound(a, b, c) == INT32_MIN) continue;
        int32_t want = ::MulDiv(a, b, c);
        ASSERT_EQ(MulDivRound(a, b, c), want) << a << " * " << b << " / " << c;
      }
}

TEST(UtilWin, FormatUsesTheLocaleSeparators) {
  std::string thousands = Platform().ThousandSeparator();
  std::string decimal = Platform().DecimalSeparator();
  EXPECT_FALSE(decimal.empty());
  EXPECT_EQ(Format("%n", {1234567.5}),
            "1" + thousands + "234" + thousands + "567" + decimal + "50");
}

}  // namespace
