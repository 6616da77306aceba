#include "viewers/picture/TweakForm.h"

#include <cstdio>
#include <cstring>

#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "framework/Palette.h"
#include "imaging/uImageOps.h"
#include "imaging/uMemBmpWin.h"
#include "viewers/picture/PictureWindow.h"

namespace {
const char* const kSliderNames[kTweakSliders] = {"Gamma", "Contrast", "Brightness",
                                                 "Red",   "Green",    "Blue"};
constexpr int kPreviewWidth = 200, kPreviewHeight = 150;

std::string Number3(int v) {
  char text[16];
  std::snprintf(text, sizeof text, "%3d", v);
  return text;
}
}  // namespace

TTweakForm::TTweakForm(TPictureWindow& target) : TForm(&target, bsSingle), Target(target) {
  SetCaption("Tools");
  HelpContext = 13;
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetClientSize(460, 262);
  for (int i = 0; i < kTweakSliders; ++i) {
    const int y = 8 + i * 28;
    (new TLabel(this, this, 8, y + 4, 70, 16))->SetCaption(kSliderNames[i]);
    Sliders[i] = new TSlider(this, this, 80, y, 130, 24);
    Sliders[i]->Tag = i;
    ValueLabels[i] = new TLabel(this, this, 214, y + 4, 30, 16);
    Sliders[i]->OnChange = [this, i](TComponent*) { SliderChanged(i); };
  }
  (new TLabel(this, this, 8, 184, 70, 16))->SetCaption("Sharpness");
  tbSharp = new TTrackBar(this, this, 80, 178, 130, 28);
  tbSharp->SetRange(-4, 4);
  tbSharp->SetFrequency(1);
  lblSharp = new TLabel(this, this, 214, 184, 30, 16);
  tbSharp->OnChange = [this](TComponent*) {
    if (!PreviewOn) return;
    lblSharp->SetCaption(Number3(tbSharp->Position()));
    ApplyAdjustment();
    Target.Adjusted = 1;
  };
  chkGray = new TCheckBox(this, this, "Gray", 8, 212, 60, 20);
  chkNegate = new TCheckBox(this, this, "Negative", 72, 212, 80, 20);
  chkPreview =
      new TCheckBox(this, this, "Preview", 156, 212, 80, 20);
  auto refresh = [this](TComponent*) {
    UpdatePreview();
    Preview->Repaint();
  };
  chkGray->OnClick = refresh;
  chkNegate->OnClick = refresh;
  chkPreview->OnClick = [this](TComponent*) { PreviewOn = chkPreview->Checked(); };
  btnMirror = new TSpeedButton(this, this, "Mirror", 8, 236, 60, 22, 1, true);
  btnMirror->Hint = "Create mirror image";
  btnMirror->OnClick = refresh;
  const char* captions[4] = {"0", "90", "180", "270"};
  const char* hints[4] = {"Original", "Rotate 90 degrees CW", "Rotate 180 degrees",
                          "Rotate 270 degrees CW"};
  for (int i = 0; i < 4; ++i) {
    RotationButtons[i] = new TSpeedButton(this, this, captions[i], 72 + i * 34, 236, 32, 22, 2);
    RotationButtons[i]->Tag = i;
    RotationButtons[i]->Hint = hints[i];
    RotationButtons[i]->OnClick = [this, i](TComponent*) {
      Rotation = i;
      UpdatePreview();
      Preview->Repaint();
    };
  }
  btnRotate = new TButton(this, this, "Rotate", 210, 236, 54, 22);
  btnRotate->OnClick = [this](TComponent*) { SetRotation((Rotation + 1) & 3); };
  Preview = new TPaintBox(this, this, 252, 8, kPreviewWidth, kPreviewHeight);
  Preview->Color = clBtnFace;
  Preview->OnPaint = [this](TComponent*, TCanvas& canvas) { PreviewPaint(canvas); };
  btnApply = new TButton(this, this, "&Apply", 270, 200, 86, 24);
  btnApply->OnClick = [this](TComponent*) {
    ApplyAdjustment();
    Target.Adjusted = 1;
  };
  btnReset = new TButton(this, this, "&Reset", 366, 200, 86, 24);
  btnReset->OnClick = [this](TComponent*) { Reset(); };
  btnClose = new TButton(this, this, "&Close", 366, 232, 86, 24);
  btnClose->OnClick = [this](TComponent*) { Close(); };
  FinishCreate();

  Target.TweakButton->SetEnabled(false);
  PlaceBeside();
  ReadWindowValues();
  // The preview works on a copy of the decoded picture reduced to the preview's size.
  if (Target.Decoder && Target.Decoder->Bitmap && Target.TweakSource) {
    int w = 0, h = 0;
    FitRect(kPreviewWidth, kPreviewHeight, Target.TweakSource->Width(),
            Target.TweakSource->Height(), w, h);
    try {
      PreviewSource = ResizeImage(*Target.Decoder->Bitmap, std::max(1, w), std::max(1, h), 0);
    } catch (const std::exception&) {
      PreviewSource.reset();
    }
  }
  Busy = false;
  const int bits = TPictureWindow::ScreenBitsOverride > 0 ? TPictureWindow::ScreenBitsOverride
                                                          : ScreenColorBits();
  if (bits < 9) {
    chkPreview->SetEnabled(false);
    chkPreview->SetChecked(false);
    PreviewOn = false;
  } else {
    chkPreview->SetEnabled(true);
    chkPreview->SetChecked(true);
    PreviewOn = true;
    BuildTable();
    UpdatePreview();
  }
}

TTweakForm::~TTweakForm() = default;

