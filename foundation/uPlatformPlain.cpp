// The plain platform's clock, locale, files and disks, through the C++ library. It serves the
// native tests and also runs in the Windows builds of the portable test program.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "foundation/uLocaleText.h"
#include "foundation/uPlatform.h"
#include "foundation/uWildcard.h"

namespace fs = std::filesystem;

namespace {

// "\" separates folders in the program's paths; on a Unix host it becomes "/".
fs::path NativePath(const std::string& path) {
  std::string p = path;
#ifndef _WIN32
  for (char& c : p)
    if (c == '\\') c = '/';
#endif
  return fs::path(std::u8string(p.begin(), p.end()));
}

std::string Utf8Of(const fs::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The local date and time of a moment, to the second.
tDateTimeFields LocalFields(std::time_t t) {
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  tDateTimeFields f;
  f.Year = tm.tm_year + 1900;
  f.Month = tm.tm_mon + 1;
  f.Day = tm.tm_mday;
  f.Hour = tm.tm_hour;
  f.Minute = tm.tm_min;
  f.Second = tm.tm_sec;
  return f;
}

uint32_t DosTimeOf(const fs::path& path) {
  std::error_code ec;
  const auto written = fs::last_write_time(path, ec);
  if (ec) return 0;
  const auto sys = std::chrono::file_clock::to_sys(written);
  return FieldsToDosDateTime(LocalFields(std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys))));
}

uint32_t AttributesOf(const fs::path& path, const fs::file_status& status,
                      const std::string& name) {
  uint32_t attributes = 0;
  if (fs::is_directory(status)) attributes |= 16;
  if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) attributes |= 1;
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= 2;
  return attributes;
}

tFoundItem ItemOf(const fs::path& path, const std::string& name) {
  std::error_code ec;
  fs::file_status status = fs::status(path, ec);
  if (ec) status = fs::symlink_status(path, ec);
  tFoundItem item;
  item.Name = name;
  item.Attributes = AttributesOf(path, status, name);
  // A symbolic link shows as a reparse point, as Windows shows links and junctions.
  if (fs::is_symlink(fs::symlink_status(path, ec))) item.Attributes |= 0x400;
  if (fs::is_regular_file(status)) {
    const auto size = fs::file_size(path, ec);
    item.Size = ec ? 0 : static_cast<int64_t>(size);
  }
  item.DosTime = DosTimeOf(path);
  return item;
}

}  // namespace

TDateTime tPlainPlatform::Now() {
  if (FixedNow != 0) return FixedNow;
  const auto now = std::chrono::system_clock::now();
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  tDateTimeFields f = LocalFields(seconds);
  f.Millisecond = static_cast<int>(ms % 1000);
  return EncodeDateTime(f);
}

tFormatSettings tPlainPlatform::FormatSettings() { return Formats; }

int tPlainPlatform::CompareTextLocale(const std::string& a, const std::string& b) {
  const int result = LocaleSortKey(a).compare(LocaleSortKey(b));
  return result < 0 ? -1 : result > 0 ? 1 : 0;
}

std::string tPlainPlatform::LocaleSortKey(const std::string& text) {
  std::string key = text;
  for (char& c : key)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return key;
}

std::string tPlainPlatform::WindowsFolder() { return WindowsDir; }

std::string tPlainPlatform::EnvVariable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

std::string tPlainPlatform::AssociatedProgram(const std::string&) { return ""; }

