#include "imaging/uImageOps.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "imaging/PictureTestUtil.h"

namespace {

using pictest::Pattern;
using pictest::Pixel;
using tGrid = std::vector<std::vector<uint32_t>>;  // [y][x], top row first

tGrid Grid(tMemBmp& p) {
  tGrid g(p.Height(), std::vector<uint32_t>(p.Width()));
  for (int y = 0; y < p.Height(); ++y) {
    for (int x = 0; x < p.Width(); ++x) g[y][x] = Pixel(p, x, y);
  }
  return g;
}

// The grid of width x height whose pixel (x, y) is at(x, y).
tGrid Make(int width, int height, const std::function<uint32_t(int, int)>& at) {
  tGrid g(height, std::vector<uint32_t>(width));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) g[y][x] = at(x, y);
  }
  return g;
}

std::vector<uint8_t> Table(const tMemBmp& p) {
  return std::vector<uint8_t>(p.ColorTable, p.ColorTable + p.PaletteSize);
}

const int kDepths[] = {1, 4, 8, 15, 16, 24, 32};

// Every geometric operation on a small picture of each stored depth against the same operation
// done on a plain grid of the pixel values.
TEST(ImageOps, GeometryAtEveryDepth) {
  for (int bits : kDepths) {
    SCOPED_TRACE(bits);
    const int W = 13, H = 10;
    auto in = Pattern(W, H, bits);
    in->TransparentIndex = 1;
    if (bits == 16) {
      in->ChannelMasks[0] = 0x1F, in->ChannelMasks[1] = 0x7E0, in->ChannelMasks[2] = 0xF800;
    }
    tGrid g = Grid(*in);
    auto at = [&](int x, int y) { return g[y][x]; };
    struct {
      const char* name;
      tMemBmpPtr out;
      tGrid want;
    } cases[] = {
        {"clone", Clone(*in), g},
        {"mirror", MirrorImage(*in), Make(W, H, [&](int x, int y) { return at(W - 1 - x, y); })},
        {"rotate 1", RotateImage(*in, 1),
         Make(H, W, [&](int x, int y) { return at(y, H - 1 - x); })},
        {"rotate 2", RotateImage(*in, 2),
         Make(W, H, [&](int x, int y) { return at(W - 1 - x, H - 1 - y); })},
        {"rotate 3", RotateImage(*in, 3),
         Make(H, W, [&](int x, int y) { return at(W - 1 - y, x); })},
        {"canvas", ResizeCanvas(*in, W + 3, H - 1),
         Make(W + 3, H - 1, [&](int x, int y) { return x < W ? at(x, y) : 0; })},
        {"canvas bottom taller", ResizeCanvasBottom(*in, W - 2, H + 2),
         Make(W - 2, H + 2, [&](int x, int y) { return y >= 2 ? at(x, y - 2) : 0; })},
        {"canvas bottom lower", ResizeCanvasBottom(*in, W, H - 3),
         Make(W, H - 3, [&](int x, int y) { return at(x, y + 3); })},
        {"tile", TileImage(*in, 2 * W + 5, H + 4),
         Make(2 * W + 5, H + 4, [&](int x, int y) { return at(x % W, y % H); })},
        {"crop", CropToRect(*in, {2, 1, 11, 9}),
         Make(10, 9, [&](int x, int y) { return at(x + 2, y + 1); })},
        {"nearest", ResizeNearest(*in, 7, 23),
         Make(7, 23, [&](int x, int y) { return at(x * W / 7, y * H / 23); })},
    };
    for (auto& c : cases) {
      SCOPED_TRACE(c.name);
      EXPECT_EQ(c.out->BitCount(), in->BitCount());
      EXPECT_EQ(c.out->ColorCount(), in->ColorCount());
      EXPECT_EQ(Table(*c.out), Table(*in));
      EXPECT_EQ(c.out->TransparentIndex, 1);
      EXPECT_EQ(c.out->ChannelMasks[1], in->ChannelMasks[1]);
      EXPECT_EQ(Grid(*c.out), c.want);
    }
    EXPECT_EQ(Grid(*in), g);  // the input is left alone
  }
}