void TTweakForm::PlaceBeside() {
  RECT t;
  GetWindowRect(Target.Handle(), &t);
  const int w = Width(), h = Height();
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  const POINT candidates[] = {{t.right, t.top},
                              {t.left, t.bottom},
                              {t.left - w, t.top},
                              {t.left, t.top - h},
                              {sw - w, sh - h}};
  for (const POINT& p : candidates) {
    if (p.x >= 0 && p.y >= 0 && p.x + w <= sw && p.y + h <= sh) {
      Position = poDesigned;
      SetBounds(p.x, p.y, w, h);
      return;
    }
  }
  Position = poDefaultPosOnly;
}

void TTweakForm::ReadWindowValues() {
  for (int i = 0; i < kTweakSliders; ++i) Sliders[i]->SetPosition(Target.SliderValues[i]);
  SetRotation(Target.Rotation & 3);
  tbSharp->SetPosition(Target.Sharpen);
  lblSharp->SetCaption(Number3(Target.Sharpen));
  btnMirror->SetDown(Target.Mirror != 0);
  chkGray->SetChecked(Target.Grey == 2);
  chkNegate->SetChecked(Target.Negate != 0);
}

void TTweakForm::WriteWindowValues() {
  for (int i = 0; i < kTweakSliders; ++i) Target.SliderValues[i] = Sliders[i]->Position();
  Target.Sharpen = tbSharp->Position();
  Target.Rotation = Rotation;
  Target.Mirror = btnMirror->Down();
  Target.Grey = chkGray->Checked() ? 2 : 0;
  Target.Negate = chkNegate->Checked();
}

void TTweakForm::SetRotation(int rotation) {
  Rotation = rotation & 3;
  for (int i = 0; i < 4; ++i) RotationButtons[i]->SetDown(i == Rotation);
  UpdatePreview();
  if (Preview) Preview->Repaint();
}

void TTweakForm::SliderChanged(int i) {
  ValueLabels[i]->SetCaption(Sliders[i]->Enabled() ? Number3(Sliders[i]->Position() - 50) : "");
  if (!PreviewOn) return;
  BuildTable();
  UpdatePreview();
  Preview->Repaint();
}

void TTweakForm::BuildTable() {
  int32_t values[kTweakSliders];
  for (int i = 0; i < kTweakSliders; ++i) values[i] = Sliders[i]->Position();
  BuildTweakTable(values, Table);
}

void TTweakForm::UpdatePreview() {
  if (!PreviewOn || !PreviewSource || !chkGray) return;
  PreviewBitmap.reset();
  try {
    tMemBmpPtr shown =
        ApplyImageTransforms(*PreviewSource, &Table[0][0], Rotation, btnMirror->Down(),
                             chkNegate->Checked(), 0, chkGray->Checked() ? 2 : 0);
    if (HBITMAP h = AssignToBitmap(*shown)) {
      PreviewBitmap = std::make_unique<TBitmap>();
      PreviewBitmap->Assign(h);
    }
  } catch (const std::exception&) {
  }
}

void TTweakForm::PreviewPaint(TCanvas& canvas) {
  RECT all = Preview->ClientRect();
  canvas.Brush.SetColor(clBtnFace);
  canvas.FillRect(all);
  if (!chkPreview->Enabled()) {
    RECT text{all.left + 4, all.top + 4, all.right - 4, all.bottom - 4};
    SetBkMode(canvas.Handle(), TRANSPARENT);
    DrawTextW(canvas.Handle(), L"Preview is unavailable when windows is 256 colors or less", -1,
              &text, DT_WORDBREAK);
    return;
  }
  if (PreviewBitmap && !PreviewBitmap->Empty()) {
    TSelectedPalette palette(canvas.Handle(), PreviewBitmap->Palette());
    canvas.Draw(0, 0, *PreviewBitmap);
  }
}

void TTweakForm::ApplyAdjustment() {
  if (Busy || !Target.Decoder || !Target.Decoder->Bitmap) return;
  Busy = true;
  {
    THourGlass wait;
    Application.ProcessMessages();
    BuildTable();
    tMemBmpPtr result;
    try {
      result = ApplyImageTransforms(*Target.Decoder->Bitmap, &Table[0][0], Rotation,
                                    btnMirror->Down(), chkNegate->Checked(), tbSharp->Position(),
                                    chkGray->Checked() ? 2 : 0);
    } catch (const std::exception&) {
      result.reset();
    }
    const int oldRotation = Target.Rotation;
    WriteWindowValues();
    std::memcpy(Target.ColorTables, Table, sizeof Table);
    if (Target.Rotation != oldRotation) Target.RotationChanged = 1;
    if (result) Target.ShowBitmap(*result, false, true);
  }
  Busy = false;
}

void TTweakForm::Reset() {
  if (Busy) return;
  const bool preview = PreviewOn;
  PreviewOn = false;  // one rebuild at the end, not one per slider
  for (TSlider* s : Sliders) s->SetPosition(50);
  tbSharp->SetPosition(0);
  lblSharp->SetCaption(Number3(0));
  btnMirror->SetDown(false);
  chkGray->SetChecked(false);
  chkNegate->SetChecked(false);
  PreviewOn = preview;
  SetRotation(0);
  ApplyAdjustment();
  Target.Adjusted = 0;
  if (PreviewOn) {
    BuildTable();
    UpdatePreview();
    Preview->Repaint();
  }
}

void TTweakForm::DoClose(TCloseAction& action) {
  TForm::DoClose(action);
  Target.TweakButton->SetEnabled(true);
  PreviewSource.reset();
  PreviewBitmap.reset();
  action = caFree;
}

void ShowTweakForm(TPictureWindow& window) {
  auto* form = new TTweakForm(window);
  form->Show();
}
