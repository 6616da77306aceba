// Date-time values and their texts in the user's conventions, always from a copy of the format
// settings (tFormatSettings), so formatting never touches what the rest of the process sees.
#pragma once
#include <cstdint>
#include <string>

#include "foundation/uPlatform.h"
#include "foundation/uTypes.h"

// The parts of a date-time value. Values out of range are kept as they are (a DOS date of 0
// has month 0); the texts then show them as numbers.
struct tDateTimeFields {
  int Year = 0, Month = 0, Day = 0;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

// A date with its time of day, and back. A date that does not exist counts as day 0; decoding
// rounds to the nearest millisecond and gives zeros outside the years 1..9999.
TDateTime EncodeDateTime(const tDateTimeFields& f);
tDateTimeFields DecodeDateTime(TDateTime value);
// Milliseconds into the day of a date-time value, 0..86399999; the day count is dropped.
int32_t TimeOfDayMs(TDateTime value);

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
