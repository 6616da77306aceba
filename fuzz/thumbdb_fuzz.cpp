// Opens a thumbnail database made of hostile files: the input is split into the five files
// (".th0" to ".th4") at 0xFF 0xFE 0xFD markers. Then the statistics scan, every thumbnail
// read back, a pack, and the lists. Nothing may crash, overrun or allocate without bound; I/O
// errors of damaged data are allowed.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/uBuffStream.h"
#include "thumbnails/uThumbMake.h"

namespace {

std::string Folder() {
  static const std::string folder = [] {
    auto dir = std::filesystem::temp_directory_path() /
               ("thumbdb_fuzz_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir.string();
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 200000) return 0;
  const std::string base = Folder() + "/db.thm";
  std::vector<std::vector<uint8_t>> parts(5);
  size_t part = 0;
  for (size_t i = 0; i < size; ++i) {
    if (part < 4 && i + 2 < size && data[i] == 0xFF && data[i + 1] == 0xFE && data[i + 2] == 0xFD) {
      ++part;
      i += 2;
      continue;
    }
    parts[part].push_back(data[i]);
  }
  for (int n = 0; n < 5; ++n) {
    const std::string name = ThumbnailFileName(base, ".th" + std::to_string(n));
    std::remove(name.c_str());
    if (parts[size_t(n)].empty() && n != 0) continue;
    auto out = CreateFileStream(name);
    if (out && !parts[size_t(n)].empty())
      out->Write(parts[size_t(n)].data(), static_cast<int32_t>(parts[size_t(n)].size()));
  }
  try {
    tThumbnails db(base);
    for (uint32_t r = 1; r <= db.RecordCount() && r <= 64; ++r) {
      tMemBmpPtr picture;
      std::string caption;
      try {
        ReadThumbnail(db, r, nullptr, &picture, &caption);
      } catch (const EInOutError&) {
      }
    }
    db.VolumeLabelOf(1);
    db.VolumeNumberOf("Tavis000001");
    db.IsFolderInOmitList("C:\\Pics", false);
    TThumbnailStats stats;
    db.GetStatistics(stats);
    db.Pack();
  } catch (const EInOutError&) {
  }
  return 0;
}
