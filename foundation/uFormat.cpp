#include "foundation/uFormat.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

#include "foundation/uPlatform.h"

namespace {

// Widths come from data through "*" (the longest name in a list); no text needs more, and the
// limit keeps a wild value from asking for gigabytes.
constexpr int kMaxWidth = 4096;
// Delphi's numbers carry 18 significant digits; more decimals would be noise.
constexpr int kMaxDecimals = 18;
constexpr int kSignificantDigits = 18;

[[noreturn]] void Invalid(std::string_view format) {
  throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}
[[noreturn]] void NoArgument(std::string_view format) {
  throw EConvertError("No argument for format '" + std::string(format) + "'");
}

size_t CodePoints(std::string_view s) {
  return static_cast<size_t>(
      std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// The first `count` code points of s.
std::string_view FirstCodePoints(std::string_view s, size_t count) {
  size_t seen = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((s[i] & 0xC0) != 0x80) {
      if (seen == count) return s.substr(0, i);
      ++seen;
    }
  }
  return s;
}

std::string Digits(uint64_t v, int base, int minDigits) {
  char buf[64];
  auto end = std::to_chars(buf, buf + sizeof buf, v, base).ptr;
  std::string s(buf, end);
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (static_cast<int>(s.size()) < minDigits) s.insert(0, minDigits - s.size(), '0');
  return s;
}

// The unsigned reading of an integer argument: 32 bits for a value of a 32-bit type.
uint64_t AsUnsigned(const tFormatArg& a) {
  return a.Wide ? static_cast<uint64_t>(a.Int) : static_cast<uint32_t>(a.Int);
}

class tParser {
 public:
  tParser(std::string_view format, std::initializer_list<tFormatArg> args)
      : format_(format), args_(args) {}

  std::string Run() {
    std::string out;
    size_t i = 0;
    while (i < format_.size()) {
      size_t pct = format_.find('%', i);
      if (pct == std::string_view::npos) pct = format_.size();
      out.append(format_.substr(i, pct - i));
      i = pct;
      if (i < format_.size()) i = Specifier(i + 1, out);
    }
    return out;
  }

 private:
  const tFormatArg& Next() {
    if (next_ >= args_.size()) NoArgument(format_);
    return args_.begin()[next_++];
  }

  // Digits or "*"; nothing when there is neither.
  std::optional<int> Number(size_t& i) {
    if (i < format_.size() && format_[i] == '*') {
      ++i;
      const tFormatArg& a = Next();
      if (a.Kind != tFormatArg::tKind::Integer) Invalid(format_);
      if (a.Int < -kMaxWidth || a.Int > kMaxWidth) Invalid(format_);
      return static_cast<int>(a.Int);
    }
    if (i >= format_.size() || format_[i] < '0' || format_[i] > '9') return std::nullopt;
    int v = 0;
    while (i < format_.size() && format_[i] >= '0' && format_[i] <= '9') {
      v = v * 10 + (format_[i++] - '0');
      if (v > kMaxWidth) Invalid(format_);
    }
    return v;
  }

  // One specifier after its "%"; returns the position after it.
  size_t Specifier(size_t i, std::string& out) {
    if (i < format_.size() && format_[i] == '%') {
      out += '%';
      return i + 1;
    }
    std::optional<int> n = Number(i);
    if (n && i < format_.size() && format_[i] == ':') {
      if (*n < 0) Invalid(format_);
      next_ = static_cast<size_t>(*n);
      ++i;
      n.reset();
    }
    bool left = false;
    if (!n && i < format_.size() && format_[i] == '-') {
      left = true;
      ++i;
    }
    if (!n) n = Number(i);
    int width = n.value_or(0);
    if (width < 0) {  // a negative width from "*" justifies left, as the C library does
      left = true;
      width = -width;
    }
    int precision = -1;
    if (i < format_.size() && format_[i] == '.') {
      ++i;
      precision = std::max(Number(i).value_or(0), -1);
    }
    if (i >= format_.size()) Invalid(format_);
    char type = static_cast<char>(std::tolower(static_cast<unsigned char>(format_[i++])));
    std::string piece = Convert(type, precision, Next());
    size_t chars = CodePoints(piece);
    if (chars < static_cast<size_t>(width)) {
      std::string pad(width - chars, ' ');
      piece = left ? piece + pad : pad + piece;
    }
    out += piece;
    return i;
  }

  std::string Convert(char type, int precision, const tFormatArg& a) {
    using K = tFormatArg::tKind;
    switch (type) {
      case 'd':
      case 'u':
      case 'x': {
        if (a.Kind != K::Integer) Invalid(format_);
        int minDigits = std::max(precision, 0);
        if (type == 'x') return Digits(AsUnsigned(a), 16, minDigits);
        if (type == 'u') return Digits(AsUnsigned(a), 10, minDigits);
        if (a.Unsigned || a.Int >= 0) return Digits(static_cast<uint64_t>(a.Int), 10, minDigits);
        std::string negative = Digits(0 - static_cast<uint64_t>(a.Int), 10, minDigits);
        negative.insert(negative.begin(), '-');
        return negative;
      }
      case 's':
        if (a.Kind != K::Text) Invalid(format_);
        if (precision >= 0) return std::string(FirstCodePoints(a.Text, precision));
        return a.Text;
      case 'f':
      case 'n': {
        double v;
        if (a.Kind == K::Float) {
          v = a.Float;
        } else if (a.Kind == K::Integer) {
          v = a.Unsigned && a.Wide ? static_cast<double>(static_cast<uint64_t>(a.Int))
                                   : static_cast<double>(a.Int);
        } else {
          Invalid(format_);
        }
        int decimals = precision < 0 ? 2 : std::min(precision, kMaxDecimals);
        tPlatform& p = Platform();
        return FormatFixed(v, decimals, type == 'n' ? p.ThousandSeparator() : std::string(),
                           p.DecimalSeparator());
      }
      default:
        Invalid(format_);
    }
  }

  std::string_view format_;
  std::initializer_list<tFormatArg> args_;
  size_t next_ = 0;
};

}  // namespace

std::string Format(std::string_view format, std::initializer_list<tFormatArg> args) {
  return tParser(format, args).Run();
}

std::string FormatFixed(double value, int decimals, std::string_view thousandSeparator,
                        std::string_view decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  decimals = std::clamp(decimals, 0, kMaxDecimals);

  // The value to 18 significant digits, d.ddd...e+XX; then rounded half away from zero at the
  // wanted decimal, on those digits (so 0.125 gives 0.13 where printf would give 0.12).
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                           kSignificantDigits - 1);
  std::string_view sci(buf, res.ptr - buf);
  size_t e = sci.find('e');
  std::string digits;
  for (char c : sci.substr(0, e))
    if (c != '.') digits += c;
  int exponent = 0;
  std::string_view exp = sci.substr(e + 1);
  if (!exp.empty() && exp[0] == '+') exp.remove_prefix(1);
  std::from_chars(exp.data(), exp.data() + exp.size(), exponent);

  // digits[k] is the digit of 10^(exponent - k).
  int keep = exponent + 1 + decimals;
  if (keep < static_cast<int>(digits.size())) {
    bool up = keep >= 0 && digits[keep] >= '5';
    digits.resize(std::max(keep, 0));
    if (up) {
      int k = keep - 1;
      while (k >= 0 && digits[k] == '9') digits[k--] = '0';
      if (k >= 0) {
        ++digits[k];
      } else {
        digits.insert(digits.begin(), '1');
        ++exponent;
      }
    }
  }
  auto digitAt = [&](int power) {
    int k = exponent - power;
    return k >= 0 && k < static_cast<int>(digits.size()) ? digits[k] : '0';
  };

  std::string integer;
  for (int power = std::max(exponent, 0); power >= 0; --power) {
    integer += digitAt(power);
    if (power > 0 && power % 3 == 0) integer.append(thousandSeparator);
  }
  std::string fraction;
  for (int power = -1; power >= -decimals; --power) fraction += digitAt(power);

  bool zero = digits.find_first_not_of('0') == std::string::npos;
  std::string out = value < 0 && !zero ? "-" : "";
  out += integer;
  if (decimals > 0) {
    out.append(decimalSeparator);
    out += fraction;
  }
  return out;
}
