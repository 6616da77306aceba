// Program start-up: the readers and dialogs the windows reach through hooks, the application
// title, help, the splash on an ordinary start, the first main window and the shared dialog form,
// the show command, the message loop.
#include <windows.h>

#include <commctrl.h>

#include "foundation/uPlatformWin.h"
#include "framework/Application.h"
#include "framework/Help.h"
#include "imaging/formats/gWMFWin.h"
#include "resources/uResStrings.h"
#include "shell/BatchConvertWindow.h"
#include "shell/Splash.h"
#include "shell/ViewerForm.h"
#include "shell/uStartup.h"
#include "viewers/picture/PictureDialogs.h"
#include "viewers/print/PrintingForm.h"

namespace {
int ProgramStartup(int show) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  InstallWin32Platform();
  InstallMetafileReader();
  ConnectPictureDialogs();
  InstallBatchConvertPipeline();
  Application.Title = LoadResString(sProgramName);
  // F1 and every Help button open the program's help file (named by the main window).
  InstallHelp();
  PrintingFrmHelpContext = 18;
  if (IsNormalShow(show)) ShowSplashIfNormal();
  Application.CreateForm<TViewerForm>();
  OKBottomDlg = Application.CreateForm<TOKBottomDlg>();
  if (IsNormalShow(show)) CloseSplashWhenDue();
  // A file start and the other modes keep the window hidden; the browser shows as started.
  // The window state is set before the window first shows.
  if (ViewerForm && ViewerForm->Interactive) {
    if (IsMinimizedShow(show))
      ShowWindow(ViewerForm->Handle(), SW_SHOWMINNOACTIVE);
    else if (IsMaximizedShow(show))
      ShowWindow(ViewerForm->Handle(), SW_SHOWMAXIMIZED);
    ViewerForm->Show();
  }
  return Application.Run();
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int show) { return ProgramStartup(show); }
