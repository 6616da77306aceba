// Developer tool: lists or extracts a zip archive through the program's own zip reader.
//   tavis_unzip -l ARCHIVE          one line per entry: size, packed size, name
//   tavis_unzip -d FOLDER ARCHIVE   extracts every entry (existing files are replaced)
// Exits 1 when the reader reports an error code.
#include <cstdio>
#include <cstring>
#include <string>

#include "viewers/zip/Unzip.h"

namespace {
void PrintEntry(void*, int32_t, TZipEntryInfo* info) {
  if (info->RecordCode == kZipRecProgress)
    std::printf("%10u %10u %s\n", info->Size, info->PackedSize, info->Name);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "-l") == 0) {
    const int32_t r = ZipProcess(argv[2], "*.*", PrintEntry, nullptr);
    std::printf("%d entries\n", r);
    return r < 0 ? 1 : 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "-d") == 0) {
    const int32_t r = ZipExtractAll(argv[3], argv[2], "*.*", nullptr, nullptr, nullptr, nullptr);
    std::printf("%d extracted\n", r);
    return r < 0 ? 1 : 0;
  }
  std::fprintf(stderr, "usage: tavis_unzip -l ARCHIVE | -d FOLDER ARCHIVE\n");
  return 2;
}