TEST(ImageOps, ConvertTo24BitAtEveryDepth) {
  for (int bits : kDepths) {
    SCOPED_TRACE(bits);
    auto in = Pattern(9, 3, bits);
    in->GrayFlag = 1;
    auto out = ConvertTo24Bit(*in);
    ASSERT_EQ(out->BitCount(), 24);
    EXPECT_EQ(out->GrayFlag, 1);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 9; ++x) {
        uint32_t v = Pixel(*in, x, y), want;
        if (bits <= 8) {
          const uint8_t* e = in->ColorTable + v * 4;
          want = e[0] | e[1] << 8 | e[2] << 16;
        } else if (bits == 15 || bits == 16) {  // 5-5-5 without masks
          want = (v & 0x1F) << 3 | ((v >> 5) & 0x1F) << 11 | ((v >> 10) & 0x1F) << 19;
        } else {
          want = v & 0xFFFFFF;
        }
        ASSERT_EQ(Pixel(*out, x, y), want) << x << "," << y;
      }
    }
  }
}

TEST(ImageOps, RotateRejectsOtherCounts) {
  auto in = Pattern(3, 2, 8);
  for (int n : {0, 4, -1}) {
    try {
      RotateImage(*in, n);
      FAIL() << n;
    } catch (const std::invalid_argument& e) {
      EXPECT_EQ(std::string(e.what()), "Invalid rotation \"" + std::to_string(n) + "\"");
    }
  }
}

TEST(ImageOps, CropToRect) {
  auto in = Pattern(20, 12, 8);
  auto at = [&](int x, int y) { return Pixel(*in, x, y); };
  // Narrower or lower than 8 keeps the whole picture.
  EXPECT_EQ(Grid(*CropToRect(*in, {0, 0, 6, 11})), Grid(*in));
  EXPECT_EQ(Grid(*CropToRect(*in, {3, 2, 15, 8})), Grid(*in));
  EXPECT_EQ(Grid(*CropToRect(*in, {5, 5, 1, 1})), Grid(*in));
  // A rectangle reaching past the picture is clipped to it.
  auto clipped = CropToRect(*in, {-5, 4, 40, 30});
  EXPECT_EQ(Grid(*clipped), Make(20, 8, [&](int x, int y) { return at(x, y + 4); }));
  auto corner = CropToRect(*in, {15, 7, 24, 16});
  EXPECT_EQ(Grid(*corner), Make(5, 5, [&](int x, int y) { return at(x + 15, y + 7); }));
  // Wholly outside: nothing to cut.
  EXPECT_THROW(CropToRect(*in, {30, 0, 40, 11}), std::invalid_argument);
  EXPECT_THROW(CropToRect(*in, {0, -20, 19, -10}), std::invalid_argument);
}

tMemBmpPtr Framed(int width, int height, int bits, TRect content) {
  auto p = pictest::Blank(width, height, bits);
  uint32_t border = bits <= 8 ? 2 : 0x203040, inside = bits <= 8 ? 5 : 0xA0B0C0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bool in = x >= content.Left && x <= content.Right && y >= content.Top && y <= content.Bottom;
      pictest::SetPixel(*p, x, y, in ? inside : border);
    }
  }
  return p;
}

TEST(ImageOps, FindTrimRectAndAutoTrim) {
  for (int bits : {8, 24}) {
    SCOPED_TRACE(bits);
    TRect r;
    FindTrimRect(*Framed(30, 20, bits, {-1, -1, -1, -1}), r);
    EXPECT_EQ(r, (TRect{0, 0, 29, 19}));  // one colour: the whole picture
    FindTrimRect(*Framed(30, 20, bits, {4, 3, 25, 16}), r);
    EXPECT_EQ(r, (TRect{4, 3, 25, 16}));
    auto trimmed = AutoTrim(*Framed(30, 20, bits, {4, 3, 25, 16}));
    EXPECT_EQ(trimmed->Width(), 22);
    EXPECT_EQ(trimmed->Height(), 14);
    // Content reaching the top edge: no top border.
    FindTrimRect(*Framed(30, 20, bits, {4, 0, 25, 16}), r);
    EXPECT_EQ(r, (TRect{4, 0, 25, 16}));
  }
  // True colour compares the top 3 bits of each channel: near colours are one border.
  auto noisy = Framed(30, 20, 24, {4, 3, 25, 16});
  pictest::SetPixel(*noisy, 10, 1, 0x3F3F5F);
  TRect r;
  FindTrimRect(*noisy, r);
  EXPECT_EQ(r, (TRect{4, 3, 25, 16}));
  // A small trim rectangle keeps the whole picture.
  EXPECT_EQ(AutoTrim(*Framed(30, 20, 8, {4, 3, 8, 16}))->Width(), 30);
}

