#include "thumbnails/ScreenSaverSettingsForm.h"

#include <algorithm>

#include "foundation/SoundMessageDialog.h"
#include "framework/Application.h"
#include "framework/Text.h"

namespace {
constexpr int kHelpContext = 22, kNoScriptsHelp = 23;

TLabel* MakeLabel(TComponent* owner, TWindow* parent, const std::string& text, int x, int y, int w,
                  int h = 16) {
  auto* label = new TLabel(owner, parent, x, y, w, h);
  label->SetCaption(text);
  return label;
}
}  // namespace

TScreenSaverSettingsForm::TScreenSaverSettingsForm(TComponent* owner, tSaverSettingsHost& host)
    : TForm(owner, bsDialog), host_(host) {
  SetCaption(Application.Title + " Screen Saver Settings");
  HelpContext = kHelpContext;
  Position = poScreenCenter;
  SetClientSize(500, 356);

  MakeLabel(this, this, "Slide show scripts:", 10, 8, 220);
  ViewList = new TListBox(this, this, 10, 26, 220, 218);
  ViewList->OnClick = [this](TComponent*) { ViewListClick(); };
  ViewList->OnDblClick = [this](TComponent*) { ViewListDblClick(); };
  Title = MakeLabel(this, this, "", 10, 250, 390, 32);

  MakeLabel(this, this, "Delay (seconds):", 245, 28, 110);
  ListDelay = new TSpinEdit(this, this, 360, 24, 60, 22, kSaverDelayMin, kSaverDelayMax);
  ListDelay->SetValue(20);
  chkOrig = new TCheckBox(this, this, "Never enlarge pictures", 245, 56, 240, 20);
  chkRandom = new TCheckBox(this, this, "Random order", 245, 80, 240, 20);
  chkWP = new TCheckBox(this, this, "Wallpaper", 245, 108, 100, 20);
  btnWallpaper = new TButton(this, this, "Wallpaper...", 350, 106, 100, 24);
  btnWallpaper->OnClick = [this](TComponent*) { btnWallpaperClick(); };
  btnBG = new TButton(this, this, "Background color...", 245, 136, 150, 24);
  btnBG->OnClick = [this](TComponent*) { btnBGClick(); };

  tbMode = new TModeTrackBar(this, this, 245, 168, 160, 30, 0, 2);
  tbMode->OnChange = [this](TComponent*) { tbModeChange(); };
  MakeLabel(this, this, "Center", 245, 198, 50);
  MakeLabel(this, this, "Cycle", 308, 198, 40);
  MakeLabel(this, this, "Float", 368, 198, 40);
  OnMessage(WM_HSCROLL, [this](WPARAM, LPARAM l) -> LRESULT {
    if (reinterpret_cast<HWND>(l) == tbMode->Handle()) tbMode->Scrolled();
    return 0;
  });

  // The float settings sit on a panel of their own, so that disabling it greys them together.
  FloatGroup = new TPanel(this, this, 10, 286, 390, 60);
  FloatGroup->BevelOuter = bvLowered;
  floatLabels_.push_back(MakeLabel(this, FloatGroup, "Float", 8, 4, 60));
  floatLabels_.push_back(MakeLabel(this, FloatGroup, "Speed (ms):", 8, 32, 76));
  seTimerInt = new TSpinEdit(this, FloatGroup, 84, 28, 60, 22, kFloatSpeedMin, kFloatSpeedMax,
                             kFloatSpeedStep);
  floatLabels_.push_back(MakeLabel(this, FloatGroup, "X step:", 162, 32, 48));
  seXincr = new TSpinEdit(this, FloatGroup, 210, 28, 50, 22, kFloatStepMin, kFloatStepMax);
  floatLabels_.push_back(MakeLabel(this, FloatGroup, "Y step:", 278, 32, 48));
  seYincr = new TSpinEdit(this, FloatGroup, 326, 28, 50, 22, kFloatStepMin, kFloatStepMax);

  btnOK = new TButton(this, this, "OK", 410, 254, 80, 26);
  btnOK->ModalResult = mrOk;
  btnOK->SetDefault(true);
  auto* cancel = new TButton(this, this, "Cancel", 410, 286, 80, 26);
  cancel->ModalResult = mrCancel;
  cancel->SetCancel(true);
  auto* help = new TButton(this, this, "&Help", 410, 320, 80, 26);
  help->OnClick = [](TComponent*) {
    if (Application.OnHelp) Application.OnHelp(kHelpContext);
  };
  FinishCreate();
}

