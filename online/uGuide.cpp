#include "online/uGuide.h"

#include <algorithm>
#include <string_view>

#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = LowerChar(c);
  return text;
}

std::string KeyName(const char* stem, int i) {
  char text[32];
  snprintf(text, sizeof text, "%s%.3d", stem, i);
  return text;
}

// Runs the routine when the scope ends, also by an exception.
template <typename F>
struct tFinally {
  F f;
  ~tFinally() { f(); }
};
template <typename F>
tFinally(F) -> tFinally<F>;

// File streams take the host's own paths; the platform's routines take "\" everywhere.
std::string HostPath(std::string path) {
#ifndef _WIN32
  std::replace(path.begin(), path.end(), '\\', '/');
#endif
  return path;
}

}  // namespace

std::vector<std::string> SplitTextLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

bool FindKeyValue(const std::vector<std::string>& lines, const std::string& key,
                  std::string& value) {
  const std::string wanted = Lower(key);
  for (const std::string& line : lines) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    if (Lower(line.substr(0, eq)) == wanted) {
      value = line.substr(eq + 1);
      return true;
    }
  }
  return false;
}

int64_t StrToInt64(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int64_t value = 0;
  int digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    if (++digits > 18) break;
    value = value * 10 + (text[i++] - '0');
  }
  while (i < text.size() && text[i] == ' ') ++i;
  if (digits == 0 || digits > 18 || i != text.size())
    throw EConvertError("'" + text + "' is not a valid integer value");
  return negative ? -value : value;
}

bool SafeGuideName(const std::string& name) {
  if (name.empty()) return false;
  if (name[0] == '\\' || name[0] == '/') return false;  // absolute or UNC
  // A drive or stream name, or characters no file name may hold.
  for (const char c : name)
    if (static_cast<unsigned char>(c) < 32 || std::string_view(":*?\"<>|").find(c) != std::string_view::npos)
      return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("\\/", start);
    if (end == std::string::npos) end = name.size();
    const std::string segment = name.substr(start, end - start);
    // ".." climbs out; Windows also drops trailing dots and blanks, so "... " is ".." too.
    std::string bare = segment;
    while (!bare.empty() && (bare.back() == '.' || bare.back() == ' ')) bare.pop_back();
    if (bare.empty() && !segment.empty() && segment != ".") return false;
    if (segment.empty() && end == name.size()) return false;  // a folder, not a file
    start = end + 1;
  }
  return true;
}

int PercentOf(int64_t part, int64_t whole) {
  if (whole <= 0 || part <= 0) return 0;
  if (part >= whole) return 100;
  return static_cast<int>(part * 100 / whole);
}

tVersionDocument ParseVersionDocument(const std::string& text) {
  tVersionDocument doc;
  const std::vector<std::string> lines = SplitTextLines(text);
  std::string vsn, vsw, cst;
  const bool haveVsn = FindKeyValue(lines, "vsn", vsn);
  const bool haveVsw = FindKeyValue(lines, "vsw", vsw);
  const bool haveCst = FindKeyValue(lines, "cst", cst);
  if (haveVsn) doc.VersionText = vsn;
  try {
    if (haveVsw) {
      const int64_t v = StrToInt64(vsw);
      if (v >= 1001 && v <= INT32_MAX) doc.VersionNumberW = static_cast<int>(v);
    }
  } catch (const EConvertError&) {
  }
  try {
    if (haveCst) {
      const int64_t v = StrToInt64(cst);
      if (v >= 701 && v < 3500) doc.Cost = static_cast<int>(v);
    }
  } catch (const EConvertError&) {
  }
  doc.Valid = !doc.VersionText.empty() && doc.VersionNumberW != 0 && doc.Cost != 0;
  return doc;
}

bool IsNewerVersion(int publishedNumber, int runningNumber) {
  return publishedNumber / 100 > runningNumber / 100;
}

