#include "foundation/uUtil.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"

// --- Geometry and integers ---

void FitRect(int boxWidth, int boxHeight, int width, int height, int& outWidth, int& outHeight) {
  if (width < 2) {
    outWidth = 1;
    outHeight = boxHeight;
  } else if (height < 2) {
    outWidth = boxWidth;
    outHeight = 1;
  } else {
    outWidth = boxWidth;
    outHeight = MulDivRound(boxWidth - 1, height - 1, width - 1) + 1;
    if (outHeight > boxHeight) {
      outHeight = boxHeight;
      outWidth = MulDivRound(boxHeight - 1, width - 1, height - 1) + 1;
    }
  }
}

void CenterOffset(int boxWidth, int boxHeight, int width, int height, int& x, int& y) {
  x = width <= boxWidth ? (boxWidth - width) / 2 : 0;
  y = height <= boxHeight ? (boxHeight - height) / 2 : 0;
}

void FitCenterRect(int boxWidth, int boxHeight, int width, int height, TRect& rect) {
  int w, h, x, y;
  FitRect(boxWidth, boxHeight, width, height, w, h);
  CenterOffset(boxWidth, boxHeight, w, h, x, y);
  rect = TRect{x, y, w - 1 + x, h - 1 + y};
}

void NormalizeRect(TRect& rect) {
  if (rect.Right < rect.Left) std::swap(rect.Left, rect.Right);
  if (rect.Bottom < rect.Top) std::swap(rect.Top, rect.Bottom);
}

bool PointInRect(const TPoint& point, const TRect& rect) {
  return point.X >= rect.Left && point.X < rect.Right && point.Y >= rect.Top &&
         point.Y < rect.Bottom;
}

int ClampRange(int limit, int value) { return value < 0 ? 0 : std::min(limit, value); }
int IntMax(int a, int b) { return a > b ? a : b; }
int IntMin(int a, int b) { return a < b ? a : b; }
int CompareInt(int a, int b) { return a < b ? -1 : a > b ? 1 : 0; }
uint32_t MulWords(uint16_t a, uint16_t b) { return static_cast<uint32_t>(a) * b; }

int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t product = static_cast<int64_t>(a) * b;
  int64_t divisor = c;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  // |product| <= 2^62 and divisor <= 2^31: adding half the divisor cannot overflow.
  int64_t q =
      product >= 0 ? (product + divisor / 2) / divisor : -((-product + divisor / 2) / divisor);
  return q > INT32_MAX || q < INT32_MIN ? -1 : static_cast<int32_t>(q);
}

int DropDownRowCount(int space, int rowHeight, int items) {
  const int fit = rowHeight > 0 ? space / rowHeight : 0;
  return std::max(1, std::min(fit, items));
}

namespace {
int64_t ToInt64(double whole) {
  if (std::isnan(whole)) return 0;
  if (whole >= 9223372036854775808.0) return INT64_MAX;
  if (whole < -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(whole);
}
}  // namespace

int64_t RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  double floor = std::floor(value);
  double fraction = value - floor;  // exact for every double
  double whole = fraction > 0.5               ? floor + 1
                 : fraction < 0.5             ? floor
                 : std::fmod(floor, 2.0) == 0 ? floor
                                              : floor + 1;
  return ToInt64(whole);
}

int64_t TruncInt(double value) { return ToInt64(std::trunc(value)); }

void FullScreenSize(int& width, int& height) { Platform().FullScreenSize(width, height); }
int ScreenColorBits() { return Platform().ScreenColorBits(); }

// --- Packing and text classification ---

