// The user's guide downloader and the documents of the on-line service: the guide index
// ("t51g.htm") and the version document ("t32v.htm"), both lines of key=value, looked up by key
// without regard to case. TGuide2 compares the index with the guide folder beside the program
// and brings the folder up to date; the transfers themselves go through a fetch routine that
// the owner supplies (the HTTP client in the program).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TStream;

// The lines of a text (CR LF, LF or CR ends a line; no empty last line for a final end).
std::vector<std::string> SplitTextLines(const std::string& text);
// The value of the first line "key=value" whose key matches without regard to case.
bool FindKeyValue(const std::vector<std::string>& lines, const std::string& key,
                  std::string& value);
// An integer as the platform converts it (blanks around it, an optional sign); throws
// EConvertError for anything else.
int64_t StrToInt64(const std::string& text);

// One file of the guide index.
struct tGuideEntry {
  std::string Name;
  int64_t Size = 0;
  uint32_t Date = 0;  // packed DOS date (high word) and time (low word)
};

// True for a name that stays inside the guide folder: relative, no drive, no UNC name, no
// ".." segment, not empty. Subfolders ("img\a.gif", "img/a.gif") are fine.
bool SafeGuideName(const std::string& name);

// A whole percentage of part in whole; 0 when whole is 0 or less, at most 100.
int PercentOf(int64_t part, int64_t whole);

// The version document.
struct tVersionDocument {
  std::string VersionText;  // "vsn"
  int VersionNumberW = 0;   // "vsw"; 0 when invalid
  int Cost = 0;             // "cst"; 0 when invalid
  bool Valid = false;       // all three present and valid
};
tVersionDocument ParseVersionDocument(const std::string& text);
// Only a change of the first three digits counts: 5200 is newer than 5101, 5199 is not.
bool IsNewerVersion(int publishedNumber, int runningNumber);

// Progress states given to OnUpdate.
enum : uint8_t {
  guideBatchBegin = 0,
  guideTransferBegin = 1,
  guideBytes = 2,
  guideTransferEnd = 3,
  guideBatchEnd = 4,
};

class TGuide2 {
 public:
  // Fetches an address into a stream; calls progress(content length, bytes received so far)
  // as data arrives; returns the bytes received. Throws on any failure (including a status
  // of 400 or more and a body shorter than announced).
  using tFetch = std::function<int64_t(const std::string& url, TStream& target,
                                       const std::function<void(int64_t, int64_t)>& progress)>;

  TGuide2();
  virtual ~TGuide2();

  tFetch Fetch;
  std::function<void(TGuide2& sender, uint8_t state)> OnUpdate;
  // Wait after a transfer that filled its length, so a full progress bar stays visible.
  std::function<void(int ms)> Sleep;

  std::vector<std::string> IndexLines;
  std::string LocalGuideName;  // "t32guide.htm"
  std::string IndexURL;
  // The program's folder with a trailing separator; DocFolder is computed from it.
  std::string ProgramFolder;

  std::string CurrentName;
  int64_t ContentLength = 0;
  int64_t Received = 0;
  int FilesToGet = 0;
  int FilesGot = 0;
  int64_t LastChunk = 0;
  int64_t TotalReceived = 0;
  int64_t TotalToGet = 0;

  // Downloads the index; N, or 0 when the last entry has no date.
  int GetIndex();
  int FileCount() const;
  tGuideEntry Entry(int i) const;
  int CountFilesToGet();
  void UpdateGuide();
  void DownloadFile(const std::string& baseAddress, const std::string& name, int64_t size,
                    uint32_t date, const std::string& folder);
  int64_t GetUrl(TStream& stream, const std::string& address);

  std::string DocFolder();
  std::string LocalGuidePath();
  std::string LocalGuideDate();
  std::string Vsn() const;

 private:
  bool NeedsFile(const tGuideEntry& entry);
  void Progress(int64_t contentLength, int64_t received);
  void Update(uint8_t state);
  std::string docFolder_, localGuidePath_, localGuideDate_;
};

// The version check: asks each base address in turn for its version document until one is
// valid. fetch gets an address and returns the document, throwing on any failure (which counts
// as no answer from that address). invalid() runs for each address whose answer is not a valid
// document. Returns the valid document (Valid false when none came) and its text in body.
tVersionDocument CheckPublishedVersion(const std::vector<std::string>& baseAddresses,
                                       const std::function<std::string(const std::string&)>& fetch,
                                       const std::function<void()>& invalid, std::string& body);
// Writes the text as the file, beside it first: an old file stays whole when writing fails.
bool SaveTextFile(const std::string& text, const std::string& path);
