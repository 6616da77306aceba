#include "viewers/media/uWave.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/TestSupport.h"

namespace {


std::vector<uint8_t> Bytes(std::initializer_list<std::string> parts) {
  std::vector<uint8_t> out;
  for (const std::string& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
std::string Le32(uint32_t v) {
  return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}
std::string Le16(uint16_t v) { return {char(v), char(v >> 8)}; }
std::string Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  const uint16_t align = static_cast<uint16_t>(channels * ((bits + 7) / 8));
  return "fmt " + Le32(16) + Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * align) +
         Le16(align) + Le16(bits);
}
const std::string kRiff = "RIFF" + Le32(0) + "WAVE";

TWaveInfo Read(const std::vector<uint8_t>& bytes) {
  TMemoryStream stream(bytes);
  TWaveInfo info;
  info.SampleRate = 77;  // must be zeroed
  ReadWaveInfo(stream, info);
  return info;
}

uint32_t SoxiNumber(const std::string& option, const std::string& path) {
  std::vector<uint8_t> out;
  EXPECT_EQ(testsupport::Run("soxi " + option + " '" + path + "'", &out), 0);
  return static_cast<uint32_t>(std::stoul(std::string(out.begin(), out.end())));
}

// Every encoding sox writes: PCM and MS ADPCM fill the record; the others (float, IMA ADPCM,
// u-law, the extensible header sox uses above 16 bits or 2 channels) leave the format at 0.
TEST(WaveInfo, FilesWrittenBySox) {
  if (!testsupport::HaveTool("sox") || !testsupport::HaveTool("soxi")) GTEST_SKIP() << "no sox";
  struct Case {
    const char* options;
    bool filled;
  } cases[] = {
      {"-b 8 -e unsigned -c 1 -r 8000", true},  {"-b 16 -e signed -c 2 -r 44100", true},
      {"-b 16 -c 2 -r 96000", true},            {"-b 16 -c 1 -r 48000", true},
      {"-e ms-adpcm -c 1 -r 22050", true},      {"-b 24 -c 2 -r 96000", false},
      {"-b 32 -e float -c 1 -r 48000", false},  {"-e ima-adpcm -c 2 -r 11025", false},
      {"-e u-law -c 1 -r 8000", false},         {"-b 16 -c 4 -r 48000", false},
  };
  const auto dir = testsupport::ScratchDir("wave_sox");
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    std::string name = "t";
    name += std::to_string(n++);  // in steps: GCC 12 warns falsely about the chained form
    const std::string path = (dir / (name + ".wav")).string();
    ASSERT_EQ(testsupport::Run(std::string("sox -D -n ") + c.options + " '" + path + "' synth 0.25 sine 440"), 0);
    const std::vector<uint8_t> bytes = testsupport::ReadFile(path);
    const TWaveInfo info = Read(bytes);
    const uint32_t rate = SoxiNumber("-r", path), channels = SoxiNumber("-c", path);
    const uint32_t bits = SoxiNumber("-b", path);
    // The data chunk is always found, and it ends the file as sox writes it.
    EXPECT_GT(info.DataSize, 0u);
    EXPECT_EQ(info.DataOffset + info.DataSize, static_cast<int64_t>(bytes.size()));
    if (c.filled) {
      EXPECT_EQ(info.SampleRate, rate);
      EXPECT_EQ(info.Stereo, channels == 2);
      EXPECT_EQ(info.SixteenBit, bits > 8);
      EXPECT_EQ(info.Signed, bits > 8);
      if (bits % 8 == 0) {
        EXPECT_EQ(info.BytesPerSecond, rate * channels * bits / 8);
      }
    } else {
      EXPECT_EQ(info.SampleRate, 0u);
      EXPECT_EQ(WaveFormatText(info), "0 samples per second 8-bit un-signed mono");
    }
  }
}

TEST(WaveInfo, HandMadeChunkOrders) {
  const std::string data = "data" + Le32(4) + "abcd";
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    uint32_t rate;
    int64_t offset;
    uint32_t size;
  } cases[] = {
      {"fmt then data", Bytes({kRiff, Fmt(1, 2, 48000, 16), data}), 48000, 44, 4},
      {"data before fmt", Bytes({kRiff, data, Fmt(1, 1, 8000, 8)}), 8000, 20, 4},
      // Odd sizes get no pad byte: the next chunk header follows at once.
      {"odd chunk", Bytes({kRiff, "LIST" + Le32(3) + "xyz", Fmt(1, 1, 11025, 8), data}), 11025,
       55, 4},
      // A chunk claiming nearly 4 GB ends the walk (32-bit positions wrapped and looped).
      {"huge chunk", Bytes({kRiff, Fmt(1, 1, 8000, 8), "junk" + Le32(0xFFFFFFF8u), data}), 8000,
       0, 0},
      {"empty data chunk only", Bytes({kRiff, "data" + Le32(0)}), 0, 20, 0},
      {"truncated header", Bytes({"RIFF"}), 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TWaveInfo info = Read(c.bytes);
    EXPECT_EQ(info.SampleRate, c.rate);
    EXPECT_EQ(info.DataOffset, c.offset);
    EXPECT_EQ(info.DataSize, c.size);
  }
}

TEST(WaveInfo, FormatLine) {
  TWaveInfo info = Read(Bytes({kRiff, Fmt(1, 2, 96000, 16), "data" + Le32(4) + "abcd"}));
  EXPECT_EQ(WaveFormatText(info), "96000 samples per second 16-bit signed stereo");
  // Floating point (tag 3) keeps the zeroed format.
  info = Read(Bytes({kRiff, Fmt(3, 2, 44100, 32), "data" + Le32(4) + "abcd"}));
  EXPECT_EQ(WaveFormatText(info), "0 samples per second 8-bit un-signed mono");
  info = Read(Bytes({kRiff, Fmt(1, 1, 22050, 8), "data" + Le32(4) + "abcd"}));
  EXPECT_EQ(WaveFormatText(info), "22050 samples per second 8-bit un-signed mono");
}

TEST(WaveInfo, SharedTestFiles) {
  for (const char* file : {"media/boom.wav", "media/secosmic_lo.wav", "media/Front_Center.wav"}) {
    const auto path = testsupport::TestData(file);
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no test data";
    SCOPED_TRACE(file);
    const TWaveInfo info = Read(testsupport::ReadFile(path));
    EXPECT_GT(info.DataSize, 0u);
    if (testsupport::HaveTool("soxi")) {
      std::vector<uint8_t> out;
      testsupport::Run("soxi -e '" + path.string() + "'", &out);
      const std::string encoding(out.begin(), out.end());
      const bool pcm = encoding.find("PCM") != std::string::npos &&
                       encoding.find("Floating") == std::string::npos;
      const bool msadpcm = encoding.find("MS ADPCM") != std::string::npos;
      if (pcm || msadpcm) {
        EXPECT_EQ(info.SampleRate, SoxiNumber("-r", path.string()));
      } else {
        EXPECT_EQ(info.SampleRate, 0u);
      }
    }
  }
}

}  // namespace
