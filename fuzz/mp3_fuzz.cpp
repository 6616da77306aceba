// The MPEG-audio header search and ID3v1 tag on any bytes, then a template of every item; the
// first input bytes also pick a search limit.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "viewers/media/uMP3.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 17) return 0;
  TMPEGAudio mp3;
  mp3.FileName = "C:\\x\\fuzz.mp3";
  mp3.SearchLimit = size > 0 && data[0] == 'L' ? 64 : 0;
  mp3.Template =
      "%T%%A%%ALB%%Y%%CMNT%%G%%GNR%%TR%%D%%DC%%DF%%L%%FD%%FT%%LC%%LK%%LKC%%LM%%V%%LY%%LYN%%SR%"
      "%SRK%%EP%%EP*%%C%%C*%%O%%O*%%M%%S%%BR%%FL%%SLN%%SL%%SL*%%VD%%VD*%%FN%%FP%%VL%%NL%%#%%TB%";
  TMemoryStream stream(std::vector<uint8_t>(data, data + size));
  mp3.ReadStream(stream);
  if (mp3.IsValid() && mp3.HeaderPosition + mp3.FrameLength > static_cast<int64_t>(size))
    std::abort();
  // The input as a template too.
  (void)mp3.FormatTemplate(std::string(reinterpret_cast<const char*>(data), size > 4096 ? 4096 : size));
  return 0;
}
