#include "viewers/picture/SaveDialog.h"

#include <commctrl.h>

#include <cstdlib>
#include <functional>

#include "framework/Application.h"
#include "imaging/uGraphic.h"
#include "viewers/picture/PictureCompanions.h"

namespace {
const char* const kColorCaptions[kColorRadioCount] = {
    "2 (B&&W)", "8",          "16 (best)",         "16 (standard)", "32",  "64",
    "128",      "256 (best)", "256 (\"browser\")", "32k",           "64k", "16m"};
const char* const kPages[] = {"GIF", "PCX", "BMP", "TGA", "TIF", "JPG", "PNG"};

// An edit that reports when the focus leaves it.
class TLeaveEdit : public TEdit {
 public:
  TLeaveEdit(TComponent* owner, TWindow* parent, int x, int y, int w, int h)
      : TEdit(owner, parent, x, y, w, h, WS_BORDER | ES_NUMBER) {}
  std::function<void()> OnLeave;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override {
    if (message == CN_COMMAND && HIWORD(w) == EN_KILLFOCUS && OnLeave) OnLeave();
    return TEdit::WndProc(message, w, l);
  }
};

int Number(const TEdit* e) { return std::atoi(e->Text().c_str()); }

void Mirror(TChoiceButton* b, const tChoiceState& s) {
  b->SetChecked(s.Checked);
  b->SetEnabled(s.Enabled);
  b->SetVisible(s.Visible);
}
}  // namespace

