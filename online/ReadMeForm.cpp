#include "online/ReadMeForm.h"

#include <windows.h>

#include <memory>

#include "foundation/uFormat.h"
#include "foundation/uUtil.h"
#include "framework/Printer.h"
#include "framework/StatusBar.h"
#include "online/CompressedResource.h"
#include "online/RichView.h"
#include "viewers/print/PrintRichText.h"
#include "viewers/print/PrintingForm.h"

namespace {
constexpr int kPanelHeight = 36;
}

TReadMe::TReadMe(TComponent* owner, HWND ownerWindow) : TForm(owner, bsSizeable, ownerWindow) {
  SetCaption("Read me");
  HelpContext = 19;
  int screenWidth = 0, screenHeight = 0;
  FullScreenSize(screenWidth, screenHeight);
  const int width = 624, height = screenHeight - 20;
  SetBounds((screenWidth - width) / 2, 10, width, height);
  ButtonPanel = new TPanel(this, this, 0, 0, ClientWidth(), kPanelHeight);
  QuitBtn = new TButton(this, ButtonPanel, "&Close", 8, 5, 88, 26);
  QuitBtn->ModalResult = mrOk;
  QuitBtn->SetCancel(true);
  PrintBtn = new TButton(this, ButtonPanel, "&Print", 104, 5, 88, 26);
  PrintBtn->OnClick = [this](TComponent*) { PrintBtnClick(); };
  StatusBar1 = new TStatusBar(this, this);
  StatusBar1->SetPanels({300, 5000});
  // The status bar names what the button under the mouse does.
  auto hint = [this](TButton* button, const char* text) {
    button->Hint = text;
    button->OnMouseMove = [this, text](TComponent*, TShiftState, int, int) {
      if (StatusBar1->PanelText(0) != text) StatusBar1->SetPanelText(0, text);
    };
  };
  hint(QuitBtn, "Close this window");
  hint(PrintBtn, "Print");
  ButtonPanel->OnMouseMove = [this](TComponent*, TShiftState, int, int) {
    if (!StatusBar1->PanelText(0).empty()) StatusBar1->SetPanelText(0, "");
  };
  RichEdit1 = new TRichView(this, this, 0, kPanelHeight, ClientWidth(), 100, true);
  OnResize = [this](TComponent*) { Arrange(); };
  Arrange();
  FinishCreate();
}

void TReadMe::Arrange() {
  StatusBar1->ParentResized();
  RECT bar{};
  GetWindowRect(StatusBar1->Handle(), &bar);
  const int barHeight = bar.bottom - bar.top;
  ButtonPanel->SetBounds(0, 0, ClientWidth(), kPanelHeight);
  RichEdit1->SetBounds(0, kPanelHeight, ClientWidth(), ClientHeight() - kPanelHeight - barHeight);
}

void TReadMe::TextLoaded() {
  const auto lines = SendMessageW(RichEdit1->Handle(), EM_GETLINECOUNT, 0, 0);
  StatusBar1->SetPanelText(1, Format("%d lines", {static_cast<int>(lines)}));
}

void TReadMe::PrintBtnClick() {
  Printer().SetOrientation(poPortrait);
  TPrintDialog dialog;
  if (!dialog.Execute(Handle())) return;
  PrintReadMe();
}

void TReadMe::PrintReadMe() {
  ShowPrintingForm(this, "Read me");
  tRichPrintMargins margins;
  margins.TopLines = 3;
  margins.BottomLines = 3;
  PrintRichTextDocument(RichEdit1->Handle(), RichEdit1->Font(), "Read me", margins);
  ClosePrintingForm();
}

void ShowReadMe(TComponent* owner, HWND ownerWindow) {
  std::unique_ptr<TReadMe> form(new TReadMe(owner, ownerWindow));
  LoadCompressedResource(*form->RichEdit1, "RTFZ_1", "RTFZ");
  form->TextLoaded();
  form->ShowModal();
}
