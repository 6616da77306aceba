// Program start-up: the application title, the main window, the message loop.
#include <windows.h>

#include <commctrl.h>

#include "foundation/uPlatformWin.h"
#include "framework/Application.h"
#include "imaging/formats/gWMFWin.h"
#include "resources/uResStrings.h"
#include "shell/ViewerForm.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int show) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  InstallWin32Platform();
  InstallMetafileReader();
  Application.Title = LoadResString(sProgramName);
  TViewerForm* form = Application.CreateForm<TViewerForm>();
  form->Show();
  if (show == SW_SHOWMINIMIZED || show == SW_MINIMIZE || show == SW_SHOWMINNOACTIVE)
    ShowWindow(form->Handle(), SW_MINIMIZE);
  else if (show == SW_SHOWMAXIMIZED)
    ShowWindow(form->Handle(), SW_MAXIMIZE);
  return Application.Run();
}
