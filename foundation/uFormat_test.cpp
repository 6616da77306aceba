#include "foundation/uFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <type_traits>

#include "foundation/uPlatform.h"
#include "tests/TestSupport.h"

namespace {

static_assert(std::is_base_of_v<std::runtime_error, EConvertError>);

using FormatTest = testsupport::tPlainPlatformTest;

struct Case {
  std::string got, want;
};

TEST_F(FormatTest, Table) {
  const Case cases[] = {
      {Format("plain text"), "plain text"},
      {Format("%d", {42}), "42"},
      {Format("%d", {-42}), "-42"},
      {Format("%D|%5d|%-5d|", {1, 42, 42}), "1|   42|42   |"},
      {Format("%.3d %.3d %.1d", {5, -5, 1234}), "005 -005 1234"},
      {Format("%d", {INT64_MIN}), "-9223372036854775808"},
      {Format("%d", {UINT64_MAX}), "18446744073709551615"},
      {Format("%d", {4000000000u}), "4000000000"},
      {Format("%u", {-1}), "4294967295"},
      {Format("%x %x %x", {255, -1, int64_t{-1}}), "FF FFFFFFFF FFFFFFFFFFFFFFFF"},
      {Format("%.2x|%.2x|%4x|%.6x|%.8x", {5, 0xABC, 0x1F, 0xabcdef, 0x1A}),
       "05|ABC|  1F|ABCDEF|0000001A"},
      {Format("%s and %s", {"this", std::string("that")}), "this and that"},
      {Format("[%s]", {'c'}), "[c]"},
      {Format("%-4s|%-4s|", {"ab", "abcdef"}), "ab  |abcdef|"},
      {Format("%10s|", {"right"}), "     right|"},
      {Format("%.2s|", {"abc"}), "ab|"},
      {Format("%-*s|%*d|%.*d", {5, "ab", 4, 7, 3, 7}), "ab   |   7|007"},
      {Format("%*d|", {-4, 7}), "7   |"},  // a negative width from the list justifies left
      {Format("%1:s %0:s %s", {"a", "b"}), "b a b"},
      {Format("%%|%d%%|%5.1f%%", {50, 12.25}), "%|50%| 12.3%"},
      {Format("%6.3f|%f|%.0f|%.0f", {3.14159, 2.0, 2.5, -0.4}), " 3.142|2.00|3|0"},
      {Format("%f", {7}), "7.00"},
      {Format("%n|%.2n|%.0n", {1234567.891, 0.5, 999.5}), "1,234,567.89|0.50|1,000"},
      {Format("%11.0n|%13.0n|", {1234567, 12}), "  1,234,567|           12|"},
      {Format("%.2n|%.2n|%.2n", {0.125, -0.001, -1234.5}), "0.13|0.00|-1,234.50"},
      {Format("%.2n|%.2n", {2.675, 1.005}), "2.67|1.00"},  // as stored: just below the half
      {Format("%.0n", {1e20}), "100,000,000,000,000,000,000"},
      {Format("%.0n|%.1n", {123.0, 99.96}), "123|100.0"},
      {Format("%f %f %f", {NAN, INFINITY, -INFINITY}), "NAN INF -INF"},
      {Format("%.30f", {0.5}), "0.500000000000000000"},  // at most 18 decimals
      {Format("%-3s|%3s|%.1s|", {"\xC3\xA9", "\xC3\xA9", "\xC3\xA9x"}),
       "\xC3\xA9  |  \xC3\xA9|\xC3\xA9|"},  // widths count characters
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST_F(FormatTest, SeparatorsComeFromThePlatform) {
  // Whole strings moved in: GCC 12 warns falsely on assigning these literals (-Wrestrict).
  plain_.ThousandSep = std::string(".");
  plain_.DecimalSep = std::string(",");
  EXPECT_EQ(Format("%n|%.1f", {1234.5, 2.25}), "1.234,50|2,3");
  plain_.ThousandSep = std::string("\xC2\xA0");  // a no-break space, as some locales have
  EXPECT_EQ(Format("%8.0n|", {12345}),
            "  12\xC2\xA0"
            "345|");
  plain_.ThousandSep.clear();
  EXPECT_EQ(Format("%n", {1234567.0}), "1234567,00");
}

TEST_F(FormatTest, KilobyteFractionsRoundHalfAwayFromZero) {
  // k / 1024 with two decimals: exact halves occur (0.125), and Delphi rounds them up.
  for (int64_t k = 0; k < 300000; k += 7) {
    int64_t hundredths = (k * 100 + 512) / 1024;
    std::string want = std::to_string(hundredths / 100) + "." + (hundredths % 100 < 10 ? "0" : "") +
                       std::to_string(hundredths % 100);
    ASSERT_EQ(FormatFixed(k / 1024.0, 2, "", "."), want) << k;
  }
}

TEST_F(FormatTest, BadFormatsAndArgumentsThrowConvertError) {
  EXPECT_THROW(Format("%d", {"text"}), EConvertError);
  EXPECT_THROW(Format("%d", {1.5}), EConvertError);
  EXPECT_THROW(Format("%x", {2.0}), EConvertError);
  EXPECT_THROW(Format("%s", {1}), EConvertError);
  EXPECT_THROW(Format("%n", {"1"}), EConvertError);
  EXPECT_THROW(Format("%d %d", {1}), EConvertError);
  EXPECT_THROW(Format("%s"), EConvertError);
  EXPECT_THROW(Format("%2:d", {1}), EConvertError);
  EXPECT_THROW(Format("%*d", {"w", 1}), EConvertError);
  EXPECT_THROW(Format("100%", {}), EConvertError);
  EXPECT_THROW(Format("%5", {1}), EConvertError);
  EXPECT_THROW(Format("%q", {1}), EConvertError);
  EXPECT_THROW(Format("%99999999999d", {1}), EConvertError);
  EXPECT_THROW(Format("%*d", {1 << 30, 1}), EConvertError);
  try {
    Format("%d", {"x"});
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Format '%d' invalid or incompatible with argument");
  }
}

}  // namespace
