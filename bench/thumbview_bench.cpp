// The main window's first full thumbnail view of a folder: the window is made as the program
// makes it, its file list is switched to thumbnails, and the folder is opened; the time runs
// until the thumbnail pass has ended and the list has painted. Once with a new (empty) database,
// where every picture is decoded, then again with the database filled, after a visit to another
// folder. A Win32 program, run under Wine by bench/thumbview_bench.sh.
//   thumbview_bench FOLDER SCRATCH
// FOLDER: the pictures; SCRATCH: a new folder for the settings and the database.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "foundation/uFiles.h"
#include "foundation/uPlatformWin.h"
#include "framework/Application.h"
#include "framework/Text.h"
#include "imaging/formats/gWMFWin.h"
#include "shell/ViewerForm.h"

namespace {
double Seconds() {
  LARGE_INTEGER t, f;
  QueryPerformanceCounter(&t);
  QueryPerformanceFrequency(&f);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// Opens a folder and runs the window's messages until its thumbnail pass has ended and the
// list has painted; returns the seconds taken.
double ViewFolder(TViewerForm& form, const std::string& folder) {
  const double start = Seconds();
  form.Orvex_DirList1->SetDirectory(folder);
  // The change posts the start of the pass; each step then posts the next.
  Application.ProcessMessages();
  while (form.ThumbState() != 0 && !Application.Terminated) Application.HandleMessage();
  UpdateWindow(form.Orvex_FileList1->Handle());
  return Seconds() - start;
}

void Report(const char* what, int count, double seconds) {
  std::printf("%s: %d thumbnails in %.2f s, %.1f ms per picture\n", what, count, seconds,
              count > 0 ? seconds * 1000.0 / count : 0.0);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: thumbview_bench FOLDER SCRATCH\n");
    return 2;
  }
  const std::string folder = RemoveBackslash(WideToUtf8(argv[1]));
  const std::string scratch = RemoveBackslash(WideToUtf8(argv[2]));
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  InstallWin32Platform();
  InstallMetafileReader();
  // The browser start, with settings and database of the run's own.
  CreateDirectoryPath(scratch);
  StartCommandLine = "Tavishore32.exe";
  SettingsProgramFile = JoinPath(scratch, "Tavishore32.exe");

  TViewerForm* form = Application.CreateForm<TViewerForm>();
  form->Orvex_DirList1->SetDirectory(scratch);
  form->Show();
  if (!form->Thumbnails || !form->ThumbView) {
    std::fprintf(stderr, "thumbview_bench: no thumbnail database in %s\n", scratch.c_str());
    return 1;
  }
  if (!form->ShowsThumbnails()) form->ToggleThumbnailDisplay();
  Application.ProcessMessages();
  while (form->ThumbState() != 0) Application.HandleMessage();

  TOrvex_FileList& files = *form->Orvex_FileList1;
  const double empty = ViewFolder(*form, folder);
  const int made = files.ThumbnailCount();
  const int pictures = files.Count();
  ViewFolder(*form, scratch);
  const double filled = ViewFolder(*form, folder);
  const int shown = files.ThumbnailCount();
  std::printf("%d files in the folder, %u records in the database\n", pictures,
              form->Thumbnails->RecordCount());
  Report("database empty", made, empty);
  Report("database filled", shown, filled);
  const bool whole = made == pictures && shown == pictures;
  Application.DestroyComponents();
  return whole ? 0 : 1;
}
