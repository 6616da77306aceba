// Feeds arbitrary bytes to every reader of the on-line service: the compressed text container,
// an HTTP answer (cut into pieces at sizes taken from the input), a SOCKS server's replies (each
// level, byte by byte or in reads), the guide index and the version document.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/uTypes.h"
#include "online/uCompressedText.h"
#include "online/uGuide.h"
#include "online/uHttpProtocol.h"
#include "online/uSocks.h"

namespace {

constexpr size_t kMaxInput = 1 << 18;

void HttpAnswer(const uint8_t* data, size_t size) {
  if (size < 1) return;
  const size_t step = 1 + data[0] % 64;
  tHttpResponseParser p;
  p.CurrentLocation = "http://127.0.0.1:8080/a/b.htm";
  int64_t seen = 0;
  p.OnDocData = [&seen](const uint8_t*, size_t length) { seen += static_cast<int64_t>(length); };
  try {
    for (size_t i = 1; i < size; i += step) p.Feed(data + i, std::min(step, size - i));
  } catch (const EHttpException&) {
    return;
  }
  if (seen != p.BytesReceived) std::abort();
  if (p.Buffered() >= kHttpReceiveBufferSize) std::abort();
  tUrlParts parts;
  SplitUrl(p.CurrentLocation, parts);
  HttpBodyComplete(p.ContentSize, p.BytesReceived);
}

void SocksReplies(const uint8_t* data, size_t size) {
  if (size < 1) return;
  static const char* kLevels[] = {"4", "4A", "5", "5"};
  tSocksNegotiator s;
  s.Level = kLevels[data[0] & 3];
  s.AuthenticateUsercode = (data[0] & 4) != 0;
  s.Usercode = "user";
  s.Password = "pw";
  s.Addr = "host.example";
  s.TargetPort = 80;
  s.ResolveHost = [](const std::string&) { return uint32_t(0x0100007F); };
  s.Start();
  std::vector<uint8_t> send;
  if (s.Connected(send) == tSocksNegotiator::kFailed) return;
  const bool byteByByte = (data[0] & 8) != 0;
  size_t i = 1;
  while (i < size) {
    const size_t want = s.WantBytes();
    const size_t n = byteByByte ? 1 : std::min(size - i, want == 0 ? size_t(1) : want);
    const tSocksNegotiator::tOutcome outcome = s.Received(data + i, n, send);
    i += n;
    for (uint8_t b : send) (void)b;
    if (outcome == tSocksNegotiator::kFailed) return;
    if (outcome == tSocksNegotiator::kSucceeded) break;
    if (s.WantBytes() > kSocksBufferSize) std::abort();
  }
}

void Documents(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ParseVersionDocument(text);
  TGuide2 guide;
  guide.IndexLines = SplitTextLines(text);
  try {
    const int n = guide.FileCount();
    for (int i = 0; i < n; ++i) {
      const tGuideEntry e = guide.Entry(i);
      SafeGuideName(e.Name);
    }
  } catch (const EConvertError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  try {
    const std::string text = InflateCompressedText(data, size);
    SplitTextLines(text);
  } catch (const EZDecompressionError&) {
  }
  HttpAnswer(data, size);
  SocksReplies(data, size);
  Documents(data, size);
  return 0;
}
