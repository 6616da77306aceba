#include "viewers/picture/DetailsWindow.h"

#include <richedit.h>

#include <algorithm>

#include "framework/Printer.h"
#include "framework/Text.h"
#include "viewers/ViewerFontDialog.h"
#include "viewers/picture/PictureWindow.h"
#include "viewers/print/PrintingForm.h"

namespace {
constexpr int kButtonPanelHeight = 36;
constexpr int kPalPanelHeight = 72;
constexpr int kLineHeight = 18;

std::u16string Utf16(const std::string& text) {
  const std::wstring w = Utf8ToWide(text);
  return std::u16string(w.begin(), w.end());
}
}  // namespace

TDocWindow::TDocWindow(TComponent* owner, tGraphicID& picture, TPictureWindow* window)
    : TForm(owner), picture_(picture), window_(window) {
  HelpContext = 6;
  SetBounds(40, 40, 440, 320);
  ButtonPanel = new TPanel(this, this, 0, 0, 440, kButtonPanelHeight);
  CloseBtn = new TButton(this, ButtonPanel, "&Close", 6, 6, 70, 24);
  FontBtn = new TButton(this, ButtonPanel, "&Font", 80, 6, 70, 24);
  PrintBtn = new TButton(this, ButtonPanel, "&Print", 154, 6, 70, 24);
  chkOptional = new TCheckBox(this, ButtonPanel, "&All details", 236, 9, 110, 20);
  RichMemo = new TRichEdit(this, this, 0, kButtonPanelHeight, 440, 200);
  RichMemo->SetReadOnly(true);
  PalPanel = new TPanel(this, this, 0, 240, 440, kPalPanelHeight);
  LblColor = NewInfoText(this, PalPanel, 8, 4, 150, 64);
  Grid = new TPaletteGrid(this, PalPanel, 160, 4, 256, 64);
  Grid->SetGridShape(gs_8x2);
  CloseBtn->OnClick = [this](TComponent*) { Close(); };
  FontBtn->OnClick = [this](TComponent*) { FontBtnClick(); };
  PrintBtn->OnClick = [this](TComponent*) { PrintBtnClick(); };
  chkOptional->OnClick = [this](TComponent*) { FillText(); };
  Grid->OnChange = [this](TComponent*) {
    SetInfoText(LblColor,
                DetailsPaletteText(Grid->PaletteIndex(), picture_.Palette, paletteCount_));
  };
  FinishCreate();
}

void TDocWindow::FillText() {
  shown_ = DetailLines(picture_.Info, chkOptional->Checked(), optional_);
  RichMemo->Clear();
  for (const tDetailLine& line : shown_) {
    const int64_t end = RichMemo->TextLength();
    RichMemo->SetSelection(end, 0);
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR;
    cf.crTextColor = line.Color;
    RichMemo->Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    RichMemo->SetSelText(Utf16(line.Text + "\r\n"));
  }
  RichMemo->SetSelection(0, 0);
}

void TDocWindow::ShowPalette() {
  const int bits = picture_.BitsPerPixel;
  const bool palette = bits > 0 && bits <= 8;
  paletteCount_ = 0;
  if (palette) {
    paletteCount_ = PaletteCopyCount(picture_.Colors ? picture_.Colors : 1 << bits);
    Grid->SetPalette(paletteCount_, picture_.Palette, clBtnFace);
    SetInfoText(LblColor, "Image Palette:");
  }
  PalPanel->SetVisible(palette);
}

void TDocWindow::Arrange() {
  if (!PalPanel) return;
  const int w = ClientWidth(), h = ClientHeight();
  // The panel's own flag: the window may not be showing yet.
  const int pal = paletteCount_ > 0 ? kPalPanelHeight : 0;
  ButtonPanel->SetBounds(0, 0, w, kButtonPanelHeight);
  RichMemo->SetBounds(0, kButtonPanelHeight, w, std::max(0, h - kButtonPanelHeight - pal));
  PalPanel->SetBounds(0, h - pal, w, kPalPanelHeight);
  // The grid keeps 16 pixels from the panel's right edge.
  const tGridMetrics& m = Grid->Metrics();
  Grid->SetBounds(std::max(0, w - 16 - m.Width), 4, m.Width, m.Height);
}

void TDocWindow::Resize() {
  TForm::Resize();
  Arrange();
}

void TDocWindow::FontBtnClick() {
  TFont font = RichMemo->Font();
  if (!ChooseViewerFont(Handle(), font)) return;
  RichMemo->Font() = font;
  RichMemo->SetSelection(0, -1);
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC;
  const std::wstring face = Utf8ToWide(font.Name());
  lstrcpynW(cf.szFaceName, face.c_str(), LF_FACESIZE);
  cf.yHeight = font.Size() * 20;
  cf.dwEffects = ((font.Style() & fsBold) ? CFE_BOLD : 0) | ((font.Style() & fsItalic) ? CFE_ITALIC : 0);
  RichMemo->Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  RichMemo->SetSelection(0, 0);
}

void TDocWindow::PrintBtnClick() {
  Printer().SetOrientation(poPortrait);
  TPrintDialog dialog;
  if (!dialog.Execute(Handle())) return;
  std::vector<std::string> lines;
  for (const tDetailLine& line : shown_) lines.push_back(line.Text);
  ShowPrintingForm(this, Caption());
  PrintStringList(lines, Caption(), RichMemo->Font(), 4, 3, 3);
  ClosePrintingForm();
}

void TDocWindow::DoClose(TCloseAction& action) {
  TForm::DoClose(action);
  if (window_ && window_->DocButton) window_->DocButton->SetEnabled(true);
  action = caFree;
}

TDocWindow* ShowPictureDetails(TPictureWindow* window, tGraphicID& picture, POINT at) {
  auto* doc = new TDocWindow(window, picture, window);
  if (window && window->DocButton) window->DocButton->SetEnabled(false);
  doc->Position = poDesigned;
  doc->SetCaption(DetailsCaption(picture.FileName, picture.HasRemarks()));
  doc->FillText();
  const int rows = DetailsRows(static_cast<int>(picture.Info.size()));
  doc->ShowPalette();
  const int pal = doc->PaletteCount() > 0 ? kPalPanelHeight : 0;
  doc->SetClientSize(440, kButtonPanelHeight + pal + kLineHeight * rows);
  RECT b = doc->BoundsRect();
  doc->SetBounds(at.x, at.y, b.right - b.left, b.bottom - b.top);
  // Checked exactly when there is nothing more to show.
  doc->chkOptional->SetEnabled(doc->OptionalCount() > 0);
  doc->chkOptional->SetChecked(doc->OptionalCount() == 0);
  doc->Show();
  return doc;
}
