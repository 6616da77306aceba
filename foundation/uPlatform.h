// The few things portable code needs to ask of the operating system. The programs install the
// Win32 implementation at start-up; native tests use the plain one, whose answers they can set.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/uTypes.h"

#include "foundation/uRegistryStore.h"

#include "foundation/uTypes.h"

struct tWindowsVersion {
  int PlatformId = 2;  // 0 Win32s, 1 Windows 9x, 2 NT family
  int Major = 6;
  int Minor = 1;
  uint32_t Build = 7601;  // low 16 bits: build number; high 16 bits: major and minor
};

// The user's date and time conventions, taken as one copy so that formatting never changes
// what the rest of the process sees. Formats are Windows pictures ("M/d/yyyy", "h:mm:ss tt");
// name arrays start with January and Sunday. (Number separators: ThousandSeparator().)
struct tFormatSettings {
  std::string ShortDateFormat = "M/d/yyyy";
  std::string LongTimeFormat = "h:mm:ss tt";
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
  std::string ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::string LongMonthNames[12] = {"January",   "February", "March",    "April",
                                    "May",       "June",     "July",     "August",
                                    "September", "October",  "November", "December"};
  std::string ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::string LongDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
};

// One item of a directory search, as the search returns it.
struct tFoundItem {
  std::string Name;
  int64_t Size = 0;
  uint32_t Attributes = 0;  // 1 read-only, 2 hidden, 4 system, 8 volume, 16 directory, 32 archive
  uint32_t DosTime = 0;     // last write in local time: DOS date (high word), DOS time (low word)
};

// ItemAttributes of a path that does not exist.
constexpr uint32_t kNoFileAttributes = 0xFFFFFFFFu;

class tPlatform {
 public:
  virtual ~tPlatform() = default;
  // Full-screen client size: SM_CXFULLSCREEN, SM_CYFULLSCREEN + SM_CYCAPTION.
  virtual void FullScreenSize(int& width, int& height) = 0;
  // Bits per pixel times planes of the screen.
  virtual int ScreenColorBits() = 0;
  // The screen's size in pixels: SM_CXSCREEN, SM_CYSCREEN.
  virtual void ScreenSize(int& width, int& height) = 0;
  // The process command line as the system hands it over (UTF-8).
  virtual std::string CommandLine() = 0;
  virtual tWindowsVersion WindowsVersion() = 0;
  // A string resource of the running program ('' when there is none).
  virtual std::string ResourceString(int id) = 0;
  // Sends a message to a window (SendMessage); handle 0 sends nothing.
  virtual intptr_t SendWindowMessage(intptr_t window, unsigned message, uintptr_t wparam,
                                     intptr_t lparam) = 0;
  // The folder for temporary files (UTF-8), with a trailing path separator.
  virtual std::string TempFolder() = 0;
  // The running process's id: names of temporary files must not collide between two copies.
  virtual uint32_t ProcessId() = 0;
  // A system colour (GetSysColor index) as 0x00BBGGRR; 0 for an unknown index.
  virtual uint32_t SysColor(int index) = 0;
  // The user's locale's number separators (UTF-8; empty when the locale has none).
  virtual std::string ThousandSeparator() = 0;
  virtual std::string DecimalSeparator() = 0;
  // The registry: the system's in the programs, one in memory in the plain platform.
  virtual tRegistryStore& Registry() = 0;

  // Clock, locale and environment.
  // The local date and time (a TDateTime: days since 30 December 1899).
  virtual TDateTime Now() = 0;
  virtual tFormatSettings FormatSettings() = 0;
  // Case-insensitive comparison in the user's locale: -1, 0 or 1.
  virtual int CompareTextLocale(const std::string& a, const std::string& b) = 0;
  // A key whose byte order (unsigned) is the order of CompareTextLocale: for sorting many
  // texts, each converted once.
  virtual std::string LocaleSortKey(const std::string& text) = 0;
  virtual std::string WindowsFolder() = 0;
  // An environment variable ('' when missing).
  virtual std::string EnvVariable(const std::string& name) = 0;
  // The program the shell would open a file with ('' when none).
  virtual std::string AssociatedProgram(const std::string& path) = 0;

