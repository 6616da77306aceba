// Entry point of the Windows test programs: the Win32 platform and common controls are set up
// as the programs set them up, then GoogleTest runs.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "foundation/uPlatformWin.h"

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  InstallWin32Platform();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
