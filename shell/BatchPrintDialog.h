// Batch print: the dialog that chooses album page or separate pictures with their options (kept
// in the main window's settings), and the printing of the tagged pictures in cells on pages.
#pragma once
#include <string>
#include <vector>

#include "framework/Form.h"
#include "shell/uBatchPrintLayout.h"

class TButton;
class TCheckBox;
class TLabel;
class TRadioButton;
class TSpinEdit;
class TTrackBar;

struct tBatchPrintOptions {
  int Style = bpSeparatePictures;
  int PerPage = 1;
  int Border = 3;  // millimetres
  bool Outline = true;
  bool FileName = false;
  bool Landscape = false;  // the album page's orientation
};

// Prints the pictures of the list (item 0 the folder) as the options say; the count printed.
int PrintBatch(const std::vector<std::string>& files, const tBatchPrintOptions& options,
               TForm* owner);

class TdlgBatchPrint : public TForm {
 public:
  TdlgBatchPrint(TComponent* owner, const std::vector<std::string>* files);
  TRadioButton *rbAlbum = nullptr, *rbSeparate = nullptr;
  TTrackBar* tbPerPage = nullptr;
  TLabel* PerPageLabels[4] = {};
  TSpinEdit* seBorder = nullptr;
  TCheckBox *cbOutline = nullptr, *cbFileName = nullptr;
  TLabel* lblCount = nullptr;
  TButton *btnOK = nullptr, *btnCancel = nullptr, *btnHelp = nullptr;

  tBatchPrintOptions Options() const;
  void SetOptions(const tBatchPrintOptions& o);
  // The per-page labels follow the style: 4 and 8 for pictures, 6 and 12 for the album.
  void StyleChanged();

 private:
  std::vector<std::string> files_;
};

// Shows the dialog for the list; OK prints and stores the choices in the settings.
void ShowBatchPrintDialog(const std::vector<std::string>* files);
