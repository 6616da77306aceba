#include "imaging/uGraphics.h"

#include <gtest/gtest.h>

namespace {
// A 4 x 4 bitmap: the top two rows red, the bottom two blue, with the bottom-left pixel olive
// (the key colour of the glyphs).
void MakeGlyph(TBitmap& b) {
  ASSERT_TRUE(b.SetSize(4, 4));
  TCanvas& c = b.Canvas();
  c.Brush.SetColor(clRed);
  c.FillRect({0, 0, 4, 2});
  c.Brush.SetColor(RGB(0, 0, 255));
  c.FillRect({0, 2, 4, 4});
  c.SetPixel(0, 3, RGB(128, 128, 0));
}
}  // namespace

TEST(Graphics, DrawTransparentKeysOnTheBottomLeftPixel) {
  TBitmap glyph, target;
  MakeGlyph(glyph);
  target.SetSize(8, 8);
  DrawTransparentAt(glyph, target.Canvas(), clSilver, 2, 2);
  TCanvas& c = target.Canvas();
  EXPECT_EQ(c.Pixel(2, 5), clSilver);  // the key pixel takes the colour given
  EXPECT_EQ(c.Pixel(3, 5), RGB(0, 0, 255));
  EXPECT_EQ(c.Pixel(5, 2), clRed);
  EXPECT_EQ(c.Pixel(1, 1), clWhite);  // nothing outside the rectangle
  EXPECT_EQ(c.Brush.Color(), clSilver);
  // Stretched into twice the size.
  DrawTransparent(glyph, c, clBlack, {0, 0, 8, 8});
  EXPECT_EQ(c.Pixel(1, 7), clBlack);
  EXPECT_EQ(c.Pixel(7, 7), RGB(0, 0, 255));
}

TEST(Graphics, FlipRectCountsRowsFromTheBottom) {
  TBitmap b;
  b.SetSize(10, 100);
  RECT r = FlipRect(b, {1, 10, 5, 20});
  EXPECT_EQ(r.left, 1);
  EXPECT_EQ(r.top, 79);
  EXPECT_EQ(r.right, 5);
  EXPECT_EQ(r.bottom, 89);
}

TEST(Graphics, StretchDrawDIBScalesTheSourceRectangle) {
  TBitmap glyph, target;
  MakeGlyph(glyph);
  target.SetSize(8, 8);
  // The whole glyph, doubled.
  StretchDrawDIB(target.Canvas(), {0, 0, 8, 8}, glyph, {0, 0, 4, 4});
  EXPECT_EQ(target.Canvas().Pixel(7, 0), clRed);
  EXPECT_EQ(target.Canvas().Pixel(7, 7), RGB(0, 0, 255));
  EXPECT_EQ(target.Canvas().Pixel(0, 7), RGB(128, 128, 0));
  // Only its top half (rows 0 and 1 from the top are rows 2 and 3 from the bottom).
  target.SetSize(8, 8);
  RECT top = FlipRect(glyph, {0, 0, 4, 2});
  StretchDrawDIB(target.Canvas(), {0, 0, 8, 8}, glyph, {top.left, top.top + 1, 4, top.bottom + 1});
  EXPECT_EQ(target.Canvas().Pixel(0, 7), clRed);
  EXPECT_EQ(target.Canvas().Pixel(7, 0), clRed);
}

TEST(Graphics, StretchDrawFittedKeepsTheAspect) {
  TBitmap wide, target;
  ASSERT_TRUE(wide.SetSize(8, 4));
  wide.Canvas().Brush.SetColor(clRed);
  wide.Canvas().FillRect({0, 0, 8, 4});
  ASSERT_TRUE(target.SetSize(20, 20));
  StretchDrawFitted(target.Canvas(), {0, 0, 20, 20}, wide);
  // 8 x 4 into 20 x 20 maps first and last pixels onto the box: 20 x 9, the rest untouched.
  EXPECT_EQ(target.Canvas().Pixel(19, 0), clRed);
  EXPECT_EQ(target.Canvas().Pixel(0, 8), clRed);
  EXPECT_EQ(target.Canvas().Pixel(0, 9), clWhite);
  EXPECT_EQ(target.Canvas().Pixel(19, 19), clWhite);
}
