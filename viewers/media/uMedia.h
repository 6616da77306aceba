// What the media window and the slide shows decide without a window: volume scaling, the page a
// file gets, time texts, the position slider, the video's size, which player buttons are
// enabled, and the window's playing state over a player (tMediaSession).
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "framework/Mci.h"
#include "foundation/uTypes.h"

// Volume (left channel in the low word) to a slider place 0..max, and back (both channels).
int VolumeToPosition(uint32_t volume, int max);
uint32_t PositionToVolume(int position, int max);

// The notebook pages in their order; the window's help context is 900 + the page.
enum TMediaPage { pgVideo = 0, pgSound = 1, pgMusic = 2, pgMp3 = 3 };
// "mp3" when the file is an ".mp3" whose header was found; else "video" with video; else
// "music" for the sequencer and "sound" for everything else.
TMediaPage ChooseMediaPage(const std::string& lowerExt, bool mp3HeaderFound, bool hasVideo,
                           uint32_t deviceType);

// "n:ss" (minutes within the hour, as the time of day of the milliseconds).
std::string MediaTimeText(uint64_t ms);
// The position slider's place 0..100; a length of 0 gives 0 (it divided by the length).
int PositionToSlider(uint32_t position, uint32_t length);
uint32_t SliderToPosition(int place, uint32_t length);
// Tick marks of the position slider: every 10 places below 200 pixels, every 2 below 400.
int PositionTickFrequency(int width);

// The video's size on the video page: the display size setting (0 original, 1..3) widens the
// target to the notebook width -4, +96 or +278 pixels, and a video narrower than the target is
// enlarged to fit a target x target box keeping its aspect ratio.
void VideoDisplaySize(int movieDisplaySize, int notebookWidth, int videoWidth, int videoHeight,
                      int& width, int& height);

enum TMPBtnType { btPlay, btPause, btStop, btBack };
struct TMPButtons {
  bool Play = false, Pause = false, Stop = false, Back = false;
  friend bool operator==(const TMPButtons&, const TMPButtons&) = default;
};
// The buttons that can act in a mode (the player's automatic enabling).
TMPButtons AutoEnabledButtons(TMPModes mode);

// The playing state of a media window over its player: buttons, loop, the wall clock of the
// music page and the position shown. Times come from Now (milliseconds of a steady clock).
class tMediaSession {
 public:
  tMediaSession(TMciPlayer& player, TMediaPage page, std::function<uint64_t()> now);

  TMediaPage Page;
  bool AutoEnable = true;
  TMPButtons Enabled;
  TMPBtnType LastButton = btStop;
  bool Loop = false;          // the loop button is down
  bool UseWallClock = false;  // the music page's "Clock" box
  uint32_t Length = 0;        // the player's, in milliseconds
  uint64_t MidiLength = 0;    // the MIDI analysis's, for the music page

  // A media button pressed by the user: the page's own handling, then the player's action.
  // True when the window should post itself a refresh (play or pause off the video page).
  bool ButtonClick(TMPBtnType button);
  // The 250 ms timer: the slider place, and the loop or re-enabling when the player stopped.
  int Timer();
  // The position to show: the player's, or the wall clock's with UseWallClock.
  uint64_t ShownPosition();
  // Milliseconds of play on the wall clock (pauses left out).
  uint64_t ClockTime() const;
  // The player's length is more than a second away from the MIDI length.
  bool LengthDiffers() const;
  // The user moved the position slider.
  void SliderMoved(int place);
  // Brings the buttons in line with the player's mode when AutoEnable is on.
  void UpdateButtons();
  bool Playing() { return player_.Mode() == mpPlaying; }

 private:
  TMciPlayer& player_;
  std::function<uint64_t()> now_;
  bool clockRunning_ = false;
  uint64_t clockStart_ = 0;
  uint64_t clockPause_ = 0;  // when the clock was paused or stopped; 0 while it runs
};
