#include "thumbnails/SlideShowWindow.h"

#include <algorithm>

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uMessages.h"
#include "framework/Application.h"
#include "framework/Text.h"

namespace {
enum : UINT { cmVolume = 1, cmInformation, cmSkipMusic, cmPause, cmExit, cmCloseMenu };

bool IsStepBackKey(WORD key) {
  return key == VK_PRIOR || key == VK_LEFT || key == VK_UP || key == VK_SUBTRACT ||
         key == VK_OEM_MINUS;
}
// Letters that act when released.
bool IsCommandLetter(WORD key) {
  return key == 'R' || key == 'P' || key == 'V' || key == 'I' || key == 'S' || key == 'C';
}
bool IsModifier(WORD key) {
  return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_LWIN ||
         key == VK_RWIN || key == VK_CAPITAL || key == VK_NUMLOCK;
}
}  // namespace

TSlideShowWindow::TSlideShowWindow(TComponent* owner, HWND ownerWindow,
                                   std::vector<std::string> list, bool ownerIsMainWindow,
                                   uint16_t delay, const std::string& wallpaper, uint32_t color,
                                   bool originalSize, tSlideShowHost host)
    : TShowForm(owner), ownerWindow_(ownerWindow), host_(std::move(host)) {
  SetCaption("Slide show");
  HelpContext = 25;
  KeyPreview = true;
  if (ownerIsMainWindow) ExpandFolderList(list);
  manual_ = delay == 0;
  Delay = delay;
  BackColor = color;
  TickInterval = 100;
  IgnorePartialImages = !manual_;
  Layout.Init(Layout.ScreenWidth, Layout.ScreenHeight, 1, originalSize,
              host_.SlidePosition ? *host_.SlidePosition : kPlaceCentre, 4, 3);
  Layout.CycleCorners = false;
  Sequence.EndAtFirstWrap = true;
  Sequence.Manual = manual_;
  delayText_ = manual_ ? std::string("manual slide show") : Format("delay %d seconds", {delay});

  const int sw = Layout.ScreenWidth, sh = Layout.ScreenHeight;
  VolPanel = new TPanel(this, this, 8, sh - 108, 200, 96);
  auto* waveLabel = new TLabel(this, VolPanel, 10, 12, 40, 16);
  waveLabel->SetCaption("wave");
  waveVol = new TSlider(this, VolPanel, 52, 8, 136, 24);
  auto* midiLabel = new TLabel(this, VolPanel, 10, 48, 40, 16);
  midiLabel->SetCaption("midi");
  midiVol = new TSlider(this, VolPanel, 52, 44, 136, 24);
  WORD volume = 0;
  waveVol->SetPosition(GetOutputVolume(false, volume) ? volume * 100 / 65535 : 0);
  midiVol->SetPosition(GetOutputVolume(true, volume) ? volume * 100 / 65535 : 0);
  waveVol->OnChange = [this](TComponent*) {
    SetOutputVolume(false, static_cast<WORD>(waveVol->Position() * 65535 / 100));
  };
  midiVol->OnChange = [this](TComponent*) {
    SetOutputVolume(true, static_cast<WORD>(midiVol->Position() * 65535 / 100));
  };
  VolPanel->SetVisible(false);

  IdPanel = new TPanel(this, this, sw - 428, sh - 108, 420, 96);
  for (int i = 0; i < 4; ++i) IdLabels[i] = new TLabel(this, IdPanel, 8, 6 + 22 * i, 404, 18);
  IdLabels[0]->SetCaption(delayText_);
  IdLabels[1]->SetCaption("(no picture)");
  IdLabels[3]->SetCaption("(no sound or music)");
  IdPanel->SetVisible(false);

  PausedPanel = new TPanel(this, this, (sw - 200) / 2, 8, 200, 70);
  auto* pausedLabel = new TLabel(this, PausedPanel, 10, 8, 180, 18);
  pausedLabel->SetCaption(" Paused...");
  pausedLabel->Alignment = taCenter;
  auto* resume = new TButton(this, PausedPanel, "&Resume", 60, 34, 80, 26);
  resume->OnClick = [this](TComponent*) { SetPaused(false); };
  PausedPanel->SetVisible(false);

  OnMessage(WM_DEFERRED_START, [this](WPARAM, LPARAM) -> LRESULT {
    if (!Closing) Sequence.ShowNextPicture();
    return 0;
  });
  OnMessage(WM_CLOSE_REQUEST, [this](WPARAM, LPARAM) -> LRESULT {
    if (!Closing) Close();
    return 0;
  });

  CoverScreen(true);
  LoadWallpaper(wallpaper);
  FindResetMidi();
  HideCursor();
  FinishCreate();
  Show();
  Sequence.Start(std::move(list), false);
  if (!manual_) Post(WM_DEFERRED_START);
}

