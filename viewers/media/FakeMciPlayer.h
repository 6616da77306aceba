// A player for tests of windows that play media: it keeps a position that moves only when the
// test says so, records every call, and reports the device facts the test gives it.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "framework/Mci.h"

class TFakeMciPlayer : public TMciPlayer {
 public:
  // What the fake is set up as.
  bool OpenFails = false;
  bool Playable = true;
  TMediaDeviceInfo Info;
  uint32_t MediaLength = 10000;
  TRect Rect;
  uint32_t Volume[2] = {0x80008000u, 0x40004000u};  // wave, MIDI

  // What happened to it; shared, so a test can read it after the window freed the player.
  std::shared_ptr<std::vector<std::string>> Calls = std::make_shared<std::vector<std::string>>();
  std::string FileName;
  TMPModes CurrentMode = mpNotReady;
  uint32_t CurrentPosition = 0;
  intptr_t DisplayWindow = 0;

  // Moves the position; at the end the clip stops and notifies, as the device does.
  void Advance(uint32_t ms) {
    if (CurrentMode != mpPlaying) return;
    CurrentPosition += ms;
    if (CurrentPosition >= MediaLength) {
      CurrentPosition = MediaLength;
      CurrentMode = mpStopped;
      if (OnNotify) OnNotify(nvSuccessful);
    }
  }

  bool Open(const std::string& fileName) override {
    Calls->push_back("Open " + fileName);
    if (OpenFails) {
      error_ = 275;  // file not found
      return false;
    }
    FileName = fileName;
    CurrentMode = mpStopped;
    CurrentPosition = 0;
    error_ = 0;
    return true;
  }
  void Close() override {
    Calls->push_back("Close");
    CurrentMode = mpNotReady;
  }
  bool IsOpen() const override { return CurrentMode != mpNotReady; }
  bool Play(bool wait) override {
    Calls->push_back(wait ? "PlayWait" : "Play");
    if (!IsOpen()) return false;
    if (wait) {
      CurrentPosition = MediaLength;
      CurrentMode = mpStopped;
    } else {
      CurrentMode = mpPlaying;
    }
    return true;
  }
  bool Pause() override {
    Calls->push_back("Pause");
    if (CurrentMode == mpPlaying) CurrentMode = mpPaused;
    return true;
  }
  bool Stop() override {
    Calls->push_back("Stop");
    if (IsOpen()) CurrentMode = mpStopped;
    return true;
  }
  bool Rewind() override {
    Calls->push_back("Rewind");
    CurrentPosition = 0;
    if (IsOpen()) CurrentMode = mpStopped;
    return true;
  }
  bool Seek(uint32_t ms) override {
    Calls->push_back("Seek " + std::to_string(ms));
    CurrentPosition = ms;
    if (IsOpen()) CurrentMode = mpStopped;
    return true;
  }
  uint32_t Length() override { return IsOpen() ? MediaLength : 0; }
  uint32_t Position() override { return CurrentPosition; }
  TMPModes Mode() override { return CurrentMode; }
  uint32_t Error() const override { return error_; }
  std::string ErrorMessage() const override { return error_ ? "fake error" : ""; }
  uint32_t DeviceId() const override { return IsOpen() ? 1 : 0; }
  bool CanPlay() override { return Playable; }
  bool UsesWindow() override { return Info.HasVideo; }
  bool DisplayRect(TRect& rect) override {
    rect = Rect;
    return true;
  }
  bool SetDisplayRect(const TRect& rect) override {
    Rect = rect;
    return true;
  }
  bool SetDisplayWindow(intptr_t window) override {
    DisplayWindow = window;
    return true;
  }
  TMediaDeviceInfo DeviceInfo() override { return Info; }
  bool OutputVolume(bool midi, uint32_t& volume) override {
    volume = Volume[midi];
    return true;
  }
  bool SetOutputVolume(bool midi, uint32_t volume) override {
    Volume[midi] = volume;
    return true;
  }

 private:
  uint32_t error_ = 0;
};
