#include "viewers/media/VideoWindow.h"

#include <algorithm>

#include "foundation/SoundMessageDialog.h"
#include "foundation/cFileCtlDriveCombo.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "framework/Canvas.h"
#include "viewers/media/uMediaWin.h"

// A check box, or a push button that stays down (BS_PUSHLIKE).
class TCheckButton : public TWindow {
 public:
  TCheckButton(TComponent* owner, TWindow* parent, const std::string& caption, bool pushLike,
               int x, int y, int width, int height)
      : TWindow(owner) {
    CreateControl(parent, L"BUTTON",
                  WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | (pushLike ? BS_PUSHLIKE : 0), 0, x,
                  y, width, height, caption);
  }
  bool Checked() const { return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetChecked(bool checked) {
    Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
  }
};

// The music page's 16 channel rows: a level meter and the channel's instrument text.
class TChannelDisplay : public TPaintedWindow {
 public:
  TChannelDisplay(TVideoWindow* window, TWindow* parent, int x, int y, int width, int height)
      : TPaintedWindow(window), window_(window) {
    Font() = parent->Font();
    Create("", WS_CHILD | WS_VISIBLE, x, y, width, height, parent->Handle());
  }
  static constexpr int kRow = 14;
  void InvalidateRow(int channel) {
    RECT r = {0, channel * kRow, ClientWidth(), (channel + 1) * kRow};
    InvalidateRect(Handle(), &r, FALSE);
  }

 protected:
  void Paint(TCanvas& canvas) override {
    RECT all = ClientRect();
    canvas.Brush.SetColor(clBtnFace);
    canvas.FillRect(all);
    for (int c = 0; c < 16; c++) {
      const int y = c * kRow;
      // The meter: 8 segments 3 pixels wide in a 24 x 11 box, lit up to the level.
      const int level = std::min(window_->ChannelLevel(c), 8);
      for (int s = 0; s < 8; s++) {
        const bool lit = s < level;
        TColor colour = !lit ? TColor(0x404040) : s < 5 ? TColor(0x00C000) : s < 7 ? TColor(0x00C0C0) : clRed;
        canvas.Brush.SetColor(colour);
        canvas.FillRect({s * 3, y + 1, s * 3 + 2, y + 12});
      }
      const bool fresh = window_->ChannelFresh(c);
      canvas.Font = Font();
      canvas.Font.SetColor(fresh ? clRed : clBlack);
      canvas.Font.SetStyle(fresh ? unsigned(fsBold) : 0u);
      canvas.Brush.SetStyle(bsClear);
      const std::vector<std::string>& lines = window_->ChannelLines();
      if (c < static_cast<int>(lines.size())) canvas.TextOut(28, y, lines[static_cast<size_t>(c)]);
      canvas.Brush.SetStyle(bsSolid);
    }
  }

 private:
  TVideoWindow* window_;
};

// Two columns of texts with grid lines: the "mp3" page's facts.
class TInfoGrid : public TPaintedWindow {
 public:
  TInfoGrid(TVideoWindow* window, TWindow* parent, int x, int y, int width, int height)
      : TPaintedWindow(window), window_(window) {
    Font() = parent->Font();
    Create("", WS_CHILD | WS_VISIBLE, x, y, width, height, parent->Handle(), WS_EX_CLIENTEDGE);
  }

