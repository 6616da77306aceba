#include "thumbnails/uThumbRecords.h"

#include <algorithm>
#include <cstring>

std::string ShortString(const uint8_t* field, int capacity) {
  int n = std::min<int>(field[0], capacity);
  return std::string(reinterpret_cast<const char*>(field + 1), static_cast<size_t>(n));
}

void SetShortString(uint8_t* field, int capacity, const std::string& text) {
  size_t n = std::min(text.size(), static_cast<size_t>(capacity));
  std::memset(field, 0, static_cast<size_t>(capacity) + 1);
  field[0] = static_cast<uint8_t>(n);
  std::memcpy(field + 1, text.data(), n);
}

std::string RecordPathText(const TThumbnailRecord& record) {
  const char* p = record.Path;
  return std::string(p, strnlen(p, kThumbPathCapacity));
}

void SetRecordPathText(TThumbnailRecord& record, const std::string& path) {
  std::memset(record.Path, 0, sizeof record.Path);
  std::memcpy(record.Path, path.data(), std::min<size_t>(path.size(), kThumbPathCapacity));
}

std::string RecordKeywords(const TThumbnailRecord& record) {
  return ShortString(record.Keywords, kKeywordsCapacity);
}

void SetRecordKeywords(TThumbnailRecord& record, const std::string& keywords) {
  SetShortString(record.Keywords, kKeywordsCapacity, keywords);
}

std::string StatusFilter(const TGallerySettings& s) { return ShortString(s.StatusFilter, 2); }
std::string GroupsFilter(const TGallerySettings& s) { return ShortString(s.GroupsFilter, 26); }
std::string DrivesFilter(const TGallerySettings& s) { return ShortString(s.DrivesFilter, 26); }
std::string KeywordsFilter(const TGallerySettings& s) { return ShortString(s.KeywordsFilter, 60); }
void SetStatusFilter(TGallerySettings& s, const std::string& t) {
  SetShortString(s.StatusFilter, 2, t);
}
void SetGroupsFilter(TGallerySettings& s, const std::string& t) {
  SetShortString(s.GroupsFilter, 26, t);
}
void SetDrivesFilter(TGallerySettings& s, const std::string& t) {
  SetShortString(s.DrivesFilter, 26, t);
}
void SetKeywordsFilter(TGallerySettings& s, const std::string& t) {
  SetShortString(s.KeywordsFilter, 60, t);
}
