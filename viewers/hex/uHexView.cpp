// The hex viewer's page buffer and row texts.
#include "viewers/hex/uHexView.h"

#include <algorithm>

#include "foundation/uBuffStream.h"
#include "foundation/uFormat.h"

namespace {

// Windows-1252 for 0x80..0x9F; the bytes it leaves undefined keep their Latin-1 code.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& s, uint32_t cp) {
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string HexCharText(uint8_t b) {
  if (b < 32 || b == 127 || b == 255) return ".";
  std::string s;
  AppendUtf8(s, b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : b);
  return s;
}

std::string HexHeaderText(int64_t size, const std::string& fileName) {
  return Format("%.8x = %.0n %s", {size, static_cast<double>(size), fileName});
}

tHexView::tHexView(const std::string& fileName) : FileName(fileName), Buffer(kPageSize, 0) {
  Handle = OpenFileStream(fileName);
  if (Handle) Size = std::max<int64_t>(0, Handle->Seek(0, soFromEnd));
  Rows = (Size + kRowBytes - 1) / kRowBytes;
  LastRowLength = Size == 0 ? 0 : static_cast<int32_t>(Size - (Rows - 1) * kRowBytes);
}

tHexView::~tHexView() = default;

void tHexView::RowPosition(int64_t row, int64_t& pageStart, int32_t& offsetInPage,
                           int64_t& page) const {
  const int64_t b = row * kRowBytes;
  page = b / kPageSize;
  pageStart = page * kPageSize;
  offsetInPage = static_cast<int32_t>(b - pageStart);
}

int32_t tHexView::PageIn(int64_t row) {
  int64_t start = 0, page = 0;
  int32_t offset = 0;
  RowPosition(row, start, offset, page);
  if (page != Page) {
    Page = page;
    PageStart = start;
    std::fill(Buffer.begin(), Buffer.end(), uint8_t{0});
    // A short read at the end of the file is no error: the last row's length limits the row.
    if (Handle && Handle->Seek(start, soFromBeginning) == start) Handle->Read(Buffer.data(), kPageSize);
  }
  return offset;
}

std::string tHexView::FormatLine(int64_t row, int digits) {
  if (row < 0 || row >= Rows) return "";
  const int n = row == Rows - 1 ? LastRowLength : kRowBytes;
  const uint8_t* bytes = Buffer.data() + PageIn(row);
  std::string text = Format("%.*x ", {digits, row * kRowBytes});
  for (int i = 0; i < kRowBytes; ++i) text += i < n ? Format("%.2x ", {bytes[i]}) : "   ";
  for (int i = 0; i < n; ++i) text += HexCharText(bytes[i]);
  return text;
}
