// The details window of a picture: its information lines in colour (the optional ones on
// request), its palette as a grid when it has at most 256 colours, font choice and printing.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Button.h"
#include "framework/Form.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "framework/RichEdit.h"
#include "imaging/uGraphic.h"
#include "thumbnails/cShowControls.h"
#include "viewers/picture/cPaletteGrid.h"
#include "viewers/picture/uDetailsText.h"

class TPictureWindow;

class TDocWindow : public TForm {
 public:
  // picture: not owned; window: the picture window whose Details button waits for this one.
  TDocWindow(TComponent* owner, tGraphicID& picture, TPictureWindow* window);

  TPanel* ButtonPanel = nullptr;
  TButton *CloseBtn = nullptr, *FontBtn = nullptr, *PrintBtn = nullptr;
  TCheckBox* chkOptional = nullptr;
  TRichEdit* RichMemo = nullptr;
  TPanel* PalPanel = nullptr;
  TPaintBox* LblColor = nullptr;
  TPaletteGrid* Grid = nullptr;

  // Fills the text from the picture's information lines.
  void FillText();
  // The palette panel for pictures of at most 256 colours; hidden for others.
  void ShowPalette();
  const std::vector<tDetailLine>& ShownLines() const { return shown_; }
  int OptionalCount() const { return optional_; }
  // The picture's colours shown in the grid (0: no palette panel).
  int PaletteCount() const { return paletteCount_; }

 protected:
  void DoClose(TCloseAction& action) override;
  void Resize() override;

 private:
  void Arrange();
  void FontBtnClick();
  void PrintBtnClick();

  tGraphicID& picture_;
  TPictureWindow* window_;
  std::vector<tDetailLine> shown_;
  int optional_ = 0;
  int paletteCount_ = 0;
};

// Shows the details of the window's picture at a screen point (not modal).
TDocWindow* ShowPictureDetails(TPictureWindow* window, tGraphicID& picture, POINT at);
