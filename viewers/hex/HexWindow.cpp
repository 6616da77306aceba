#include "viewers/hex/HexWindow.h"

#include <windows.h>

#include <commdlg.h>

#include "foundation/uFiles.h"
#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Panel.h"
#include "framework/Printer.h"
#include "framework/StatusBar.h"
#include "framework/Text.h"
#include "viewers/ViewerFontDialog.h"
#include "viewers/ViewerHost.h"
#include "viewers/hex/cHexView.h"
#include "viewers/print/PrintingForm.h"

namespace {
constexpr int kButtonPanelHeight = 41;
}

THexWindow::THexWindow(TComponent* owner, const std::string& fileName)
    : TForm(owner), FileName(fileName) {
  SetCaption("Hex window");
  ButtonPanel = new TPanel(this, this, 0, 0, 590, kButtonPanelHeight);
  QuitButton = new TButton(this, ButtonPanel, "&Close", 8, 8, 75, 25);
  AboutButton = new TButton(this, ButtonPanel, "&About", 88, 8, 75, 25);
  PrintBtn = new TButton(this, ButtonPanel, "&Print", 168, 8, 75, 25);
  FontBtn = new TButton(this, ButtonPanel, "&Font", 248, 8, 75, 25);
  QuitButton->Hint = "Quit";
  AboutButton->Hint = "About";
  PrintBtn->Hint = "Print";
  FontBtn->Hint = "Font";
  OrvexHexView1 = new TOrvexHexView(this, this, 0, kButtonPanelHeight, 531, 300);
  StatusBar1 = new TStatusBar(this, this);
  QuitButton->OnClick = [this](TComponent*) { Close(); };
  AboutButton->OnClick = [](TComponent*) {
    if (ViewerHost().ShowAbout) ViewerHost().ShowAbout();
  };
  PrintBtn->OnClick = [this](TComponent*) { PrintBtnClick(); };
  FontBtn->OnClick = [this](TComponent*) { FontBtnClick(); };
  OnShow = [this](TComponent*) { FormShow(); };
  OnClose = [this](TComponent*, TCloseAction& action) {
    if (ViewerHost().DecViewerCount) ViewerHost().DecViewerCount(this);
    action = caFree;
  };
  OnMessage(WM_DEFERRED_START, [this](WPARAM, LPARAM) -> LRESULT {
    OrvexHexView1->OpenFile(FileName);
    for (TButton* b : {QuitButton, AboutButton, PrintBtn, FontBtn}) b->SetEnabled(true);
    OrvexHexView1->SetFocus();
    return 0;
  });
  FormCreate();
  FinishCreate();
}

void THexWindow::FormCreate() {
  HelpContext = 12;
  int fullWidth = 0, fullHeight = 0;
  FullScreenSize(fullWidth, fullHeight);
  const int width = 590;
  SetBounds((fullWidth - width) / 2, 10, width, fullHeight - 20);
  Position = ViewerHost().WindowPlacement < 1 ? poDefaultPosOnly : poDesigned;
  for (TButton* b : {QuitButton, AboutButton, PrintBtn, FontBtn}) b->SetEnabled(false);
  Arrange();
}

void THexWindow::FormShow() {
  if (auto* owner = dynamic_cast<TForm*>(Owner())) owner->Send(WM_VIEWER_SHOWN);
  Post(WM_DEFERRED_START);
}

void THexWindow::Resize() {
  TForm::Resize();
  Arrange();
}

void THexWindow::Arrange() {
  if (!StatusBar1 || !OrvexHexView1) return;
  StatusBar1->ParentResized();
  const int barHeight = StatusBar1->Height();
  ButtonPanel->SetBounds(0, 0, ClientWidth(), kButtonPanelHeight);
  OrvexHexView1->SetBounds(0, kButtonPanelHeight, ClientWidth(),
                           ClientHeight() - kButtonPanelHeight - barHeight);
}

void THexWindow::FontBtnClick() {
  if (ChooseViewerFont(Handle(), OrvexHexView1->Font())) OrvexHexView1->Invalidate();
}

void THexWindow::PrintBtnClick() {
  Printer().SetOrientation(poPortrait);
  TPrintDialog dialog;
  if (!dialog.Execute(Handle())) return;
  PrintDump();
}

void THexWindow::PrintDump() {
  ShowPrintingForm(this, ExtractFileName(FileName));
  PrintLinesByCallback(static_cast<int>(OrvexHexView1->LineCount()), FileName, OrvexHexView1->Font(),
                       6, 1, 1, [this](int line) { return OrvexHexView1->LineText(line); });
  ClosePrintingForm();
}

THexWindow* OpenHexWindow(TForm* owner, const std::string& fileName) {
  auto* window = new THexWindow(owner, fileName);
  window->SetCaption("Hexidecimal dump: " + ExtractFileName(fileName));
  window->Show();
  return window;
}
