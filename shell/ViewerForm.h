// The main window: a file browser of drives, folders and files. A top panel with the current
// folder; under it the header whose first section spans the left panel (drive combo above the
// folder list) and whose other sections are the file list's columns; the right panel holds the
// type filter above the file list.
#pragma once
#include <memory>
#include <string>

#include "foundation/cFileCtlDirList.h"
#include "foundation/cFileCtlDriveCombo.h"
#include "foundation/cFileCtlFileList.h"
#include "foundation/cFileCtlFilterCombo.h"
#include "foundation/cFileCtlPathLabel.h"
#include "framework/Form.h"
#include "framework/Header.h"
#include "framework/Panel.h"
#include "shell/uSettings.h"

// The first window's settings fields are the ones that count (read through ViewerForm).
class TViewerForm : public TForm, public tViewerSettings {
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

  // The window runs as a browser: its layout and lists are loaded and saved.
  bool Interactive = true;

  // Moves the settings and the state of the controls between the window and the INI file;
  // false when a save could not be written.
  bool LoadSaveSettings(bool load);

 protected:
  void DoCreate() override;
  void DoClose(TCloseAction& action) override;
  void Resize() override;

 private:
  void FormCreate();
  void ArrangeControls();
  void HeaderControl1SectionResize(int section);

  std::unique_ptr<tSettingsControls> settingsControls_;
};

// The first main window (the one that owns the settings); null before it exists.
extern TViewerForm* ViewerForm;

// The program file beside which the settings file lies; empty: the running program (the test
// programs point it at a scratch folder).
extern std::string SettingsProgramFile;

// The filter of the main window's type combo.
extern const char* const kViewerFormFilter;
