// What the gallery window computes without a window: pages of the selection, the texts of an
// item's row, which items an edit reaches, and the edits themselves on a record.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "thumbnails/uThumbRecords.h"

constexpr int kGalleryPerPageDefault = 40;

// (count + per page - 1) div per page; a per-page value below 1 counts as the default.
int GalleryPageCount(uint32_t count, int perPage);
// The first selection index of a page and the number of items on it.
uint32_t GalleryPageFirst(int page, int perPage);
int GalleryPageItems(uint32_t count, int page, int perPage);
// The page of a 1-based selection position (0 for 0).
int GalleryPageOfPosition(uint32_t position, int perPage);

// "Page %d of %d", "%.0n total items", "%d tagged".
std::string GalleryPageText(int page, int pages);
std::string GalleryTotalText(uint32_t count);
std::string GalleryTaggedText(int tagged);

// The caption (file name) and the sub-items: description, location, group, keywords, file
// size, date. volumeLabel: the record's label when it lies on a removable volume, else "".
struct tGalleryItemText {
  std::string Caption;
  std::vector<std::string> SubItems;
};
tGalleryItemText GalleryItemTexts(const TThumbnailRecord& record, const std::string& volumeLabel);
// "[%s]  %s" for a removable volume's record, else the folder.
std::string GalleryLocationText(const TThumbnailRecord& record, const std::string& volumeLabel);

// The items an edit applies to: every tagged item when the focused one is tagged, else the
// focused item alone (none when nothing is focused).
std::vector<int> GalleryEditTargets(const std::vector<bool>& tagged, int focused);

// The edits: keywords (at most 52 characters), the group letter (the first character; blank
// for an empty text), the deleted mark (toggles 'A' and 'D'; other states stay).
void SetGalleryKeywords(TThumbnailRecord& record, const std::string& text);
void SetGalleryGroup(TThumbnailRecord& record, const std::string& text);
void ToggleGalleryDeleted(TThumbnailRecord& record);

// Whether the drive's label answers to the record's: compared without case, blanks trimmed.
bool SameVolumeLabel(const std::string& driveLabel, const std::string& recordLabel);
