#include "foundation/uFileList.h"

#include <algorithm>
#include <cstdio>

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uLocaleText.h"
#include "resources/uResStrings.h"

namespace {

std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return text;
}

size_t CharCount(const std::string& text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string FirstChar(const std::string& text) {
  if (text.empty()) return text;
  size_t n = 1;
  while (n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) ++n;
  return text.substr(0, n);
}

}  // namespace

const tCategoryList kCategoryLists[7] = {
    {sExtExecutable, kCategoryExecutable}, {sExtZip, kCategoryZip},
    {sExtDocument, kCategoryDocument},     {sExtMovie, kCategoryMovie},
    {sExtPicture, kCategoryPicture},       {sExtMusic, kCategoryMusic},
    {sExtSound, kCategorySound},
};

std::string CategoryListText(int resourceId) {
  const std::string text = LoadResString(resourceId);
  return text.empty() ? CompiledResString(resourceId) : text;
}

TSrchRec::TSrchRec(const tFoundItem& item, int32_t number)
    : Time(item.DosTime), Size(item.Size), Attr(item.Attributes), Name(item.Name), Number(number) {
  if (Attr & 8) Name.erase(std::remove(Name.begin(), Name.end(), '.'), Name.end());
}

char TSrchRec::Kind() const {
  if (Attr & 8) return '1';
  if (Attr & 16) return '2';
  return '3';
}

std::string TSrchRec::ExtText() const {
  std::string ext = ExtractFileExt(Name);
  if (!ext.empty()) ext.erase(0, 1);
  if (ext.size() > 259) ext.resize(259);
  return UpperAscii(ext);
}

std::string TSrchRec::NameText() const { return UpperAscii(Name); }

int TSrchRec::Category() const {
  switch (Kind()) {
    case '1':
      return kCategoryFolder;
    case '2':
      return !Name.empty() && Name[0] == '.' ? kCategoryParent : kCategoryFolder;
    default:
      break;
  }
  // The lists are read once: they are the same for the whole run.
  static const std::vector<std::string> lists = [] {
    std::vector<std::string> texts;
    for (const tCategoryList& list : kCategoryLists)
      texts.push_back(CategoryListText(list.ResourceId));
    return texts;
  }();
  std::string probe(1, ' ');
  probe += ExtText();
  probe += ' ';
  for (size_t i = 0; i < lists.size(); ++i)
    if (lists[i].find(probe) != std::string::npos) return kCategoryLists[i].Category;
  return kCategoryUnknown;
}

std::string TSrchRec::SizeText() const {
  switch (Kind()) {
    case '1':
      return "<vol>";
    case '2':
      return "<dir>";
    default:
      return Format("%11.0n", {static_cast<double>(Size)});
  }
}

std::string TSrchRec::DateText() const { return DateText(Platform().FormatSettings()); }

std::string TSrchRec::DateText(const tFormatSettings& settings) const {
  return FormatDatePicture(settings.ShortDateFormat, DosDateTimeToFields(Time), settings);
}

std::string TSrchRec::TimeText() const { return TimeText(Platform().FormatSettings()); }

std::string TSrchRec::TimeText(const tFormatSettings& settings) const {
  // A space before the AM/PM marker would cost the column a character: the copy drops the
  // first space of the format.
  std::string picture = settings.LongTimeFormat;
  const size_t space = picture.find(' ');
  if (space != std::string::npos) picture.erase(space, 1);
  return Format("%10s", {FormatTimePicture(picture, DosDateTimeToFields(Time), settings)});
}

std::string TSrchRec::SortKey(sfb_SS sequence) const {
  char buf[64];
  switch (sequence) {
    case SS_unsorted:
      std::snprintf(buf, sizeof buf, "%11d", Number);
      return buf;
    case SS_extension: {
      std::string key(1, Kind());
      const std::string ext = ExtText();
      key += ext;
      if (ext.size() < 4) key.append(4 - ext.size(), ' ');
      return key + NameText();
    }
    case SS_size:
      std::snprintf(buf, sizeof buf, "%c%20lld", Kind(), static_cast<long long>(Size));
      return buf + NameText();
    case SS_date: {
      const tDateTimeFields f = DosDateTimeToFields(Time);
      std::snprintf(buf, sizeof buf, "%c%4d%2d%2d%2d%2d%2d", Kind(), f.Year, f.Month, f.Day, f.Hour,
                    f.Minute, f.Second);
      return buf + Name;
    }
    case SS_name:
    default:
      return Kind() + NameText();
  }
}

