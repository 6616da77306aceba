// The one "Printing..." form that every print job shows while it runs (document name, a page
// text, Cancel), and the printed text listings that go through the printer's text output.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "framework/Form.h"

class TLabel;
class TButton;

class TPrintingFrm : public TForm {
 public:
  TPrintingFrm(TComponent* owner, HWND ownerWindow);
  ~TPrintingFrm() override;
  TLabel* PrintFileName = nullptr;
  TLabel* lPage = nullptr;
  TButton* CancelPrint = nullptr;

 private:
  void CancelPrintClick();
  HWND owner_;
};

// Set while a printing form exists.
extern TPrintingFrm* PrintingFrm;
// The help context the next printing form takes (the main window sets it).
extern int PrintingFrmHelpContext;

// Shows the form over owner, which stays disabled while the form exists.
void ShowPrintingForm(TForm* owner, const std::string& documentName);
void SetPrintingPageText(TPrintingFrm* form, const std::string& text);
void ClosePrintingForm();

// Prints count lines, line i being what the callback returns, in the font, with the title in
// every page header; margins in lines (top, bottom) and characters (left).
void PrintLinesByCallback(int count, const std::string& title, const TFont& font, int leftMargin,
                          int topLines, int bottomLines, const std::function<std::string(int)>& line);
void PrintStringList(const std::vector<std::string>& strings, const std::string& title,
                     const TFont& font, int leftMargin, int topLines, int bottomLines);
