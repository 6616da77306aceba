// Debian's own tools from a Windows test under Wine: the Unix name of a Windows path, and a
// Unix program started with a result file that it writes whole (written beside and renamed), so
// the test waits for the file rather than for the program's end, which Wine does not always see.
#pragma once
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/TestSupport.h"

namespace testsupport {

// The Unix name of a Windows path; "" outside Wine.
inline std::string UnixFileName(const std::filesystem::path& path) {
  using tUnixName = char*(CDECL*)(const wchar_t*);
  auto unixName = reinterpret_cast<tUnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (!unixName) return "";
  char* name = unixName(path.wstring().c_str());
  if (!name) return "";
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

// Runs the Unix program with its arguments (each quoted) and returns the content of result once
// the program has made it; "" when it never does.
inline std::string RunUnixForResult(const std::string& program, const std::vector<std::string>& args,
                                    const std::filesystem::path& result, int seconds = 120) {
  std::error_code ec;
  std::filesystem::remove(result, ec);
  std::wstring cmd = std::wstring(program.begin(), program.end());
  for (const std::string& a : args) cmd += L" \"" + std::filesystem::path(a).wstring() + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return "";
  CloseHandle(pi.hThread);
  for (int i = 0; i < seconds * 10 && !std::filesystem::exists(result); ++i) Sleep(100);
  CloseHandle(pi.hProcess);
  const auto bytes = ReadFile(result);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace testsupport
