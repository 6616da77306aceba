#include "thumbnails/uThumbView.h"

#include <algorithm>
#include <cstring>

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uRecordSort.h"
#include "foundation/uUtil.h"
#include "imaging/Palettes.h"
#include "imaging/uImageOps.h"
#include "imaging/uJpegError.h"
#include "thumbnails/uThumbMake.h"

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = LowerChar(c);
  return s;
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

bool SameText(const std::string& a, const std::string& b) {
  return Platform().CompareTextLocale(a, b) == 0;
}

// True when path lies in folder or below it: the folder must be followed by its separator, so
// that "C:\Pics" does not take in "C:\Pics2".
bool InFolder(const std::string& path, const std::string& folder) {
  const std::string prefix = AddBackslash(folder);
  return path.size() > prefix.size() && SameText(path.substr(0, prefix.size()), prefix);
}

std::string FolderOf(const std::string& path) { return RemoveBackslash(ExtractFilePath(path)); }

}  // namespace

// ---- tThumbnailView

void tThumbnailView::LoadRecord(uint32_t n) {
  if (CachedRecord == int64_t(n)) return;
  CachedRecord = -1;
  Database.ReadRecord(n, Record);
  CachedRecord = n;
}

void tThumbnailView::SaveRecord(uint32_t n) {
  Database.WriteRecord(n, Record);
  CachedRecord = n;
}

std::string tThumbnailView::RecordPath(uint32_t n) {
  LoadRecord(n);
  return RecordPathText(Record);
}

void tThumbnailView::SetRecordPath(uint32_t n, const std::string& path) {
  LoadRecord(n);
  SetRecordPathText(Record, path);
  SaveRecord(n);
}

uint32_t tThumbnailView::RecordVolume(uint32_t n) {
  LoadRecord(n);
  return Record.Volume;
}

uint32_t tThumbnailView::RecordFileDate(uint32_t n) {
  LoadRecord(n);
  return Record.DosTime;
}

std::string tThumbnailView::RecordFolder(uint32_t n) { return FolderOf(RecordPath(n)); }

bool tThumbnailView::IsRecordLive(uint32_t n) {
  LoadRecord(n);
  return Record.Status != 'p';
}

void tThumbnailView::SetRecordActive(uint32_t n, bool active) {
  LoadRecord(n);
  const bool wasActive = Record.Status == 'A';
  Record.Status = active ? 'A' : 'p';
  SaveRecord(n);
  // The purged count is the number of records that are not 'A': it moves only when a record
  // crosses that line (a 'D' made 'p' was counted already).
  TThumbnailHeader& h = Database.Header;
  if (wasActive && !active)
    ++h.Purged;
  else if (!wasActive && active && h.Purged > 0)
    --h.Purged;
  Database.WriteHeader();
}

void tThumbnailView::PurgeFolder(const std::string& folder) {
  std::vector<uint32_t> hits;
  Database.ForEachRecord([&](uint32_t n, const TThumbnailRecord& r) {
    if (r.Status != 'p' && InFolder(RecordPathText(r), folder)) hits.push_back(n);
  });
  Forget();
  for (uint32_t n : hits) SetRecordActive(n, false);
}

void tThumbnailView::RenameFolder(const std::string& parent, const std::string& oldName,
                                  const std::string& newName) {
  const std::string oldFolder = AddBackslash(parent) + oldName;
  const std::string newFolder = AddBackslash(parent) + newName;
  std::vector<uint32_t> hits;
  Database.ForEachRecord([&](uint32_t n, const TThumbnailRecord& r) {
    if (InFolder(RecordPathText(r), oldFolder)) hits.push_back(n);
  });
  Forget();
  for (uint32_t n : hits) {
    const std::string path = RecordPath(n);
    SetRecordPath(n, newFolder + path.substr(oldFolder.size()));
  }
}

// ---- Box images

