// Format: the program's texts are built with Delphi's format language, so this follows its
// rules: "%" [index ":"] ["-"] [width] ["." precision] type, where index, width and precision
// may be "*" (taken from the argument list), and type is one of
//   d  decimal integer; precision = minimum digits
//   u  unsigned decimal integer
//   x  hexadecimal integer, upper-case digits; precision = minimum digits
//   s  text (or a character); precision = maximum characters
//   f  fixed-point number; precision = decimals (default 2)
//   n  like f, with thousands separators
// and "%%" gives "%". The decimal and thousands separators are the user's locale's (Platform()).
// Numbers round half away from zero on their decimal digits, as Delphi does.
// Widths and precisions count characters (UTF-8 code points), not bytes, so columns line up.
// A bad format, a missing argument or an argument of the wrong kind throws EConvertError.
#pragma once
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "foundation/uTypes.h"

class tFormatArg {
 public:
  enum class tKind { Integer, Float, Text };

  template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, char>) tFormatArg(T v)
      : Kind(tKind::Integer),
        Int(static_cast<int64_t>(v)),
        Wide(sizeof(T) > 4),
        Unsigned(std::unsigned_integral<T>) {}
  tFormatArg(char c) : Kind(tKind::Text), Text(1, c) {}
  tFormatArg(double v) : Kind(tKind::Float), Float(v) {}
  tFormatArg(float v) : Kind(tKind::Float), Float(v) {}
  tFormatArg(long double v) : Kind(tKind::Float), Float(static_cast<double>(v)) {}
  tFormatArg(const char* s) : Kind(tKind::Text), Text(s ? s : "") {}
  tFormatArg(std::string_view s) : Kind(tKind::Text), Text(s) {}
  tFormatArg(const std::string& s) : Kind(tKind::Text), Text(s) {}
  // A Boolean has no format type; catch the mistake when compiling.
  tFormatArg(bool) = delete;

  tKind Kind;
  int64_t Int = 0;        // Integer: the value (a 64-bit unsigned value keeps its bit pattern)
  bool Wide = false;      // Integer: came from a 64-bit type (matters for x and u of negatives)
  bool Unsigned = false;  // Integer: came from an unsigned type
  double Float = 0;
  std::string Text;
};

std::string Format(std::string_view format, std::initializer_list<tFormatArg> args = {});

// Fixed-point text of a number with the given decimals (0..18), rounded half away from zero,
// with or without thousands separators; the separators are passed in.
std::string FormatFixed(double value, int decimals, std::string_view thousandSeparator,
                        std::string_view decimalSeparator);