int TSortableList::Add(std::unique_ptr<TSrchRec> entry) {
  texts_.push_back(FirstChar(entry->Name));
  entries_.push_back(std::move(entry));
  return Count() - 1;
}

void TSortableList::Clear() {
  entries_.clear();
  texts_.clear();
}

void TSortableList::Exchange(int i, int j) {
  std::swap(entries_[static_cast<size_t>(i)], entries_[static_cast<size_t>(j)]);
  std::swap(texts_[static_cast<size_t>(i)], texts_[static_cast<size_t>(j)]);
  if (!keys_.empty()) std::swap(keys_[static_cast<size_t>(i)], keys_[static_cast<size_t>(j)]);
}

void TSortableList::Sort(bool ascending, sfb_SS sequence) {
  SortAscending = ascending;
  SortSequence = sequence;
  if (Count() < 2) return;
  keys_.clear();
  keys_.reserve(entries_.size());
  tPlatform& platform = Platform();
  for (const auto& entry : entries_)
    keys_.push_back(platform.LocaleSortKey(entry->SortKey(sequence)));
  QuickSort(0, Count() - 1);
  keys_.clear();
  keys_.shrink_to_fit();
}

int TSortableList::CompareItems(int i, int j) {
  int result;
  if (keys_.empty()) {
    result = Platform().CompareTextLocale(Objects(i)->SortKey(SortSequence),
                                          Objects(j)->SortKey(SortSequence));
  } else {
    const int c = keys_[static_cast<size_t>(i)].compare(keys_[static_cast<size_t>(j)]);
    result = c < 0 ? -1 : c > 0 ? 1 : 0;
  }
  return SortAscending ? result : -result;
}

void TSortableList::QuickSort(int low, int high) {
  int i = low, j = high, p = (low + high) / 2;
  do {
    // The bounds only matter to a comparison that is not a consistent order.
    while (i < high && CompareItems(i, p) < 0) ++i;
    while (j > low && CompareItems(j, p) > 0) --j;
    if (i <= j) {
      Exchange(i, j);
      if (p == i)
        p = j;
      else if (p == j)
        p = i;
      ++i;
      --j;
    }
  } while (i <= j);
  if (j > low) QuickSort(low, j);
  if (i < high) QuickSort(i, high);
}

tFolderReading ReadFolder(TSortableList& entries, const std::string& folder,
                          const std::string& mask, TFileType fileType,
                          const std::function<void()>& manyEntries) {
  constexpr uint32_t kSpecial = 2 | 4 | 8 | 16;  // hidden, system, volume, directory
  const uint32_t wanted = fileType & 0x3F;
  const uint32_t excluded = ~wanted & kSpecial;
  const bool normal = (fileType & FileTypeBit(ftNormal)) != 0;
  tFolderReading reading;
  entries.Clear();
  std::vector<tFoundItem> items;
  size_t start = 0;
  while (start <= mask.size()) {
    size_t end = mask.find(';', start);
    if (end == std::string::npos) end = mask.size();
    const std::string pattern = mask.substr(start, end - start);
    start = end + 1;
    if (pattern.empty()) continue;
    items.clear();
    Platform().FindItems(AddBackslash(folder) + pattern, items);
    for (const tFoundItem& item : items) {
      if ((item.Attributes & excluded) != 0) continue;
      if (!normal && (item.Attributes & wanted) == 0) continue;
      if (item.Name == ".") continue;
      auto entry = std::make_unique<TSrchRec>(item, entries.Count() + 1);
      reading.LongestName =
          std::max(reading.LongestName, static_cast<int32_t>(CharCount(entry->Name)));
      if (entry->Kind() == '3') {
        ++reading.FileCount;
        reading.TotalSize += entry->Size;
      }
      if (entries.Add(std::move(entry)) == 100 && manyEntries) manyEntries();
    }
  }
  return reading;
}
