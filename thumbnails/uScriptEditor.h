// The script editor's decisions, apart from its window: which number a script is saved under,
// and how entries move between and within the file lists.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "thumbnails/uShuffler.h"

struct tScriptSaveTarget {
  int Number = 0;        // 0: nothing can be saved
  bool AskReplace = false;  // "Replace "title"?" first
  int Replaced = 0;      // the number being replaced (the library's smWrite `other`)
};

// loadedNumber 0: no script loaded. A changed title saves a new script under the free number;
// the loaded script under its own title replaces itself (after asking when its lines changed).
tScriptSaveTarget ScriptSaveTarget(int loadedNumber, const std::string& loadedTitle,
                                   const std::string& title, bool linesChanged, int freeNumber);

// Moves the selected entries, in list order, to the end of the other list.
void MoveSelected(std::vector<std::string>& from, std::vector<bool>& selected,
                  std::vector<std::string>& to);
// Moves one entry to another position of the same list (dropped at `to`; past the end: last).
void MoveWithin(std::vector<std::string>& list, size_t from, size_t to);
// Shuffles a script of 6 or more lines; shorter ones keep their order. True when it shuffled.
bool ShuffleScript(std::vector<std::string>& lines, const tShuffler::tClock& clock = {});
// The offered files: a list whose entry 0 is a folder and the rest names, as full paths.
std::vector<std::string> OfferedFiles(const std::vector<std::string>& list);
