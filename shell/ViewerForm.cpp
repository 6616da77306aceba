#include "shell/ViewerForm.h"

#include <algorithm>

#include "resources/uResStrings.h"

TViewerForm* ViewerForm = nullptr;

const char* const kViewerFormFilter =
    "All files|*.*|"
    "Known files|*.avi;*.bmp;*.gif;*.ico;*.iff;*.img;*.jp*;*.lbm;*.mid;*.mov;*.mp*;*.as?;*.pcx;"
    "*.png;*.qt;*.tga;*.tif;*.wav;*.wmf|"
    "Pictures|*.bmp;*.gif;*.ico;*.iff;*.img;*.jp*;*.lbm;*.pcx;*.png;*.tga;*.tif;*.wmf|"
    "Movies|*.mov;*.qt;*.avi;*.mp*;*.as?;*.wmv|"
    "Music and sounds|*.wav;*.mid;*.mp3";

namespace {
constexpr int kTopHeight = 34;
constexpr int kLeftWidth = 180;
}  // namespace

TViewerForm::TViewerForm(TComponent* owner) : TForm(owner) {
  SetCaption(LoadResString(sProgramName));
  RECT placed = BoundsRect();
  SetBounds(placed.left, placed.top, 630, 475);
  KeyPreview = true;

  pnlTop = new TPanel(this, this, 0, 0, 622, kTopHeight);
  lblPath = new TPathLabel(this, pnlTop, 8, 9, 600, 16);
  HeaderControl1 = new THeaderControl(this, this, 0, kTopHeight, 622, 20);
  HeaderControl1->AddSection("", kLeftWidth);
  for (const char* text : {"", "", "Name", "Size", "Date", "Time"})
    HeaderControl1->AddSection(text, 60);
  pnlLeft = new TPanel(this, this, 0, 54, kLeftWidth, 400);
  pnlLeft->BevelOuter = bvNone;
  Orvex_DriveCombo1 = new TOrvex_DriveCombo(this, pnlLeft, 0, 0, kLeftWidth, 300);
  Orvex_DirList1 = new TOrvex_DirList(this, pnlLeft, 0, 24, kLeftWidth, 370);
  pnlRight = new TPanel(this, this, kLeftWidth, 54, 442, 400);
  pnlRight->BevelOuter = bvNone;
  Orvex_FilterCombo1 = new TOrvex_FilterCombo(this, pnlRight, 0, 0, 220, 200);
  Orvex_FileList1 = new TOrvex_FileList(this, pnlRight, 0, 24, 442, 370);

  // The chain: drive combo, folder list, file list; the type filter feeds the file list.
  Orvex_DriveCombo1->SetDirList(Orvex_DirList1);
  Orvex_DirList1->SetFileList(Orvex_FileList1);
  Orvex_DirList1->SetDirLabel(lblPath);
  Orvex_FilterCombo1->SetFileList(Orvex_FileList1);
  Orvex_DirList1->ItemHint = true;
  Orvex_FileList1->ItemHint = true;
  HeaderControl1->OnSectionResize = [this](TComponent*, int section) {
    HeaderControl1SectionResize(section);
  };
  ArrangeControls();
}

TViewerForm::~TViewerForm() {
  if (ViewerForm == this) ViewerForm = nullptr;
}

void TViewerForm::DoClose(TCloseAction& action) {
  // Only the first window owns the settings, and only a browsing one writes them.
  if (ViewerForm == this && Interactive) LoadSaveSettings(false);
  TForm::DoClose(action);
}

void TViewerForm::DoCreate() {
  FormCreate();
  TForm::DoCreate();
}

void TViewerForm::FormCreate() {
  if (!ViewerForm) ViewerForm = this;
  Orvex_FilterCombo1->SetFilter(kViewerFormFilter);
  Orvex_FileList1->SetMask("*.*");
  // The first section spans the left panel; the file list sizes the others, and the tag and
  // glyph sections keep their widths.
  HeaderControl1->SetSectionWidth(0, pnlLeft->Width());
  Orvex_FileList1->SetHeaderControl(HeaderControl1);
  for (int i = 1; i <= 2; ++i) {
    int w = HeaderControl1->SectionWidth(i);
    HeaderControl1->SetSectionLimits(i, w, w);
  }
  HeaderControl1->SetSectionText(0, "DRIVES / history / bookmarks");
  if (ViewerForm == this) LoadSaveSettings(true);
  ActiveControl = Orvex_FileList1;
  Orvex_FileList1->UpdateLayout();
}

void TViewerForm::Resize() {
  TForm::Resize();
  ArrangeControls();
}

void TViewerForm::ArrangeControls() {
  // Called from the size messages of the construction too: only once everything exists.
  if (!Orvex_FileList1) return;
  const int w = ClientWidth(), h = ClientHeight();
  pnlTop->SetBounds(0, 0, w, kTopHeight);
  lblPath->SetBounds(8, (kTopHeight - lblPath->Height()) / 2, w - 16, lblPath->Height());
  const int headerHeight = HeaderControl1->PreferredHeight();
  HeaderControl1->SetBounds(0, kTopHeight, w, headerHeight);
  const int top = kTopHeight + headerHeight;
  const int left = HeaderControl1->SectionWidth(0);
  const int rest = std::max(0, h - top);
  pnlLeft->SetBounds(0, top, left, rest);
  Orvex_DriveCombo1->SetBounds(0, 2, left, 300);
  const int comboBottom = 2 + Orvex_DriveCombo1->Height() + 2;
  Orvex_DirList1->SetBounds(0, comboBottom, left, std::max(0, rest - comboBottom));
  pnlRight->SetBounds(left, top, std::max(0, w - left), rest);
  Orvex_FilterCombo1->SetBounds(0, 2, std::min(260, std::max(0, w - left)), 300);
  const int filterBottom = 2 + Orvex_FilterCombo1->Height() + 2;
  Orvex_FileList1->SetBounds(0, filterBottom, std::max(0, w - left),
                             std::max(0, rest - filterBottom));
}

void TViewerForm::HeaderControl1SectionResize(int section) {
  if (section == 0)
    ArrangeControls();
  else
    Orvex_FileList1->UpdateLayout();
}
