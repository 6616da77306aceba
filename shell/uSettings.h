// The user's settings: the record the first main window holds (every other unit reads them
// through `ViewerForm`), and their storage in the program's INI file. One routine moves the
// whole record, and the state of some of the window's controls, in either direction, key by key
// in a fixed order; the controls are reached through tSettingsControls, so the routine needs no
// window and the main window supplies the one implementation that touches real controls.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/uFormPlacement.h"
#include "viewers/picture/uSaveOptions.h"

class TIniFile;

struct tViewerSettings {
  bool VersionChanged = false;  // the INI file was written by another version
  uint16_t VersionNumber = 0;   // of the running version text (5.10a gives 5101)
  std::string CloneFolder;      // where a new main window starts; default the Windows drive
  bool StartWithThumbnails = false;
  int32_t Warning256Colors = 0;
  int32_t ZoomPercent = 125;     // magnifier factor
  uint16_t MonitorGamma = 220;   // gamma x 100
  int32_t MovieDisplaySize = 0;  // 0 original size; 1, 2, 3: 100%, 133%, 200% of the window width
  bool PictureErrorSound = true;
  bool MessageSounds = true;
  bool LastSlideSound = true;
  bool HexWindow = false;
  int32_t UuXxEncoding = 0;  // 0 XX, 1 UU
  int32_t OpenHtml = 0;      // 0: HTML files open as text; other: in the browser
  bool OpenDocuments = false;
  int32_t FolderHistory = 20;  // entries kept in the folder history, at least 10
  int32_t MaskHistory = 20;
  int32_t WindowPlacement = 0;  // 0 the system places windows, 1 centred
  bool MasterSwitchToggle = false;
  bool WindowlessWavs = false;  // the three hidden options
  bool StripTextfileBackspace = false;
  bool BatchFindReplace = false;
  bool SlideOriginalSize = true;
  int32_t SlidePosition = -1;  // -1 centre, 0..3 corners
  uint16_t SlideDelay = 15;    // seconds; 0 manual
  uint32_t SlideColor = 0;     // 0x00BBGGRR
  bool SlideWallpaper = false;
  std::string SlidePaper;      // wallpaper picture file
  uint16_t ParentalLevel = 0;  // 0..4
  std::string ParentalPassword;
  bool StartUpdateSound = false;
  bool EndUpdateSound = true;
  std::string ThumbnailFileName;  // default: the program file with ".thm"
  tFormBounds GalleryBounds{20, 20, 615, 316};
  int32_t GalleryPerPage = 40;
  bool FileNameKeywords = true;
  bool ThumbnailIcos = false;
  int32_t GalleryPrintSize = 0;  // 0 small, 1 medium, 2 large
  int32_t GalleryOrientation = 0;
  bool GalleryCenterPrint = false;
  std::vector<std::string> CustomColors;  // "ColorA=FFFFFF" .. "ColorP=FFFFFF"
  TSaveOptions SaveAsOptions;
  int32_t BatchPrintOrientation = 0;
  int32_t BatchPrintStyle = 1;  // 0 album page, 1 separate pictures
  int32_t BatchPrintPerPage = 1;
  int32_t BatchPrintBorder = 3;  // millimetres
  bool BatchPrintOutline = true;
  bool BatchPrintFileName = false;
  bool HiddenOptions = false;   // the hidden command-line switch was given
  int32_t OptionsPage = 0;      // the options dialog's page shown first
  uint16_t BuildDate = 0x2B41;  // DOS date: 1 October 2001
  bool Warning256Pending = false;
  bool OldBuildReminderDue = false;
};

// The record with every default, for a program file: the Windows drive as clone folder, the
// thumbnail database beside the program, sixteen white custom colours, the running version.
tViewerSettings DefaultSettings(const std::string& programFile);

