// The read-me window: the read-me document ("RTFZ_1") in a read-only rich-text view, with a
// button row (close, print) and a status bar that names what a button does and counts lines.
#pragma once
#include "framework/Button.h"
#include "framework/Form.h"
#include "framework/Panel.h"

class TRichView;
class TStatusBar;

class TReadMe : public TForm {
 public:
  explicit TReadMe(TComponent* owner, HWND ownerWindow = nullptr);
  TPanel* ButtonPanel = nullptr;
  TButton* QuitBtn = nullptr;
  TButton* PrintBtn = nullptr;
  TRichView* RichEdit1 = nullptr;
  TStatusBar* StatusBar1 = nullptr;

  // After the text is loaded: the line count in the status bar.
  void TextLoaded();
  // Prints the text as the document "Read me" (the print button asks for the printer first).
  void PrintReadMe();

 private:
  void Arrange();
  void PrintBtnClick();
};

// Shows the read-me window modally and frees it.
void ShowReadMe(TComponent* owner = nullptr, HWND ownerWindow = nullptr);
