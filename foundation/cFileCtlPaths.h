// The folder list's, drive combo's, filter combo's and path label's decisions that need no
// window: the filter text's pairs, paths shortened to a width, the rows of the folder list and
// the path each row stands for, and the drive combo's item texts.
#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

// The (item text, mask) pairs of a filter "All files|*.*|Pictures|*.gif;*.jpg". A last item text
// without "|" after it is dropped.
std::vector<std::pair<std::string, std::string>> ParseFilter(const std::string& filter);

// The path shortened step by step ("C:\...\Summer\beach.gif", "...\beach.gif", "beach.gif")
// until its text width fits, or as short as it gets.
std::string MinimizePath(const std::string& path,
                         const std::function<int(const std::string&)>& width, int maxWidth);

// The folder list's rows for a folder: the parts of its path (the first of a drive path with
// its backslash, "C:\"; a network path's share root as one row), the last part being the
// current folder.
enum tDirRowKind { drPath, drCurrent, drSubfolder };
struct tDirRow {
  std::string Text;
  tDirRowKind Kind;
};
std::vector<tDirRow> DirPathRows(const std::string& directory);
// The indent in pixels of a row: 4 x row + 2 for path rows and the current row, 4 x (the
// folder's backslashes + 1) + 2 for subfolders.
int DirRowIndent(const std::vector<tDirRow>& rows, int index, const std::string& directory);
// The folder a row stands for.
std::string DirItemPath(const std::vector<tDirRow>& rows, int index, const std::string& directory);

// Volume label texts of the drive combo: "[label]" in the case of the drive letter, "[]" for
// none.
std::string VolumeText(const std::string& label, bool lowerCase);
// The item of a drive in the combo by its type: "x:" for removable drives, "x: text" for fixed
// (3), remote (4), CD-ROM (5) and RAM (6) drives; '' for types that are not listed.
std::string DriveItemText(char letter, int driveType, const std::string& text);
