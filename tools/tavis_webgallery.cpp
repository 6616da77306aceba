// Developer tool: builds the web gallery of a folder's GIF and JPEG pictures the way the "Build
// Web Page" dialog does with its default settings (a JPEG thumbnail and a page per picture, a
// main page of five columns) and reports what it wrote. The web gallery benchmark times it as a
// whole process.
//
//   tavis_webgallery FOLDER
// Exit codes: 0 done, 2 a file could not be written, 3 usage.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <exception>
#include <string>
#include <vector>

#include "imaging/uGraphic.h"
#include "thumbnails/uWebExport.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tavis_webgallery FOLDER\n");
    return 3;
  }
  RegisterAllFormats();
  std::string folder = argv[1];
  if (folder.empty() || folder.back() != '/') folder += '/';
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  // The order a folder listing gives, as the file list would: by name.
  std::sort(names.begin(), names.end());
  tWebPictureSource source;
  tWebGallery gallery(tWebPageSettings{}, folder, WebGalleryNames(names), source);
  int red = 0;
  gallery.OnLog = [&](uint32_t color, const std::string& line) {
    if (color == tWebGallery::kLogRed) {
      std::fprintf(stderr, "tavis_webgallery: %s\n", line.c_str());
      ++red;
    }
  };
  try {
    if (!gallery.Build()) return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tavis_webgallery: %s\n", e.what());
    return 2;
  }
  std::printf("%d pictures published, main page %s\n", gallery.PictureCount(),
              gallery.PageFileName.c_str());
  return red == 0 ? 0 : 2;
}
