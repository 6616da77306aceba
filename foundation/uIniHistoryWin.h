// A combo box's items as a most-recently-used history, and such a history kept in the INI file.
#pragma once
#include <string>

#include "framework/ComboBox.h"

class TIniFile;

// Puts the trimmed text at the top of the items (moving it up when it is there), cuts the items
// to maxCount from the bottom sparing `kept`, and selects the top item. An empty text: nothing.
void AddComboHistory(TComboBox& combo, int maxCount, const std::string& text,
                     const std::string& kept);
// The combo's items from the section's "H0", "H1", ... (and `extra` at the end when missing),
// and back.
void ReadIniHistory(const TIniFile& ini, const std::string& section, const std::string& extra,
                    TComboBox& combo);
void WriteIniHistory(TIniFile& ini, const std::string& section, const std::string& extra,
                     const TComboBox& combo);
