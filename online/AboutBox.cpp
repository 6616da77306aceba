#include "online/AboutBox.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <ctime>

#include "foundation/SoundMessageDialog.h"
#include "foundation/cProgress.h"
#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"
#include "foundation/uShell.h"
#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/PaintedWindow.h"
#include "framework/Palette.h"
#include "framework/Text.h"
#include "online/CompressedResource.h"
#include "online/ReadMeForm.h"
#include "online/RichView.h"
#include "resources/uResStrings.h"
#include "viewers/ViewerHost.h"

// The credits: lines of text drawn from a scroll position that the timer moves on. With the
// spiral bitmap they are written in Courier New on a notebook page (a spiral binding turn and an
// aqua rule on every line); without it they are centred in MS Sans Serif.
class TCreditsBox : public TPaintedWindow {
 public:
  TCreditsBox(TComponent* owner, TWindow* parent, int x, int y, int width, int height)
      : TPaintedWindow(owner) {
    Create("", WS_CHILD | WS_VISIBLE, x, y, width, height, parent->Handle(), WS_EX_CLIENTEDGE);
    UseSpiral(nullptr, 0);
  }
  std::vector<std::string>* Lines = nullptr;
  int Position = 0;
  // The spiral (not owned; null: the plain page) and the width the rules reach to.
  void UseSpiral(TBitmap* spiral, int ruleEnd) {
    spiral_ = spiral && !spiral->Empty() ? spiral : nullptr;
    ruleEnd_ = ruleEnd;
    Font().SetName(spiral_ ? "Courier New" : "MS Sans Serif");
    Font().SetSize(spiral_ ? 9 : 10);
  }
  bool Spiral() const { return spiral_ != nullptr; }
  int LineHeight() {
    if (spiral_) return spiral_->Height();
    HDC dc = GetDC(Handle());
    int h = 16;
    {
      TCanvas c(dc);
      c.Font = Font();
      h = c.TextHeight("Hy");
    }
    ReleaseDC(Handle(), dc);
    return h;
  }
  // The height of the whole page: the text with blank space before and after it.
  int Range() {
    const int lines = static_cast<int>(Lines ? Lines->size() : 0);
    if (spiral_) return (lines + 16) * spiral_->Height();
    return 2 * ClientHeight() + lines * LineHeight();
  }

 protected:
  void Paint(TCanvas& c) override {
    const RECT r = ClientRect();
    c.Brush.SetColor(clWhite);
    c.FillRect(r);
    const int lineHeight = LineHeight();
    int x = 0, y = ClientHeight() - 4 - Position;
    if (spiral_) {
      // The page's pattern moves with the text.
      TSelectedPalette palette(c.Handle(), spiral_->Palette());
      for (int top = -(Position % lineHeight); top < r.bottom; top += lineHeight) {
        c.Draw(0, top, *spiral_);
        c.Pen.SetColor(0xFFFF00);  // aqua
        c.MoveTo(spiral_->Width(), top + lineHeight - 1);
        c.LineTo(ruleEnd_ - 8, top + lineHeight - 1);
      }
      x = spiral_->Width() + 46;
      y = 8 * lineHeight - Position;
    }
    if (!Lines) return;
    c.Font = Font();
    c.Font.SetColor(clNavy);
    c.Brush.SetStyle(bsClear);
    for (const std::string& line : *Lines) {
      if (y > -lineHeight && y < r.bottom) {
        const int w = c.TextWidth(line);
        c.TextOut(spiral_ ? x : (w < r.right ? (r.right - w) / 2 : 0), y, line);
      }
      y += lineHeight;
    }
  }

 private:
  TBitmap* spiral_ = nullptr;
  int ruleEnd_ = 0;
};

// The program's logo picture, drawn in the screen's palette where there is one.
class TLogoBox : public TPaintedWindow {
 public:
  TLogoBox(TComponent* owner, TWindow* parent, int x, int y, TBitmap& logo)
      : TPaintedWindow(owner), logo_(logo) {
    Create("", WS_CHILD | WS_VISIBLE, x, y, std::max(1, logo.Width()), std::max(1, logo.Height()),
           parent->Handle());
  }

