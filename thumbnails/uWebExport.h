// The web gallery export: a small static site in the pictures' own folder (a main page with a
// table of thumbnails, or a frameset with a thumbnail column and a picture frame, one page per
// picture and one JPEG thumbnail per picture). Pages are assembled line by line from fixed
// templates and never read back. The build's settings live in the section "Web Page" of the
// program's INI file.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TIniFile;
class tGraphicID;

// The colour indexes of tWebPageSettings::Colors, as the dialog's colour buttons' tags.
enum : int {
  wcMainPage = 0,
  wcMainText,
  wcMainLink,
  wcMainVisited,
  wcMainActive,
  wcThumbRow,
  wcPicturePage,
  wcPictureText,
  wcPictureLink,
  wcPictureVisited,
  wcPictureActive,
  wcCount
};

// "Link to".
enum : int { wlPicture = 0, wlPage = 1, wlWindow = 2, wlFrame = 3 };

struct tWebPageSettings {
  std::string FileName = "Page0001.html";
  std::string Title = "Tavishore 32 web page view";
  int TitleSize = 6;
  std::string Prompt = "Click a picture to view it full size";
  int PromptSize = 2;
  int MainBackground = 1;  // 0 picture, 1 plain
  std::string MainImage;
  // 00BBGGRR.
  uint32_t Colors[wcCount] = {0xFFFFFF, 0x000000, 0xFF0000, 0x800080, 0x0000FF, 0x000080,
                              0xFFFFFF, 0x000000, 0xFF0000, 0x800080, 0x0000FF};
  int ThumbSize = 80;
  int Columns = 5;
  int Border = 0;
  int Spacing = 2;
  int Frame = 1;
  int Quality = 40;
  int Margin = 0;
  bool UseRowColor = true;
  bool TooltipName = false, TooltipPicture = false, TooltipFile = false;
  bool StatusName = false, StatusPicture = false, StatusFile = false;
  int LinkTo = wlPage;
  std::string PictureTitle = "Tavishore 32 web page view";
  int PictureTitleSize = 6;
  std::string PicturePrompt = "Click here (or the picture) to go back";
  int PicturePromptSize = 2;
  bool PictureName = false;
  int PictureNameSize = 4;
  int PictureBackground = 1;
  std::string PictureImage;

  // Frames mode: "Link to" is "Frame", or one column.
  bool FramesMode() const { return LinkTo == wlFrame || Columns == 1; }
};

constexpr const char* kWebPageSection = "Web Page";

// Reads every key of the section; a missing or empty colour keeps its default, one that is not
// hexadecimal reads as 0.
void LoadWebPageSettings(const TIniFile& ini, tWebPageSettings& settings);
void SaveWebPageSettings(TIniFile& ini, const tWebPageSettings& settings);
// Keeps each number within its control's range, as the dialog's spin edits do.
void ClampWebPageSettings(tWebPageSettings& settings);

// "\"#rrggbb\"" of a colour value 00BBGGRR.
std::string WebColorText(uint32_t color);
// A file name as a relative address: spaces as "%20", and every byte that would end or bend
// the address ("#", "%", "?", quotes, "&", controls, non-ASCII) percent-encoded too.
std::string WebAddressText(const std::string& name);
// Text shown on a page (file names): the HTML specials as entities, non-ASCII as character
// references, so a page reads the same in whatever character set the browser guesses.
std::string WebHtmlText(const std::string& text);
// The user's own texts (titles, prompts) may hold markup: only non-ASCII characters become
// character references.
std::string WebUserText(const std::string& text);

// The pictures a gallery publishes from a file list's names (line 0, the folder, already
// taken off): names beginning with "(thm)" and names that are not ".gif", ".jpg" or ".jpeg"
// are left out.
std::vector<std::string> WebGalleryNames(const std::vector<std::string>& names);

// What the build needs to know of one file.
struct tWebPictureFacts {
  uint8_t FormatId = 0;
  int Width = 0, Height = 0;                // pixels
  int DisplayWidth = 0, DisplayHeight = 0;  // with the picture's aspect applied
  int64_t FileSize = 0;
  bool Gray = false;
};

// How the build reads and shrinks pictures. The plain one identifies through the format
// registry, decodes and saves a gallery JPEG through the save pipeline (its size rule, and the
// picture's comments behind the program's name as the JPEG's comment).
class tWebPictureSource {
 public:
  virtual ~tWebPictureSource() = default;
  // False when the file does not open or is no picture.
  virtual bool Identify(const std::string& path, tWebPictureFacts& facts);
  // Decodes path and writes it as a width x height JPEG at target (written beside, then
  // renamed). False when the picture yields nothing to shrink; raises when it cannot be
  // written.
  virtual bool MakeThumbnail(const std::string& path, int width, int height,
                             const std::string& target, int quality);
  // The decoder's messages go here (the dialog's window); 0: none.
  intptr_t NotifyWindow = 0;
};

// The ".jpg" thumbnail name of a picture: "(thm)name" with its extension changed.
std::string WebThumbnailName(const std::string& name);
// The picture's page name: its extension changed to ".html".
std::string WebPicturePageName(const std::string& name);

class tWebGallery {
 public:
  static constexpr uint32_t kLogBlack = 0x000000, kLogRed = 0x0000FF;

  tWebGallery(const tWebPageSettings& settings, const std::string& folder,
              std::vector<std::string> pictures, tWebPictureSource& source);

  // Writes thumbnails and pages. False (with a red log line) when the file name is blank or
  // the build was cancelled.
  // Failures of the writers raise; the files written so far stay.
  bool Build();

  // The log: colour (00BBGGRR) and line.
  std::function<void(uint32_t color, const std::string& line)> OnLog;
  // Called between thumbnails so that the window's pending messages run.
  std::function<void()> OnIdle;
  // Before each picture of the thumbnail pass: how many were looked at, of how many.
  std::function<void(int done, int total)> OnProgress;
  // Set (from OnIdle's messages) to stop after the current thumbnail: the thumbnails made so
  // far stay, no page is written and Build returns false.
  bool Cancelled = false;

  const std::vector<std::string>& Pictures() const { return pictures_; }
  int PictureCount() const { return static_cast<int>(pictures_.size()); }
  // Main page name (no folder) and the full path of the list page written last.
  std::string PageFileName;
  std::string BuiltFile;
  // The table's cell side in pixels.
  int CellSize() const;

 private:
  void Log(uint32_t color, const std::string& line);
  std::string Path(const std::string& name) const;
  std::vector<std::string> HeadLines(const std::string& title) const;
  std::string BodyLine(bool picturePage) const;
  std::string BackgroundAttribute(bool picturePage) const;
  std::string PictureCaption(const std::string& name, const tWebPictureFacts& facts, bool withName,
                             bool withSize, bool withBytes) const;
  std::string StatusBarHandler(const std::string& name, const tWebPictureFacts& facts) const;
  // False when cancelled.
  bool MakeThumbnails();
  void WritePicturePage(const std::string& name, const std::string& pageName,
                        const tWebPictureFacts& facts);
  void SaveLines(std::vector<std::string> lines, const std::string& name);

  tWebPageSettings s_;
  std::string folder_;
  std::vector<std::string> pictures_;
  std::vector<tWebPictureFacts> facts_;  // of each name left in pictures_
  tWebPictureSource& source_;
};
