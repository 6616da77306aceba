// The about box: the title page with the names and the scrolling credits, the system
// information page, and the user's guide page from which the guide is fetched, brought up to
// date and opened; "New version?" asks the maker's web site for its version document.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/uMessageDlgRules.h"
#include "framework/Bitmap.h"
#include "framework/Button.h"
#include "framework/Form.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "framework/Timer.h"
#include "online/HttpCli.h"
#include "online/uAboutRules.h"
#include "online/uGuide.h"

class TProgress;
class TRichView;
class TCreditsBox;
class TLogoBox;

class TAboutBox : public TForm {
 public:
  explicit TAboutBox(TComponent* owner, HWND ownerWindow = nullptr);
  ~TAboutBox() override;

  // Page 0 title, 1 system information, 2 the user's guide.
  int PageIndex() const { return page_; }
  void SetPageIndex(int page);

  void btnInfoClick();
  void btnInfoDoneClick();
  void btnGuideClick();
  void btnUcloseClick();
  void btnReadClick();
  void btnWebClick();
  void btnNewVersionClick();
  void btnUpdateClick();
  void btnVClick();
  void PauseButtonClick();
  void MinusButtonClick();
  void PlusButtonClick();
  void ShowGuidePage();
  void ScrollTimerTick();

  // Configuration: the web base addresses ("STRZ_2") and the folder the guide and the version
  // document go to (the program's folder); tests point them elsewhere.
  std::vector<std::string> BaseAddresses;
  std::vector<std::string> Credits;
  std::string ProgramFolder;
  int VersionNumber = 0;
  // The message box; tests answer it themselves.
  std::function<int(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                    int helpContext)>
      MessageDlg;
  // The program event sound of an invalid version document.
  std::function<void()> PlayInvalidSound;
  // Opens a web address or the local guide: in the browser, the default one when the shell
  // cannot, and says so when neither can.
  std::function<void(const std::string& document)> OpenDocument;

  // Results of the last version check.
  std::string VersionText;
  int VersionNumberW = 0, Cost = 0;

  TGuide2 Guide;
  tGuideProgress GuideProgress;
  TTimer* ScrollTimer = nullptr;
  TButton *btnRead, *btnWeb, *btnNewVersion, *btnInfo, *btnOk, *btnGuide;
  TButton *MinusButton, *PauseButton, *PlusButton;
  TButton *btnInfoDone, *btnUclose, *btnUpdate, *btnV;
  TLabel *ProgName, *ProgVsn, *Copyrt, *Compiled;
  TLabel *info_v, *info_written, *info_to, *info_windows, *info_memory, *info_avail, *info_total;
  TLabel *lblStatusFile, *lblStatusUpdate, *lblView, *lblUpdate;
  TProgress *Progress1, *Progress2;
  TRichView* memoGuide = nullptr;
  TCreditsBox* CreditsBox = nullptr;
  TLogoBox* ProgramLogo = nullptr;
  // The logo picture, and the spiral binding of the credits page (empty when not used).
  TBitmap Logo, Spiral;
  TPanel* guide_bevel3 = nullptr;

 protected:
  void DoClose(TCloseAction& action) override;

 private:
  void FillInformation();
  void GuideUpdate(uint8_t state);
  TGuide2::tFetch HttpFetch();
  int Ask(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int help);
  TPanel* pages_[3] = {};
  int page_ = 0;
  tScrollSpeed speed_;
  int scrollStep_ = 1;
};

// Shows the about box modally and frees it.
void ShowAboutBox(TComponent* owner = nullptr, HWND ownerWindow = nullptr);
// The running program's folder with a trailing backslash.
std::string ProgramFolderPath();
