// Lists and extracts an archive made of the input: the directory walk, the end-record search
// and the four decoders (stored, shrunk, imploded, deflated) on hostile data. The input is
// written to a private file and extracted into a private folder, emptied after each run.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

#include "viewers/zip/Unzip.h"

namespace {

constexpr size_t kMaxInput = 1 << 16;

void Ignore(void*, int32_t, TZipEntryInfo* info) {
  // Every record is complete and terminated.
  volatile size_t n = 0;
  while (n < sizeof info->Name && info->Name[n] != 0) n = n + 1;
  if (n == sizeof info->Name) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  namespace fs = std::filesystem;
  static const fs::path dir = fs::temp_directory_path() / ("zip_fuzz_" + std::to_string(getpid()));
  static const fs::path archive = dir.string() + ".zip";
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::create_directories(dir, ec);
  if (FILE* f = std::fopen(archive.c_str(), "wb")) {
    if (size > 0) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  ZipProcess(archive.string(), "*.*", Ignore, nullptr);
  ZipExtractAll(archive.string(), dir.string(), "*.*", nullptr, nullptr, Ignore, nullptr);
  ZipSetJunkPaths(true);
  ZipExtractEntry(archive.string(), dir.string(), 0, nullptr, nullptr, Ignore, nullptr);
  ZipSetJunkPaths(false);
  uint32_t packed = 0;
  ZipTotalSizes(archive.string(), packed);
  // Nothing may land outside the folder.
  for (const char* name : {"evil", "../evil"})
    if (fs::exists(dir.parent_path() / name)) __builtin_trap();
  fs::remove_all(dir, ec);
  return 0;
}
