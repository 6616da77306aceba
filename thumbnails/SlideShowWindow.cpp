#include "thumbnails/SlideShowWindow.h"

#include <algorithm>

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uMessages.h"
#include "framework/Application.h"
#include "framework/Canvas.h"
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
// A volume (both channels in one word each) as a place on a 0..100 slider, and back.
int VolumeToPercent(uint32_t volume) {
  return static_cast<int>(((volume & 0xFFFF) + (volume >> 16)) * 100 / (2 * 65535));
}
uint32_t PercentToVolume(int percent) {
  const uint32_t one = static_cast<uint32_t>(std::clamp(percent, 0, 100)) * 65535 / 100;
  return one | (one << 16);
}
}  // namespace

TVolumeLevelBox::TVolumeLevelBox(TComponent* owner, TWindow* parent, int x, int y, int width,
                                 int height, TMciPlayer& player)
    : TPaintedWindow(owner), player_(player) {
  Create("", WS_CHILD | WS_VISIBLE, x, y, width, height, parent->Handle(), WS_EX_STATICEDGE);
  Refresh();
}

void TVolumeLevelBox::Refresh() {
  for (int midi = 0; midi < 2; ++midi) {
    uint32_t volume = 0;
    levels_[midi] = player_.OutputVolume(midi != 0, volume) ? VolumeToPercent(volume) : -1;
  }
  if (HandleAllocated()) Invalidate();
}

void TVolumeLevelBox::Paint(TCanvas& c) {
  const RECT r = ClientRect();
  c.Brush.SetColor(clBtnFace);
  c.FillRect(r);
  const int textHeight = c.TextHeight("100%");
  const int barWidth = std::max<int>(4, (r.right - 12) / 2);
  const char* names[2] = {"W", "M"};
  for (int k = 0; k < 2; ++k) {
    const int left = 4 + k * (barWidth + 4);
    const RECT track{left, 2 + textHeight, left + barWidth, r.bottom - textHeight - 2};
    c.Brush.SetColor(clBlack);
    c.FillRect(track);
    const int level = levels_[k];
    if (level < 0) {
      HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(128, 128, 128));
      ::FillRect(c.Handle(), &track, hatch);
      DeleteObject(hatch);
    } else {
      const int height = (track.bottom - track.top) * level / 100;
      c.Brush.SetColor(level > 85 ? clRed : TColor(0x00C000));
      c.FillRect(RECT{track.left, track.bottom - height, track.right, track.bottom});
    }
    c.Brush.SetStyle(bsClear);
    SetBkMode(c.Handle(), TRANSPARENT);
    const std::string value = level < 0 ? std::string("-") : Format("%d%%", {level});
    c.TextOut(left + (barWidth - c.TextWidth(names[k])) / 2, 1, names[k]);
    c.TextOut(left + (barWidth - c.TextWidth(value)) / 2, r.bottom - textHeight - 1, value);
    c.Brush.SetStyle(bsSolid);
  }
}

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
  VolPanel = new TPanel(this, this, 8, sh - 108, 264, 96);
  auto* waveLabel = new TLabel(this, VolPanel, 10, 12, 40, 16);
  waveLabel->SetCaption("wave");
  waveVol = new TSlider(this, VolPanel, 52, 8, 136, 24);
  auto* midiLabel = new TLabel(this, VolPanel, 10, 48, 40, 16);
  midiLabel->SetCaption("midi");
  midiVol = new TSlider(this, VolPanel, 52, 44, 136, 24);
  VolPB = new TVolumeLevelBox(this, VolPanel, 196, 6, 60, 84, *Music);
  waveVol->SetPosition(std::max(0, VolPB->Level(false)));
  midiVol->SetPosition(std::max(0, VolPB->Level(true)));
  // The sliders set the outputs' volumes where that can be done; the box shows what came of it.
  waveVol->OnChange = [this](TComponent*) {
    Music->SetOutputVolume(false, PercentToVolume(waveVol->Position()));
    VolPB->Refresh();
  };
  midiVol->OnChange = [this](TComponent*) {
    Music->SetOutputVolume(true, PercentToVolume(midiVol->Position()));
    VolPB->Refresh();
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
      host_.ShowMagnifier(this, *Picture(), host_.ZoomPercent);
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
      VolPB->Refresh();
      VolPanel->SetVisible(!VolPanel->Visible());
      break;
    case 'I':
      IdPanel->SetVisible(!IdPanel->Visible());
      break;
    case 'S':
      if (Music->IsOpen()) {
        Music->Close();
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
  AppendMenuW(menu, MF_STRING | (Music->IsOpen() ? 0 : MF_GRAYED), cmSkipMusic, L"Skip music or sound");
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
