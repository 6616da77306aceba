// The music of a slide show: one file at a time on the media control interface, its end
// reported to a window as MM_MCINOTIFY.
#pragma once
#include <windows.h>

#include <mmsystem.h>

#include <string>

class TShowMusic {
 public:
  TShowMusic() = default;
  TShowMusic(const TShowMusic&) = delete;
  TShowMusic& operator=(const TShowMusic&) = delete;
  ~TShowMusic() { Close(); }

  // Opens a file with the device its type asks for (waiting); false when it cannot be opened.
  bool Open(const std::string& fileName);
  // Plays without waiting; the end reaches `notify` as MM_MCINOTIFY. False when playing cannot
  // start.
  bool Play(HWND notify);
  // Stops and closes (waiting); nothing when nothing is open.
  void Close();
  bool IsOpen() const { return device_ != 0; }
  MCIDEVICEID Device() const { return device_; }
  // Facts of the open device: its type (MCI_DEVTYPE_SEQUENCER 523, MCI_DEVTYPE_WAVEFORM_AUDIO
  // 522, ...) and whether it plays sound or video.
  DWORD DeviceType() const { return deviceType_; }
  bool HasAudio() const { return hasAudio_; }
  bool HasVideo() const { return hasVideo_; }

 private:
  DWORD Capability(DWORD item) const;
  MCIDEVICEID device_ = 0;
  DWORD deviceType_ = 0;
  bool hasAudio_ = false, hasVideo_ = false;
};

// The volume of the wave or MIDI output (0..65535 for both channels); false when that output
// has no volume control.
bool SetOutputVolume(bool midi, WORD volume);
bool GetOutputVolume(bool midi, WORD& volume);
