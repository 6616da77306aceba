#include "foundation/uShellRules.h"

std::string ShellErrorText(intptr_t code) {
  if (code > 32) return {};
  static const struct {
    intptr_t code;
    const char* name;
  } kNames[] = {
      {2, "ERROR_FILE_NOT_FOUND"},
      {3, "ERROR_PATH_NOT_FOUND"},
      {11, "ERROR_BAD_FORMAT"},
      {5, "SE_ERR_ACCESSDENIED"},
      {27, "SE_ERR_ASSOCINCOMPLETE"},
      {30, "SE_ERR_DDEBUSY"},
      {29, "SE_ERR_DDEFAIL"},
      {28, "SE_ERR_DDETIMEOUT"},
      {32, "SE_ERR_DLLNOTFOUND"},
      {31, "SE_ERR_NOASSOC"},
      {8, "SE_ERR_OOM"},
      {26, "SE_ERR_SHARE"},
  };
  for (const auto& n : kNames)
    if (n.code == code) return n.name;
  return "Undefined error";
}

std::string DialogSoundName(int messageType) {
  static const char* const kSounds[] = {"SystemExclamation", "SystemHand", "SystemAsterisk",
                                        "SystemQuestion"};
  if (messageType < 0 || messageType > 3) return {};
  return kSounds[messageType];
}

unsigned NoConfirmFlagFor(int driveType) {
  return driveType == 2 || driveType == 4 ? 0u : kFofNoConfirmation;
}

unsigned DeleteFlags(bool recycle, int driveType) {
  return recycle ? kFofAllowUndo | NoConfirmFlagFor(driveType) : 0u;
}

unsigned MoveFlags(bool allowUndo) { return allowUndo ? kFofAllowUndo : 0u; }

unsigned CopyFlags(bool renameOnCollision) {
  return renameOnCollision ? kFofRenameOnCollision : 0u;
}

unsigned MoveRenamingFlags(bool allowUndo) {
  return kFofRenameOnCollision | (allowUndo ? kFofAllowUndo : 0u);
}