 protected:
  void Paint(TCanvas& c) override {
    if (logo_.Empty()) return;
    TSelectedPalette palette(c.Handle(), logo_.Palette());
    c.Draw(0, 0, logo_);
  }

 private:
  TBitmap& logo_;
};

namespace {

constexpr int kWidth = 440, kHeight = 480;

TLabel* MakeLabel(TComponent* owner, TWindow* parent, int x, int y, int w, int h,
                  const std::string& text, TAlignment align = taLeftJustify) {
  auto* l = new TLabel(owner, parent, x, y, w, h);
  l->Alignment = align;
  l->SetCaption(text);
  return l;
}

TDateTime BuildDate() {
  return DosDateToDateTime(DosDateOfCompilerDate(__DATE__));
}

// The screen's pixels per inch (what the form's layout is scaled by).
int ScreenPixelsPerInch() {
  HDC dc = GetDC(nullptr);
  const int ppi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return ppi;
}

double DaysSinceBuild() { return std::floor(Platform().Now()) - BuildDate(); }

// The texts break lines with a lone CR; a label breaks them at CR LF.
std::string LabelLines(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) out += '\n';
  }
  return out;
}

}  // namespace

std::string ProgramFolderPath() {
  wchar_t path[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  return ExtractFilePath(WideToUtf8(path));
}

TAboutBox::TAboutBox(TComponent* owner, HWND ownerWindow) : TForm(owner, bsDialog, ownerWindow) {
  SetCaption("About");
  HelpContext = 4;
  Position = poScreenCenter;
  SetClientSize(kWidth, kHeight);
  ProgramFolder = ProgramFolderPath();
  VersionNumber = VersionNumberOf(LoadResString(sVersionText));
  // The program's settings, sounds and browser, through the main window that opened the box.
  MessageDlg = [](const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int help) {
    return SoundMessageDlg(text, type, buttons, ViewerHost().MessageSounds, help);
  };
  PlayInvalidSound = [] {
    if (ViewerHost().PlayEventSound) ViewerHost().PlayEventSound(2);
  };
  OpenDocument = [this](const std::string& document) {
    if (ViewerHost().OpenShellDocument) return ViewerHost().OpenShellDocument(document);
    std::string error;
    if (!ShellOpen(document, error))
      MessageBoxW(Handle(), Utf8ToWide(error + "\r\n" + document).c_str(), L"error", MB_OK);
  };

  for (int i = 0; i < 3; ++i) {
    pages_[i] = new TPanel(this, this, 0, 0, kWidth, kHeight);
    pages_[i]->BevelOuter = bvNone;
  }
  // Page 0: the title page.
  TPanel* p0 = pages_[0];
  auto* topFrame = new TPanel(this, p0, 8, 8, kWidth - 16, 96);
  topFrame->BevelOuter = bvLowered;
  ProgName = MakeLabel(this, topFrame, 4, 6, kWidth - 24, 24, LoadResString(sProgramName), taCenter);
  ProgName->Font().SetSize(14);
  ProgName->Font().SetStyle(fsBold);
  ProgVsn = MakeLabel(this, topFrame, 4, 32, kWidth - 24, 16, LoadResString(sVersionText), taCenter);
  Compiled = MakeLabel(this, topFrame, 4, 50, kWidth - 24, 16,
                       "[" + BuildDateText(BuildDate()) + "]", taCenter);
  Copyrt = MakeLabel(this, topFrame, 4, 70, kWidth - 24, 16,
                     "Copyright " + LoadResString(sMakerName), taCenter);
  // The logo in its frame: in 256 colours where the screen shows them, else in 16.
  const bool paletteScreen = Platform().ScreenColorBits() >= 8;
  Logo.LoadFromResourceName(paletteScreen ? "ORVEX_260X130X256" : "ORVEX_260X130");
  auto* pictureFrame = new TPanel(this, p0, (kWidth - 268) / 2, 108, 268, 138);
  pictureFrame->BevelOuter = bvLowered;
  ProgramLogo = new TLogoBox(this, pictureFrame, 4, 4, Logo);
  // The notebook page only where its colours and its size in pixels come out as drawn.
  if (paletteScreen && ScreenPixelsPerInch() < 97) Spiral.LoadFromResourceName("SPIRAL");
  CreditsBox = new TCreditsBox(this, p0, 8, 252, kWidth - 16, 120);
  CreditsBox->Lines = &Credits;
  CreditsBox->UseSpiral(Spiral.Empty() ? nullptr : &Spiral, topFrame->Width());
  if (CreditsBox->Spiral()) {
    // The box shows eight lines of the page (plus its edge).
    RECT outer{}, inner = CreditsBox->ClientRect();
    GetWindowRect(CreditsBox->Handle(), &outer);
    CreditsBox->SetBounds(8, 252, kWidth - 16,
                          8 * Spiral.Height() + (outer.bottom - outer.top) - inner.bottom);
  }
  const int speedY = 376, speedW = 60;
  const int speedX = (kWidth - 3 * speedW - 8) / 2;
  MinusButton = new TButton(this, p0, "Slower", speedX, speedY, speedW, 22);
  MinusButton->Hint = "Slower";
  PauseButton = new TButton(this, p0, "Pause", speedX + speedW + 4, speedY, speedW, 22);
  PlusButton = new TButton(this, p0, "Faster", speedX + 2 * (speedW + 4), speedY, speedW, 22);
  const int rowW = 136, rowH = 26, rowX = (kWidth - 3 * rowW - 16) / 2;
  btnRead = new TButton(this, p0, "Read &Me", rowX, 410, rowW, rowH);
  btnWeb = new TButton(this, p0, "&Web site", rowX + rowW + 8, 410, rowW, rowH);
  btnNewVersion = new TButton(this, p0, "&New version?", rowX + 2 * (rowW + 8), 410, rowW, rowH);
  btnInfo = new TButton(this, p0, "System &Info", rowX, 442, rowW, rowH);
  btnGuide = new TButton(this, p0, "User's &Guide", rowX + rowW + 8, 442, rowW, rowH);
  btnOk = new TButton(this, p0, "&Close", rowX + 2 * (rowW + 8), 442, rowW, rowH);
  btnOk->ModalResult = mrOk;
  // On palette screens the form's palette is the logo's.
  if (paletteScreen) HandlePaletteMessages(*this, [this] { return Logo.Palette(); });
  MinusButton->OnClick = [this](TComponent*) { MinusButtonClick(); };
  PauseButton->OnClick = [this](TComponent*) { PauseButtonClick(); };
  PlusButton->OnClick = [this](TComponent*) { PlusButtonClick(); };
  btnRead->OnClick = [this](TComponent*) { btnReadClick(); };
  btnWeb->OnClick = [this](TComponent*) { btnWebClick(); };
  btnNewVersion->OnClick = [this](TComponent*) { btnNewVersionClick(); };
  btnInfo->OnClick = [this](TComponent*) { btnInfoClick(); };
  btnGuide->OnClick = [this](TComponent*) { btnGuideClick(); };

  // Page 1: system information.
  TPanel* p1 = pages_[1];
  const char* captions[] = {"Windows:",      "Program Created:", "Installed To:",    "Windows Video:",
                            "Memory used:", "Memory available:", "Memory total:"};
  TLabel** values[] = {&info_v,      &info_written, &info_to,   &info_windows,
                       &info_memory, &info_avail,   &info_total};
  int y = 16;
  for (int i = 0; i < 7; ++i) {
    const int h = i < 2 ? 34 : 18;
    MakeLabel(this, p1, 12, y, 120, 18, captions[i], taRightJustify);
    *values[i] = MakeLabel(this, p1, 140, y, kWidth - 152, h, "");
    (*values[i])->WordWrap = i < 2;  // the version and the build age take two lines
    y += h + 8;
  }
  btnInfoDone = new TButton(this, p1, "&Ok", (kWidth - 100) / 2, kHeight - 40, 100, 28);
  btnInfoDone->OnClick = [this](TComponent*) { btnInfoDoneClick(); };

  // Page 2: the user's guide.
  TPanel* p2 = pages_[2];
  memoGuide = new TRichView(this, p2, 8, 8, kWidth - 16, 120, false);
  lblView = MakeLabel(this, p2, 12, 138, 280, 18, "");
  btnV = new TButton(this, p2, "View Guide", kWidth - 120, 134, 108, 26);
  lblUpdate = MakeLabel(this, p2, 12, 172, 280, 18, "");
  btnUpdate = new TButton(this, p2, "Update", kWidth - 120, 168, 108, 26);
  guide_bevel3 = new TPanel(this, p2, 8, 204, kWidth - 16, 76);
  guide_bevel3->BevelOuter = bvLowered;
  lblStatusFile = MakeLabel(this, guide_bevel3, 8, 6, kWidth - 40, 16, "");
  Progress1 = new TProgress(this, guide_bevel3, 8, 24, kWidth - 36, 16);
  Progress1->SetSegmentColor(0xFFFF00);  // aqua
  Progress2 = new TProgress(this, guide_bevel3, 8, 46, kWidth - 36, 16);
  Progress2->SetSegmentColor(0xFF00FF);  // fuchsia
  lblStatusUpdate = MakeLabel(this, p2, 12, 284, 280, 16, "");
  btnUclose = new TButton(this, p2, "Ok", (kWidth - 100) / 2, kHeight - 34, 100, 28);
  btnV->OnClick = [this](TComponent*) { btnVClick(); };
  btnUpdate->OnClick = [this](TComponent*) { btnUpdateClick(); };
  btnUclose->OnClick = [this](TComponent*) { btnUcloseClick(); };

  // The texts; a missing or broken one leaves its place empty rather than the box unusable.
  try {
    LoadCompressedStrings(Credits, "STRZ_1", "STRZ");
  } catch (const std::exception&) {
  }
  try {
    LoadCompressedStrings(BaseAddresses, "STRZ_2", "STRZ");
  } catch (const std::exception&) {
  }
  try {
    LoadCompressedResource(*memoGuide, "RTFZ_2", "RTFZ");
  } catch (const std::exception&) {
  }
  Guide.LocalGuideName = "t32guide.htm";
  Guide.ProgramFolder = ProgramFolder;
  Guide.Fetch = HttpFetch();
  Guide.Sleep = [](int ms) { ::Sleep(static_cast<DWORD>(ms)); };
  Guide.OnUpdate = [this](TGuide2&, uint8_t state) { GuideUpdate(state); };
  guide_bevel3->SetVisible(false);
  lblStatusFile->SetCaption("");
  lblStatusUpdate->SetCaption("");

  ScrollTimer = new TTimer(this);
  ScrollTimer->SetEnabled(false);
  ScrollTimer->SetInterval(static_cast<UINT>(speed_.Interval));
  ScrollTimer->OnTimer = [this](TComponent*) { ScrollTimerTick(); };
  OnCloseQuery = [this](TComponent*, bool& canClose) {
    canClose = page_ == 0;
    if (!canClose) SetPageIndex(0);
  };
  SetPageIndex(0);
  FinishCreate();
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::DoClose(TCloseAction& action) {
  if (ScrollTimer) ScrollTimer->SetEnabled(false);
  TForm::DoClose(action);
}

int TAboutBox::Ask(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int help) {
  return MessageDlg ? MessageDlg(text, type, buttons, help) : mrOk;
}

void TAboutBox::SetPageIndex(int page) {
  page_ = page;
  for (int i = 0; i < 3; ++i) pages_[i]->SetVisible(i == page);
  // The credits run only on the title page.
  ScrollTimer->SetEnabled(page == 0);
  switch (page) {
    case 0:
      SetCaption("About");
      if (btnOk->Handle()) btnOk->SetFocus();
      break;
    case 1:
      SetCaption("System Info");
      FillInformation();
      btnInfoDone->SetFocus();
      break;
    case 2:
      SetCaption("About the User's Guide");
      ShowGuidePage();
      break;
  }
}

void TAboutBox::btnInfoClick() {
  if (page_ == 0) SetPageIndex(1);
}
void TAboutBox::btnInfoDoneClick() {
  if (page_ == 1) SetPageIndex(0);
}
void TAboutBox::btnGuideClick() { SetPageIndex(2); }
void TAboutBox::btnUcloseClick() {
  if (page_ == 2) SetPageIndex(0);
}

void TAboutBox::btnReadClick() {
  if (page_ == 0) ShowReadMe(this, Handle());
}

void TAboutBox::btnWebClick() {
  if (Ask("Connect to the Halvorn Softworks web site?", mtConfirmation,
          MsgDlgButtons({mbOK, mbCancel, mbHelp}), 28) != mrOk)
    return;
  Application.ProcessMessages();
  if (OpenDocument) OpenDocument(LoadResString(sHomePage));
}

void TAboutBox::PauseButtonClick() {
  if (page_ != 0) return;
  scrollStep_ = scrollStep_ == 1 ? 0 : 1;
  PauseButton->SetCaption(scrollStep_ == 1 ? "Pause" : "Resume");
}

void TAboutBox::MinusButtonClick() {
  speed_.Slower();
  ScrollTimer->SetInterval(static_cast<UINT>(speed_.Interval));
  MinusButton->SetEnabled(speed_.MinusEnabled);
  PlusButton->SetEnabled(speed_.PlusEnabled);
}

void TAboutBox::PlusButtonClick() {
  speed_.Faster();
  ScrollTimer->SetInterval(static_cast<UINT>(speed_.Interval));
  MinusButton->SetEnabled(speed_.MinusEnabled);
  PlusButton->SetEnabled(speed_.PlusEnabled);
}

void TAboutBox::ScrollTimerTick() {
  CreditsBox->Position = NextCreditsPosition(CreditsBox->Range(), CreditsBox->ClientHeight(),
                                             CreditsBox->Position, scrollStep_);
  CreditsBox->Invalidate();
}

void TAboutBox::FillInformation() {
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&v);
#pragma GCC diagnostic pop
  info_v->SetCaption(LabelLines(Format("Version %d.%d %s build %s\r%s",
                            {static_cast<int>(v.dwMajorVersion), static_cast<int>(v.dwMinorVersion),
                             WindowsVersionText(), WindowsBuildText(),
                             WideToUtf8(v.szCSDVersion)})));
  const double days = DaysSinceBuild();
  info_written->SetCaption(LabelLines(BuildDateText(BuildDate()) + BuildAgeText(days)));
  info_written->Font().SetColor(days >= kOldBuildDays ? clRed : clBlack);
  info_written->Font().SetStyle(days >= kOldBuildDays ? fsBold : 0);
  info_to->SetCaption(RemoveBackslash(ProgramFolder));
  int w = 0, h = 0;
  Platform().ScreenSize(w, h);
  const int bits = Platform().ScreenColorBits();
  const uint16_t code = static_cast<uint16_t>(bits <= 8 ? (1 << bits) : 256 + bits);
  info_windows->SetCaption(Format("%d wide, %d high, %s colors", {w, h, ColorCountText(code)}));
  // What the process heap holds: its busy blocks and their bytes.
  double blocks = 0, bytes = 0;
  HANDLE heap = GetProcessHeap();
  if (HeapLock(heap)) {
    PROCESS_HEAP_ENTRY e{};
    while (HeapWalk(heap, &e))
      if (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
        blocks += 1;
        bytes += e.cbData;
      }
    HeapUnlock(heap);
  }
  info_memory->SetCaption(Format("%.0n blocks; %.0n bytes", {blocks, bytes}));
  MEMORYSTATUSEX m{};
  m.dwLength = sizeof m;
  GlobalMemoryStatusEx(&m);
  info_avail->SetCaption(Format("%s (%.0n)", {SizeText(static_cast<int64_t>(m.ullAvailPhys)),
                                             static_cast<double>(m.ullAvailPhys)}));
  info_total->SetCaption(Format("%s (%.0n)", {SizeText(static_cast<int64_t>(m.ullTotalPhys)),
                                             static_cast<double>(m.ullTotalPhys)}));
}

TGuide2::tFetch TAboutBox::HttpFetch() {
  return [this](const std::string& url, TStream& target,
                const std::function<void(int64_t, int64_t)>& progress) -> int64_t {
    THttpCli http(this);
    http.NoCache = true;
    http.URL = url;
    http.ReceiveStream = &target;
    http.OnDocData = [&progress](THttpCli* sender, const uint8_t*, int) {
      progress(sender->ContentLength(), sender->RcvdCount());
    };
    http.Get();
    return http.RcvdCount();
  };
}

void TAboutBox::btnNewVersionClick() {
  if (Ask("Check the Halvorn Softworks web site for a new version?", mtConfirmation,
          MsgDlgButtons({mbOK, mbCancel, mbHelp}), 29) != mrOk)
    return;
  tVersionDocument doc;
  {
    // The credits stop and the hourglass shows while the check runs, whatever happens.
    struct tRestore {
      TTimer* timer;
      ~tRestore() { timer->SetEnabled(true); }
    } restore{ScrollTimer};
    ScrollTimer->SetEnabled(false);
    THourGlass hourglass;
    Application.ProcessMessages();
    VersionText.clear();
    VersionNumberW = 0;
    Cost = 0;
    std::string body;
    doc = CheckPublishedVersion(
        BaseAddresses,
        [this](const std::string& url) {
          THttpCli http(this);
          http.NoCache = true;
          http.URL = url;
          TMemoryStream stream;
          http.ReceiveStream = &stream;
          http.Get();
          return std::string(stream.Data().begin(), stream.Data().end());
        },
        [this] {
          if (PlayInvalidSound) PlayInvalidSound();
        },
        body);
    if (doc.Valid) {
      VersionText = doc.VersionText;
      VersionNumberW = doc.VersionNumberW;
      Cost = doc.Cost;
      SaveTextFile(body, JoinPath(ProgramFolder, "Version.Htm"));
    }
  }
  const tVersionMessage m = VersionCheckMessage(doc, VersionNumber);
  Ask(m.Text, m.Kind == 0 ? mtError : mtInformation, MsgDlgButtons({mbOK, mbHelp}),
      m.HelpContext);
}

void TAboutBox::ShowGuidePage() {
  const tGuidePage page = GuidePageTexts(Guide.LocalGuidePath(), Guide.LocalGuideDate(), Guide.Vsn());
  btnV->SetEnabled(page.ViewEnabled);
  lblView->SetCaption(page.View);
  lblUpdate->SetCaption(page.Update);
}

void TAboutBox::btnVClick() {
  if (!Guide.LocalGuidePath().empty() && OpenDocument) OpenDocument(Guide.LocalGuidePath());
}

void TAboutBox::btnUpdateClick() {
  btnUpdate->SetEnabled(false);
  lblUpdate->SetCaption("Checking...");
  struct tRestore {
    TButton* button;
    ~tRestore() { button->SetEnabled(true); }
  } restore{btnUpdate};
  THourGlass hourglass;
  Application.ProcessMessages();
  int n = 0;
  for (const std::string& base : BaseAddresses) {
    Guide.IndexURL = base + "t51g.htm";
    try {
      n = Guide.GetIndex();
    } catch (const std::exception&) {
      n = 0;  // no index from this address: the next one is asked
    }
    if (n >= 1) break;
  }
  if (n < 1) {
    lblUpdate->SetCaption("Retrieve failed, try again");
    return;
  }
  if (Guide.CountFilesToGet() > 0) {
    lblUpdate->SetCaption("Updating...");
    try {
      Guide.UpdateGuide();
    } catch (const std::exception& e) {
      ShowGuidePage();
      Ask(e.what(), mtError, MsgDlgButtons({mbOK}), 0);
      return;
    }
  }
  ShowGuidePage();
}

void TAboutBox::GuideUpdate(uint8_t state) {
  ApplyGuideState(GuideProgress, Guide, state);
  const tGuideProgress& p = GuideProgress;
  guide_bevel3->SetVisible(p.Visible);
  Progress1->SetVisible(p.Visible);
  Progress2->SetVisible(p.SecondVisible);
  Progress1->SetPercent(p.Percent1);
  Progress2->SetPercent(p.Percent2);
  lblStatusFile->SetCaption(p.StatusFile);
  lblStatusUpdate->SetCaption(p.StatusUpdate);
  if (p.Pause) ::Sleep(250);
}

void ShowAboutBox(TComponent* owner, HWND ownerWindow) {
  std::unique_ptr<TAboutBox> box(new TAboutBox(owner, ownerWindow));
  box->ShowModal();
}
