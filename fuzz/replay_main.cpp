// Runs a fuzz target's function once on the empty input and on every file of the folders and
// files named on the command line, without libFuzzer. Folders that do not exist are skipped (a
// target has no crash folder until something was found). A fault aborts under the sanitizers.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

static void RunOne(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), {});
  std::printf("%s (%zu bytes)\n", file.string().c_str(), data.size());
  std::fflush(stdout);
  LLVMFuzzerTestOneInput(data.data(), data.size());
}

int main(int argc, char** argv) {
  LLVMFuzzerTestOneInput(nullptr, 0);
  size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    fs::path path(argv[i]);
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) {
      RunOne(path);
      ++count;
    } else if (fs::is_directory(path, ec)) {
      std::vector<fs::path> files;
      for (const auto& entry : fs::directory_iterator(path))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());
      for (const auto& f : files) RunOne(f);
      count += files.size();
    } else {
      std::printf("%s: not there, skipped\n", argv[i]);
    }
  }
  std::printf("replayed %zu inputs\n", count);
  return 0;
}
