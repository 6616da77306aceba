// A stand-in for the main program in the screen saver's tests: it writes the command line it
// was started with into "<its own path>.args" and ends.
#include <windows.h>

#include <cstdio>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  wchar_t path[MAX_PATH + 8];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  lstrcatW(path, L".args");
  FILE* f = _wfopen(path, L"wb");
  if (!f) return 1;
  const wchar_t* line = GetCommandLineW();
  std::fwrite(line, sizeof(wchar_t), lstrlenW(line), f);
  std::fclose(f);
  return 0;
}
