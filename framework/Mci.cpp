// The system's media player: mciSendCommand on one device, with a message-only window that
// receives the device's end-of-play notifications.
#include "framework/Mci.h"

#include <windows.h>

#include <mmsystem.h>
// digitalv.h builds on mmsystem.h.
#include <digitalv.h>

#include "framework/Text.h"

namespace {

const wchar_t kNotifyClass[] = L"TavisMciNotify";

class TSystemMciPlayer : public TMciPlayer {
 public:
  TSystemMciPlayer() {
    static bool registered = false;
    if (!registered) {
      WNDCLASSW wc{};
      wc.lpfnWndProc = NotifyProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = kNotifyClass;
      registered = RegisterClassW(&wc) != 0;
    }
    window_ = CreateWindowExW(0, kNotifyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TSystemMciPlayer() override {
    Close();
    if (window_) {
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      DestroyWindow(window_);
    }
  }

  bool Open(const std::string& fileName) override {
    Close();
    std::wstring name = Utf8ToWide(fileName);
    MCI_OPEN_PARMSW open{};
    open.lpstrElementName = name.c_str();
    if (!Send(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, &open)) return false;
    device_ = open.wDeviceID;
    MCI_SET_PARMS set{};
    set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    Send(device_, MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, &set);
    error_ = 0;
    return true;
  }
  void Close() override {
    if (!device_) return;
    MCI_GENERIC_PARMS close{};
    mciSendCommandW(device_, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&close));
    device_ = 0;
  }
  bool IsOpen() const override { return device_ != 0; }

  bool Play(bool wait) override {
    MCI_PLAY_PARMS play{};
    play.dwCallback = reinterpret_cast<DWORD_PTR>(window_);
    return Send(device_, MCI_PLAY, wait ? MCI_WAIT : MCI_NOTIFY, &play);
  }
  bool Pause() override {
    MCI_GENERIC_PARMS p{};
    return Send(device_, MCI_PAUSE, MCI_WAIT, &p);
  }
  bool Stop() override {
    MCI_GENERIC_PARMS p{};
    return Send(device_, MCI_STOP, MCI_WAIT, &p);
  }
  bool Rewind() override {
    MCI_SEEK_PARMS p{};
    return Send(device_, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &p);
  }
  bool Seek(uint32_t ms) override {
    MCI_SEEK_PARMS p{};
    p.dwTo = ms;
    return Send(device_, MCI_SEEK, MCI_TO | MCI_WAIT, &p);
  }
  uint32_t Length() override { return Status(MCI_STATUS_LENGTH); }
  uint32_t Position() override { return Status(MCI_STATUS_POSITION); }
  TMPModes Mode() override {
    if (!device_) return mpNotReady;
    switch (Status(MCI_STATUS_MODE)) {
      case MCI_MODE_STOP: return mpStopped;
      case MCI_MODE_PLAY: return mpPlaying;
      case MCI_MODE_RECORD: return mpRecording;
      case MCI_MODE_SEEK: return mpSeeking;
      case MCI_MODE_PAUSE: return mpPaused;
      case MCI_MODE_OPEN: return mpOpen;
      default: return mpNotReady;
    }
  }
  uint32_t Error() const override { return error_; }
  std::string ErrorMessage() const override {
    wchar_t text[256] = {};
    if (!error_ || !mciGetErrorStringW(error_, text, 256)) return "";
    return WideToUtf8(text);
  }
  uint32_t DeviceId() const override { return device_; }

  bool CanPlay() override { return DevCaps(MCI_GETDEVCAPS_CAN_PLAY) != 0; }
  bool UsesWindow() override { return DevCaps(MCI_GETDEVCAPS_HAS_VIDEO) != 0; }
  bool DisplayRect(TRect& rect) override {
    MCI_DGV_RECT_PARMS p{};
    if (!Send(device_, MCI_WHERE, MCI_DGV_WHERE_DESTINATION | MCI_WAIT, &p)) return false;
    // The device gives the origin and the size.
    rect = {p.rc.left, p.rc.top, p.rc.left + p.rc.right, p.rc.top + p.rc.bottom};
    return true;
  }
  bool SetDisplayRect(const TRect& rect) override {
    MCI_DGV_PUT_PARMS p{};
    p.rc = {rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top};
    return Send(device_, MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT | MCI_WAIT, &p);
  }
  bool SetDisplayWindow(intptr_t window) override {
    MCI_DGV_WINDOW_PARMSW p{};
    p.hWnd = window ? reinterpret_cast<HWND>(window) : MCI_DGV_WINDOW_DEFAULT;
    return Send(device_, MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_WAIT, &p);
  }

  TMediaDeviceInfo DeviceInfo() override {
    TMediaDeviceInfo info;
    if (!device_) return info;
    info.DeviceType = DevCaps(MCI_GETDEVCAPS_DEVICE_TYPE);
    info.HasVideo = DevCaps(MCI_GETDEVCAPS_HAS_VIDEO) == 1;
    info.HasAudio = DevCaps(MCI_GETDEVCAPS_HAS_AUDIO) == 1;
    if (!info.HasAudio) return info;
    const bool wave =
        info.DeviceType == mciDevDigitalVideo || info.DeviceType == mciDevWaveAudio;
    const bool midi = info.DeviceType == mciDevSequencer;
    if (wave || midi) {
      WAVEOUTCAPSW waveCaps{};
      MIDIOUTCAPSW midiCaps{};
      const bool supports =
          wave ? waveOutGetDevCapsW(0, &waveCaps, sizeof waveCaps) == MMSYSERR_NOERROR &&
                     (waveCaps.dwSupport & WAVECAPS_VOLUME)
               : midiOutGetDevCapsW(0, &midiCaps, sizeof midiCaps) == MMSYSERR_NOERROR &&
                     (midiCaps.dwSupport & MIDICAPS_VOLUME);
      info.VolumeAdjustable = supports && OutputVolume(midi, info.Volume);
    }
    return info;
  }

  bool OutputVolume(bool midi, uint32_t& volume) override {
    DWORD v = 0;
    const bool ok = midi ? midiOutGetVolume(reinterpret_cast<HMIDIOUT>(0), &v) == MMSYSERR_NOERROR
                         : waveOutGetVolume(reinterpret_cast<HWAVEOUT>(0), &v) == MMSYSERR_NOERROR;
    if (ok) volume = v;
    return ok;
  }
  bool SetOutputVolume(bool midi, uint32_t volume) override {
    return midi ? midiOutSetVolume(reinterpret_cast<HMIDIOUT>(0), volume) == MMSYSERR_NOERROR
                : waveOutSetVolume(reinterpret_cast<HWAVEOUT>(0), volume) == MMSYSERR_NOERROR;
  }

 private:
  template <typename P>
  bool Send(MCIDEVICEID device, UINT command, DWORD flags, P* parms) {
    if (command != MCI_OPEN && !device) {
      error_ = MCIERR_INVALID_DEVICE_ID;
      return false;
    }
    error_ = mciSendCommandW(device, command, flags, reinterpret_cast<DWORD_PTR>(parms));
    return error_ == 0;
  }
  uint32_t Status(DWORD item) {
    MCI_STATUS_PARMS p{};
    p.dwItem = item;
    return Send(device_, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &p)
               ? static_cast<uint32_t>(p.dwReturn)
               : 0;
  }
  uint32_t DevCaps(DWORD item) {
    MCI_GETDEVCAPS_PARMS p{};
    p.dwItem = item;
    return Send(device_, MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM | MCI_WAIT, &p)
               ? static_cast<uint32_t>(p.dwReturn)
               : 0;
  }

  static LRESULT CALLBACK NotifyProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == MM_MCINOTIFY) {
      auto* self = reinterpret_cast<TSystemMciPlayer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
      // Only the open device's news: a closed or replaced device may still report.
      if (self && self->device_ && static_cast<MCIDEVICEID>(l) == self->device_ && self->OnNotify) {
        TMPNotifyValues v = nvFailure;
        switch (w) {
          case MCI_NOTIFY_SUCCESSFUL: v = nvSuccessful; break;
          case MCI_NOTIFY_SUPERSEDED: v = nvSuperseded; break;
          case MCI_NOTIFY_ABORTED: v = nvAborted; break;
          default: break;
        }
        // The handler may free the player: copy it first.
        auto handler = self->OnNotify;
        handler(v);
      }
      return 0;
    }
    return DefWindowProcW(hwnd, message, w, l);
  }

  HWND window_ = nullptr;
  MCIDEVICEID device_ = 0;
  uint32_t error_ = 0;
};

}  // namespace

std::unique_ptr<TMciPlayer> CreateMciPlayer() { return std::make_unique<TSystemMciPlayer>(); }
