#include "thumbnails/uWebExport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uIniFile.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"
#include "imaging/uGraphic.h"
#include "viewers/picture/uSavePicture.h"

namespace {

constexpr const char* kGenerator = "Tavishore 32";
constexpr const char* kDigits = "0123456789abcdef";

std::string Printf(const char* format, auto... values) {
  const int n = std::snprintf(nullptr, 0, format, values...);
  std::string text(static_cast<size_t>(std::max(n, 0)), '\0');
  std::snprintf(text.data(), text.size() + 1, format, values...);
  return text;
}

std::string ChangeExtension(const std::string& name, const std::string& extension) {
  const std::string old = ExtractFileExt(name);
  return name.substr(0, name.size() - old.size()) + extension;
}

bool SameText(const std::string& a, const std::string& b) {
  return Platform().CompareTextLocale(a, b) == 0;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The code point of the UTF-8 sequence at text[i] (advancing i); a byte that starts no valid
// sequence becomes U+FFFD.
uint32_t NextCodePoint(const std::string& text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  const uint8_t b = byte(i);
  int extra = b >= 0xF0 && b <= 0xF4 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : -1;
  if (extra < 0 || i + static_cast<size_t>(extra) >= text.size()) {
    ++i;
    return 0xFFFD;
  }
  uint32_t cp = b & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  i += static_cast<size_t>(extra) + 1;
  return cp;
}

// Non-ASCII characters as "&#N;", the rest through plain().
std::string ReferenceText(const std::string& text, const std::function<void(char, std::string&)>& plain) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    if (static_cast<uint8_t>(text[i]) < 0x80) {
      plain(text[i++], out);
    } else {
      out += Printf("&#%u;", static_cast<unsigned>(NextCodePoint(text, i)));
    }
  }
  return out;
}

// A text inside a single-quoted JavaScript string.
std::string ScriptText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '\'') out += '\\';
    out += c;
  }
  return out;
}

uint32_t ReadColor(const TIniFile& ini, const std::string& key, uint32_t fallback) {
  const std::string text = ini.ReadString(kWebPageSection, key, "");
  if (text.empty()) return fallback;
  if (text.size() > 8) return 0;
  uint32_t value = 0;
  for (char c : text) {
    const char* at = std::strchr(kDigits, LowerChar(c));
    if (c == 0 || at == nullptr) return 0;
    value = value * 16 + static_cast<uint32_t>(at - kDigits);
  }
  return value;
}

void WriteColor(TIniFile& ini, const std::string& key, uint32_t color) {
  ini.WriteString(kWebPageSection, key, Printf("%.6x", static_cast<unsigned>(color)));
}

const char* const kColorKeys[wcCount] = {
    "Main page",     "Main text",    "Main link",    "Main visited",    "Main active",
    "Thumbnail color", "Picture page", "Picture text", "Picture link", "Picture visited",
    "Picture active"};

// Every key in its stored order, as one list that reading and writing share: the visitor is
// called with (key, field) for texts, numbers and flags, and Color (key, value) for colours.
template <typename Visitor>
void VisitSettings(tWebPageSettings& s, Visitor& v) {
  const auto colors = [&](int first, int last) {
    for (int i = first; i <= last; ++i) v.Color(kColorKeys[i], s.Colors[i]);
  };
  v("File name", s.FileName);
  v("Title", s.Title);
  v("Title size", s.TitleSize);
  v("Prompt", s.Prompt);
  v("Prompt size", s.PromptSize);
  v("Main background", s.MainBackground);
  v("Main image", s.MainImage);
  colors(wcMainPage, wcMainActive);
  v("Thumbnail size", s.ThumbSize);
  v("Thumbnail columns", s.Columns);
  v("Thumbnail border", s.Border);
  v("Thumbnail spacing", s.Spacing);
  v("Thumbnail frame", s.Frame);
  v("Thumbnail quality", s.Quality);
  v("Thumbnail margin", s.Margin);
  colors(wcThumbRow, wcThumbRow);
  v("Thumbnail use color", s.UseRowColor);
  v("Tooltip name", s.TooltipName);
  v("Tooltip picture", s.TooltipPicture);
  v("Tooltip file", s.TooltipFile);
  v("Status bar name", s.StatusName);
  v("Status bar picture", s.StatusPicture);
  v("Status bar file", s.StatusFile);
  v("Link to", s.LinkTo);
  v("Picture title", s.PictureTitle);
  v("Picture title size", s.PictureTitleSize);
  v("Picture prompt", s.PicturePrompt);
  v("Picture prompt size", s.PicturePromptSize);
  v("Picture name", s.PictureName);
  v("Picture name size", s.PictureNameSize);
  v("Picture background", s.PictureBackground);
  v("Picture image", s.PictureImage);
  colors(wcPicturePage, wcPictureActive);
}

