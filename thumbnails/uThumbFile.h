// The random-access files under the thumbnail database: read and write at an offset, length,
// truncate. Every failure raises EInOutError, so that a caller never mistakes a short read or
// write for success.
#pragma once
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

// A failed read, write, seek, truncate or open of a database file.
class EInOutError : public std::runtime_error {
 public:
  explicit EInOutError(const std::string& message) : std::runtime_error(message) {}
};

class tThumbFile {
 public:
  // Opens an existing file for reading and writing, or creates it when there is none (false
  // in `created` says it was there). A file that exists but cannot be opened for reading and
  // writing raises: it must never be replaced by an empty one.
  static std::unique_ptr<tThumbFile> OpenOrCreate(const std::string& name, bool& created);
  // Creates (or empties) a file.
  static std::unique_ptr<tThumbFile> Create(const std::string& name);
  ~tThumbFile();
  tThumbFile(const tThumbFile&) = delete;
  tThumbFile& operator=(const tThumbFile&) = delete;

  const std::string& Name() const { return name_; }
  int64_t Size();
  // Exactly count bytes at offset, or EInOutError.
  void ReadAt(int64_t offset, void* buffer, size_t count);
  // As many bytes as there are, up to count.
  size_t ReadSome(int64_t offset, void* buffer, size_t count);
  void WriteAt(int64_t offset, const void* buffer, size_t count);
  void Truncate(int64_t size);
  // Closes the file, raising when what was written could not be stored.
  void Close();

 private:
  tThumbFile(void* file, std::string name) : file_(file), name_(std::move(name)) {}
  void SeekTo(int64_t offset);
  [[noreturn]] void Fail(const char* what);
  void* file_;  // std::FILE*
  std::string name_;
};

// True when a file or folder of that name exists.
bool ThumbFileExists(const std::string& name);
