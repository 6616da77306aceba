#include "foundation/uPlatform.h"

#include <ctime>

#include "foundation/uUtil.h"
#include "resources/uResStrings.h"

namespace {
tPlainPlatform& Plain() {
  static tPlainPlatform plain;
  return plain;
}
tPlatform* current = nullptr;
}  // namespace

tPlatform& Platform() { return current ? *current : Plain(); }
void SetPlatform(tPlatform* platform) { current = platform; }

void tPlainPlatform::FullScreenSize(int& width, int& height) {
  width = ScreenWidth;
  height = ScreenHeight;
}
int tPlainPlatform::ScreenColorBits() { return ColorBits; }
void tPlainPlatform::ScreenSize(int& width, int& height) {
  width = ScreenWidth;
  height = ScreenHeight;
}
std::string tPlainPlatform::CommandLine() { return CommandLineText; }
tWindowsVersion tPlainPlatform::WindowsVersion() { return Version; }
std::string tPlainPlatform::ResourceString(int id) { return CompiledResString(id); }
intptr_t tPlainPlatform::SendWindowMessage(intptr_t, unsigned, uintptr_t, intptr_t) { return 0; }
std::string tPlainPlatform::ThousandSeparator() { return ThousandSep; }
std::string tPlainPlatform::DecimalSeparator() { return DecimalSep; }

TDateTime tPlainPlatform::Now() {
  if (FixedNow != 0) return FixedNow;
  std::time_t now = std::time(nullptr);
  const std::tm* t = std::localtime(&now);
  if (!t) return 0;
  TDateTime date = 0;
  TryEncodeDate(t->tm_year + 1900, t->tm_mon + 1, t->tm_mday, date);
  return date + (t->tm_hour * 3600 + t->tm_min * 60 + t->tm_sec) / 86400.0;
}
