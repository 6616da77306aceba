// Find and replace over the tagged text files: each file is read whole, every occurrence of the
// find text (ignoring case) replaced, and a changed file written beside the old one and renamed
// over it when complete, every other byte kept as it was. The log the dialog shows is built
// here as coloured pieces of lines.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Log colours as Win32 COLORREF values (blue in the high byte).
enum : uint32_t {
  kLogBlack = 0x000000,
  kLogBlue = 0xFF0000,
  kLogGreen = 0x008000,
  kLogRed = 0x0000FF,
  kLogGrey = 0x808080,
};

struct tLogPiece {
  std::string Text;
  uint32_t Color = kLogBlack;
};
using tLogLine = std::vector<tLogPiece>;

// Replaces in one file; the count of replacements (0: the file is untouched). Throws
// std::runtime_error with the reason when the file cannot be read or the new one written.
int ReplaceInFile(const std::string& path, const std::string& find, const std::string& replace);

struct tFindReplaceResult {
  std::vector<tLogLine> Log;
  int ChangedFiles = 0;
  std::string Error;  // the read or write error that ended the run, '' when none
};
// The "Go" run over folder + names; nothing at all for an empty find text.
tFindReplaceResult RunFindReplace(const std::string& folder, const std::vector<std::string>& names,
                                  const std::string& find, const std::string& replace);
