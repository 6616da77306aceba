// The main window's side of the settings: its controls behind the settings' control interface,
// the program file beside which the INI file lies, and loading and saving at the right moments.
#include <windows.h>

#include "foundation/uFiles.h"
#include "foundation/uFormPlacementWin.h"
#include "foundation/uUtilWin.h"
#include "framework/Application.h"
#include "framework/Text.h"
#include "shell/ViewerForm.h"

std::string SettingsProgramFile;

namespace {

std::string ModuleFileName() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (n < name.size()) {
      name.resize(n);
      return WideToUtf8(name);
    }
    name.resize(name.size() * 2);
  }
}

}  // namespace

// The controls the window has so far; the state of the others (order and sort buttons, master
// switch, the combo lists) is kept as plain values so that it survives from start to close.
class TViewerFormSettingsControls : public tPlainSettingsControls {
 public:
  explicit TViewerFormSettingsControls(TViewerForm& form) : form_(form) {}

  tFormBounds WindowBounds() override {
    tFormBounds b;
    if (!GetNormalBounds(form_.Handle(), b.Left, b.Top, b.Width, b.Height)) {
      RECT r = form_.BoundsRect();
      b = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    return b;
  }
  void RestoreWindowBounds(const tFormBounds& bounds) override {
    ::RestoreFormBounds(form_, bounds);
  }
  void ResetListFont() override {
    TFont& font = form_.Orvex_FileList1->Font();
    font.SetName("Courier New");
    font.SetSize(9);
    font.SetColor(clBlack);
    font.SetStyle(0);
    form_.Orvex_DirList1->Font() = font;
  }
  std::string ListFontName() override { return form_.Orvex_FileList1->Font().Name(); }
  int ListFontSize() override { return form_.Orvex_FileList1->Font().Size(); }
  void SetListFont(const std::string& name, int size) override {
    TFont& font = form_.Orvex_FileList1->Font();
    font.SetName(name);
    font.SetSize(size);
    form_.Orvex_DirList1->Font() = font;
  }
  std::string HeaderWidths() override { return ::HeaderWidthsToText(*form_.HeaderControl1); }
  void SetHeaderWidths(const std::string& text) override {
    ::HeaderWidthsFromText(*form_.HeaderControl1, text);
    form_.pnlLeft->SetWidth(form_.HeaderControl1->SectionWidth(0));
  }
  std::string CurrentFolder() override { return form_.Orvex_DirList1->Directory(); }
  void ChangeFolder(const std::string& folder) override {
    form_.Orvex_DirList1->SetDirectory(FolderExists(folder) ? folder : WindowsDrive());
  }
  unsigned DetailColumns() override { return form_.Orvex_FileList1->FileDetails(); }
  void SetDetailColumns(unsigned columns) override {
    form_.Orvex_FileList1->SetFileDetails(columns);
  }
  bool ShowsThumbnails() override { return form_.Orvex_FileList1->zThumb != 0; }
  bool ShowHint() override { return Application.ShowHint; }
  void SetShowHint(bool show) override { Application.ShowHint = show; }

 private:
  TViewerForm& form_;
};

bool TViewerForm::LoadSaveSettings(bool load) {
  if (!settingsControls_) settingsControls_ = std::make_unique<TViewerFormSettingsControls>(*this);
  const std::string program = SettingsProgramFile.empty() ? ModuleFileName() : SettingsProgramFile;
  // Every key is read with its default, so a load needs no reset first (and must keep what the
  // command line set, such as HiddenOptions).
  return ::LoadSaveSettings(load, Interactive, program, *this, *settingsControls_);
}
