#include "foundation/uLocaleText.h"

#include <cmath>
#include <cstdio>

#include "foundation/uUtil.h"

namespace {

constexpr int64_t kMsPerDay = 86400000;

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

// 0 Sunday .. 6 Saturday; -1 for a date that does not exist.
int DayOfWeek(const tDateTimeFields& f) {
  TDateTime date = 0;
  if (!TryEncodeDate(f.Year, f.Month, f.Day, date)) return -1;
  const int64_t days = static_cast<int64_t>(date);
  return static_cast<int>(((days + 6) % 7 + 7) % 7);  // day 0 was a Saturday
}

}  // namespace

TDateTime EncodeDateTime(const tDateTimeFields& f) {
  TDateTime date = 0;
  if (!TryEncodeDate(f.Year, f.Month, f.Day, date)) date = 0;
  const int64_t ms = ((f.Hour * 60LL + f.Minute) * 60 + f.Second) * 1000 + f.Millisecond;
  return date + static_cast<double>(ms) / kMsPerDay;
}

tDateTimeFields DecodeDateTime(TDateTime value) {
  tDateTimeFields f;
  if (!std::isfinite(value) || std::fabs(value) > 3e6) return f;  // beyond year 9999
  const int64_t total = std::llround(value * kMsPerDay);
  int64_t days = total / kMsPerDay;
  int64_t ms = total % kMsPerDay;
  if (ms < 0) {
    ms += kMsPerDay;
    --days;
  }
  if (!DecodeDate(static_cast<TDateTime>(days), f.Year, f.Month, f.Day)) return tDateTimeFields();
  f.Hour = static_cast<int>(ms / 3600000);
  f.Minute = static_cast<int>(ms / 60000 % 60);
  f.Second = static_cast<int>(ms / 1000 % 60);
  f.Millisecond = static_cast<int>(ms % 1000);
  return f;
}

int32_t TimeOfDayMs(TDateTime value) {
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
        } else if (const int dow = DayOfWeek(f); dow >= 0) {
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
