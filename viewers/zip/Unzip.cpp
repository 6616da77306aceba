// The zip reader's directory walk, listing and extraction runs.
#include "viewers/zip/Unzip.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"
#include "viewers/zip/UnzipCodec.h"

namespace {

constexpr uint32_t kEndSignature = 0x06054B50;
constexpr uint32_t kDirSignature = 0x02014B50;
constexpr uint32_t kLocalSignature = 0x04034B50;
constexpr uint32_t kDescriptorSignature = 0x08074B50;
constexpr int kEndSearchWindow = 4096;
constexpr int kEndRecordSize = 22;
constexpr int kDirHeaderSize = 46;
constexpr int kLocalHeaderSize = 30;
constexpr int kMaxName = 259;
constexpr int64_t kMaxDirectory = 0x7FFFFFEF;
constexpr int64_t kStaleBusyMs = 30000;
constexpr uint32_t kUnknownSize = 0x7FFFFFFF;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The program's paths use "\"; a Unix host (the native tests) opens them with "/".
std::string NativeName(std::string path) {
#ifndef _WIN32
  std::replace(path.begin(), path.end(), '\\', '/');
#endif
  return path;
}

std::unique_ptr<TStream> OpenArchive(const std::string& name) {
  return OpenFileStream(NativeName(name));
}

bool EndsInSeparator(const std::string& s) {
  return !s.empty() && (s.back() == '/' || s.back() == '\\');
}

void CopyName(char (&dest)[260], const std::string& text) {
  const size_t n = std::min<size_t>(text.size(), sizeof dest - 1);
  std::memcpy(dest, text.data(), n);
  dest[n] = 0;
}

struct tZipDirEntry {
  uint32_t DateTime = 0;
  uint32_t Size = 0;
  uint32_t PackedSize = 0;
  uint32_t LocalOffset = 0;
  std::string Name;  // every "/" turned into "\"
  uint16_t Method = 0;
  uint8_t Attributes = 0;
};

// Walks the central directory, read whole into memory.
class tZipDirCursor {
 public:
  // Finds the end record and reads the directory; 0 or a result code.
  int First(const std::string& archive);
  // The next entry into Entry; kZipNoMoreEntries at the end.
  int Next();
  tZipDirEntry Entry;