namespace {

tMemBmpPtr BoxMask(int box, int x, int y, int width, int height) {
  auto mask = std::make_unique<tMemBmp>();
  const uint8_t quads[8] = {0, 0, 0, 0, 255, 255, 255, 0};
  mask->Allocate(box, box, false, quads, 2, 1);
  std::vector<uint8_t> row(static_cast<size_t>(box));
  for (int r = 0; r < box; ++r) {
    for (int c = 0; c < box; ++c)
      row[size_t(c)] = (r >= y && r < y + height && c >= x && c < x + width) ? 0 : 1;
    mask->SetByteLine(r, row.data());
  }
  return mask;
}

}  // namespace

tBoxImage BlankBoxImage(int box) {
  tBoxImage out;
  out.Image = std::make_unique<tMemBmp>();
  const tQuadPalette quads = RGBToQuads(ThumbnailPalette());
  out.Image->Allocate(box, box, false, quads.data(), 256, 8);
  out.Mask = BoxMask(box, 0, 0, 0, 0);
  return out;
}

tBoxImage CenteredBoxImage(tMemBmp& picture, int box) {
  tMemBmp* source = &picture;
  tMemBmpPtr converted;
  if (source->BitCount() != 8 && source->BitCount() != 24) {
    converted = ConvertTo24Bit(*source);
    source = converted.get();
  }
  const int bits = source->BitCount();
  tBoxImage out;
  out.Image = std::make_unique<tMemBmp>();
  out.Image->Allocate(box, box, false, bits == 8 ? source->ColorTable : nullptr,
                      bits == 8 ? source->PaletteEntries() : 0, bits);
  const int width = std::min(source->Width(), box), height = std::min(source->Height(), box);
  int x = 0, y = 0;
  CenterOffset(box, box, width, height, x, y);
  const int bytes = bits / 8;
  for (int r = 0; r < height; ++r)
    std::memcpy(out.Image->ScanLine(y + r) + size_t(x) * bytes, source->ScanLine(r),
                size_t(width) * bytes);
  out.Mask = BoxMask(box, x, y, width, height);
  return out;
}

tBoxImage FittedBoxImage(tMemBmp& picture, int box) {
  int width = 0, height = 0;
  FitRect(box, box, picture.Width(), picture.Height(), width, height);
  tMemBmpPtr fitted = ResizeSmooth(picture, std::clamp(width, 1, box), std::clamp(height, 1, box));
  return CenteredBoxImage(*fitted, box);
}

// ---- tThumbScanner

bool tThumbScanner::ListFolder(const std::string& folder, std::vector<tFoundItem>& items) {
  return Platform().FindItems(AddBackslash(folder) + "*.*", items);
}

std::unique_ptr<tGraphicID> tThumbScanner::Identify(const std::string& path) {
#ifdef _WIN32
  std::unique_ptr<TStream> file = OpenFileStream(path);
#else
  // Unix hosts (native tests and tools) open by "/" paths; the view joins names with "\".
  std::string unixPath = path;
  std::replace(unixPath.begin(), unixPath.end(), '\\', '/');
  std::unique_ptr<TStream> file = OpenFileStream(unixPath);
#endif
  if (!file) return nullptr;
  auto* stream = new tBuffStream(path, std::move(file), false);
  auto id = std::make_unique<tGraphicID>(stream);
  id->BackgroundColor = 0xDFDFDF;
  id->MinimumSide = MinimumSide;
  if (!id->IdentifyPicture()) {
    delete stream;
    return nullptr;
  }
  return id;
}

void tThumbScanner::Decode(tGraphicID& decoder, intptr_t window) {
  decoder.NotifyWindow = window;
  decoder.LoadPicture();
}

// ---- tDirectoryView

tDirectoryView::tDirectoryView(tThumbnails& database, tThumbListHost* host,
                               std::unique_ptr<tThumbScanner> scanner)
    : tThumbnailView(database),
      Host(host),
      scanner_(scanner ? std::move(scanner) : std::make_unique<tThumbScanner>()) {
  scanner_->MinimumSide = 2 * database.BoxSize();
}

