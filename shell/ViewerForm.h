// The main window: a file browser of drives, folders and files. A top panel with the current
// folder; under it the header whose first section spans the left panel (drive combo above the
// folder list) and whose other sections are the file list's columns; the right panel holds the
// type filter above the file list.
#pragma once
#include "foundation/cFileCtlDirList.h"
#include "foundation/cFileCtlDriveCombo.h"
#include "foundation/cFileCtlFileList.h"
#include "foundation/cFileCtlFilterCombo.h"
#include "foundation/cFileCtlPathLabel.h"
#include "framework/Form.h"
#include "framework/Header.h"
#include "framework/Panel.h"

class TViewerForm : public TForm {
 public:
  explicit TViewerForm(TComponent* owner);
  ~TViewerForm() override;

  TPanel* pnlTop = nullptr;
  TPathLabel* lblPath = nullptr;
  THeaderControl* HeaderControl1 = nullptr;
  TPanel* pnlLeft = nullptr;
  TOrvex_DriveCombo* Orvex_DriveCombo1 = nullptr;
  TOrvex_DirList* Orvex_DirList1 = nullptr;
  TPanel* pnlRight = nullptr;
  TOrvex_FilterCombo* Orvex_FilterCombo1 = nullptr;
  TOrvex_FileList* Orvex_FileList1 = nullptr;

 protected:
  void DoCreate() override;
  void Resize() override;

 private:
  void FormCreate();
  void ArrangeControls();
  void HeaderControl1SectionResize(int section);
};

// The first main window (the one that owns the settings); null before it exists.
extern TViewerForm* ViewerForm;

// The filter of the main window's type combo.
extern const char* const kViewerFormFilter;
