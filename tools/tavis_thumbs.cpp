// Developer tool: brings a folder's thumbnails into a thumbnail database the way the main
// window's scan does (one directory entry per step: identify, decode, shrink, map, code, store)
// and reports the scan's counts. The thumbnail benchmark times it as a whole process.
//
//   tavis_thumbs [--full] DATABASE.thm FOLDER
//     --full   decode JPEG files at full size (no DCT scaling)
// Exit codes: 0 done, 2 database error, 3 usage.
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include "thumbnails/uThumbView.h"

int main(int argc, char** argv) {
  int arg = 1;
  bool full = false;
  if (arg < argc && std::strcmp(argv[arg], "--full") == 0) full = true, ++arg;
  if (argc - arg != 2) {
    std::fprintf(stderr, "usage: tavis_thumbs [--full] DATABASE.thm FOLDER\n");
    return 3;
  }
  RegisterAllFormats();
  try {
    tThumbnails db(argv[arg]);
    tDirectoryView view(db, nullptr, nullptr);
    view.OpenFolder(argv[arg + 1], "", 0, 3);
    view.BeginUpdate();
    if (full) view.Scanner().MinimumSide = 0;
    while (view.UpdateStep(0)) {
    }
    const auto& c = view.Counters();
    std::printf("%d seen, %d unchanged, %d stored, %d not pictures, %d skipped, %d vanished; "
                "%u records\n",
                c.Seen, c.Unchanged, c.Stored, c.NotIdentified, c.Skipped, c.Vanished,
                db.RecordCount());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tavis_thumbs: %s\n", e.what());
    return 2;
  }
  return 0;
}