tDirectoryView::~tDirectoryView() = default;

bool tDirectoryView::IsFolderOmitted(const std::string& folder) const {
  return Database.IsFolderOmitted(folder, false);
}

bool tDirectoryView::IsTemporaryFolder() const {
  return IsRemovable() || IsFolderOmitted(Folder);
}

bool tDirectoryView::AutoThumbnailsAllowed(const std::string& folder) const {
  return !IsRemovable() && !IsFolderOmitted(folder);
}

bool tDirectoryView::IsFolderListed(const std::string& folder) const {
  return !IsRemovable() && Database.IsFolderInOmitList(folder, true);
}

bool tDirectoryView::FolderThumbnailState(const std::string& folder) const {
  return AutoThumbnailsAllowed(folder) || IsFolderListed(folder);
}

void tDirectoryView::OpenFolder(const std::string& folder, const std::string& volumeLabel,
                                uint32_t flags, int driveType) {
  EndUpdate();
  Folder = RemoveBackslash(folder);
  DriveLetter = Folder.empty() ? ' ' : Upper(Folder.substr(0, 1))[0];
  DriveType = driveType;
  VolumeLabel = volumeLabel;
  Flags = flags;
  const int known = volumeLabel.empty() ? -1 : Database.VolumeNumberOf(volumeLabel);
  if (IsTemporaryFolder()) {
    Status = 'p';
    Volume = -1;
    if (IsRemovable() && known >= 0) {
      Status = 'A';
      Volume = known;
    }
  } else {
    Status = 'A';
    Volume = 0;
  }
  if (!Host) {
    // The drive walk of the tools window: a labelled removable disk is catalogued under its
    // label (its records must not pass for a fixed disk's).
    Status = 'A';
    Volume = 0;
    if (IsRemovable() && !volumeLabel.empty())
      Volume = known >= 0 ? known : Database.AddVolumeLabel(volumeLabel);
  }
  records_.clear();
  names_.clear();
  captions_.clear();
  stale_.clear();
  ItemCount = ItemCountAtBegin = 0;
  Forget();
  Database.ForEachRecord([&](uint32_t n, const TThumbnailRecord& r) {
    if (r.Status == 'p' || r.Volume >= 256) return;
    if (r.Volume != 0 && int64_t(r.Volume) != Volume) return;
    const std::string path = RecordPathText(r);
    if (!SameText(FolderOf(path), Folder)) return;
    records_.push_back(n);
    ++ItemCount;
    if (!Host) names_.push_back(ExtractFileName(path));
  });
  if (ItemCount > 0 && Volume == -1) Volume = 0;
}

void tDirectoryView::BeginUpdate() {
  stale_ = records_;
  ItemCountAtBegin = ItemCount;
  counters_ = {};
  found_.clear();
  foundAt_ = 0;
  scanning_ = false;
  if (Volume != -1) {
    if (scanner_->MinimumSide > 0) scanner_->MinimumSide = 2 * Database.BoxSize();
    scanner_->ListFolder(Folder, found_);
    scanning_ = true;
  }
}

void tDirectoryView::EndUpdate() {
  scanning_ = false;
  found_.clear();
  foundAt_ = 0;
  stale_.clear();
  decoder_.reset();
}

int tDirectoryView::IndexOfName(const std::string& name) const {
  for (size_t i = 0; i < names_.size(); ++i)
    if (SameText(names_[i], name)) return static_cast<int>(i);
  return -1;
}

