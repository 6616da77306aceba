#include "shell/OptionsDialog.h"

#include <commdlg.h>

#include <algorithm>

#include "foundation/SoundMessageDialog.h"
#include "foundation/uControlGroupsWin.h"
#include "foundation/uRegistry.h"
#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/Text.h"
#include "shell/uInstallWin.h"
#include "thumbnails/uThumbnails.h"

namespace {
constexpr int kClientWidth = 480, kClientHeight = 384;
constexpr int kRow = 22;
const char* const kPageNames[kOptionsPages] = {
    "Preferences",     "Associations",   "Graphic Display", "Movies",
    "Slide show",      "Thumbnail stats", "Thumbnail size", "Thumbnail Options",
    "Parental controls", "Shortcut",     "Private"};
const char* const kAssociationBoxes[kAssociationCount] = {
    "GIF", "JPEG", "BMP", "PCX", "TGA", "TIFF", "PNG", "WAVE", "MIDI", "AVI", "QuickTime", "MPEG"};
const char* const kMovieSizes[4] = {"Original size", "100% video window width",
                                    "133% video window width", "200% video window width"};
const char* const kLevels[5] = {"&0: No controls", "&1: No file rename/copy/move/delete",
                                "&2: (Level 1 plus) no hidden files/dirs",
                                "&3: (Level 2 plus) no drive change",
                                "&4: (Level 3 plus) no directory change"};

TLabel* AddLabel(TComponent* owner, TWindow* parent, int x, int y, int w, const std::string& text) {
  auto* l = new TLabel(owner, parent, x, y + 3, w, 16);
  l->SetCaption(text);
  return l;
}

TRadioButton* Radio(TComponent* owner, TWindow* parent, const std::string& text, int x, int y,
                    int w, intptr_t tag, bool first) {
  auto* r = new TRadioButton(owner, parent, text, x, y, w, 18, first);
  r->Tag = tag;
  return r;
}

// The font dialog's Apply button reaches the first window's lists at once.
struct tFontApply {
  std::function<void(const LOGFONTW&)> Apply;
};
// The font dialog's Apply button (psh3 of the system's dialog templates).
constexpr WORD kFontApplyButton = 0x0402;
UINT_PTR CALLBACK FontHook(HWND dialog, UINT message, WPARAM w, LPARAM l) {
  static tFontApply* current = nullptr;
  if (message == WM_INITDIALOG) {
    current = reinterpret_cast<tFontApply*>(reinterpret_cast<CHOOSEFONTW*>(l)->lCustData);
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(w) == kFontApplyButton && current) {
    LOGFONTW lf{};
    SendMessageW(dialog, WM_CHOOSEFONT_GETLOGFONT, 0, reinterpret_cast<LPARAM>(&lf));
    current->Apply(lf);
    return TRUE;
  }
  return FALSE;
}

void FontFromLog(const LOGFONTW& lf, int pointSize, TFont& font) {
  font.SetName(WideToUtf8(lf.lfFaceName));
  if (pointSize > 0) font.SetSize(pointSize);
  font.SetStyle((lf.lfWeight >= FW_BOLD ? fsBold : 0u) | (lf.lfItalic ? fsItalic : 0u) |
                (lf.lfUnderline ? fsUnderline : 0u) | (lf.lfStrikeOut ? fsStrikeOut : 0u));
}

int PointsOf(const LOGFONTW& lf) {
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return lf.lfHeight ? MulDiv(std::abs(lf.lfHeight), 72, dpi) : 0;
}
}  // namespace

