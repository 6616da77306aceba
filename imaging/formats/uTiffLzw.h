// LZW as TIFF codes it: 8-bit symbols (clear 256, end 257, first free code 258), codes of 9 to
// 12 bits packed most significant bit first, and the code length growing one code early.
// GIF's LZW packs codes the other way round and grows late, so the two share no code.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "foundation/uBuffStream.h"

// The bytes of one strip, read from the stream's position, never past the strip's byte count.
struct tStripBytes {
  tBuffStream& Stream;
  int32_t Left;
  const uint8_t* Order = nullptr;  // bit order table for fill order 2; null: as stored

  // False when the strip or the stream has no more bytes.
  bool Next(uint8_t& b) {
    if (Left <= 0) return false;
    if (Stream.Index >= Stream.BytesValid && Stream.Available() == 0) {
      Left = 0;
      return false;
    }
    b = Stream.Buffer[Stream.Index++];
    --Left;
    if (Order) b = Order[b];
    return true;
  }
};

// Notes on the data for the information lines.
struct tLzwNotes {
  std::vector<int> ClearRuns;           // runs of more than one clear code, by length
  std::vector<int64_t> FullTableBytes;  // bytes output while the table was full, per clear
};

// Takes each full row of rowBytes bytes; true when no further row is wanted.
using tLzwRowSink = std::function<bool(const uint8_t* row)>;

// Decodes strips into rows; its tables and buffers serve every strip of a page.
class tTiffLzwDecoder {
 public:
  explicit tTiffLzwDecoder(int rowBytes);
  ~tTiffLzwDecoder();
  // Decodes one strip. Returns 0 (end code, or the sink wanted no more), 6 (a code beyond the
  // table) or 12 (the data ended first).
  int Decode(tStripBytes& in, const tLzwRowSink& put, tLzwNotes& notes);

 private:
  struct tTable;
  int rowBytes_;
  std::unique_ptr<tTable> table_;
  std::vector<uint8_t> out_;
};