bool TScreenSaverSettingsForm::Load() {
  library_.IniPath = ProgramIniPath(host_.ProgramPath);
  library_.Restricted = host_.ParentalLevel >= 2;
  std::vector<std::string> entries;
  tScriptSettings unused;
  int freeNumber = 0;
  ScriptLibraryEntry(library_, smList, 0, unused, freeNumber, entries);
  std::sort(entries.begin(), entries.end(), [](const std::string& a, const std::string& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, Utf8ToWide(a).c_str(), -1,
                          Utf8ToWide(b).c_str(), -1) == CSTR_LESS_THAN;
  });
  ViewList->Clear();
  for (const auto& e : entries) ViewList->Add(e);
  if (entries.empty()) return false;

  ScreenSaverIni(true, host_.ProgramPath, Settings);
  if (host_.SlidePosition) *host_.SlidePosition = Settings.Position;
  if (Settings.ScriptNumber > 0) SelectScript(Settings.ScriptNumber);
  ListDelay->SetValue(std::max(kSaverDelayMin, Settings.Delay));
  chkWP->SetChecked(Settings.Wallpaper);
  chkWP->SetEnabled(!Settings.Paper.empty());
  chkOrig->SetChecked(Settings.OriginalSize);
  chkRandom->SetChecked(Settings.Random);
  tbMode->SetPosition(std::clamp(Settings.Mode, 0, 2));
  seTimerInt->SetValue(Settings.FloatSpeed);
  seXincr->SetValue(Settings.FloatX);
  seYincr->SetValue(Settings.FloatY);
  tbModeChange();
  return true;
}

void TScreenSaverSettingsForm::SelectScript(int number) {
  for (int i = 0; i < ViewList->Count(); ++i) {
    if (ScriptEntryNumber(ViewList->String(i)) == number) {
      ViewList->SetItemIndex(i);
      ViewListClick();
      return;
    }
  }
}

void TScreenSaverSettingsForm::ViewListClick() {
  const int index = ViewList->ItemIndex();
  if (index < 0) return;
  const int number = ScriptEntryNumber(ViewList->String(index));
  tScriptSettings script;
  std::vector<std::string> lines;
  int other = 0;
  if (!ScriptLibraryEntry(library_, smRead, number, script, other, lines)) return;
  Settings.ScriptNumber = number;
  Settings.ScriptFileName = ScriptLinesFileName(library_, number);
  ListDelay->SetValue(std::max(kSaverDelayMin, script.Delay));
  Settings.Color = script.Color;
  Title->SetCaption(SaverScriptTitle(script.Title, lines.size(), Settings.ScriptFileName));
}

void TScreenSaverSettingsForm::ViewListDblClick() {
  const int index = ViewList->ItemIndex();
  if (index < 0 || !host_.RunTestShow) return;
  THourGlass wait;
  tScriptSettings script;
  std::vector<std::string> lines;
  int other = 0;
  if (!ScriptLibraryEntry(library_, smReadForShow, ScriptEntryNumber(ViewList->String(index)),
                          script, other, lines))
    return;
  host_.RunTestShow(lines, ListDelay->Value(), chkWP->Checked() ? Settings.Paper : "",
                    Settings.Color, chkOrig->Checked());
}

void TScreenSaverSettingsForm::btnBGClick() {
  PickColor(Handle(), Settings.Color, host_.CustomColors);
}

void TScreenSaverSettingsForm::btnWallpaperClick() {
  if (!PickWallpaper(Handle(), Settings.Paper)) return;
  chkWP->SetEnabled(true);
  chkWP->SetChecked(true);
}

void TScreenSaverSettingsForm::tbModeChange() {
  const bool floating = tbMode->Position() == kSaverFloat;
  for (TWindow* label : floatLabels_) {
    static_cast<TLabel*>(label)->Font().SetColor(floating ? clWindowText : clGrayText);
    label->Invalidate();
  }
  seTimerInt->SetEnabled(floating);
  seXincr->SetEnabled(floating);
  seYincr->SetEnabled(floating);
}

bool TScreenSaverSettingsForm::Save() {
  if (Settings.ScriptNumber <= 0) return false;
  Settings.Delay = ListDelay->Value();
  Settings.Wallpaper = chkWP->Checked();
  Settings.OriginalSize = chkOrig->Checked();
  Settings.Random = chkRandom->Checked();
  Settings.Mode = tbMode->Position();
  Settings.FloatSpeed = seTimerInt->Value();
  Settings.FloatX = seXincr->Value();
  Settings.FloatY = seYincr->Value();
  if (host_.SlidePosition) Settings.Position = *host_.SlidePosition;
  return ScreenSaverIni(false, host_.ProgramPath, Settings);
}

int ShowScreenSaverSettings(TComponent* owner, tSaverSettingsHost& host) {
  const int32_t keptPosition = host.SlidePosition ? *host.SlidePosition : -1;
  auto* form = new TScreenSaverSettingsForm(owner, host);
  int result = mrNone;
  if (!form->Load()) {
    SoundMessageDlg("No scripts available for screen saver. (Push Help)", mtInformation,
                    MsgDlgButtons({mbOK, mbHelp}), host.MessageSounds, kNoScriptsHelp);
  } else {
    result = form->ShowModal();
    if (result == mrOk) form->Save();
  }
  delete form;
  if (host.SlidePosition) *host.SlidePosition = keptPosition;
  return result;
}
