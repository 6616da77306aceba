// Small value types shared by the whole program: rectangles and points as Win32 lays them out,
// the date value of the original program, and the conversion error its routines raise.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

struct TPoint {
  int32_t X = 0, Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Right and Bottom are exclusive where Win32 says so (PtInRect); the fitting routines build
// inclusive rectangles, as their callers draw them.
struct TRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  friend bool operator==(const TRect&, const TRect&) = default;
};

// Days since 1899-12-30 with the time of day as the fraction: stored settings and date texts
// depend on this epoch.
using TDateTime = double;

// A text or value that cannot be converted (a bad format, a missing argument, an invalid date).
class EConvertError : public std::runtime_error {
 public:
  explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};