TOptionsDialog::TOptionsDialog(TComponent* owner, tOptionsHost& host, HWND ownerWindow)
    : TForm(owner, bsDialog, ownerWindow), host_(host) {
  SetCaption("Tavishore 32 Options");
  SetClientSize(kClientWidth, kClientHeight);
  Position = poScreenCenter;
  HelpContext = OptionsHelpContext(-1);
  Pages = new TPageControl(this, this, 6, 6, kClientWidth - 12, kClientHeight - 50);
  std::vector<TPanel*> pages;
  for (const char* name : kPageNames) pages.push_back(Pages->AddPage(name));
  BuildPreferences(pages[0]);
  BuildAssociations(pages[1]);
  BuildGraphic(pages[2]);
  BuildMovies(pages[3]);
  BuildSlides(pages[4]);
  BuildStats(pages[5]);
  BuildSize(pages[6]);
  BuildThumbOptions(pages[7]);
  BuildParental(pages[8]);
  BuildShortcut(pages[9]);
  BuildPrivate(pages[10]);
  const int by = kClientHeight - 36;
  btnOK = new TButton(this, this, "OK", kClientWidth - 246, by, 75, 25);
  btnCancel = new TButton(this, this, "Cancel", kClientWidth - 166, by, 75, 25);
  btnHelp = new TButton(this, this, "&Help", kClientWidth - 86, by, 75, 25);
  btnOK->SetDefault(true);
  DefaultButton = btnOK;
  btnCancel->ModalResult = mrCancel;
  CancelButton = btnCancel;
  btnOK->OnClick = [this](TComponent*) { ApplyAndClose(); };
  btnHelp->OnClick = [this](TComponent*) {
    if (Application.OnHelp) Application.OnHelp(HelpContext);
  };
  Pages->OnChange = [this](TComponent*) { PageChanged(); };
  listFont_ = host_.ListFont ? *host_.ListFont : Font();
  FinishCreate();
}

void TOptionsDialog::BuildPreferences(TPanel* p) {
  AddLabel(this, p, 8, 8, 150, "Folder history entries");
  spinHistD = new TSpinEdit(this, p, 160, 8, 60, kRow, 10, 100);
  AddLabel(this, p, 8, 34, 150, "File mask history entries");
  spinHistF = new TSpinEdit(this, p, 160, 34, 60, kRow, 10, 100);
  auto* sounds = new TGroupBox(this, p, "Sounds", 240, 4, 212, 132);
  chkErrSnd = new TCheckBox(this, sounds, "Picture error", 10, 18, 190, 20);
  chkGal0 = new TCheckBox(this, sounds, "Thumbnail update start", 10, 40, 190, 20);
  chkGal1 = new TCheckBox(this, sounds, "Thumbnail update end", 10, 62, 190, 20);
  chkDlg = new TCheckBox(this, sounds, "Message boxes", 10, 84, 190, 20);
  chkSlideSnd = new TCheckBox(this, sounds, "Last slide", 10, 106, 190, 20);
  chkHexWin = new TCheckBox(this, p, "Show contents of unknown files", 8, 62, 226, 20);
  chkHint = new TCheckBox(this, p, "Show hints", 8, 84, 226, 20);
  chkOpenDocs = new TCheckBox(this, p, "Open (run) in Windows", 8, 106, 226, 20);
  btnFont = new TButton(this, p, "&Font...", 8, 132, 90, 25);
  btnFont->OnClick = [this](TComponent*) { FontClick(); };
  grpEncode = new TGroupBox(this, p, "Encode", 8, 166, 140, 70);
  rbXXcode = Radio(this, grpEncode, "XX code", 10, 20, 120, 0, true);
  rbUUcode = Radio(this, grpEncode, "UU code", 10, 42, 120, 1, false);
  grpHtml = new TGroupBox(this, p, "open HTML", 156, 166, 140, 70);
  Radio(this, grpHtml, "Text", 10, 20, 120, 0, true);
  Radio(this, grpHtml, "Browser", 10, 42, 120, 1, false);
  rgWindow = new TGroupBox(this, p, "Window placement", 304, 166, 148, 70);
  Radio(this, rgWindow, "Windows decides", 10, 20, 130, 0, true);
  Radio(this, rgWindow, "Centred", 10, 42, 130, 1, false);
}

