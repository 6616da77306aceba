#include "foundation/uShellRules.h"

#include <algorithm>
#include <cctype>

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"

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
  return driveType == 3 || driveType == 6 ? kFofNoConfirmation : 0u;
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

std::string PathVolumeRoot(const std::string& path) {
  std::string p = path;
  std::replace(p.begin(), p.end(), '/', '\\');
  // "\\?\X:\..." and "\\?\UNC\server\share\..." are the long forms of the two kinds.
  if (p.compare(0, 4, "\\\\?\\") == 0 || p.compare(0, 4, "\\\\.\\") == 0) {
    p.erase(0, 4);
    if (p.size() >= 4 && (p.compare(0, 4, "UNC\\") == 0 || p.compare(0, 4, "unc\\") == 0))
      p.replace(0, 3, "\\");
  }
  if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0])))
    return p.substr(0, 2) + "\\";
  if (p.compare(0, 2, "\\\\") != 0) return {};
  // A network root needs a server and a share.
  const size_t server = p.find('\\', 2);
  if (server == std::string::npos || server == 2) return {};
  const size_t share = p.find('\\', server + 1);
  const std::string root = p.substr(0, share);
  return root.size() > server + 1 ? root + "\\" : std::string();
}

std::vector<std::string> CollisionFreeTargets(const std::vector<std::string>& items,
                                              const std::string& destination,
                                              const std::function<bool(const std::string&)>& taken) {
  std::vector<std::string> targets, given;
  auto inUse = [&](const std::string& name) {
    for (const std::string& g : given)
      if (Platform().CompareTextLocale(g, name) == 0) return true;
    return taken(JoinPath(destination, name));
  };
  for (const std::string& item : items) {
    const std::string name = ExtractFileName(RemoveBackslash(item));
    std::string target = name;
    for (int n = 1; inUse(target); ++n)
      target = n == 1 ? "Copy of " + name : Format("Copy (%d) of %s", {n, name});
    given.push_back(target);
    targets.push_back(JoinPath(destination, target));
  }
  return targets;
}
