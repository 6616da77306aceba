#include "foundation/uBuffStream.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef _WIN32
#include <share.h>

#include <filesystem>
#else
#include <sys/stat.h>
#endif

// Large pages on request: Linux, outside the address sanitizer (which must see every block).
#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
#if defined(__has_feature)
#if !__has_feature(address_sanitizer)
#define TAVIS_LARGE_PAGES 1
#endif
#else
#define TAVIS_LARGE_PAGES 1
#endif
#endif
#ifdef TAVIS_LARGE_PAGES
#include <sys/mman.h>
#endif

namespace {

int32_t ClampToI32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

std::FILE* OpenFile(const std::string& name, TFileStream::tMode mode) {
#ifdef _WIN32
  // Wide names so that every file name the user has can be opened.
  std::wstring wide = std::filesystem::path(std::u8string(name.begin(), name.end())).wstring();
  switch (mode) {
    case TFileStream::fmOpenRead:
      return _wfsopen(wide.c_str(), L"rb", _SH_DENYNO);
    case TFileStream::fmCreate:
      return _wfsopen(wide.c_str(), L"w+b", _SH_DENYWR);
    case TFileStream::fmOpenReadWrite:
      return _wfsopen(wide.c_str(), L"r+b", _SH_DENYWR);
  }
  return nullptr;
#else
  const char* how = mode == TFileStream::fmOpenRead ? "rb"
                    : mode == TFileStream::fmCreate ? "w+b"
                                                    : "r+b";
  std::FILE* f = std::fopen(name.c_str(), how);
  // A folder opens here but is no file to read.
  struct stat st;
  if (f && (fstat(fileno(f), &st) != 0 || S_ISDIR(st.st_mode))) {
    std::fclose(f);
    f = nullptr;
  }
  return f;
#endif
}

}  // namespace

// ---- TStream

int64_t TStream::Size() {
  int64_t pos = Position();
  int64_t size = Seek(0, soFromEnd);
  if (pos >= 0) Seek(pos, soFromBeginning);
  return size;
}

// ---- TFileStream

std::unique_ptr<TFileStream> TFileStream::Open(const std::string& name, tMode mode) {
  std::FILE* f = OpenFile(name, mode);
  if (!f) return nullptr;
  // tBuffStream does the buffering; unbuffered, a failed write is seen by the writer at once.
  std::setvbuf(f, nullptr, _IONBF, 0);
  return std::unique_ptr<TFileStream>(new TFileStream(f));
}

TFileStream::~TFileStream() { std::fclose(static_cast<std::FILE*>(file_)); }

int32_t TFileStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  auto* f = static_cast<std::FILE*>(file_);
  if (last_ == opWrite) std::fseek(f, 0, SEEK_CUR);
  last_ = opRead;
  size_t got = std::fread(buffer, 1, static_cast<size_t>(count), f);
  std::clearerr(f);
  return static_cast<int32_t>(got);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  auto* f = static_cast<std::FILE*>(file_);
  if (last_ == opRead) std::fseek(f, 0, SEEK_CUR);
  last_ = opWrite;
  size_t put = std::fwrite(buffer, 1, static_cast<size_t>(count), f);
  std::clearerr(f);
  return static_cast<int32_t>(put);
}

int64_t TFileStream::Seek(int64_t offset, tSeekOrigin origin) {
  auto* f = static_cast<std::FILE*>(file_);
  int whence = origin == soFromBeginning ? SEEK_SET : origin == soFromCurrent ? SEEK_CUR : SEEK_END;
  last_ = opNone;
#ifdef _WIN32
  if (_fseeki64(f, offset, whence) != 0) return -1;
  return _ftelli64(f);
#else
  if (fseeko(f, static_cast<off_t>(offset), whence) != 0) return -1;
  return static_cast<int64_t>(ftello(f));
#endif
}

// ---- TMemoryStream

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
  int64_t size = DataSize();
  if (count <= 0 || pos_ >= size) return 0;
  int32_t n = static_cast<int32_t>(std::min<int64_t>(count, size - pos_));
  std::memcpy(buffer, Memory() + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  int64_t end = pos_ + count;
  if (end > DataSize() && !SetSize(end)) return 0;
  std::memcpy(Memory() + pos_, buffer, static_cast<size_t>(count));
  pos_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, tSeekOrigin origin) {
  int64_t from = origin == soFromBeginning ? 0 : origin == soFromCurrent ? pos_ : DataSize();
  int64_t to = from + offset;
  if (to < 0) return -1;
  pos_ = to;  // past the end is allowed; a write there fills the gap with zeros
  return pos_;
}

void TMemoryStream::tFree::operator()(uint8_t* p) const {
#ifdef TAVIS_LARGE_PAGES
  if (mapped) {
    munmap(p, mapped);
    return;
  }
#endif
  std::free(p);
}