void TOptionsDialog::BuildAssociations(TPanel* p) {
  AddLabel(this, p, 8, 6, 440, "Open these file types with Tavishore 32:");
  pnlAssoc = new TPanel(this, p, 8, 30, 440, 170);
  pnlAssoc->BevelOuter = bvNone;
  for (int i = 0; i < kAssociationCount; ++i) {
    auto* box = new TCheckBox(this, pnlAssoc, kAssociationBoxes[i], (i / 6) * 200 + 4,
                              (i % 6) * 26 + 2, 180, 20);
    box->Tag = intptr_t{1} << i;
  }
}

void TOptionsDialog::BuildGraphic(TPanel* p) {
  chkGinterlace = new TCheckBox(this, p, "Display interlace", 8, 10, 300, 20);
  ChkQuant2 = new TCheckBox(this, p, "High quality colour reduction", 8, 34, 300, 20);
  chkGaspect = new TCheckBox(this, p, "Standard aspect", 8, 58, 300, 20);
  AddLabel(this, p, 8, 92, 180, "Magnifier factor (%)");
  SpinPanFactor = new TSpinEdit(this, p, 200, 92, 70, kRow, 125, 300);
  AddLabel(this, p, 8, 122, 180, "Monitor gamma (x 100)");
  M_Gam = new TSpinEdit(this, p, 200, 122, 70, kRow, 20, 800);
}

void TOptionsDialog::BuildMovies(TPanel* p) {
  grpMovies = new TGroupBox(this, p, "Movie display size", 8, 8, 300, 124);
  for (int i = 0; i < 4; ++i) Radio(this, grpMovies, kMovieSizes[i], 12, 22 + i * 24, 270, i, i == 0);
}

void TOptionsDialog::BuildSlides(TPanel* p) {
  AddLabel(this, p, 8, 10, 200, "Delay in seconds (0 = manual)");
  SlideDelay = new TSpinEdit(this, p, 210, 10, 60, kRow, 0, 60);
  chkOrig = new TCheckBox(this, p, "Original size", 8, 42, 250, 20);
  btnSSbg = new TButton(this, p, "&Background...", 8, 72, 110, 25);
  pbSlideColor = new TPaintBox(this, p, 126, 74, 40, 21);
  pbSlideColor->OnPaint = [this](TComponent*, TCanvas& c) {
    RECT r = pbSlideColor->ClientRect();
    c.Brush.SetColor(clBlack);
    c.FrameRect(r);
    InflateRect(&r, -1, -1);
    c.Brush.SetColor(static_cast<TColor>(slideColor_));
    c.FillRect(r);
  };
  btnSSbg->OnClick = [this](TComponent*) {
    uint32_t color = slideColor_;
    if (PickColor(Handle(), color, &host_.Settings->CustomColors)) {
      slideColor_ = color;
      pbSlideColor->Invalidate();
    }
  };
  chkWP = new TCheckBox(this, p, "Wallpaper", 8, 108, 110, 20);
  btnWallpaper = new TButton(this, p, "&Wallpaper...", 126, 106, 110, 25);
  btnWallpaper->OnClick = [this](TComponent*) {
    std::string paper = slidePaper_;
    if (!PickWallpaper(Handle(), paper)) return;
    slidePaper_ = paper;
    chkWP->SetEnabled(true);
    chkWP->SetChecked(true);
  };
}

void TOptionsDialog::BuildStats(TPanel* p) {
  for (int i = 0; i < 9; ++i) {
    lblStats[i] = new TLabel(this, p, 8, 8 + i * 22, 440, 18);
    // The columns line up only in a fixed-pitch font; the pitch picks one where this face is missing.
    lblStats[i]->Font().SetName("Courier New");
    lblStats[i]->Font().SetPitch(fpFixed);
  }
  btnThumbP = new TButton(this, p, "Pack", 8, 212, 90, 25);
  btnThumbA = new TButton(this, p, "Refresh", 106, 212, 90, 25);
  btnThumbP->OnClick = [this](TComponent*) { PackClick(); };
  btnThumbA->OnClick = [this](TComponent*) { FillStatistics(); };
}

