// Interim file streams for the file routines until the buffered-stream unit provides them.
#include <cstdio>
#include <filesystem>

#include "foundation/uBuffStream.h"

namespace {

class tStdioStream : public TStream {
 public:
  explicit tStdioStream(std::FILE* file) : file_(file) {}
  ~tStdioStream() override { std::fclose(file_); }
  int32_t Read(void* buffer, int32_t count) override {
    return count <= 0 ? 0 : static_cast<int32_t>(std::fread(buffer, 1, static_cast<size_t>(count), file_));
  }
  int32_t Write(const void* buffer, int32_t count) override {
    return count <= 0 ? 0 : static_cast<int32_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), file_));
  }
  int64_t Seek(int64_t offset, tSeekOrigin origin) override {
    const int whence = origin == soFromBeginning ? SEEK_SET : origin == soFromCurrent ? SEEK_CUR : SEEK_END;
#ifdef _WIN32
    if (_fseeki64(file_, offset, whence) != 0) return -1;
    return _ftelli64(file_);
#else
    if (fseeko(file_, offset, whence) != 0) return -1;
    return ftello(file_);
#endif
  }

 private:
  std::FILE* file_;
};

std::unique_ptr<TStream> OpenStdio(const std::string& name, bool create) {
  const std::filesystem::path path(std::u8string(name.begin(), name.end()));
#ifdef _WIN32
  std::FILE* file = _wfopen(path.c_str(), create ? L"wb" : L"rb");
#else
  std::FILE* file = std::fopen(path.c_str(), create ? "wb" : "rb");
#endif
  if (!file) return nullptr;
  return std::make_unique<tStdioStream>(file);
}

}  // namespace

std::unique_ptr<TStream> OpenFileStream(const std::string& name) { return OpenStdio(name, false); }
std::unique_ptr<TStream> CreateFileStream(const std::string& name) { return OpenStdio(name, true); }
