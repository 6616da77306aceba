// A media player over the system's media control interface: open a file with the device its
// type calls for, play, pause, stop, seek, position and length in milliseconds, the display
// rectangle of a video, the device's capabilities and the output volume. Windows that play
// media talk to this interface, so their logic can be tested with a player of their own.
// (This header is portable; the system's player lives in Mci.cpp.)
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "foundation/uTypes.h"

// Device types as the system numbers them.
enum : uint32_t {
  mciDevAnimation = 513,
  mciDevCdAudio = 516,
  mciDevDigitalVideo = 520,
  mciDevOther = 521,
  mciDevWaveAudio = 522,
  mciDevSequencer = 523,
};

enum TMPModes { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };
enum TMPNotifyValues { nvSuccessful, nvSuperseded, nvAborted, nvFailure };

// What the open device is and whether its output volume can be set.
struct TMediaDeviceInfo {
  uint32_t DeviceType = 0;
  bool VolumeAdjustable = false;
  bool HasVideo = false;
  bool HasAudio = false;
  uint32_t Volume = 0;  // left channel in the low word, right in the high word
};

class TMciPlayer {
 public:
  virtual ~TMciPlayer() = default;

  // Opens a file with the device found from its type, waiting; false with Error() set.
  virtual bool Open(const std::string& fileName) = 0;
  // Closes the device (waiting); nothing when none is open.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Plays from the current position: waiting until the end, or reporting the end through
  // OnNotify.
  virtual bool Play(bool wait = false) = 0;
  virtual bool Pause() = 0;
  virtual bool Stop() = 0;
  // Back to the start.
  virtual bool Rewind() = 0;
  virtual bool Seek(uint32_t ms) = 0;
  virtual uint32_t Length() = 0;    // milliseconds
  virtual uint32_t Position() = 0;  // milliseconds
  virtual TMPModes Mode() = 0;
  // The last error (0: none) and its text.
  virtual uint32_t Error() const = 0;
  virtual std::string ErrorMessage() const = 0;
  virtual uint32_t DeviceId() const = 0;

  virtual bool CanPlay() = 0;
  // The device shows pictures in a window (a video).
  virtual bool UsesWindow() = 0;
  // Where the picture goes in the display window (0, 0, width, height when at its own size).
  virtual bool DisplayRect(TRect& rect) = 0;
  virtual bool SetDisplayRect(const TRect& rect) = 0;
  // The window the picture is drawn into (a window handle; 0: the device's own window).
  virtual bool SetDisplayWindow(intptr_t window) = 0;
  virtual TMediaDeviceInfo DeviceInfo() = 0;

  // Output volume of wave output device 0 or MIDI output device 0.
  virtual bool OutputVolume(bool midi, uint32_t& volume) = 0;
  virtual bool SetOutputVolume(bool midi, uint32_t volume) = 0;

  // The end of a play that did not wait: successful, superseded, aborted or failed.
  std::function<void(TMPNotifyValues)> OnNotify;
};

// The system's player (Windows builds only).
std::unique_ptr<TMciPlayer> CreateMciPlayer();
