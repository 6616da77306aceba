// The PNG chunk checksum and the pass over a file's chunks that checks (reader) or fills in
// (writer) every chunk's CRC.
#include <zlib.h>

#include <algorithm>
#include <climits>

#include "imaging/formats/gPNG.h"
#include "imaging/formats/gPNGLayout.h"

namespace {

constexpr int32_t kPiece = 25600;  // bytes read at a time by the write-mode pass

bool ReadAll(tBuffStream& s, uint8_t* out, int32_t count) {
  s.Read(out, count);
  return s.LastCount == count;
}

bool ReadAll(TStream& s, uint8_t* out, int32_t count) {
  while (count > 0) {
    int32_t n = s.Read(out, count);
    if (n <= 0) return false;
    out += n;
    count -= n;
  }
  return true;
}

int32_t ClampOffset(int64_t offset) {
  return static_cast<int32_t>(std::clamp<int64_t>(offset, 1, INT32_MAX));
}

}  // namespace

uint32_t PngCrc(const uint8_t* data, uint32_t crc, size_t count) {
  // zlib's crc32 is the same published CRC (reflected 0xEDB88320, preset and inverted).
  while (count > 0) {
    uInt n = static_cast<uInt>(std::min<size_t>(count, 1u << 30));
    crc = static_cast<uint32_t>(crc32(crc, data, n));
    data += n;
    count -= n;
  }
  return crc;
}

namespace png {

int32_t CheckChunks(tBuffStream& s, int& idatCount, std::vector<uint32_t>* firstRun,
                    size_t maxRun) {
  idatCount = 0;
  bool runOpen = true;  // no chunk other than IDAT has followed the first IDAT yet
  s.Seek(8);
  for (;;) {
    uint8_t head[8];
    if (!ReadAll(s, head, 8)) return ClampOffset(s.Position());
    const uint32_t length = Get32BE(head);
    if (length > INT32_MAX) return ClampOffset(s.Position());
    uint32_t crc = PngCrc(head + 4, 0, 4);
    // Straight from the stream's buffer: this pass reads the whole file.
    for (uint32_t left = length; left > 0;) {
      int32_t n = s.Available();
      if (n <= 0) return ClampOffset(s.Position());
      n = static_cast<int32_t>(std::min<uint32_t>(left, static_cast<uint32_t>(n)));
      crc = PngCrc(s.Buffer + s.Index, crc, static_cast<size_t>(n));
      s.Index += n;
      left -= static_cast<uint32_t>(n);
    }
    uint8_t stored[4];
    if (!ReadAll(s, stored, 4) || Get32BE(stored) != crc) return ClampOffset(s.Position());
    const tChunk chunk = ChunkNumber(head + 4);
    if (chunk == chIDAT) {
      if (runOpen && firstRun && firstRun->size() < maxRun) firstRun->push_back(length);
      ++idatCount;
    } else if (idatCount > 0) {
      runOpen = false;
    }
    if (chunk == chIEND) return 0;
  }
}

int32_t FillInCrcs(TStream& file, int64_t start, int& idatCount) {
  idatCount = 0;
  std::vector<uint8_t> piece(kPiece);
  for (int64_t pos = start + 8;;) {
    uint8_t head[8];
    if (file.Seek(pos, soFromBeginning) < 0 || !ReadAll(file, head, 8)) return ClampOffset(pos);
    const uint32_t length = png::Get32BE(head);
    if (length > INT32_MAX) return ClampOffset(pos + 8);
    uint32_t crc = PngCrc(head + 4, 0, 4);
    for (uint32_t left = length; left > 0;) {
      int32_t n = static_cast<int32_t>(std::min<uint32_t>(left, kPiece));
      if (!ReadAll(file, piece.data(), n)) return ClampOffset(pos + 8 + (length - left));
      crc = PngCrc(piece.data(), crc, static_cast<size_t>(n));
      left -= static_cast<uint32_t>(n);
    }
    uint8_t field[4];
    png::Put32BE(field, crc);
    const int64_t crcAt = pos + 8 + length;
    if (file.Seek(crcAt, soFromBeginning) < 0 || file.Write(field, 4) != 4)
      return ClampOffset(crcAt);
    pos = crcAt + 4;
    const png::tChunk chunk = png::ChunkNumber(head + 4);
    if (chunk == png::chIDAT) ++idatCount;
    if (chunk == png::chIEND) return 0;
  }
}

}  // namespace png

int32_t PngCrcPass(tBuffStream& stream, bool writeMode, int& idatCount) {
  if (!writeMode) return png::CheckChunks(stream, idatCount, nullptr, 0);
  idatCount = 0;
  if (!stream.Stream) return 0;
  stream.Flush();
  int32_t result = png::FillInCrcs(*stream.Stream, 0, idatCount);
  stream.Stream->Seek(0, soFromEnd);
  return result;
}
