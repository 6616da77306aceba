// GIF writer: one picture as a single-image GIF89a with a global colour table, an optional
// comment and transparent index, sequential or interlaced rows, LZW-compressed.
#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/uFormat.h"
#include "imaging/Palettes.h"
#include "imaging/Quantize.h"
#include "imaging/formats/gGIF.h"
#include "imaging/formats/uLzw.h"

namespace {

void Put16(std::vector<uint8_t>& out, int v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

// Rows in the order they are stored: sequential, or the four interlace passes.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> rows;
  rows.reserve(static_cast<size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) rows.push_back(y);
    return rows;
  }
  static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
  return rows;
}

void WriteImage(tMemBmp& picture, tBuffStream& stream, const std::vector<uint8_t>& head,
                bool interlaced) {
  stream.Write(head.data(), static_cast<int32_t>(head.size()));
  const int colors = picture.ColorCount();
  const uint8_t minCodeSize = static_cast<uint8_t>(std::max(2, BitsForColors(colors)));
  stream.Write(&minCodeSize, 1);
  tLzwEncoder encoder(minCodeSize, tLzwEncoder::LsbFirst, false,
                      [&stream](const uint8_t* data, int count) {
                        const uint8_t length = static_cast<uint8_t>(count);
                        stream.Write(&length, 1);
                        stream.Write(data, count);
                      });
  const int width = picture.Width();
  for (int y : RowOrder(picture.Height(), interlaced)) {
    const uint8_t* row = picture.GetByteLine(y);
    for (int x = 0; x < width; ++x)
      if (row[x] > colors - 1) throw EGifError(Format("pixel=%d (%d)", {row[x], colors}));
    encoder.Put(row, width);
  }
  encoder.Finish();
  const uint8_t tail[2] = {0, ';'};  // the data's terminator, the trailer
  stream.Write(tail, 2);
}

}  // namespace

void WriteGIF(tMemBmp& picture, tBuffStream& stream, const std::string& comment,
              int transparentIndex, int backgroundIndex, bool interlaced) {
  const int c = picture.ColorCount();
  int n = c <= 256 ? 1 << BitsForColors(c) : c;
  tMemBmp* written = &picture;
  tMemBmpPtr reduced;
  if (n > 256) {
    n = 256;
    reduced = ReduceOptimalDithered(picture, 256);
    written = reduced.get();
  }
  uint8_t palette[768];
  written->GetPalette(palette);
  const int sizeBits = BitsForColors(n);

  std::vector<uint8_t> head = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(head, written->Width());
  Put16(head, written->Height());
  head.push_back(static_cast<uint8_t>((sizeBits - 1) | 0x70 | 0x80));
  head.push_back(static_cast<uint8_t>(std::min(n - 1, std::max(0, backgroundIndex))));
  head.push_back(0);
  head.insert(head.end(), palette, palette + n * 3);
  if (!comment.empty()) {
    head.push_back(0x21);
    head.push_back(0xFE);
    for (size_t at = 0; at < comment.size(); at += 255) {
      size_t length = std::min<size_t>(255, comment.size() - at);
      head.push_back(static_cast<uint8_t>(length));
      head.insert(head.end(), comment.begin() + at, comment.begin() + at + length);
    }
    head.push_back(0);
  }
  if (transparentIndex >= 0 && transparentIndex < n)
    head.insert(head.end(), {0x21, 0xF9, 4, 0x01, 0, 0, static_cast<uint8_t>(transparentIndex), 0});
  head.push_back(0x2C);
  Put16(head, 0);
  Put16(head, 0);
  Put16(head, written->Width());
  Put16(head, written->Height());
  head.push_back(static_cast<uint8_t>((sizeBits - 1) | (interlaced ? 0x40 : 0)));
  WriteImage(*written, stream, head, interlaced);
}