namespace {

// A picture's first touch costs a page fault per 4 KB page, on a virtual machine more than
// decoding the picture itself; with 2 MB pages a 12 MB picture takes six. Where the system
// hands them out on request, a large block is mapped by itself, aligned and rounded to them
// (at most 2 MB more), and asks for them; the pages still arrive zeroed. Null: use calloc.
uint8_t* MapLargePages(size_t size, size_t& mapped) {
#ifdef TAVIS_LARGE_PAGES
  constexpr size_t kLarge = size_t(2) << 20;
  if (size < kLarge || size > SIZE_MAX - 2 * kLarge) return nullptr;
  mapped = (size + kLarge - 1) & ~(kLarge - 1);
  void* raw = mmap(nullptr, mapped + kLarge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                   -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  uintptr_t at = reinterpret_cast<uintptr_t>(raw);
  uintptr_t start = (at + kLarge - 1) & ~uintptr_t(kLarge - 1);
  if (start > at) munmap(raw, start - at);
  munmap(reinterpret_cast<void*>(start + mapped), kLarge - (start - at));
  madvise(reinterpret_cast<void*>(start), mapped, MADV_HUGEPAGE);
  return reinterpret_cast<uint8_t*>(start);
#else
  (void)size, (void)mapped;
  return nullptr;
#endif
}

}  // namespace

bool TMemoryStream::Unblock() {
  if (!block_) return true;
  try {
    data_.assign(block_.get(), block_.get() + blockSize_);
  } catch (const std::exception&) {
    return false;
  }
  block_.reset();
  blockSize_ = 0;
  return true;
}

bool TMemoryStream::SetSize(int64_t size) {
  if (size < 0 || !Unblock()) return false;
  try {
    data_.resize(static_cast<size_t>(size));
  } catch (const std::exception&) {
    return false;
  }
  pos_ = std::min(pos_, size);
  return true;
}

bool TMemoryStream::AllocateZeroed(int64_t size) {
  if (size < 0 || uint64_t(size) > SIZE_MAX) return false;
  // calloc takes fresh pages from the system as they are, zeroed, where a vector would write
  // zeros over every byte first.
  size_t mapped = 0;
  uint8_t* large = MapLargePages(size_t(size), mapped);
  std::unique_ptr<uint8_t, tFree> block(
      large ? large : static_cast<uint8_t*>(std::calloc(std::max<size_t>(size_t(size), 1), 1)),
      tFree{large ? mapped : 0});
  if (!block) return false;
  data_.clear();
  data_.shrink_to_fit();
  block_ = std::move(block);
  blockSize_ = size;
  pos_ = 0;
  return true;
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  block_.reset();
  blockSize_ = 0;
  pos_ = 0;
}

std::vector<uint8_t>& TMemoryStream::Data() {
  if (!Unblock()) throw std::bad_alloc();
  return data_;
}

// ---- tBuffStream

tBuffStream::tBuffStream(const std::string& name, std::unique_ptr<TStream> stream, bool writeMode)
    : Stream(std::move(stream)), Name(name), WriteMode(writeMode ? 1 : 0) {
  std::memset(Buffer, 0, sizeof Buffer);
  if (WriteMode) {
    BytesValid = kBlockSize;
    return;
  }
  if (Stream) {
    Size = ClampToI32(std::max<int64_t>(0, Stream->Seek(0, soFromEnd)));
    Stream->Seek(0, soFromBeginning);
  }
  Fill();
}

tBuffStream::~tBuffStream() {
  if (WriteMode) Flush();
}

void tBuffStream::SetBase(int32_t base) {
  // A base at or past the end (or before the start) would leave nothing to identify.
  if (WriteMode || !Stream || base < 0 || base >= Size) return;
  Base = base;
  Seek(0);
}

void tBuffStream::Fill() {
  if (WriteMode) return;
  // Past the end of a short file the buffer shows 0x1A, never stale bytes.
  std::memset(Buffer, kPadByte, sizeof Buffer);
  if (!Stream) return;
  bool counted = BytesValid == kBlockSize;
  if (counted) ++BlocksPassed;
  BytesValid = Stream->Read(Buffer, kBlockSize);
  if (BytesValid >= 1) {
    Index = 0;
  } else {
    BytesValid = 0;
    AtEnd = 1;
    // The full block just counted already covers the bytes the index pointed past.
    if (counted) Index = 0;
  }
}

int32_t tBuffStream::Position() {
  if (WriteMode) {
    Flush();
    return Stream ? ClampToI32(Stream->Seek(0, soFromEnd)) : 0;
  }
  return ClampToI32(int64_t{Base} + BlockPosition + int64_t{BlocksPassed} * BlockSize + Index);
}

int32_t tBuffStream::ReadAt(int32_t offset, void* buffer, int32_t count) {
  if (!Stream || count <= 0) return 0;
  int64_t back = Stream->Seek(0, soFromCurrent);
  int32_t got = 0;
  // A failed seek must not read whatever lies at the current position instead.
  if (Stream->Seek(int64_t{Base} + offset, soFromBeginning) >= 0) got = Stream->Read(buffer, count);
  Stream->Seek(back, soFromBeginning);
  return got;
}

int32_t tBuffStream::WriteAt(int32_t offset, const void* buffer, int32_t count) {
  if (!Stream || count <= 0) return 0;
  int64_t back = Stream->Seek(0, soFromCurrent);
  int32_t put = 0;
  if (Stream->Seek(offset, soFromBeginning) >= 0) put = Stream->Write(buffer, count);
  Stream->Seek(back, soFromBeginning);
  return put;
}

void tBuffStream::Seek(int32_t pos) {
  if (WriteMode) return;
  BlockPosition = pos;
  // An offset before the start gives no data rather than the bytes at the old position.
  if (Stream && Stream->Seek(int64_t{Base} + pos, soFromBeginning) < 0) Stream->Seek(0, soFromEnd);
  Fill();
  BlocksPassed = 0;
  // Even when nothing came, the position is now the one asked for.
  Index = 0;
}

void tBuffStream::Rewind() {
  if (WriteMode) return;
  // The buffer can be reused only while it still holds the first block from logical 0.
  if (BlocksPassed > 0 || BlockPosition != 0 || BytesValid == 0 || Size < kBlockSize) Seek(0);
  Index = 0;
}

void tBuffStream::Flush() {
  if (!WriteMode) return;
  if (Index >= 1) {
    int32_t written = Stream ? Stream->Write(Buffer, Index) : 0;
    BytesValid = written;
    AtEnd = written != Index ? 1 : 0;
  } else {
    BytesValid = 0;
  }
  if (BytesValid == kBlockSize) ++BlocksPassed;
  BytesValid = kBlockSize;
  Index = 0;
}

int32_t tBuffStream::Available() {
  if (Index >= BytesValid) {
    if (WriteMode)
      Flush();
    else
      Fill();
  }
  return std::max(0, BytesValid - Index);
}

int32_t tBuffStream::Remaining() {
  if (!Stream) return 0;
  // Available first: a refill moves the stream's position.
  int64_t available = Available();
  return ClampToI32(std::max<int64_t>(0, Size - Stream->Seek(0, soFromCurrent) + available));
}

void tBuffStream::Read(void* buffer, int32_t count) {
  if (WriteMode) return;
  LastCount = 0;
  auto* to = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    if (count > kBlockSize && Index == kBlockSize && BytesValid == kBlockSize && Stream) {
      // Whole blocks past the used-up buffer go straight to the caller in one read, without a
      // copy; the block holding the last byte asked for still comes through the buffer, so the
      // buffer ends as if every block had passed through it.
      const int32_t direct = (count - 1) / kBlockSize * kBlockSize;
      const int32_t got = std::clamp(Stream->Read(to, direct), 0, direct);
      BlocksPassed += 1 + got / kBlockSize;
      BytesValid = 0;  // nothing left to count when the next block comes
      Index = got % kBlockSize;
      LastCount += got;
      to += got;
      count -= got;
      // A short read is the end of the data: the refill below finds nothing and says so.
    }
    int32_t n = std::min(count, Available());
    // Fields are public; never copy from outside the buffer whatever they were set to.
    if (n <= 0 || Index < 0 || Index > kBlockSize - n) break;
    std::memcpy(to, Buffer + Index, static_cast<size_t>(n));
    Index += n;
    LastCount += n;
    to += n;
    count -= n;
  }
}