TEST(ImageOps, AddPaletteEntries) {
  auto one = Pattern(11, 3, 1);
  auto more = AddPaletteEntries(*one, 2);
  EXPECT_EQ(more->ColorCount(), 4);
  EXPECT_EQ(more->PaletteEntries(), 4);
  EXPECT_EQ(Grid(*more), Grid(*one));
  EXPECT_EQ(std::vector<uint8_t>(more->ColorTable, more->ColorTable + 8), Table(*one));
  EXPECT_EQ(std::vector<uint8_t>(more->ColorTable + 8, more->ColorTable + 16),
            std::vector<uint8_t>(8, 0));
  auto four = Pattern(5, 2, 4);
  auto seventeen = AddPaletteEntries(*four, 1);
  EXPECT_EQ(seventeen->BitCount(), 8);
  EXPECT_EQ(seventeen->ColorCount(), 17);
  EXPECT_EQ(Grid(*seventeen), Grid(*four));
  auto full = AddPaletteEntries(*Pattern(5, 2, 8), 1);
  EXPECT_EQ(full->PaletteEntries(), 256);
  EXPECT_EQ(AddPaletteEntries(*Pattern(5, 2, 24), 3)->BitCount(), 24);
}

TEST(ImageOps, ApplyColorMap) {
  uint8_t invert[768];
  for (int v = 0; v < 256; ++v) invert[v * 3] = invert[v * 3 + 1] = invert[v * 3 + 2] = 255 - v;
  uint8_t swap[768];  // a map that tells the channels apart: red +1, green +2, blue +3
  for (int v = 0; v < 256; ++v) {
    swap[v * 3] = uint8_t(v + 1), swap[v * 3 + 1] = uint8_t(v + 2),
             swap[v * 3 + 2] = uint8_t(v + 3);
  }
  auto pal = Pattern(6, 2, 8);
  auto mapped = ApplyColorMap(*pal, swap);
  EXPECT_EQ(Grid(*mapped), Grid(*pal));
  EXPECT_EQ(mapped->ColorTable[7 * 4], uint8_t(pal->ColorTable[7 * 4] + 3));  // blue
  EXPECT_EQ(mapped->ColorTable[7 * 4 + 1], uint8_t(pal->ColorTable[7 * 4 + 1] + 2));
  EXPECT_EQ(mapped->ColorTable[7 * 4 + 2], uint8_t(pal->ColorTable[7 * 4 + 2] + 1));  // red
  auto rgb = Pattern(6, 2, 24);
  auto rgbMapped = ApplyColorMap(*rgb, swap);
  for (int i = 0; i < 18; ++i) {
    EXPECT_EQ(rgbMapped->ScanLine(1)[i], uint8_t(rgb->ScanLine(1)[i] + 3 - i % 3));
  }
  auto hi = Pattern(6, 2, 16);
  auto hiMapped = ApplyColorMap(*hi, invert);
  const uint8_t* a = hi->GetRGBLine(0);
  std::vector<uint8_t> before(a, a + 18);
  const uint8_t* b = hiMapped->GetRGBLine(0);
  for (int i = 0; i < 18; ++i) EXPECT_EQ(b[i], (255 - before[i]) & 0xF8);
}

TEST(ImageOps, HistogramAndCompactPalette) {
  auto p = pictest::Blank(4, 3, 8);
  const uint32_t indices[12] = {3, 3, 7, 200, 7, 3, 3, 3, 200, 200, 3, 3};
  for (int i = 0; i < 12; ++i) pictest::SetPixel(*p, i % 4, i / 4, indices[i]);
  int32_t counts[256];
  uint8_t palette[768];
  EXPECT_EQ(Histogram(*p, counts, palette), 3);
  EXPECT_EQ(counts[3], 7);
  EXPECT_EQ(counts[7], 2);
  EXPECT_EQ(counts[200], 3);
  EXPECT_EQ(palette[7 * 3], p->ColorTable[7 * 4 + 2]);
  EXPECT_EQ(Histogram(*Pattern(3, 3, 24), counts, nullptr), 0);

  auto compact = CompactPalette(*p);
  EXPECT_EQ(compact->PaletteEntries(), 4);  // 3 colours in 2 bits, stored at 8
  uint8_t cp[768];
  compact->GetPalette(cp);
  for (int k = 0; k < 3; ++k) {
    int old = std::vector<int>{3, 7, 200}[k];
    EXPECT_EQ(cp[k * 3], p->ColorTable[old * 4 + 2]);
    EXPECT_EQ(cp[k * 3 + 2], p->ColorTable[old * 4]);
  }
  EXPECT_EQ(cp[9], 0xFF);
  for (int i = 0; i < 12; ++i) {
    uint32_t want = indices[i] == 3 ? 0 : indices[i] == 7 ? 1 : 2;
    EXPECT_EQ(Pixel(*compact, i % 4, i / 4), want);
  }

  // Entries only a few levels apart stay apart: compacting renumbers, it does not merge.
  auto near = pictest::Blank(4, 1, 8);
  const uint8_t close[4][3] = {{0, 0, 0}, {4, 0, 0}, {0, 0, 4}, {200, 10, 10}};
  for (int i = 0; i < 4; ++i) {
    for (int c = 0; c < 3; ++c) near->ColorTable[(10 + i) * 4 + 2 - c] = close[i][c];
    pictest::SetPixel(*near, i, 0, 10 + i);
  }
  auto kept = CompactPalette(*near);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Pixel(*kept, i, 0), uint32_t(i));
  const uint8_t* rgb = kept->GetRGBLineSwapped(0);
  EXPECT_EQ(std::vector<uint8_t>(rgb, rgb + 12),
            (std::vector<uint8_t>{0, 0, 0, 4, 0, 0, 0, 0, 4, 200, 10, 10}));
}

