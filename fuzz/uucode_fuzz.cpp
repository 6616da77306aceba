// Feeds the input as lines to the UU/XX/Base64 parser (every line through every state) and to
// the encoded-block test.
#include <cstdint>
#include <string>
#include <vector>

#include "online/uGuide.h"
#include "viewers/text/uUUCode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1 << 18)) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = SplitTextLines(text);
  for (const char* ext : {".txt", ".uue", ".xxe"}) {
    tUUparser parser;
    parser.SourceExt = ext;
    for (const std::string& line : lines) {
      parser.ParseLine(line);
      if (parser.ByteCount > parser.Bytes.size()) __builtin_trap();
    }
    HasEncodedData(lines, ext);
  }
  SafeOutputName(text.substr(0, 300));
  return 0;
}
