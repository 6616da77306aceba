// The hex window: a dump of any file, 16 bytes a row, that the main window opens for files no
// other viewer takes, and on request.
#pragma once
#include <string>

#include "framework/Form.h"

class TButton;
class TPanel;
class TStatusBar;
class TOrvexHexView;

class THexWindow : public TForm {
 public:
  THexWindow(TComponent* owner, const std::string& fileName);
  TPanel* ButtonPanel = nullptr;
  TButton* QuitButton = nullptr;
  TButton* AboutButton = nullptr;
  TButton* PrintBtn = nullptr;
  TButton* FontBtn = nullptr;
  TOrvexHexView* OrvexHexView1 = nullptr;
  TStatusBar* StatusBar1 = nullptr;

  // The listing as printed, without the dialog (the print button asks for the printer first).
  void PrintDump();

 protected:
  void Resize() override;

 private:
  void FormCreate();
  void FormShow();
  void Arrange();
  void FontBtnClick();
  void PrintBtnClick();
  std::string FileName;
};

// Always opens a window.
THexWindow* OpenHexWindow(TForm* owner, const std::string& fileName);