 protected:
  void Paint(TCanvas& canvas) override {
    RECT all = ClientRect();
    canvas.Brush.SetColor(clWindow);
    canvas.FillRect(all);
    const auto rows = window_->GridRows();
    const int n = std::max<int>(1, static_cast<int>(rows.size()));
    const int h = std::max<int>(1, all.bottom / n);
    const int split = 80;
    canvas.Font = Font();
    canvas.Pen.SetColor(clSilver);
    for (int i = 0; i < static_cast<int>(rows.size()); i++) {
      RECT left = {0, i * h, split, (i + 1) * h};
      RECT right = {split, i * h, all.right, (i + 1) * h};
      canvas.Brush.SetColor(clBtnFace);
      canvas.FillRect(left);
      canvas.Brush.SetStyle(bsClear);
      RECT t = {left.left + 3, left.top, left.right - 2, left.bottom};
      canvas.DrawText(rows[static_cast<size_t>(i)].first, t, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      t = {right.left + 4, right.top, right.right - 2, right.bottom};
      canvas.DrawText(rows[static_cast<size_t>(i)].second, t,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
      canvas.Brush.SetStyle(bsSolid);
      canvas.MoveTo(0, (i + 1) * h - 1);
      canvas.LineTo(all.right, (i + 1) * h - 1);
    }
    canvas.MoveTo(split, 0);
    canvas.LineTo(split, all.bottom);
  }

 private:
  TVideoWindow* window_;
};

namespace {

constexpr int kButtonPanelHeight = 45;
constexpr int kBottomHeight = 50;
constexpr int kVideoExtra = 19;
constexpr UINT kMenuResetSize = 101, kMenuCopy = 102;
constexpr UINT_PTR kRefreshTimer = 77;

TLabel* MakeLabel(TVideoWindow* form, TWindow* parent, int x, int y, int width,
                  const std::string& caption = "") {
  TLabel* l = new TLabel(form, parent, x, y, width, 16);
  l->SetCaption(caption);
  return l;
}

std::string LowerExt(const std::string& name) {
  std::string ext = ExtractFileExt(name);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace

TVideoWindow::TVideoWindow(TComponent* owner, HWND ownerWindow, TMediaPage page,
                           TFormBorderStyle border, const TMediaWindowSettings& settings,
                           std::unique_ptr<TMciPlayer> player)
    : TForm(owner, border, ownerWindow),
      page_(page),
      settings_(settings),
      player_(std::move(player)) {
  Position = settings_.WindowPlacement > 0 ? poScreenCenter : poDefaultPosOnly;
  session_ = std::make_unique<tMediaSession>(*player_, page_, [this] { return Now(); });

  ButtonPanel = new TPanel(this, this, 0, 0, 300, kButtonPanelHeight);
  btnLoop = new TCheckButton(this, ButtonPanel, "&Loop", true, 4, 10, 48, 25);
  QuitButton = new TButton(this, ButtonPanel, "&Close", 56, 10, 48, 25);
  AboutButton = new TButton(this, ButtonPanel, "&About", 108, 10, 48, 25);
  QuitButton->Hint = "Close this window";
  AboutButton->Hint = "About";
  MediaPlayer = new TMediaPlayerBar(this, ButtonPanel, 180, 2, 112, 40);
  MediaPlayer->Hint = "Play, Pause, Stop, Rewind";
  btnLoop->OnClick = [this](TComponent*) { session_->Loop = btnLoop->Checked(); };
  QuitButton->OnClick = [this](TComponent*) { Close(); };
  AboutButton->OnClick = [this](TComponent*) {
    if (settings_.OnAbout) settings_.OnAbout();
  };
  AboutButton->SetEnabled(static_cast<bool>(settings_.OnAbout));
  MediaPlayer->OnButtonClick = [this](TMPBtnType b) { MediaButtonClick(b); };

  BottomPanel = new TPanel(this, this, 0, 100, 300, kBottomHeight);
  VolumeSlider = new TSlider(this, BottomPanel, 2, 2, 296, 20);
  VolumeSlider->Hint = "Volume";
  VolumeSlider->OnChange = [this](TComponent*) { VolumeSliderChange(); };
  PositionSlider = new TTrackBar(this, BottomPanel, 2, 24, 296, 24);
  PositionSlider->SetRange(0, 100);
  PositionSlider->OnChange = [this](TComponent*) { PositionSliderChange(); };
  pnlBottomVid = new TPanel(this, BottomPanel, 2, 50, 296, 17);
  pnlBottomVid->BevelOuter = bvNone;
  lMOVtime = MakeLabel(this, pnlBottomVid, 4, 1, 50, "Position:");
  lMOVpos = MakeLabel(this, pnlBottomVid, 56, 1, 50);
  lMOVfrm = MakeLabel(this, pnlBottomVid, 120, 1, 50, "Length:");
  lMOVlng = MakeLabel(this, pnlBottomVid, 172, 1, 50);
  pnlBottomVid->SetVisible(page_ == pgVideo);

  Notebook = new TPanel(this, this, 0, kButtonPanelHeight, 300, 50);
  Notebook->BevelOuter = bvNone;
  for (int i = 0; i < 4; i++) {
    Pages[i] = new TPanel(this, Notebook, 0, 0, 300, 50);
    Pages[i]->BevelOuter = bvNone;
    Pages[i]->SetVisible(i == page_);
  }
  VidScreen = new TPanel(this, Pages[pgVideo], 2, 2, 281, 166);
  VidScreen->BevelOuter = bvNone;
  VidScreen->Color = clBlack;

  TWindow* sound = Pages[pgSound];
  lbl_Wave = MakeLabel(this, sound, 8, 6, 284);
  MakeLabel(this, sound, 8, 28, 40, "Time:");
  lSNDtime = MakeLabel(this, sound, 50, 28, 60);
  MakeLabel(this, sound, 130, 28, 48, "Length:");
  lSNDlng = MakeLabel(this, sound, 180, 28, 60);

  TWindow* music = Pages[pgMusic];
  MakeLabel(this, music, 8, 4, 120, "Midi Channels");
  PaintBox = new TChannelDisplay(this, music, 8, 22, 280, 16 * TChannelDisplay::kRow);
  MakeLabel(this, music, 296, 4, 120, "Midi Tracks");
  TrackBox = new TListBox(this, music, 296, 22, 229, 100);
  MakeLabel(this, music, 296, 128, 96, "Tracks:");
  l_Tracks = MakeLabel(this, music, 396, 128, 100);
  MakeLabel(this, music, 296, 146, 96, "Time signature:");
  lSignature = MakeLabel(this, music, 396, 146, 100);
  MakeLabel(this, music, 296, 164, 96, "Tempo:");
  lTempo = MakeLabel(this, music, 396, 164, 40);
  lTempos = MakeLabel(this, music, 438, 164, 60);
  lIdent = MakeLabel(this, music, 296, 182, 233);
  MakeLabel(this, music, 296, 202, 96, "Midi");
  lMPtime = MakeLabel(this, music, 396, 202, 50);
  lMPlng = MakeLabel(this, music, 454, 202, 60);
  MakeLabel(this, music, 296, 220, 96, "Driver Clock");
  lCLtime = MakeLabel(this, music, 396, 220, 50);
  lMYlng = MakeLabel(this, music, 454, 220, 60);
  chkClock = new TCheckButton(this, music, "&Clock", false, 296, 238, 80, 18);
  chkClock->OnClick = [this](TComponent*) { session_->UseWallClock = chkClock->Checked(); };

  TWindow* mp3 = Pages[pgMp3];
  StringGrid1 = new TInfoGrid(this, mp3, 4, 4, 292, 112);
  MakeLabel(this, mp3, 8, 120, 40, "Time:");
  lMP3time = MakeLabel(this, mp3, 50, 120, 60);
  MakeLabel(this, mp3, 130, 120, 48, "Length:");
  lMP3lng = MakeLabel(this, mp3, 180, 120, 60);

  Timer1 = new TTimer(this);
  Timer1->SetInterval(250);
  Timer1->OnTimer = [this](TComponent*) { Timer1Timer(); };
  tmrVolume = new TTimer(this);
  tmrVolume->SetEnabled(false);
  tmrVolume->SetInterval(100);
  tmrVolume->OnTimer = [this](TComponent*) { VolumeTimer(); };

  HelpContext = 900 + page_;
  channels_.assign(16, "");
  FinishCreate();
}

TVideoWindow::~TVideoWindow() {
  if (HandleAllocated()) KillTimer(Handle(), kRefreshTimer);
  if (player_) {
    player_->OnNotify = nullptr;
    player_->Close();
  }
  if (menu_ && !(HandleAllocated() && GetMenu(Handle()) == menu_)) DestroyMenu(menu_);
}

uint64_t TVideoWindow::Now() const { return GetTickCount64(); }

bool TVideoWindow::ChannelFresh(int channel) const { return channelFresh_[channel & 15]; }

int TVideoWindow::ChannelLevel(int channel) const { return shownLevel_[channel & 15]; }

std::vector<std::pair<std::string, std::string>> TVideoWindow::GridRows() const {
  return {{"Version", "MPEG " + MP3.VersionText()},
          {"Layer", MP3.LayerText()},
          {"Bit rate", Format("%d kbit/s", {MP3.BitRate})},
          {"Sample rate", Format("%d Hz", {MP3.SampleRate})},
          {"Mode", MP3.ModeText()},
          {"Title", MP3.FormatTemplate("%T,T%")},
          {"Artist", MP3.FormatTemplate("%A,T%")},
          {"Album", MP3.FormatTemplate("%ALB,T%")},
          {"Year", MP3.FormatTemplate("%Y,T%")}};
}

// Steps 6 to 9 of opening: volume, caption, length and the page's layout.
void TVideoWindow::Prepare() {
  midi_ = std::move(TakeMidi);
  if (Device.VolumeAdjustable) {
    volumeByCode_ = true;
    VolumeSlider->SetPosition(VolumeToPosition(Device.Volume, 100));
    volumeByCode_ = false;
    tmrVolume->SetEnabled(true);
  }
  VolumeSlider->SetEnabled(Device.VolumeAdjustable);
  session_->UpdateButtons();
  MediaPlayer->SetEnabledButtons(session_->Enabled);
  SetCaption(ExtractFileName(FileName));
  session_->Length = player_->Length();
  if (page_ == pgVideo) {
    player_->SetDisplayWindow(reinterpret_cast<intptr_t>(VidScreen->Handle()));
    videoWidth_ = VideoRect.Right - VideoRect.Left;
    videoHeight_ = VideoRect.Bottom - VideoRect.Top;
    menu_ = CreateMenu();
    HMENU video = CreatePopupMenu();
    AppendMenuW(video, MF_STRING, kMenuResetSize, L"&Reset video size");
    AppendMenuW(video, MF_STRING | (settings_.ShowHidden ? 0 : MF_GRAYED), kMenuCopy,
                L"&Copy to clipboard");
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(video), L"&Video");
    SetMenu(Handle(), menu_);
  }
  LayoutPages();
}

void TVideoWindow::LayoutPages() {
  int width = 300, height = 50;
  int bottom = kBottomHeight;
  switch (page_) {
    case pgVideo: {
      bottom += kVideoExtra;
      int w = 0, h = 0;
      VideoDisplaySize(settings_.MovieDisplaySize, 285, videoWidth_, videoHeight_, w, h);
      width = std::max(285, w + 4);
      height = std::max(170, h + 4);
      break;
    }
    case pgSound: break;
    case pgMusic:
      width = 533;
      height = 22 + 16 * TChannelDisplay::kRow + 8;
      break;
    case pgMp3:
      height = 140;
      break;
  }
  sizing_ = true;
  Notebook->SetBounds(0, kButtonPanelHeight, width, height);
  BottomPanel->SetBounds(0, kButtonPanelHeight + height, width, bottom);
  SetExactClientSize(width, kButtonPanelHeight + height + bottom);
  sizing_ = false;
  Resize();
}

// The client size, also when a menu bar (which may wrap) takes some of the window.
void TVideoWindow::SetExactClientSize(int width, int height) {
  SetClientSize(width, height);
  const RECT b = BoundsRect();
  const int dx = width - ClientWidth(), dy = height - ClientHeight();
  if (dx || dy) SetBounds(b.left, b.top, b.right - b.left + dx, b.bottom - b.top + dy);
}

void TVideoWindow::ArrangeBottom() {
  const int width = ClientWidth();
  ButtonPanel->SetBounds(0, 0, width, kButtonPanelHeight);
  MediaPlayer->SetBounds(width - 112 - 4, 2, 112, 40);
  const int bottom = kBottomHeight + (page_ == pgVideo ? kVideoExtra : 0);
  int top = page_ == pgVideo ? ClientHeight() - bottom : Notebook->Top() + Notebook->Height();
  BottomPanel->SetBounds(0, top, width, bottom);
  VolumeSlider->SetBounds(2, 2, width - 4, 20);
  PositionSlider->SetBounds(2, 24, width - 4, 24);
  PositionSlider->SetFrequency(PositionTickFrequency(width - 4));
  pnlBottomVid->SetBounds(2, 50, width - 4, 17);
}

void TVideoWindow::Resize() {
  TForm::Resize();
  if (!ButtonPanel || sizing_) return;
  if (page_ == pgVideo) {
    const int bottom = kBottomHeight + kVideoExtra;
    const int height = std::max(0, ClientHeight() - kButtonPanelHeight - bottom);
    Notebook->SetBounds(0, kButtonPanelHeight, ClientWidth(), height);
    Pages[pgVideo]->SetBounds(0, 0, ClientWidth(), height);
    VidScreen->SetBounds(2, 2, std::max(0, ClientWidth() - 4), std::max(0, height - 4));
    if (videoWidth_ > 0 && videoHeight_ > 0) {
      TRect r;
      FitCenterRect(VidScreen->ClientWidth(), VidScreen->ClientHeight(), videoWidth_,
                    videoHeight_, r);
      // The fitting gives an inclusive rectangle; the device wants the far edges outside.
      player_->SetDisplayRect({r.Left, r.Top, r.Right + 1, r.Bottom + 1});
    }
  } else {
    Pages[page_]->SetBounds(0, 0, Notebook->Width(), Notebook->Height());
  }
  ArrangeBottom();
}

void TVideoWindow::ResetVideoSize() {
  if (page_ != pgVideo) return;
  sizing_ = true;
  const int width = std::max(285, videoWidth_ + 4), height = std::max(170, videoHeight_ + 4);
  SetExactClientSize(width, kButtonPanelHeight + height + kBottomHeight + kVideoExtra);
  sizing_ = false;
  Resize();
}

void TVideoWindow::CopyVideoToClipboard() {
  if (page_ != pgVideo || !settings_.ShowHidden) return;
  TRect r;
  FitCenterRect(VidScreen->ClientWidth(), VidScreen->ClientHeight(), std::max(1, videoWidth_),
                std::max(1, videoHeight_), r);
  const int w = r.Right - r.Left + 1, h = r.Bottom - r.Top + 1;
  HDC screen = GetDC(VidScreen->Handle());
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.Left, r.Top, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(VidScreen->Handle(), screen);
  if (OpenClipboard(Handle())) {
    EmptyClipboard();
    if (SetClipboardData(CF_BITMAP, bitmap)) bitmap = nullptr;  // the clipboard owns it now
    CloseClipboard();
  }
  if (bitmap) DeleteObject(bitmap);
}

void TVideoWindow::DoShow() {
  TForm::DoShow();
  Screen.SetCursor(crDefault);
  Post(WM_MEDIA_DEFERRED_START);
}

void TVideoWindow::DeferredStart() {
  switch (page_) {
    case pgSound: lbl_Wave->SetCaption(WaveFormatText(WaveInfo)); break;
    case pgMusic:
      if (midi_) {
        THourGlass wait;
        midi_->OnNotify = [this](unsigned m, uintptr_t w, const std::string& t) { MidiNotify(m, w, t); };
        if (!midi_->Analysed) midi_->Analyse(reinterpret_cast<intptr_t>(Handle()));
        session_->MidiLength = midi_->Length;
        if (midi_->HasHeader) {
          l_Tracks->SetCaption(Format("%d", {midi_->TrackCount}));
          lSignature->SetCaption(midi_->TimeSignatureText());
          lTempo->SetCaption(Format("%d", {midi_->BeatsPerMinute}));
          if (midi_->TempoCount > 1) lTempos->SetCaption(Format("(%d)", {midi_->TempoCount}));
          lIdent->SetCaption(Format("%s Midi, %s instruments",
                                    {midi_->KindText(), midi_->InstrumentSetText()}));
        } else {
          l_Tracks->SetCaption("0");
          lIdent->SetCaption("(not a MIDI file)");
        }
        lMPlng->SetCaption(MediaTimeText(midi_->Length));
        for (int c = 0; c < 16; c++)
          channels_[static_cast<size_t>(c)] =
              Format("%2d %-20s", {c + 1, c == midi_->PercussionChannel ? "Percussion" : ""});
        tracks_.clear();
        TrackBox->Clear();
        for (size_t t = 0; t < midi_->Tracks.size(); t++) {
          tracks_.push_back(Format("%2d", {t + 1}));
          TrackBox->Add(tracks_.back());
        }
        PaintBox->Invalidate();
      } else {
        lIdent->SetCaption("(not a MIDI file)");
      }
      break;
    case pgMp3: StringGrid1->Invalidate(); break;
    case pgVideo: break;
  }
  // The player's focused button is Play: pressing it starts playback by itself.
  MediaPlayer->Post(WM_KEYDOWN, VK_SPACE, 0x00390001);
  MediaPlayer->Post(WM_KEYUP, VK_SPACE, 0xC0390001);
}

void TVideoWindow::MediaButtonClick(TMPBtnType button) {
  if (closing_) return;
  if (page_ == pgMusic && button == btBack) {
    ResetChannelDisplay();
  }
  const bool refresh = session_->ButtonClick(button);
  MediaPlayer->SetEnabledButtons(session_->Enabled);
  if (refresh) Post(WM_MEDIA_REFRESH);
}

void TVideoWindow::Timer1Timer() {
  if (closing_) return;
  const int place = session_->Timer();
  sliderByCode_ = true;
  PositionSlider->SetPosition(place);
  sliderByCode_ = false;
  MediaPlayer->SetEnabledButtons(session_->Enabled);
  UpdatePosition();
}

void TVideoWindow::VolumeTimer() {
  if (closing_) return;
  if (!VolumeSlider->Dragging()) {
    uint32_t volume = 0;
    if (player_->OutputVolume(page_ == pgMusic, volume)) {
      volumeByCode_ = true;
      VolumeSlider->SetPosition(VolumeToPosition(volume, 100));
      volumeByCode_ = false;
    }
  }
  if (page_ == pgVideo) UpdatePosition();
}

void TVideoWindow::VolumeSliderChange() {
  if (volumeByCode_ || closing_) return;
  if (Device.DeviceType >= mciDevAnimation && Device.DeviceType <= mciDevSequencer)
    player_->SetOutputVolume(Device.DeviceType == mciDevSequencer,
                             PositionToVolume(VolumeSlider->Position(), 100));
}

void TVideoWindow::PositionSliderChange() {
  if (sliderByCode_ || closing_) return;
  session_->SliderMoved(PositionSlider->Position());
  MediaPlayer->SetEnabledButtons(session_->Enabled);
  UpdatePosition();
}

void TVideoWindow::UpdatePosition() {
  if (closing_) return;
  const uint64_t position = session_->ShownPosition();
  const std::string length = MediaTimeText(session_->Length);
  auto setOnce = [&](TLabel* label) {
    if (label->Caption().empty()) label->SetCaption(length);
  };
  switch (page_) {
    case pgVideo:
      setOnce(lMOVlng);
      lMOVpos->SetCaption(MediaTimeText(position));
      break;
    case pgSound:
      setOnce(lSNDlng);
      lSNDtime->SetCaption(MediaTimeText(position));
      break;
    case pgMp3:
      setOnce(lMP3lng);
      lMP3time->SetCaption(MediaTimeText(position));
      break;
    case pgMusic:
      if (lMYlng->Caption().empty()) {
        if (midi_ && session_->LengthDiffers()) lMYlng->Font().SetColor(0x000080);  // maroon
        lMYlng->SetCaption(length);
      }
      lMPtime->SetCaption(MediaTimeText(position));
      lCLtime->SetCaption(MediaTimeText(session_->ClockTime()));
      AdvanceChannels(position);
      break;
  }
  // While playing the display follows closely; paced by a short timer so that posted
  // messages never crowd out painting and the other timers.
  if (page_ != pgVideo && session_->Playing() && !refreshArmed_) {
    refreshArmed_ = true;
    SetTimer(Handle(), kRefreshTimer, 40, nullptr);
  }
}

void TVideoWindow::ResetChannelDisplay() {
  if (!midi_) return;
  midi_->Reset();
  for (int c = 0; c < 16; c++) {
    shownLevel_[c] = 0;
    channelFresh_[c] = false;
  }
  PaintBox->Invalidate();
}

void TVideoWindow::AdvanceChannels(uint64_t position) {
  if (!midi_) return;
  const uint64_t now = Now();
  if (!session_->Playing()) {
    for (int c = 0; c < 16; c++) {
      if (shownLevel_[c] != 0) {
        shownLevel_[c] = 0;
        PaintBox->InvalidateRow(c);
      }
    }
    if ((position == 0 || position >= session_->Length) && midi_->CurrentTime != 0)
      ResetChannelDisplay();
    return;
  }
  if (tempoChanged_ && now - tempoChanged_ > 2000) {
    lTempo->Font().SetColor(clBlack);
    lTempo->Invalidate();
    tempoChanged_ = 0;
  }
  if (signatureChanged_ && now - signatureChanged_ > 2000) {
    lSignature->Font().SetColor(clBlack);
    lSignature->Invalidate();
    signatureChanged_ = 0;
  }
  for (int c = 0; c < 16; c++) {
    if (channelFresh_[c] && now - channelChanged_[c] > 2000) {
      channelFresh_[c] = false;
      PaintBox->InvalidateRow(c);
    }
  }
  if (position < midi_->CurrentTime) midi_->Reset();  // a seek backwards
  midi_->AdvanceTo(position);
  for (int c = 0; c < 16; c++) {
    if (midi_->Level[c] != shownLevel_[c]) {
      shownLevel_[c] = midi_->Level[c];
      PaintBox->InvalidateRow(c);
    }
  }
}

void TVideoWindow::SetTrackLine(int track, const std::string& text) {
  if (track < 1 || track > static_cast<int>(tracks_.size())) return;
  tracks_[static_cast<size_t>(track - 1)] = Format("%2d %s", {track, text});
  const int selected = TrackBox->ItemIndex();
  TrackBox->Clear();
  for (const std::string& line : tracks_) TrackBox->Add(line);
  TrackBox->SetItemIndex(selected);
}

void TVideoWindow::MidiNotify(unsigned message, uintptr_t w, const std::string& text) {
  const bool late = session_->ShownPosition() > 5000;
  const uint64_t now = Now();
  switch (message) {
    case WM_MIDI_TRACKNAME: SetTrackLine(static_cast<int>(w), text); break;
    case WM_MIDI_INSTRUMENT: {
      const int c = static_cast<int>(w & 15);
      channels_[static_cast<size_t>(c)] = Format("%2d %-20s", {c + 1, text});
      channelFresh_[c] = late;
      channelChanged_[c] = now;
      PaintBox->InvalidateRow(c);
      break;
    }
    case WM_MIDI_TEMPO:
      lTempo->SetCaption(Format("%d", {static_cast<unsigned>(w)}));
      if (late) {
        lTempo->Font().SetColor(clRed);
        tempoChanged_ = now;
      }
      break;
    case WM_MIDI_SIGNATURE:
      lSignature->SetCaption(text);
      if (late) {
        lSignature->Font().SetColor(clRed);
        signatureChanged_ = now;
      }
      break;
  }
}

void TVideoWindow::DoClose(TCloseAction& action) {
  TForm::DoClose(action);
  if (!closing_) {
    closing_ = true;
    KillTimer(Handle(), kRefreshTimer);
    Timer1->SetEnabled(false);
    tmrVolume->SetEnabled(false);
    player_->OnNotify = nullptr;
    player_->Stop();
    player_->Close();
    if (midi_) midi_.reset();
    if (settings_.OnClosed) settings_.OnClosed();
  }
  action = caFree;
}

LRESULT TVideoWindow::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_MEDIA_DEFERRED_START:
      if (!closing_) DeferredStart();
      return 0;
    case WM_MEDIA_REFRESH:
      UpdatePosition();
      return 0;
    case WM_TIMER:
      if (w == kRefreshTimer) {
        KillTimer(Handle(), kRefreshTimer);
        refreshArmed_ = false;
        UpdatePosition();
        return 0;
      }
      break;
    case WM_COMMAND:
      if (l == 0 && HIWORD(w) == 0) {
        if (LOWORD(w) == kMenuResetSize) ResetVideoSize();
        if (LOWORD(w) == kMenuCopy) CopyVideoToClipboard();
        return 0;
      }
      break;
  }
  return TForm::WndProc(message, w, l);
}

bool OpenMediaWindow(TForm* owner, const std::string& fileName,
                     const TMediaWindowSettings& settings) {
  const std::string ext = LowerExt(fileName);
  std::unique_ptr<TMciPlayer> player =
      settings.MakePlayer ? settings.MakePlayer() : CreateMciPlayer();
  std::unique_ptr<tMidiFile> midi;
  TWaveInfo wave;
  if (ext == ".mid") {
    PlayResetMidi(*player);
    midi = std::make_unique<tMidiFile>(fileName);
  } else if (ext == ".wav") {
    if (auto stream = OpenFileStream(fileName)) ReadWaveInfo(*stream, wave);
  }
  if (!player->Open(fileName)) return false;  // silent: the caller goes on
  if (!player->CanPlay()) {
    Screen.SetCursor(crDefault);
    player->Close();
    SoundMessageDlg("You don't have a Windows driver installed for this type of file", mtWarning,
                    MsgDlgButtons({mbOK, mbHelp}), settings.MessageSounds, 51);
    return true;
  }
  const TMediaDeviceInfo device = player->DeviceInfo();
  TRect rect;
  const bool hasVideo = player->UsesWindow() && player->DisplayRect(rect) &&
                        rect.Right > rect.Left && rect.Bottom > rect.Top;
  TMPEGAudio mp3;
  bool mp3Found = false;
  if (ext == ".mp3") {
    mp3.VolumeLabelOf = [](char drive) { return DriveVolumeLabel(drive); };
    // A long search for the first frame keeps the program's windows answering.
    mp3.OnSearchProgress = [] { Application.ProcessMessages(); };
    mp3.ReadFile(fileName);
    mp3.OnSearchProgress = nullptr;
    mp3Found = mp3.IsValid();
    // The owner may have closed meanwhile.
    if (owner && std::find(Screen.Forms.begin(), Screen.Forms.end(), owner) == Screen.Forms.end())
      owner = nullptr;
  }
  const TMediaPage page = ChooseMediaPage(ext, mp3Found, hasVideo, device.DeviceType);
  auto* window = new TVideoWindow(owner, owner ? owner->Handle() : nullptr, page,
                                  page == pgVideo ? bsSizeable : bsDialog, settings,
                                  std::move(player));
  window->FileName = fileName;
  window->Extension = ext;
  window->Device = device;
  window->WaveInfo = wave;
  window->TakeMidi = std::move(midi);
  window->MP3 = std::move(mp3);
  window->VideoRect = rect;
  window->Prepare();
  if (owner) owner->Send(WM_VIEWER_SHOWN, 0, reinterpret_cast<LPARAM>(window->Handle()));
  if (settings.OnShowing) settings.OnShowing(window);
  if (page == pgMusic)
    window->ShowModal();
  else
    window->Show();
  return true;
}