TGuide2::TGuide2() = default;
TGuide2::~TGuide2() = default;

void TGuide2::Update(uint8_t state) {
  if (OnUpdate) OnUpdate(*this, state);
}

int TGuide2::FileCount() const {
  std::string value;
  if (!FindKeyValue(IndexLines, "Files", value)) return 0;
  const int64_t n = StrToInt64(value);
  // A count beyond what three-digit keys can name is as many as there are names.
  return static_cast<int>(std::clamp<int64_t>(n, 0, 1000));
}

tGuideEntry TGuide2::Entry(int i) const {
  tGuideEntry entry;
  std::string value;
  if (FindKeyValue(IndexLines, KeyName("name", i), value)) entry.Name = value;
  if (FindKeyValue(IndexLines, KeyName("size", i), value)) entry.Size = StrToInt64(value);
  if (FindKeyValue(IndexLines, KeyName("date", i), value))
    entry.Date = static_cast<uint32_t>(StrToInt64(value));
  return entry;
}

int TGuide2::GetIndex() {
  CurrentName = "<contents>";
  FilesToGet = 1;
  Update(guideBatchBegin);
  tFinally done{[this] { Update(guideBatchEnd); }};
  TMemoryStream stream;
  GetUrl(stream, IndexURL);
  const std::string text(stream.Data().begin(), stream.Data().end());
  IndexLines = SplitTextLines(text);
  IndexLines.erase(std::remove_if(IndexLines.begin(), IndexLines.end(),
                                  [](const std::string& line) {
                                    return line.empty() || line[0] == '<';
                                  }),
                   IndexLines.end());
  const int n = FileCount();
  if (n > 0 && Entry(n - 1).Date == 0) return 0;
  return n;
}

bool TGuide2::NeedsFile(const tGuideEntry& entry) {
  // Names that would leave the guide folder are never fetched.
  if (!SafeGuideName(entry.Name)) return false;
  const int64_t age = FileAge(JoinPath(DocFolder(), entry.Name));
  return age < 0 || static_cast<uint32_t>(age) != entry.Date;
}

int TGuide2::CountFilesToGet() {
  FilesToGet = 0;
  TotalReceived = 0;
  TotalToGet = 0;
  const int n = FileCount();
  for (int i = 0; i < n; ++i) {
    const tGuideEntry entry = Entry(i);
    if (NeedsFile(entry)) {
      ++FilesToGet;
      TotalToGet += entry.Size;
    }
  }
  return FilesToGet;
}

void TGuide2::UpdateGuide() {
  if (FilesToGet < 1) return;
  FilesGot = 0;
  localGuideDate_.clear();
  std::string base;
  if (!FindKeyValue(IndexLines, "url", base) || base.empty()) return;
  Update(guideBatchBegin);
  tFinally done{[this] { Update(guideBatchEnd); }};
  const int n = FileCount();
  for (int i = 0; i < n; ++i) {
    const tGuideEntry entry = Entry(i);
    if (!NeedsFile(entry)) continue;
    DownloadFile(base, entry.Name, entry.Size, entry.Date, DocFolder());
    ++FilesGot;
  }
}

void TGuide2::DownloadFile(const std::string& baseAddress, const std::string& name, int64_t size,
                           uint32_t date, const std::string& folder) {
  std::string urlName = name;
  std::replace(urlName.begin(), urlName.end(), '\\', '/');
  const std::string address = baseAddress + urlName;
  std::string localName = name;
  std::replace(localName.begin(), localName.end(), '/', '\\');
  const std::string target = JoinPath(folder, localName);
  CreateDirectoryPath(ExtractFilePath(target));
  CurrentName = name;
  // The old file stays until the new one has arrived whole.
  const std::string partial = target + ".part";
  {
    std::unique_ptr<TFileStream> file = TFileStream::Open(HostPath(partial), TFileStream::fmCreate);
    if (!file) throw EConvertError("Cannot create file \"" + partial + "\"");
    try {
      GetUrl(*file, address);
    } catch (...) {
      file.reset();
      Platform().RemoveFile(partial);
      throw;
    }
  }
  if (!Platform().ReplaceFile(partial, target)) {
    Platform().RemoveFile(partial);
    throw EConvertError("Cannot create file \"" + target + "\"");
  }
  FileSetDate(target, date);
}

