#include "shell/uSettings.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "foundation/uFiles.h"
#include "foundation/uIniFile.h"
#include "foundation/uIniHistory.h"
#include "foundation/uRegistry.h"
#include "foundation/uUtil.h"
#include "imaging/uGraphic.h"
#include "resources/uResStrings.h"

namespace {

// One run of LoadSaveSettings.
struct tPass {
  TIniFile& Ini;
  bool Load;
  bool Interactive;
  tViewerSettings& S;
  tViewerSettings& Defaults;  // only read
  tSettingsControls& Controls;
};

enum class tKind { Bool, Byte, Int, Word, Color, Text, Step };
enum : unsigned {
  kInteractive = 1,  // the whole entry is skipped unless the window is interactive
  kHidden = 2,       // always read, written only with HiddenOptions
};

// One key of the file, in file order, or a step that moves control state or several keys.
struct tSettingKey {
  const char* Section;
  const char* Key;
  tKind Kind;
  unsigned Flags;
  void* (*Field)(tViewerSettings&);
  int32_t Min, Max;  // load clamps Int and Word values when Min < Max
  void (*Step)(tPass&);
};

template <class T>
constexpr tKind KindOf() {
  if constexpr (std::is_same_v<T, bool>)
    return tKind::Bool;
  else if constexpr (std::is_same_v<T, uint8_t>)
    return tKind::Byte;
  else if constexpr (std::is_same_v<T, int32_t>)
    return tKind::Int;
  else if constexpr (std::is_same_v<T, uint16_t>)
    return tKind::Word;
  else if constexpr (std::is_same_v<T, uint32_t>)
    return tKind::Color;
  else {
    static_assert(std::is_same_v<T, std::string>, "no INI kind for this field type");
    return tKind::Text;
  }
}

#define FIELD(f) [](tViewerSettings& s) -> void* { return &s.f; }
#define KEY_R(sec, key, f, flags, lo, hi)                                                      \
  tSettingKey {                                                                                \
    sec, key, KindOf<decltype(std::declval<tViewerSettings&>().f)>(), flags, FIELD(f), lo, hi, \
        nullptr                                                                                \
  }
#define KEY(sec, key, f) KEY_R(sec, key, f, 0, 0, 0)
#define KEY_F(sec, key, f, flags) KEY_R(sec, key, f, flags, 0, 0)
#define STEP(fn, flags) \
  tSettingKey { nullptr, nullptr, tKind::Step, flags, nullptr, 0, 0, fn }

std::string IdentitySection() { return LoadResString(sProgramName); }

void VersionStep(tPass& p) {
  const std::string version = LoadResString(sVersionText);
  p.S.VersionNumber = static_cast<uint16_t>(VersionNumberOf(version));
  if (p.Load) {
    p.S.VersionChanged = p.Ini.ReadString(IdentitySection(), "Version", kRegNone) != version;
  } else if (ReadInstalledVersion(IdentitySection()) == version) {
    // Only the installed version marks the file as its own: a copy run from elsewhere leaves
    // the "new version" notice for the installed one.
    p.Ini.WriteString(IdentitySection(), "Version", version);
  }
}

// Moves an integer through a key: read with the default, store; or write the value.
void MoveInt(tPass& p, const char* section, const char* key, int32_t& value, int32_t def) {
  if (p.Load)
    value = p.Ini.ReadInteger(section, key, def);
  else
    p.Ini.WriteInteger(section, key, value);
}

void MainWindowStep(tPass& p) {
  const char* section = "Main Window";
  tFormBounds b = p.Controls.WindowBounds();
  const tFormBounds current = b;
  MoveInt(p, section, "Left", b.Left, current.Left);
  MoveInt(p, section, "Top", b.Top, current.Top);
  MoveInt(p, section, "Width", b.Width, current.Width);
  MoveInt(p, section, "Height", b.Height, current.Height);
  if (p.Load) {
    p.Controls.RestoreWindowBounds(b);
    p.Controls.ResetListFont();
    std::string name = p.Ini.ReadString(section, "Font Name", p.Controls.ListFontName());
    int size = p.Ini.ReadInteger(section, "Font Size", p.Controls.ListFontSize());
    p.Controls.SetListFont(name, size);
  } else {
    p.Ini.WriteString(section, "Font Name", p.Controls.ListFontName());
    p.Ini.WriteInteger(section, "Font Size", p.Controls.ListFontSize());
  }
}

void ColumnWidthsStep(tPass& p) {
  if (p.Load) {
    std::string text = p.Ini.ReadString("Directory", "Column widths", "160,18,18,136,84,76,69");
    if (text.size() > 255) text.resize(255);
    p.Controls.SetHeaderWidths(text);
  } else {
    p.Ini.WriteString("Directory", "Column widths", p.Controls.HeaderWidths());
  }
}

void LastFolderStep(tPass& p) {
  if (p.Load)
    p.Controls.ChangeFolder(p.Ini.ReadString("Directory", "Last", WindowsDrive()));
  else
    p.Ini.WriteString("Directory", "Last", p.Controls.CurrentFolder());
}

void ColumnsStep(tPass& p) {
  static const std::pair<const char*, unsigned> kColumns[] = {
      {"File size", 2}, {"File date", 4}, {"File time", 8}};
  if (p.Load) {
    unsigned columns = 1;
    for (auto& [key, bit] : kColumns)
      if (p.Ini.ReadBool("Directory", key, true)) columns |= bit;
    p.Controls.SetDetailColumns(columns);
  } else {
    unsigned columns = p.Controls.DetailColumns();
    for (auto& [key, bit] : kColumns) p.Ini.WriteBool("Directory", key, (columns & bit) != 0);
  }
}

void ThumbnailsAndButtonsStep(tPass& p) {
  if (p.Load) {
    p.S.StartWithThumbnails =
        p.Ini.ReadBool("Directory", "Thumbnails", p.Defaults.StartWithThumbnails);
    p.Controls.SetMasterDown(p.Ini.ReadBool("Directory", "Thumbnail master switch", true));
    for (char c : p.Ini.ReadString("Directory", "Buttons", "FN")) {
      c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
      // F and N are the state after creation; anything else is no button.
      if (std::string_view("BUESDH").find(c) != std::string_view::npos) p.Controls.ClickButton(c);
    }
  } else {
    p.Ini.WriteBool("Directory", "Thumbnails", p.Controls.ShowsThumbnails());
    p.Ini.WriteBool("Directory", "Thumbnail master switch", p.Controls.MasterDown());
    std::string buttons;
    if (p.Controls.ButtonDown('H')) buttons += 'H';
    buttons += p.Controls.ButtonDown('F') ? 'F' : 'B';
    for (char c : std::string_view("UNESD"))
      if (p.Controls.ButtonDown(c)) {
        buttons += c;
        break;
      }
    p.Ini.WriteString("Directory", "Buttons", buttons);
  }
}

void PictureOptionsStep(tPass& p) {
  static const std::tuple<const char*, uint16_t, bool> kBits[] = {
      {"Display interlace", goDisplayInterlace, false},
      {"High quality", goHighQuality, true},
      {"Standard aspect", goStandardAspect, false}};
  const char* section = "Graphic display";
  if (p.Load) {
    uint16_t options = 0;
    for (auto& [key, bit, def] : kBits)
      if (p.Ini.ReadBool(section, key, def)) options |= bit;
    GraphicOptions = options;
  } else {
    for (auto& [key, bit, def] : kBits) p.Ini.WriteBool(section, key, (GraphicOptions & bit) != 0);
  }
}

void ToolTipStep(tPass& p) {
  if (p.Load)
    p.Controls.SetShowHint(p.Ini.ReadBool("Preferences", "Tool tip", true));
  else
    p.Ini.WriteBool("Preferences", "Tool tip", p.Controls.ShowHint());
}

void MoveList(tPass& p, const char* section, tSettingsControls::tList list) {
  if (p.Load) {
    std::vector<std::string> items;
    ReadIniHistory(p.Ini, section, "", items);
    p.Controls.SetListItems(list, items);
  } else {
    WriteIniHistory(p.Ini, section, "", p.Controls.ListItems(list));
  }
}

void HistoryStep(tPass& p) {
  MoveList(p, "History", tSettingsControls::lsFolderHistory);
  // So that after loading the current folder heads the list.
  std::vector<std::string> items = p.Controls.ListItems(tSettingsControls::lsFolderHistory);
  AddComboHistory(items, p.S.FolderHistory, p.Controls.CurrentFolder(), "");
  p.Controls.SetListItems(tSettingsControls::lsFolderHistory, items);
}

void BookmarksStep(tPass& p) { MoveList(p, "Bookmarks", tSettingsControls::lsBookmarks); }
void MasksStep(tPass& p) { MoveList(p, "Custom masks", tSettingsControls::lsMasks); }

void ParentalStep(tPass& p) { p.Controls.ApplyParentalLevel(p.S.ParentalLevel); }

void FileNameKeywordsStep(tPass& p) {
  if (p.Load)
    p.S.FileNameKeywords =
        p.Ini.ReadBool("Gallery", "File name keywords", p.Defaults.FileNameKeywords);
  else
    p.Ini.WriteBool("Gallery", "File name keywords",
                    p.Controls.DatabaseFileNameKeywords(p.S.FileNameKeywords));
}

// A colour dialog's "no colour" is stored as eight digits by some versions.
std::string CustomColorText(std::string value) { return value == "FFFFFFFF" ? "FFFFFF" : value; }

void CustomColorsStep(tPass& p) {
  const char* section = "Custom colors";
  if (p.Load) {
    p.S.CustomColors.clear();
    for (char c = 'A'; c <= 'P'; ++c) {
      std::string key = std::string("Color") + c;
      p.S.CustomColors.push_back(key + "=" +
                                 CustomColorText(p.Ini.ReadString(section, key, "FFFFFF")));
    }
  } else {
    for (const std::string& line : p.S.CustomColors) {
      size_t eq = line.find('=');
      if (eq == std::string::npos || eq == 0) continue;
      p.Ini.WriteString(section, line.substr(0, eq), CustomColorText(line.substr(eq + 1)));
    }
  }
}

void SaveOptionsResetStep(tPass& p) {
  if (p.Load) p.S.SaveAsOptions = p.Defaults.SaveAsOptions;
}

// Ranges are those of the options and save dialogs: a value from an edited or damaged file
// must not reach code that divides by it or indexes with it.
const tSettingKey kSettingKeys[] = {
    STEP(VersionStep, 0),
    STEP(MainWindowStep, kInteractive),
    STEP(ColumnWidthsStep, kInteractive),
    STEP(LastFolderStep, kInteractive),
    KEY_F("Directory", "Last (2)", CloneFolder, kInteractive),
    STEP(ColumnsStep, kInteractive),
    STEP(ThumbnailsAndButtonsStep, kInteractive),
    KEY("Graphic display", "Warning 256 colors", Warning256Colors),
    STEP(PictureOptionsStep, 0),
    // The magnifier works in quarters of the zoom: 100 % is screen scale, below it nothing.
    KEY_R("Graphic display", "Zoom percent", ZoomPercent, 0, 100, 300),
    KEY_R("Graphic display", "Monitor gamma", MonitorGamma, 0, 20, 800),
    KEY_R("Movies", "Display size", MovieDisplaySize, 0, 0, 3),
    KEY("Preferences", "Picture error sound", PictureErrorSound),
    KEY("Preferences", "Message sounds", MessageSounds),
    KEY("Preferences", "Last slide sound", LastSlideSound),
    KEY("Preferences", "Hexidecimal Window", HexWindow),
    STEP(ToolTipStep, 0),
    KEY_R("Preferences", "UU/XX encoding", UuXxEncoding, 0, 0, 1),
    KEY("Preferences", "open HTML", OpenHtml),
    KEY("Preferences", "Open Documents", OpenDocuments),
    KEY_R("Preferences", "Folder History", FolderHistory, 0, 10, 100),
    KEY_R("Preferences", "Custom Mask History", MaskHistory, 0, 10, 100),
    KEY_R("Preferences", "Window placement", WindowPlacement, 0, 0, 1),
    KEY("Preferences", "Master switch toggle", MasterSwitchToggle),
    KEY_F("Preferences", "Windowless WAVs", WindowlessWavs, kHidden),
    KEY_F("Preferences", "Strip Textfile backspace", StripTextfileBackspace, kHidden),
    KEY_F("Preferences", "Batch Find and Replace", BatchFindReplace, kHidden),
    STEP(HistoryStep, kInteractive),
    STEP(BookmarksStep, kInteractive),
    STEP(MasksStep, kInteractive),
    KEY("Slide shows", "Original size", SlideOriginalSize),
    KEY_R("Slide shows", "Position", SlidePosition, 0, -1, 3),
    KEY_R("Slide shows", "Delay", SlideDelay, 0, 0, 60),
    KEY("Slide shows", "Color", SlideColor),
    KEY("Slide shows", "Wallpaper", SlideWallpaper),
    KEY("Slide shows", "Paper", SlidePaper),
    KEY_R("Parental controls", "Level", ParentalLevel, 0, 0, 4),
    KEY("Parental controls", "Password", ParentalPassword),
    STEP(ParentalStep, 0),
    KEY("Thumbnails", "Start update sound", StartUpdateSound),
    KEY("Thumbnails", "End update sound", EndUpdateSound),
    KEY_F("Thumbnails", "File name", ThumbnailFileName, kHidden),
    KEY("Gallery", "Left", GalleryBounds.Left),
    KEY("Gallery", "Top", GalleryBounds.Top),
    KEY("Gallery", "Width", GalleryBounds.Width),
    KEY("Gallery", "Height", GalleryBounds.Height),
    KEY_R("Gallery", "Per page", GalleryPerPage, 0, 10, 1000),
    STEP(FileNameKeywordsStep, 0),
    KEY("Gallery", "Thumbnail ICOs", ThumbnailIcos),
    KEY_R("Gallery", "Print size", GalleryPrintSize, 0, 0, 2),
    KEY("Gallery", "Orientation", GalleryOrientation),
    KEY("Gallery", "Center print", GalleryCenterPrint),
    STEP(CustomColorsStep, 0),
    STEP(SaveOptionsResetStep, 0),
    KEY_R("Save As", "Format", SaveAsOptions.Format, 0, sfGIF, sfPNG),
    KEY("Save As", "Compressed", SaveAsOptions.Compressed),
    KEY("Save As", "Interlaced", SaveAsOptions.Interlaced),
    KEY_R("Save As", "BMP style", SaveAsOptions.BmpStyle, 0, 0, 2),
    KEY_R("Save As", "JPEG quality", SaveAsOptions.JpegQuality, 0, 1, 100),
    KEY("Save As", "store PNG gamma", SaveAsOptions.StorePngGamma),
    KEY_R("Save As", "PNG gamma", SaveAsOptions.PngGamma, 0, 20, 800),
    KEY_F("Save As", "Loftwright", SaveAsOptions.ShowHidden, kHidden),
    KEY_R("Save As", "Batch size", SaveAsOptions.BatchSize, 0, bsOriginalSize, bsRescaleAll),
    // The batch size edits take four digits.
    KEY_R("Save As", "Batch width", SaveAsOptions.BatchWidth, 0, 1, 9999),
    KEY_R("Save As", "Batch height", SaveAsOptions.BatchHeight, 0, 1, 9999),
    KEY("Batch print", "Orientation", BatchPrintOrientation),
    KEY_R("Batch print", "Style", BatchPrintStyle, 0, 0, 1),
    KEY_R("Batch print", "Per page setting", BatchPrintPerPage, 0, 0, 3),
    KEY_R("Batch print", "Border", BatchPrintBorder, 0, 0, 5),
    KEY("Batch print", "Outline", BatchPrintOutline),
    KEY("Batch print", "File name", BatchPrintFileName),
};

int32_t Clamped(const tSettingKey& k, int32_t v) {
  return k.Min < k.Max ? std::clamp(v, k.Min, k.Max) : v;
}

template <class T>
T& At(const tSettingKey& k, tViewerSettings& s) {
  return *static_cast<T*>(k.Field(s));
}

void LoadKey(tPass& p, const tSettingKey& k) {
  tViewerSettings& d = p.Defaults;
  switch (k.Kind) {
    case tKind::Bool:
      At<bool>(k, p.S) = p.Ini.ReadBool(k.Section, k.Key, At<bool>(k, d));
      break;
    case tKind::Byte:
      At<uint8_t>(k, p.S) = p.Ini.ReadBool(k.Section, k.Key, At<uint8_t>(k, d) != 0) ? 1 : 0;
      break;
    case tKind::Int:
      At<int32_t>(k, p.S) = Clamped(k, p.Ini.ReadInteger(k.Section, k.Key, At<int32_t>(k, d)));
      break;
    case tKind::Word:
      At<uint16_t>(k, p.S) = static_cast<uint16_t>(
          Clamped(k, p.Ini.ReadInteger(k.Section, k.Key, At<uint16_t>(k, d))));
      break;
    case tKind::Color: {
      // Six hexadecimal digits; anything else is black.
      int32_t v = 0;
      std::string text = p.Ini.ReadString(k.Section, k.Key, "000000");
      if (!IniTextToInt("$" + text, v)) v = 0;
      At<uint32_t>(k, p.S) = static_cast<uint32_t>(v);
      break;
    }
    case tKind::Text:
      At<std::string>(k, p.S) = p.Ini.ReadString(k.Section, k.Key, At<std::string>(k, d));
      break;
    case tKind::Step:
      break;
  }
}

void SaveKey(tPass& p, const tSettingKey& k) {
  if ((k.Flags & kHidden) && !p.S.HiddenOptions) return;
  switch (k.Kind) {
    case tKind::Bool:
      p.Ini.WriteBool(k.Section, k.Key, At<bool>(k, p.S));
      break;
    case tKind::Byte:
      p.Ini.WriteBool(k.Section, k.Key, At<uint8_t>(k, p.S) != 0);
      break;
    case tKind::Int:
      p.Ini.WriteInteger(k.Section, k.Key, At<int32_t>(k, p.S));
      break;
    case tKind::Word:
      p.Ini.WriteInteger(k.Section, k.Key, At<uint16_t>(k, p.S));
      break;
    case tKind::Color: {
      char text[16];
      std::snprintf(text, sizeof text, "%.6x", static_cast<unsigned>(At<uint32_t>(k, p.S)));
      p.Ini.WriteString(k.Section, k.Key, text);
      break;
    }
    case tKind::Text:
      p.Ini.WriteString(k.Section, k.Key, At<std::string>(k, p.S));
      break;
    case tKind::Step:
      break;
  }
}

}  // namespace