bool tDirectoryView::UpdateStep(intptr_t window) {
  if (!scanning_ || foundAt_ >= found_.size()) {
    scanning_ = false;
    found_.clear();
    PurgeVanished();
    return false;
  }
  const tFoundItem item = found_[foundAt_++];
  if ((item.Attributes & (8 | 16)) != 0) return true;
  ++counters_.Seen;
  const int i = IndexOfName(item.Name);
  bool isNew = i < 0;
  if (!isNew) {
    const int64_t n = RecordOfItem(i);
    if (n > 0 && RecordFileDate(static_cast<uint32_t>(n)) != item.DosTime) {
      MarkItemGone(i);
      isNew = true;
      if (!Host) ++counters_.Changed;
    } else {
      ++counters_.Unchanged;
      for (uint32_t& s : stale_)
        if (int64_t(s) == n) s = 0;
    }
  }
  if (!isNew) return true;
  if (IsNonPictureFile(item.Name)) {
    ++counters_.Skipped;
    return true;
  }
  const std::string path = AddBackslash(Folder) + item.Name;
  decoder_ = scanner_->Identify(path);
  if (!decoder_) {
    ++counters_.NotIdentified;
    return true;
  }
  if (decoder_->FormatId == fmtICO && !AllowIcons) {
    decoder_.reset();
    return true;
  }
  ++counters_.Stored;
  decoding_ = item;
  decoderStored_ = false;
  try {
    scanner_->Decode(*decoder_, window);
    // No window took the decoder's message: store the finished picture here.
    if (decoder_->ImageCount > 0) AddNewThumbnail();
  } catch (const EInOutError&) {
    decoder_.reset();
    throw;
  } catch (const std::exception&) {
    // A picture that cannot be shrunk or mapped gets no record, like one that cannot be read.
  }
  decoder_.reset();
  return true;
}

void tDirectoryView::AddNewThumbnail() {
  if (!decoder_ || decoderStored_) return;
  if (decoder_->FormatId == fmtICO && !AllowIcons) return;
  if (!decoder_->Bitmap || !decoder_->Bitmap->HasLayout()) return;
  decoderStored_ = true;
  std::string caption;
  tMemBmpPtr picture;
  tThumbFileFacts facts{AddBackslash(Folder) + decoding_.Name, decoding_.Size,
                        decoding_.DosTime};
  const uint32_t n = StoreThumbnail(Database, *decoder_, Status,
                                    static_cast<uint32_t>(std::max<int64_t>(Volume, 0)), &caption,
                                    nullptr, &picture, facts);
  records_.push_back(n);
  ++ItemCount;
  if (!Host) names_.push_back(decoding_.Name);
  AddItem(decoding_.Name, caption, picture.get(), Status);
}

void tDirectoryView::ShowStoredThumbnail(int i) {
  const int64_t n = RecordOfItem(i);
  if (n <= 0) return;
  TThumbnailRecord r;
  tMemBmpPtr picture;
  std::string caption;
  bool read = false;
  try {
    read = ReadThumbnail(Database, static_cast<uint32_t>(n), &r, &picture, &caption);
  } catch (const EInOutError&) {
    // A record whose data cannot be read shows a blank box under its name.
    Database.ReadRecord(static_cast<uint32_t>(n), r);
    picture.reset();
    caption = ThumbnailCaption(r);
    read = true;
  }
  if (!read) return;
  const std::string name = ExtractFileName(RecordPathText(r));
  AddItem(name, caption, picture.get(), r.Status);
}

void tDirectoryView::AddItem(const std::string& name, const std::string& caption,
                             tMemBmp* picture, char status) {
  if (Host) {
    names_.push_back(name);
    captions_.push_back(caption);
    const int box = Database.BoxSize();
    tBoxImage image = (status == 'D' || !picture) ? BlankBoxImage(box)
                                                  : CenteredBoxImage(*picture, box);
    const int index = Host->AddImage(*image.Image, *image.Mask);
    if (TSrchRec* entry = Host->FindEntry(name)) {
      entry->ThumbIndex = index;
      Host->EntryChanged(*entry);
    }
  } else {
    captions_.push_back(caption);
  }
  if (OnItemAdded) OnItemAdded();
}

void tDirectoryView::RenameFile(const std::string& oldName, const std::string& newName) {
  if (Database.MasterSwitch == 0) return;
  const int i = IndexOfName(oldName);
  if (i < 0) return;
  names_[size_t(i)] = newName;
  const int64_t n = RecordOfItem(i);
  if (n > 0) SetRecordPath(static_cast<uint32_t>(n), AddBackslash(Folder) + newName);
}

