#include "thumbnails/uSaverSettings.h"

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uIniFile.h"
#include "imaging/uGraphic.h"
#include "thumbnails/uScriptLibrary.h"

namespace {
constexpr const char* kSection = "Screen Saver";
}

std::string ProgramIniPath(const std::string& programPath) {
  const std::string ext = ExtractFileExt(programPath);
  return programPath.substr(0, programPath.size() - ext.size()) + ".ini";
}

bool ScreenSaverIni(bool read, const std::string& programPath, tScreenSaverSettings& s) {
  TIniFile ini(ProgramIniPath(programPath));
  if (read) {
    const tScreenSaverSettings d;
    s.ScriptNumber = ini.ReadInteger(kSection, "Script number", d.ScriptNumber);
    s.ScriptFileName = ini.ReadString(kSection, "Script file name", d.ScriptFileName);
    s.Color = IniTextToColor(ini.ReadString(kSection, "Color", "000000"));
    s.Wallpaper = ini.ReadBool(kSection, "Wallpaper", d.Wallpaper);
    s.Paper = ini.ReadString(kSection, "Paper", d.Paper);
    s.Delay = ini.ReadInteger(kSection, "Delay", d.Delay);
    s.Mode = ini.ReadInteger(kSection, "Mode", d.Mode);
    s.OriginalSize = ini.ReadBool(kSection, "Original size", d.OriginalSize);
    s.Random = ini.ReadBool(kSection, "Random", d.Random);
    s.Position = ini.ReadInteger(kSection, "Position", d.Position);
    s.FloatSpeed = ini.ReadInteger(kSection, "Float speed", d.FloatSpeed);
    s.FloatX = ini.ReadInteger(kSection, "Float X", d.FloatX);
    s.FloatY = ini.ReadInteger(kSection, "Float Y", d.FloatY);
    return true;
  }
  ini.WriteInteger(kSection, "Script number", s.ScriptNumber);
  ini.WriteString(kSection, "Script file name", s.ScriptFileName);
  ini.WriteString(kSection, "Color", ColorToIniText(s.Color));
  ini.WriteBool(kSection, "Wallpaper", s.Wallpaper);
  ini.WriteString(kSection, "Paper", s.Paper);
  ini.WriteInteger(kSection, "Delay", s.Delay);
  ini.WriteInteger(kSection, "Mode", s.Mode);
  ini.WriteBool(kSection, "Original size", s.OriginalSize);
  ini.WriteBool(kSection, "Random", s.Random);
  ini.WriteInteger(kSection, "Position", s.Position);
  ini.WriteInteger(kSection, "Float speed", s.FloatSpeed);
  ini.WriteInteger(kSection, "Float X", s.FloatX);
  ini.WriteInteger(kSection, "Float Y", s.FloatY);
  return ini.UpdateFile();
}

uint16_t SaverGraphicOptions(const std::string& programPath, uint16_t current) {
  TIniFile ini(ProgramIniPath(programPath));
  return ini.ReadBool("Graphic display", "Standard aspect", false) ? goStandardAspect : current;
}

std::string SaverScriptTitle(const std::string& title, size_t lines, const std::string& file) {
  return Format("%s (%d entries in %s)", {title, static_cast<int64_t>(lines), file});
}

void CustomColorsFromTexts(const std::vector<std::string>& texts, uint32_t (&colors)[16]) {
  for (auto& c : colors) c = 0xFFFFFF;
  for (const auto& text : texts) {
    // "ColorX=hex": X names the slot A..P.
    if (text.size() < 8 || text.compare(0, 5, "Color") != 0 || text[6] != '=') continue;
    const int slot = text[5] - 'A';
    if (slot < 0 || slot >= 16) continue;
    std::string hex = "$";
    hex.append(text, 7, std::string::npos);
    int32_t value = 0;
    if (IniTextToInt(hex, value)) colors[slot] = static_cast<uint32_t>(value) & 0xFFFFFF;
  }
}

std::vector<std::string> CustomColorsToTexts(const uint32_t (&colors)[16]) {
  std::vector<std::string> texts;
  for (int i = 0; i < 16; ++i)
    texts.push_back(Format("Color%s=%.6x", {std::string(1, char('A' + i)), colors[i] & 0xFFFFFF}));
  return texts;
}
