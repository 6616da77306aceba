// Decodes the input as a stored thumbnail's LZW stream into a picture-sized limit, the way a
// damaged database record reaches the decoder; then checks that coding the output and decoding
// it again gives it back.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "thumbnails/uThumbLzw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 70000) return 0;  // a record's data length is 16 bits
  TMemoryStream in(std::vector<uint8_t>(data, data + size)), out;
  const int64_t limit = 160 * 160;  // the largest thumbnail
  const int64_t n = LzwDecodeThumbnail(in, out, limit);
  if (n > limit || n != out.DataSize()) std::abort();
  out.Seek(0, soFromBeginning);
  TMemoryStream coded, back;
  LzwEncodeThumbnail(out, coded);
  coded.Seek(0, soFromBeginning);
  LzwDecodeThumbnail(coded, back);
  if (back.Data() != out.Data()) std::abort();
  return 0;
}
