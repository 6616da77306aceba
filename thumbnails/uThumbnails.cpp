#include "thumbnails/uThumbnails.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"

namespace {

constexpr const char* kSignature = "Tavis";
constexpr const char* kExtensions[5] = {".th0", ".th1", ".th2", ".th3", ".th4"};

// Pack's transfer and write-behind sizes: compaction of a large database is a few large writes.
constexpr size_t kTransferSize = 16384;
constexpr size_t kDataBehind = 63488;
constexpr size_t kRecordsBehind = 370;

const char* const kNonPictures[tThumbnails::kNonPictureCount] = {
    "$$$", "38_", "386", "AOL", "ARJ", "ASM", "BAK", "BAT", "BGI", "BIN", "C",   "CPP",
    "CFG", "CHR", "CLP", "COM", "CPI", "CVX", "DAT", "DCR", "DCU", "DFM", "DL_", "DLL",
    "DOC", "DPR", "DSK", "DRV", "EXE", "FNT", "FO_", "FON", "FOT", "GRP", "H",   "HLP",
    "HL_", "HTM", "INI", "LIB", "MID", "MOV", "NL_", "NLS", "OBJ", "OPT", "OVL", "OVR",
    "PAS", "PIF", "PRG", "RC",  "RES", "SDU", "SWP", "SYS", "TPL", "TPU", "TTF", "TXT",
    "UUE", "VBX", "WAV", "WFW", "WP_", "WPD", "WPG", "WPM", "WRI", "ZIP"};

std::string Lower(std::string s) {
  for (char& c : s) c = LowerChar(c);
  return s;
}

// "name=value" split at the first "=".
void SplitLine(const std::string& line, std::string& name, std::string& value) {
  size_t eq = line.find('=');
  name = eq == std::string::npos ? line : line.substr(0, eq);
  value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

// A decimal number, -1 when the text is empty or not a number (or does not fit).
int ParseNumber(const std::string& text) {
  int value = -1;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return -1;
  return value;
}

// Buffered appends to a new file at increasing offsets.
class tWriteBehind {
 public:
  tWriteBehind(tThumbFile& file, size_t capacity) : file_(file) { buffer_.reserve(capacity); }
  void Put(int64_t offset, const uint8_t* data, size_t count) {
    if (!buffer_.empty() &&
        (start_ + int64_t(buffer_.size()) != offset || buffer_.size() + count > buffer_.capacity()))
      Flush();
    if (count > buffer_.capacity()) {
      file_.WriteAt(offset, data, count);
      return;
    }
    if (buffer_.empty()) start_ = offset;
    buffer_.insert(buffer_.end(), data, data + count);
  }
  void Flush() {
    if (!buffer_.empty()) file_.WriteAt(start_, buffer_.data(), buffer_.size());
    buffer_.clear();
  }

 private:
  tThumbFile& file_;
  std::vector<uint8_t> buffer_;
  int64_t start_ = 0;
};

}  // namespace

std::string ThumbnailFileName(const std::string& baseName, const std::string& extension) {
  size_t sep = baseName.find_last_of("\\/:");
  size_t dot = baseName.rfind('.');
  if (dot != std::string::npos && (sep == std::string::npos || dot > sep))
    return baseName.substr(0, dot) + extension;
  return baseName + extension;
}

int ThumbnailBoxSize(int sizeCode) {
  if (sizeCode < 4 || sizeCode > 12) sizeCode = 7;
  return 640 / sizeCode;
}

// ---- tSortedLines

int tSortedLines::IndexOf(const std::string& text) const {
  auto it = std::lower_bound(lines_.begin(), lines_.end(), text, [](const std::string& a,
                                                                     const std::string& b) {
    return Platform().CompareTextLocale(a, b) < 0;
  });
  if (it != lines_.end() && Platform().CompareTextLocale(*it, text) == 0)
    return static_cast<int>(it - lines_.begin());
  return -1;
}

int tSortedLines::Add(const std::string& text) {
  auto it = std::lower_bound(lines_.begin(), lines_.end(), text, [](const std::string& a,
                                                                     const std::string& b) {
    return Platform().CompareTextLocale(a, b) < 0;
  });
  if (it != lines_.end() && Platform().CompareTextLocale(*it, text) == 0)
    return static_cast<int>(it - lines_.begin());
  return static_cast<int>(lines_.insert(it, text) - lines_.begin());
}

void tSortedLines::Delete(int index) {
  if (index >= 0 && index < Count()) lines_.erase(lines_.begin() + index);
}

void tSortedLines::LoadFromFile(const std::string& path) {
  lines_.clear();
  const std::string text = LoadStringFromFile(path);
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find_first_of("\r\n", at);
    if (end == std::string::npos) end = text.size();
    // An empty line would, as an omit entry, cover every folder: it is no entry.
    if (end > at) Add(text.substr(at, end - at));
    at = end;
    if (at < text.size() && text[at] == '\r') ++at;
    if (at < text.size() && text[at] == '\n') ++at;
  }
}

