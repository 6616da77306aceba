#include "foundation/uShell.h"

#include <windows.h>

#include <mmsystem.h>
#include <shellapi.h>
#include <shlobj.h>

#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Text.h"

namespace {
TDialogSoundPlayer& SoundPlayer() {
  static TDialogSoundPlayer player;
  return player;
}

// COM for the calls of one routine; left as it was found.
class TComScope {
 public:
  TComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~TComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }

 private:
  HRESULT hr_;
};

HWND ApplicationWindow() { return Application.MainForm ? Application.MainForm->Handle() : nullptr; }

// NUL-separated names closed by a second NUL, in UTF-16.
std::wstring NulList(const std::string& name, const std::vector<std::string>* list) {
  std::vector<char> bytes = StringsToNulList(name, list);
  return Utf8ToWide(std::string(bytes.begin(), bytes.end()));
}
}  // namespace

bool ShellOpen(const std::string& fileName, std::string& errorText) {
  // The first release of Windows 95 takes the name only unquoted.
  std::string name = IsWin95First() ? fileName : "\"" + fileName + "\"";
  HINSTANCE result =
      ShellExecuteW(nullptr, L"open", Utf8ToWide(name).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  errorText = ShellErrorText(reinterpret_cast<intptr_t>(result));
  return errorText.empty();
}

std::string ShellFindExecutable(const std::string& fileName) {
  return FindAssociatedProgram(fileName);
}

namespace {
int RunFileOperation(const std::wstring& from, const std::wstring* to, unsigned flags,
                     unsigned operation) {
  SHFILEOPSTRUCTW op{};
  op.hwnd = ApplicationWindow();
  op.wFunc = operation;
  op.pFrom = from.c_str();
  op.pTo = to ? to->c_str() : nullptr;
  op.fFlags = static_cast<FILEOP_FLAGS>(flags);
  int result = SHFileOperationW(&op);
  // A user's No or Cancel can come back as 0 with only the abort flag set.
  if (result == 0 && op.fAnyOperationsAborted) result = ERROR_CANCELLED;
  return result;
}
}  // namespace

int ShellFileOperation(const std::string& name, const std::vector<std::string>* list,
                       const std::string* destination, unsigned flags, unsigned operation) {
  const std::wstring to = destination ? Utf8ToWide(*destination) + std::wstring(2, L'\0') : L"";
  return RunFileOperation(NulList(name, list), destination ? &to : nullptr, flags, operation);
}

int PathDriveType(const std::string& path) {
  // The volume the path really lies on: a folder mounted from another disk, or a network share,
  // is not the drive of the path's first letter.
  std::wstring root;
  wchar_t volume[MAX_PATH + 1] = {};
  if (!path.empty() && GetVolumePathNameW(Utf8ToWide(path).c_str(), volume, MAX_PATH))
    root = volume;
  else
    root = Utf8ToWide(PathVolumeRoot(path));
  return root.empty() ? 0 : static_cast<int>(GetDriveTypeW(root.c_str()));
}

unsigned NoConfirmFlag(const std::string& path) { return NoConfirmFlagFor(PathDriveType(path)); }

unsigned DeleteFilesFlags(const std::string& name, const std::vector<std::string>* list,
                          bool recycle) {
  if (!recycle) return DeleteFlags(false, 0);
  // The question is skipped only when every name lies on a local drive.
  int type = 0;
  if (list && !list->empty()) {
    for (const std::string& item : *list) {
      type = PathDriveType(item);
      if (NoConfirmFlagFor(type) == 0) break;
    }
  } else {
    type = PathDriveType(name);
  }
  return DeleteFlags(true, type);
}

bool DeleteFiles(const std::string& name, const std::vector<std::string>* list, bool recycle) {
  return ShellFileOperation(name, list, nullptr, DeleteFilesFlags(name, list, recycle), kFoDelete) ==
         0;
}

namespace {
// Renaming on a collision: into an existing folder each item gets its own target, named here
// (see CollisionFreeTargets); a destination that is no folder is the new name itself.
int RenamingOperation(const std::string& name, const std::vector<std::string>* list,
                      const std::string& destination, unsigned flags, unsigned operation) {
  if (!FolderExists(destination))
    return ShellFileOperation(name, list, &destination, flags, operation);
  const std::vector<std::string> items = list && !list->empty() ? *list
                                                                  : std::vector<std::string>{name};
  const std::vector<std::string> targets =
      CollisionFreeTargets(items, destination, [](const std::string& path) {
        return Platform().ItemAttributes(path) != kNoFileAttributes;
      });
  const std::wstring to = NulList("", &targets);
  return RunFileOperation(NulList("", &items), &to, flags | kFofMultiDestFiles, operation);
}
}  // namespace

bool MoveFiles(const std::string& name, const std::vector<std::string>* list,
               const std::string& destination, bool allowUndo) {
  return ShellFileOperation(name, list, &destination, MoveFlags(allowUndo), kFoMove) == 0;
}

bool CopyFiles(const std::string& name, const std::vector<std::string>* list,
               const std::string& destination, bool renameOnCollision) {
  if (renameOnCollision)
    return RenamingOperation(name, list, destination, CopyFlags(true), kFoCopy) == 0;
  return ShellFileOperation(name, list, &destination, CopyFlags(false), kFoCopy) == 0;
}

bool MoveFileRenaming(const std::string& name, const std::string& destination, bool allowUndo) {
  return RenamingOperation(name, nullptr, destination, MoveRenamingFlags(allowUndo), kFoMove) == 0;
}

bool CopyFileRenaming(const std::string& name, const std::string& destination) {
  return RenamingOperation(name, nullptr, destination, kFofRenameOnCollision, kFoCopy) == 0;
}

bool CreateShortcut(const std::string& linkFile, const std::string& target,
                    const std::string& description, const std::string& arguments,
                    const std::string& workingFolder, const std::string& iconFile, int iconIndex,
                    int showCommand, unsigned short hotKey) {
  if (linkFile.empty() || target.empty()) return false;
  TComScope com;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))))
    return false;
  link->SetPath(Utf8ToWide(target).c_str());
  if (!description.empty()) link->SetDescription(Utf8ToWide(description).c_str());
  if (!arguments.empty()) link->SetArguments(Utf8ToWide(arguments).c_str());
  if (!workingFolder.empty()) link->SetWorkingDirectory(Utf8ToWide(workingFolder).c_str());
  if (!iconFile.empty()) link->SetIconLocation(Utf8ToWide(iconFile).c_str(), iconIndex);
  if (showCommand < 10) link->SetShowCmd(showCommand);
  link->SetHotkey(hotKey);
  bool saved = false;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    std::string name = linkFile.substr(0, linkFile.size() - ExtractFileExt(linkFile).size());
    saved = SUCCEEDED(file->Save(Utf8ToWide(name + ".lnk").c_str(), TRUE));
    file->Release();
  }
  link->Release();
  return saved;
}

std::string GetSpecialFolderPath(int folder) {
  LPITEMIDLIST items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, folder, &items)) || !items) return {};
  wchar_t path[MAX_PATH] = {};
  bool found = SHGetPathFromIDListW(items, path) != FALSE;
  IMalloc* shellMalloc = nullptr;
  if (SUCCEEDED(SHGetMalloc(&shellMalloc))) {
    shellMalloc->Free(items);
    shellMalloc->Release();
  }
  return found ? WideToUtf8(path) : std::string();
}

void PlayDialogSound(bool soundOn, int messageType) {
  if (!soundOn) return;
  std::string name = DialogSoundName(messageType);
  if (name.empty()) return;
  if (SoundPlayer())
    SoundPlayer()(name);
  else
    sndPlaySoundW(Utf8ToWide(name).c_str(), SND_ASYNC);
}

TDialogSoundPlayer SetDialogSoundPlayer(TDialogSoundPlayer player) {
  TDialogSoundPlayer old = std::move(SoundPlayer());
  SoundPlayer() = std::move(player);
  return old;
}
