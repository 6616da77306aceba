#include "thumbnails/WebPageDialog.h"

#include <commdlg.h>
#include <richedit.h>

#include <algorithm>
#include <stdexcept>

#include "foundation/cProgress.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uIniFile.h"
#include "foundation/uMessages.h"
#include "foundation/uPlatform.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/PageControl.h"
#include "framework/RadioButton.h"
#include "framework/RichEdit.h"
#include "framework/Text.h"
#include "thumbnails/cShowControls.h"

namespace {

constexpr int kRow = 22;

TLabel* AddLabel(TComponent* owner, TWindow* parent, int x, int y, int w, const std::string& text) {
  auto* l = new TLabel(owner, parent, x, y + 3, w, 16);
  l->SetCaption(text);
  return l;
}

// A labelled spin edit: the caption left of the edit.
TSpinEdit* AddSpin(TComponent* owner, TWindow* parent, const std::string& caption, int x, int y,
                   int lo, int hi) {
  AddLabel(owner, parent, x, y, 70, caption);
  return new TSpinEdit(owner, parent, x + 74, y, 56, kRow, lo, hi);
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsFile(const std::string& path) {
  const uint32_t attributes = Platform().ItemAttributes(path);
  return attributes != kNoFileAttributes && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

const char* const kColorCaptions[5] = {"Color", "Text", "New", "Visited", "Active"};

}  // namespace

TdlgHTML::TdlgHTML(TComponent* owner, const std::vector<std::string>& list, tWebPageHost host)
    : TForm(owner, bsDialog), host_(std::move(host)) {
  SetCaption("Build Web Page");
  HelpContext = 58;
  Position = poScreenCenter;
  SetClientSize(480, 392);
  PageControl1 = new TPageControl(this, this, 8, 8, 464, 320);
  tsGeneral = PageControl1->AddPage("Main page");
  tsThumbs = PageControl1->AddPage("Thumbnails");
  tsPicturePage = PageControl1->AddPage("Picture page");
  tsBuild = PageControl1->AddPage("Build");
  MakeMainTab();
  MakeThumbsTab();
  MakePictureTab();
  MakeBuildTab();
  lblStats = new TLabel(this, this, 8, 338, 464, 16);
  btnOK = new TButton(this, this, "Close", 312, 360, 76, 25);
  btnHelp = new TButton(this, this, "&Help", 396, 360, 76, 25);
  btnOK->SetDefault(true);
  DefaultButton = btnOK;
  btnOK->OnClick = [this](TComponent*) { Close(); };
  btnHelp->OnClick = [this](TComponent*) {
    if (Application.OnHelp) Application.OnHelp(HelpContext);
  };
  OnCloseQuery = [this](TComponent*, bool& canClose) {
    // A running build ends first: closing stops it, the window goes once it has returned.
    if (gallery_) {
      gallery_->Cancelled = true;
      canClose = false;
    }
  };

  tWebPageSettings settings;
  if (!host_.IniFile.empty()) {
    TIniFile ini(host_.IniFile);
    LoadWebPageSettings(ini, settings);
  }
  Folder = list.empty() ? "" : list[0];
  if (list.size() > 1) Pictures = WebGalleryNames({list.begin() + 1, list.end()});
  // A background picture that is no longer in the folder is forgotten.
  for (std::string* image : {&settings.MainImage, &settings.PictureImage})
    if (!image->empty() && !IsFile(FolderPath(*image))) image->clear();
  ControlsFromSettings(settings);

  lblStats->SetCaption(Format("%d pictures in folder %s", {PictureCount(), Folder}));
  btnBuild->SetEnabled(PictureCount() >= 1);
  PageFileName = edFilename->Text();
  btnOpen->SetEnabled(!PageFileName.empty() && IsFile(FolderPath(PageFileName)));
  FinishCreate();
  if (PictureCount() == 0) {
    PageControl1->SetPageIndex(3);
    LogBuildLine(tWebGallery::kLogRed, "Fatal error! No pictures in this folder (or no pictures tagged)");
  } else {
    PageControl1->SetPageIndex(0);
  }
}

std::string TdlgHTML::FolderPath(const std::string& name) const { return JoinPath(Folder, name); }

TButton* TdlgHTML::ColorButton(TWindow* parent, int tag, const char* caption, int x, int y) {
  auto* b = new TButton(this, parent, caption, x, y, 64, 24);
  b->Tag = tag;
  auto* swatch = new TPanel(this, parent, x + 16, y + 28, 32, 18);
  swatch->BevelOuter = bvLowered;
  ColorButtons[tag] = b;
  Swatches[tag] = swatch;
  b->OnClick = [this, tag](TComponent*) {
    // Solid colours only: a page colour must look the same in every browser.
    if (PickColor(Handle(), Colors[tag], host_.CustomColors, CC_FULLOPEN | CC_SOLIDCOLOR))
      PaintSwatches();
  };
  return b;
}

TGroupBox* TdlgHTML::BackgroundGroup(TWindow* parent, int x, int y, TRadioButton*& picture,
                                     TRadioButton*& plain, TButton*& select, TLabel*& label) {
  auto* group = new TGroupBox(this, parent, "Background", x, y, 436, 64);
  picture = new TRadioButton(this, group, "Picture", 12, 18, 80, 18, true);
  plain = new TRadioButton(this, group, "Plain", 12, 38, 80, 18);
  select = new TButton(this, group, "Select", 100, 20, 64, 24);
  TLabel* chosen = label = new TLabel(this, group, 172, 24, 256, 16);
  select->OnClick = [this, chosen](TComponent*) { PickBackground(chosen); };
  return group;
}

void TdlgHTML::PaintSwatches() {
  for (int i = 0; i < wcCount; ++i) {
    if (!Swatches[i]) continue;
    Swatches[i]->Color = Colors[i] & 0xFFFFFF;
    Swatches[i]->Invalidate();
  }
}

void TdlgHTML::MakeMainTab() {
  TPanel* p = tsGeneral;
  AddLabel(this, p, 10, 12, 70, "File name");
  edFilename = new TEdit(this, p, 84, 12, 200, kRow);
  AddLabel(this, p, 10, 44, 70, "Title");
  edTitle = new TEdit(this, p, 84, 44, 280, kRow);
  seTitle = new TSpinEdit(this, p, 372, 44, 48, kRow, 1, 7);
  AddLabel(this, p, 10, 74, 70, "Prompt");
  edPrompt = new TEdit(this, p, 84, 74, 280, kRow);
  sePrompt = new TSpinEdit(this, p, 372, 74, 48, kRow, 1, 7);
  rgPageBG = BackgroundGroup(p, 10, 110, rbPageBgPicture, rbPageBgPlain, btnBG, lblBgPic);
  for (int i = 0; i < 5; ++i) ColorButton(p, wcMainPage + i, kColorCaptions[i], 10 + i * 88, 190);
}

void TdlgHTML::MakeThumbsTab() {
  TPanel* p = tsThumbs;
  seSize = AddSpin(this, p, "Size", 10, 12, 32, 200);
  seFrame = AddSpin(this, p, "Border", 10, 40, 0, 4);
  seLink = AddSpin(this, p, "Frame", 10, 68, 0, 4);
  seQuality = AddSpin(this, p, "Quality", 10, 96, 5, 95);
  seSpacing = AddSpin(this, p, "Spacing", 160, 12, 0, 16);
  sePadding = AddSpin(this, p, "Margin", 160, 40, 0, 16);
  seCols = AddSpin(this, p, "Columns", 160, 68, 1, 20);
  ColorButton(p, wcThumbRow, "Color", 330, 12);
  cbThmColor = new TCheckBox(this, p, "Use color", 330, 62, 110, 18);
  // The caption's three parts, for the tooltip and for the status bar.
  TCheckBox** const boxes[2][3] = {{&cbTTname, &cbTTres, &cbTTsize}, {&cbSBname, &cbSBres, &cbSBsize}};
  const char* const groups[2] = {" Tooltip ", " Status bar "};
  const char* const parts[3] = {"Name", "Picture size", "File size"};
  for (int g = 0; g < 2; ++g) {
    auto* group = new TGroupBox(this, p, groups[g], 10 + 226 * g, 140, 210, 96);
    for (int i = 0; i < 3; ++i)
      *boxes[g][i] = new TCheckBox(this, group, parts[i], 12, 20 + 24 * i, 180, 18);
  }
  seFrame->OnChange = [this](TComponent*) { FrameChanged(); };
}

void TdlgHTML::MakePictureTab() {
  TPanel* p = tsPicturePage;
  rgLink = new TGroupBox(this, p, "Link to", 10, 6, 436, 44);
  const char* const links[4] = {"Picture", "Page", "Window", "Frame"};
  for (int i = 0; i < 4; ++i) {
    rbLink[i] = new TRadioButton(this, rgLink, links[i], 12 + i * 104, 18, 96, 18, i == 0);
    rbLink[i]->OnClick = [this](TComponent*) { LinkChanged(); };
  }
  pnlPicPage = new TPanel(this, p, 10, 56, 436, 232);
  pnlPicPage->BevelOuter = bvNone;
  TPanel* q = pnlPicPage;
  AddLabel(this, q, 0, 4, 70, "Title");
  edTitle2 = new TEdit(this, q, 74, 4, 280, kRow);
  seTitle2 = new TSpinEdit(this, q, 362, 4, 48, kRow, 1, 7);
  AddLabel(this, q, 0, 32, 70, "Prompt");
  edPrompt2 = new TEdit(this, q, 74, 32, 280, kRow);
  sePrompt2 = new TSpinEdit(this, q, 362, 32, 48, kRow, 1, 7);
  cbPicName = new TCheckBox(this, q, "Picture name", 74, 62, 150, 18);
  sePic = new TSpinEdit(this, q, 362, 60, 48, kRow, 1, 7);
  rgPicBg = BackgroundGroup(q, 0, 90, rbPicBgPicture, rbPicBgPlain, btnBG2, lblBgPic2);
  for (int i = 0; i < 5; ++i) ColorButton(q, wcPicturePage + i, kColorCaptions[i], i * 88, 166);
}

void TdlgHTML::MakeBuildTab() {
  TPanel* p = tsBuild;
  BuildLog = new TRichEdit(this, p, 8, 8, 446, 236);
  BuildLog->SetReadOnly(true);
  Progress = new TProgress(this, p, 8, 254, 150, 18);
  Progress->SetEdgeStyle(prgLowered);
  lblProgress = new TLabel(this, p, 8, 276, 150, 16);
  btnBuild = new TButton(this, p, "Build", 214, 254, 76, 25);
  btnCancel = new TButton(this, p, "Cancel", 296, 254, 76, 25);
  btnOpen = new TButton(this, p, "View", 378, 254, 76, 25);
  btnCancel->SetEnabled(false);
  btnBuild->OnClick = [this](TComponent*) { BuildClick(); };
  btnCancel->OnClick = [this](TComponent*) { CancelClick(); };
  btnOpen->OnClick = [this](TComponent*) {
    if (host_.OpenDocument) host_.OpenDocument(FolderPath(PageFileName));
  };
}

void TdlgHTML::PickBackground(TLabel* label) {
  std::vector<wchar_t> file(MAX_PATH * 4, L'\0');
  const std::wstring current = Utf8ToWide(label->Caption());
  if (current.size() < file.size()) std::copy(current.begin(), current.end(), file.begin());
  const std::wstring folder = Utf8ToWide(Folder);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Handle();
  ofn.lpstrFilter = L"Web graphics\0*.gif;*.jp*\0";
  ofn.lpstrTitle = L"Background image";
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = folder.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
  if (!GetOpenFileNameW(&ofn)) return;
  label->SetCaption(ExtractFileName(WideToUtf8(file.data())));
}

tWebPageSettings TdlgHTML::SettingsFromControls() const {
  tWebPageSettings s;
  s.FileName = edFilename->Text();
  s.Title = edTitle->Text();
  s.TitleSize = seTitle->Value();
  s.Prompt = edPrompt->Text();
  s.PromptSize = sePrompt->Value();
  s.MainBackground = rbPageBgPicture->Checked() ? 0 : 1;
  s.MainImage = lblBgPic->Caption();
  std::copy(std::begin(Colors), std::end(Colors), s.Colors);
  s.ThumbSize = seSize->Value();
  s.Columns = seCols->Value();
  s.Border = seFrame->Value();
  s.Spacing = seSpacing->Value();
  s.Frame = seLink->Value();
  s.Quality = seQuality->Value();
  s.Margin = sePadding->Value();
  s.UseRowColor = cbThmColor->Checked();
  s.TooltipName = cbTTname->Checked();
  s.TooltipPicture = cbTTres->Checked();
  s.TooltipFile = cbTTsize->Checked();
  s.StatusName = cbSBname->Checked();
  s.StatusPicture = cbSBres->Checked();
  s.StatusFile = cbSBsize->Checked();
  s.LinkTo = wlPage;
  for (int i = 0; i < 4; ++i)
    if (rbLink[i]->Checked()) s.LinkTo = i;
  s.PictureTitle = edTitle2->Text();
  s.PictureTitleSize = seTitle2->Value();
  s.PicturePrompt = edPrompt2->Text();
  s.PicturePromptSize = sePrompt2->Value();
  s.PictureName = cbPicName->Checked();
  s.PictureNameSize = sePic->Value();
  s.PictureBackground = rbPicBgPicture->Checked() ? 0 : 1;
  s.PictureImage = lblBgPic2->Caption();
  return s;
}

void TdlgHTML::ControlsFromSettings(const tWebPageSettings& s) {
  edFilename->SetText(s.FileName);
  edTitle->SetText(s.Title);
  seTitle->SetValue(s.TitleSize);
  edPrompt->SetText(s.Prompt);
  sePrompt->SetValue(s.PromptSize);
  rbPageBgPicture->SetChecked(s.MainBackground == 0);
  rbPageBgPlain->SetChecked(s.MainBackground != 0);
  lblBgPic->SetCaption(s.MainImage);
  std::copy(std::begin(s.Colors), std::end(s.Colors), Colors);
  seSize->SetValue(s.ThumbSize);
  seCols->SetValue(s.Columns);
  seFrame->SetValue(s.Border);
  seSpacing->SetValue(s.Spacing);
  seLink->SetValue(s.Frame);
  seQuality->SetValue(s.Quality);
  sePadding->SetValue(s.Margin);
  cbThmColor->SetChecked(s.UseRowColor);
  cbTTname->SetChecked(s.TooltipName);
  cbTTres->SetChecked(s.TooltipPicture);
  cbTTsize->SetChecked(s.TooltipFile);
  cbSBname->SetChecked(s.StatusName);
  cbSBres->SetChecked(s.StatusPicture);
  cbSBsize->SetChecked(s.StatusFile);
  for (int i = 0; i < 4; ++i) rbLink[i]->SetChecked(s.LinkTo == i);
  edTitle2->SetText(s.PictureTitle);
  seTitle2->SetValue(s.PictureTitleSize);
  edPrompt2->SetText(s.PicturePrompt);
  sePrompt2->SetValue(s.PicturePromptSize);
  cbPicName->SetChecked(s.PictureName);
  sePic->SetValue(s.PictureNameSize);
  rbPicBgPicture->SetChecked(s.PictureBackground == 0);
  rbPicBgPlain->SetChecked(s.PictureBackground != 0);
  lblBgPic2->SetCaption(s.PictureImage);
  PaintSwatches();
  FrameChanged();
  LinkChanged();
}

void TdlgHTML::FrameChanged() { seSpacing->SetEnabled(seFrame->Value() == 0); }

void TdlgHTML::LinkChanged() {
  const bool picture = rbLink[wlPicture]->Checked();
  const bool enabled = !picture;
  TButton* buttons[6] = {btnBG2,
                         ColorButtons[wcPicturePage],
                         ColorButtons[wcPictureText],
                         ColorButtons[wcPictureLink],
                         ColorButtons[wcPictureVisited],
                         ColorButtons[wcPictureActive]};
  const char* const captions[6] = {"Select", "Color", "Text", "New", "Visited", "Active"};
  for (int i = 0; i < 6; ++i) {
    buttons[i]->SetCaption(enabled ? captions[i] : "");
    buttons[i]->SetEnabled(enabled);
  }
  for (TWindow* w : std::initializer_list<TWindow*>{edTitle2, cbPicName, rbPicBgPicture, rbPicBgPlain})
    w->SetEnabled(enabled);
  for (TSpinEdit* spin : {seTitle2, sePrompt2, sePic}) spin->SetEnabled(enabled);
  edPrompt2->SetEnabled(rbLink[wlPage]->Checked());
  pnlPicPage->Font().SetColor(enabled ? clBtnText : clGrayText);
  pnlPicPage->Invalidate();
}

void TdlgHTML::LogBuildLine(uint32_t color, const std::string& text) {
  BuildLog->SetSelection(BuildLog->TextLength(), 0);
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_COLOR;
  cf.crTextColor = color & 0xFFFFFF;
  BuildLog->Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  const std::wstring w = Utf8ToWide(text + "\r\n");
  BuildLog->SetSelText(std::u16string(w.begin(), w.end()));
  BuildLog->Send(WM_VSCROLL, SB_BOTTOM, 0);
}

void TdlgHTML::BuildClick() {
  if (gallery_) return;
  BuildLog->Clear();
  const tWebPageSettings settings = SettingsFromControls();
  if (Trimmed(settings.FileName).empty()) {
    LogBuildLine(tWebGallery::kLogRed, "Fatal error! Output file name is blank.");
    return;
  }
  if (!host_.IniFile.empty()) {
    TIniFile ini(host_.IniFile);
    SaveWebPageSettings(ini, settings);
    if (!ini.UpdateFile())
      LogBuildLine(tWebGallery::kLogRed, "The settings could not be saved in " + host_.IniFile);
  }
  tWebPictureSource source;
  source.NotifyWindow = reinterpret_cast<intptr_t>(Handle());
  tWebGallery gallery(settings, AddBackslash(Folder), Pictures, source);
  gallery.OnLog = [this](uint32_t color, const std::string& line) { LogBuildLine(color, line); };
  gallery.OnIdle = [] { Application.ProcessMessages(); };
  gallery.OnProgress = [this](int done, int total) {
    Progress->SetPercent(TProgress::PercentOf(done, total));
    lblProgress->SetCaption(Format("%d of %d pictures", {done, total}));
    lblProgress->Update();
  };
  gallery_ = &gallery;
  btnBuild->SetEnabled(false);
  btnOK->SetEnabled(false);
  btnCancel->SetEnabled(true);
  bool built = false;
  try {
    built = gallery.Build();
  } catch (const std::exception& e) {
    LogBuildLine(tWebGallery::kLogRed, e.what());
  }
  gallery_ = nullptr;
  btnCancel->SetEnabled(false);
  btnBuild->SetEnabled(true);
  btnOK->SetEnabled(true);
  PageFileName = gallery.PageFileName;
  if (built) {
    BuiltFile = gallery.BuiltFile;
    if (host_.PlayDoneSound) host_.PlayDoneSound();
  }
  // Thumbnails were written even when the build did not end: the folder's view must know.
  if (host_.NotifyWnd) PostMessageW(host_.NotifyWnd, WM_FOLDER_CHANGED, 0, 0);
  btnOpen->SetEnabled(IsFile(FolderPath(PageFileName)));
}

void TdlgHTML::CancelClick() {
  if (gallery_) gallery_->Cancelled = true;
}

int ShowWebPageDialog(TComponent* owner, const std::vector<std::string>& list, tWebPageHost host) {
  auto* dialog = new TdlgHTML(owner, list, std::move(host));
  const int result = dialog->ShowModal();
  delete dialog;
  return result;
}