void tDirectoryView::MarkItemGone(int i) {
  if (i >= 0 && size_t(i) < names_.size()) names_[size_t(i)] = kGoneEntry;
}

int64_t tDirectoryView::RecordOfItem(int i) const {
  if (i < 0 || size_t(i) >= records_.size()) return -1;
  return records_[size_t(i)];
}

void tDirectoryView::PurgeVanished() {
  // Stale entries are in item order, so each names its own item: a changed file's new item,
  // which bears the same name, keeps its thumbnail.
  for (size_t i = 0; i < stale_.size(); ++i) {
    const uint32_t n = stale_[i];
    if (n == 0 || !IsRecordLive(n)) continue;
    MarkItemGone(static_cast<int>(i));
    SetRecordActive(n, false);
    ++counters_.Vanished;
  }
  stale_.clear();
}

bool tDirectoryView::GetTaggedRecords(std::vector<uint32_t>& numbers, bool taggedOnly) {
  numbers.clear();
  const TSrchRec* current = Host ? Host->CurrentEntry() : nullptr;
  const bool onlyTagged = taggedOnly && current && current->Tagged;
  for (size_t i = 0; i < names_.size() && i < records_.size(); ++i) {
    if (names_[i] == kGoneEntry) continue;
    if (Host) {
      const TSrchRec* entry = Host->FindEntry(names_[i]);
      if (!entry || entry->ThumbIndex < 0) continue;
      if (onlyTagged && !entry->Tagged) continue;
    }
    numbers.push_back(records_[i]);
  }
  return !numbers.empty();
}

bool tDirectoryView::CatalogRemovable(const std::string& volumeLabel, bool store) {
  if (Status != 'p' || ItemCount == 0) return false;
  int number = 0;
  if (store) {
    std::string label = volumeLabel;
    label.erase(0, label.find_first_not_of(' '));
    TrimTrailingSpaces(label);
    if (label.empty()) return false;
    number = Database.VolumeNumberOf(label);
    if (number < 0) number = Database.AddVolumeLabel(label);
  }
  Status = 'A';
  Volume = number;
  for (uint32_t n : records_) {
    LoadRecord(n);
    Record.Status = 'A';
    Record.Volume = static_cast<uint32_t>(number);
    SaveRecord(n);
    if (Database.Header.Purged > 0) --Database.Header.Purged;
  }
  Database.WriteHeader();
  return true;
}

// ---- tDatabaseView

namespace {

// Record number and sort key as the record sort takes them: fixed size, key zero-padded.
struct tSortJob {
  tDatabaseView* view;
  const std::vector<uint32_t>* input;
  std::vector<uint32_t>* output;
  size_t keySize;
  bool backward;
  size_t next = 0;
  std::vector<uint8_t> buffer;
};

}  // namespace

tDatabaseView::tDatabaseView(tThumbnails& database) : tThumbnailView(database) {
  Settings = database.Gallery;
  if (StatusFilter(Settings).empty()) SetStatusFilter(Settings, "A");
}

bool tDatabaseView::Passes(const TThumbnailRecord& r) const {
  const std::string status = StatusFilter(Settings);
  if (r.Status == 0 || status.find(r.Status) == std::string::npos) return false;
  const std::string drives = DrivesFilter(Settings);
  if (!drives.empty() && (r.Path[0] == 0 || drives.find(r.Path[0]) == std::string::npos))
    return false;
  const std::string groups = GroupsFilter(Settings);
  if (!groups.empty() && (r.Group == 0 || groups.find(r.Group) == std::string::npos))
    return false;
  if (Words.empty()) return true;
  const std::string keywords = RecordKeywords(r);
  const std::string text = Upper(" " + keywords + " ");
  const bool noKeywords = text.find_first_not_of(' ') == std::string::npos;
  for (const std::string& w : Words)
    if (w == "  " ? noKeywords : text.find(w) != std::string::npos) return true;
  if (Database.FileNameKeywords) {
    const std::string path = Upper(" " + RecordPathText(r) + " ");
    for (const std::string& w : Words)
      if (w != "  " && path.find(w) != std::string::npos) return true;
  }
  return false;
}

