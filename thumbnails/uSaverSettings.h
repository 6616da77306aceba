// The screen saver's settings: section "Screen Saver" of the main program's INI file. The main
// program writes it from its screen saver settings window; the screen saver only reads it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct tScreenSaverSettings {
  int32_t ScriptNumber = 0;  // 0 or less: nothing to show
  std::string ScriptFileName;
  uint32_t Color = 0;  // 0x00BBGGRR
  bool Wallpaper = false;
  std::string Paper;
  int32_t Delay = 30;
  int32_t Mode = 0;  // 0 centred, 1 corner cycle, 2 float
  bool OriginalSize = true;
  bool Random = false;
  int32_t Position = -1;  // start of the corner cycle: -1 centre, 0..3 the corners
  int32_t FloatSpeed = 64;
  int32_t FloatX = 4;
  int32_t FloatY = 3;
};

enum : int32_t { kSaverCentered = 0, kSaverCycle = 1, kSaverFloat = 2 };

// The INI file beside a program: its path with the extension changed to ".ini".
std::string ProgramIniPath(const std::string& programPath);

// Reads (every missing key as its default) or writes (every key) the section of the INI of the
// program at programPath. Writing gives false when the file could not be saved.
bool ScreenSaverIni(bool read, const std::string& programPath, tScreenSaverSettings& settings);

// The decoder options the screen saver runs with: standard aspect only when the main program's
// "Graphic display"/"Standard aspect" is on, else unchanged. The main program keeps its own.
uint16_t SaverGraphicOptions(const std::string& programPath, uint16_t current);

// The settings window's limits and texts.
inline constexpr int32_t kSaverDelayMin = 5, kSaverDelayMax = 120;
inline constexpr int32_t kFloatSpeedMin = 20, kFloatSpeedMax = 250, kFloatSpeedStep = 5;
inline constexpr int32_t kFloatStepMin = 1, kFloatStepMax = 25;
// "title (n entries in file)".
std::string SaverScriptTitle(const std::string& title, size_t lines, const std::string& file);
// The colour dialog's custom colours as the settings keep them ("ColorA=FFFFFF" .. "ColorP=..."):
// 16 colours, white where a text is missing or no colour.
void CustomColorsFromTexts(const std::vector<std::string>& texts, uint32_t (&colors)[16]);
std::vector<std::string> CustomColorsToTexts(const uint32_t (&colors)[16]);
