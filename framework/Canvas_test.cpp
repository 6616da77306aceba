// Canvas, bitmaps and image lists on off-screen bitmaps, read back pixel by pixel.
#include "framework/Canvas.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/ImageList.h"

namespace {
// A BMP file image of 2 x 2 pixels, 24-bit, bottom-up: red, green / blue, white (top row).
std::vector<uint8_t> SmallBmp() {
  std::vector<uint8_t> b(14 + 40 + 16, 0);
  b[0] = 'B';
  b[1] = 'M';
  uint32_t size = static_cast<uint32_t>(b.size()), off = 54;
  std::memcpy(&b[2], &size, 4);
  std::memcpy(&b[10], &off, 4);
  BITMAPINFOHEADER h{};
  h.biSize = 40;
  h.biWidth = 2;
  h.biHeight = 2;
  h.biPlanes = 1;
  h.biBitCount = 24;
  std::memcpy(&b[14], &h, 40);
  const uint8_t rows[16] = {0,   0, 255, 0,   255, 0,   0, 0,   // bottom: red, green
                            255, 0, 0,   255, 255, 255, 0, 0};  // top: blue, white
  std::memcpy(&b[54], rows, 16);
  return b;
}
}  // namespace

TEST(Canvas, DrawsShapesAndTextOnAnOffScreenBitmap) {
  TBitmap bmp;
  ASSERT_TRUE(bmp.SetSize(40, 30));
  TCanvas& c = bmp.Canvas();
  EXPECT_EQ(c.Pixel(3, 3), clWhite);
  c.Brush.SetColor(clNavy);
  c.FillRect({0, 0, 10, 10});
  EXPECT_EQ(c.Pixel(9, 9), clNavy);
  EXPECT_EQ(c.Pixel(10, 10), clWhite);
  RECT r{10, 10, 30, 30};
  c.Frame3D(r, clWhite, clBlack, 2);
  EXPECT_EQ(c.Pixel(29, 29), clBlack);  // bottom-right, outer ring
  EXPECT_EQ(c.Pixel(11, 20), clWhite);  // left, inner ring
  EXPECT_EQ(r.left, 12);
  EXPECT_EQ(r.right, 28);
  c.Pen.SetColor(clRed);
  c.Polyline({{0, 20}, {5, 20}, {5, 25}});
  EXPECT_EQ(c.Pixel(3, 20), clRed);
  EXPECT_EQ(c.Pixel(5, 23), clRed);
  c.Font.SetName("Terminal");
  c.Font.SetSize(9);
  c.Font.SetPitch(fpFixed);
  SIZE m = c.TextExtent("M"), i = c.TextExtent("i"), spaces = c.TextExtent("          ");
  EXPECT_GT(m.cy, 6);
  // A fixed-pitch face, also where the system has no face of that name.
  EXPECT_EQ(i.cx, m.cx);
  EXPECT_EQ(spaces.cx, 10 * m.cx);
}

TEST(Canvas, BrushCopyReplacesOneColourWithTheBrush) {
  TBitmap glyph;
  ASSERT_TRUE(glyph.LoadFromBmpImage(SmallBmp().data(), SmallBmp().size()));
  TBitmap target;
  ASSERT_TRUE(target.SetSize(4, 4));
  TCanvas& c = target.Canvas();
  c.Brush.SetColor(clTeal);
  // Blue (the top-left pixel) is the key colour here.
  c.BrushCopy({1, 1, 3, 3}, glyph, {0, 0, 2, 2}, RGB(0, 0, 255));
  EXPECT_EQ(c.Pixel(1, 1), clTeal);
  EXPECT_EQ(c.Pixel(2, 1), RGB(255, 255, 255));
  EXPECT_EQ(c.Pixel(1, 2), RGB(255, 0, 0));
  EXPECT_EQ(c.Pixel(2, 2), RGB(0, 255, 0));
  EXPECT_EQ(c.Pixel(0, 0), clWhite);
}