void tSortedLines::SaveToFile(const std::string& path) const {
  std::string text;
  for (const std::string& line : lines_) text += line + "\r\n";
  if (text.empty()) {
    if (!CreateFileStream(path)) throw EInOutError("Cannot create " + path);
  } else if (!SaveStringToFile(text, path)) {
    throw EInOutError("Write error on " + path);
  }
}

// ---- tThumbnails

tThumbnails::tThumbnails(const std::string& baseName) : BaseName(baseName) {
  Open();
  MasterSwitch = 1;
}

tThumbnails::~tThumbnails() {
  try {
    Close();
  } catch (const EInOutError&) {
    // Nothing to report to at this point; the files keep what was last written.
  }
}

std::string tThumbnails::FileName(int number) const {
  return ThumbnailFileName(BaseName, kExtensions[std::clamp(number, 0, 4)]);
}

void tThumbnails::FreshHeader() {
  std::memset(&Header, 0, sizeof Header);
  SetShortString(Header.Signature, 8, kSignature);
  Header.SizeCode = 7;
  Header.Flags = kFlagsAtCreation;
}

void tThumbnails::OpenThumbnailDatabase() {
  bool created = false;
  index_ = tThumbFile::OpenOrCreate(FileName(0), created);
  const int64_t length = created ? 0 : index_->Size();
  if (length < kThumbRecordSize) {
    // No whole header: there is no record either, so a fresh header loses nothing.
    FreshHeader();
    WriteHeader();
    return;
  }
  index_->ReadAt(0, &Header, sizeof Header);
  const int64_t present = length / kThumbRecordSize - 1;
  if (present < int64_t(Header.Count)) SetRecordCount(static_cast<uint32_t>(present));
  if ((Header.Flags & 0x0C) == 0) {
    Header.Flags |= 0x08;
    WriteHeader();
  }
}

void tThumbnails::LoadGallerySettings() {
  bool created = false;
  settings_ = tThumbFile::OpenOrCreate(FileName(3), created);
  const int64_t length = created ? 0 : settings_->Size();
  if (length != 0) {
    // A short file gives what it has; the rest reads as zero.
    std::memset(&Gallery, 0, sizeof Gallery);
    settings_->ReadAt(0, &Gallery, static_cast<size_t>(std::min<int64_t>(length, sizeof Gallery)));
  } else {
    TGallerySettings zero{};
    SaveGallerySettings(zero);
  }
}

void tThumbnails::OpenFiles() {
  OpenThumbnailDatabase();
  bool created = false;
  data_ = tThumbFile::OpenOrCreate(FileName(1), created);
  LoadGallerySettings();
}

void tThumbnails::Open() {
  OpenFiles();
  labels_.LoadFromFile(FileName(2));
  omitted_.LoadFromFile(FileName(4));
}