TEST(ImageOps, FilterLevels) {
  // A flat picture stays flat at every level, colour or grey.
  for (int level : {-4, -3, -2, -1, 1, 2, 3, 4}) {
    auto flat = pictest::FromBgr(7, 6, std::vector<uint8_t>(7 * 6 * 3, 90));
    auto out = FilterImage(*flat, level);
    EXPECT_EQ(out->BitCount(), 24);
    EXPECT_EQ(Grid(*out), Grid(*flat)) << level;
  }
  // A spike of 100 in a field of 50 (5 x 5, centre at 2, 2).
  std::vector<uint8_t> bgr(5 * 5 * 3, 50);
  for (int c = 0; c < 3; ++c) bgr[(2 * 5 + 2) * 3 + c] = 100;
  auto spike = pictest::FromBgr(5, 5, bgr);
  const std::pair<int, int> want[] = {{1, 150}, {2, 200}, {3, 255}, {4, 255},
                                      {-1, 75}, {-2, 62}, {-3, 55}, {-4, 52}};
  for (auto [level, centre] : want) {
    auto out = FilterImage(*spike, level);
    EXPECT_EQ(out->ScanLine(2)[2 * 3], centre) << level;
    // Borders out of the kernel's reach are copied.
    EXPECT_EQ(out->ScanLine(0)[0], 50) << level;
  }
  // Sharpening around the spike: a neighbour at level 4 is 9 x 50 - (7 x 50 + 100) = 0.
  EXPECT_EQ(FilterImage(*spike, 4)->ScanLine(2)[1 * 3], 0);
  // Palette pictures are filtered as 24 bits; grey ones as 256 greys.
  EXPECT_EQ(FilterImage(*Pattern(6, 6, 8), 1)->BitCount(), 24);
  auto grey = std::make_unique<tMemBmp>();
  tQuadPalette quads = RGBToQuads(GrayPalette(256));
  grey->Allocate(5, 5, true, quads.data(), 256, 8);
  for (int y = 0; y < 5; ++y) std::fill(grey->ScanLine(y), grey->ScanLine(y) + 5, 50);
  grey->ScanLine(2)[2] = 100;
  auto greyOut = FilterImage(*grey, 1);
  EXPECT_EQ(greyOut->BitCount(), 8);
  EXPECT_EQ(greyOut->GrayFlag, 1);
  EXPECT_EQ(greyOut->ScanLine(2)[2], 150);
  EXPECT_EQ(greyOut->ScanLine(2)[1], (16 * 50 - (7 * 50 + 100)) / 8);
}

