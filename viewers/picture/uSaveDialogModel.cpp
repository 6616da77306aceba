#include "viewers/picture/uSaveDialogModel.h"

#include "foundation/uFiles.h"
#include "foundation/uUtil.h"
#include "imaging/uGraphic.h"

int tSaveDialogModel::CheckedRadio() const {
  for (int i = 0; i < kColorRadioCount; ++i)
    if (Radios[i].Checked) return i;
  return -1;
}

void tSaveDialogModel::Fill(const TSaveOptions& o, const std::string& pictureName) {
  updating_ = true;
  Page = o.Format;
  BmpStyle = o.BmpStyle;
  JpegQuality = o.JpegQuality;
  PngGamma = o.PngGamma;
  CurrentColors = InitialColors = o.Colors;
  compressed_ = o.Compressed;
  interlaced_ = o.Interlaced;
  TopDown.Checked = o.TopDown;
  StoreGamma = {o.StorePngGamma != 0, true, true};
  Wallpaper = {false, true, true};
  // The special GIF options and fax coding are offered only when asked for.
  GifPanelVisible = o.ShowHidden != 0;
  CCITT = {false, GifPanelVisible, GifPanelVisible};
  Dither = {true, true, true};
  Center = {false, CurrentColors <= 256, GifPanelVisible};
  for (tChoiceState* c :
       {&Emboss, &Tile, &ThumbnailPalette, &PlusLime, &Imprint, &Optimize, &Smooth, &Rescale})
    *c = {false, GifPanelVisible, GifPanelVisible};
  SourceGrey = o.SourceGrey != 0;
  Grayscale = {SourceGrey || o.Grayscale, !SourceGrey, true};
  Best16Caption = SourceGrey ? "16" : "16 (best)";
  Batch = o.BatchMode != 0;
  if (Batch) {
    InitialWidth = o.BatchWidth;
    InitialHeight = o.BatchHeight;
    Wallpaper.Enabled = false;
    StoreGamma = {false, false, true};
    BatchSize = o.BatchSize;
    SizeEditsEnabled = BatchSize == bsShrinkLarger || BatchSize == bsRescaleAll;
    Caption = pictureName;
  } else {
    InitialWidth = o.Width;
    InitialHeight = o.Height;
    SizeEditsEnabled = true;
    Caption = "Save " + ExtractFileName(pictureName) + " as...";
  }
  Width = InitialWidth;
  Height = InitialHeight;
  KeepProportions.Checked = true;
  updating_ = false;
  PageChanged(Page);
}

void tSaveDialogModel::PageChanged(int page) {
  if (updating_) return;
  Page = page;
  InterlacedCaption = Page == sfJPG ? "Progressive" : "Interlaced";
  Best256Caption = Page == sfJPG || SourceGrey ? "256" : "256 (best)";
  updating_ = true;
  UpdateControls();
  updating_ = false;
}

void tSaveDialogModel::UpdateControls() {
  const bool jpg = Page == sfJPG;
  // 1. TGA and TIF choose; GIF, JPG and PNG always compress; PCX and BMP here do not.
  if (Page == sfTGA || Page == sfTIF) {
    Compressed = {compressed_, true, true};
  } else {
    Compressed = {Page == sfGIF || jpg || Page == sfPNG, false, true};
  }
  // 2.
  if (Page == sfGIF || jpg || Page == sfPNG)
    Interlaced = {interlaced_, true, true};
  else
    Interlaced = {false, false, true};
  // 3, 4.
  CommentsEnabled = Page == sfGIF || Page == sfTIF || jpg || Page == sfPNG;
  SpecialEnabled = Page == sfGIF && InitialColors <= 256;
  // 5.
  for (int tag = 0; tag < kColorRadioCount; ++tag) {
    const bool special = tag == crtStandard16 || tag == crtBrowser256 || kColorCodes[tag] > 256;
    Radios[tag].Enabled = special ? !jpg && !SourceGrey : !jpg;
  }
  Radios[crt32k].Enabled =
      Radios[crt32k].Enabled && (Page == sfBMP || Page == sfTGA || Page == sfTIF);
  Radios[crt64k].Enabled = Radios[crt64k].Enabled && Page == sfBMP;
  Radios[crt16m].Enabled = Radios[crt16m].Enabled && Page != sfGIF;
  // 6. Run-length BMPs hold palette pictures only.
  if (Page == sfBMP) {
    Compressed.Checked = BmpStyle == 1;
    if (BmpStyle == 1)
      Radios[crt32k].Enabled = Radios[crt64k].Enabled = Radios[crt16m].Enabled = false;
  }
  // 7. JPEG is 256 greys or 16 million colours.
  if (jpg) {
    Radios[crtBest256].Enabled = true;
    Radios[crt16m].Enabled = !SourceGrey;
    CurrentColors = Grayscale.Checked || SourceGrey ? 256 : 280;
  }
  // 8.
  GammaEnabled = Page == sfPNG && StoreGamma.Checked && StoreGamma.Enabled;
  // 9. The first enabled choice that holds the current colours, else the largest enabled.
  for (tChoiceState& r : Radios) r.Checked = false;
  int best = 0, chosen = -1;
  for (int tag = 0; tag < kColorRadioCount; ++tag) {
    if (Radios[tag].Enabled && kColorCodes[tag] > best && best < CurrentColors) {
      best = kColorCodes[tag];
      chosen = tag;
    }
  }
  if (chosen >= 0) Radios[chosen].Checked = true;
}

