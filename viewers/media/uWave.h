// The format and data chunks of a RIFF WAVE file, as the media window's "sound" page shows them.
#pragma once
#include <cstdint>
#include <string>

#include "foundation/uBuffStream.h"

// Zeroed before reading. The flags index the media window's word tables.
struct TWaveInfo {
  // nSamplesPerSec. Kept whole: 16 bits showed 96 kHz as 30464.
  uint32_t SampleRate = 0;
  uint8_t Stereo = 0;      // nChannels is 2
  uint8_t SixteenBit = 0;  // wBitsPerSample above 8
  uint8_t Signed = 0;      // wBitsPerSample above 8: 16-bit samples are signed, 8-bit unsigned
  int64_t DataOffset = 0;  // file offset of the data chunk's first byte
  uint32_t DataSize = 0;   // size field of the data chunk
  uint32_t BytesPerSecond = 0;
};

// Walks the chunks from offset 12 (the RIFF header is not checked) until a data chunk with bytes
// and a PCM or ADPCM format have both been seen, or the file ends. Only format tags 1 and 2 fill
// the format fields. Positions are 64-bit, so a huge chunk size ends the walk instead of wrapping.
void ReadWaveInfo(TStream& stream, TWaveInfo& info);

// "%d samples per second %s-bit %ssigned %s".
std::string WaveFormatText(const TWaveInfo& info);