  // Files and folders. Paths use "\" (the plain platform also takes "/").
  // Appends to items what a directory search of a pattern ("C:\pics\*.gif") finds, hidden
  // and system items, "." and ".." included; false when it finds nothing.
  virtual bool FindItems(const std::string& pattern, std::vector<tFoundItem>& items) = 0;
  // Attribute bits of a file or folder, kNoFileAttributes when there is none.
  virtual uint32_t ItemAttributes(const std::string& path) = 0;
  virtual bool SetItemDosTime(const std::string& path, uint32_t dosTime) = 0;
  // Sets the read-only, hidden, system and archive bits of a file (the other bits are ignored).
  virtual bool SetItemAttributes(const std::string& path, uint32_t attributes) = 0;
  // Creates one folder (its parent must exist).
  virtual bool MakeFolder(const std::string& path) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  // Renames a file, replacing an existing target.
  virtual bool ReplaceFile(const std::string& from, const std::string& to) = 0;
  // Sets the process's error mode (SEM_FAILCRITICALERRORS = 1); returns the previous one.
  virtual uint32_t ExchangeErrorMode(uint32_t mode) = 0;

  // Disks, by root path ("C:\").
  virtual bool DiskFreeBytes(const std::string& root, uint64_t& freeBytes,
                             uint64_t& totalBytes) = 0;
  virtual bool DiskClusters(const std::string& root, uint32_t& sectorsPerCluster,
                            uint32_t& bytesPerSector, uint32_t& freeClusters,
                            uint32_t& totalClusters) = 0;
};

// The platform in use; the plain one until a program installs another.
tPlatform& Platform();
// Installs a platform (nullptr returns to the plain one). Not owned.
void SetPlatform(tPlatform* platform);

// The plain platform: fixed answers that tests may change, and string resources from the
// table the programs compile into their resources.
class tPlainPlatform : public tPlatform {
 public:
  int ScreenWidth = 1024, ScreenHeight = 768, ColorBits = 24;
  std::string CommandLineText = "Tavishore32.exe";
  tWindowsVersion Version;
  std::string TempFolderText;  // empty: the system's temporary folder
  std::string ThousandSep = ",", DecimalSep = ".";
  tMemRegistry MemRegistry;

  void FullScreenSize(int& width, int& height) override;
  int ScreenColorBits() override;
  void ScreenSize(int& width, int& height) override;
  std::string CommandLine() override;
  tWindowsVersion WindowsVersion() override;
  std::string ResourceString(int id) override;
  intptr_t SendWindowMessage(intptr_t window, unsigned message, uintptr_t wparam,
                             intptr_t lparam) override;
  std::string TempFolder() override;
  uint32_t ProcessId() override;
  // The classic Windows scheme's colours.
  uint32_t SysColor(int index) override;
  std::string ThousandSeparator() override;
  std::string DecimalSeparator() override;
  tRegistryStore& Registry() override;

  // A fixed clock when not 0; else the host's local time.
  TDateTime FixedNow = 0;
  tFormatSettings Formats;
  std::string WindowsDir = "C:\\WINDOWS";

  TDateTime Now() override;
  tFormatSettings FormatSettings() override;
  // Plain ASCII comparison, letters folded to upper case.
  int CompareTextLocale(const std::string& a, const std::string& b) override;
  std::string LocaleSortKey(const std::string& text) override;
  std::string WindowsFolder() override;
  std::string EnvVariable(const std::string& name) override;
  std::string AssociatedProgram(const std::string& path) override;
  // Through std::filesystem: directory bit, read-only from the write permission, hidden for
  // names beginning with "." (as Unix hides them), no system or archive bits.
  bool FindItems(const std::string& pattern, std::vector<tFoundItem>& items) override;
  uint32_t ItemAttributes(const std::string& path) override;
  bool SetItemDosTime(const std::string& path, uint32_t dosTime) override;
  // Only the read-only bit has a meaning here: it takes away the write permissions.
  bool SetItemAttributes(const std::string& path, uint32_t attributes) override;
  bool MakeFolder(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool ReplaceFile(const std::string& from, const std::string& to) override;
  uint32_t ExchangeErrorMode(uint32_t mode) override;
  bool DiskFreeBytes(const std::string& root, uint64_t& freeBytes, uint64_t& totalBytes) override;
  // Reports 4096-byte clusters of 8 sectors of 512 bytes.
  bool DiskClusters(const std::string& root, uint32_t& sectorsPerCluster, uint32_t& bytesPerSector,
                    uint32_t& freeClusters, uint32_t& totalClusters) override;

 private:
  uint32_t errorMode_ = 0;
};
