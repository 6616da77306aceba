#include "thumbnails/uScriptEditor.h"

#include "foundation/uFormat.h"

tScriptSaveTarget ScriptSaveTarget(int loadedNumber, const std::string& loadedTitle,
                                   const std::string& title, bool linesChanged, int freeNumber) {
  tScriptSaveTarget target;
  if (loadedNumber <= 0 || title != loadedTitle) {
    target.Number = freeNumber;
    return target;
  }
  target.Number = loadedNumber;
  target.Replaced = loadedNumber;
  target.AskReplace = linesChanged;
  return target;
}

void MoveSelected(std::vector<std::string>& from, std::vector<bool>& selected,
                  std::vector<std::string>& to) {
  std::vector<std::string> kept;
  for (size_t i = 0; i < from.size(); ++i) {
    if (i < selected.size() && selected[i])
      to.push_back(std::move(from[i]));
    else
      kept.push_back(std::move(from[i]));
  }
  from.swap(kept);
  selected.assign(from.size(), false);
}

void MoveWithin(std::vector<std::string>& list, size_t from, size_t to) {
  if (from >= list.size()) return;
  std::string entry = std::move(list[from]);
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(from));
  if (to > list.size()) to = list.size();
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(to), std::move(entry));
}

bool ShuffleScript(std::vector<std::string>& lines, const tShuffler::tClock& clock) {
  return lines.size() >= 6 && ShuffleList(lines, clock);
}

std::vector<std::string> OfferedFiles(const std::vector<std::string>& list) {
  std::vector<std::string> files;
  for (size_t i = 1; i < list.size(); ++i) files.push_back(Format("%s%s", {list[0], list[i]}));
  return files;
}
