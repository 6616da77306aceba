#include "thumbnails/uThumbFile.h"

#include <cstdio>
#include <filesystem>

#ifdef _WIN32
#include <io.h>
#include <share.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::FILE* OpenFile(const std::string& name, bool create) {
#ifdef _WIN32
  // Wide names so that every folder the user has can hold the database.
  std::wstring wide = std::filesystem::path(std::u8string(name.begin(), name.end())).wstring();
  return _wfsopen(wide.c_str(), create ? L"w+b" : L"r+b", _SH_DENYWR);
#else
  std::FILE* f = std::fopen(name.c_str(), create ? "w+b" : "r+b");
  struct stat st;
  if (f && (fstat(fileno(f), &st) != 0 || S_ISDIR(st.st_mode))) {
    std::fclose(f);
    f = nullptr;
  }
  return f;
#endif
}

}  // namespace

bool ThumbFileExists(const std::string& name) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::path(std::u8string(name.begin(), name.end())),
                                 ec);
}

std::unique_ptr<tThumbFile> tThumbFile::OpenOrCreate(const std::string& name, bool& created) {
  created = false;
  if (std::FILE* f = OpenFile(name, false)) {
    std::setvbuf(f, nullptr, _IONBF, 0);
    return std::unique_ptr<tThumbFile>(new tThumbFile(f, name));
  }
  if (ThumbFileExists(name)) throw EInOutError("Cannot open " + name);
  created = true;
  return Create(name);
}

std::unique_ptr<tThumbFile> tThumbFile::Create(const std::string& name) {
  std::FILE* f = OpenFile(name, true);
  if (!f) throw EInOutError("Cannot create " + name);
  // Unbuffered: a failed write shows at the call that made it.
  std::setvbuf(f, nullptr, _IONBF, 0);
  return std::unique_ptr<tThumbFile>(new tThumbFile(f, name));
}

tThumbFile::~tThumbFile() {
  if (file_) std::fclose(static_cast<std::FILE*>(file_));
}

void tThumbFile::Close() {
  if (!file_) return;
  int rc = std::fclose(static_cast<std::FILE*>(file_));
  file_ = nullptr;
  if (rc != 0) throw EInOutError("Cannot close " + name_);
}

void tThumbFile::Fail(const char* what) { throw EInOutError(std::string(what) + " " + name_); }

void tThumbFile::SeekTo(int64_t offset) {
  auto* f = static_cast<std::FILE*>(file_);
  if (!f || offset < 0) Fail("Seek error on");
#ifdef _WIN32
  if (_fseeki64(f, offset, SEEK_SET) != 0) Fail("Seek error on");
#else
  if (fseeko(f, static_cast<off_t>(offset), SEEK_SET) != 0) Fail("Seek error on");
#endif
}

int64_t tThumbFile::Size() {
  auto* f = static_cast<std::FILE*>(file_);
  if (!f) Fail("Seek error on");
#ifdef _WIN32
  if (_fseeki64(f, 0, SEEK_END) != 0) Fail("Seek error on");
  return _ftelli64(f);
#else
  if (fseeko(f, 0, SEEK_END) != 0) Fail("Seek error on");
  return static_cast<int64_t>(ftello(f));
#endif
}

size_t tThumbFile::ReadSome(int64_t offset, void* buffer, size_t count) {
  if (count == 0) return 0;
  SeekTo(offset);
  auto* f = static_cast<std::FILE*>(file_);
  size_t got = std::fread(buffer, 1, count, f);
  bool error = std::ferror(f) != 0;
  std::clearerr(f);
  if (error) Fail("Read error on");
  return got;
}

void tThumbFile::ReadAt(int64_t offset, void* buffer, size_t count) {
  if (ReadSome(offset, buffer, count) != count) Fail("Read beyond end of");
}

void tThumbFile::WriteAt(int64_t offset, const void* buffer, size_t count) {
  if (count == 0) return;
  SeekTo(offset);
  auto* f = static_cast<std::FILE*>(file_);
  size_t put = std::fwrite(buffer, 1, count, f);
  std::clearerr(f);
  if (put != count) Fail("Write error on");
}

void tThumbFile::Truncate(int64_t size) {
  auto* f = static_cast<std::FILE*>(file_);
  if (!f || size < 0 || std::fflush(f) != 0) Fail("Truncate error on");
#ifdef _WIN32
  if (_chsize_s(_fileno(f), size) != 0) Fail("Truncate error on");
#else
  if (ftruncate(fileno(f), static_cast<off_t>(size)) != 0) Fail("Truncate error on");
#endif
}