 private:
  std::vector<uint8_t> dir_;
  size_t pos_ = 0;
};

int tZipDirCursor::First(const std::string& archive) {
  auto file = OpenArchive(archive);
  if (!file) return kZipCannotRead;
  const int64_t size = file->Size();
  if (size <= 0) return kZipCannotRead;
  // Search backwards for the end record through windows of 4096 bytes that overlap by 22.
  int64_t start = std::max<int64_t>(0, size - kEndSearchWindow);
  std::vector<uint8_t> window(kEndSearchWindow);
  int64_t found = -1;
  for (;;) {
    const int32_t want = static_cast<int32_t>(std::min<int64_t>(kEndSearchWindow, size - start));
    if (file->Seek(start, soFromBeginning) != start) return kZipCannotRead;
    const int32_t got = file->Read(window.data(), want);
    if (got <= 0) return kZipCannotRead;
    for (int32_t i = got - kEndRecordSize; i >= 0; --i) {
      if (Get32(&window[static_cast<size_t>(i)]) == kEndSignature) {
        found = start + i;
        break;
      }
    }
    if (found >= 0 || got < want || start == 0) break;
    start = std::max<int64_t>(0, start - (kEndSearchWindow - kEndRecordSize));
  }
  if (found < 0) return kZipCannotRead;
  uint8_t end[kEndRecordSize];
  if (file->Seek(found, soFromBeginning) != found || file->Read(end, kEndRecordSize) != kEndRecordSize)
    return kZipCannotRead;
  const int64_t dirOffset = Get32(end + 16);
  // Too close to the start for any entry, or a directory said to start behind its own end.
  if (found < kDirHeaderSize || dirOffset > found) return kZipNoDirectory;
  const int64_t dirSize = std::min<int64_t>(found + 4 - dirOffset, kMaxDirectory);
  try {
    dir_.assign(static_cast<size_t>(dirSize), 0);
  } catch (const std::bad_alloc&) {
    return kZipNoDirectory;
  }
  if (file->Seek(dirOffset, soFromBeginning) != dirOffset ||
      file->Read(dir_.data(), static_cast<int32_t>(dirSize)) != dirSize)
    return kZipNoDirectory;
  pos_ = 0;
  return Next();
}

int tZipDirCursor::Next() {
  const size_t left = dir_.size() - std::min(pos_, dir_.size());
  if (left < 4) return kZipNoMoreEntries;
  const uint8_t* p = dir_.data() + pos_;
  if (Get32(p) != kDirSignature || left < kDirHeaderSize) return kZipNoMoreEntries;
  const size_t nameLen = Get16(p + 28), extraLen = Get16(p + 30), commentLen = Get16(p + 32);
  if (left < kDirHeaderSize + nameLen + extraLen + commentLen) return kZipNoMoreEntries;
  Entry.Method = Get16(p + 10);
  Entry.DateTime = Get32(p + 12);
  Entry.PackedSize = Get32(p + 20);
  Entry.Size = Get32(p + 24);
  Entry.Attributes = p[5] == 0 ? p[38] : 0;
  Entry.LocalOffset = Get32(p + 42);
  Entry.Name.assign(reinterpret_cast<const char*>(p + kDirHeaderSize),
                    std::min<size_t>(nameLen, kMaxName));
  // A name ends at its first zero byte, as a C string would.
  Entry.Name.resize(std::strlen(Entry.Name.c_str()));
  std::replace(Entry.Name.begin(), Entry.Name.end(), '/', '\\');
  pos_ += kDirHeaderSize + nameLen + extraLen + commentLen;
  return 0;
}

// Unit-wide engine state: one run at a time.
struct tEngine {
  TZipCallback callback = nullptr;
  void* callbackData = nullptr;
  TZipPump pump = nullptr;
  void* pumpData = nullptr;
  bool junkPaths = false;
  bool busy = false;
  std::chrono::steady_clock::time_point lastPump{};
  TZipEntryInfo record{};
};
tEngine engine;

void Report(int32_t value) {
  if (engine.callback) engine.callback(engine.callbackData, value, &engine.record);
}

bool PumpThrough(void* data, int percent) {
  engine.lastPump = std::chrono::steady_clock::now();
  return engine.pump ? engine.pump(engine.pumpData, percent) : false;
}

// A name that would write outside the target folder: a drive, a leading separator or a ".."
// part. Such an entry is refused.
bool EscapesFolder(const std::string& name) {
  if (name.empty()) return false;
  if (name[0] == '\\' || name.find(':') != std::string::npos) return true;
  size_t start = 0;
  for (;;) {
    const size_t end = name.find('\\', start);
    const std::string part = name.substr(start, end == std::string::npos ? end : end - start);
    if (part == "..") return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}

// Creates the folders of a path up to (not including) its last part.
void MakeFolders(const std::string& path) {
  for (size_t i = 1; i < path.size(); ++i) {
    if (path[i] != '\\') continue;
    const std::string folder = path.substr(0, i);
    if (folder.size() == 2 && folder[1] == ':') continue;  // a drive root
    if (Platform().ItemAttributes(folder) == kNoFileAttributes &&
        !Platform().MakeFolder(folder))
      return;
  }
}

bool Exists(const std::string& path) { return Platform().ItemAttributes(path) != kNoFileAttributes; }

// Decodes one entry into path. The data goes into a new file beside the target, which
// replaces the target only when the entry decoded with the right CRC.
int ZipExtractOne(const std::string& archive, const std::string& outputPath,
                  const tZipDirEntry& entry) {
  auto file = OpenArchive(archive);
  if (!file) return kZipCannotOpen;
  if (file->Seek(entry.LocalOffset, soFromBeginning) != entry.LocalOffset) return kZipReadError;
  uint8_t h[kLocalHeaderSize];
  if (file->Read(h, kLocalHeaderSize) != kLocalHeaderSize || Get32(h) != kLocalSignature)
    return kZipBadData;
  const uint16_t flags = Get16(h + 6);
  const uint16_t method = Get16(h + 8);
  uint32_t crc = Get32(h + 14);
  uint32_t packedSize = Get32(h + 18);
  uint32_t size = Get32(h + 22);
  const bool descriptor = (flags & 8) != 0;
  if (descriptor) {
    // The local header holds no sizes; the central directory always does.
    packedSize = entry.PackedSize;
    size = entry.Size;
    if (packedSize == 0xFFFFFFFFu) packedSize = kUnknownSize;
  }
  if (method != 0 && method != 1 && method != 6 && method != 8) return kZipUnsupported;
  if (flags & 1) return kZipEncrypted;
  const int64_t dataStart = int64_t{entry.LocalOffset} + kLocalHeaderSize + Get16(h + 26) + Get16(h + 28);
  if (file->Seek(dataStart, soFromBeginning) != dataStart) return kZipReadError;

  if (EndsInSeparator(outputPath)) {
    MakeFolders(outputPath);
    return 0;
  }
  MakeFolders(outputPath);
  const std::string partPath = UniqueFileName(outputPath + ".part");
  auto out = CreateFileStream(NativeName(partPath));
  if (!out) return kZipWriteError;

  PumpThrough(nullptr, 0);
  unzip::tInput in(*file, packedSize, PumpThrough, nullptr);
  unzip::tOutput window(*out, [](uint32_t n) {
    engine.record.RecordCode = kZipRecProgress;
    Report(static_cast<int32_t>(n));
  });
  window.SetLimit(size);
  int r;
  switch (method) {
    case 0: {
      r = 0;
      std::vector<uint8_t> chunk(unzip::tOutput::kWindow);
      for (uint32_t left = packedSize; left > 0 && r == 0;) {
        const uint32_t n = std::min<uint32_t>(left, unzip::tOutput::kWindow);
        uint32_t got = 0;
        if (!in.ReadBytes(chunk.data(), n, got)) r = in.Aborted() ? kZipAborted : kZipReadError;
        for (uint32_t i = 0; i < got; ++i) window.Put(chunk[i]);
        if (window.Failed()) r = kZipWriteError;
        left -= n;
      }
      if (r == 0 && !window.Flush()) r = kZipWriteError;
      break;
    }
    case 1:
      r = unzip::Unshrink(in, window, packedSize);
      break;
    case 6:
      r = unzip::Explode(in, window, flags, packedSize, size);
      break;
    default:
      r = unzip::Inflate(in, window);
      break;
  }
  if (r == 0 && descriptor) {
    in.AlignToByte();
    uint32_t stored = in.Get(16);
    stored |= in.Get(16) << 16;
    // Most writers put a signature in front of the descriptor.
    if (stored == kDescriptorSignature && ~window.Crc() != kDescriptorSignature) {
      stored = in.Get(16);
      stored |= in.Get(16) << 16;
    }
    crc = stored;
  }
  out.reset();
  file.reset();
  if (r == 0 && window.Overflow()) r = kZipBadData;
  if (r == 0 && window.Crc() != crc) r = kZipCrcError;
  if (r != 0) {
    Platform().RemoveFile(partPath);
    return r;
  }
  // A read-only file in the way would refuse the rename: its attributes go first, and only
  // now, so that a failed entry leaves the old file as it was.
  if (Exists(outputPath)) Platform().SetItemAttributes(outputPath, 0);
  if (!Platform().ReplaceFile(partPath, outputPath)) {
    Platform().RemoveFile(partPath);
    return kZipWriteError;
  }
  Platform().SetItemDosTime(outputPath, entry.DateTime);
  Platform().SetItemAttributes(outputPath, entry.Attributes);
  return 0;
}

void FillRecord(TZipEntryInfo& rec, const tZipDirEntry& e, const std::string& name) {
  CopyName(rec.Name, name);
  rec.DateTime = static_cast<int32_t>(e.DateTime);
  rec.Size = e.Size;
  rec.PackedSize = e.PackedSize;
  rec.Attributes = e.Attributes;
  rec.Method = e.Method;
  rec.Ratio = static_cast<int8_t>(ZipRatio(e.Size, e.PackedSize));
  rec.IsDirectory = EndsInSeparator(e.Name) ? 1 : 0;
}

void EndRecord(TZipEntryInfo& rec, const std::string& archive, uint32_t size, uint32_t packed) {
  CopyName(rec.Name, archive);
  rec.DateTime = -1;
  rec.Attributes = -1;
  rec.Method = 0;
  rec.Size = size;
  rec.PackedSize = packed;
  rec.Ratio = static_cast<int8_t>(ZipRatio(size, packed));
  rec.IsDirectory = 0;
  rec.RecordCode = kZipRecRunEnd;
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return "";
  const size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

bool MatchFrom(const char* mask, const char* name) {
  for (;;) {
    if (*mask == 0) return *name == 0;
    if (*mask == '*') {
      if (mask[1] == 0) return true;
      for (const char* n = name;; ++n) {
        if (MatchFrom(mask + 1, n)) return true;
        if (*n == 0) return false;
      }
    }
    if (*name == 0) return false;
    if (*mask != '?' && *mask != *name) return false;
    ++mask;
    ++name;
  }
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

}  // namespace

int ZipRatio(uint32_t size, uint32_t packed) {
  if (size == 0) return 0;
  int64_t s = size, p = packed;
  if (p > 21474836) {
    s /= 100;
    p /= 100;
  }
  if (s == 0) return 0;
  const int64_t r = 100 - p * 100 / s;
  return static_cast<int>(std::clamp<int64_t>(r, -128, 100));
}

bool ZipMaskMatches(const std::string& mask, const std::string& name) {
  if (mask.empty() || mask == "*.*") return true;
  std::string m = mask, n = name;
  std::transform(m.begin(), m.end(), m.begin(), Upper);
  std::transform(n.begin(), n.end(), n.begin(), Upper);
  return MatchFrom(m.c_str(), n.c_str());
}

bool IsZipFile(const std::string& name) {
  std::string path = name;
  if (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  const uint32_t attributes = Platform().ItemAttributes(path);
  if (attributes != kNoFileAttributes && (attributes & 16)) return false;
  auto file = OpenArchive(name);
  if (!file) return false;
  uint8_t sig[4];
  return file->Read(sig, 4) == 4 && Get32(sig) == kLocalSignature;
}

uint32_t ZipTotalSizes(const std::string& archive, uint32_t& packedTotal) {
  packedTotal = 0;
  if (!IsZipFile(archive)) {
    packedTotal = static_cast<uint32_t>(FileSizeOf(archive));
    return 0;
  }
  tZipDirCursor cursor;
  uint32_t total = 0;
  for (int r = cursor.First(archive); r == 0; r = cursor.Next()) {
    total += cursor.Entry.Size;
    packedTotal += cursor.Entry.PackedSize;
  }
  return total;
}

int32_t ZipProcess(const std::string& archive, const std::string& mask, TZipCallback callback,
                   void* userData) {
  const std::string name = Trim(archive);
  if (name.empty() || !callback) return kZipBadArguments;
  if (!IsZipFile(name)) return kZipNotZip;
  tZipDirCursor cursor;
  if (cursor.First(name) != 0) return kZipNoDirectory;
  TZipEntryInfo rec{};
  int32_t count = 0;
  uint32_t size = 0, packed = 0;
  int r = 0;
  for (; r == 0; r = cursor.Next()) {
    const tZipDirEntry& e = cursor.Entry;
    if (!ZipMaskMatches(mask, e.Name)) continue;
    FillRecord(rec, e, e.Name);
    rec.RecordCode = kZipRecProgress;
    size += e.Size;
    packed += e.PackedSize;
    ++count;
    callback(userData, 0, &rec);
  }
  EndRecord(rec, name, size, packed);
  callback(userData, count, &rec);
  return count;
}

int32_t ZipExtract(const std::string& archiveIn, const std::string& folderIn,
                   const std::string& mask, TZipQuestion question, void* questionData,
                   TZipCallback callback, void* userData, int32_t index) {
  const std::string archive = Trim(archiveIn);
  std::string folder = Trim(folderIn);
  if (archive.empty() || folder.empty()) return kZipBadArguments;
  std::replace(folder.begin(), folder.end(), '/', '\\');
  if (folder.back() != '\\') folder += '\\';
  if (!IsZipFile(archive)) return kZipNotZip;
  // A run started while another pumps messages is refused before it touches the engine's
  // state, unless the other has not pumped for 30 seconds (its mark is then stale).
  if (engine.busy) {
    const auto idle = std::chrono::steady_clock::now() - engine.lastPump;
    if (std::chrono::duration_cast<std::chrono::milliseconds>(idle).count() <= kStaleBusyMs)
      return kZipBusy;
  }
  engine.busy = true;
  struct tClearBusy {
    ~tClearBusy() { engine.busy = false; }
  } clearBusy;
  engine.lastPump = std::chrono::steady_clock::now();
  engine.record = TZipEntryInfo{};
  engine.callback = callback;
  engine.callbackData = userData;
  auto finish = [] {
    engine.callback = nullptr;
    engine.callbackData = nullptr;
  };
  tZipDirCursor cursor;
  if (cursor.First(archive) != 0) {
    finish();
    return kZipNoDirectory;
  }
  // Start record: the archive's totals.
  uint32_t packedAll = 0;
  const uint32_t sizeAll = ZipTotalSizes(archive, packedAll);
  CopyName(engine.record.Name, archive);
  engine.record.Size = sizeAll;
  engine.record.PackedSize = packedAll;
  engine.record.Ratio = static_cast<int8_t>(ZipRatio(sizeAll, packedAll));
  engine.record.RecordCode = kZipRecRunStart;
  Report(kZipRecRunStart);

  int32_t counter = -1, extracted = 0;
  uint32_t runSize = 0, runPacked = 0;
  for (int walk = 0; walk == 0; walk = cursor.Next()) {
    const tZipDirEntry& e = cursor.Entry;
    const bool isDir = EndsInSeparator(e.Name);
    if (!isDir) ++counter;
    const bool selected = index < 0 ? ZipMaskMatches(mask, e.Name) : (!isDir && counter == index);
    if (!selected) continue;
    runSize += e.Size;
    runPacked += e.PackedSize;
    const std::string name = engine.junkPaths ? ExtractFileName(e.Name) : e.Name;
    const std::string outputPath = folder + name;
    FillRecord(engine.record, e, outputPath);
    engine.record.RecordCode = kZipRecEntryStart;
    const bool quiet = isDir && engine.junkPaths;
    if (!quiet) Report(kZipRecEntryStart);

    int r;
    if (EscapesFolder(e.Name)) {
      r = kZipWriteError;
    } else if (!isDir && Exists(outputPath) && question &&
               !question(questionData, &engine.record)) {
      engine.record.RecordCode = kZipRecProgress;
      engine.record.Method = 9;
      Report(static_cast<int32_t>(e.Size));
      r = 0;
    } else {
      r = ZipExtractOne(archive, outputPath, e);
    }
    if (r != 0) {
      engine.record.RecordCode = kZipRecFailed;
      switch (r) {
        case kZipCannotOpen:
        case kZipCannotRead:
        case kZipNoDirectory:
        case kZipBusy:
        case kZipAborted:
        case kZipBadData:
        case kZipReadError:
          engine.record.RecordCode = r;
          Report(kZipFatalValue);
          finish();
          return r;
        default:
          Report(r);
          break;
      }
      break;
    }
    ++extracted;
    engine.record.RecordCode = kZipRecExtracted;
    if (!quiet) Report(kZipRecExtracted);
  }
  EndRecord(engine.record, archive, runSize, runPacked);
  Report(kZipRecRunEnd);
  finish();
  return extracted;
}

int32_t ZipExtractAll(const std::string& archive, const std::string& folder,
                      const std::string& mask, TZipQuestion question, void* questionData,
                      TZipCallback callback, void* userData) {
  return ZipExtract(archive, folder, mask, question, questionData, callback, userData, -2);
}

int32_t ZipExtractEntry(const std::string& archive, const std::string& folder, int32_t index,
                        TZipQuestion question, void* questionData, TZipCallback callback,
                        void* userData) {
  return ZipExtract(archive, folder, "*.*", question, questionData, callback, userData, index);
}

bool ZipSetJunkPaths(bool junk) {
  const bool old = engine.junkPaths;
  engine.junkPaths = junk;
  return old;
}

TZipCallback ZipSetCallback(TZipCallback callback, void* userData) {
  const TZipCallback old = engine.callback;
  engine.callback = callback;
  engine.callbackData = userData;
  return old;
}

void ZipSetPump(TZipPump pump, void* userData) {
  engine.pump = pump;
  engine.pumpData = userData;
}

void ZipReset() { engine = tEngine{}; }
