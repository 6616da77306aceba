#include "foundation/uPlatformWinFiles.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "foundation/uFiles.h"
#include "foundation/uLocaleText.h"
#include "framework/Text.h"

namespace {

std::string LocaleText(LCTYPE item, const char* fallback) {
  wchar_t buf[128];
  const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, item, buf, 128);
  return n > 1 ? WideToUtf8(std::wstring(buf, static_cast<size_t>(n - 1))) : fallback;
}

uint32_t DosTimeOf(const FILETIME& written) {
  FILETIME local;
  WORD date = 0, time = 0;
  if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToDosDateTime(&local, &date, &time))
    return 0;
  return (static_cast<uint32_t>(date) << 16) | time;
}

}  // namespace

TDateTime Win32Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  tDateTimeFields f;
  f.Year = st.wYear;
  f.Month = st.wMonth;
  f.Day = st.wDay;
  f.Hour = st.wHour;
  f.Minute = st.wMinute;
  f.Second = st.wSecond;
  f.Millisecond = st.wMilliseconds;
  return EncodeDateTime(f);
}

tFormatSettings Win32FormatSettings() {
  tFormatSettings s;
  s.ShortDateFormat = LocaleText(LOCALE_SSHORTDATE, "M/d/yyyy");
  s.LongTimeFormat = LocaleText(LOCALE_STIMEFORMAT, "h:mm:ss tt");
  s.TimeAMString = LocaleText(LOCALE_S1159, "");
  s.TimePMString = LocaleText(LOCALE_S2359, "");
  for (int i = 0; i < 12; ++i) {
    s.ShortMonthNames[i] = LocaleText(LOCALE_SABBREVMONTHNAME1 + i, s.ShortMonthNames[i].c_str());
    s.LongMonthNames[i] = LocaleText(LOCALE_SMONTHNAME1 + i, s.LongMonthNames[i].c_str());
  }
  // The locale counts days from Monday (1) to Sunday (7); the settings from Sunday.
  for (int i = 0; i < 7; ++i) {
    const int item = i == 0 ? 6 : i - 1;
    s.ShortDayNames[i] = LocaleText(LOCALE_SABBREVDAYNAME1 + item, s.ShortDayNames[i].c_str());
    s.LongDayNames[i] = LocaleText(LOCALE_SDAYNAME1 + item, s.LongDayNames[i].c_str());
  }
  return s;
}

int Win32CompareTextLocale(const std::string& a, const std::string& b) {
  const std::wstring wa = Utf8ToWide(a), wb = Utf8ToWide(b);
  const int result =
      CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.data(), static_cast<int>(wa.size()),
                     wb.data(), static_cast<int>(wb.size()));
  if (result == 0) return wa < wb ? -1 : wa == wb ? 0 : 1;
  return result - CSTR_EQUAL;
}

std::string Win32LocaleSortKey(const std::string& text) {
  // LCMapString's sort keys compare as CompareString does with the same flags.
  const std::wstring wide = Utf8ToWide(text);
  constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int length = static_cast<int>(wide.size());
  const int n = LCMapStringW(LOCALE_USER_DEFAULT, kFlags, wide.data(), length, nullptr, 0);
  std::string key(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n <= 0 || LCMapStringW(LOCALE_USER_DEFAULT, kFlags, wide.data(), length,
                             reinterpret_cast<LPWSTR>(key.data()), n) != n)
    return text;
  key.pop_back();  // the closing NUL
  return key;
}

std::string Win32WindowsFolder() {
  wchar_t buf[MAX_PATH + 1];
  const UINT n = GetWindowsDirectoryW(buf, MAX_PATH + 1);
  return n > 0 && n <= MAX_PATH ? WideToUtf8(std::wstring(buf, n)) : std::string();
}

std::string Win32EnvVariable(const std::string& name) {
  const std::wstring wname = Utf8ToWide(name);
  const DWORD size = GetEnvironmentVariableW(wname.c_str(), nullptr, 0);
  if (size == 0) return "";
  std::wstring value(size, L'\0');
  const DWORD n = GetEnvironmentVariableW(wname.c_str(), value.data(), size);
  if (n == 0 || n >= size) return "";
  value.resize(n);
  return WideToUtf8(value);
}

std::string Win32AssociatedProgram(const std::string& path) {
  const std::wstring name = Utf8ToWide(ExtractFileName(path));
  const std::wstring folder = Utf8ToWide(ExtractFilePath(path));
  wchar_t program[MAX_PATH + 1] = {};
  const auto result = reinterpret_cast<INT_PTR>(
      FindExecutableW(name.c_str(), folder.empty() ? nullptr : folder.c_str(), program));
  return result > 32 ? WideToUtf8(program) : std::string();
}

bool Win32FindItems(const std::string& pattern, std::vector<tFoundItem>& items) {
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileW(Utf8ToWide(pattern).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  do {
    tFoundItem item;
    item.Name = WideToUtf8(data.cFileName);
    item.Size =
        static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    item.Attributes = data.dwFileAttributes;
    item.DosTime = DosTimeOf(data.ftLastWriteTime);
    items.push_back(std::move(item));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return true;
}

uint32_t Win32ItemAttributes(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes == INVALID_FILE_ATTRIBUTES ? kNoFileAttributes : attributes;
}

bool Win32SetItemDosTime(const std::string& path, uint32_t dosTime) {
  FILETIME local, utc;
  if (!DosDateTimeToFileTime(static_cast<WORD>(dosTime >> 16), static_cast<WORD>(dosTime),
                             &local) ||
      !LocalFileTimeToFileTime(&local, &utc))
    return false;
  const HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = SetFileTime(file, nullptr, nullptr, &utc) != 0;
  CloseHandle(file);
  return ok;
}

bool Win32SetItemAttributes(const std::string& path, uint32_t attributes) {
  constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  const DWORD bits = attributes & kSettable;
  return SetFileAttributesW(Utf8ToWide(path).c_str(), bits ? bits : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool Win32MakeFolder(const std::string& path) {
  return CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr) != 0;
}

bool Win32RemoveFile(const std::string& path) { return DeleteFileW(Utf8ToWide(path).c_str()) != 0; }

bool Win32ReplaceFile(const std::string& from, const std::string& to) {
  return MoveFileExW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(), MOVEFILE_REPLACE_EXISTING) !=
         0;
}

uint32_t Win32ExchangeErrorMode(uint32_t mode) { return SetErrorMode(mode); }

bool Win32DiskFreeBytes(const std::string& root, uint64_t& freeBytes, uint64_t& totalBytes) {
  ULARGE_INTEGER available, total, totalFree;
  if (!GetDiskFreeSpaceExW(Utf8ToWide(root).c_str(), &available, &total, &totalFree)) return false;
  freeBytes = totalFree.QuadPart;
  totalBytes = total.QuadPart;
  return true;
}

bool Win32DiskClusters(const std::string& root, uint32_t& sectorsPerCluster,
                       uint32_t& bytesPerSector, uint32_t& freeClusters, uint32_t& totalClusters) {
  DWORD spc = 0, bps = 0, freeC = 0, totalC = 0;
  if (!GetDiskFreeSpaceW(Utf8ToWide(root).c_str(), &spc, &bps, &freeC, &totalC)) return false;
  sectorsPerCluster = spc;
  bytesPerSector = bps;
  freeClusters = freeC;
  totalClusters = totalC;
  return true;
}
