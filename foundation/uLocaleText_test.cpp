#include "foundation/uLocaleText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

tDateTimeFields Fields(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  tDateTimeFields f;
  f.Year = y;
  f.Month = mo;
  f.Day = d;
  f.Hour = h;
  f.Minute = mi;
  f.Second = s;
  f.Millisecond = ms;
  return f;
}

// Every field in one line: a test compares them all at once and a failure shows them all.
std::string Text(const tDateTimeFields& f) {
  return std::to_string(f.Year) + "-" + std::to_string(f.Month) + "-" + std::to_string(f.Day) +
         " " + std::to_string(f.Hour) + ":" + std::to_string(f.Minute) + ":" +
         std::to_string(f.Second) + "." + std::to_string(f.Millisecond);
}

}  // namespace

TEST(LocaleText, DateTimeValuesCountDaysFrom30December1899) {
  EXPECT_EQ(EncodeDateTime(Fields(1899, 12, 30)), 0.0);
  EXPECT_EQ(EncodeDateTime(Fields(1900, 1, 1)), 2.0);
  EXPECT_EQ(EncodeDateTime(Fields(2000, 1, 1)), 36526.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime(Fields(2000, 1, 1, 18)), 36526.75);
  const tDateTimeFields back = DecodeDateTime(EncodeDateTime(Fields(2024, 2, 29, 23, 59, 58, 999)));
  EXPECT_EQ(Text(back), "2024-2-29 23:59:58.999");
}

TEST(LocaleText, TimeOfDayDropsTheDays) {
  EXPECT_EQ(TimeOfDayMs(90.5 / 86400), 90500);
  EXPECT_EQ(TimeOfDayMs(25.0 / 24), 3600000);
  EXPECT_EQ(TimeOfDayMs(-90.5 / 86400), 90500);
  EXPECT_EQ(TimeOfDayMs(0.99999999999), 0);  // rounds to the next midnight
}

TEST(LocaleText, DosDateTimePacking) {
  // 3 February 2001, 13:05:08: date (21 << 9 | 2 << 5 | 3), time (13 << 11 | 5 << 5 | 4).
  const uint32_t dos = (((21u << 9) | (2u << 5) | 3u) << 16) | ((13u << 11) | (5u << 5) | 4u);
  const tDateTimeFields f = DosDateTimeToFields(dos);
  EXPECT_EQ(Text(f), "2001-2-3 13:5:8.0");
  EXPECT_EQ(FieldsToDosDateTime(f), dos);
  EXPECT_EQ(FieldsToDosDateTime(Fields(2001, 2, 3, 13, 5, 9)), dos);  // two-second steps
  const tDateTimeFields zero = DosDateTimeToFields(0);
  EXPECT_EQ(zero.Year, 1980);
  EXPECT_EQ(zero.Month, 0);
}

TEST(LocaleText, DatePictures) {
  const tFormatSettings s;
  const tDateTimeFields f = Fields(2001, 2, 3);
  const struct {
    const char* picture;
    const char* text;
  } cases[] = {
      {"M/d/yyyy", "2/3/2001"},       {"dd.MM.yy", "03.02.01"},
      {"yyyy-MM-dd", "2001-02-03"},   {"dddd, MMMM d, yyyy", "Saturday, February 3, 2001"},
      {"ddd d MMM y", "Sat 3 Feb 1"}, {"'Day' d 'o''clock'", "Day 3 o'clock"},
      {"d/M/yyyy g", "3/2/2001 "},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDatePicture(c.picture, f, s), c.text) << c.picture;
  // A DOS date of 0 has month 0: numbers, never a name out of range.
  EXPECT_EQ(FormatDatePicture("dd MMM yyyy", DosDateTimeToFields(0), s), "00 0 1980");
}

TEST(LocaleText, TimePictures) {
  tFormatSettings s;
  const struct {
    tDateTimeFields f;
    const char* picture;
    const char* text;
  } cases[] = {
      {Fields(2001, 2, 3, 13, 5, 9), "h:mm:ss tt", "1:05:09 PM"},
      {Fields(2001, 2, 3, 13, 5, 9), "h:mm:sstt", "1:05:09PM"},
      {Fields(2001, 2, 3, 0, 0, 0), "hh:mm t", "12:00 A"},
      {Fields(2001, 2, 3, 9, 5, 7), "HH:mm:ss", "09:05:07"},
      {Fields(2001, 2, 3, 9, 5, 7), "H.m.s", "9.5.7"},
      {Fields(2001, 2, 3, 12, 0, 0), "h 'h' tt", "12 h PM"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatTimePicture(c.picture, c.f, s), c.text) << c.picture;
  s.TimePMString = "nachm.";
  EXPECT_EQ(FormatTimePicture("h tt", Fields(2001, 1, 1, 15), s), "3 nachm.");
}
