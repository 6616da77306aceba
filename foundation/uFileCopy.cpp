// The block copy and whole-file text routines. Anything that replaces a file is written beside
// it first and renamed over it only when complete.
#include <algorithm>
#include <memory>
#include <vector>

#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"

namespace {

constexpr int32_t kCopyBlock = 8192;
constexpr uint32_t kFailCriticalErrors = 1;  // SEM_FAILCRITICALERRORS

// A free name beside the target for the copy in progress.
std::string PartName(const std::string& target) { return UniqueFileName(target + ".part"); }

std::unique_ptr<TStream> CreateQuietly(const std::string& path) {
  const uint32_t previous = Platform().ExchangeErrorMode(kFailCriticalErrors);
  std::unique_ptr<TStream> stream = CreateFileStream(path);
  Platform().ExchangeErrorMode(previous);
  return stream;
}

}  // namespace

int CopyStreamWithProgress(int64_t startOffset, TStream& source, TStream& target,
                           const TCopyProgress& progress) {
  int64_t total = source.Seek(0, soFromEnd);
  const bool lengthKnown = total >= 0 && source.Seek(0, soFromBeginning) == 0;
  if (!lengthKnown) total = 0;
  int64_t done = 0;
  if (startOffset > 0) {
    total = total > startOffset ? total - startOffset : 0;
    if (source.Seek(startOffset, soFromBeginning) != startOffset) return kCopyReadError;
  }
  if (progress) progress(done, total);
  std::vector<uint8_t> buffer(kCopyBlock);
  int32_t n = 0;
  do {
    n = source.Read(buffer.data(), kCopyBlock);
    if (n > 0) {
      done += n;
      if (target.Write(buffer.data(), n) != n) return kCopyShortWrite;
      if (progress) progress(done, total);
    }
  } while (n == kCopyBlock);
  // A stream reports a read error as an early end: a copy shorter than the source's length
  // is a failed copy, not a successful one.
  if (lengthKnown && done < total) return kCopyReadError;
  return kCopyOK;
}

int CopyStreamToFile(int64_t startOffset, TStream& source, int64_t dosTime,
                     const std::string& target, const TCopyProgress& progress) {
  const std::string part = PartName(target);
  std::unique_ptr<TStream> out = CreateQuietly(part);
  if (!out) return kCopyTargetNotCreated;
  int code = CopyStreamWithProgress(startOffset, source, *out, progress);
  out.reset();
  if (code == kCopyOK) {
    if (dosTime >= 0) FileSetDate(part, static_cast<uint32_t>(dosTime));
    if (!Platform().ReplaceFile(part, target)) code = kCopyTargetNotCreated;
  }
  if (code != kCopyOK) Platform().RemoveFile(part);
  return code;
}

int CopyFileWithProgress(int64_t startOffset, const std::string& source, const std::string& target,
                         const TCopyProgress& progress) {
  std::unique_ptr<TStream> in = OpenFileStream(source);
  if (!in) return kCopySourceNotOpened;
  return CopyStreamToFile(startOffset, *in, FileAge(source), target, progress);
}

int CopyFileFromStart(const std::string& source, const std::string& target,
                      const TCopyProgress& progress) {
  return CopyFileWithProgress(0, source, target, progress);
}

bool SaveStringToFile(const std::string& text, const std::string& path) {
  if (text.empty()) return true;
  const std::string part = PartName(path);
  std::unique_ptr<TStream> out = CreateFileStream(part);
  if (!out) return false;
  bool ok = true;
  for (size_t at = 0; ok && at < text.size();) {
    const int32_t n = static_cast<int32_t>(std::min<size_t>(text.size() - at, 1 << 20));
    ok = out->Write(text.data() + at, n) == n;
    at += static_cast<size_t>(n);
  }
  out.reset();
  ok = ok && Platform().ReplaceFile(part, path);
  if (!ok) Platform().RemoveFile(part);
  return ok;
}

bool ReadWholeStream(TStream& in, std::string& text) {
  const int64_t start = in.Position();
  const int64_t size = in.Size();
  int64_t got = 0;
  char block[65536];
  for (int32_t n; (n = in.Read(block, sizeof block)) > 0; got += n)
    text.append(block, static_cast<size_t>(n));
  return start >= 0 && size >= start && got == size - start;
}

std::string LoadStringFromFile(const std::string& path) {
  std::unique_ptr<TStream> in = OpenFileStream(path);
  std::string text;
  if (!in || !ReadWholeStream(*in, text)) return "";
  return text;
}
