// The slide show script library. Scripts are titled lists of picture and music files with show
// settings of their own: their settings live in the program INI (section "Scripts", keys
// numbered by script), their lines in one small INI file per script beside it
// ("Script 00007.ini" holds script 7, section "Script 7", keys "Line 1", "Line 2", ...).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char* kFreeScriptTitle = "(none)";
// Script numbers run from 1 up to this limit (exclusive).
inline constexpr int kScriptNumberLimit = 30000;

// What a script keeps besides its lines.
struct tScriptSettings {
  std::string Title;
  bool Hidden = false;
  bool OriginalSize = true;
  int32_t Delay = 20;    // seconds per picture; 0 = manual show
  uint32_t Color = 0;    // 0x00BBGGRR
  bool Wallpaper = false;
  std::string Paper;     // background picture file
};

// The library on one program INI. Restricted, it hides the scripts marked hidden.
struct tVList {
  std::string IniPath;
  bool Restricted = false;
};

enum tScriptMode : int {
  smList = 0,          // list the scripts as "title [n]"; number := the first free number
  smRead = 1,          // settings and lines of script n
  smWrite = 2,         // write script n (number: the script it replaces, if any)
  smDelete = 3,        // free script n
  smReadForShow = 4,   // as smRead, without title and hidden flag
};

// One library operation. `number` is the script worked on; `other` is the free number that
// smList returns, and for smWrite the number of the script being replaced (0 for none).
// False when the operation could not be done: smWrite refuses an empty title or the title that
// marks free numbers, and a number outside 1..29999; writes report a file that could not be
// saved.
bool ScriptLibraryEntry(const tVList& library, tScriptMode mode, int number,
                        tScriptSettings& settings, int& other, std::vector<std::string>& lines);

// The lines file of script n: the INI's folder, "Script ", n in five digits, ".ini".
std::string ScriptLinesFileName(const tVList& library, int n);
// "title [n]", and the number back from the last word of such an entry (0 when there is none).
std::string ScriptEntryText(const std::string& title, int n);
int ScriptEntryNumber(const std::string& entry);

// The lines of a script file as the screen saver takes them: the first section of the file,
// keys "Line 1", "Line 2", ... up to the first empty or missing value.
std::vector<std::string> ReadScriptFileLines(const std::string& fileName);

// Colours as the INI keeps them: six hexadecimal digits; any text that is no hexadecimal
// number reads as 0 (black).
std::string ColorToIniText(uint32_t color);
uint32_t IniTextToColor(const std::string& text);
