#include "online/ReadMeForm.h"

#include <windows.h>

#include <memory>

#include "foundation/uUtil.h"
#include "online/CompressedResource.h"
#include "online/RichView.h"

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
  RichEdit1 = new TRichView(this, this, 0, kPanelHeight, ClientWidth(),
                            ClientHeight() - kPanelHeight, true);
  OnResize = [this](TComponent*) { Arrange(); };
  FinishCreate();
}

void TReadMe::Arrange() {
  ButtonPanel->SetBounds(0, 0, ClientWidth(), kPanelHeight);
  RichEdit1->SetBounds(0, kPanelHeight, ClientWidth(), ClientHeight() - kPanelHeight);
}

void ShowReadMe(TComponent* owner, HWND ownerWindow) {
  std::unique_ptr<TReadMe> form(new TReadMe(owner, ownerWindow));
  LoadCompressedResource(*form->RichEdit1, "RTFZ_1", "RTFZ");
  form->ShowModal();
}
