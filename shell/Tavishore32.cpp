// Program start-up. Until the main window is built this opens a plain window that says what the
// program is, and ends when it is closed.
#include <windows.h>
#include <commctrl.h>

#include "foundation/uIdentity.h"
#include "foundation/uPlatformWin.h"
#include "framework/Application.h"
#include "framework/Text.h"
#include "framework/Window.h"
#include "resources/uResStrings.h"

namespace {
class TStartWindow : public TWindow {
 protected:
  const wchar_t* ClassName() const override { return L"TavisStartWindow"; }
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override {
    switch (message) {
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        RECT r;
        GetClientRect(Handle(), &r);
        SetBkMode(dc, TRANSPARENT);
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        std::wstring text = Utf8ToWide(ProgramNameAndVersion() +
                                       "\n\nPicture viewer and file browser.\n"
                                       "The main window is not built yet.");
        DrawTextW(dc, text.c_str(), -1, &r, DT_CENTER | DT_WORDBREAK);
        EndPaint(Handle(), &ps);
        return 0;
      }
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return TWindow::WndProc(message, w, l);
  }
};
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int show) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  InstallWin32Platform();
  Application.Title = LoadResString(sProgramName);
  TStartWindow window;
  if (!window.Create(Application.Title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 420,
                     200))
    return 1;
  window.Show(show);
  return Application.Run();
}
