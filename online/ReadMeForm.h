// The read-me window: the read-me document ("RTFZ_1") in a read-only rich-text view.
#pragma once
#include "framework/Button.h"
#include "framework/Form.h"
#include "framework/Panel.h"

class TRichView;

class TReadMe : public TForm {
 public:
  explicit TReadMe(TComponent* owner, HWND ownerWindow = nullptr);
  TPanel* ButtonPanel = nullptr;
  TButton* QuitBtn = nullptr;
  TRichView* RichEdit1 = nullptr;

 private:
  void Arrange();
};

// Shows the read-me window modally and frees it.
void ShowReadMe(TComponent* owner = nullptr, HWND ownerWindow = nullptr);
