// Developer tool for the benchmarks: batch convert every file of a folder (as the batch convert
// window steps through a list, through the save pipeline), or the folder-size scan of a tree.
//   tavis_batch convert FOLDER FORMAT [QUALITY]   FORMAT: gif pcx bmp tga tif jpg png
//   tavis_batch scan ROOT
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/uGraphic.h"
#include "shell/uBatchConvert.h"
#include "shell/uSTreeScan.h"

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "convert") == 0) {
    static const char* const kFormats[] = {"gif", "pcx", "bmp", "tga", "tif", "jpg", "png"};
    TSaveOptions o;
    o.Format = -1;
    for (int i = 0; i < 7; ++i)
      if (std::strcmp(argv[3], kFormats[i]) == 0) o.Format = i;
    if (o.Format < 0) return 2;
    o.Colors = 280;
    o.JpegQuality = argc > 4 ? std::atoi(argv[4]) : 75;
    std::string folder = argv[2];
    if (folder.back() != '/') folder += '/';
    std::vector<std::string> files = {folder};
    for (const auto& e : std::filesystem::directory_iterator(folder))
      if (e.is_regular_file()) files.push_back(e.path().filename().string());
    RegisterAllFormats();
    tBatchConvertRun run(files, o, "", BatchSaveThroughPipeline);
    while (run.Step()) {
    }
    std::printf("%s\n", run.ReportText().c_str());
    return run.Failed == 0 ? 0 : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "scan") == 0) {
    std::string root = argv[2];
    if (root.back() != '/') root += '/';
    tSTreeScan scan;
    scan.Scan(root);
    std::printf("%zu folders, %s files, %s bytes, %s on disk\n", scan.Records().size(),
                scan.GetStatText(0, 9).c_str(), scan.GetStatText(0, 10).c_str(),
                scan.GetStatText(0, 11).c_str());
    return 0;
  }
  std::fprintf(stderr, "usage: tavis_batch convert FOLDER FORMAT [QUALITY] | scan ROOT\n");
  return 2;
}
