// The options dialog's model: every value its pages edit, read from the settings when the dialog
// opens and written back on OK in a fixed order, the parental password rule of its password box,
// and the texts of its database statistics page. The dialog mirrors these values in controls; the
// steps that reach outside the settings record (fonts, associations, shortcuts, the tray icon,
// closing the program) go through tOptionsActions, so the order is the model's, not the form's.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/uInstall.h"
#include "shell/uSettings.h"

struct TThumbnailStats;

inline constexpr int kOptionsPages = 11;
inline constexpr int kOptionsPrivatePage = 10;
// The help context of the form and its Help button: 1001 + page, 1000 before a page is chosen.
inline constexpr int OptionsHelpContext(int page) { return page < 0 ? 1000 : 1001 + page; }

struct tOptionsValues {
  // Preferences
  int32_t FolderHistory = 20, MaskHistory = 20;
  bool PictureErrorSound = true, StartUpdateSound = false, EndUpdateSound = true;
  bool MessageSounds = true, LastSlideSound = true, HexWindow = false, ShowHint = true;
  int32_t UuXxEncoding = 0, OpenHtml = 0, WindowPlacement = 0;
  bool OpenDocuments = false;
  // Associations: the row bits of the association table.
  uint32_t Associations = 0;
  // Graphic display
  bool Interlace = false, HighQuality = false, StandardAspect = false;
  int32_t ZoomPercent = 125, MonitorGamma = 220;
  // Movies
  int32_t MovieDisplaySize = 0;
  // Slide show
  int32_t SlideDelay = 15;
  bool SlideOriginalSize = true;
  uint32_t SlideColor = 0;
  bool SlideWallpaper = false;
  std::string SlidePaper;
  // Thumbnail options
  int32_t GalleryPerPage = 40;
  bool ThumbnailIcos = false, FileNameKeywords = true, MasterSwitchToggle = false;
  std::vector<std::string> OmittedFolders;
  // Parental controls: the level radios and the password box's text.
  int32_t ParentalLevel = 0;
  std::string PasswordText;
  // Shortcut boxes, by TShortcutKind.
  std::array<bool, kShortcutKinds> Shortcuts{};
  // Private
  std::string ThumbnailFileName;
  bool Loftwright = false, WindowlessWavs = false, StripTextfileBackspace = false;
  bool BatchFindReplace = false;
};

// What the dialog keeps from its opening to compare on OK.
struct tOptionsOpening {
  uint32_t Associations = 0;
  std::array<bool, kShortcutKinds> Shortcuts{};
  std::vector<std::string> OmittedFolders;
};

// The values the dialog shows for the settings (with the decoder options, the association mask,
// the show-hint flag and the shortcuts that exist); the password box starts empty.
tOptionsValues OptionsFromSettings(const tViewerSettings& settings, uint16_t graphicOptions,
                                   uint32_t associations, bool showHint,
                                   const std::array<bool, kShortcutKinds>& shortcuts);

// The steps of OK that reach outside the settings record.
class tOptionsActions {
 public:
  virtual ~tOptionsActions() = default;
  virtual void ApplyListFont() = 0;
  virtual void SetShowHint(bool show) = 0;
  virtual void ChangeAssociations(uint32_t oldMask, uint32_t newMask) = 0;
  virtual void SetOmittedFolders(const std::vector<std::string>& folders) = 0;
  virtual void SetFileNameKeywords(bool on) = 0;
  virtual void CreateShortcut(TShortcutKind kind) = 0;
  virtual void RemoveShortcut(TShortcutKind kind) = 0;
  virtual void SetTrayIcon(bool on) = 0;
  // The program closes (and saves the settings) once the dialog has gone.
  virtual void CloseProgram() = 0;
};

// OK: writes every value back in the fixed order (settings, list font, associations when the mask
// changed, the decoder options as exactly their three bits, level and password, shortcuts that
// changed with the tray icon, then the private page and the program's closing when the hidden
// options are on) and sets OptionsPage to the page shown last (0 after the private page).
void ApplyOptions(const tOptionsValues& values, const tOptionsOpening& opening, int pageShown,
                  tViewerSettings& settings, uint16_t& graphicOptions, tOptionsActions& actions);

// The password box when the user leaves it. `stored` is the dialog's copy of the stored password.
struct tPasswordOutcome {
  std::string EditText;  // what the box shows afterwards
  bool Unlock = false;   // the level group is enabled
};
tPasswordOutcome PasswordExit(const std::string& typed, std::string& stored);

// The statistics page's lines, in order: size, record sizes, file sizes, records, data bytes,
// display and compression (empty with at most one record), the compression percentage, the next
// volume label, the update count.
struct tStatisticsTexts {
  std::string Size, RecordSizes, FileSizes, Records, DataBytes, Displayed, Compression, NextLabel,
      Updates;
  bool PackEnabled = false;
};
// Null statistics (no database) give empty texts.
tStatisticsTexts StatisticsTexts(const TThumbnailStats* stats);

// The size radio's number for a database size code: 13 - code.
inline int ThumbSizeNumber(int sizeCode) { return 13 - sizeCode; }
