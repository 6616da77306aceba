#include "viewers/media/uMedia.h"

#include <algorithm>

#include "foundation/uFormat.h"
#include "foundation/uUtil.h"

int VolumeToPosition(uint32_t volume, int max) {
  return static_cast<int>(static_cast<int64_t>(volume & 0xFFFF) * max / 65535);
}

uint32_t PositionToVolume(int position, int max) {
  if (max <= 0) return 0;
  const uint32_t v = static_cast<uint32_t>(static_cast<int64_t>(position) * 65535 / max) & 0xFFFF;
  return v | (v << 16);
}

TMediaPage ChooseMediaPage(const std::string& lowerExt, bool mp3HeaderFound, bool hasVideo,
                           uint32_t deviceType) {
  if (lowerExt == ".mp3" && mp3HeaderFound) return pgMp3;
  if (hasVideo) return pgVideo;
  return deviceType == mciDevSequencer ? pgMusic : pgSound;
}

std::string MediaTimeText(uint64_t ms) {
  const uint64_t inDay = ms % 86400000;
  return Format("%d:%.2d", {(inDay / 60000) % 60, (inDay / 1000) % 60});
}

int PositionToSlider(uint32_t position, uint32_t length) {
  if (length == 0) return 0;
  const uint64_t place = (static_cast<uint64_t>(position) * 100 + length / 2) / length;
  return static_cast<int>(std::min<uint64_t>(place, 100));
}

uint32_t SliderToPosition(int place, uint32_t length) {
  place = std::clamp(place, 0, 100);
  return static_cast<uint32_t>(static_cast<uint64_t>(length) * place / 100);
}

int PositionTickFrequency(int width) {
  if (width < 200) return 10;
  if (width < 400) return 2;
  return 1;
}

void VideoDisplaySize(int movieDisplaySize, int notebookWidth, int videoWidth, int videoHeight,
                      int& width, int& height) {
  width = videoWidth;
  height = videoHeight;
  if (movieDisplaySize < 1 || movieDisplaySize > 3 || videoWidth <= 0 || videoHeight <= 0) return;
  static const int kExtra[3] = {-4, 96, 278};
  const int target = notebookWidth + kExtra[movieDisplaySize - 1];
  if (target > videoWidth) FitRect(target, target, videoWidth, videoHeight, width, height);
}

TMPButtons AutoEnabledButtons(TMPModes mode) {
  switch (mode) {
    case mpPlaying: return {false, true, true, true};
    case mpPaused: return {true, true, true, true};
    case mpStopped:
    case mpSeeking:
    case mpOpen: return {true, false, false, true};
    default: return {};
  }
}

tMediaSession::tMediaSession(TMciPlayer& player, TMediaPage page, std::function<uint64_t()> now)
    : Page(page), player_(player), now_(std::move(now)) {
  UpdateButtons();
}

void tMediaSession::UpdateButtons() {
  if (AutoEnable) Enabled = AutoEnabledButtons(player_.Mode());
}

uint64_t tMediaSession::ClockTime() const {
  if (clockRunning_) return now_() - clockStart_;
  return clockPause_ ? clockPause_ - clockStart_ : 0;
}

bool tMediaSession::ButtonClick(TMPBtnType button) {
  AutoEnable = true;
  const bool paused = player_.Mode() == mpPaused;
  if (Page == pgMusic) {
    auto startClock = [&] {
      if (clockRunning_) return;
      const uint64_t now = now_();
      clockStart_ = clockPause_ ? clockStart_ + (now - clockPause_) : now;
      clockPause_ = 0;
      clockRunning_ = true;
    };
    auto stopClock = [&] {
      if (!clockRunning_) return;
      clockPause_ = now_();
      clockRunning_ = false;
    };
    switch (button) {
      case btPlay: startClock(); break;
      case btPause:
        if (clockRunning_)
          stopClock();
        else
          startClock();
        break;
      case btStop:
        stopClock();
        AutoEnable = false;
        Enabled = {true, false, false, true};
        break;
      case btBack:
        clockRunning_ = false;
        clockStart_ = clockPause_ = 0;
        AutoEnable = false;
        Enabled = {true, false, false, false};
        break;
    }
  }
  switch (button) {
    case btPlay: player_.Play(false); break;
    // Pause again resumes.
    case btPause:
      if (paused)
        player_.Play(false);
      else
        player_.Pause();
      break;
    case btStop: player_.Stop(); break;
    case btBack: player_.Rewind(); break;
  }
  UpdateButtons();
  LastButton = button;
  return Page != pgVideo && (button == btPlay || button == btPause);
}

int tMediaSession::Timer() {
  const int place = PositionToSlider(player_.Position(), Length);
  if (player_.Mode() == mpStopped) {
    if (!Loop) {
      AutoEnable = true;
      UpdateButtons();
    } else if (LastButton == btPlay) {
      player_.Rewind();
      player_.Play(false);
      AutoEnable = false;
      Enabled = {false, true, true, false};
    }
  }
  return place;
}

uint64_t tMediaSession::ShownPosition() {
  return UseWallClock ? ClockTime() : player_.Position();
}

bool tMediaSession::LengthDiffers() const {
  const uint64_t a = Length, b = MidiLength;
  return (a > b ? a - b : b - a) > 1000;
}

void tMediaSession::SliderMoved(int place) {
  const bool wasPlaying = player_.Mode() == mpPlaying;
  player_.Seek(SliderToPosition(place, Length));
  // A seek stops the device; a playing clip goes on from the new place.
  if (wasPlaying) player_.Play(false);
  UpdateButtons();
}
