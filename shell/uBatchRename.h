// The new names of batch rename: one rule per page of the dialog, and the loop that renames
// the tagged files in list order, counting the renames that succeed (the sequence numbers
// follow that count, so a failed rename does not use up a number).
#pragma once
#include <functional>
#include <string>
#include <vector>

enum tRenamePage : int { rpCase = 0, rpBase = 1, rpExtension = 2, rpReplace = 3, rpSequence = 4 };

struct tBatchRenameParams {
  int Page = rpCase;
  int CaseIndex = 1;  // 0 "UPPERCASE", 1 "lowercase"
  std::string Base;
  std::string Extension;
  std::string Find, Replace;
  std::string Part1, Part2, SequenceExtension;
  int Start = 1;
  int Digits = 2;  // 1..8
  bool LeadingZeros = false;
};

// The extension as typed: trimmed; empty stays empty; "." is cleared unless keepDot; any other
// text gets a "." in front when it has none.
std::string NormaliseExtension(const std::string& text, bool keepDot);
// The new name of one file; false when the page does nothing with these settings (empty base
// or find text). renamed: the renames that succeeded so far.
bool BatchNewName(const tBatchRenameParams& params, const std::string& oldName, int renamed,
                  std::string& newName);
// A name that can be a file name in the folder itself: not empty, not "." or "..", no folder
// separators, drive colon, wildcard, quote, angle bracket, bar or control character, and no
// trailing blank or dot (which Windows drops silently).
bool IsPlainFileName(const std::string& name);

// Renames old -> new in the current folder; true on success.
using tRenameFile = std::function<bool(const std::string& oldName, const std::string& newName)>;
// Called after each successful rename.
using tRenamed = std::function<void(const std::string& oldName, const std::string& newName)>;
// Renames every name whose new name differs (case-sensitive); new names that are no plain file
// name are skipped as failed. Returns the count of successful renames.
int RunBatchRename(const tBatchRenameParams& params, const std::vector<std::string>& names,
                   const tRenameFile& rename, const tRenamed& renamed);
