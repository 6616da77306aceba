#include "shell/uOptions.h"

#include <algorithm>

#include "foundation/uFormat.h"
#include "imaging/uGraphic.h"
#include "thumbnails/uThumbRecords.h"

tOptionsValues OptionsFromSettings(const tViewerSettings& s, uint16_t graphicOptions,
                                   uint32_t associations, bool showHint,
                                   const std::array<bool, kShortcutKinds>& shortcuts) {
  tOptionsValues v;
  v.FolderHistory = s.FolderHistory;
  v.MaskHistory = s.MaskHistory;
  v.PictureErrorSound = s.PictureErrorSound;
  v.StartUpdateSound = s.StartUpdateSound;
  v.EndUpdateSound = s.EndUpdateSound;
  v.MessageSounds = s.MessageSounds;
  v.LastSlideSound = s.LastSlideSound;
  v.HexWindow = s.HexWindow;
  v.ShowHint = showHint;
  v.UuXxEncoding = s.UuXxEncoding;
  v.OpenHtml = s.OpenHtml ? 1 : 0;
  v.WindowPlacement = s.WindowPlacement;
  v.OpenDocuments = s.OpenDocuments;
  v.Associations = associations;
  v.Interlace = (graphicOptions & goDisplayInterlace) != 0;
  v.HighQuality = (graphicOptions & goHighQuality) != 0;
  v.StandardAspect = (graphicOptions & goStandardAspect) != 0;
  v.ZoomPercent = s.ZoomPercent;
  v.MonitorGamma = s.MonitorGamma;
  v.MovieDisplaySize = s.MovieDisplaySize;
  v.SlideDelay = s.SlideDelay;
  v.SlideOriginalSize = s.SlideOriginalSize;
  v.SlideColor = s.SlideColor;
  v.SlideWallpaper = s.SlideWallpaper;
  v.SlidePaper = s.SlidePaper;
  v.GalleryPerPage = s.GalleryPerPage;
  v.ThumbnailIcos = s.ThumbnailIcos;
  v.FileNameKeywords = s.FileNameKeywords;
  v.MasterSwitchToggle = s.MasterSwitchToggle;
  v.ParentalLevel = s.ParentalLevel;
  v.Shortcuts = shortcuts;
  v.ThumbnailFileName = s.ThumbnailFileName;
  v.Loftwright = s.SaveAsOptions.ShowHidden != 0;
  v.WindowlessWavs = s.WindowlessWavs;
  v.StripTextfileBackspace = s.StripTextfileBackspace;
  v.BatchFindReplace = s.BatchFindReplace;
  return v;
}

namespace {
// The ranges of the dialog's number boxes; a value typed past them is taken at the limit.
int32_t Clamped(int32_t v, int32_t lo, int32_t hi) { return std::clamp(v, lo, hi); }

std::string DropTrailingBlanks(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
  return text;
}
}  // namespace