void tSaveDialogModel::ColorClicked(int tag) {
  if (updating_ || tag < 0 || tag >= kColorRadioCount || !Radios[tag].Enabled) return;
  for (tChoiceState& r : Radios) r.Checked = false;
  Radios[tag].Checked = true;
  CurrentColors = kColorCodes[tag];
  if (Grayscale.Enabled) {
    if (tag >= crt32k)
      Grayscale.Checked = false;
    else if (Page == sfJPG)
      Grayscale.Checked = true;
  }
}

void tSaveDialogModel::GrayscaleClicked(bool checked) {
  if (updating_ || !Grayscale.Enabled) return;
  Grayscale.Checked = checked;
  PageChanged(Page);
}

void tSaveDialogModel::BmpStyleClicked(int style) {
  if (updating_) return;
  BmpStyle = style;
  PageChanged(Page);
}

void tSaveDialogModel::CompressedClicked(bool checked) {
  if (!Compressed.Enabled) return;
  Compressed.Checked = compressed_ = checked;
}

void tSaveDialogModel::InterlacedClicked(bool checked) {
  if (!Interlaced.Enabled) return;
  Interlaced.Checked = interlaced_ = checked;
}

void tSaveDialogModel::StoreGammaClicked(bool checked) {
  if (!StoreGamma.Enabled) return;
  StoreGamma.Checked = checked;
  GammaEnabled = Page == sfPNG && checked;
}

void tSaveDialogModel::BatchSizeClicked(int rule) {
  BatchSize = rule;
  SizeEditsEnabled = rule == bsShrinkLarger || rule == bsRescaleAll;
}

void tSaveDialogModel::ReadSize(int width, int height) {
  if (ValidPictureSize(width, height, CurrentColors)) {
    Width = width;
    Height = height;
  } else {
    Width = InitialWidth;
    Height = InitialHeight;
  }
}

void tSaveDialogModel::WidthLeft(int typed) {
  ReadSize(typed, Height);
  if (!Batch && KeepProportions.Checked && InitialWidth > 0 && Width != InitialWidth)
    Height = MulDivRound(InitialHeight, Width, InitialWidth);
  else if (!Batch && KeepProportions.Checked && Width == InitialWidth)
    Height = InitialHeight;
}

void tSaveDialogModel::HeightLeft(int typed) {
  ReadSize(Width, typed);
  if (!Batch && KeepProportions.Checked && InitialHeight > 0 && Height != InitialHeight)
    Width = MulDivRound(InitialWidth, Height, InitialHeight);
  else if (!Batch && KeepProportions.Checked && Height == InitialHeight)
    Width = InitialWidth;
}

void tSaveDialogModel::WriteBack(TSaveOptions& o) {
  o.Format = Page;
  o.BmpStyle = BmpStyle;
  o.JpegQuality = JpegQuality;
  o.PngGamma = PngGamma;
  const int radio = CheckedRadio();
  if (radio >= 0) o.Colors = kColorCodes[radio];
  o.Compressed = Compressed.Checked;
  o.Interlaced = Interlaced.Checked;
  o.TopDown = TopDown.Checked;
  o.StorePngGamma = StoreGamma.Checked;
  o.Grayscale = Grayscale.Checked;
  o.Wallpaper = Wallpaper.Checked && Wallpaper.Enabled;
  o.ThumbnailPalette = ThumbnailPalette.Checked;
  o.Trim = Trim.Checked;
  o.Emboss = Emboss.Checked;
  o.Imprint = Imprint.Checked;
  o.PlusLime = PlusLime.Checked;
  o.Smooth = Smooth.Checked;
  o.Rescale = Rescale.Checked;
  o.Optimize = Optimize.Checked;
  o.CCITT = CCITT.Checked;
  o.StandardPalette = radio == crtStandard16 || radio == crtBrowser256;
  o.NoDither = !Dither.Checked;
  ReadSize(Width, Height);
  if (Batch) {
    o.BatchWidth = Width;
    o.BatchHeight = Height;
  } else {
    o.Width = Width;
    o.Height = Height;
  }
  o.BatchSize = BatchSize;
}
