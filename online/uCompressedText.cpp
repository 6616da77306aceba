#include "online/uCompressedText.h"

#include <zlib.h>

#include <memory>

std::string InflateCompressedText(const uint8_t* data, size_t size) {
  if (size < 4) throw EZDecompressionError("Compressed text has no length");
  uint32_t remaining = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                       uint32_t(data[3]) << 24;
  if (remaining > kMaxCompressedTextSize)
    throw EZDecompressionError("Compressed text is too long");
  std::string text;
  if (remaining == 0) return text;

  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw EZDecompressionError("Inflate could not start");
  std::unique_ptr<z_stream, int (*)(z_stream*)> guard(&z, inflateEnd);
  z.next_in = const_cast<Bytef*>(data + 4);
  z.avail_in = static_cast<uInt>(size - 4);
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[kInflateBufferSize]);
  while (remaining > 0) {
    const uint32_t n = remaining < kInflateBufferSize ? remaining : kInflateBufferSize;
    z.next_out = buffer.get();
    z.avail_out = n;
    while (z.avail_out > 0) {
      const int rc = inflate(&z, Z_NO_FLUSH);
      if (rc == Z_STREAM_END) break;
      if (rc != Z_OK) throw EZDecompressionError("Compressed text is corrupt");
    }
    // A stream that ends before the announced length leaves the rest unread, never stale.
    if (z.avail_out > 0) throw EZDecompressionError("Compressed text ends before its length");
    text.append(reinterpret_cast<const char*>(buffer.get()), n);
    remaining -= n;
  }
  // A stream that ends here must also pass its checksum; a longer one is cut at the length.
  uint8_t extra = 0;
  z.next_out = &extra;
  z.avail_out = 1;
  const int rc = inflate(&z, Z_NO_FLUSH);
  if (rc != Z_STREAM_END && rc != Z_OK)
    throw EZDecompressionError("Compressed text is corrupt");
  return text;
}

std::vector<uint8_t> CompressText(const std::string& text) {
  uLongf bound = compressBound(static_cast<uLong>(text.size()));
  std::vector<uint8_t> out(4 + bound);
  const uint32_t n = static_cast<uint32_t>(text.size());
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(n >> (8 * i));
  if (compress2(out.data() + 4, &bound, reinterpret_cast<const Bytef*>(text.data()),
                static_cast<uLong>(text.size()), 9) != Z_OK)
    throw EZDecompressionError("Text could not be compressed");
  out.resize(4 + bound);
  return out;
}
