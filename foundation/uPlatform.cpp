#include "foundation/uPlatform.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <filesystem>
#include <system_error>

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

std::string tPlainPlatform::TempFolder() {
  std::string folder = TempFolderText;
  if (folder.empty()) {
    std::error_code ec;
    std::u8string path = std::filesystem::temp_directory_path(ec).u8string();
    folder.assign(path.begin(), path.end());
  }
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
    folder += static_cast<char>(std::filesystem::path::preferred_separator);
  return folder;
}

uint32_t tPlainPlatform::ProcessId() {
#ifdef _WIN32
  return static_cast<uint32_t>(_getpid());
#else
  return static_cast<uint32_t>(getpid());
#endif
}
uint32_t tPlainPlatform::SysColor(int index) {
  // COLOR_SCROLLBAR (0) to COLOR_MENUBAR (30) of the classic Windows scheme, as 0x00BBGGRR.
  static const uint32_t kClassic[31] = {
      0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
      0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
      0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
      0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x6A240A, 0xC8D0D4};
  return index >= 0 && index < 31 ? kClassic[index] : 0;
}

std::string tPlainPlatform::ThousandSeparator() { return ThousandSep; }
std::string tPlainPlatform::DecimalSeparator() { return DecimalSep; }

tRegistryStore& tPlainPlatform::Registry() { return MemRegistry; }