void ApplyOptions(const tOptionsValues& v, const tOptionsOpening& opening, int pageShown,
                  tViewerSettings& s, uint16_t& graphicOptions, tOptionsActions& actions) {
  s.FolderHistory = Clamped(v.FolderHistory, 10, 100);
  s.MaskHistory = Clamped(v.MaskHistory, 10, 100);
  s.PictureErrorSound = v.PictureErrorSound;
  s.StartUpdateSound = v.StartUpdateSound;
  s.EndUpdateSound = v.EndUpdateSound;
  s.MessageSounds = v.MessageSounds;
  s.LastSlideSound = v.LastSlideSound;
  s.HexWindow = v.HexWindow;
  actions.SetShowHint(v.ShowHint);
  s.UuXxEncoding = v.UuXxEncoding ? 1 : 0;
  s.OpenHtml = v.OpenHtml ? 1 : 0;
  s.WindowPlacement = v.WindowPlacement ? 1 : 0;
  s.OpenDocuments = v.OpenDocuments;
  s.ZoomPercent = Clamped(v.ZoomPercent, 125, 300);
  s.MonitorGamma = static_cast<uint16_t>(Clamped(v.MonitorGamma, 20, 800));
  s.MovieDisplaySize = Clamped(v.MovieDisplaySize, 0, 3);
  s.SlideDelay = static_cast<uint16_t>(Clamped(v.SlideDelay, 0, 60));
  s.SlideOriginalSize = v.SlideOriginalSize;
  s.SlideColor = v.SlideColor;
  s.SlideWallpaper = v.SlideWallpaper && !v.SlidePaper.empty();
  s.SlidePaper = v.SlidePaper;
  s.GalleryPerPage = Clamped(v.GalleryPerPage, 10, 1000);
  s.ThumbnailIcos = v.ThumbnailIcos;
  s.FileNameKeywords = v.FileNameKeywords;
  actions.SetFileNameKeywords(v.FileNameKeywords);
  s.MasterSwitchToggle = v.MasterSwitchToggle;
  if (v.OmittedFolders != opening.OmittedFolders) actions.SetOmittedFolders(v.OmittedFolders);

  actions.ApplyListFont();
  if (v.Associations != opening.Associations)
    actions.ChangeAssociations(opening.Associations, v.Associations);
  graphicOptions = static_cast<uint16_t>((v.Interlace ? goDisplayInterlace : 0) |
                                         (v.HighQuality ? goHighQuality : 0) |
                                         (v.StandardAspect ? goStandardAspect : 0));
  s.ParentalLevel = static_cast<uint16_t>(Clamped(v.ParentalLevel, 0, 4));
  s.ParentalPassword = s.ParentalLevel > 0 ? DropTrailingBlanks(v.PasswordText) : std::string();
  for (int k = 0; k < kShortcutKinds; ++k) {
    const bool want = v.Shortcuts[static_cast<size_t>(k)];
    if (want == opening.Shortcuts[static_cast<size_t>(k)]) continue;
    const auto kind = static_cast<TShortcutKind>(k);
    if (want)
      actions.CreateShortcut(kind);
    else
      actions.RemoveShortcut(kind);
    if (kind == skTaskTray) actions.SetTrayIcon(want);
  }
  int page = pageShown;
  if (s.HiddenOptions) {
    s.ThumbnailFileName = v.ThumbnailFileName;
    s.SaveAsOptions.ShowHidden = v.Loftwright ? 1 : 0;
    s.WindowlessWavs = v.WindowlessWavs;
    s.StripTextfileBackspace = v.StripTextfileBackspace;
    s.BatchFindReplace = v.BatchFindReplace;
    page = 0;
    actions.CloseProgram();
  }
  s.OptionsPage = Clamped(page, 0, kOptionsPages - 1);
}

tPasswordOutcome PasswordExit(const std::string& typed, std::string& stored) {
  tPasswordOutcome out;
  out.EditText = DropTrailingBlanks(typed);
  if (out.EditText.empty()) return out;
  if (stored.empty()) stored = out.EditText;
  out.Unlock = out.EditText == stored;
  return out;
}

tStatisticsTexts StatisticsTexts(const TThumbnailStats* st) {
  tStatisticsTexts t;
  if (!st) return t;
  t.Size = Format("size %d = %d x %d", {ThumbSizeNumber(st->SizeCode), st->BoxWidth, st->BoxHeight});
  t.RecordSizes = Format("Catalog %d       Sort header %d", {st->RecordSize, st->SettingsSize});
  const double d = 0;  // numbers go through %n as floating point
  t.FileSizes = Format("%11.0n Catalog   %11.0n Data", {d + st->IndexBytes, d + st->DataBytes});
  t.Records = Format("%11.0n total     %11.0n purged", {d + st->HeaderCount, d + st->Other});
  t.DataBytes = Format("%11.0n active    %11.0n purged", {d + st->ActiveBytes, d + st->OtherBytes});
  if (st->Scanned > 1) {
    const double area = static_cast<double>(st->BoxWidth) * st->BoxHeight;
    const double mean = static_cast<double>(st->AllBytes) / st->Scanned;
    t.Displayed = Format("%11.0n displayed %11.0n compressed", {area, mean});
    const double full = area * st->Scanned;
    if (full > 0)
      t.Compression = Format("%11.2n", {100.0 * (full - st->AllBytes) / full}) + "%";
  }
  t.NextLabel = ShortString(st->NextLabel, 11);
  t.Updates = Format("%d", {st->ChangeCounter});
  t.PackEnabled = st->OtherBytes > 0;
  return t;
}
