// "Build Web Page": the settings of a web gallery of the folder's GIF and JPEG pictures on four
// tabs, and the build with its progress, its coloured log and a Cancel button. The settings
// live in the section "Web Page" of the program's INI file.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "framework/Form.h"
#include "thumbnails/uWebExport.h"

class TButton;
class TCheckBox;
class TEdit;
class TGroupBox;
class TLabel;
class TPageControl;
class TPanel;
class TProgress;
class TRadioButton;
class TRichEdit;
class TSpinEdit;

// What the dialog asks of the program around it; absent parts do nothing.
struct tWebPageHost {
  std::string IniFile;  // "<program>.ini"
  // The colour dialog's custom colours ("ColorA=..."), kept between dialogs.
  std::vector<std::string>* CustomColors = nullptr;
  std::function<void()> PlayDoneSound;
  std::function<void(const std::string& path)> OpenDocument;
  // Told (WM_FOLDER_CHANGED) when a build has written into the folder.
  HWND NotifyWnd = nullptr;
};

class TdlgHTML : public TForm {
 public:
  // list: the file list's thumbnailed list (line 0 the folder, then the names).
  TdlgHTML(TComponent* owner, const std::vector<std::string>& list, tWebPageHost host);

  TPageControl* PageControl1 = nullptr;
  TPanel *tsGeneral = nullptr, *tsThumbs = nullptr, *tsPicturePage = nullptr, *tsBuild = nullptr;
  TEdit *edFilename = nullptr, *edTitle = nullptr, *edPrompt = nullptr;
  TSpinEdit *seTitle = nullptr, *sePrompt = nullptr;
  TGroupBox* rgPageBG = nullptr;
  TRadioButton *rbPageBgPicture = nullptr, *rbPageBgPlain = nullptr;
  TButton* btnBG = nullptr;
  TLabel* lblBgPic = nullptr;
  TSpinEdit *seSize = nullptr, *seFrame = nullptr, *seLink = nullptr, *seQuality = nullptr,
            *seSpacing = nullptr, *sePadding = nullptr, *seCols = nullptr;
  TCheckBox *cbThmColor = nullptr, *cbTTname = nullptr, *cbTTres = nullptr, *cbTTsize = nullptr,
            *cbSBname = nullptr, *cbSBres = nullptr, *cbSBsize = nullptr;
  TGroupBox* rgLink = nullptr;
  TRadioButton* rbLink[4] = {};
  TPanel* pnlPicPage = nullptr;
  TEdit *edTitle2 = nullptr, *edPrompt2 = nullptr;
  TSpinEdit *seTitle2 = nullptr, *sePrompt2 = nullptr, *sePic = nullptr;
  TCheckBox* cbPicName = nullptr;
  TGroupBox* rgPicBg = nullptr;
  TRadioButton *rbPicBgPicture = nullptr, *rbPicBgPlain = nullptr;
  TButton* btnBG2 = nullptr;
  TLabel* lblBgPic2 = nullptr;
  // By colour index (the buttons' tags): the button and its swatch.
  TButton* ColorButtons[wcCount] = {};
  TPanel* Swatches[wcCount] = {};
  TRichEdit* BuildLog = nullptr;
  TButton *btnBuild = nullptr, *btnCancel = nullptr, *btnOpen = nullptr;
  TProgress* Progress = nullptr;
  TLabel *lblProgress = nullptr, *lblStats = nullptr;
  TButton *btnOK = nullptr, *btnHelp = nullptr;

  uint32_t Colors[wcCount] = {};
  std::string PageFileName, BuiltFile, Folder;
  std::vector<std::string> Pictures;
  int PictureCount() const { return static_cast<int>(Pictures.size()); }
  bool Building() const { return gallery_ != nullptr; }

  tWebPageSettings SettingsFromControls() const;
  void ControlsFromSettings(const tWebPageSettings& s);
  void BuildClick();
  void CancelClick();
  void LinkChanged();
  void FrameChanged();
  // A line at the end of the log in a colour (00BBGGRR).
  void LogBuildLine(uint32_t color, const std::string& text);

 private:
  void MakeMainTab();
  void MakeThumbsTab();
  void MakePictureTab();
  void MakeBuildTab();
  TButton* ColorButton(TWindow* parent, int tag, const char* caption, int x, int y);
  // "Background": "Picture" or "Plain", and the picture chosen with "Select".
  TGroupBox* BackgroundGroup(TWindow* parent, int x, int y, TRadioButton*& picture,
                             TRadioButton*& plain, TButton*& select, TLabel*& label);
  void PaintSwatches();
  void PickBackground(TLabel* label);
  std::string FolderPath(const std::string& name) const;

  tWebPageHost host_;
  tWebGallery* gallery_ = nullptr;
};

// The modal dialog for the folder of the list; its modal result.
int ShowWebPageDialog(TComponent* owner, const std::vector<std::string>& list, tWebPageHost host);