int PackRuns(const uint8_t* source, uint8_t* dest, int count, int mode) {
  if (count <= 0 || mode < 0 || mode > 3 || !source || !dest) return 0;
  const int size = mode == 3 ? 3 : 1;
  const int last = count - 1;
  auto same = [&](int a, int b) {
    return std::memcmp(source + a * size, source + b * size, size) == 0;
  };
  // Three equal elements start a run; two are cheaper as literals.
  auto runAt = [&](int k) { return k < last - 1 && same(k, k + 1) && same(k + 1, k + 2); };
  const int limit = mode == 2 ? 63 : 128;
  uint8_t* out = dest;
  int i = 0;
  while (i <= last) {
    const bool run = runAt(i);
    int j;
    if (run) {
      j = i + 2;
      while (j < last && same(j + 1, j)) ++j;
    } else {
      j = i;
      while (j < last - 2 && !runAt(j + 1)) ++j;
      if (j > last - 3) j = last;  // the last two elements never start a run
    }
    int n = j - i + 1;
    while (n > 0) {
      int chunk = std::min(n, limit);
      n -= chunk;
      if (run) {
        if (mode == 0) {
          if (n == 1) {  // PackBits has no run of one: leave two for the next chunk
            --chunk;
            n = 2;
          }
          *out++ = static_cast<uint8_t>(1 - chunk);
        } else if (mode == 2) {
          *out++ = static_cast<uint8_t>(0xC0 | chunk);
        } else {
          *out++ = static_cast<uint8_t>(0x80 | (chunk - 1));
        }
        std::memcpy(out, source + i * size, size);
        out += size;
      } else if (mode == 2) {
        for (int k = i; k < i + chunk; ++k) {
          // A byte with both top bits set would read as a count: send it as a run of one.
          if (source[k] >= 0xC0) *out++ = 0xC1;
          *out++ = source[k];
        }
      } else {
        *out++ = static_cast<uint8_t>(chunk - 1);
        std::memcpy(out, source + i * size, static_cast<size_t>(chunk) * size);
        out += chunk * size;
      }
      i += chunk;
    }
  }
  return static_cast<int>(out - dest);
}

size_t PackRunsBound(int count, int mode) {
  size_t n = count > 0 ? static_cast<size_t>(count) : 0;
  switch (mode) {
    case 0:
    case 1:
      return n + n / 128 + 1;
    case 2:
      return 2 * n;
    case 3:
      return 3 * n + n / 128 + 1;
    default:
      return 0;
  }
}

bool IsTextData(const uint8_t* data, size_t length) {
  if (!data || length < 1) return false;
  size_t printable = 0, control = 0, box = 0, binary = 0;
  for (size_t k = 0; k < length; ++k) {
    uint8_t b = data[k];
    if (b == 26) break;                    // end-of-file mark: the rest is not looked at
    if (b == 0 && k == length - 1) break;  // a closing NUL is not held against a text
    if (b >= 32 && b <= 126)
      ++printable;
    else if (b == 8 || b == 9 || b == 10 || b == 12 || b == 13)
      ++control;
    else if (b >= 179 && b <= 218)  // line drawing of the PC code page
      ++box;
    else
      ++binary;
  }
  if (length >= 256) {
    size_t allowed = length / 128;
    if (binary > allowed) return false;
    return printable + control + box >= length - allowed;
  }
  return binary == 0 && printable >= 2;
}

std::vector<char> StringsToNulList(const std::string& text, const std::vector<std::string>* lines) {
  std::vector<char> out;
  auto add = [&](const std::string& s) {
    out.insert(out.end(), s.begin(), s.end());
    out.push_back('\0');
  };
  if (lines) {
    for (const std::string& line : *lines) add(line);
  } else {
    add(text);
  }
  out.push_back('\0');
  return out;
}

char CaptionAccelerator(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&')
      return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    ++i;
  }
  return 0;
}

// --- Descriptive texts ---

std::string ColorCountText(uint16_t colorCode) {
  static const char* const kDirect[] = {"", "8", "64", "512", "4096", "32k", "256k", "2m", "16m"};
  int code = colorCode == 288 ? 280 : colorCode;  // 32 bits show as 24
  if (code <= 256) return std::to_string(code);
  if (code == 272) return "64k";
  int k = code - 256;
  if (k % 3 == 0) return k / 3 <= 8 ? kDirect[k / 3] : "";
  return "???k";
}

std::string ImageSizeText(int width, int height, uint16_t colorCode) {
  return Format("%dx%dx%s", {static_cast<uint16_t>(width), static_cast<uint16_t>(height),
                             ColorCountText(colorCode)});
}

std::string SizeText(int64_t bytes) {
  const double b = static_cast<double>(bytes);
  if (bytes < 1048576) return Format("%.2nKB", {b / 1024});
  if (bytes < 1073741824) return Format("%.2nMB", {b / 1048576});
  return Format("%.2nGB", {b / 1073741824});
}