void tDatabaseView::Select() {
  Words.clear();
  const std::string filter = KeywordsFilter(Settings);
  for (int i = 1; i <= WordCount(filter) && Words.size() < 10; ++i) {
    std::string w = GetWord(filter, i).substr(0, 60);
    for (char& c : w)
      if (c == '[' || c == ']') c = ' ';
    Words.push_back(Upper(w));
  }
  selected_.clear();
  Database.ForEachRecord([&](uint32_t n, const TThumbnailRecord& r) {
    if (Passes(r)) selected_.push_back(n);
  });
  FillFirstPositions();
}

std::string tDatabaseView::SortKey(uint32_t n) {
  LoadRecord(n);
  const TThumbnailRecord& r = Record;
  const std::string path = Lower(RecordPathText(r));
  const size_t cut = path.find_last_of("\\/:");
  std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  std::string folder = cut == std::string::npos ? "" : path.substr(0, cut + 1);
  folder = Format("%s%-11s%s", {folder.substr(0, 2), Database.VolumeLabelOf(int(r.Volume)),
                                folder.size() > 2 ? folder.substr(2) : std::string()});
  // Dates and sizes are unsigned: sizes of 2 GB and more and late dates sort after the rest.
  switch (Settings.SortKey) {
    case 1:
      return Format("%-*s%-*s", {260, name, 271, folder});
    case 2:
      return Format("%10u%-*s%-*s", {r.DosTime, 271, folder, 260, name});
    case 3:
      return Format("%10u%-*s%-*s", {r.FileSize, 271, folder, 260, name});
    case 4:
      return Format("%5d%5d%5d%-*s%-*s", {r.Width, r.Height, r.ColorCode, 271, folder, 260, name});
    case 5:
      return Format("%5d%5d%5d%-*s%-*s", {r.ColorCode, r.Width, r.Height, 271, folder, 260, name});
    case 6:
      return Format("%s%-*s%-*s", {r.Group == 0 ? ' ' : r.Group, 271, folder, 260, name});
    case 7:
      return Format("%-52s%-*s%-*s", {RecordKeywords(r), 271, folder, 260, name});
    default:
      return Format("%-*s%-*s", {271, folder, 260, name});
  }
}

void tDatabaseView::Sort() {
  if (selected_.size() < 2) {
    FillFirstPositions();
    return;
  }
  // Keys as fixed-size records for the record sort: the longest key decides the size.
  size_t keySize = 0;
  for (uint32_t n : selected_) keySize = std::max(keySize, SortKey(n).size());
  keySize = std::min<size_t>(keySize, 60000);
  std::vector<uint32_t> sorted;
  sorted.reserve(selected_.size());
  tSortJob job{this, &selected_, &sorted, keySize, Settings.Order == 1, 0, {}};
  job.buffer.resize(4 + keySize);
  const uint16_t recordSize = static_cast<uint16_t>(4 + keySize);
  auto input = [](void* context) {
    auto& j = *static_cast<tSortJob*>(context);
    for (uint32_t n : *j.input) {
      const std::string key = j.view->SortKey(n);
      std::fill(j.buffer.begin(), j.buffer.end(), 0);
      std::memcpy(j.buffer.data(), &n, 4);
      std::memcpy(j.buffer.data() + 4, key.data(), std::min(key.size(), j.keySize));
      if (!SortPutRecord(j.buffer.data())) return;
    }
  };
  auto less = [](void* context, const void* a, const void* b) {
    auto& j = *static_cast<tSortJob*>(context);
    const int c = std::memcmp(static_cast<const uint8_t*>(a) + 4,
                              static_cast<const uint8_t*>(b) + 4, j.keySize);
    return j.backward ? c > 0 : c < 0;
  };
  auto output = [](void* context) {
    auto& j = *static_cast<tSortJob*>(context);
    while (SortGetRecord(j.buffer.data())) {
      uint32_t n;
      std::memcpy(&n, j.buffer.data(), 4);
      j.output->push_back(n);
    }
  };
  const uint16_t code = SortRecords(&job, recordSize, input, less, output, nullptr);
  if (code != sortOk) throw EInOutError("Sort error " + std::to_string(code));
  selected_ = std::move(sorted);
  FillFirstPositions();
}