TSaveDialog::TSaveDialog(TComponent* owner, TSaveOptions& options)
    : TForm(owner, bsDialog), options_(options) {
  SetCaption("Save");
  HelpContext = 21;
  Position = poScreenCenter;
  SetClientSize(526, 322);

  // Size: a notebook of the single-picture and batch pages.
  auto* sizeBox = new TGroupBox(this, this, "Size", 8, 4, 218, 92);
  SizePages = new TNotebook(this, sizeBox, 6, 16, 206, 72);
  TPanel* single = SizePages->AddPage();
  chkKeepProportions = Check(single, "Keep proportions", 4, 2, 150);
  (new TLabel(this, single, 4, 32, 30, 16))->SetCaption("Wide");
  edWidth = SizeEdit(single, 36, 28, true);
  (new TLabel(this, single, 104, 32, 30, 16))->SetCaption("High");
  edHeight = SizeEdit(single, 136, 28, false);
  TPanel* batch = SizePages->AddPage();
  const char* rules[] = {"Original size", "Shrink larger", "Rescale all"};
  for (int i = 0; i < 3; ++i) {
    BatchSizes[i] = new TRadioButton(this, batch, rules[i], 4, i * 22, 110, 20, i == 0);
    BatchSizes[i]->OnClick = [this, i](TComponent*) {
      Model.BatchSizeClicked(i);
      ShowModel();
    };
  }
  edBatchWidth = SizeEdit(batch, 130, 6, true);
  edBatchHeight = SizeEdit(batch, 130, 36, false);

  // Colours.
  auto* colorBox = new TGroupBox(this, this, "Colors", 8, 100, 218, 184);
  chkGrayscale = Check(colorBox, "Grayscale", 8, 18, 100);
  chkGrayscale->OnClick = [this](TComponent*) {
    if (showing_) return;
    Model.GrayscaleClicked(chkGrayscale->Checked());
    ShowModel();
  };
  chkDither = Check(colorBox, "Dither", 116, 18, 90);
  for (int tag = 0; tag < kColorRadioCount; ++tag) {
    const int col = tag / 6, row = tag % 6;
    Radios[tag] = new TRadioButton(this, colorBox, kColorCaptions[tag], 8 + col * 108, 42 + row * 20,
                                   100, 18, tag == 0);
    Radios[tag]->Tag = tag;
    Radios[tag]->OnClick = [this, tag](TComponent*) {
      if (showing_) return;
      Model.ColorClicked(tag);
      ShowModel();
    };
  }
  btnSpecial = new TButton(this, colorBox, "Special", 116, 158, 90, 22);
  btnSpecial->OnClick = [this](TComponent*) {
    tGraphicID* picture = options_.Picture;
    if (!picture) return;
    // The choice counts at once, also when the dialog is cancelled.
    ChooseGifColors(this, picture->Colors, picture->Palette, options_.Transparent,
                    options_.Background);
  };

  // Options.
  auto* optionBox = new TGroupBox(this, this, "Options", 234, 4, 284, 92);
  chkCompressed = Check(optionBox, "Compressed", 10, 16, 140);
  chkCompressed->OnClick = [this](TComponent*) {
    if (!showing_) Model.CompressedClicked(chkCompressed->Checked());
  };
  chkInterlaced = Check(optionBox, "Interlaced", 10, 40, 140);
  chkInterlaced->OnClick = [this](TComponent*) {
    if (!showing_) Model.InterlacedClicked(chkInterlaced->Checked());
  };
  chkTrim = Check(optionBox, "Trim", 10, 64, 110);
  btnComments = new TButton(this, optionBox, "Comments", 166, 36, 104, 24);
  btnComments->OnClick = [this](TComponent*) {
    if (options_.Picture) EditCommentsOf(this, *options_.Picture);
  };

  // The format pages, tabs at the bottom.
  Tabs = new TTabControl(this, this, 234, 100, 284, 184, true);
  // Narrow tabs: all seven formats in one row, without scroll arrows.
  Tabs->Send(TCM_SETPADDING, 0, MAKELPARAM(4, 3));
  Tabs->Send(TCM_SETMINTABWIDTH, 0, 24);
  for (const char* p : kPages) Tabs->AddTab(p);
  RECT inside = Tabs->DisplayRect();
  Pages = new TNotebook(this, this, 234 + inside.left, 100 + inside.top, inside.right - inside.left,
                        inside.bottom - inside.top);
  Tabs->OnChange = [this](TComponent*) {
    ReadChecks();
    Model.PageChanged(Tabs->TabIndex());
    ShowModel();
  };
  TPanel* gif = Pages->AddPage();
  chkTile = Check(gif, "Tile", 4, 4, 100);
  chkCenter = Check(gif, "Center", 4, 24, 100);
  chkThumbPalette = Check(gif, "Thumbnail palette", 4, 44, 120);
  chkEmboss = Check(gif, "Emboss (BW)", 4, 64, 100);
  chkImprint = Check(gif, "Imprint", 4, 84, 100);
  chkPlusLime = Check(gif, "Plus lime", 124, 4, 100);
  chkOptimize = Check(gif, "Optimize", 124, 24, 100);
  lblForce = new TLabel(this, gif, 124, 48, 100, 16);
  lblForce->SetCaption("Force:");
  chkSmooth = Check(gif, "Smooth", 124, 64, 100);
  chkRescale = Check(gif, "Rescale", 124, 84, 100);
  Pages->AddPage();  // PCX has no options of its own
  TPanel* bmp = Pages->AddPage();
  auto* styleBox = new TGroupBox(this, bmp, "Style", 4, 2, 140, 86);
  const char* styles[] = {"Windows BMP", "Windows RLE", "OS/2 BMP"};
  for (int i = 0; i < 3; ++i) {
    BmpStyles[i] = new TRadioButton(this, styleBox, styles[i], 8, 18 + i * 22, 120, 20, i == 0);
    BmpStyles[i]->OnClick = [this, i](TComponent*) {
      if (showing_) return;
      ReadChecks();
      Model.BmpStyleClicked(i);
      ShowModel();
    };
  }
  chkWallpaper = Check(bmp, "Wallpaper", 4, 96, 120);
  TPanel* tga = Pages->AddPage();
  chkTopDown = Check(tga, "Top down", 4, 4, 120);
  TPanel* tif = Pages->AddPage();
  chkCCITT = Check(tif, "CCITT", 4, 4, 120);
  TPanel* jpg = Pages->AddPage();
  (new TLabel(this, jpg, 4, 8, 140, 16))->SetCaption("Image Quality: (1..100)");
  spnQuality = new TSpinEdit(this, jpg, 150, 4, 56, 22, 1, 100);
  SendMessageW(spnQuality->Handle(), EM_LIMITTEXT, 2, 0);
  TPanel* png = Pages->AddPage();
  chkStoreGamma = Check(png, "Store Image Gamma", 4, 4, 160);
  chkStoreGamma->OnClick = [this](TComponent*) {
    if (showing_) return;
    Model.StoreGammaClicked(chkStoreGamma->Checked());
    ShowModel();
  };
  lblGamma = new TLabel(this, png, 4, 34, 268, 32);
  lblGamma->SetCaption("Gamma:   (20..800)        100 = Gamma 1.00");
  spnGamma = new TSpinEdit(this, png, 60, 66, 64, 22, 20, 800);

  btnOK = new TButton(this, this, "OK", 274, 292, 76, 24);
  btnOK->ModalResult = mrOk;
  btnOK->SetDefault(true);
  btnCancel = new TButton(this, this, "Cancel", 358, 292, 76, 24);
  btnCancel->ModalResult = mrCancel;
  btnCancel->SetCancel(true);
  btnHelp = new TButton(this, this, "&Help", 442, 292, 76, 24);
  btnHelp->OnClick = [](TComponent*) {
    if (Application.OnHelp) Application.OnHelp(21);
  };

  Model.Fill(options, options.Picture ? options.Picture->FileName : std::string());
  if (options.BatchMode) Model.Caption = options.Picture ? options.Picture->FileName : "";
  spnQuality->SetValue(Model.JpegQuality);
  spnGamma->SetValue(Model.PngGamma);
  ShowModel();
  FinishCreate();
}