void TOptionsDialog::BuildSize(TPanel* p) {
  grpSize = new TGroupBox(this, p, "Size", 8, 4, 92, 240);
  for (int code = 4; code <= 12; ++code)
    Radio(this, grpSize, std::to_string(ThumbSizeNumber(code)), 14, 20 + (code - 4) * 24, 60, code,
          code == 4)
        ->OnClick = [this](TComponent*) {
      lblSizeNew->SetCaption("New: " + std::to_string(ThumbSizeNumber(ChosenSizeCode())));
      pbSizes->Invalidate();
    };
  lblSizeNow = new TLabel(this, p, 110, 8, 160, 18);
  lblSizeNew = new TLabel(this, p, 280, 8, 160, 18);
  pbSizes = new TPaintBox(this, p, 110, 30, 340, 180);
  pbSizes->OnPaint = [this](TComponent*, TCanvas& c) { PaintSizes(c); };
  btnThumbSize = new TButton(this, p, "Change", 110, 218, 90, 25);
  btnThumbSize->OnClick = [this](TComponent*) { ChangeSizeClick(); };
}

void TOptionsDialog::BuildThumbOptions(TPanel* p) {
  AddLabel(this, p, 8, 8, 200, "Gallery thumbnails per page");
  spinGalPer = new TSpinEdit(this, p, 210, 8, 70, kRow, 10, 1000);
  chkICO = new TCheckBox(this, p, "Thumbnails of icons", 8, 38, 220, 20);
  chkKeywordFN = new TCheckBox(this, p, "File names are keywords", 8, 60, 220, 20);
  chkMaster = new TCheckBox(this, p, "Master switch toggles", 8, 82, 220, 20);
  AddLabel(this, p, 240, 34, 200, "No automatic thumbnails in:");
  omitList = new TListBox(this, p, 240, 56, 210, 180);
  omitPopup = new TPopupMenu(this);
  omitPopup->Add("&Auto thumbnail")->OnClick = [this](TComponent*) { RemoveOmitted(); };
  omitList->OnKeyDown = [this](TComponent*, WORD& key, TShiftState) {
    if (key == VK_DELETE) {
      RemoveOmitted();
      key = 0;
    }
  };
  omitList->OnMouseUp = [this](TComponent*, TMouseButton b, TShiftState, int x, int y) {
    if (b != mbRight) return;
    POINT pt = omitList->ClientToScreen(POINT{x, y});
    omitPopup->Popup(Handle(), pt.x, pt.y);
  };
}

void TOptionsDialog::BuildParental(TPanel* p) {
  AddLabel(this, p, 8, 10, 80, "Password");
  EditPassword = new TEdit(this, p, 90, 10, 160, kRow, WS_BORDER | ES_PASSWORD);
  EditPassword->OnExit = [this](TComponent*) { PasswordExitCheck(); };
  grpLevel = new TGroupBox(this, p, "Level", 8, 44, 440, 150);
  for (int i = 0; i < 5; ++i) Radio(this, grpLevel, kLevels[i], 12, 20 + i * 24, 410, i, i == 0);
}

void TOptionsDialog::BuildShortcut(TPanel* p) {
  auto* icons = new TGroupBox(this, p, "Icons", 8, 8, 210, 100);
  chkStartMenu = new TCheckBox(this, icons, "Start button", 12, 20, 180, 20);
  chkDesktop = new TCheckBox(this, icons, "Desktop", 12, 44, 180, 20);
  chkQuickLaunch = new TCheckBox(this, icons, "Quick Launch", 12, 68, 180, 20);
  auto* startup = new TGroupBox(this, p, "Startup", 230, 8, 210, 76);
  chkSysTray = new TCheckBox(this, startup, "Task tray", 12, 20, 180, 20);
  chkTaskbar = new TCheckBox(this, startup, "Task bar", 12, 44, 180, 20);
}

void TOptionsDialog::BuildPrivate(TPanel* p) {
  AddLabel(this, p, 8, 10, 120, "Thumbnail file");
  edPrivate_Thumbnails = new TEdit(this, p, 130, 10, 320, kRow);
  cbPrivate_cmake = new TCheckBox(this, p, "\"Loftwright\" save options", 8, 42, 300, 20);
  cbWav = new TCheckBox(this, p, "Windowless WAVs", 8, 66, 300, 20);
  cbTextBS = new TCheckBox(this, p, "Strip text file backspaces", 8, 90, 300, 20);
  cbFileFR = new TCheckBox(this, p, "Batch find and replace", 8, 114, 300, 20);
}

