// The screen saver settings window of the main program: the script the screen saver plays and
// how it shows it, kept in the INI's "Screen Saver" section.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Button.h"
#include "framework/Form.h"
#include "framework/Label.h"
#include "framework/ListBox.h"
#include "framework/Panel.h"
#include "thumbnails/cShowControls.h"
#include "thumbnails/uSaverSettings.h"
#include "thumbnails/uScriptLibrary.h"

// A test show: the files, the delay, the wallpaper file ('' none), the colour, the original
// size flag.
using TTestShowEvent = std::function<void(const std::vector<std::string>& lines, int delay,
                                          const std::string& paper, uint32_t color, bool original)>;

// What the window needs of the main program's settings.
struct tSaverSettingsHost {
  std::string ProgramPath;                            // the main program; its INI beside it
  int ParentalLevel = 0;                              // 2 or more hides hidden scripts
  int32_t* SlidePosition = nullptr;                   // the slide shows' position
  std::vector<std::string>* CustomColors = nullptr;   // the colour dialog's custom colours
  bool MessageSounds = true;
  TTestShowEvent RunTestShow;
};

class TScreenSaverSettingsForm : public TForm {
 public:
  TScreenSaverSettingsForm(TComponent* owner, tSaverSettingsHost& host);

  // Fills the controls from the INI; false when no script is listed.
  bool Load();
  // Writes the controls into the INI (only with a script chosen).
  bool Save();

  TListBox* ViewList = nullptr;
  TLabel* Title = nullptr;
  TSpinEdit* ListDelay = nullptr;
  TCheckBox* chkWP = nullptr;
  TCheckBox* chkOrig = nullptr;
  TCheckBox* chkRandom = nullptr;
  TButton* btnBG = nullptr;
  TButton* btnWallpaper = nullptr;
  TModeTrackBar* tbMode = nullptr;
  TPanel* FloatGroup = nullptr;
  TSpinEdit* seTimerInt = nullptr;
  TSpinEdit* seXincr = nullptr;
  TSpinEdit* seYincr = nullptr;
  TButton* btnOK = nullptr;

  tScreenSaverSettings Settings;

 private:
  void ViewListClick();
  void ViewListDblClick();
  void SelectScript(int number);
  void btnBGClick();
  void btnWallpaperClick();
  void tbModeChange();

  tSaverSettingsHost& host_;
  tVList library_;
  std::vector<TWindow*> floatLabels_;
};

// The window, modal; nothing is written unless it ends with OK and a script chosen. Returns
// the modal result (mrNone when no script was available).
int ShowScreenSaverSettings(TComponent* owner, tSaverSettingsHost& host);
