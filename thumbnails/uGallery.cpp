#include "thumbnails/uGallery.h"

#include <algorithm>

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uLocaleText.h"
#include "foundation/uPlatform.h"
#include "thumbnails/uThumbMake.h"

namespace {
int PerPage(int perPage) { return perPage < 1 ? kGalleryPerPageDefault : perPage; }

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}
}  // namespace

int GalleryPageCount(uint32_t count, int perPage) {
  const int64_t n = PerPage(perPage);
  return static_cast<int>((count + n - 1) / n);
}

uint32_t GalleryPageFirst(int page, int perPage) {
  return static_cast<uint32_t>(std::max(page, 0)) * static_cast<uint32_t>(PerPage(perPage));
}

int GalleryPageItems(uint32_t count, int page, int perPage) {
  const uint32_t first = GalleryPageFirst(page, perPage);
  if (first >= count) return 0;
  return static_cast<int>(std::min<uint32_t>(count - first, static_cast<uint32_t>(PerPage(perPage))));
}

int GalleryPageOfPosition(uint32_t position, int perPage) {
  return position == 0 ? 0 : static_cast<int>((position - 1) / static_cast<uint32_t>(PerPage(perPage)));
}

std::string GalleryPageText(int page, int pages) {
  return Format("Page %d of %d", {page, pages});
}

std::string GalleryTotalText(uint32_t count) {
  return Format("%.0n total items", {static_cast<double>(count)});
}

std::string GalleryTaggedText(int tagged) { return Format("%d tagged", {tagged}); }

std::string GalleryLocationText(const TThumbnailRecord& record, const std::string& volumeLabel) {
  std::string folder = ExtractFilePath(RecordPathText(record));
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  if (record.Volume == 0) return folder;
  return Format("[%s]  %s", {volumeLabel, folder});
}

tGalleryItemText GalleryItemTexts(const TThumbnailRecord& record, const std::string& volumeLabel) {
  tGalleryItemText t;
  t.Caption = ExtractFileName(RecordPathText(record));
  const tFormatSettings settings = Platform().FormatSettings();
  const tDateTimeFields when = DosDateTimeToFields(record.DosTime);
  const std::string date = FormatDatePicture(settings.ShortDateFormat, when, settings);
  const std::string time = FormatTimePicture(settings.LongTimeFormat, when, settings);
  t.SubItems = {ThumbnailCaption(record),
                GalleryLocationText(record, volumeLabel),
                std::string(1, record.Group == 0 ? ' ' : record.Group),
                Format("%-52s", {RecordKeywords(record)}),
                Format("%11.0n", {static_cast<double>(record.FileSize)}),
                Format("%10s", {Format("%s %s", {date, time})})};
  return t;
}

std::vector<int> GalleryEditTargets(const std::vector<bool>& tagged, int focused) {
  std::vector<int> targets;
  if (focused < 0 || focused >= static_cast<int>(tagged.size())) return targets;
  if (!tagged[static_cast<size_t>(focused)]) return {focused};
  for (size_t i = 0; i < tagged.size(); ++i)
    if (tagged[i]) targets.push_back(static_cast<int>(i));
  return targets;
}

void SetGalleryKeywords(TThumbnailRecord& record, const std::string& text) {
  SetRecordKeywords(record, text.substr(0, kKeywordsCapacity));
}

void SetGalleryGroup(TThumbnailRecord& record, const std::string& text) {
  record.Group = text.empty() ? ' ' : text[0];
}

void ToggleGalleryDeleted(TThumbnailRecord& record) {
  if (record.Status == 'A')
    record.Status = 'D';
  else if (record.Status == 'D')
    record.Status = 'A';
}

bool SameVolumeLabel(const std::string& driveLabel, const std::string& recordLabel) {
  return Platform().CompareTextLocale(Trimmed(driveLabel), Trimmed(recordLabel)) == 0;
}
