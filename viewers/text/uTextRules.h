// The text viewer's decisions that need no window: backspace stripping, the status and
// message texts, and find and replace over a text control seen through tTextTarget.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Removes overstrike sequences: first the run of backspaces (8) at the very start, then, for
// each backspace left, that backspace with the character before it; a backspace that has
// become the first character is removed alone. progress(position, length) is told each step.
// Returns the number of removals.
int StripBackspaces(std::u16string& text, const std::function<void(int64_t, int64_t)>& progress = {});

std::string CharCountText(int64_t chars);  // "%.0n characters "
std::string LineCountText(int64_t lines);  // "%.0n lines"
// The failure message of a decode: result 1 "damaged", 2 "incomplete".
std::string DecodeFailureText(const std::string& fileName, int result, int line);
std::string DecodeSuccessText(const std::string& fileName, const std::string& outputName,
                              const std::string& renamedName);
// "Page %d   " followed by date, two blanks, time, five blanks and the file name; % signs of
// the name are kept as they are when the page number goes in.
std::string PrintHeaderFormat(const std::string& dateText, const std::string& timeText,
                              const std::string& fileName);
std::string PrintHeaderText(const std::string& headerFormat, int page);

// A text control as find and replace see it (positions in the control's characters).
class tTextTarget {
 public:
  virtual ~tTextTarget() = default;
  virtual int64_t SelStart() = 0;
  virtual int64_t SelLength() = 0;
  virtual void SetSelection(int64_t start, int64_t length) = 0;
  virtual std::u16string SelText() = 0;
  virtual void ReplaceSelection(const std::u16string& text) = 0;
  virtual int64_t TextLength() = 0;
  // Position of the text within [start, start + length), -1 when not found.
  virtual int64_t SearchText(const std::u16string& what, int64_t start, int64_t length,
                           bool wholeWord, bool matchCase) = 0;
};

// Case-insensitive equality (letters A-Z only, as the program compares).
bool SameTextIgnoringCase(const std::u16string& a, const std::u16string& b);

// Find: skip a selection that is the text itself, search the selection or to the end, select
// what is found. False when nothing was found (the selection then is empty).
bool FindInTarget(tTextTarget& target, const std::u16string& what, bool wholeWord, bool matchCase);
// Replace (all): returns the number of replacements.
int ReplaceInTarget(tTextTarget& target, const std::u16string& what, const std::u16string& with,
                    bool wholeWord, bool matchCase, bool all);
// The operation sound after a replace: 2 one replaced, 1 all replaced, 0 nothing found.
int ReplaceSound(int count, bool all);

// A file name in an HTML page's extension, '' for other files (the view button's test).
std::string HtmlNameOf(const std::string& fileName);