TSlideShowWindow::~TSlideShowWindow() {
  ReleaseShow();
  ShowTheCursor();
}

bool TSlideShowWindow::Paused() const { return PausedPanel && PausedPanel->Visible(); }

void TSlideShowWindow::SetPaused(bool paused) {
  PausedPanel->SetVisible(paused);
  if (paused) ShowTheCursor();
}

bool TSlideShowWindow::OpenPicture(const std::string& name) {
  skip_ = false;
  loading_ = true;
  const bool opened = TShowForm::OpenPicture(name);
  if (!opened) loading_ = false;
  return opened;
}

bool TSlideShowWindow::PlayMusic(const std::string& name) {
  const bool playing = TShowForm::PlayMusic(name);
  IdLabels[3]->SetCaption(playing ? Format("playing %s", {ExtractFileName(name)})
                                  : std::string("(no sound or music)"));
  return playing;
}

void TSlideShowWindow::PictureShown() {
  const auto count = static_cast<int64_t>(Sequence.Pictures.size());
  std::string place = Format("%d of %d", {int64_t(Sequence.OpeningIndex) + 1, count});
  if (Decoder) place += "  " + ExtractFileName(Decoder->FileName);
  IdLabels[0]->SetCaption(delayText_);
  IdLabels[1]->SetCaption(place);
  IdLabels[2]->SetCaption(Decoder ? Decoder->InfoHeadline() : std::string());
  // Panels lie above the picture: draw them again over it.
  if (IdPanel->Visible()) IdPanel->Repaint();
  if (VolPanel->Visible()) VolPanel->Repaint();
  if (PausedPanel->Visible()) PausedPanel->Repaint();
}

void TSlideShowWindow::PictureDone() {
  if (manual_) {
    loading_ = false;
    return;
  }
  TShowForm::PictureDone();
}

void TSlideShowWindow::PictureTimerTick() {
  if (Paused()) return;
  if (Abort) {
    PictureTimer->SetEnabled(false);
    Post(WM_CLOSE_REQUEST);
    return;
  }
  if (skip_ || ShowClock() >= Deadline) {
    PictureTimer->SetEnabled(false);
    loading_ = skip_ = false;
    Post(WM_DEFERRED_START);
  }
}

bool TSlideShowWindow::HoldEnds() {
  return Abort || skip_ || (ShowClock() >= Deadline && !Paused());
}

void TSlideShowWindow::Step(int direction) {
  if (Sequence.StepManual(direction)) return;
  if (host_.LastSlideSound && host_.PlayEndOfSlidesSound) host_.PlayEndOfSlidesSound();
}

void TSlideShowWindow::KeyPressed(WORD key) {
  if (Closing || IsCommandLetter(key) || IsModifier(key)) return;
  if (key == VK_APPS) {
    POINT centre{ClientWidth() / 2, ClientHeight() / 2};
    PopupMenu(ClientToScreen(centre));
    return;
  }
  if (loading_) {
    if (key == VK_ESCAPE)
      SetStop();
    else
      skip_ = true;
    return;
  }
  if (Sequence.PictureIndex == tShowSequence::kEndIndex || !manual_) {
    // Nothing is showing or advancing by itself: Escape closes at once.
    if (key == VK_ESCAPE && (Sequence.PictureIndex == tShowSequence::kEndIndex || Idle()))
      Post(WM_CLOSE_REQUEST);
    return;
  }
  if (Paused()) return;
  if (key == 'Z') {
    if (host_.ShowMagnifier && Picture() && !Picture()->Empty())
      host_.ShowMagnifier(*Picture(), host_.ZoomPercent);
  } else if (key == VK_ESCAPE) {
    Post(WM_CLOSE_REQUEST);
  } else {
    Step(IsStepBackKey(key) ? -1 : +1);
  }
}