std::string WindowsVersionText() {
  tWindowsVersion v = Platform().WindowsVersion();
  const char* name = v.PlatformId == 0   ? "Windows 3.1 + Win32s"
                     : v.PlatformId == 1 ? "32 bit Windows"
                     : v.PlatformId == 2 ? "Windows NT"
                                         : "unknown";
  std::string detail;
  if (v.PlatformId == 1 && v.Major == 4) {
    detail = v.Minor == 0 ? "(95)" : v.Minor == 10 ? "(98)" : "";
  } else if (v.PlatformId == 2) {
    detail = Format("%d.%d", {v.Major, v.Minor});
  }
  return Format("%s %s", {name, detail});
}

std::string WindowsBuildText() {
  uint32_t build = Platform().WindowsVersion().Build;
  return Format("%d (%d)", {build & 0xFFFF, build >> 16});
}

bool IsWin95OSR2() {
  tWindowsVersion v = Platform().WindowsVersion();
  return v.PlatformId == 1 && (v.Build & 0xFFFF) > 1000;
}

bool IsWin95First() {
  tWindowsVersion v = Platform().WindowsVersion();
  return v.PlatformId == 1 && v.Major == 4 && v.Minor == 0 && (v.Build & 0xFFFF) < 1000;
}

bool IsWinNT() { return Platform().WindowsVersion().PlatformId == 2; }

bool IsWinNT4() {
  tWindowsVersion v = Platform().WindowsVersion();
  return v.PlatformId == 2 && v.Major == 4;
}

// Proleptic Gregorian day numbers (after H. Hinnant), counted from 1970-01-01.
namespace {
constexpr int64_t kDelphiEpoch = -25569;  // 1899-12-30
constexpr int64_t kFirstDay = -693593;    // 0001-01-01 as TDateTime
constexpr int64_t kLastDay = 2958465;     // 9999-12-31

int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
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

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
}  // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  if (day > kDays[month - 1] + (month == 2 && IsLeap(year))) return false;
  date = static_cast<double>(DaysFromCivil(year, month, day) - kDelphiEpoch);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime date;
  if (!TryEncodeDate(year, month, day, date))
    throw EConvertError("Invalid argument to date encode");
  return date;
}

bool DecodeDate(TDateTime date, int& year, int& month, int& day) {
  year = month = day = 0;
  // The day is the whole part, towards zero: -1.25 is 1899-12-29, 06:00.
  if (!(date > kFirstDay - 1 && date < kLastDay + 1)) return false;
  CivilFromDays(static_cast<int64_t>(date) + kDelphiEpoch, year, month, day);
  return true;
}

TDateTime DosDateToDateTime(uint16_t dosDate) {
  // A file's stored date may name no day (month 0, 31 February): that gives 0, not an error.
  TDateTime date = 0;
  if (!TryEncodeDate((dosDate >> 9) + 1980, (dosDate >> 5) & 15, dosDate & 31, date)) return 0;
  return date;
}

std::string DateToMDYText(TDateTime date) {
  int y, m, d;
  if (!DecodeDate(date, y, m, d)) return {};
  return Format("%.2d/%.2d/%.4d", {m, d, y});
}

std::string EncodeSpaces(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == ' ')
      out += "%20";
    else
      out += c;
  }
  return out;
}

// --- Version numbers ---

int VersionNumberOf(const std::string& text) {
  std::string word = GetWord(text, 3);
  std::erase(word, '.');
  if (size_t a = word.find('a'); a != std::string::npos) word[a] = '1';
  if (size_t b = word.find('b'); b != std::string::npos) word[b] = '2';
  std::string_view digits = word;
  if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
  int value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return ec == std::errc() && end == digits.data() + digits.size() ? value : 0;
}

std::string VersionDigitsText(int number) {
  std::string digits = std::to_string(number & 0xFFFF);
  if (digits.size() <= 3) return digits;
  std::string out = digits.substr(0, digits.size() - 3);
  for (size_t k = digits.size() - 3; k < digits.size(); ++k) {
    out += '.';
    out += digits[k];
  }
  return out;
}

std::string VersionNumberText(const std::string& text) {
  return VersionDigitsText(VersionNumberOf(text));
}

// --- Words and searching ---

namespace {
bool IsDelimiter(char c) { return c == 9 || c == 10 || c == 12 || c == 13 || c == 32; }

std::string Lower(std::string s) {
  for (char& c : s) c = LowerChar(c);
  return s;
}

// Delphi's Trim: blanks and control characters off both ends.
void Trim(std::string& s) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  size_t first = 0;
  while (first < s.size() && blank(s[first])) ++first;
  size_t end = s.size();
  while (end > first && blank(s[end - 1])) --end;
  s = s.substr(first, end - first);
}
}  // namespace

