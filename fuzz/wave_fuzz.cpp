// The WAV chunk walk on any bytes: it ends, stays inside the input, and what it reports lies
// inside the file.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "viewers/media/uWave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 16) return 0;
  TMemoryStream stream(std::vector<uint8_t>(data, data + size));
  TWaveInfo info;
  ReadWaveInfo(stream, info);
  if (info.DataSize > 0 && info.DataOffset > static_cast<int64_t>(size)) std::abort();
  (void)WaveFormatText(info);
  return 0;
}
