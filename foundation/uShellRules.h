// The shell wrappers' decisions that need no shell: the names of the shell's error codes, the
// system sound of each message type, and the flags each file operation passes.
#pragma once
#include <cstdint>
#include <string>

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
// Recycling asks no question on fixed drives (the program has asked), but on removable (2) and
// remote (4) drives, where the shell deletes for good, the shell's question stays.
unsigned NoConfirmFlagFor(int driveType);
unsigned DeleteFlags(bool recycle, int driveType);
unsigned MoveFlags(bool allowUndo);
unsigned CopyFlags(bool renameOnCollision);
unsigned MoveRenamingFlags(bool allowUndo);