void tThumbnails::CloseFiles() {
  std::unique_ptr<tThumbFile> files[3] = {std::move(index_), std::move(data_),
                                          std::move(settings_)};
  for (auto& f : files)
    if (f) f->Close();
}

void tThumbnails::Close() {
  if (!IsOpen()) return;
  labels_.SaveToFile(FileName(2));
  omitted_.SaveToFile(FileName(4));
  CloseFiles();
}

void tThumbnails::Clear() {
  Close();
  for (int n = 0; n < 5; ++n) Platform().RemoveFile(FileName(n));
  Open();
}

void tThumbnails::SetRecordCount(uint32_t n) {
  Header.Count = n;
  TouchHeader();
}

uint32_t tThumbnails::ActiveCount() const {
  return Header.Count > Header.Purged ? Header.Count - Header.Purged : 0;
}

void tThumbnails::SetActiveCount(uint32_t n) {
  Header.Purged = Header.Count - n;
  WriteHeader();
}

void tThumbnails::SetThumbnailSizeCode(int code) {
  if (Header.Count != 0 || code < 4 || code > 12 || code == Header.SizeCode) return;
  Header.SizeCode = static_cast<uint8_t>(code);
  WriteHeader();
}

void tThumbnails::WriteHeader() {
  if (!index_) throw EInOutError("File not open");
  index_->WriteAt(0, &Header, sizeof Header);
}

void tThumbnails::TouchHeader() {
  ++Header.ChangeCounter;
  WriteHeader();
}

void tThumbnails::IncVolumeSerial() {
  ++Header.VolumeSerial;
  WriteHeader();
}

void tThumbnails::ReadRecord(uint32_t n, TThumbnailRecord& record) {
  if (!index_) throw EInOutError("File not open");
  index_->ReadAt(int64_t(n) * kThumbRecordSize, &record, sizeof record);
}

void tThumbnails::WriteRecord(uint32_t n, const TThumbnailRecord& record) {
  if (!index_) throw EInOutError("File not open");
  index_->WriteAt(int64_t(n) * kThumbRecordSize, &record, sizeof record);
}

void tThumbnails::ReadRecords(uint32_t first, uint32_t count, TThumbnailRecord* records) {
  if (!index_) throw EInOutError("File not open");
  index_->ReadAt(int64_t(first) * kThumbRecordSize, records, size_t(count) * kThumbRecordSize);
}

void tThumbnails::ForEachRecord(
    const std::function<void(uint32_t, const TThumbnailRecord&)>& visit) {
  constexpr uint32_t kBlock = 256;
  std::vector<TThumbnailRecord> block(kBlock);
  const uint32_t count = RecordCount();
  for (uint32_t first = 1; first <= count; first += kBlock) {
    const uint32_t n = std::min(kBlock, count - first + 1);
    ReadRecords(first, n, block.data());
    for (uint32_t i = 0; i < n; ++i) visit(first + i, block[i]);
  }
}

int64_t tThumbnails::DataSize() {
  if (!data_) throw EInOutError("File not open");
  return data_->Size();
}

void tThumbnails::ReadData(int64_t offset, void* buffer, size_t count) {
  if (!data_) throw EInOutError("File not open");
  data_->ReadAt(offset, buffer, count);
}

void tThumbnails::WriteData(int64_t offset, const void* buffer, size_t count) {
  if (!data_) throw EInOutError("File not open");
  data_->WriteAt(offset, buffer, count);
}

void tThumbnails::SaveGallerySettings(const TGallerySettings& settings) {
  Gallery = settings;
  if (!settings_) throw EInOutError("File not open");
  settings_->WriteAt(0, &Gallery, sizeof Gallery);
  settings_->Truncate(sizeof Gallery);
}

