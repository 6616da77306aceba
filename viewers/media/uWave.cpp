#include "viewers/media/uWave.h"

#include <cstring>

#include "foundation/uFormat.h"

namespace {

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Reads exactly count bytes at offset; short reads leave zeros.
void ReadAt(TStream& stream, int64_t offset, uint8_t* buffer, int32_t count) {
  std::memset(buffer, 0, static_cast<size_t>(count));
  if (stream.Seek(offset, soFromBeginning) != offset) return;
  int32_t done = 0;
  while (done < count) {
    int32_t n = stream.Read(buffer + done, count - done);
    if (n <= 0) break;
    done += n;
  }
}

}  // namespace

void ReadWaveInfo(TStream& stream, TWaveInfo& info) {
  info = TWaveInfo{};
  const int64_t size = stream.Size();
  int64_t position = 12;
  while (position + 8 <= size) {
    uint8_t header[8];
    ReadAt(stream, position, header, 8);
    const uint32_t chunkSize = Le32(header + 4);
    const int64_t next = position + 8;
    if (std::memcmp(header, "fmt ", 4) == 0) {
      uint8_t body[16];
      ReadAt(stream, next, body, 16);
      const uint16_t tag = Le16(body);
      if (tag == 1 || tag == 2) {
        const uint16_t channels = Le16(body + 2);
        const uint16_t bits = Le16(body + 14);
        info.SampleRate = Le32(body + 4);
        info.BytesPerSecond = Le32(body + 8);
        info.Stereo = channels == 2;
        info.SixteenBit = bits > 8;
        info.Signed = bits > 8;
      }
    } else if (std::memcmp(header, "data", 4) == 0) {
      info.DataSize = chunkSize;
      info.DataOffset = next;
    }
    // No pad byte for odd sizes: files written that way are read as they were.
    position = next + chunkSize;
    if (info.DataSize > 0 && info.SampleRate != 0) break;
  }
}

std::string WaveFormatText(const TWaveInfo& info) {
  return Format("%d samples per second %s-bit %ssigned %s",
                {info.SampleRate, info.SixteenBit ? "16" : "8", info.Signed ? "" : "un-",
                 info.Stereo ? "stereo" : "mono"});
}