void TOptionsDialog::Fill() {
  tViewerSettings& s = *host_.Settings;
  uint32_t assoc = 0;
  RegisterFileAssociations(host_.ProgramFile, true, assoc, 0);
  std::array<bool, kShortcutKinds> links{};
  for (int k = 0; k < kShortcutKinds; ++k)
    links[static_cast<size_t>(k)] = ShortcutExists(static_cast<TShortcutKind>(k));
  tOptionsValues v = OptionsFromSettings(s, host_.GraphicOptions ? *host_.GraphicOptions : 0,
                                         assoc, Application.ShowHint, links);
  if (host_.Database) v.OmittedFolders = host_.Database->OmittedFolders().Lines();
  opening_ = {v.Associations, v.Shortcuts, v.OmittedFolders};
  storedPassword_ = s.ParentalPassword;
  slideColor_ = v.SlideColor;
  slidePaper_ = v.SlidePaper;

  spinHistD->SetValue(v.FolderHistory);
  spinHistF->SetValue(v.MaskHistory);
  chkErrSnd->SetChecked(v.PictureErrorSound);
  chkGal0->SetChecked(v.StartUpdateSound);
  chkGal1->SetChecked(v.EndUpdateSound);
  chkDlg->SetChecked(v.MessageSounds);
  chkSlideSnd->SetChecked(v.LastSlideSound);
  chkHexWin->SetChecked(v.HexWindow);
  chkHint->SetChecked(v.ShowHint);
  chkOpenDocs->SetChecked(v.OpenDocuments);
  SetRadioByTag(*grpEncode, v.UuXxEncoding);
  SetRadioByTag(*grpHtml, v.OpenHtml);
  SetRadioByTag(*rgWindow, v.WindowPlacement);
  SetChecksByTags(*pnlAssoc, static_cast<intptr_t>(v.Associations));
  chkGinterlace->SetChecked(v.Interlace);
  ChkQuant2->SetChecked(v.HighQuality);
  chkGaspect->SetChecked(v.StandardAspect);
  SpinPanFactor->SetValue(v.ZoomPercent);
  M_Gam->SetValue(v.MonitorGamma);
  SetRadioByTag(*grpMovies, v.MovieDisplaySize);
  SlideDelay->SetValue(v.SlideDelay);
  chkOrig->SetChecked(v.SlideOriginalSize);
  chkWP->SetChecked(v.SlideWallpaper);
  chkWP->SetEnabled(!v.SlidePaper.empty());
  spinGalPer->SetValue(v.GalleryPerPage);
  chkICO->SetChecked(v.ThumbnailIcos);
  chkKeywordFN->SetChecked(v.FileNameKeywords);
  chkMaster->SetChecked(v.MasterSwitchToggle);
  omitList->Clear();
  for (const std::string& f : v.OmittedFolders) omitList->Add(f);
  EditPassword->SetText("");
  SetRadioByTag(*grpLevel, v.ParentalLevel);
  SetLevelGroupEnabled(false);
  chkDesktop->SetChecked(v.Shortcuts[skDesktop]);
  chkStartMenu->SetChecked(v.Shortcuts[skStartMenu]);
  chkSysTray->SetChecked(v.Shortcuts[skTaskTray]);
  chkTaskbar->SetChecked(v.Shortcuts[skTaskBar]);
  chkQuickLaunch->SetChecked(v.Shortcuts[skQuickLaunch]);
  chkQuickLaunch->SetEnabled(!ShortcutFile(skQuickLaunch).empty());
  edPrivate_Thumbnails->SetText(v.ThumbnailFileName);
  cbPrivate_cmake->SetChecked(v.Loftwright);
  cbWav->SetChecked(v.WindowlessWavs);
  cbTextBS->SetChecked(v.StripTextfileBackspace);
  cbFileFR->SetChecked(v.BatchFindReplace);
  Pages->SetTabVisible(kOptionsPrivatePage, s.HiddenOptions);
  FillStatistics();
  if (host_.Database) SetRadioByTag(*grpSize, host_.Database->ThumbnailSizeCode());
  const int code = host_.Database ? host_.Database->ThumbnailSizeCode() : 7;
  lblSizeNow->SetCaption("Now: " + std::to_string(ThumbSizeNumber(code)));
  lblSizeNew->SetCaption("New: " + std::to_string(ThumbSizeNumber(code)));
  for (TWindow* w : std::initializer_list<TWindow*>{btnThumbP, btnThumbA, btnThumbSize, grpSize})
    w->SetEnabled(host_.Database != nullptr);
  int page = std::clamp(s.OptionsPage, 0, kOptionsPages - 1);
  if (!Pages->TabVisible(page)) page = 0;
  Pages->SetPageIndex(page);
}