void tThumbnails::GetStatistics(TThumbnailStats& stats) {
  std::memset(&stats, 0, sizeof stats);
  stats.HeaderZero = Header.Zero;
  std::memcpy(stats.Signature, Header.Signature, sizeof stats.Signature);
  stats.SizeCode = Header.SizeCode;
  stats.HeaderCount = Header.Count;
  stats.ChangeCounter = Header.ChangeCounter;
  stats.Flags = Header.Flags;
  stats.Byte22 = Header.Byte22;
  stats.Purged = Header.Purged;
  stats.RecordSize = kThumbRecordSize;
  stats.SettingsSize = kGallerySettingsSize;
  stats.BoxWidth = stats.BoxHeight = static_cast<uint32_t>(BoxSize());
  SetShortString(stats.NextLabel, 11, NewVolumeLabel());

  const int64_t bytes = index_->Size();
  const int64_t records = bytes / kThumbRecordSize;
  stats.IndexRecords = static_cast<uint32_t>(records);
  stats.DataBytes = static_cast<uint32_t>(DataSize());
  stats.IndexBytes = static_cast<uint32_t>(bytes);
  if (records * kThumbRecordSize < bytes) index_->Truncate(records * kThumbRecordSize);

  TThumbnailRecord record;
  for (int64_t r = 1; r < records; ++r) {
    ReadRecord(static_cast<uint32_t>(r), record);
    ++stats.Scanned;
    stats.AllBytes += record.DataLength;
    if (record.Status == 'A') {
      ++stats.Active;
      stats.ActiveBytes += record.DataLength;
    } else {
      ++stats.Other;
      stats.OtherBytes += record.DataLength;
      if (record.Status != 'p') {
        record.Status = 'p';
        WriteRecord(static_cast<uint32_t>(r), record);
      }
    }
  }
  if (Header.Count != stats.Scanned || Header.Purged != stats.Other) {
    Header.Count = stats.Scanned;
    Header.Purged = stats.Other;
    TouchHeader();
  }
}

void tThumbnails::Pack() {
  if (RecordCount() <= ActiveCount()) return;
  const uint32_t count = Header.Count;
  const int total = static_cast<int>(std::min<uint32_t>(count, INT32_MAX));
  if (Progress) Progress(0, total);

  const std::string names[2] = {UniqueFileName(FileName(0) + ".part"),
                                UniqueFileName(FileName(1) + ".part")};
  TThumbnailHeader packed = Header;
  try {
    std::unique_ptr<tThumbFile> newIndex = tThumbFile::Create(names[0]);
    std::unique_ptr<tThumbFile> newData = tThumbFile::Create(names[1]);
    {
      tWriteBehind records(*newIndex, kRecordsBehind * kThumbRecordSize);
      tWriteBehind data(*newData, kDataBehind);
      std::vector<uint8_t> transfer(kTransferSize);
      const int64_t dataSize = DataSize();
      int64_t write = 0;
      uint32_t next = 1;
      TThumbnailRecord record;
      for (uint32_t r = 1; r <= count; ++r) {
        if (Progress) Progress(static_cast<int>(std::min<uint32_t>(r, INT32_MAX)), total);
        ReadRecord(r, record);
        if (record.Status < 'A' || record.Status > 'Z') continue;
        // Data that lies past the end of ".th1" is no thumbnail: the record stays, empty.
        int64_t length = record.DataLength;
        if (int64_t(record.DataOffset) + length > dataSize) length = 0;
        for (int64_t done = 0; done < length;) {
          size_t n = static_cast<size_t>(std::min<int64_t>(length - done, kTransferSize));
          ReadData(int64_t(record.DataOffset) + done, transfer.data(), n);
          data.Put(write + done, transfer.data(), n);
          done += int64_t(n);
        }
        record.DataOffset = static_cast<uint32_t>(write);
        record.DataLength = static_cast<uint16_t>(length);
        records.Put(int64_t(next) * kThumbRecordSize, reinterpret_cast<uint8_t*>(&record),
                    sizeof record);
        write += length;
        ++next;
      }
      data.Flush();
      records.Flush();
      packed.Count = next - 1;
      packed.Purged = 0;
      newIndex->WriteAt(0, &packed, sizeof packed);
    }
    newIndex->Close();
    newData->Close();
  } catch (...) {
    Platform().RemoveFile(names[0]);
    Platform().RemoveFile(names[1]);
    throw;
  }
  index_->Close();
  index_.reset();
  data_->Close();
  data_.reset();
  const bool moved = Platform().ReplaceFile(names[1], FileName(1)) &&
                     Platform().ReplaceFile(names[0], FileName(0));
  bool created = false;
  index_ = tThumbFile::OpenOrCreate(FileName(0), created);
  data_ = tThumbFile::OpenOrCreate(FileName(1), created);
  if (!moved) {
    Platform().RemoveFile(names[0]);
    Platform().RemoveFile(names[1]);
    throw EInOutError("Cannot rename " + names[0]);
  }
  Header = packed;
  if (Progress) Progress(-1, total);
}

