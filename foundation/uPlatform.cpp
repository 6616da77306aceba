#include "foundation/uPlatform.h"

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
std::string tPlainPlatform::CommandLine() { return CommandLineText; }
tWindowsVersion tPlainPlatform::WindowsVersion() { return Version; }
std::string tPlainPlatform::ResourceString(int id) { return CompiledResString(id); }
intptr_t tPlainPlatform::SendWindowMessage(intptr_t, unsigned, uintptr_t, intptr_t) { return 0; }
std::string tPlainPlatform::ThousandSeparator() { return ThousandSep; }
std::string tPlainPlatform::DecimalSeparator() { return DecimalSep; }
