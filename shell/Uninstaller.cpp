// "uninstall.exe": started by the program's "/u" as a copy in the temporary folder with its own
// path and the program's process id. It waits for the program to end, so that no program file
// is still in use, then carries out "uninstal.txt" beside itself and deletes that list. Its own
// copy is left to the rename entry the program wrote for the next system start.
#include <windows.h>

#include "foundation/uFiles.h"
#include "foundation/uPlatformWin.h"
#include "foundation/uUtilWin.h"
#include "framework/Text.h"
#include "shell/uUninstaller.h"

namespace {
constexpr DWORD kWaitForProgram = 120000;  // a program that hangs on its way out does not keep us
constexpr int kTries = 10;                 // a file can stay locked a moment after its process ends
constexpr DWORD kPause = 300;

int RunUninstaller() {
  InstallWin32Platform();
  const tUninstallerArguments arguments =
      ParseUninstallerArguments(WideToUtf8(GetCommandLineW()));
  if (arguments.ProcessId != 0) {
    if (HANDLE program = OpenProcess(SYNCHRONIZE, FALSE, arguments.ProcessId)) {
      WaitForSingleObject(program, kWaitForProgram);
      CloseHandle(program);
    }
  }
  const std::string list = ExtractFilePath(ModuleFileName()) + "uninstal.txt";
  const std::vector<tUninstallStep> steps = ParseUninstallList(LoadStringFromFile(list));
  const tRemoveFolder removeFolder = [](const std::string& folder) {
    return RemoveDirectoryW(Utf8ToWide(folder).c_str()) != 0;
  };
  int left = CarryOutUninstallList(steps, removeFolder);
  for (int attempt = 1; left > 0 && attempt < kTries; ++attempt) {
    Sleep(kPause);
    left = CarryOutUninstallList(steps, removeFolder);
  }
  DeleteFileW(Utf8ToWide(list).c_str());
  return left == 0 ? 0 : 1;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return RunUninstaller(); }