tOptionsValues TOptionsDialog::Values() {
  tOptionsValues v;
  v.FolderHistory = spinHistD->Value();
  v.MaskHistory = spinHistF->Value();
  v.PictureErrorSound = chkErrSnd->Checked();
  v.StartUpdateSound = chkGal0->Checked();
  v.EndUpdateSound = chkGal1->Checked();
  v.MessageSounds = chkDlg->Checked();
  v.LastSlideSound = chkSlideSnd->Checked();
  v.HexWindow = chkHexWin->Checked();
  v.ShowHint = chkHint->Checked();
  v.OpenDocuments = chkOpenDocs->Checked();
  v.UuXxEncoding = static_cast<int32_t>(GetRadioTag(*grpEncode));
  v.OpenHtml = static_cast<int32_t>(GetRadioTag(*grpHtml));
  v.WindowPlacement = static_cast<int32_t>(GetRadioTag(*rgWindow));
  v.Associations = static_cast<uint32_t>(GetCheckedTags(*pnlAssoc));
  v.Interlace = chkGinterlace->Checked();
  v.HighQuality = ChkQuant2->Checked();
  v.StandardAspect = chkGaspect->Checked();
  v.ZoomPercent = SpinPanFactor->Value();
  v.MonitorGamma = M_Gam->Value();
  v.MovieDisplaySize = static_cast<int32_t>(GetRadioTag(*grpMovies));
  v.SlideDelay = SlideDelay->Value();
  v.SlideOriginalSize = chkOrig->Checked();
  v.SlideColor = slideColor_;
  v.SlideWallpaper = chkWP->Checked();
  v.SlidePaper = slidePaper_;
  v.GalleryPerPage = spinGalPer->Value();
  v.ThumbnailIcos = chkICO->Checked();
  v.FileNameKeywords = chkKeywordFN->Checked();
  v.MasterSwitchToggle = chkMaster->Checked();
  for (int i = 0; i < omitList->Count(); ++i) v.OmittedFolders.push_back(omitList->String(i));
  v.ParentalLevel = static_cast<int32_t>(GetRadioTag(*grpLevel));
  v.PasswordText = EditPassword->Text();
  v.Shortcuts[skDesktop] = chkDesktop->Checked();
  v.Shortcuts[skStartMenu] = chkStartMenu->Checked();
  v.Shortcuts[skTaskTray] = chkSysTray->Checked();
  v.Shortcuts[skTaskBar] = chkTaskbar->Checked();
  v.Shortcuts[skQuickLaunch] = chkQuickLaunch->Checked();
  v.ThumbnailFileName = edPrivate_Thumbnails->Text();
  v.Loftwright = cbPrivate_cmake->Checked();
  v.WindowlessWavs = cbWav->Checked();
  v.StripTextfileBackspace = cbTextBS->Checked();
  v.BatchFindReplace = cbFileFR->Checked();
  return v;
}