// The controls whose state travels with the settings. The main window implements it over its
// controls; tPlainSettingsControls keeps the state in plain fields.
class tSettingsControls {
 public:
  virtual ~tSettingsControls() = default;
  // The window's normal (restored) bounds, and putting stored ones into effect.
  virtual tFormBounds WindowBounds() = 0;
  virtual void RestoreWindowBounds(const tFormBounds& bounds) = 0;
  // The file list's font, always copied to the folder list. Reset: Courier New, 9 points, black,
  // no style.
  virtual void ResetListFont() = 0;
  virtual std::string ListFontName() = 0;
  virtual int ListFontSize() = 0;
  virtual void SetListFont(const std::string& name, int size) = 0;
  // Header section widths as their comma text; setting them also sizes the left panel.
  virtual std::string HeaderWidths() = 0;
  virtual void SetHeaderWidths(const std::string& text) = 0;
  // The folder list's current folder; changing goes to the folder when it exists, else to a
  // fallback.
  virtual std::string CurrentFolder() = 0;
  virtual void ChangeFolder(const std::string& folder) = 0;
  // The file list's detail columns: 1 name, 2 size, 4 date, 8 time.
  virtual unsigned DetailColumns() = 0;
  virtual void SetDetailColumns(unsigned columns) = 0;
  virtual bool ShowsThumbnails() = 0;
  virtual bool MasterDown() = 0;
  virtual void SetMasterDown(bool down) = 0;
  // Order and sort buttons by letter: 'F' forward, 'B' backward, 'N' name, 'U' unsorted,
  // 'E' extension, 'S' size, 'D' date; 'H' shows hidden files. A click acts as the user's.
  virtual bool ButtonDown(char button) = 0;
  virtual void ClickButton(char button) = 0;
  virtual bool ShowHint() = 0;
  virtual void SetShowHint(bool show) = 0;
  // The combo boxes' items.
  enum tList { lsFolderHistory, lsBookmarks, lsMasks };
  virtual std::vector<std::string> ListItems(tList list) = 0;
  virtual void SetListItems(tList list, const std::vector<std::string>& items) = 0;
  virtual void ApplyParentalLevel(int level) = 0;
  // The thumbnail database's file-name-keywords flag; `field` when there is no database.
  virtual bool DatabaseFileNameKeywords(bool field) = 0;
};

class tPlainSettingsControls : public tSettingsControls {
 public:
  tFormBounds Bounds{0, 0, 630, 475};
  std::string FontName = "MS Sans Serif";
  int FontSize = 8;
  std::string Widths = "160,18,18,136,84,76,69";
  std::string Folder;
  unsigned Columns = 1 | 2 | 4 | 8;
  bool Thumbnails = false;
  bool Master = true;
  // Forward and by name after creation.
  std::string Down = "FN";
  bool Hint = true;
  std::vector<std::string> Lists[3];
  int ParentalLevelApplied = -1;
  bool HasDatabase = false;
  bool DatabaseKeywords = false;

  tFormBounds WindowBounds() override { return Bounds; }
  void RestoreWindowBounds(const tFormBounds& bounds) override { Bounds = bounds; }
  void ResetListFont() override;
  std::string ListFontName() override { return FontName; }
  int ListFontSize() override { return FontSize; }
  void SetListFont(const std::string& name, int size) override;
  std::string HeaderWidths() override { return Widths; }
  void SetHeaderWidths(const std::string& text) override { Widths = text; }
  std::string CurrentFolder() override { return Folder; }
  void ChangeFolder(const std::string& folder) override { Folder = folder; }
  unsigned DetailColumns() override { return Columns; }
  void SetDetailColumns(unsigned columns) override { Columns = columns; }
  bool ShowsThumbnails() override { return Thumbnails; }
  bool MasterDown() override { return Master; }
  void SetMasterDown(bool down) override { Master = down; }
  // The order buttons (F, B) and the sort buttons (N, U, E, S, D) are each a group of which one
  // is down; H toggles.
  bool ButtonDown(char button) override;
  void ClickButton(char button) override;
  bool ShowHint() override { return Hint; }
  void SetShowHint(bool show) override { Hint = show; }
  std::vector<std::string> ListItems(tList list) override { return Lists[list]; }
  void SetListItems(tList list, const std::vector<std::string>& items) override;
  void ApplyParentalLevel(int level) override { ParentalLevelApplied = level; }
  bool DatabaseFileNameKeywords(bool field) override;
};

// "<program>.ini" beside the program file.
std::string SettingsFileName(const std::string& programFile);

// Moves every setting between the record (with the controls) and the INI file: load reads each
// key with its default, clamps ranged values to what the options dialog allows and stores;
// save writes the current values. Sections of the window's layout and lists are skipped unless
// `interactive`. The hidden options are always read but written only with HiddenOptions.
void LoadSaveSettings(TIniFile& ini, bool load, bool interactive, const std::string& programFile,
                      tViewerSettings& settings, tSettingsControls& controls);
// The same on the program's INI file. Saving writes a complete new file in its place; false
// when that failed or the file could not be read before (it is never written then).
bool LoadSaveSettings(bool load, bool interactive, const std::string& programFile,
                      tViewerSettings& settings, tSettingsControls& controls);
