#include "screensaver/uSaverSystem.h"

#include <commctrl.h>

#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"
#include "foundation/uPlatformWin.h"
#include "foundation/uRegistry.h"
#include "framework/Application.h"
#include "framework/Text.h"
#include "imaging/formats/gWMFWin.h"
#include "resources/uResStrings.h"
#include "screensaver/ScreenSaverWindow.h"

std::string MainProgramPath, MainProgramFolder;
tSaverMode SaverMode = smRun;
HWND SaverParentWindow = nullptr;

std::string GetMainProgramPath(const std::string& maker, const std::string& product) {
  return MainProgramPathFromCommand(
      RegReadDefault(tRegRoot::LocalMachine, MainProgramCommandKey(maker, product)));
}

bool FindMainProgram() {
  MainProgramPath = GetMainProgramPath(LoadResString(sMakerName), LoadResString(sProgramName));
  MainProgramFolder = ExtractFilePath(MainProgramPath);
  return !MainProgramPath.empty();
}

void ChangeSaverPassword(HWND parent, const wchar_t* library) {
  using tPwdChangePassword = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
  HMODULE module = LoadLibraryW(library);
  if (!module) return;
  auto change =
      reinterpret_cast<tPwdChangePassword>(
          reinterpret_cast<void (*)()>(GetProcAddress(module, "PwdChangePasswordA")));
  if (change) change("SCRSAVE", parent, 0, 0);
  FreeLibrary(module);
}

bool VerifySaverPassword(HWND window, tSaverMode mode, const wchar_t* library) {
  if (mode != smRun) return true;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return true;
  DWORD type = 0, value = 0, size = sizeof value;
  const LONG read =
      RegQueryValueExW(key, L"ScreenSaveUsePassword", nullptr, &type,
                       reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value || value != 1) return true;
  using tVerifyScreenSavePwd = BOOL(WINAPI*)(HWND);
  HMODULE module = LoadLibraryW(library);
  if (!module) return true;
  bool result = true;
  if (auto verify = reinterpret_cast<tVerifyScreenSavePwd>(
          reinterpret_cast<void (*)()>(GetProcAddress(module, "VerifyScreenSavePwd"))))
    result = verify(window) != FALSE;
  FreeLibrary(module);
  return result;
}

HANDLE CreateInstanceSemaphore(const std::string& name) {
  HANDLE semaphore = CreateSemaphoreW(nullptr, 0, 1, Utf8ToWide(name).c_str());
  if (semaphore && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(semaphore);
    return nullptr;
  }
  return semaphore;
}

void CloseInstanceSemaphore(HANDLE& semaphore) {
  if (semaphore) CloseHandle(semaphore);
  semaphore = nullptr;
}

bool RunSettings(const std::string& programPath) {
  std::wstring command = Utf8ToWide(SettingsCommandLine(programPath));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

namespace {
// Handles messages until the parent is visible; false when it is gone first.
bool WaitUntilVisible(HWND parent) {
  while (IsWindow(parent) && !IsWindowVisible(parent)) {
    Application.ProcessMessages();
    if (Application.Terminated) return false;
    Sleep(30);
  }
  return IsWindow(parent) != FALSE;
}
}  // namespace

void ShowPreview(HWND parent, HICON icon) {
  if (!parent || !IsWindow(parent) || !WaitUntilVisible(parent)) return;
  RECT r{};
  GetWindowRect(parent, &r);
  const int w = r.right - r.left + 1, h = r.bottom - r.top + 1;
  if (w < 34 || h < 34) return;
  HDC dc = GetDC(parent);
  HDC back = CreateCompatibleDC(dc), work = CreateCompatibleDC(dc);
  HBITMAP backBitmap = CreateCompatibleBitmap(dc, w, h), workBitmap = CreateCompatibleBitmap(dc, w, h);
  HGDIOBJ oldBack = SelectObject(back, backBitmap), oldWork = SelectObject(work, workBitmap);
  HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_BACKGROUND));
  const RECT all{0, 0, w, h};
  FillRect(back, &all, brush);
  DeleteObject(brush);
  int x = w / 2 - 16, y = h / 2 - 16, dx = 1, dy = 1;
  // A parent that is destroyed (not only hidden) ends the preview too, so that the semaphore
  // is given back and the saver can run again.
  while (IsWindow(parent) && IsWindowVisible(parent) && !Application.Terminated) {
    BitBlt(work, 0, 0, w, h, back, 0, 0, SRCCOPY);
    if (icon) DrawIconEx(work, x, y, icon, 32, 32, 0, nullptr, DI_NORMAL);
    BitBlt(dc, 0, 0, w, h, work, 0, 0, SRCCOPY);
    Sleep(30);
    Application.ProcessMessages();
    if (x <= 0 || x + 33 >= w) dx = x <= 0 ? 1 : -1;
    if (y <= 0 || y + 33 >= h) dy = y <= 0 ? 1 : -1;
    x += dx;
    y += dy;
  }
  SelectObject(back, oldBack);
  SelectObject(work, oldWork);
  DeleteObject(backBitmap);
  DeleteObject(workBitmap);
  DeleteDC(back);
  DeleteDC(work);
  ReleaseDC(parent, dc);
}

int ScreenSaverStartup() {
  InstallWin32Platform();
  if (!FindMainProgram()) return 0;
  uintptr_t parent = 0;
  const auto args = SplitArguments(Platform().CommandLine());
  SaverMode = GetSaverMode(args, parent);
  SaverParentWindow = reinterpret_cast<HWND>(parent);
  if (SaverMode == smChangePassword) {
    ChangeSaverPassword(SaverParentWindow);
    return 0;
  }
  if (SaverMode == smConfigure) return RunSettings(MainProgramPath) ? 0 : 1;

  HANDLE semaphore = CreateInstanceSemaphore(InstanceSemaphoreName(LoadResString(sProgramName)));
  if (!semaphore) return 0;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  InstallMetafileReader();
  Application.Title = LoadResString(sProgramName) + " Screen Saver";
  int code = 0;
  if (SaverMode == smPreview) {
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    ShowPreview(SaverParentWindow, icon ? icon : LoadIconW(nullptr, IDI_APPLICATION));
  } else if (SaverMode == smRun) {
    Application.CreateForm<TScreenSaver>(MainProgramPath)->Show();
    code = Application.Run();
  }
  CloseInstanceSemaphore(semaphore);
  return code;
}