void tBuffStream::Write(const void* buffer, int32_t count) {
  if (!WriteMode) return;
  LastCount = 0;
  auto* from = static_cast<const uint8_t*>(buffer);
  while (count > 0) {
    int32_t n = std::min(count, Available());
    if (n <= 0 || Index < 0 || Index > kBlockSize - n) break;
    std::memcpy(Buffer + Index, from, static_cast<size_t>(n));
    Index += n;
    LastCount += n;
    from += n;
    count -= n;
  }
}

void tBuffStream::Skip(int32_t count) {
  if (WriteMode) return;  // a writer's Read does nothing
  uint8_t scratch[kBlockSize];
  while (count > 0) {
    int32_t n = std::min(count, kBlockSize);
    Read(scratch, n);
    count -= n;
    // Once a chunk gets nothing every later one would too: the state is already final.
    if (LastCount == 0) break;
  }
}

void* CopyAndAdvance(const void* source, void* destination, size_t n) {
  std::memcpy(destination, source, n);
  return static_cast<uint8_t*>(destination) + n;
}

std::unique_ptr<TStream> OpenFileStream(const std::string& name) {
  try {
    return TFileStream::Open(name, TFileStream::fmOpenRead);
  } catch (...) {
    return nullptr;
  }
}

std::unique_ptr<TStream> CreateFileStream(const std::string& name) {
  try {
    return TFileStream::Open(name, TFileStream::fmCreate);
  } catch (...) {
    return nullptr;
  }
}
