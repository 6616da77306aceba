// Most-recently-used lists: a combo box's items kept as a history, and such lists stored in an
// INI section as the keys "H0", "H1", ... up to the first empty value. The lists are plain
// string lists here; the combo box wrapper hands its items in and takes them back.
#pragma once
#include <string>
#include <vector>

class TIniFile;

// Clears the list, reads "H0", "H1", ... to the first empty value, then adds `extra` at the end
// when it is not empty and not in the list yet.
void ReadIniHistory(const TIniFile& ini, const std::string& section, const std::string& extra,
                    std::vector<std::string>& list);
// Erases the section and writes the list (and `extra`, when it is not empty and not in the list)
// as "H0", "H1", ... An empty list with no extra text leaves the section as it is.
void WriteIniHistory(TIniFile& ini, const std::string& section, const std::string& extra,
                     const std::vector<std::string>& list);
// Puts the trimmed text at the top of the items (moving it up when it is already there), then
// deletes items from the bottom, sparing `kept`, while there are more than maxCount. Returns the
// item to select: 0, or -1 when the text was empty and nothing changed.
int AddComboHistory(std::vector<std::string>& items, int maxCount, const std::string& text,
                    const std::string& kept);
// The index of the text in the list, ignoring ASCII case; -1 when it is not there.
int IndexOfText(const std::vector<std::string>& list, const std::string& text);
