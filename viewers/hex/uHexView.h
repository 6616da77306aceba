// The hex viewer's file-backed page buffer: one 8,192-byte page of the file held at a time,
// rows of 16 bytes formatted as offset, hexadecimal bytes and printable characters.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStream;

class tHexView {
 public:
  static constexpr int32_t kPageSize = 8192;
  static constexpr int32_t kRowBytes = 16;

  // Opens the file read-only, shared with writers; an unopenable file shows as empty.
  explicit tHexView(const std::string& fileName);
  ~tHexView();
  tHexView(const tHexView&) = delete;
  tHexView& operator=(const tHexView&) = delete;

  // The row's text with the offset in at least digits hexadecimal digits; empty for a row at or
  // beyond Rows. Characters are UTF-8 (bytes 128..254 as the Windows Latin-1 code page has them).
  std::string FormatLine(int64_t row, int digits);
  // Loads the row's page when it is not loaded; returns the row's offset inside Buffer.
  int32_t PageIn(int64_t row);
  void RowPosition(int64_t row, int64_t& pageStart, int32_t& offsetInPage, int64_t& page) const;

  std::string FileName;
  std::unique_ptr<TStream> Handle;
  std::vector<uint8_t> Buffer;
  int64_t PageStart = 0;
  int64_t Page = -1;
  int64_t Size = 0;  // taken once, at creation
  int64_t Rows = 0;
  int32_t LastRowLength = 0;
};

// The header row of the grid: size in hexadecimal, size with thousands separators, the path.
std::string HexHeaderText(int64_t size, const std::string& fileName);
// A byte as the hex viewer shows it in the character column (UTF-8), "." for codes 0..31, 127
// and 255.
std::string HexCharText(uint8_t b);
