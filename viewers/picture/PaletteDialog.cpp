#include "viewers/picture/PaletteDialog.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "framework/Application.h"
#include "viewers/picture/uPaletteGrid.h"

TPaletteDialog::TPaletteDialog(TComponent* owner) : TForm(owner, bsDialog) {
  SetCaption("Select Background / Transparent Color");
  HelpContext = 17;
  KeyPreview = true;
  Position = poScreenCenter;
  SetClientSize(430, 300);
  Grid = new TPaletteGrid(this, this, 8, 8, 256, 256);
  Grid->SetGridShape(gs_4x4);
  BackgroundBtn = new TSpeedButton(this, this, "&Background", 276, 8, 140, 24, 1, false);
  BackgroundLabel = NewInfoText(this, this, 276, 34, 140, 76);
  TransparentBtn = new TSpeedButton(this, this, "&Transparent", 276, 114, 140, 24, 1, false);
  TransparentLabel = NewInfoText(this, this, 276, 140, 140, 76);
  ResetBtn = new TButton(this, this, "&Reset to (none)", 276, 222, 140, 24);
  OKBtn = new TButton(this, this, "OK", 8, 270, 80, 24);
  CancelBtn = new TButton(this, this, "Cancel", 96, 270, 80, 24);
  HelpBtn = new TButton(this, this, "&Help", 184, 270, 80, 24);
  OKBtn->ModalResult = mrOk;
  OKBtn->SetDefault(true);
  CancelBtn->ModalResult = mrCancel;
  CancelBtn->SetCancel(true);
  BackgroundBtn->SetDown(true);
  BackgroundBtn->OnClick = [this](TComponent*) { ModeClicked(); };
  TransparentBtn->OnClick = [this](TComponent*) { ModeClicked(); };
  ResetBtn->OnClick = [this](TComponent*) { Reset(); };
  HelpBtn->OnClick = [this](TComponent*) {
    if (Application.OnHelp) Application.OnHelp(HelpContext);
  };
  Grid->OnChange = [this](TComponent*) {
    if (activating_) return;
    CurrentIndex() = Grid->PaletteIndex();
    UpdateLabels();
  };
  OnShow = [this](TComponent*) { Activate(); };
  FinishCreate();
}

void TPaletteDialog::SetPalette(int count, const uint8_t* rgb) {
  count_ = PaletteCopyCount(count);
  std::memset(palette_, 0, sizeof palette_);
  if (rgb) std::memcpy(palette_, rgb, static_cast<size_t>(count_) * 3);
  Grid->SetPalette(count_, palette_, clBtnFace);
}

void TPaletteDialog::UpdateLabels() {
  SetInfoText(BackgroundLabel, PaletteIndexText(Background, palette_, count_));
  SetInfoText(TransparentLabel, PaletteIndexText(Transparent, palette_, count_));
}

void TPaletteDialog::Activate() {
  UpdateLabels();
  activating_ = true;
  Grid->SetPaletteIndex(Background);
  activating_ = false;
}

void TPaletteDialog::ModeClicked() {
  activating_ = true;
  Grid->SetPaletteIndex(CurrentIndex());
  activating_ = false;
}

void TPaletteDialog::Reset() {
  CurrentIndex() = -1;
  activating_ = true;
  Grid->SetPaletteIndex(-1);
  activating_ = false;
  UpdateLabels();
}

void TPaletteDialog::KeyDown(WORD& key, TShiftState shift) {
  if (key == 'B' || key == 'T') {
    (key == 'B' ? BackgroundBtn : TransparentBtn)->Click();
    key = 0;
    return;
  }
  TForm::KeyDown(key, shift);
}

bool ChoosePaletteColors(TComponent* owner, int count, const uint8_t* palette, int& transparent,
                         int& background) {
  std::unique_ptr<TPaletteDialog> dialog(new TPaletteDialog(owner));
  dialog->SetPalette(count, palette);
  const int last = PaletteCopyCount(count) - 1;
  dialog->Background = background <= last ? std::max(background, -1) : -1;
  dialog->Transparent = transparent <= last ? std::max(transparent, -1) : -1;
  if (dialog->ShowModal() != mrOk) return false;
  background = dialog->Background;
  transparent = dialog->Transparent;
  return true;
}
