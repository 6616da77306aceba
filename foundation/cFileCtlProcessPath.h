// The browser controls work through the process's current directory: these read and change it
// (errors ignored by the callers), and split a typed path into drive, folder and file name.
#pragma once
#include <string>

std::string ProcessDirectory();
bool SetProcessDirectory(const std::string& path);
// "C:" of "C:\A", "\\server\share" of "\\server\share\A"; '' without a drive.
std::string ExtractFileDrive(const std::string& path);

// Splits a path as the user typed it: the drive letter (0 for a network path), the folder and
// the file name. "[label]" names a volume, whose folder is the label's inside. A last name that
// is neither a pattern nor an existing file is taken as a folder. Relative parts are read
// against the current directory, which is the same afterwards.
void ProcessPath(const std::string& text, char& drive, std::string& folder, std::string& fileName);
