// The main window's side of the settings: its controls behind the settings' control interface,
// the program file beside which the INI file lies, and loading and saving at the right moments.
#include <windows.h>

#include <type_traits>

#include "foundation/uFiles.h"
#include "foundation/uFormPlacementWin.h"
#include "foundation/uUtilWin.h"
#include "framework/Application.h"
#include "framework/Text.h"
#include "shell/ViewerForm.h"
#include "thumbnails/uThumbnails.h"

std::string SettingsProgramFile;

// Every setting is the one field of the record the window derives from: a field of the same
// name declared in the window itself would hide it, and the settings would never reach it.
#define SETTINGS_FIELD(name)                                                                    \
  static_assert(std::is_same_v<decltype(&TViewerForm::name), decltype(&tViewerSettings::name)>, \
                "TViewerForm must not declare its own " #name)
SETTINGS_FIELD(VersionChanged);
SETTINGS_FIELD(VersionNumber);
SETTINGS_FIELD(CloneFolder);
SETTINGS_FIELD(StartWithThumbnails);
SETTINGS_FIELD(Warning256Colors);
SETTINGS_FIELD(ZoomPercent);
SETTINGS_FIELD(MonitorGamma);
SETTINGS_FIELD(MovieDisplaySize);
SETTINGS_FIELD(PictureErrorSound);
SETTINGS_FIELD(MessageSounds);
SETTINGS_FIELD(LastSlideSound);
SETTINGS_FIELD(HexWindow);
SETTINGS_FIELD(UuXxEncoding);
SETTINGS_FIELD(OpenHtml);
SETTINGS_FIELD(OpenDocuments);
SETTINGS_FIELD(FolderHistory);
SETTINGS_FIELD(MaskHistory);
SETTINGS_FIELD(WindowPlacement);
SETTINGS_FIELD(MasterSwitchToggle);
SETTINGS_FIELD(WindowlessWavs);
SETTINGS_FIELD(StripTextfileBackspace);
SETTINGS_FIELD(BatchFindReplace);
SETTINGS_FIELD(SlideOriginalSize);
SETTINGS_FIELD(SlidePosition);
SETTINGS_FIELD(SlideDelay);
SETTINGS_FIELD(SlideColor);
SETTINGS_FIELD(SlideWallpaper);
SETTINGS_FIELD(SlidePaper);
SETTINGS_FIELD(ParentalLevel);
SETTINGS_FIELD(ParentalPassword);
SETTINGS_FIELD(StartUpdateSound);
SETTINGS_FIELD(EndUpdateSound);
SETTINGS_FIELD(ThumbnailFileName);
SETTINGS_FIELD(GalleryBounds);
SETTINGS_FIELD(GalleryPerPage);
SETTINGS_FIELD(FileNameKeywords);
SETTINGS_FIELD(ThumbnailIcos);
SETTINGS_FIELD(GalleryPrintSize);
SETTINGS_FIELD(GalleryOrientation);
SETTINGS_FIELD(GalleryCenterPrint);
SETTINGS_FIELD(CustomColors);
SETTINGS_FIELD(SaveAsOptions);
SETTINGS_FIELD(BatchPrintOrientation);
SETTINGS_FIELD(BatchPrintStyle);
SETTINGS_FIELD(BatchPrintPerPage);
SETTINGS_FIELD(BatchPrintBorder);
SETTINGS_FIELD(BatchPrintOutline);
SETTINGS_FIELD(BatchPrintFileName);
SETTINGS_FIELD(HiddenOptions);
SETTINGS_FIELD(OptionsPage);
SETTINGS_FIELD(BuildDate);
SETTINGS_FIELD(Warning256Pending);
SETTINGS_FIELD(OldBuildReminderDue);
#undef SETTINGS_FIELD



// The window's controls behind the settings' interface.
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
  bool MasterDown() override { return form_.btnMaster->Down(); }
  void SetMasterDown(bool down) override { form_.btnMaster->SetDown(down); }
  bool ButtonDown(char button) override {
    TSpeedButton* b = Button(button);
    return b && b->Down();
  }
  void ClickButton(char button) override {
    if (TSpeedButton* b = Button(button)) b->Click();
  }
  std::vector<std::string> ListItems(tList list) override {
    TComboBox* combo = Combo(list);
    std::vector<std::string> items;
    for (int i = 0; i < combo->Count(); ++i) items.push_back(combo->String(i));
    return items;
  }
  void SetListItems(tList list, const std::vector<std::string>& items) override {
    TComboBox* combo = Combo(list);
    combo->Clear();
    for (const std::string& item : items) combo->Add(item);
    if (!items.empty()) combo->SetItemIndex(0);
  }
  void ApplyParentalLevel(int level) override { form_.ApplyParentalLevel(); }
  // The flag lives in the database while one is open; the options dialog changes it there.
  bool DatabaseFileNameKeywords(bool field) override {
    tThumbnails* db = ViewerForm ? ViewerForm->Thumbnails.get() : form_.Thumbnails.get();
    return db ? db->FileNameKeywords != 0 : field;
  }
  bool ShowHint() override { return Application.ShowHint; }
  void SetShowHint(bool show) override { Application.ShowHint = show; }

 private:
  TSpeedButton* Button(char letter) {
    switch (letter) {
      case 'F':
        return form_.btn_f;
      case 'B':
        return form_.btn_b;
      case 'U':
        return form_.btn_u;
      case 'N':
        return form_.btn_n;
      case 'E':
        return form_.btn_e;
      case 'S':
        return form_.btn_s;
      case 'D':
        return form_.btn_d;
      case 'H':
        return form_.btn_h;
    }
    return nullptr;
  }
  TComboBox* Combo(tList list) {
    return list == lsFolderHistory ? static_cast<TComboBox*>(form_.cbDir)
           : list == lsBookmarks   ? static_cast<TComboBox*>(form_.cbMarks)
                                   : form_.cbMask;
  }
  TViewerForm& form_;
};

bool TViewerForm::LoadSaveSettings(bool load) {
  if (!settingsControls_) settingsControls_ = std::make_unique<TViewerFormSettingsControls>(*this);
  if (!load) KeepGalleryPlace();
  const std::string program = SettingsProgramFile.empty() ? ModuleFileName() : SettingsProgramFile;
  // Every key is read with its default, so a load needs no reset first (and must keep what the
  // command line set, such as HiddenOptions).
  return ::LoadSaveSettings(load, Interactive, program, *this, *settingsControls_);
}
