// MIDI analysis and playback on any bytes: the analysis ends, times only grow while stepping,
// and levels and texts stay in range.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "viewers/media/uMidi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 16) return 0;
  tMidiFile f(std::vector<uint8_t>(data, data + size));
  size_t notes = 0;
  f.OnNotify = [&](unsigned, uintptr_t, const std::string& text) {
    if (text.size() > 255) std::abort();
    notes++;
  };
  f.Analyse();
  (void)f.KindText();
  (void)f.TimeSignatureText();
  uint64_t last = 0;
  for (uint64_t t = 0; t <= f.Length && t < (1u << 20); t += 1 + f.Length / 16) {
    f.AdvanceTo(t);
    if (f.CurrentTime < last || f.CurrentTime > t) std::abort();
    last = f.CurrentTime;
    for (int c = 0; c < 16; c++) {
      if (f.Level[c] < 0) std::abort();
      (void)f.ChannelInstrument(c);
    }
  }
  f.AdvanceTo(UINT64_MAX);
  return 0;
}
