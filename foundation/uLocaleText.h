// Date-time values and their texts in the user's conventions, always from a copy of the format
// settings (tFormatSettings), so formatting never touches what the rest of the process sees.
#pragma once
#include <cstdint>
#include <string>

#include "foundation/uPlatform.h"

// The parts of a date-time value. Values out of range are kept as they are (a DOS date of 0
// has month 0); the texts then show them as numbers.
struct tDateTimeFields {
  int Year = 0, Month = 0, Day = 0;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

// Days since 30 December 1899 with the time of day as the fraction, and back. Decoding rounds
// to the nearest millisecond of the day.
double EncodeDateTime(const tDateTimeFields& f);
tDateTimeFields DecodeDateTime(double value);
// Milliseconds into the day of a date-time value, 0..86399999; the day count is dropped.
int32_t TimeOfDayMs(double value);

// DOS packed date and time: date in the high word (day, month, year - 1980), time in the low
// word (seconds / 2, minute, hour).
tDateTimeFields DosDateTimeToFields(uint32_t dosTime);
uint32_t FieldsToDosDateTime(const tDateTimeFields& f);

// A Windows date picture (d dd ddd dddd, M MM MMM MMMM, y yy yyyy, g, 'quoted text'); every
// other character stands for itself.
std::string FormatDatePicture(const std::string& picture, const tDateTimeFields& f,
                              const tFormatSettings& settings);
// A Windows time picture (h hh H HH, m mm, s ss, t tt, 'quoted text').
std::string FormatTimePicture(const std::string& picture, const tDateTimeFields& f,
                              const tFormatSettings& settings);

// An integer with the thousands separator between groups of three digits.
std::string ThousandsText(int64_t value, const std::string& separator);