// ---- Omitted folders

bool tThumbnails::IsFolderInOmitList(const std::string& folder, bool exact) const {
  const std::string f = AddBackslash(folder);
  const std::string lower = Lower(f);
  for (const std::string& entry : omitted_.Lines()) {
    if (exact ? Platform().CompareTextLocale(entry, f) == 0
              : lower.find(Lower(entry)) != std::string::npos)
      return true;
  }
  return false;
}

bool tThumbnails::IsFolderOmitted(const std::string& folder, bool exact) const {
  return MasterSwitch == 0 || IsFolderInOmitList(folder, exact);
}

void tThumbnails::ToggleOmittedFolder(const std::string& folder) {
  const std::string f = AddBackslash(folder);
  int found = omitted_.IndexOf(f);
  if (found >= 0)
    omitted_.Delete(found);
  else
    omitted_.Add(f);
  omitted_.SaveToFile(FileName(4));
}

// ---- Volume labels

std::string tThumbnails::VolumeLabelOf(int number) const {
  if (number <= 0) return "";
  const std::string text = std::to_string(number);
  std::string name, value;
  for (const std::string& line : labels_.Lines()) {
    SplitLine(line, name, value);
    if (value == text) return name;
  }
  return "";
}

int tThumbnails::VolumeNumberOf(const std::string& label) const {
  std::string name, value;
  for (const std::string& line : labels_.Lines()) {
    SplitLine(line, name, value);
    if (Platform().CompareTextLocale(name, label) == 0) return ParseNumber(value);
  }
  return -1;
}

int tThumbnails::AddVolumeLabel(const std::string& label) {
  int number = VolumeNumberOf(label);
  if (number != -1) return number;
  // A line of this label whose number is unreadable would hide every new one: it goes.
  std::string name, value;
  for (int i = labels_.Count() - 1; i >= 0; --i) {
    SplitLine(labels_.Lines()[static_cast<size_t>(i)], name, value);
    if (Platform().CompareTextLocale(name, label) == 0) labels_.Delete(i);
  }
  number = labels_.Count() + 1;
  labels_.Add(Format("%s=%d", {label, number}));
  labels_.SaveToFile(FileName(2));
  return number;
}

std::string tThumbnails::NewVolumeLabel() const {
  return std::string(kSignature) + ZeroPad(std::to_string(uint64_t(Header.VolumeSerial) + 1), 6);
}

// ---- Non-picture files

std::string tThumbnails::NonPictureExtension(int index) {
  if (index < 0 || index >= kNonPictureCount) return "";
  return kNonPictures[index];
}

bool tThumbnails::IsNonPictureFile(const std::string& name) const {
  if (!SkipsNonPictures()) return false;
  std::string ext = ExtractFileExt(name);
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  if (ext.empty()) return false;
  for (const char* entry : kNonPictures)
    if (Platform().CompareTextLocale(ext, entry) == 0) return true;
  return false;
}
