// The options dialog: a modal tabbed dialog over the first main window's settings, the file-type
// associations, the program's shortcuts and the thumbnail database. The controls mirror
// tOptionsValues; OK hands them to ApplyOptions, which fixes the order of the writes.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/ListBox.h"
#include "framework/Menu.h"
#include "framework/PageControl.h"
#include "framework/RadioButton.h"
#include "framework/ScrollBox.h"
#include "shell/uOptions.h"
#include "thumbnails/cShowControls.h"

class tThumbnails;

// What the dialog works on besides its own controls.
struct tOptionsHost {
  tViewerSettings* Settings = nullptr;  // the first main window's
  uint16_t* GraphicOptions = nullptr;
  tThumbnails* Database = nullptr;      // none: the database pages have nothing to act on
  std::string ProgramFile;              // what the associations open
  TFont* ListFont = nullptr;            // the first window's file list font
  std::function<void(const TFont&)> SetListFont;
  std::function<void(bool)> SetTrayIcon;
  // NotifyAllViewerForms, and the database counts shown in the main window.
  std::function<void(int)> NotifyAll;
  std::function<void()> ShowCounts;
  // Posts WM_CLOSE_REQUEST to the first window.
  std::function<void()> CloseProgram;
};

class TOptionsDialog : public TForm, private tOptionsActions {
 public:
  TOptionsDialog(TComponent* owner, tOptionsHost& host, HWND ownerWindow = nullptr);

  TPageControl* Pages = nullptr;
  // Preferences
  TSpinEdit *spinHistD = nullptr, *spinHistF = nullptr;
  TCheckBox *chkErrSnd = nullptr, *chkGal0 = nullptr, *chkGal1 = nullptr, *chkDlg = nullptr,
            *chkSlideSnd = nullptr, *chkHexWin = nullptr, *chkHint = nullptr,
            *chkOpenDocs = nullptr;
  TButton* btnFont = nullptr;
  TGroupBox *grpEncode = nullptr, *grpHtml = nullptr, *rgWindow = nullptr;
  TRadioButton *rbXXcode = nullptr, *rbUUcode = nullptr;
  // Associations: twelve boxes tagged with their row bits.
  TPanel* pnlAssoc = nullptr;
  // Graphic display
  TCheckBox *chkGinterlace = nullptr, *ChkQuant2 = nullptr, *chkGaspect = nullptr;
  TSpinEdit *SpinPanFactor = nullptr, *M_Gam = nullptr;
  // Movies
  TGroupBox* grpMovies = nullptr;
  // Slide show
  TSpinEdit* SlideDelay = nullptr;
  TCheckBox *chkOrig = nullptr, *chkWP = nullptr;
  TButton *btnSSbg = nullptr, *btnWallpaper = nullptr;
  TPaintBox* pbSlideColor = nullptr;
  // Thumbnail stats
  TLabel* lblStats[9] = {};
  TButton *btnThumbP = nullptr, *btnThumbA = nullptr;
  // Thumbnail size
  TGroupBox* grpSize = nullptr;
  TLabel *lblSizeNow = nullptr, *lblSizeNew = nullptr;
  TPaintBox* pbSizes = nullptr;
  TButton* btnThumbSize = nullptr;
  // Thumbnail options
  TSpinEdit* spinGalPer = nullptr;
  TCheckBox *chkICO = nullptr, *chkKeywordFN = nullptr, *chkMaster = nullptr;
  TListBox* omitList = nullptr;
  TPopupMenu* omitPopup = nullptr;
  // Parental controls
  TEdit* EditPassword = nullptr;
  TGroupBox* grpLevel = nullptr;
  // Shortcut
  TCheckBox *chkStartMenu = nullptr, *chkDesktop = nullptr, *chkQuickLaunch = nullptr,
            *chkSysTray = nullptr, *chkTaskbar = nullptr;
  // Private
  TEdit* edPrivate_Thumbnails = nullptr;
  TCheckBox *cbPrivate_cmake = nullptr, *cbWav = nullptr, *cbTextBS = nullptr,
            *cbFileFR = nullptr;
  TButton *btnOK = nullptr, *btnCancel = nullptr, *btnHelp = nullptr;

  // Copies the settings into the controls (ShowOptionsDialog's step 2).
  void Fill();
  // The controls as values.
  tOptionsValues Values();
  // OK's work (also reachable without the modal loop, for the tests).
  void ApplyAndClose();
  // The password box left: the rule of PasswordExit.
  void PasswordExitCheck();
  bool LevelUnlocked() const { return levelUnlocked_; }
  void FillStatistics();
  // The size radio chosen (a size code 4..12).
  int ChosenSizeCode();
  void ChangeSizeClick();
  void PackClick();
  void RemoveOmitted();

 private:
  void BuildPreferences(TPanel* page);
  void BuildAssociations(TPanel* page);
  void BuildGraphic(TPanel* page);
  void BuildMovies(TPanel* page);
  void BuildSlides(TPanel* page);
  void BuildStats(TPanel* page);
  void BuildSize(TPanel* page);
  void BuildThumbOptions(TPanel* page);
  void BuildParental(TPanel* page);
  void BuildShortcut(TPanel* page);
  void BuildPrivate(TPanel* page);
  void PageChanged();
  void SetLevelGroupEnabled(bool enabled);
  void PaintSizes(TCanvas& canvas);
  void FontClick();

  // tOptionsActions, run by ApplyOptions in its order.
  void ApplyListFont() override;
  void SetShowHint(bool show) override;
  void ChangeAssociations(uint32_t oldMask, uint32_t newMask) override;
  void SetOmittedFolders(const std::vector<std::string>& folders) override;
  void SetFileNameKeywords(bool on) override;
  void CreateShortcut(TShortcutKind kind) override;
  void RemoveShortcut(TShortcutKind kind) override;
  void SetTrayIcon(bool on) override;
  void CloseProgram() override;

  tOptionsHost& host_;
  tOptionsOpening opening_;
  std::string storedPassword_;
  bool levelUnlocked_ = false;
  uint32_t slideColor_ = 0;
  std::string slidePaper_;
  TFont listFont_;
  bool fontChosen_ = false;
  int pageShown_ = 0;
};

// The dialog over the first main window (owner: the window asking), shown modally; true on OK.
bool ShowOptionsDialog(TForm* owner, tOptionsHost& host);
