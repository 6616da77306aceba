// The gallery's small dialogs: what it selects and how it sorts, how thumbnails are printed, and
// the stored facts of one picture with its thumbnail.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "framework/Bitmap.h"
#include "framework/Form.h"
#include "thumbnails/uThumbRecords.h"

class TButton;
class TCheckBox;
class TEdit;
class TLabel;
class TPaintBox;
class TRadioButton;
class TTrackBar;
class tThumbnails;

class TGallerySort : public TForm {
 public:
  explicit TGallerySort(TComponent* owner);
  TEdit *edDrives = nullptr, *edClass = nullptr, *edKeyword = nullptr;
  // By sort key 0..7: full name, file name, date, size, resolution, colours, group, keywords.
  TRadioButton* SortKeys[8] = {};
  TRadioButton *rbFwd = nullptr, *rbBak = nullptr;
  TRadioButton *rbActive = nullptr, *rbAll = nullptr, *rbDeleted = nullptr;
  TButton *btnOK = nullptr, *btnCancel = nullptr, *btnHelp = nullptr;

  void Load(const TGallerySettings& settings);
  void Store(TGallerySettings& settings) const;
};

// True on OK, with the choices stored in the settings.
bool ExecuteGallerySort(TGallerySettings& settings);

class TThumbPrintDialog : public TForm {
 public:
  explicit TThumbPrintDialog(TComponent* owner);
  TTrackBar* TrackBar1 = nullptr;  // 0 small, 1 medium, 2 large
  TCheckBox* chkCenter = nullptr;
  TButton *btnSetup = nullptr, *btnOK = nullptr, *btnCancel = nullptr, *btnHelp = nullptr;
  // TPrinterOrientation: what the printer setup dialog handed back.
  int Orientation = 0;
};

// True on OK: print size 0..2, the centre flag and the orientation (the printer setup's).
bool ExecuteThumbPrintDialog(int& printSize, bool& center, int& orientation);

class TImagePropertiesDialog : public TForm {
 public:
  TImagePropertiesDialog(TComponent* owner, tThumbnails& database, uint32_t record);
  // The values beside "Name:", "Location:", "Size:", "Date:", "Image:", "Group:", "Keywords:".
  TLabel* Values[7] = {};
  TPaintBox* Thumbnail = nullptr;  // 160 x 160
  TButton* btnOK = nullptr;
  bool HasPicture() const { return picture_ != nullptr; }

 private:
  std::unique_ptr<TBitmap> picture_;
};

// Shows a record's facts; true on OK.
bool ShowImageProperties(tThumbnails& database, uint32_t record);
