// Time from the process's start to the first full paint of a picture in its window: the program
// starts, registers the formats, opens the file in a picture window and decodes it; the time is
// taken when the window has painted the whole picture. Prints "first full paint: N ms".
#include <windows.h>

#include <commctrl.h>

#include <cstdio>

#include "foundation/uBuffStream.h"
#include "foundation/uPlatformWin.h"
#include "framework/Application.h"
#include "framework/Text.h"
#include "imaging/formats/gWMFWin.h"
#include "imaging/uGraphic.h"
#include "viewers/picture/PictureWindow.h"

namespace {
double MillisecondsSinceStart() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimeAsFileTime(&now);
  auto ticks = [](const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}
// User and kernel time of this process: on a loaded machine the fairer figure.
double CpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ticks = [](const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: picture_window_bench FILE\n");
    return 2;
  }
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  InstallWin32Platform();
  InstallMetafileReader();
  RegisterAllFormats();
  const std::string name = WideToUtf8(argv[1]);
  std::unique_ptr<TStream> file = OpenFileStream(name);
  if (!file) return 1;
  auto stream = std::make_unique<tBuffStream>(name, std::move(file), false);
  if (!OpenPictureWindow(nullptr, stream.get(), 0)) return 1;
  stream.release();
  TPictureWindow* w = nullptr;
  for (TForm* f : Screen.Forms)
    if (auto* p = dynamic_cast<TPictureWindow*>(f)) w = p;
  if (!w) return 1;
  // Whole picture decoded and drawn once: a paint of an earlier part does not count, so the paint
  // box must have nothing left to draw after the decoder finished.
  auto drawnWhole = [w] {
    return w->StatusMode == psDone && w->Painted && w->Decoder && !w->Decoder->Busy &&
           !GetUpdateRect(w->PaintBox->Handle(), nullptr, FALSE);
  };
  while (!drawnWhole()) {
    Application.HandleMessage();
    if (Application.Terminated) return 1;
  }
  std::printf("first full paint: %.0f ms (%dx%d), cpu %.0f ms\n", MillisecondsSinceStart(),
              w->Decoder->Width, w->Decoder->Height, CpuMilliseconds());
  return 0;
}