struct tSettingsReader {
  const TIniFile& ini;
  void operator()(const char* key, std::string& value) {
    value = ini.ReadString(kWebPageSection, key, value);
  }
  void operator()(const char* key, int& value) {
    value = ini.ReadInteger(kWebPageSection, key, value);
  }
  void operator()(const char* key, bool& value) {
    value = ini.ReadBool(kWebPageSection, key, value);
  }
  void Color(const char* key, uint32_t& value) { value = ReadColor(ini, key, value); }
};

struct tSettingsWriter {
  TIniFile& ini;
  void operator()(const char* key, const std::string& value) {
    ini.WriteString(kWebPageSection, key, value);
  }
  void operator()(const char* key, int value) { ini.WriteInteger(kWebPageSection, key, value); }
  void operator()(const char* key, bool value) { ini.WriteBool(kWebPageSection, key, value); }
  void Color(const char* key, uint32_t value) { WriteColor(ini, key, value); }
};

}  // namespace

void LoadWebPageSettings(const TIniFile& ini, tWebPageSettings& settings) {
  tSettingsReader reader{ini};
  VisitSettings(settings, reader);
  ClampWebPageSettings(settings);
}

void SaveWebPageSettings(TIniFile& ini, const tWebPageSettings& settings) {
  tWebPageSettings copy = settings;
  tSettingsWriter writer{ini};
  VisitSettings(copy, writer);
}

void ClampWebPageSettings(tWebPageSettings& s) {
  const auto clamp = [](int& value, int low, int high) { value = std::clamp(value, low, high); };
  clamp(s.TitleSize, 1, 7);
  clamp(s.PromptSize, 1, 7);
  clamp(s.MainBackground, 0, 1);
  clamp(s.ThumbSize, 32, 200);
  clamp(s.Border, 0, 4);
  clamp(s.Frame, 0, 4);
  clamp(s.Quality, 5, 95);
  clamp(s.Spacing, 0, 16);
  clamp(s.Margin, 0, 16);
  clamp(s.Columns, 1, 20);
  clamp(s.LinkTo, wlPicture, wlFrame);
  clamp(s.PictureTitleSize, 1, 7);
  clamp(s.PicturePromptSize, 1, 7);
  clamp(s.PictureNameSize, 1, 7);
  clamp(s.PictureBackground, 0, 1);
}

std::string WebColorText(uint32_t color) {
  const uint32_t rgb = ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
  return Printf("\"#%.6x\"", static_cast<unsigned>(rgb));
}

std::string WebAddressText(const std::string& name) {
  std::string out;
  for (char ch : name) {
    const auto c = static_cast<uint8_t>(ch);
    if (c <= 0x20 || c >= 0x7F || std::strchr("\"#%&'<>?`^{|}\\", ch) != nullptr) {
      out += '%';
      out += static_cast<char>(std::toupper(kDigits[c >> 4]));
      out += static_cast<char>(std::toupper(kDigits[c & 15]));
    } else {
      out += ch;
    }
  }
  return out;
}

std::string WebHtmlText(const std::string& text) {
  return ReferenceText(text, [](char c, std::string& out) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  });
}

std::string WebUserText(const std::string& text) {
  return ReferenceText(text, [](char c, std::string& out) { out += c; });
}

std::vector<std::string> WebGalleryNames(const std::vector<std::string>& names) {
  std::vector<std::string> out;
  for (const std::string& name : names) {
    if (SameText(name.substr(0, 5), "(thm)")) continue;
    const std::string ext = ExtractFileExt(name);
    if (SameText(ext, ".gif") || SameText(ext, ".jpg") || SameText(ext, ".jpeg"))
      out.push_back(name);
  }
  return out;
}

std::string WebThumbnailName(const std::string& name) {
  return ChangeExtension("(thm)" + name, ".jpg");
}

std::string WebPicturePageName(const std::string& name) { return ChangeExtension(name, ".html"); }

// ---- the plain picture source