std::string GetWordZ(const char* text, int n) {
  if (!text || n < 1) return {};
  const char* p = text;
  for (int k = 1;; ++k) {
    while (*p && IsDelimiter(*p)) ++p;
    if (!*p) return {};
    const char* start = p;
    while (*p && !IsDelimiter(*p)) ++p;
    if (k == n) return std::string(start, p);
  }
}

int WordCountZ(const char* text) {
  if (!text) return 0;
  int count = 0;
  for (const char* p = text; *p;) {
    while (*p && IsDelimiter(*p)) ++p;
    if (!*p) break;
    ++count;
    while (*p && !IsDelimiter(*p)) ++p;
  }
  return count;
}

std::string GetWord(const std::string& text, int n) { return GetWordZ(text.c_str(), n); }
int WordCount(const std::string& text) { return WordCountZ(text.c_str()); }

std::string GetQuotedWord(const char* text, int n) {
  if (!text || n < 1) return {};
  const char* p = text;
  std::string word;
  for (int k = 0; k < n; ++k) {
    bool quoted = false;
    while (*p && (IsDelimiter(*p) || *p == '"')) quoted |= *p++ == '"';
    // A quoted word keeps its spaces and ends at the closing quote (or a line break or tab).
    auto ends = [quoted](char c) {
      return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == (quoted ? '"' : ' ');
    };
    const char* start = p;
    while (!ends(*p)) ++p;
    word.assign(start, p);
    if (*p == '"') ++p;
  }
  return word;
}

std::string CommandLineWord(int n) {
  if (n < 0 || n == INT_MAX) return {};
  return GetQuotedWord(Platform().CommandLine(), n + 1);
}

bool FindChar(char c, const std::string& text, int& position) {
  size_t p = text.find(c);
  position = p == std::string::npos ? 0 : static_cast<int>(p + 1);
  return p != std::string::npos;
}

void RemoveAllText(std::string& text, const std::string& what) {
  if (what.empty()) return;
  const std::string low = Lower(what);
  for (size_t p; (p = Lower(text).find(low)) != std::string::npos;) {
    text.erase(p, what.size());
    Trim(text);
  }
}

int ReplaceAllText(std::string& text, const std::string& oldText, const std::string& newText) {
  if (oldText.empty()) return 0;
  // Searching resumes after each inserted text, so only the original text is ever searched:
  // one pass over it gives the same result.
  const std::string low = Lower(text), lowOld = Lower(oldText);
  std::string out;
  int count = 0;
  size_t from = 0;
  for (size_t p; (p = low.find(lowOld, from)) != std::string::npos; from = p + oldText.size()) {
    out.append(text, from, p - from);
    out += newText;
    ++count;
  }
  if (count == 0) return 0;
  out.append(text, from, std::string::npos);
  text = std::move(out);
  return count;
}

char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// --- Short texts of fixed form ---

std::string CharString(int count, char c) {
  return count < 1 ? std::string() : std::string(std::min(count, 255), c);
}

std::string SpaceString(int count) { return CharString(count, ' '); }

std::string ZeroPad(const std::string& text, int length) {
  size_t want = static_cast<size_t>(std::clamp(length, 0, 255));
  return text.size() < want ? std::string(want - text.size(), '0') + text : text;
}

void TrimTrailingSpaces(std::string& text) {
  size_t end = text.find_last_not_of(' ');
  text.erase(end == std::string::npos ? 0 : end + 1);
}

void AppendChar(std::string& text, char c) { text += c; }

// --- Byte order ---

void SwapBytes(uint16_t& value) { value = static_cast<uint16_t>(value << 8 | value >> 8); }

void SwapBytes(uint32_t& value) {
  value = (value >> 24) | ((value >> 8) & 0xFF00) | ((value << 8) & 0xFF0000) | (value << 24);
}

void SwapBytes(void* value, int size) {
  auto* b = static_cast<uint8_t*>(value);
  if (!b) return;
  if (size == 2) {
    std::swap(b[0], b[1]);
  } else if (size >= 4) {
    std::swap(b[0], b[3]);
    std::swap(b[1], b[2]);
  }
}
