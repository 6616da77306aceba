#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "imaging/formats/gBMP.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v);
  Put16(out, v >> 16);
}

struct tLayout {
  int bits = 24;
  int stride = 0;
  int entries = 0;
  uint32_t colorsUsed = 0;
  uint32_t imageSize = 0;
};

// The picture's layout at the stored depth, as tMemBmp::Allocate lays it out.
tLayout LayoutFor(int bits, int width, int height, int colors) {
  tLayout l;
  int64_t rowBytes;
  if (bits == 1) {
    rowBytes = (int64_t(width) + 7) / 8, l.entries = 2;
  } else if (bits == 4) {
    rowBytes = (int64_t(width) + 1) / 2, l.entries = 16;
  } else if (bits == 8) {
    rowBytes = width, l.entries = 256;
  } else if (bits == 15 || bits == 16) {
    rowBytes = int64_t(width) * 2;
  } else {
    rowBytes = int64_t(width) * 3;
  }
  l.bits = bits;
  l.stride = static_cast<int>((rowBytes + 3) & ~int64_t(3));
  if (bits <= 8 && colors >= 2 && colors <= 255) {
    if (colors < l.entries) l.colorsUsed = static_cast<uint32_t>(colors);
    l.entries = colors;
  }
  l.imageSize = static_cast<uint32_t>(uint64_t(l.stride) * uint64_t(height));
  return l;
}

int StoredBits(int bits, bool os2) {
  if (bits <= 1) return 1;
  if (bits <= 4) return 4;
  if (bits <= 8) return 8;
  if (bits <= 16 && os2) return 24;
  if (bits <= 15) return 15;
  if (bits == 16) return 16;
  return 24;
}

// Writes a literal stretch as absolute chunks of 3 to maxChunk units, with runs of one unit for
// what cannot form a chunk. A unit is one byte (RLE8) or one packed byte of two pixels (RLE4).
class tRleRow {
 public:
  tRleRow(const uint8_t* row, int units, int pixels, bool nibbles)
      : row_(row), units_(units), pixels_(pixels), nibbles_(nibbles) {}

  void Encode(std::vector<uint8_t>& out, bool last) {
    int x = 0;
    while (x < units_) {
      if (RunAt(x)) {
        int e = x + 3;
        while (e < units_ && row_[e] == row_[x]) ++e;
        EmitRun(out, x, e);
        x = e;
      } else {
        int e = x;
        while (e < units_) {
          if (e >= units_ - 4) {
            e = units_;  // close to the end: the stretch takes the rest of the row
            break;
          }
          if (RunAt(e)) break;
          ++e;
        }
        EmitLiteral(out, x, e);
        x = e;
      }
    }
    out.push_back(0);
    out.push_back(last ? 1 : 0);
  }

 private:
  bool RunAt(int x) const {
    return x + 2 < units_ && row_[x] == row_[x + 1] && row_[x + 1] == row_[x + 2];
  }
  // Pixels covered by units [a, e): the last packed byte of an odd row holds one pixel.
  int Pixels(int a, int e) const {
    if (!nibbles_) return e - a;
    return std::min(e * 2, pixels_) - a * 2;
  }
  void EmitRun(std::vector<uint8_t>& out, int a, int e) {
    int n = Pixels(a, e);
    int maxRun = nibbles_ ? 254 : 255;
    while (n > 0) {
      int c = std::min(n, maxRun);
      out.push_back(static_cast<uint8_t>(c));
      out.push_back(row_[a]);
      n -= c;
    }
  }
  void EmitSingles(std::vector<uint8_t>& out, int a, int e) {
    for (int i = a; i < e; ++i) {
      out.push_back(static_cast<uint8_t>(Pixels(i, i + 1)));
      out.push_back(row_[i]);
    }
  }
  void EmitLiteral(std::vector<uint8_t>& out, int a, int e) {
    if (e - a < 3) {
      EmitSingles(out, a, e);
      return;
    }
    if (!nibbles_) {
      while (e - a >= 3) {
        int c = std::min(e - a, 255);
        EmitAbsolute(out, a, a + c, c);
        a += c;
      }
      EmitSingles(out, a, e);
      return;
    }
    // RLE4: chunks of at most 254 pixels, shortened so that no remainder under 6 pixels is left.
    while (a < e) {
      int n = Pixels(a, e);
      int c = std::min(n, 254);
      if (n - c > 0 && n - c < 6) c = (n - 6) & ~1;
      int units = (c + 1) / 2;
      EmitAbsolute(out, a, a + units, c);
      a += units;
    }
  }
  void EmitAbsolute(std::vector<uint8_t>& out, int a, int e, int pixels) {
    out.push_back(0);
    out.push_back(static_cast<uint8_t>(pixels));
    out.insert(out.end(), row_ + a, row_ + e);
    if ((e - a) & 1) out.push_back(0);
  }