TEST(Bitmap, TakesABmpImageAsItIsAndRefusesBrokenOnes) {
  std::vector<uint8_t> good = SmallBmp();
  TBitmap bmp;
  ASSERT_TRUE(bmp.LoadFromBmpImage(good.data(), good.size()));
  EXPECT_EQ(bmp.Width(), 2);
  EXPECT_EQ(bmp.Height(), 2);
  EXPECT_EQ(bmp.Canvas().Pixel(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(bmp.Canvas().Pixel(0, 1), RGB(255, 0, 0));
  // Without the file header: info header, then the rows.
  EXPECT_TRUE(bmp.LoadFromBmpImage(good.data() + 14, good.size() - 14));

  auto broken = [&](auto change) {
    std::vector<uint8_t> b = good;
    change(b);
    TBitmap t;
    return !t.LoadFromBmpImage(b.data(), b.size()) && t.Empty();
  };
  auto header = [](std::vector<uint8_t>& b) { return reinterpret_cast<BITMAPINFOHEADER*>(&b[14]); };
  EXPECT_TRUE(broken([](std::vector<uint8_t>& b) { b.resize(60); }));  // rows cut short
  EXPECT_TRUE(broken([&](std::vector<uint8_t>& b) { header(b)->biWidth = 1000000; }));
  EXPECT_TRUE(broken([&](std::vector<uint8_t>& b) { header(b)->biHeight = 0; }));
  EXPECT_TRUE(broken([&](std::vector<uint8_t>& b) { header(b)->biBitCount = 7; }));
  EXPECT_TRUE(broken([&](std::vector<uint8_t>& b) { header(b)->biCompression = BI_RLE8; }));
  EXPECT_TRUE(broken([&](std::vector<uint8_t>& b) { header(b)->biSize = 4000; }));
  EXPECT_TRUE(broken([](std::vector<uint8_t>& b) {
    uint32_t off = 0xFFFFFFF0u;
    std::memcpy(&b[10], &off, 4);
  }));
  EXPECT_TRUE(broken([&](std::vector<uint8_t>& b) {
    header(b)->biBitCount = 8;
    header(b)->biClrUsed = 300;
  }));
  EXPECT_FALSE(TBitmap().LoadFromBmpImage(good.data(), 10));
}

TEST(Bitmap, GetDIBGivesTheRowsBack) {
  TBitmap bmp;
  std::vector<uint8_t> good = SmallBmp();
  ASSERT_TRUE(bmp.LoadFromBmpImage(good.data(), good.size()));
  std::vector<uint8_t> info, bits;
  ASSERT_TRUE(bmp.GetDIB(info, bits));
  auto* h = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  EXPECT_EQ(h->biWidth, 2);
  EXPECT_EQ(h->biBitCount, 24);
  ASSERT_EQ(bits.size(), 16u);
  EXPECT_EQ(std::vector<uint8_t>(bits.begin(), bits.end()),
            std::vector<uint8_t>(good.begin() + 54, good.end()));
}

TEST(ImageList, DrawsItsImagesByIndex) {
  TImageList images(2, 2);
  TBitmap a, b;
  a.SetSize(2, 2);
  a.Canvas().Brush.SetColor(clRed);
  a.Canvas().FillRect({0, 0, 2, 2});
  std::vector<uint8_t> good = SmallBmp();
  b.LoadFromBmpImage(good.data(), good.size());
  EXPECT_EQ(images.Add(a), 0);
  EXPECT_EQ(images.Add(b), 1);
  EXPECT_EQ(images.Count(), 2);
  TBitmap target;
  target.SetSize(6, 2);
  images.Draw(target.Canvas(), 0, 0, 0);
  images.Draw(target.Canvas(), 3, 0, 1);
  images.Draw(target.Canvas(), 5, 0, 7);  // no such image: nothing
  EXPECT_EQ(target.Canvas().Pixel(1, 1), clRed);
  EXPECT_EQ(target.Canvas().Pixel(3, 0), RGB(0, 0, 255));
  EXPECT_EQ(target.Canvas().Pixel(5, 0), clWhite);
}

// A pen, brush or font changed while selected in the context is freed, not left behind: the
// context gets its own object back first.
TEST(Canvas, ChangedObjectsAreFreedNotLeftSelected) {
  TBitmap bmp;
  ASSERT_TRUE(bmp.SetSize(10, 10));
  TCanvas& c = bmp.Canvas();
  HDC dc = c.Handle();
  c.Brush.SetColor(clRed);
  c.FillRect({0, 0, 5, 5});
  c.TextOut(0, 0, "x");
  c.LineTo(5, 5);
  HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH), font = GetCurrentObject(dc, OBJ_FONT),
          pen = GetCurrentObject(dc, OBJ_PEN);
  c.Brush.SetColor(clNavy);
  c.Font.SetStyle(fsBold);
  c.Pen.SetColor(clRed);
  for (HGDIOBJ gone : {brush, font, pen}) {
    EXPECT_EQ(GetObjectType(gone), 0u);
    EXPECT_NE(GetCurrentObject(dc, OBJ_BRUSH), gone);
    EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), gone);
    EXPECT_NE(GetCurrentObject(dc, OBJ_PEN), gone);
  }
  // Drawing goes on with the new objects.
  c.FillRect({0, 0, 5, 5});
  EXPECT_EQ(c.Pixel(1, 1), clNavy);
}
