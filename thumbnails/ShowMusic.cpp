#include "thumbnails/ShowMusic.h"

#include "framework/Text.h"

bool TShowMusic::Open(const std::string& fileName) {
  Close();
  std::wstring name = Utf8ToWide(fileName);
  MCI_OPEN_PARMSW open{};
  open.lpstrElementName = name.c_str();
  if (mciSendCommandW(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT,
                      reinterpret_cast<DWORD_PTR>(&open)) != 0)
    return false;
  device_ = open.wDeviceID;
  deviceType_ = Capability(MCI_GETDEVCAPS_DEVICE_TYPE);
  hasAudio_ = Capability(MCI_GETDEVCAPS_HAS_AUDIO) != 0;
  hasVideo_ = Capability(MCI_GETDEVCAPS_HAS_VIDEO) != 0;
  return true;
}

DWORD TShowMusic::Capability(DWORD item) const {
  MCI_GETDEVCAPS_PARMS caps{};
  caps.dwItem = item;
  if (mciSendCommandW(device_, MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM | MCI_WAIT,
                      reinterpret_cast<DWORD_PTR>(&caps)) != 0)
    return 0;
  return caps.dwReturn;
}

bool TShowMusic::Play(HWND notify) {
  if (!device_) return false;
  MCI_PLAY_PARMS play{};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(notify);
  return mciSendCommandW(device_, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play)) == 0;
}

void TShowMusic::Close() {
  if (!device_) return;
  MCI_GENERIC_PARMS generic{};
  mciSendCommandW(device_, MCI_STOP, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&generic));
  mciSendCommandW(device_, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&generic));
  device_ = 0;
  deviceType_ = 0;
  hasAudio_ = hasVideo_ = false;
}

bool SetOutputVolume(bool midi, WORD volume) {
  const DWORD both = MAKELONG(volume, volume);
  return (midi ? midiOutSetVolume(reinterpret_cast<HMIDIOUT>(0), both)
               : waveOutSetVolume(reinterpret_cast<HWAVEOUT>(0), both)) == MMSYSERR_NOERROR;
}

bool GetOutputVolume(bool midi, WORD& volume) {
  DWORD both = 0;
  if ((midi ? midiOutGetVolume(reinterpret_cast<HMIDIOUT>(0), &both)
            : waveOutGetVolume(reinterpret_cast<HWAVEOUT>(0), &both)) != MMSYSERR_NOERROR)
    return false;
  volume = LOWORD(both);
  return true;
}