  const uint8_t* row_;
  int units_, pixels_;
  bool nibbles_;
};

}  // namespace

void WriteBMP(tMemBmp& picture, tBuffStream& stream, bool os2Style, bool rle, int bitsPerPixel) {
  const int width = picture.Width(), height = picture.Height();
  const int b = StoredBits(bitsPerPixel, os2Style);
  // Indices are written as they are: a true-colour picture, or more colours than the depth
  // holds, would be written as a wrong picture.
  if (b <= 8 && (picture.BitCount() > 8 || picture.ColorCount() > (1 << b)))
    throw std::invalid_argument("The picture has more colours than the chosen depth holds");
  tLayout l = LayoutFor(b, width, height, picture.ColorCount());
  // An OS/2 header has no colours-used field: readers take 2^bits entries, so the table must
  // have them all or the rows would be read from the wrong place.
  if (os2Style && b <= 8) l.entries = 1 << b, l.colorsUsed = 0;
  const uint32_t headerSize = os2Style ? 12 : 40;
  uint32_t compression = 0;
  if (!os2Style) compression = rle ? (b == 8 ? 1 : b == 4 ? 2 : 0) : (b == 16 ? 3 : 0);
  const uint32_t maskBytes = compression == 3 ? 12 : 0;
  const uint32_t tableBytes = l.entries * (os2Style ? 3 : 4);
  const uint32_t offset = 14 + headerSize + tableBytes + maskBytes;

  std::vector<uint8_t> head;
  head.push_back('B');
  head.push_back('M');
  Put32(head, offset + l.imageSize);
  Put32(head, 0);
  Put32(head, offset);
  if (os2Style) {
    Put32(head, 12);
    Put16(head, static_cast<uint32_t>(width));
    Put16(head, static_cast<uint32_t>(height));
    Put16(head, 1);
    Put16(head, static_cast<uint32_t>(b));
  } else {
    Put32(head, 40);
    Put32(head, static_cast<uint32_t>(width));
    Put32(head, static_cast<uint32_t>(height));
    Put16(head, 1);
    Put16(head, b == 15 ? 16 : static_cast<uint32_t>(b));
    Put32(head, compression);
    Put32(head, l.imageSize);
    Put32(head, 0);
    Put32(head, 0);
    Put32(head, l.colorsUsed);
    Put32(head, 0);
  }
  // A picture with a smaller table than the layout asks for gives black entries.
  for (int i = 0; i < l.entries; ++i) {
    uint8_t quad[4] = {0, 0, 0, 0};
    if (i < picture.PaletteEntries()) std::memcpy(quad, picture.ColorTable + i * 4, 4);
    head.insert(head.end(), quad, quad + (os2Style ? 3 : 4));
  }
  if (compression == 3) {
    Put32(head, 0xF800);
    Put32(head, 0x07E0);
    Put32(head, 0x001F);
  }
  stream.Write(head.data(), static_cast<int32_t>(head.size()));

  std::vector<uint8_t> row(static_cast<size_t>(std::max(l.stride, 1)), 0);
  std::vector<uint8_t> packed, full(b < 8 ? static_cast<size_t>(l.stride) * (8 / b) : 0);
  for (int y = height - 1; y >= 0; --y) {
    std::fill(row.begin(), row.end(), 0);
    if (b <= 8) {
      const uint8_t* pixels = picture.GetByteLine(y);
      if (b == 8) {
        std::memcpy(row.data(), pixels, static_cast<size_t>(width));
      } else {
        // Pack whole bytes only: the unpacked copy may be shorter than a padded row.
        std::memcpy(full.data(), pixels, static_cast<size_t>(width));
        PackPixels(full.data(), row.data(), l.stride, b);
      }
    } else if (b == 15 || b == 16) {
      const uint16_t* pixels = picture.GetLine16(y, b);
      for (int x = 0; x < width; ++x) {
        row[x * 2] = static_cast<uint8_t>(pixels[x]);
        row[x * 2 + 1] = static_cast<uint8_t>(pixels[x] >> 8);
      }
    } else {
      std::memcpy(row.data(), picture.GetRGBLine(y), size_t(width) * 3);
    }
    if (compression == 1 || compression == 2) {
      packed.clear();
      int units = compression == 1 ? width : (width + 1) / 2;
      tRleRow(row.data(), units, width, compression == 2).Encode(packed, y == 0);
      stream.Write(packed.data(), static_cast<int32_t>(packed.size()));
    } else {
      stream.Write(row.data(), l.stride);
    }
  }
  if (compression == 1 || compression == 2) {
    // The file header again, now with the real size.
    std::vector<uint8_t> fix(head.begin(), head.begin() + 14);
    uint32_t size = static_cast<uint32_t>(stream.Position());
    for (int i = 0; i < 4; ++i) fix[2 + i] = static_cast<uint8_t>(size >> (8 * i));
    stream.WriteAt(0, fix.data(), static_cast<int32_t>(fix.size()));
  }
}