char tDatabaseView::IndexChar(uint32_t n, uint32_t position) {
  LoadRecord(n);
  const std::string path = RecordPathText(Record);
  char c = '!';
  switch (Settings.SortKey) {
    case 0:
      c = path.empty() ? '!' : path[0];
      break;
    case 1: {
      const std::string name = ExtractFileName(path);
      c = name.empty() ? '!' : Upper(name.substr(0, 1))[0];
      break;
    }
    case 5:
      c = ColorLetter(Format("%5d", {Record.ColorCode}));
      break;
    case 6:
      c = Record.Group;
      break;
    default: {
      const uint32_t hundred = (position - 1) / 100;
      c = hundred >= 94 ? '!' : static_cast<char>('!' + hundred);
    }
  }
  return c;
}

void tDatabaseView::FillFirstPositions() {
  first_.fill(0);
  for (uint32_t i = 0; i < selected_.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(IndexChar(selected_[i], i + 1));
    if (c >= kFirstIndexChar && c <= kLastIndexChar && first_[c - kFirstIndexChar] == 0)
      first_[c - kFirstIndexChar] = i + 1;
  }
}

uint32_t tDatabaseView::FirstPosition(char c) const {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u < kFirstIndexChar || u > kLastIndexChar) return 0;
  return first_[u - kFirstIndexChar];
}

std::string tDatabaseView::IndexText(char c) const {
  switch (Settings.SortKey) {
    case 0:
      return Format("Drive %s", {c});
    case 1:
      return Format("File name %s", {c});
    case 6:
      return Format("Group %s", {c});
    case 5: {
      const int colors = ColorOfLetter(c);
      return Format("%s colors ", {colors == 0 ? std::string("unknown")
                                               : ColorCountText(static_cast<uint16_t>(colors))});
    }
    default:
      return Format("item %d", {FirstPosition(c)});
  }
}

char tDatabaseView::ColorLetter(const std::string& key) {
  std::string head = key.substr(0, 5);
  head.erase(0, head.find_first_not_of(' '));
  TrimTrailingSpaces(head);
  int v = 0;
  if (head.empty() || head.size() > 5) return 'Z';
  for (char ch : head) {
    if (ch < '0' || ch > '9') return 'Z';
    v = v * 10 + (ch - '0');
  }
  if (v == 2) return '1';
  if (v >= 3 && v <= 4) return '2';
  if (v >= 5 && v <= 8) return '3';
  if (v >= 9 && v <= 16) return '4';
  if (v >= 17 && v <= 32) return '5';
  if (v >= 33 && v <= 64) return '6';
  if (v >= 65 && v <= 128) return '7';
  if (v >= 129 && v <= 256) return '8';
  switch (v) {
    case 268:
      return 'A';
    case 271:
      return 'B';
    case 272:
      return 'C';
    case 274:
      return 'D';
    case 280:
      return 'E';
  }
  return 'Z';
}

int tDatabaseView::ColorOfLetter(char letter) {
  static const char kLetters[] = "12345678ABCDE";
  static const int kColors[] = {2, 4, 8, 16, 32, 64, 128, 256, 268, 271, 272, 274, 280};
  for (int i = 0; i < 13; ++i)
    if (kLetters[i] == letter) return kColors[i];
  return 0;
}
