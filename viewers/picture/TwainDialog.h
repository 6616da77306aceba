// The acquisition dialog: the user picks a TWAIN source (scanner, camera) and acquires; each
// image opens in a picture window. Made once, on first use, and kept for the program's life.
#pragma once
#include "framework/Button.h"
#include "framework/ComboBox.h"
#include "framework/Form.h"
#include "framework/Label.h"
#include "viewers/picture/cTwain.h"

class TTwainDialog : public TForm {
 public:
  explicit TTwainDialog(TComponent* owner);
  ~TTwainDialog() override;
  TLabel* lblHelp = nullptr;
  TComboBox* cbTwainSources = nullptr;
  TButton *btnAcquire = nullptr, *btnClose = nullptr, *btnHelp = nullptr;
  TTwain* Twain = nullptr;
  // Enumerates the sources into the list.
  void FillSources();
  void AcquireClick();
  // Refused while the source manager is open.
  bool CloseQuery() override;

 private:
  void UpdateAcquire();
};

// The dialog of the program (made on first use); whether it found at least one source.
bool TwainAvailable();
// Shows the dialog (not modal) with its top 4 pixels below the screen point, centred on it.
void ShowTwainDialog(POINT screenPoint);
// The dialog made by TwainAvailable (null before).
TTwainDialog* TwainDialog();
