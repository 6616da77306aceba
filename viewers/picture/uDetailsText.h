// What the details window shows of a picture's information lines, its caption and size, and
// the small rules of the full-or-clip dialog and the comments editor.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/uUtil.h"

struct tDetailLine {
  std::string Text;
  uint32_t Color = 0;  // 0x00BBGGRR
};

// The lines to show: each information line's first character, upper-cased, is its kind and is
// removed; kinds "G" and "M" are optional (counted, shown only with all); "B" is blue, "G"
// green, "R" red, anything else black.
std::vector<tDetailLine> DetailLines(const std::vector<std::string>& info, bool all,
                                     int& optionalCount);
// "%s details" with the file name without folder, plus " and comments" when it has remarks.
std::string DetailsCaption(const std::string& fileName, bool hasRemarks);
// Rows of text the window is made tall for: the line count limited to 5..20.
int DetailsRows(int lineCount);

// A selection under 8 x 8 pixels means the whole picture without asking.
bool ClipTooSmall(const TRect& clip);
// The one comments file of the program: the program file with the extension ".cmt".
std::string CommentsFileName(const std::string& programFile);
// The caption of the comments editor for the comments it starts with.
std::string CommentsCaption(const std::string& comments);