TEST(ImageOps, ResizeChoosesAndAverages) {
  std::vector<uint8_t> bgr = {0, 0, 0, 30, 30, 30, 90, 90, 90, 200, 200, 200};
  auto row = pictest::FromBgr(4, 1, bgr);
  // 4 -> 2 wide: map 0, 3, 4, so pixel 0 averages old 0..2 and pixel 1 is old 3.
  auto smooth = ResizeSmooth(*row, 2, 1);
  EXPECT_EQ(Grid(*smooth), (tGrid{{0x282828, 0xC8C8C8}}));
  EXPECT_EQ(Grid(*ResizeImage(*row, 2, 1, 1)), Grid(*smooth));
  // 24 bits with mode 0: nearest (old pixels 0 and 2).
  EXPECT_EQ(Grid(*ResizeImage(*row, 2, 1, 0)), (tGrid{{0, 0x5A5A5A}}));
  EXPECT_EQ(Grid(*ResizeImage(*row, 2, 1, -1)), (tGrid{{0, 0x5A5A5A}}));
  // Palette pictures smooth with mode 0, to 24 bits; never with -1.
  auto pal = Pattern(8, 8, 8);
  EXPECT_EQ(ResizeImage(*pal, 4, 4, 0)->BitCount(), 24);
  EXPECT_EQ(ResizeImage(*pal, 4, 4, -1)->BitCount(), 8);
  // The same size, or one side growing while the other shrinks: nearest, the format kept.
  EXPECT_EQ(Grid(*ResizeImage(*pal, 8, 8, 1)), Grid(*pal));
  EXPECT_EQ(ResizeImage(*pal, 8, 8, 1)->BitCount(), 8);
  EXPECT_EQ(ResizeImage(*pal, 4, 12, 1)->BitCount(), 8);
  // Wider: index-mapped samples, i (old - 1) / (new - 1) rounded.
  auto wide = ResizeSmooth(*row, 7, 1);
  EXPECT_EQ(Grid(*wide), (tGrid{{0, 0x1E1E1E, 0x1E1E1E, 0x5A5A5A, 0x5A5A5A, 0xC8C8C8, 0xC8C8C8}}));
  // Narrower and lower: blocks of rows and columns.
  std::vector<uint8_t> square;
  for (int i = 0; i < 16; ++i) square.insert(square.end(), 3, uint8_t(i * 10));
  auto shrunk = ResizeSmooth(*pictest::FromBgr(4, 4, square), 2, 2);
  // Row map 0, 3, 4 as for the columns: block (0..2, 0..2) and the single pixel (3, 3).
  EXPECT_EQ(shrunk->ScanLine(0)[0], 50);
  EXPECT_EQ(shrunk->ScanLine(1)[3], 150);
  EXPECT_EQ(shrunk->ScanLine(0)[3], (30 + 70 + 110) / 3);
  // Empty sizes give empty pictures.
  EXPECT_EQ(ResizeSmooth(*row, 0, 5)->Width(), 0);
  EXPECT_EQ(ResizeNearest(*row, 3, 0)->Height(), 0);
}

TEST(ImageOps, BlockMasks) {
  auto top = MakeBlockMask(10, 6, 3, 2);
  ASSERT_EQ(top->BitCount(), 1);
  EXPECT_EQ(Grid(*top), Make(10, 6, [](int x, int y) { return x < 3 && y < 2 ? 1u : 0u; }));
  auto bottom = MakeBlockMaskBottom(10, 6, 3, 2);
  EXPECT_EQ(Grid(*bottom), Make(10, 6, [](int x, int y) { return x < 3 && y >= 4 ? 1u : 0u; }));
  EXPECT_EQ(Grid(*MakeBlockMaskBottom(10, 6, 4, 6)), Grid(*MakeBlockMask(10, 6, 4, 6)));
  EXPECT_EQ(Grid(*MakeBlockMask(4, 2, 40, 40)), Make(4, 2, [](int, int) { return 1u; }));
}

TEST(ImageOps, TransformPipelineOrder) {
  auto in = Pattern(6, 4, 24);
  // No step asked: a copy.
  auto same = ApplyImageTransforms(*in, nullptr, 0, false, false, 0, 0);
  EXPECT_NE(same.get(), in.get());
  EXPECT_EQ(Grid(*same), Grid(*in));
  // Rotation then mirror: a quarter turn clockwise mirrored is a transpose.
  auto t = ApplyImageTransforms(*in, nullptr, 1, true, false, 0, 0);
  EXPECT_EQ(Grid(*t), Make(4, 6, [&](int x, int y) { return Pixel(*in, y, x); }));
  // Colour map before negative: the negative of the mapped picture.
  uint8_t plus[768];
  for (int v = 0; v < 256; ++v) plus[v * 3] = plus[v * 3 + 1] = plus[v * 3 + 2] = uint8_t(v / 2);
  auto mn = ApplyImageTransforms(*in, plus, 0, false, true, 0, 0);
  for (int i = 0; i < 18; ++i) EXPECT_EQ(mn->ScanLine(2)[i], 255 - in->ScanLine(2)[i] / 2);
  // Grey modes: 1 black and white, 2 256 greys.
  auto bw = ApplyImageTransforms(*in, nullptr, 2, false, false, 0, 1);
  EXPECT_EQ(bw->BitCount(), 1);
  EXPECT_EQ(bw->GrayFlag, 1);
  auto grey = ApplyImageTransforms(*in, nullptr, 0, false, true, 1, 2);
  EXPECT_EQ(grey->BitCount(), 8);
  EXPECT_EQ(grey->GrayFlag, 1);
  EXPECT_EQ(Grid(*in), Grid(*Pattern(6, 4, 24)));
}

}  // namespace