namespace {
// minimumSide: a JPEG may be decoded at a reduced scale that keeps this many pixels on each
// side (0: whole).
std::unique_ptr<tGraphicID> OpenPicture(const std::string& path, int minimumSide = 0) {
  std::unique_ptr<TStream> file = OpenFileStream(path);
  if (!file) return nullptr;
  auto* stream = new tBuffStream(path, std::move(file), false);
  auto id = std::make_unique<tGraphicID>(stream);
  id->MinimumSide = minimumSide;
  if (!id->IdentifyPicture()) {
    delete stream;
    return nullptr;
  }
  return id;
}
}  // namespace

bool tWebPictureSource::Identify(const std::string& path, tWebPictureFacts& facts) {
  std::unique_ptr<tGraphicID> id = OpenPicture(path);
  if (!id) return false;
  facts.FormatId = id->FormatId;
  facts.Width = id->Width;
  facts.Height = id->Height;
  facts.DisplayWidth = id->DisplayWidth ? id->DisplayWidth : id->Width;
  facts.DisplayHeight = id->DisplayHeight ? id->DisplayHeight : id->Height;
  facts.FileSize = id->Stream ? id->Stream->Size : FileSizeOf(path);
  facts.Gray = id->GrayFlag != 0;
  return true;
}

bool tWebPictureSource::MakeThumbnail(const std::string& path, int width, int height,
                                      const std::string& target, int quality) {
  // Twice the thumbnail's side is plenty for the shrink; a large JPEG then decodes at an
  // eighth of its size or less.
  std::unique_ptr<tGraphicID> id = OpenPicture(path, 2 * std::max(width, height));
  if (!id) return false;
  id->NotifyWindow = NotifyWindow;
  id->LoadPicture();
  if (!id->Bitmap || !id->Bitmap->HasLayout() || id->Bitmap->Width() < 1 ||
      id->Bitmap->Height() < 1)
    return false;
  // The save pipeline writes beside the target and renames only a complete file.
  const tSaveResult saved =
      SaveGalleryJpeg(*id, std::max(width, 1), std::max(height, 1), target, quality);
  if (!saved.Ok) throw std::runtime_error(ExtractFileName(target) + ": " + saved.Error);
  return true;
}

// ---- the build

tWebGallery::tWebGallery(const tWebPageSettings& settings, const std::string& folder,
                         std::vector<std::string> pictures, tWebPictureSource& source)
    : s_(settings), folder_(folder), pictures_(std::move(pictures)), source_(source) {
  ClampWebPageSettings(s_);
  PageFileName = s_.FileName;
}

void tWebGallery::Log(uint32_t color, const std::string& line) {
  if (OnLog) OnLog(color, line);
}

std::string tWebGallery::Path(const std::string& name) const { return folder_ + name; }

int tWebGallery::CellSize() const { return s_.ThumbSize + 2 * s_.Frame + 2 * s_.Margin + 4; }

std::vector<std::string> tWebGallery::HeadLines(const std::string& title) const {
  std::vector<std::string> lines{"<html>", "<head>"};
  if (!title.empty()) lines.push_back("<title>" + WebUserText(title) + "</title>");
  lines.push_back(Printf("<meta name=\"Generator\" content=\"%s\">", kGenerator));
  lines.push_back("</head>");
  lines.push_back("");
  return lines;
}

std::string tWebGallery::BackgroundAttribute(bool picturePage) const {
  const int mode = picturePage ? s_.PictureBackground : s_.MainBackground;
  const std::string& image = picturePage ? s_.PictureImage : s_.MainImage;
  if (mode == 0 && !image.empty()) return "background=\"" + WebAddressText(image) + "\"";
  return "bgcolor=" + WebColorText(s_.Colors[picturePage ? wcPicturePage : wcMainPage]);
}

std::string tWebGallery::BodyLine(bool picturePage) const {
  const uint32_t* c = s_.Colors + (picturePage ? wcPicturePage : wcMainPage);
  return "<body " + BackgroundAttribute(picturePage) + " link=" + WebColorText(c[2]) +
         " vlink=" + WebColorText(c[3]) + " alink=" + WebColorText(c[4]) +
         " text=" + WebColorText(c[1]) + ">";
}

std::string tWebGallery::PictureCaption(const std::string& name, const tWebPictureFacts& facts,
                                        bool withName, bool withSize, bool withBytes) const {
  std::string text = withName ? name + " " : "";
  if (withSize) text = Printf("%s %dx%d ", text.c_str(), facts.Width, facts.Height);
  if (withBytes) text = text + " " + SizeText(facts.FileSize);
  return Trim(text);
}