void TSlideShowWindow::KeyReleased(WORD key) {
  if (Closing) return;
  switch (key) {
    case 'P':
      SetPaused(!Paused());
      break;
    case 'V':
      VolPanel->SetVisible(!VolPanel->Visible());
      break;
    case 'I':
      IdPanel->SetVisible(!IdPanel->Visible());
      break;
    case 'S':
      if (Music.IsOpen()) {
        Music.Close();
        Sequence.MusicFinished(false);
      }
      break;
    case 'C':
      CyclePosition();
      break;
  }
}

void TSlideShowWindow::CyclePosition() { SetPosition(NextCornerPosition(Layout.CornerPosition)); }

void TSlideShowWindow::SetPosition(int32_t position) {
  Layout.CornerPosition = position;
  if (host_.SlidePosition) *host_.SlidePosition = position;
  PlaceAgain();
}

void TSlideShowWindow::DropAt(int x, int y) {
  int32_t position = 0;
  if (DropCellPosition(x, y, ClientWidth(), ClientHeight(), position)) SetPosition(position);
}

void TSlideShowWindow::KeyDown(WORD& key, TShiftState shift) {
  TShowForm::KeyDown(key, shift);
  KeyPressed(key);
  key = 0;
}

void TSlideShowWindow::KeyUp(WORD& key, TShiftState shift) {
  TShowForm::KeyUp(key, shift);
  KeyReleased(key);
  key = 0;
}

void TSlideShowWindow::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TShowForm::MouseDown(button, shift, x, y);
  if (button == mbRight) {
    PopupMenu(ClientToScreen(POINT{x, y}));
    return;
  }
  const TRect& r = Layout.PictureRect;
  if (button == mbLeft && Picture() && x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) {
    dragging_ = true;
    SetMouseCapture(true);
  }
}

void TSlideShowWindow::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TShowForm::MouseUp(button, shift, x, y);
  if (!dragging_ || button != mbLeft) return;
  dragging_ = false;
  SetMouseCapture(false);
  DropAt(x, y);
}

void TSlideShowWindow::PopupMenu(POINT at) {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING | (VolPanel->Visible() ? MF_CHECKED : 0), cmVolume, L"Volume Control");
  AppendMenuW(menu, MF_STRING | (IdPanel->Visible() ? MF_CHECKED : 0), cmInformation, L"Information");
  AppendMenuW(menu, MF_STRING | (Music.IsOpen() ? 0 : MF_GRAYED), cmSkipMusic, L"Skip music or sound");
  AppendMenuW(menu, MF_STRING | (Paused() ? MF_CHECKED : 0), cmPause, L"Pause");
  AppendMenuW(menu, MF_STRING, cmExit, L"Exit slide show");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, cmCloseMenu, L"Close menu");
  ShowTheCursor();
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr));
  DestroyMenu(menu);
  if (!Paused()) HideCursor();
  switch (command) {
    case cmVolume: KeyReleased('V'); break;
    case cmInformation: KeyReleased('I'); break;
    case cmSkipMusic: KeyReleased('S'); break;
    case cmPause: KeyReleased('P'); break;
    case cmExit: Post(WM_CLOSE_REQUEST); break;
  }
}

void TSlideShowWindow::DoClose(TCloseAction& action) {
  TShowForm::DoClose(action);
  Closing = true;
  ReleaseShow();
  ShowTheCursor();
  if (ownerWindow_ && IsWindow(ownerWindow_)) PostMessageW(ownerWindow_, WM_REFRESHLIST, 0, 0);
  action = caFree;
}

LRESULT TSlideShowWindow::WndProc(UINT message, WPARAM w, LPARAM l) {
  return TShowForm::WndProc(message, w, l);
}

TSlideShowWindow* StartSlideShow(TComponent* owner, HWND ownerWindow,
                                 const std::vector<std::string>& list, bool ownerIsMainWindow,
                                 uint16_t delay, const std::string& wallpaper, uint32_t color,
                                 bool originalSize, const tSlideShowHost& host) {
  return new TSlideShowWindow(owner, ownerWindow, list, ownerIsMainWindow, delay, wallpaper, color,
                              originalSize, host);
}
