#include "viewers/print/PrintingForm.h"

#include "foundation/uLocaleText.h"
#include "foundation/uPlatform.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Label.h"
#include "framework/Printer.h"
#include "viewers/print/uPrintListing.h"

TPrintingFrm* PrintingFrm = nullptr;
int PrintingFrmHelpContext = 0;

TPrintingFrm::TPrintingFrm(TComponent* owner, HWND ownerWindow)
    : TForm(owner, bsDialog, ownerWindow), owner_(ownerWindow) {
  SetCaption("Printing...");
  Position = poScreenCenter;
  HelpContext = PrintingFrmHelpContext;
  SetClientSize(280, 96);
  const int w = ClientWidth();
  PrintFileName = new TLabel(this, this, 4, 12, w - 8, 16);
  PrintFileName->Alignment = taCenter;
  lPage = new TLabel(this, this, 4, 34, w - 8, 16);
  lPage->Alignment = taCenter;
  CancelPrint = new TButton(this, this, "Cancel", (w - 75) / 2, 60, 75, 25);
  CancelPrint->OnClick = [this](TComponent*) { CancelPrintClick(); };
  CancelButton = CancelPrint;
  OnClose = [](TComponent*, TCloseAction& action) { action = caFree; };
  PrintingFrm = this;
  FinishCreate();
}

TPrintingFrm::~TPrintingFrm() {
  if (PrintingFrm == this) PrintingFrm = nullptr;
  if (owner_) EnableWindow(owner_, TRUE);
  Screen.SetCursor(crDefault);
}

void TPrintingFrm::CancelPrintClick() {
  if (Printer().Printing() && !Printer().Aborted()) {
    Printer().Abort();
    Screen.SetCursor(crHourGlass);
  } else {
    Close();
  }
}

void ShowPrintingForm(TForm* owner, const std::string& documentName) {
  ClosePrintingForm();
  HWND ownerWindow = owner ? owner->Handle() : nullptr;
  auto* form = new TPrintingFrm(owner, ownerWindow);
  if (ownerWindow) EnableWindow(ownerWindow, FALSE);
  form->PrintFileName->SetCaption(documentName);
  form->lPage->SetCaption("");
  form->Show();
  form->Update();
  Application.ProcessMessages();
}

void SetPrintingPageText(TPrintingFrm* form, const std::string& text) {
  if (!form) return;
  form->lPage->SetCaption(text);
  Application.ProcessMessages();
}

void ClosePrintingForm() {
  if (!PrintingFrm) return;
  TPrintingFrm* form = PrintingFrm;
  PrintingFrm = nullptr;
  form->Hide();
  delete form;
}

namespace {

// The printer's text output as the listing sees it; Cancel is answered between pages.
class tPrinterListing : public tListingOutput {
 public:
  explicit tPrinterListing(TPrinterText& text) : text_(text) {}
  int PageNumber() override { return Printer().PageNumber(); }
  void WriteLine(const std::string& line, uint32_t color) override {
    if (!line.empty() && line[0] == '\f') Application.ProcessMessages();
    Printer().Canvas().Font.SetColor(color);
    text_.WriteLine(line);
  }

 private:
  TPrinterText& text_;
};

void PrintTextListing(int count, const TListingGetLine& getLine, const std::string& title,
                      const TFont& font, int leftMargin, int topLines, int bottomLines) {
  const tFormatSettings fs = Platform().FormatSettings();
  const tDateTimeFields now = DecodeDateTime(Platform().Now());
  const std::string header = ListingTitleHeader(FormatDatePicture(fs.ShortDateFormat, now, fs),
                                                FormatTimePicture(fs.LongTimeFormat, now, fs), title);
  Printer().Title = title;
  TPrinterText text(Printer());
  if (!text.Rewrite()) return;
  Printer().Canvas().Font = font;
  const int lineHeight = Printer().Canvas().TextHeight("X");
  const int perPage = ListingLinesPerPage(Printer().PageHeight(), lineHeight, topLines, bottomLines);
  tPrinterListing out(text);
  WriteTextListing(out, count, getLine, header, topLines, leftMargin, perPage);
  text.Close();
}

}  // namespace

void PrintLinesByCallback(int count, const std::string& title, const TFont& font, int leftMargin,
                          int topLines, int bottomLines, const std::function<std::string(int)>& line) {
  PrintTextListing(
      count, [&](int i, uint32_t& color) {
        color = 0;
        return line(i);
      },
      title, font, leftMargin, topLines, bottomLines);
}

void PrintStringList(const std::vector<std::string>& strings, const std::string& title,
                     const TFont& font, int leftMargin, int topLines, int bottomLines) {
  PrintTextListing(
      static_cast<int>(strings.size()),
      [&](int i, uint32_t& color) {
        color = 0;
        return strings[static_cast<size_t>(i)];
      },
      title, font, leftMargin, topLines, bottomLines);
}
