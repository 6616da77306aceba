// Streams and the buffered reader/writer that every picture reader and writer goes through.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

enum tSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

// A byte stream: only Read, Write and Seek with the three origins are asked of it.
class TStream {
 public:
  virtual ~TStream() = default;
  // Bytes moved (0 at the end or on error).
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  // The new position from the beginning, or -1 when the seek failed.
  virtual int64_t Seek(int64_t offset, tSeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, soFromCurrent); }
  int64_t Size();
};

// A stream over a file, opened with a UTF-8 name. Unbuffered, so a short write shows at once.
class TFileStream : public TStream {
 public:
  enum tMode { fmOpenRead, fmCreate, fmOpenReadWrite };
  // Null when the file cannot be opened or created.
  static std::unique_ptr<TFileStream> Open(const std::string& name, tMode mode);
  ~TFileStream() override;
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, tSeekOrigin origin) override;

 private:
  explicit TFileStream(void* file) : file_(file) {}
  void* file_;  // std::FILE*
  // The C library wants a seek between a write and a following read, and the other way round.
  enum tLastOp { opNone, opRead, opWrite } last_ = opNone;
};

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> data) : data_(std::move(data)) {}
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, tSeekOrigin origin) override;

  uint8_t* Memory() { return block_ ? block_.get() : data_.data(); }
  const uint8_t* Memory() const { return block_ ? block_.get() : data_.data(); }
  int64_t DataSize() const { return block_ ? blockSize_ : static_cast<int64_t>(data_.size()); }
  // Grows or shrinks the block (new bytes are zero); false when the memory cannot be had.
  bool SetSize(int64_t size);
  // Replaces the contents by size zero bytes, position 0, in memory that the system hands over
  // already zeroed: nothing passes over it, so its pages are first touched by whoever fills
  // them. A block of 2 MB or more asks for 2 MB pages where the system gives them on request
  // (Linux); it may then take up to 2 MB more than size. False (contents unchanged) when the
  // memory cannot be had.
  bool AllocateZeroed(int64_t size);
  void Clear();
  std::vector<uint8_t>& Data();

 private:
  struct tFree {
    tFree() : mapped(0) {}
    explicit tFree(size_t bytes) : mapped(bytes) {}
    size_t mapped;  // bytes mapped for the block by itself; 0: from calloc
    void operator()(uint8_t* p) const;
  };
  std::vector<uint8_t> data_;
  std::unique_ptr<uint8_t, tFree> block_;  // AllocateZeroed's block, while it holds the data
  int64_t blockSize_ = 0;
  int64_t pos_ = 0;
  // Moves the contents of a zeroed block into the vector (before the block would be resized).
  bool Unblock();
};

// Reader or writer over a stream through a 4096-byte buffer inside the object. A reader's
// logical positions count from Base, so identification can retry past a MacBinary header.
// Fields keep their documented names: format handlers read them directly.
class tBuffStream {
 public:
  static constexpr int32_t kBlockSize = 4096;
  static constexpr uint8_t kPadByte = 0x1A;  // what a short refill leaves in the buffer

  tBuffStream(const std::string& name, std::unique_ptr<TStream> stream, bool writeMode);
  ~tBuffStream();
  tBuffStream(const tBuffStream&) = delete;
  tBuffStream& operator=(const tBuffStream&) = delete;

  std::unique_ptr<TStream> Stream;
  std::string Name;
  uint8_t AtEnd = 0;
  uint8_t WriteMode = 0;
  int32_t Size = 0;
  int32_t BlockPosition = 0;
  int32_t Base = 0;
  int32_t BytesValid = 0;
  int32_t BlocksPassed = 0;
  int32_t Index = 0;
  int32_t BlockSize = kBlockSize;
  int32_t LastCount = 0;
  uint8_t Buffer[kBlockSize];

  bool HasStream() const { return Stream != nullptr; }
  void SetBase(int32_t base);
  void Fill();
  int32_t Position();
  int32_t ReadAt(int32_t offset, void* buffer, int32_t count);
  int32_t WriteAt(int32_t offset, const void* buffer, int32_t count);
  void Seek(int32_t pos);
  void Rewind();
  void Flush();
  int32_t Available();
  int32_t Remaining();
  void Read(void* buffer, int32_t count);
  void Write(const void* buffer, int32_t count);
  void Skip(int32_t count);
  uint8_t* BufferPtr() { return Buffer; }
};

// Copies n bytes and returns the address behind the copied bytes in the destination.
void* CopyAndAdvance(const void* source, void* destination, size_t n);
// Opens a file for reading, shared with everybody; null on any failure.
std::unique_ptr<TStream> OpenFileStream(const std::string& name);
// Creates or truncates a file; null on any failure.
std::unique_ptr<TStream> CreateFileStream(const std::string& name);
