#include "viewers/picture/uSaveDialogModel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TSaveOptions Single(int format, int colors, int width = 640, int height = 480) {
  TSaveOptions o;
  o.Format = format;
  o.Colors = colors;
  o.Width = width;
  o.Height = height;
  return o;
}

std::string Enabled(const tSaveDialogModel& m) {
  std::string s;
  for (const tChoiceState& r : m.Radios) s += r.Enabled ? '1' : '0';
  return s;
}

// Per page: the colour choices offered, the one chosen for a 16m picture, and the option
// boxes' state (Compressed enabled/checked, Interlaced enabled, Comments, Special).
TEST(SaveDialogModel, PagesOfferTheirColoursAndOptions) {
  struct tCase {
    int page;
    int bmpStyle;
    const char* radios;  // tags 0..11
    int chosen;
    bool compressedEnabled, compressedChecked, interlacedEnabled, comments, special;
    const char* interlacedCaption;
  };
  const tCase cases[] = {
      {sfGIF, 0, "111111111000", crtBest256, false, true, true, true, true, "Interlaced"},
      {sfPCX, 0, "111111111001", crt16m, false, false, false, false, false, "Interlaced"},
      {sfBMP, 0, "111111111111", crt16m, false, false, false, false, false, "Interlaced"},
      {sfBMP, 1, "111111111000", crtBest256, false, true, false, false, false, "Interlaced"},
      {sfTGA, 0, "111111111101", crt16m, true, false, false, false, false, "Interlaced"},
      {sfTIF, 0, "111111111101", crt16m, true, false, false, true, false, "Interlaced"},
      {sfJPG, 0, "000000010001", crt16m, false, true, true, true, false, "Progressive"},
      {sfPNG, 0, "111111111001", crt16m, false, true, true, true, false, "Interlaced"},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "page " << c.page << " style " << c.bmpStyle);
    tSaveDialogModel m;
    TSaveOptions wide = Single(c.page, 280);
    wide.BmpStyle = c.bmpStyle;
    m.Fill(wide, "C:\\pics\\a.gif");
    EXPECT_EQ(Enabled(m), c.radios);
    EXPECT_EQ(m.CheckedRadio(), c.chosen);
    EXPECT_EQ(m.Compressed.Enabled, c.compressedEnabled);
    EXPECT_EQ(m.Compressed.Checked, c.compressedChecked);
    EXPECT_EQ(m.Interlaced.Enabled, c.interlacedEnabled);
    EXPECT_EQ(m.CommentsEnabled, c.comments);
    EXPECT_EQ(m.SpecialEnabled, false);  // the picture has more than 256 colours
    EXPECT_EQ(m.InterlacedCaption, c.interlacedCaption);
    m.Fill(Single(c.page, 16), "a.gif");
    EXPECT_EQ(m.SpecialEnabled, c.special);
  }
}

TEST(SaveDialogModel, GreySourceIsGreyEverywhere) {
  TSaveOptions o = Single(sfGIF, 256);
  o.SourceGrey = 1;
  tSaveDialogModel m;
  m.Fill(o, "g.gif");
  EXPECT_TRUE(m.Grayscale.Checked);
  EXPECT_FALSE(m.Grayscale.Enabled);
  m.GrayscaleClicked(false);
  EXPECT_TRUE(m.Grayscale.Checked);
  EXPECT_EQ(m.Best16Caption, "16");
  EXPECT_EQ(m.Best256Caption, "256");
  EXPECT_EQ(Enabled(m), "111011110000");
  m.PageChanged(sfJPG);
  EXPECT_EQ(Enabled(m), "000000010000");
  EXPECT_EQ(m.CheckedRadio(), crtBest256);
  TSaveOptions back;
  m.WriteBack(back);
  EXPECT_EQ(back.Colors, 256);
  EXPECT_EQ(back.Grayscale, 1);
}

TEST(SaveDialogModel, ColourChoicesFollowPageAndGrey) {
  tSaveDialogModel m;
  m.Fill(Single(sfJPG, 280), "a.jpg");
  EXPECT_EQ(m.CheckedRadio(), crt16m);
  // From JPEG's 16m to GIF: the best 256.
  m.PageChanged(sfGIF);
  EXPECT_EQ(m.CheckedRadio(), crtBest256);
  EXPECT_EQ(m.Best256Caption, "256 (best)");
  // 16m cannot be chosen on the GIF page.
  m.ColorClicked(crt16m);
  EXPECT_EQ(m.CheckedRadio(), crtBest256);
  // On JPEG a palette choice means grey, a direct one colour.
  m.PageChanged(sfJPG);
  m.ColorClicked(crtBest256);
  EXPECT_TRUE(m.Grayscale.Checked);
  m.ColorClicked(crt16m);
  EXPECT_FALSE(m.Grayscale.Checked);
  // Grey checked on JPEG selects 256 at once.
  m.GrayscaleClicked(true);
  EXPECT_EQ(m.CheckedRadio(), crtBest256);
  // A choice between codes: the first enabled that holds them (32k on PNG gives 16m).
  m.Fill(Single(sfPNG, 271), "a.png");
  EXPECT_EQ(m.CheckedRadio(), crt16m);
  m.Fill(Single(sfGIF, 16), "a.png");
  EXPECT_EQ(m.CheckedRadio(), 2);
  m.ColorClicked(crtStandard16);
  TSaveOptions back = Single(sfGIF, 16);
  m.WriteBack(back);
  EXPECT_EQ(back.Colors, 16);
  EXPECT_EQ(back.StandardPalette, 1);
  EXPECT_EQ(back.NoDither, 0);
}

