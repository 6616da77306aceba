#include "foundation/uPlatformWin.h"

#include <windows.h>

#include "foundation/uPlatform.h"
#include "framework/Text.h"

namespace {

class tWin32Platform : public tPlatform {
 public:
  void FullScreenSize(int& width, int& height) override {
    width = GetSystemMetrics(SM_CXFULLSCREEN);
    height = GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION);
  }
  void ScreenSize(int& width, int& height) override {
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
  }
  int ScreenColorBits() override {
    HDC dc = GetDC(nullptr);
    int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    ReleaseDC(nullptr, dc);
    return bits;
  }
  std::string CommandLine() override { return WideToUtf8(GetCommandLineW()); }
  tWindowsVersion WindowsVersion() override {
    // GetVersionEx is what the version tests were defined on; the manifest-free answer is fine.
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&info);
#pragma GCC diagnostic pop
    tWindowsVersion v;
    v.PlatformId = static_cast<int>(info.dwPlatformId);
    v.Major = static_cast<int>(info.dwMajorVersion);
    v.Minor = static_cast<int>(info.dwMinorVersion);
    v.Build = info.dwBuildNumber;
    return v;
  }
  std::string ResourceString(int id) override {
    const wchar_t* text = nullptr;
    // Length 0 returns a read-only pointer to the resource itself, with no length limit.
    int n = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id),
                        reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? WideToUtf8(std::wstring(text, static_cast<size_t>(n))) : std::string();
  }
  intptr_t SendWindowMessage(intptr_t window, unsigned message, uintptr_t wparam,
                             intptr_t lparam) override {
    if (window == 0) return 0;
    return SendMessageW(reinterpret_cast<HWND>(window), message, wparam, lparam);
  }
  uint32_t SysColor(int index) override { return GetSysColor(index); }
  // Read at each call, so a change in the control panel shows at once.
  std::string ThousandSeparator() override { return LocaleText(LOCALE_STHOUSAND); }
  std::string DecimalSeparator() override { return LocaleText(LOCALE_SDECIMAL); }

 private:
  static std::string LocaleText(LCTYPE item) {
    wchar_t buf[16];  // the locale allows at most four characters for a separator
    int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, item, buf, 16);
    return n > 1 ? WideToUtf8(std::wstring(buf, static_cast<size_t>(n - 1))) : std::string();
  }
};

}  // namespace

void InstallWin32Platform() {
  static tWin32Platform platform;
  SetPlatform(&platform);
}
