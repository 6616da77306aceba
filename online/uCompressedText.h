// Texts shipped inside the program as compressed resources: a 4-byte little-endian length,
// then one zlib stream of exactly that many bytes once inflated.
#pragma once
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// A compressed text that cannot be read (too short, corrupt, or ending before its length).
class EZDecompressionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Inflating works through a buffer of this size.
constexpr size_t kInflateBufferSize = 30000;
// The largest text a resource may announce: more is taken as a corrupt length.
constexpr uint32_t kMaxCompressedTextSize = 64u << 20;

// The whole text; throws EZDecompressionError, leaving nothing behind.
std::string InflateCompressedText(const uint8_t* data, size_t size);
inline std::string InflateCompressedText(const std::vector<uint8_t>& data) {
  return InflateCompressedText(data.data(), data.size());
}
// The container for a text (maximum compression), as the build packs the resources.
std::vector<uint8_t> CompressText(const std::string& text);