TEST(SaveDialogModel, SizeKeepsProportionsAndLimits) {
  struct tCase {
    const char* what;
    int colors;
    bool widthEdit;
    int typed;
    int width, height;
  };
  const tCase cases[] = {
      {"width keeps proportions", 256, true, 320, 320, 240},
      {"height keeps proportions", 256, false, 120, 160, 120},
      {"zero restores the initial size", 256, true, 0, 640, 480},
      {"above the palette limit restores", 256, true, 30001, 640, 480},
      {"palette pictures go to 30000", 256, true, 30000, 30000, 22500},
      {"true colour stops at 10000", 280, true, 10001, 640, 480},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.what);
    tSaveDialogModel m;
    m.Fill(Single(sfBMP, c.colors), "a.bmp");
    if (c.widthEdit)
      m.WidthLeft(c.typed);
    else
      m.HeightLeft(c.typed);
    EXPECT_EQ(m.Width, c.width);
    EXPECT_EQ(m.Height, c.height);
  }
  // Without proportions each side is its own.
  tSaveDialogModel m;
  m.Fill(Single(sfBMP, 256), "a.bmp");
  m.KeepProportions.Checked = false;
  m.WidthLeft(100);
  EXPECT_EQ(m.Height, 480);
  TSaveOptions back = Single(sfBMP, 256);
  m.WriteBack(back);
  EXPECT_EQ(back.Width, 100);
  EXPECT_EQ(back.Height, 480);
}

TEST(SaveDialogModel, BatchModeUsesTheBatchSizeAndTitle) {
  TSaveOptions o = Single(sfPNG, 280);
  o.BatchMode = 1;
  o.BatchSize = bsOriginalSize;
  o.BatchWidth = 800;
  o.BatchHeight = 600;
  o.StorePngGamma = 1;
  tSaveDialogModel m;
  m.Fill(o, "Convert 12 files");
  EXPECT_EQ(m.Caption, "Convert 12 files");
  EXPECT_FALSE(m.SizeEditsEnabled);
  EXPECT_FALSE(m.Wallpaper.Enabled);
  EXPECT_FALSE(m.StoreGamma.Enabled);
  EXPECT_FALSE(m.StoreGamma.Checked);
  EXPECT_FALSE(m.GammaEnabled);
  m.BatchSizeClicked(bsShrinkLarger);
  EXPECT_TRUE(m.SizeEditsEnabled);
  m.WidthLeft(1000);  // batch edits are only checked
  EXPECT_EQ(m.Height, 600);
  m.Wallpaper.Checked = true;
  m.WriteBack(o);
  EXPECT_EQ(o.BatchWidth, 1000);
  EXPECT_EQ(o.BatchHeight, 600);
  EXPECT_EQ(o.Width, 640);
  EXPECT_EQ(o.BatchSize, bsShrinkLarger);
  EXPECT_EQ(o.Wallpaper, 0);
  EXPECT_EQ(o.StorePngGamma, 0);

  tSaveDialogModel single;
  single.Fill(Single(sfPNG, 280), "C:\\pics\\sunset.tif");
  EXPECT_EQ(single.Caption, "Save sunset.tif as...");
}

TEST(SaveDialogModel, HiddenOptionsAndWriteBack) {
  TSaveOptions o = Single(sfTGA, 280);
  o.Compressed = 1;
  o.TopDown = 1;
  tSaveDialogModel m;
  m.Fill(o, "a.tga");
  EXPECT_FALSE(m.GifPanelVisible);
  EXPECT_FALSE(m.CCITT.Visible);
  EXPECT_TRUE(m.Compressed.Checked);
  EXPECT_TRUE(m.Dither.Checked);
  m.CompressedClicked(false);
  m.PageChanged(sfBMP);
  m.PageChanged(sfTIF);
  EXPECT_FALSE(m.Compressed.Checked);  // the user's choice stays across pages
  m.Dither.Checked = false;
  m.Trim.Checked = true;
  m.WriteBack(o);
  EXPECT_EQ(o.Format, sfTIF);
  EXPECT_EQ(o.Compressed, 0);
  EXPECT_EQ(o.NoDither, 1);
  EXPECT_EQ(o.Trim, 1);
  EXPECT_EQ(o.TopDown, 1);
  EXPECT_EQ(o.Colors, 280);

  o.ShowHidden = 1;
  m.Fill(o, "a.tga");
  EXPECT_TRUE(m.GifPanelVisible);
  EXPECT_TRUE(m.CCITT.Enabled);
  EXPECT_FALSE(m.Center.Enabled);  // more than 256 colours
}
}  // namespace