tViewerSettings DefaultSettings(const std::string& programFile) {
  tViewerSettings s;
  s.VersionNumber = static_cast<uint16_t>(VersionNumberOf(LoadResString(sVersionText)));
  s.CloneFolder = WindowsDrive();
  std::string ext = ExtractFileExt(programFile);
  s.ThumbnailFileName = programFile.substr(0, programFile.size() - ext.size()) + ".thm";
  for (char c = 'A'; c <= 'P'; ++c) s.CustomColors.push_back(std::string("Color") + c + "=FFFFFF");
  return s;
}

std::string SettingsFileName(const std::string& programFile) {
  std::string ext = ExtractFileExt(programFile);
  return programFile.substr(0, programFile.size() - ext.size()) + ".ini";
}

void tPlainSettingsControls::ResetListFont() {
  FontName = "Courier New";
  FontSize = 9;
}

void tPlainSettingsControls::SetListFont(const std::string& name, int size) {
  FontName = name;
  FontSize = size;
}

namespace {
constexpr std::string_view kOrderButtons = "FB";
constexpr std::string_view kSortButtons = "NUESD";
}  // namespace

bool tPlainSettingsControls::ButtonDown(char button) {
  return Down.find(button) != std::string::npos;
}

void tPlainSettingsControls::ClickButton(char button) {
  if (button == 'H') {
    size_t at = Down.find('H');
    if (at == std::string::npos)
      Down += 'H';
    else
      Down.erase(at, 1);
    return;
  }
  for (std::string_view group : {kOrderButtons, kSortButtons}) {
    if (group.find(button) == std::string_view::npos) continue;
    std::erase_if(Down, [&](char c) { return group.find(c) != std::string_view::npos; });
    Down += button;
  }
}

void tPlainSettingsControls::SetListItems(tList list, const std::vector<std::string>& items) {
  Lists[list] = items;
}

bool tPlainSettingsControls::DatabaseFileNameKeywords(bool field) {
  return HasDatabase ? DatabaseKeywords : field;
}

void LoadSaveSettings(TIniFile& ini, bool load, bool interactive, const std::string& programFile,
                      tViewerSettings& settings, tSettingsControls& controls) {
  tViewerSettings defaults = DefaultSettings(programFile);
  tPass p{ini, load, interactive, settings, defaults, controls};
  for (const tSettingKey& k : kSettingKeys) {
    if ((k.Flags & kInteractive) && !interactive) continue;
    if (k.Kind == tKind::Step)
      k.Step(p);
    else if (load)
      LoadKey(p, k);
    else
      SaveKey(p, k);
  }
}

bool LoadSaveSettings(bool load, bool interactive, const std::string& programFile,
                      tViewerSettings& settings, tSettingsControls& controls) {
  TIniFile ini(SettingsFileName(programFile));
  LoadSaveSettings(ini, load, interactive, programFile, settings, controls);
  return load || ini.UpdateFile();
}
