// Stand-ins for the system's screen saver password libraries, which Wine does not have: the
// tests load this library in their place. The check answers what TAVIS_STANDIN_PASSWORD says
// ("1" correct); both calls append a line to the file named by TAVIS_STANDIN_LOG.
#include <windows.h>

#include <cstdio>

namespace {
void Log(const char* text, HWND window) {
  char path[MAX_PATH];
  if (!GetEnvironmentVariableA("TAVIS_STANDIN_LOG", path, MAX_PATH)) return;
  if (FILE* f = std::fopen(path, "ab")) {
    std::fprintf(f, "%s %llu\n", text, static_cast<unsigned long long>(
                                           reinterpret_cast<uintptr_t>(window)));
    std::fclose(f);
  }
}
}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  Log("verify", window);
  char answer[8] = "";
  GetEnvironmentVariableA("TAVIS_STANDIN_PASSWORD", answer, sizeof answer);
  return answer[0] == '1';
}

extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND window,
                                                                  DWORD, DWORD) {
  Log(provider && lstrcmpA(provider, "SCRSAVE") == 0 ? "change SCRSAVE" : "change other", window);
  return 0;
}