int64_t TGuide2::GetUrl(TStream& stream, const std::string& address) {
  Update(guideTransferBegin);
  tFinally done{[this] { Update(guideTransferEnd); }};
  Received = 0;
  ContentLength = 0;
  if (!Fetch) throw EConvertError("No transfer routine");
  return Fetch(address, stream,
               [this](int64_t contentLength, int64_t received) { Progress(contentLength, received); });
}

void TGuide2::Progress(int64_t contentLength, int64_t received) {
  ContentLength = contentLength;
  LastChunk = received - Received;
  Received = received;
  TotalReceived += LastChunk;
  Update(guideBytes);
  if (Received == ContentLength && Sleep) Sleep(250);
}

std::string TGuide2::DocFolder() {
  if (docFolder_.empty()) docFolder_ = AddBackslash(ProgramFolder) + "Doc";
  return docFolder_;
}

std::string TGuide2::LocalGuidePath() {
  if (localGuidePath_.empty()) {
    const std::string path = DocFolder() + "\\" + LocalGuideName;
    const uint32_t attributes = Platform().ItemAttributes(path);
    if (attributes != kNoFileAttributes && (attributes & 16) == 0) localGuidePath_ = path;
  }
  return localGuidePath_;
}

std::string TGuide2::LocalGuideDate() {
  if (localGuideDate_.empty() && !LocalGuidePath().empty()) {
    std::vector<tFoundItem> items;
    Platform().FindItems(DocFolder() + "\\*.*", items);
    int latest = 0;
    bool any = false;
    for (const tFoundItem& item : items) {
      // Subfolders carry the date they were made, not a document's.
      if (item.Name.empty() || item.Name[0] == '.' || (item.Attributes & 16) != 0) continue;
      latest = any ? IntMax(latest, static_cast<int>(item.DosTime)) : static_cast<int>(item.DosTime);
      any = true;
    }
    if (any) localGuideDate_ = DateToMDYText(DosDateToDateTime(static_cast<uint32_t>(latest) >> 16));
  }
  return localGuideDate_;
}

std::string TGuide2::Vsn() const {
  std::string value;
  FindKeyValue(IndexLines, "Vsn", value);
  return value;
}

tVersionDocument CheckPublishedVersion(const std::vector<std::string>& baseAddresses,
                                       const std::function<std::string(const std::string&)>& fetch,
                                       const std::function<void()>& invalid, std::string& body) {
  for (const std::string& base : baseAddresses) {
    std::string text;
    try {
      text = fetch(base + "t32v.htm");
    } catch (...) {
      // No answer from this address counts like a wrong one.
    }
    const tVersionDocument doc = ParseVersionDocument(text);
    if (doc.Valid) {
      body = text;
      return doc;
    }
    if (invalid) invalid();
  }
  body.clear();
  return tVersionDocument{};
}

bool SaveTextFile(const std::string& text, const std::string& path) {
  const std::string partial = path + ".new";
  {
    std::unique_ptr<TFileStream> file = TFileStream::Open(HostPath(partial), TFileStream::fmCreate);
    if (!file) return false;
    if (!text.empty() &&
        file->Write(text.data(), static_cast<int32_t>(text.size())) != static_cast<int32_t>(text.size())) {
      file.reset();
      Platform().RemoveFile(partial);
      return false;
    }
  }
  if (!Platform().ReplaceFile(partial, path)) {
    Platform().RemoveFile(partial);
    return false;
  }
  return true;
}
