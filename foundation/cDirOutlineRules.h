// The folder outline's decisions that need no window: where a folder name goes among a node's
// sorted children, the path of a node from the texts on its way down from the root, and the
// folder names that lead from a drive root to a folder.
#pragma once
#include <string>
#include <vector>

// The place for a new child among children kept in ordinal (case-sensitive, byte) order: not
// greater than the first goes first, not less than the last goes last, else before the first
// child that is not less than the name.
int OutlineInsertIndex(const std::vector<std::string>& children, const std::string& name);
// The texts from the root ("c:\") down to a node joined with "\", the doubled backslash after
// the drive reduced to one: {"c:\", "windows", "system"} gives "c:\windows\system".
std::string OutlineItemPath(const std::vector<std::string>& texts);
// The folder names below the drive root: "c:\windows\system" gives {"windows", "system"}; a
// drive root gives none.
std::vector<std::string> OutlinePathParts(const std::string& path);
