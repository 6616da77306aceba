// The save dialog: one tab per output format with its own options, and shared groups for
// size, colours and options. Its decisions are tSaveDialogModel's; the form mirrors them.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/RadioButton.h"
#include "framework/TabControl.h"
#include "thumbnails/cShowControls.h"
#include "viewers/picture/uSaveDialogModel.h"
#include "viewers/picture/uSaveOptions.h"

class TSaveDialog : public TForm {
 public:
  TSaveDialog(TComponent* owner, TSaveOptions& options);

  tSaveDialogModel Model;
  TTabControl* Tabs = nullptr;
  TNotebook* Pages = nullptr;      // the format pages, one per tab
  TNotebook* SizePages = nullptr;  // single picture, batch
  TRadioButton* Radios[kColorRadioCount] = {};
  TCheckBox *chkGrayscale = nullptr, *chkDither = nullptr, *chkCompressed = nullptr,
            *chkInterlaced = nullptr, *chkTrim = nullptr, *chkKeepProportions = nullptr,
            *chkTopDown = nullptr, *chkCCITT = nullptr, *chkStoreGamma = nullptr,
            *chkWallpaper = nullptr;
  TCheckBox *chkTile = nullptr, *chkCenter = nullptr, *chkThumbPalette = nullptr,
            *chkEmboss = nullptr, *chkImprint = nullptr, *chkPlusLime = nullptr,
            *chkOptimize = nullptr, *chkSmooth = nullptr, *chkRescale = nullptr;
  TRadioButton* BmpStyles[3] = {};
  TRadioButton* BatchSizes[3] = {};
  TEdit *edWidth = nullptr, *edHeight = nullptr, *edBatchWidth = nullptr, *edBatchHeight = nullptr;
  TSpinEdit *spnQuality = nullptr, *spnGamma = nullptr;
  TLabel *lblGamma = nullptr, *lblForce = nullptr;
  TButton *btnSpecial = nullptr, *btnComments = nullptr, *btnOK = nullptr, *btnCancel = nullptr,
          *btnHelp = nullptr;

  // The controls from the model.
  void ShowModel();
  // What the user typed and ticked into the model.
  void ReadChecks();
  // Leaving a size edit.
  void SizeLeft(bool widthEdit);

 private:
  // Every check box with the model's state it mirrors.
  std::vector<std::pair<TChoiceButton*, tChoiceState*>> Boxes();
  TCheckBox* Check(TWindow* parent, const std::string& caption, int x, int y, int w = 110);
  TEdit* SizeEdit(TWindow* parent, int x, int y, bool widthEdit);
  TSaveOptions& options_;
  bool showing_ = false;
};

// Shows the dialog on the record; true (and the record written back) on OK.
bool ExecuteSaveDialog(TForm* owner, TSaveOptions& options);
