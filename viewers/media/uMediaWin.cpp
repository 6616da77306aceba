#include "viewers/media/uMediaWin.h"

#include <windows.h>

#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"
#include "framework/Text.h"

bool GetResetMidiPath(std::string& path) {
  wchar_t module[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH * 4);
  path = ExtractFilePath(WideToUtf8(std::wstring(module, n))) + "reset.mid";
  return Platform().ItemAttributes(path) != kNoFileAttributes;
}

void PlayResetMidi(TMciPlayer& player) {
  std::string path;
  if (!GetResetMidiPath(path)) return;
  if (player.Open(path)) {
    player.Play(true);
    player.Close();
  }
}
