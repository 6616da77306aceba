#include "foundation/uPlatformWin.h"

#include <windows.h>

#include "foundation/uPlatform.h"
#include "foundation/uPlatformWinFiles.h"
#include "foundation/uRegistryWin.h"
#include "foundation/uUtil.h"
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

  TDateTime Now() override { return Win32Now(); }
  tFormatSettings FormatSettings() override { return Win32FormatSettings(); }
  int CompareTextLocale(const std::string& a, const std::string& b) override {
    return Win32CompareTextLocale(a, b);
  }
  std::string LocaleSortKey(const std::string& text) override { return Win32LocaleSortKey(text); }
  std::string WindowsFolder() override { return Win32WindowsFolder(); }
  std::string EnvVariable(const std::string& name) override { return Win32EnvVariable(name); }
  std::string AssociatedProgram(const std::string& path) override {
    return Win32AssociatedProgram(path);
  }
  bool FindItems(const std::string& pattern, std::vector<tFoundItem>& items) override {
    return Win32FindItems(pattern, items);
  }
  uint32_t ItemAttributes(const std::string& path) override { return Win32ItemAttributes(path); }
  bool SetItemDosTime(const std::string& path, uint32_t dosTime) override {
    return Win32SetItemDosTime(path, dosTime);
  }
  bool SetItemAttributes(const std::string& path, uint32_t attributes) override {
    return Win32SetItemAttributes(path, attributes);
  }
  bool MakeFolder(const std::string& path) override { return Win32MakeFolder(path); }
  bool RemoveFile(const std::string& path) override { return Win32RemoveFile(path); }
  bool ReplaceFile(const std::string& from, const std::string& to) override {
    return Win32ReplaceFile(from, to);
  }
  uint32_t ExchangeErrorMode(uint32_t mode) override { return Win32ExchangeErrorMode(mode); }
  bool DiskFreeBytes(const std::string& root, uint64_t& freeBytes, uint64_t& totalBytes) override {
    return Win32DiskFreeBytes(root, freeBytes, totalBytes);
  }
  bool DiskClusters(const std::string& root, uint32_t& sectorsPerCluster, uint32_t& bytesPerSector,
                    uint32_t& freeClusters, uint32_t& totalClusters) override {
    return Win32DiskClusters(root, sectorsPerCluster, bytesPerSector, freeClusters, totalClusters);
  }

  std::string TempFolder() override {
    wchar_t path[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, path);
    if (n == 0 || n > MAX_PATH) return std::string();
    return WideToUtf8(std::wstring(path, n));  // ends with a backslash
  }
  uint32_t ProcessId() override { return GetCurrentProcessId(); }
  uint32_t SysColor(int index) override { return GetSysColor(index); }
  // Read at each call, so a change in the control panel shows at once.
  std::string ThousandSeparator() override { return LocaleText(LOCALE_STHOUSAND); }
  std::string DecimalSeparator() override { return LocaleText(LOCALE_SDECIMAL); }
  tRegistryStore& Registry() override { return Win32Registry(); }

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
