// The shell wrappers' decisions that need no shell: the names of the shell's error codes, the
// system sound of each message type, and the flags each file operation passes.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// '' for a code above 32 (success); else the name of the code, or "Undefined error".
std::string ShellErrorText(intptr_t code);

// The system sound of a message type: 0 warning "SystemExclamation", 1 error "SystemHand",
// 2 information "SystemAsterisk", 3 confirmation "SystemQuestion"; '' for any other type.
std::string DialogSoundName(int messageType);

// Shell file operations and flags, as the shell numbers them.
enum : unsigned {
  kFoMove = 1,
  kFoCopy = 2,
  kFoDelete = 3,
  kFofRenameOnCollision = 8,
  kFofNoConfirmation = 16,
  kFofAllowUndo = 64,
};
// Recycling asks no question on fixed (3) and RAM (6) drives (the program has asked). On every
// other drive type, unknown (0) and no root (1) included, the shell may delete for good (network
// shares, removable disks), so the shell's question stays.
unsigned NoConfirmFlagFor(int driveType);
unsigned DeleteFlags(bool recycle, int driveType);
// The root of the volume a full path lies on, as the shell's drive test takes it: "X:\" for a
// drive path, "\\server\share\" for a network path (also in the "\\?\" forms); '' when
// the path names no volume (a relative path, a bare server).
std::string PathVolumeRoot(const std::string& path);
unsigned MoveFlags(bool allowUndo);
unsigned CopyFlags(bool renameOnCollision);
unsigned MoveRenamingFlags(bool allowUndo);

// Copying or moving with renaming on a collision: the target of each item in the destination
// folder. An item whose name is in use there (taken, or given to an earlier item of the same
// operation; any case) becomes "Copy of NAME", then "Copy (2) of NAME" and so on. The shell of
// some systems asks to replace the item instead, which copies a file onto itself: the program
// names the targets itself everywhere.
std::vector<std::string> CollisionFreeTargets(const std::vector<std::string>& items,
                                              const std::string& destination,
                                              const std::function<bool(const std::string&)>& taken);
// Operation flag: the targets are given one for each item.
enum : unsigned { kFofMultiDestFiles = 1 };