bool tPlainPlatform::FindItems(const std::string& pattern, std::vector<tFoundItem>& items) {
  size_t cut = pattern.size();
  while (cut > 0 && !IsSeparator(pattern[cut - 1])) --cut;
  const std::string folderText = pattern.substr(0, cut);
  const std::string namePattern = pattern.substr(cut);
  if (namePattern.empty()) return false;
  const fs::path folder = NativePath(folderText.empty() ? "." : folderText);
  const size_t before = items.size();
  std::error_code ec;

  if (!HasWildcard(namePattern)) {
    const fs::path path = folder / NativePath(namePattern);
    if (namePattern != "." && namePattern != ".." && fs::exists(fs::symlink_status(path, ec)))
      items.push_back(ItemOf(path, namePattern));
    return items.size() > before;
  }

  if (!fs::is_directory(folder, ec)) return false;
  // A search outside a root also finds the folder itself and its parent, as Windows does.
  const fs::path absolute = fs::absolute(folder, ec).lexically_normal();
  if (!absolute.relative_path().empty()) {
    for (const char* dots : {".", ".."}) {
      if (MatchesFilePattern(namePattern, dots)) {
        tFoundItem item = ItemOf(folder / dots, dots);
        item.Attributes |= 16;
        items.push_back(item);
      }
    }
  }
  for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
       !ec && it != end; it.increment(ec)) {
    const std::string name = Utf8Of(it->path().filename());
    if (MatchesFilePattern(namePattern, name)) items.push_back(ItemOf(it->path(), name));
  }
  return items.size() > before;
}

uint32_t tPlainPlatform::ItemAttributes(const std::string& path) {
  const fs::path p = NativePath(path);
  std::error_code ec;
  const fs::file_status status = fs::status(p, ec);
  if (ec || !fs::exists(status)) return kNoFileAttributes;
  return AttributesOf(p, status, Utf8Of(p.filename()));
}

bool tPlainPlatform::SetItemDosTime(const std::string& path, uint32_t dosTime) {
  const tDateTimeFields f = DosDateTimeToFields(dosTime);
  std::tm tm{};
  tm.tm_year = f.Year - 1900;
  tm.tm_mon = f.Month - 1;
  tm.tm_mday = f.Day;
  tm.tm_hour = f.Hour;
  tm.tm_min = f.Minute;
  tm.tm_sec = f.Second;
  tm.tm_isdst = -1;
  const std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1)) return false;
  const auto sys = std::chrono::system_clock::from_time_t(t);
  std::error_code ec;
  fs::last_write_time(NativePath(path), std::chrono::file_clock::from_sys(sys), ec);
  return !ec;
}

bool tPlainPlatform::SetItemAttributes(const std::string& path, uint32_t attributes) {
  constexpr auto write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  std::error_code ec;
  if (attributes & 1)
    fs::permissions(NativePath(path), write, fs::perm_options::remove, ec);
  else
    fs::permissions(NativePath(path), fs::perms::owner_write, fs::perm_options::add, ec);
  return !ec;
}

bool tPlainPlatform::MakeFolder(const std::string& path) {
  std::error_code ec;
  return fs::create_directory(NativePath(path), ec) && !ec;
}

bool tPlainPlatform::RemoveFile(const std::string& path) {
  const fs::path p = NativePath(path);
  std::error_code ec;
  if (fs::is_directory(fs::symlink_status(p, ec))) return false;
  return fs::remove(p, ec) && !ec;
}

bool tPlainPlatform::ReplaceFile(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::rename(NativePath(from), NativePath(to), ec);
  return !ec;
}

uint32_t tPlainPlatform::ExchangeErrorMode(uint32_t mode) {
  const uint32_t previous = errorMode_;
  errorMode_ = mode;
  return previous;
}

bool tPlainPlatform::DiskFreeBytes(const std::string& root, uint64_t& freeBytes,
                                   uint64_t& totalBytes) {
  std::error_code ec;
  const fs::space_info info = fs::space(NativePath(root), ec);
  if (ec) return false;
  freeBytes = info.free;
  totalBytes = info.capacity;
  return true;
}

bool tPlainPlatform::DiskClusters(const std::string& root, uint32_t& sectorsPerCluster,
                                  uint32_t& bytesPerSector, uint32_t& freeClusters,
                                  uint32_t& totalClusters) {
  uint64_t freeBytes = 0, totalBytes = 0;
  if (!DiskFreeBytes(root, freeBytes, totalBytes)) return false;
  constexpr uint64_t kCluster = 4096, kMaxClusters = 0xFFFFFFFFu;
  sectorsPerCluster = 8;
  bytesPerSector = 512;
  freeClusters = static_cast<uint32_t>(std::min(freeBytes / kCluster, kMaxClusters));
  totalClusters = static_cast<uint32_t>(std::min(totalBytes / kCluster, kMaxClusters));
  return true;
}