TCheckBox* TSaveDialog::Check(TWindow* parent, const std::string& caption, int x, int y, int w) {
  return new TCheckBox(this, parent, caption, x, y, w, 20);
}

TEdit* TSaveDialog::SizeEdit(TWindow* parent, int x, int y, bool widthEdit) {
  auto* e = new TLeaveEdit(this, parent, x, y, 60, 22);
  SendMessageW(e->Handle(), EM_LIMITTEXT, 4, 0);
  e->OnLeave = [this, widthEdit]() {
    if (!showing_) SizeLeft(widthEdit);
  };
  return e;
}

void TSaveDialog::SizeLeft(bool widthEdit) {
  ReadChecks();
  if (Model.Batch) {
    Model.WidthLeft(Number(edBatchWidth));
    Model.HeightLeft(Number(edBatchHeight));
  } else if (widthEdit) {
    Model.WidthLeft(Number(edWidth));
  } else {
    Model.HeightLeft(Number(edHeight));
  }
  ShowModel();
}

std::vector<std::pair<TChoiceButton*, tChoiceState*>> TSaveDialog::Boxes() {
  tSaveDialogModel& m = Model;
  return {{chkGrayscale, &m.Grayscale},
          {chkDither, &m.Dither},
          {chkCompressed, &m.Compressed},
          {chkInterlaced, &m.Interlaced},
          {chkTrim, &m.Trim},
          {chkKeepProportions, &m.KeepProportions},
          {chkTopDown, &m.TopDown},
          {chkCCITT, &m.CCITT},
          {chkStoreGamma, &m.StoreGamma},
          {chkWallpaper, &m.Wallpaper},
          {chkTile, &m.Tile},
          {chkCenter, &m.Center},
          {chkThumbPalette, &m.ThumbnailPalette},
          {chkEmboss, &m.Emboss},
          {chkImprint, &m.Imprint},
          {chkPlusLime, &m.PlusLime},
          {chkOptimize, &m.Optimize},
          {chkSmooth, &m.Smooth},
          {chkRescale, &m.Rescale}};
}

void TSaveDialog::ReadChecks() {
  for (const auto& [box, state] : Boxes()) state->Checked = box->Checked();
  Model.JpegQuality = spnQuality->Value();
  Model.PngGamma = spnGamma->Value();
}

void TSaveDialog::ShowModel() {
  showing_ = true;
  const tSaveDialogModel& m = Model;
  SetCaption(m.Caption);
  if (Tabs->TabIndex() != m.Page) Tabs->SetTabIndex(m.Page);
  Pages->SetPageIndex(m.Page);
  SizePages->SetPageIndex(m.Batch ? 1 : 0);
  TEdit* w = m.Batch ? edBatchWidth : edWidth;
  TEdit* h = m.Batch ? edBatchHeight : edHeight;
  w->SetText(std::to_string(m.Width));
  h->SetText(std::to_string(m.Height));
  edBatchWidth->SetEnabled(m.SizeEditsEnabled);
  edBatchHeight->SetEnabled(m.SizeEditsEnabled);
  for (int i = 0; i < 3; ++i) BatchSizes[i]->SetChecked(m.BatchSize == i);
  for (int i = 0; i < 3; ++i) BmpStyles[i]->SetChecked(m.BmpStyle == i);
  for (int tag = 0; tag < kColorRadioCount; ++tag) Mirror(Radios[tag], m.Radios[tag]);
  Radios[2]->SetCaption(m.Best16Caption);
  Radios[crtBest256]->SetCaption(m.Best256Caption);
  chkInterlaced->SetCaption(m.InterlacedCaption);
  for (const auto& [box, state] : Boxes()) Mirror(box, *state);
  lblForce->SetVisible(m.GifPanelVisible);
  spnGamma->SetEnabled(m.GammaEnabled);
  lblGamma->SetEnabled(m.GammaEnabled);
  btnComments->SetEnabled(m.CommentsEnabled && HasCommentsEditor() && options_.Picture);
  btnSpecial->SetEnabled(m.SpecialEnabled && options_.Picture);
  showing_ = false;
}

bool ExecuteSaveDialog(TForm* owner, TSaveOptions& options) {
  auto* dialog = new TSaveDialog(owner, options);
  const bool ok = dialog->ShowModal() == mrOk;
  if (ok) {
    dialog->ReadChecks();
    if (dialog->Model.Batch) {
      dialog->Model.WidthLeft(Number(dialog->edBatchWidth));
      dialog->Model.HeightLeft(Number(dialog->edBatchHeight));
    } else {
      dialog->Model.Width = Number(dialog->edWidth);
      dialog->Model.Height = Number(dialog->edHeight);
    }
    dialog->Model.WriteBack(options);
  }
  dialog->Release();
  return ok;
}
