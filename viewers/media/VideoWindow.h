// The media window: plays a movie, a sound or a MIDI file through the media player and shows
// what is known about it on one of four pages: "video" (the picture), "sound" (the wave
// format), "music" (the MIDI analysis with a live channel display) and "mp3" (the MPEG header
// and tag).
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/cSlider.h"
#include "framework/Button.h"
#include "framework/Form.h"
#include "framework/Label.h"
#include "foundation/uMessages.h"
#include "framework/ListBox.h"
#include "framework/Mci.h"
#include "framework/Panel.h"
#include "framework/Timer.h"
#include "framework/TrackBar.h"
#include "viewers/media/MediaPlayerBar.h"
#include "viewers/media/uMP3.h"
#include "viewers/media/uMedia.h"
#include "viewers/media/uMidi.h"
#include "viewers/media/uWave.h"

constexpr UINT WM_MEDIA_DEFERRED_START = WM_USER + 102;

// What the window takes from the opening main window's settings.
struct TMediaWindowSettings {
  bool MessageSounds = false;
  int MovieDisplaySize = 0;  // 0 original, 1..3: "100%", "133%", "200% video window width"
  int WindowPlacement = 0;   // above 0: centred on the screen
  bool ShowHidden = false;   // the save options' flag that offers copying the video
  std::function<void()> OnClosed;   // the owner's viewer count
  std::function<void()> OnAbout;    // the About button
  // The player to use (tests give their own); the system's when empty.
  std::function<std::unique_ptr<TMciPlayer>()> MakePlayer;
  // Called with the window just before it is shown (tests).
  std::function<void(class TVideoWindow*)> OnShowing;
};

class TChannelDisplay;
class TInfoGrid;
class TCheckButton;

class TVideoWindow : public TForm {
 public:
  TVideoWindow(TComponent* owner, HWND ownerWindow, TMediaPage page, TFormBorderStyle border,
               const TMediaWindowSettings& settings, std::unique_ptr<TMciPlayer> player);
  ~TVideoWindow() override;

  TPanel* ButtonPanel = nullptr;
  TCheckButton* btnLoop = nullptr;
  TButton* QuitButton = nullptr;
  TButton* AboutButton = nullptr;
  TMediaPlayerBar* MediaPlayer = nullptr;
  TPanel* BottomPanel = nullptr;
  TSlider* VolumeSlider = nullptr;
  TTrackBar* PositionSlider = nullptr;
  TPanel* pnlBottomVid = nullptr;
  TLabel *lMOVtime = nullptr, *lMOVlng = nullptr, *lMOVpos = nullptr, *lMOVfrm = nullptr;
  TPanel* Notebook = nullptr;
  TPanel* Pages[4] = {};
  TPanel* VidScreen = nullptr;
  TLabel *lbl_Wave = nullptr, *lSNDtime = nullptr, *lSNDlng = nullptr;
  TLabel *l_Tracks = nullptr, *lSignature = nullptr, *lTempo = nullptr, *lTempos = nullptr,
         *lIdent = nullptr, *lMPlng = nullptr, *lMPtime = nullptr, *lCLtime = nullptr,
         *lMYlng = nullptr;
  TChannelDisplay* PaintBox = nullptr;
  TListBox* TrackBox = nullptr;
  TCheckButton* chkClock = nullptr;
  TLabel *lMP3time = nullptr, *lMP3lng = nullptr;
  TInfoGrid* StringGrid1 = nullptr;
  TTimer* Timer1 = nullptr;
  TTimer* tmrVolume = nullptr;

  TMciPlayer& Player() { return *player_; }
  tMediaSession& Session() { return *session_; }
  TMediaPage Page() const { return page_; }
  tMidiFile* Midi() { return midi_.get(); }
  // The channel list's 16 lines, and whether a line is shown fresh (red, bold).
  const std::vector<std::string>& ChannelLines() const { return channels_; }
  bool ChannelFresh(int channel) const;
  int ChannelLevel(int channel) const;
  std::vector<std::pair<std::string, std::string>> GridRows() const;

  // Set up by OpenMediaWindow before the window shows.
  std::string FileName, Extension;
  TMediaDeviceInfo Device;
  TWaveInfo WaveInfo;
  std::unique_ptr<tMidiFile> TakeMidi;
  TMPEGAudio MP3;
  TRect VideoRect;  // the original display rectangle
  void Prepare();

  // The position display: what the timers and WM_MEDIA_REFRESH do.
  void UpdatePosition();
  void DeferredStart();

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  void DoShow() override;
  void DoClose(TCloseAction& action) override;
  void Resize() override;

 private:
  void MediaButtonClick(TMPBtnType button);
  void Timer1Timer();
  void VolumeTimer();
  void VolumeSliderChange();
  void PositionSliderChange();
  void LayoutPages();
  void ArrangeBottom();
  void ResetVideoSize();
  void SetExactClientSize(int width, int height);
  void CopyVideoToClipboard();
  void AdvanceChannels(uint64_t position);
  void ResetChannelDisplay();
  void MidiNotify(unsigned message, uintptr_t w, const std::string& text);
  void SetTrackLine(int track, const std::string& text);
  uint64_t Now() const;

  TMediaPage page_;
  TMediaWindowSettings settings_;
  std::unique_ptr<TMciPlayer> player_;
  std::unique_ptr<tMediaSession> session_;
  std::unique_ptr<tMidiFile> midi_;
  HMENU menu_ = nullptr;
  bool closing_ = false, sizing_ = false, sliderByCode_ = false, volumeByCode_ = false;
  bool refreshArmed_ = false;
  uint64_t tempoChanged_ = 0, signatureChanged_ = 0;
  std::vector<std::string> channels_, tracks_;
  uint64_t channelChanged_[16] = {};
  bool channelFresh_[16] = {};
  int shownLevel_[16] = {};
  int videoWidth_ = 0, videoHeight_ = 0;
};

// Opens a file in a media window. False (nothing shown) when the player cannot open it; true
// when it opened, also when the device cannot play it (the user is told).
bool OpenMediaWindow(TForm* owner, const std::string& fileName,
                     const TMediaWindowSettings& settings = {});