std::string tWebGallery::StatusBarHandler(const std::string& name,
                                          const tWebPictureFacts& facts) const {
  const std::string caption =
      PictureCaption(name, facts, s_.StatusName, s_.StatusPicture, s_.StatusFile);
  if (caption.empty()) return "";
  return " onMouseOver=\"self.status='" + WebHtmlText(ScriptText(caption)) +
         "'; return true\" onMouseOut=\"self.status=''; return true\"";
}

void tWebGallery::SaveLines(std::vector<std::string> lines, const std::string& name) {
  lines.insert(lines.begin(), "<!--     " + WebUserText(name) + "     -->");
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  if (!SaveStringToFile(text, Path(name))) throw std::runtime_error("Cannot create file " + Path(name));
}

bool tWebGallery::MakeThumbnails() {
  Log(kLogBlack, "Processing pictures...");
  facts_.clear();
  const int total = static_cast<int>(pictures_.size());
  for (size_t i = 0; i < pictures_.size();) {
    if (OnProgress) OnProgress(total - static_cast<int>(pictures_.size() - i), total);
    if (Cancelled) {
      Log(kLogRed, "Build cancelled.");
      return false;
    }
    const std::string name = pictures_[i];
    bool keep = false;
    tWebPictureFacts facts;
    if (!SameText(name, s_.MainImage) && !SameText(name, s_.PictureImage) &&
        source_.Identify(Path(name), facts)) {
      int w = 0, h = 0;
      FitRect(s_.ThumbSize, s_.ThumbSize, facts.DisplayWidth, facts.DisplayHeight, w, h);
      w = std::max(w, 1);
      h = std::max(h, 1);
      const std::string thumbnail = WebThumbnailName(name);
      Log(kLogBlack, Printf("Building %d x %d thumbnail %s", w, h, thumbnail.c_str()));
      if (OnIdle) OnIdle();
      // A picture that identifies but yields no rows at all is left out like one that does
      // not identify, rather than ending the whole build.
      keep = source_.MakeThumbnail(Path(name), w, h, Path(thumbnail), s_.Quality) &&
             (facts.FormatId == fmtGIF || facts.FormatId == fmtJPG);
    }
    if (keep) {
      facts_.push_back(facts);
      ++i;
    } else {
      pictures_.erase(pictures_.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  if (OnProgress) OnProgress(total, total);
  if (Cancelled) {
    Log(kLogRed, "Build cancelled.");
    return false;
  }
  return true;
}

void tWebGallery::WritePicturePage(const std::string& name, const std::string& pageName,
                                   const tWebPictureFacts& facts) {
  std::vector<std::string> lines = HeadLines(s_.PictureTitle);
  lines.push_back(BodyLine(true));
  lines.push_back("<center>");
  const bool backLink = s_.LinkTo == wlPage;
  const std::string back = WebAddressText(PageFileName);
  if (!s_.PictureTitle.empty())
    lines.push_back(Printf("<font size=%d>", s_.PictureTitleSize) + WebUserText(s_.PictureTitle) +
                    "</font>");
  if (backLink && !s_.PicturePrompt.empty())
    lines.push_back(Printf("<p><font size=%d><a href=\"", s_.PicturePromptSize) + back + "\">" +
                    WebUserText(s_.PicturePrompt) + "</font></a></p>");
  if (s_.PictureName)
    lines.push_back(Printf("<p><font size=%d>", s_.PictureNameSize) + WebHtmlText(name) +
                    "</font></p>");
  const std::string image = Printf("<img width=%d height=%d src=\"", facts.Width, facts.Height) +
                            WebAddressText(name) + "\"";
  if (backLink)
    lines.push_back("<p><a href=\"" + back + "\">" + image + " alt=\" Back \" border=0></a></p>");
  else
    lines.push_back("<p>" + image + " border=0></p>");
  for (const char* line : {"</center>", "", "</body>", "</html>"}) lines.push_back(line);
  SaveLines(std::move(lines), pageName);
}

bool tWebGallery::Build() {
  if (Trim(s_.FileName).empty()) {
    Log(kLogRed, "Fatal error! Output file name is blank.");
    return false;
  }
  const bool frames = s_.FramesMode();
  const std::string base = ChangeExtension(ExtractFileName(s_.FileName), "");
  PageFileName = base + ".html";
  const std::string left = base + "_left.html", right = base + "_right.html";
  // Pages of this build replace their old copies only when complete; what it will not write
  // again goes now, so no stale frame page outlives a switch out of frames mode.
  if (!frames) {
    Platform().RemoveFile(Path(left));
    Platform().RemoveFile(Path(right));
  }

  const std::string rowAttribute =
      s_.UseRowColor ? "bgcolor=" + WebColorText(s_.Colors[wcThumbRow]) + " " : "";
  const std::string target = s_.LinkTo == wlWindow || s_.LinkTo == wlFrame ? " target=\"picture\"" : "";
  const int border = s_.Border;
  const int spacing = frames || border != 0 ? 0 : s_.Spacing;
  const int columns = frames ? 1 : s_.Columns;
  const int cell = CellSize();

  std::vector<std::string> lines = HeadLines(s_.Title);
  lines.push_back(BodyLine(false));
  lines.push_back("<center>");
  std::vector<std::string> titleBlock;
  if (!s_.Title.empty())
    titleBlock.push_back(Printf("<font size=%d>", s_.TitleSize) + WebUserText(s_.Title) + "</font>");
  if (!s_.Prompt.empty())
    titleBlock.push_back(Printf("<br><font size=%d>", s_.PromptSize) + WebUserText(s_.Prompt) +
                         "</font>");
  if (!frames) {
    lines.insert(lines.end(), titleBlock.begin(), titleBlock.end());
    lines.push_back("<p>&nbsp;</p>");
  }

  if (!MakeThumbnails()) return false;

  for (int i = 0; i < PictureCount(); ++i) {
    const std::string& name = pictures_[static_cast<size_t>(i)];
    const int column = i % columns, row = i / columns;
    const std::string thumbnail = WebThumbnailName(name);
    const tWebPictureFacts& picture = facts_[static_cast<size_t>(i)];
    tWebPictureFacts thumb;
    if (!source_.Identify(Path(thumbnail), thumb))
      throw std::runtime_error("Cannot read " + Path(thumbnail));
    if (column == 0) {
      if (row > 0) {
        lines.push_back(" </tr>");
        lines.push_back("</table>");
      }
      lines.push_back("");
      if (!frames) lines.push_back(Printf("<!-- %30s row %d %30s -->", "", row + 1, ""));
      lines.push_back(Printf("<table border=%d cellpadding=%d cellspacing=%d>", border, s_.Margin,
                             spacing));
      lines.push_back(" <tr " + rowAttribute + "align=center valign=middle>");
    }
    const std::string pageName = WebPicturePageName(name);
    std::string link = name;
    if (s_.LinkTo == wlPicture) {
      Platform().RemoveFile(Path(pageName));
    } else {
      WritePicturePage(name, pageName, picture);
      link = pageName;
    }
    lines.push_back(
        Printf("  <td width=%d height=%d>", cell, cell) + "<a href=\"" + WebAddressText(link) +
        "\"" + target + StatusBarHandler(name, picture) + ">" +
        Printf("<img width=%d height=%d src=\"", thumb.Width, thumb.Height) +
        WebAddressText(thumbnail) + "\" alt=\"" +
        WebHtmlText(PictureCaption(name, picture, s_.TooltipName, s_.TooltipPicture,
                                   s_.TooltipFile)) +
        Printf("\" border=%d></a></td>", s_.Frame));
  }
  for (const char* line : {" </tr>", "</table>", "</center>", "", "</body>", "</html>"})
    lines.push_back(line);

  if (frames) {
    std::vector<std::string> frameset = HeadLines(s_.Title);
    frameset.push_back(Printf("<frameset cols=\"%d,*\" frameborder=0 border=0 >", cell + 20));
    // Quoted and encoded: a name with a space would otherwise end the address at the space.
    frameset.push_back(" <frame src=\"" + WebAddressText(left) + "\" marginwidth=0 >");
    frameset.push_back(" <frame src=\"" + WebAddressText(right) +
                       "\" marginwidth=1 name=\"picture\">");
    for (const char* line : {"</frameset>", "", "</html>"}) frameset.push_back(line);
    SaveLines(std::move(frameset), PageFileName);

    std::vector<std::string> start = HeadLines(s_.Title.empty() ? "" : s_.PictureTitle);
    start.push_back(BodyLine(true));
    start.push_back("<center>");
    start.insert(start.end(), titleBlock.begin(), titleBlock.end());
    for (const char* line : {"</center>", "", "</body>", "</html>"}) start.push_back(line);
    SaveLines(std::move(start), right);

    SaveLines(std::move(lines), left);
    BuiltFile = Path(left);
  } else {
    SaveLines(std::move(lines), PageFileName);
    BuiltFile = Path(PageFileName);
  }
  Log(kLogBlack, "-- Done --");
  return true;
}