void TOptionsDialog::ApplyAndClose() {
  // The level only changes with the group unlocked; otherwise the stored one stays, and so does
  // the stored password.
  tOptionsValues v = Values();
  if (!levelUnlocked_) {
    v.ParentalLevel = host_.Settings->ParentalLevel;
    v.PasswordText = host_.Settings->ParentalPassword;
  }
  uint16_t dummy = 0;
  ApplyOptions(v, opening_, pageShown_, *host_.Settings,
               host_.GraphicOptions ? *host_.GraphicOptions : dummy, *this);
  ModalResult = mrOk;
}

void TOptionsDialog::PasswordExitCheck() {
  tPasswordOutcome out = PasswordExit(EditPassword->Text(), storedPassword_);
  if (out.EditText != EditPassword->Text()) EditPassword->SetText(out.EditText);
  if (!out.Unlock) return;
  SetLevelGroupEnabled(true);
  for (HWND h = GetWindow(grpLevel->Handle(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED) ::SetFocus(h);
}

void TOptionsDialog::SetLevelGroupEnabled(bool enabled) {
  levelUnlocked_ = enabled;
  grpLevel->SetEnabled(enabled);
  for (HWND h = GetWindow(grpLevel->Handle(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    EnableWindow(h, enabled);
}

void TOptionsDialog::FillStatistics() {
  TThumbnailStats stats;
  tStatisticsTexts t;
  if (host_.Database && host_.Database->IsOpen()) {
    host_.Database->GetStatistics(stats);
    t = StatisticsTexts(&stats);
  }
  const std::string* lines[9] = {&t.Size,      &t.RecordSizes, &t.FileSizes,
                                 &t.Records,   &t.DataBytes,   &t.Displayed,
                                 &t.Compression, &t.NextLabel, &t.Updates};
  for (int i = 0; i < 9; ++i) {
    std::string text = *lines[i];
    if (i == 7 && !text.empty()) text = "Next volume label: " + text;
    if (i == 8 && !text.empty()) text = "Updates: " + text;
    lblStats[i]->SetCaption(text);
  }
  btnThumbP->SetEnabled(t.PackEnabled);
}

int TOptionsDialog::ChosenSizeCode() {
  const intptr_t code = GetRadioTag(*grpSize);
  return code >= 4 && code <= 12 ? static_cast<int>(code) : 7;
}

void TOptionsDialog::ChangeSizeClick() {
  if (!host_.Database) return;
  const int answer = SoundMessageDlg("Change thumbnail size", mtConfirmation,
                                     MsgDlgButtons({mbOK, mbCancel, mbHelp}),
                                     host_.Settings->MessageSounds, 34);
  const int current = host_.Database->ThumbnailSizeCode();
  if (answer == mrCancel) {
    SetRadioByTag(*grpSize, current);
    lblSizeNew->SetCaption("New: " + std::to_string(ThumbSizeNumber(current)));
    pbSizes->Invalidate();
    return;
  }
  const int chosen = ChosenSizeCode();
  if (chosen == current) return;
  THourGlass wait;
  host_.Database->Clear();
  host_.Database->SetThumbnailSizeCode(chosen);
  lblSizeNow->SetCaption("Now: " + std::to_string(ThumbSizeNumber(chosen)));
  lblSizeNew->SetCaption("New: " + std::to_string(ThumbSizeNumber(chosen)));
  pbSizes->Invalidate();
  if (host_.NotifyAll) host_.NotifyAll(4);
  for (TLabel* l : lblStats) l->SetCaption("");
  btnThumbP->SetEnabled(false);
}

void TOptionsDialog::PackClick() {
  if (!host_.Database) return;
  TThumbnailStats stats;
  host_.Database->GetStatistics(stats);
  if (stats.Active == stats.Scanned) return;
  THourGlass wait;
  host_.Database->Pack();
  FillStatistics();
  if (host_.ShowCounts) host_.ShowCounts();
  if (host_.NotifyAll) host_.NotifyAll(4);
}

void TOptionsDialog::RemoveOmitted() {
  const int i = omitList->ItemIndex();
  if (i < 0) return;
  omitList->Send(LB_DELETESTRING, static_cast<WPARAM>(i), 0);
  omitList->SetItemIndex(std::min(i, omitList->Count() - 1));
}

void TOptionsDialog::PaintSizes(TCanvas& c) {
  RECT all = pbSizes->ClientRect();
  c.Brush.SetColor(clBtnFace);
  c.FillRect(all);
  const int now = host_.Database ? host_.Database->ThumbnailSizeCode() : 7;
  const int codes[2] = {now, ChosenSizeCode()};
  int x = 0;
  for (int code : codes) {
    // The box at its real size (640 div code), cut to the half of the area it has.
    const int box = std::min(ThumbnailBoxSize(code), std::min<int>(all.bottom, all.right / 2 - 8));
    RECT r{x, 0, x + box, box};
    c.Brush.SetColor(clWindow);
    c.FillRect(r);
    c.Brush.SetColor(clBtnShadow);
    c.FrameRect(r);
    RECT inner{r.left + box / 6, r.top + box / 4, r.right - box / 6, r.bottom - box / 4};
    c.Brush.SetColor(static_cast<TColor>(0x00A06030));
    c.FillRect(inner);
    x += all.right / 2;
  }
}

void TOptionsDialog::FontClick() {
  LOGFONTW lf{};
  GetObjectW(listFont_.Handle(), sizeof lf, &lf);
  tFontApply apply{[this](const LOGFONTW& chosen) {
    FontFromLog(chosen, PointsOf(chosen), listFont_);
    fontChosen_ = true;
    ApplyListFont();
  }};
  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = Handle();
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_APPLY | CF_ENABLEHOOK;
  cf.lpfnHook = FontHook;
  cf.lCustData = reinterpret_cast<LPARAM>(&apply);
  if (!ChooseFontW(&cf)) return;
  FontFromLog(lf, cf.iPointSize / 10, listFont_);
  fontChosen_ = true;
  ApplyListFont();
}

void TOptionsDialog::PageChanged() {
  pageShown_ = Pages->PageIndex();
  HelpContext = OptionsHelpContext(pageShown_);
  btnHelp->HelpContext = HelpContext;
}

void TOptionsDialog::ApplyListFont() {
  if (fontChosen_ && host_.SetListFont) host_.SetListFont(listFont_);
}
void TOptionsDialog::SetShowHint(bool show) { Application.ShowHint = show; }
void TOptionsDialog::ChangeAssociations(uint32_t oldMask, uint32_t newMask) {
  RegisterFileAssociations(host_.ProgramFile, false, oldMask, newMask);
}
void TOptionsDialog::SetOmittedFolders(const std::vector<std::string>& folders) {
  if (!host_.Database) return;
  // The database keeps a toggle per folder: toggle what differs.
  std::vector<std::string> now = host_.Database->OmittedFolders().Lines();
  for (const std::string& f : now)
    if (std::find(folders.begin(), folders.end(), f) == folders.end())
      host_.Database->ToggleOmittedFolder(f);
  for (const std::string& f : folders)
    if (!host_.Database->IsFolderInOmitList(f, true)) host_.Database->ToggleOmittedFolder(f);
}
void TOptionsDialog::SetFileNameKeywords(bool on) {
  if (host_.Database) host_.Database->FileNameKeywords = on ? 1 : 0;
}
void TOptionsDialog::CreateShortcut(TShortcutKind kind) { CreateProgramShortcut(kind); }
void TOptionsDialog::RemoveShortcut(TShortcutKind kind) { ::RemoveShortcut(kind); }
void TOptionsDialog::SetTrayIcon(bool on) {
  if (host_.SetTrayIcon) host_.SetTrayIcon(on);
}
void TOptionsDialog::CloseProgram() {
  if (host_.CloseProgram) host_.CloseProgram();
}

bool ShowOptionsDialog(TForm* owner, tOptionsHost& host) {
  auto* dialog = new TOptionsDialog(nullptr, host, owner ? owner->Handle() : nullptr);
  dialog->Fill();
  dialog->Pages->Page(dialog->Pages->PageIndex())->SetFocus();
  const bool ok = dialog->ShowModal() == mrOk;
  dialog->Release();
  return ok;
}
