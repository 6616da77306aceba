#include "foundation/uLocaleText.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int64_t kMsPerDay = 86400000;

// Days from 1 January 1970 of a proleptic Gregorian date (H. Hinnant's algorithm); out-of-range
// months and days still give a number, never a fault.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t mp = (m + 9) % 12;
  const int64_t doy = (153 * mp + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// 30 December 1899, the day that date-time values count from, as days from 1970.
constexpr int64_t kEpochOffset = -25569;

std::string Number(int value, int digits) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*d", digits, value);
  return buf;
}

// The first character (a whole UTF-8 sequence) of a text.
std::string FirstChar(const std::string& text) {
  if (text.empty()) return text;
  size_t n = 1;
  while (n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) ++n;
  return text.substr(0, n);
}

template <typename Field>
std::string FormatPicture(const std::string& picture, Field field) {
  std::string out;
  size_t i = 0;
  while (i < picture.size()) {
    const char c = picture[i];
    if (c == '\'') {
      // Quoted text; two quotes inside stand for one.
      ++i;
      while (i < picture.size()) {
        if (picture[i] == '\'') {
          if (i + 1 < picture.size() && picture[i + 1] == '\'') {
            out += '\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        out += picture[i++];
      }
      continue;
    }
    size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    if (!field(c, static_cast<int>(run), out)) out.append(run, c);
    i += run;
  }
  return out;
}

int DayOfWeek(const tDateTimeFields& f) {
  const int64_t days = DaysFromCivil(f.Year, f.Month, f.Day);
  return static_cast<int>(((days + 4) % 7 + 7) % 7);  // 1 January 1970 was a Thursday
}

}  // namespace

double EncodeDateTime(const tDateTimeFields& f) {
  const int64_t days = DaysFromCivil(f.Year, f.Month, f.Day) - kEpochOffset;
  const int64_t ms = ((f.Hour * 60LL + f.Minute) * 60 + f.Second) * 1000 + f.Millisecond;
  return static_cast<double>(days) + static_cast<double>(ms) / kMsPerDay;
}

tDateTimeFields DecodeDateTime(double value) {
  tDateTimeFields f;
  if (!std::isfinite(value) || std::fabs(value) > 3e6) return f;  // beyond year 9999
  const int64_t total = std::llround(value * kMsPerDay);
  int64_t days = total / kMsPerDay;
  int64_t ms = total % kMsPerDay;
  if (ms < 0) {
    ms += kMsPerDay;
    --days;
  }
  CivilFromDays(days + kEpochOffset, f.Year, f.Month, f.Day);
  f.Hour = static_cast<int>(ms / 3600000);
  f.Minute = static_cast<int>(ms / 60000 % 60);
  f.Second = static_cast<int>(ms / 1000 % 60);
  f.Millisecond = static_cast<int>(ms % 1000);
  return f;
}

int32_t TimeOfDayMs(double value) {
  if (!std::isfinite(value)) return 0;
  const double fraction = std::fabs(value - std::trunc(value));
  return static_cast<int32_t>(std::llround(fraction * kMsPerDay) % kMsPerDay);
}

tDateTimeFields DosDateTimeToFields(uint32_t dosTime) {
  tDateTimeFields f;
  const uint32_t date = dosTime >> 16, time = dosTime & 0xFFFF;
  f.Day = static_cast<int>(date & 31);
  f.Month = static_cast<int>((date >> 5) & 15);
  f.Year = static_cast<int>((date >> 9) + 1980);
  f.Second = static_cast<int>((time & 31) * 2);
  f.Minute = static_cast<int>((time >> 5) & 63);
  f.Hour = static_cast<int>(time >> 11);
  return f;
}

uint32_t FieldsToDosDateTime(const tDateTimeFields& f) {
  const uint32_t year = f.Year < 1980   ? 0
                        : f.Year > 2107 ? 127
                                        : static_cast<uint32_t>(f.Year - 1980);
  const uint32_t date = (year << 9) | ((static_cast<uint32_t>(f.Month) & 15) << 5) |
                        (static_cast<uint32_t>(f.Day) & 31);
  const uint32_t time = ((static_cast<uint32_t>(f.Hour) & 31) << 11) |
                        ((static_cast<uint32_t>(f.Minute) & 63) << 5) |
                        ((static_cast<uint32_t>(f.Second) / 2) & 31);
  return (date << 16) | time;
}

std::string FormatDatePicture(const std::string& picture, const tDateTimeFields& f,
                              const tFormatSettings& settings) {
  const bool monthKnown = f.Month >= 1 && f.Month <= 12;
  return FormatPicture(picture, [&](char c, int run, std::string& out) {
    switch (c) {
      case 'd':
        if (run <= 2) {
          out += Number(f.Day, run);
        } else if (monthKnown) {
          const int dow = DayOfWeek(f);
          out += run == 3 ? settings.ShortDayNames[dow] : settings.LongDayNames[dow];
        }
        return true;
      case 'M':
        if (run <= 2 || !monthKnown)
          out += Number(f.Month, run <= 2 ? run : 1);
        else
          out += run == 3 ? settings.ShortMonthNames[f.Month - 1]
                          : settings.LongMonthNames[f.Month - 1];
        return true;
      case 'y':
        if (run <= 2)
          out += Number(f.Year % 100, run);
        else
          out += Number(f.Year, 4);
        return true;
      case 'g':  // the era: the Gregorian calendar has no name worth showing in a list
        return true;
      default:
        return false;
    }
  });
}

std::string FormatTimePicture(const std::string& picture, const tDateTimeFields& f,
                              const tFormatSettings& settings) {
  return FormatPicture(picture, [&](char c, int run, std::string& out) {
    const int digits = run < 2 ? 1 : 2;
    switch (c) {
      case 'h': {
        const int h12 = f.Hour % 12 == 0 ? 12 : f.Hour % 12;
        out += Number(h12, digits);
        return true;
      }
      case 'H':
        out += Number(f.Hour, digits);
        return true;
      case 'm':
        out += Number(f.Minute, digits);
        return true;
      case 's':
        out += Number(f.Second, digits);
        return true;
      case 't': {
        const std::string& marker = f.Hour < 12 ? settings.TimeAMString : settings.TimePMString;
        out += run < 2 ? FirstChar(marker) : marker;
        return true;
      }
      default:
        return false;
    }
  });
}

std::string ThousandsText(int64_t value, const std::string& separator) {
  const bool negative = value < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::string digits = std::to_string(magnitude);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return negative ? "-" + out : out;
}
