// The Windows shell behind uniform wrappers: opening a document with its program, copying,
// moving, recycling and deleting files with the shell's own progress, questions and undo, making
// shortcuts, finding special folders, and playing a message type's system sound. Every wrapper
// answers with a Boolean or an error text.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "foundation/uShellRules.h"

// Opens the file with its registered program; false with the error's name in errorText.
bool ShellOpen(const std::string& fileName, std::string& errorText);
// The program the shell opens the file with ('' when none).
std::string ShellFindExecutable(const std::string& fileName);

// One shell file operation on the names of the list (when given) or the one name; names are
// taken as they are. Returns the shell's result: 0 only when all was done; ERROR_CANCELLED
// when the user stopped any part of it.
int ShellFileOperation(const std::string& name, const std::vector<std::string>* list,
                       const std::string* destination, unsigned flags, unsigned operation);
// The shell's drive type of the volume the path lies on (0 when it names none).
int PathDriveType(const std::string& path);
// FOF_NOCONFIRMATION on a local fixed or RAM drive, else 0 (NoConfirmFlagFor).
unsigned NoConfirmFlag(const std::string& path);
// The flags DeleteFiles passes (DeleteFlags): recycling asks no question only when every name
// lies on a local drive.
unsigned DeleteFilesFlags(const std::string& name, const std::vector<std::string>* list,
                          bool recycle);
bool DeleteFiles(const std::string& name, const std::vector<std::string>* list, bool recycle);
bool MoveFiles(const std::string& name, const std::vector<std::string>* list,
               const std::string& destination, bool allowUndo);
bool CopyFiles(const std::string& name, const std::vector<std::string>* list,
               const std::string& destination, bool renameOnCollision);
bool MoveFileRenaming(const std::string& name, const std::string& destination, bool allowUndo);
bool CopyFileRenaming(const std::string& name, const std::string& destination);

// A shortcut file (its extension made ".lnk") to the target; empty texts leave their setting at
// the default, and a show command of 10 or more too. Nothing without a link file or a target;
// false when the link could not be saved.
bool CreateShortcut(const std::string& linkFile, const std::string& target,
                    const std::string& description, const std::string& arguments,
                    const std::string& workingFolder, const std::string& iconFile, int iconIndex,
                    int showCommand, unsigned short hotKey);
// The folder of a CSIDL value; '' when the shell has no such folder.
std::string GetSpecialFolderPath(int folder);

// The system sound of a message type (0 to 3) when sound is on, asynchronously.
void PlayDialogSound(bool soundOn, int messageType);
// Who plays a system sound by its event name; empty: the system. The tests put a recorder
// here, as there is no sound device to hear. Returns the one it replaces.
using TDialogSoundPlayer = std::function<void(const std::string& soundName)>;
TDialogSoundPlayer SetDialogSoundPlayer(TDialogSoundPlayer player);
