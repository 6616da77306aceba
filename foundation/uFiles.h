// Routines on paths, files, folders and disks with the program's conventions: result codes
// instead of exceptions, backslash-terminated folder texts, numbered names for new folders and
// copies, a block copy that reports progress; and tStopwatch. The operating system is asked
// through the platform interface (uPlatform.h).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/uTypes.h"

class TStream;

// Paths. "\" separates folders; "/" is taken as a separator too when paths are split.
std::string AddBackslash(const std::string& path);
// Drops a final "\" when the path is longer than 3 characters (a drive root keeps it).
std::string RemoveBackslash(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);
// The folder part with its final separator ("C:\pics\" of "C:\pics\a.gif"), the name part,
// and the extension with its dot ('' when the name has none).
std::string ExtractFilePath(const std::string& path);
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);
// A list whose line 0 is a folder (as the file list hands it out) becomes full paths: line 0
// goes, every other line gets the folder with a trailing backslash in front.
void ExpandFolderList(std::vector<std::string>& list);

// Folders.
// A drive root ("C:\") is taken to exist; otherwise a directory search must find a folder.
bool FolderExists(const std::string& path);
bool IsDirectory(const std::string& path);
// Creates the folder and any missing parents; failures of single steps are ignored. Throws
// std::runtime_error("Unable to create directory") for an empty path.
void CreateDirectoryPath(const std::string& path);
std::string WindowsDirectory();
// The drive root of the Windows directory ("C:\").
std::string WindowsDrive();
// %TEMP%, or the Windows directory's TEMP folder when that is empty.
std::string TempDirectory();
// The program the shell opens the file with, '' when none.
std::string FindAssociatedProgram(const std::string& path);

// Free names. Each takes the first candidate that no file or folder holds.
// "New Folder", "New Folder (2)", ... in a folder; the name alone.
std::string NewFolderName(const std::string& folder);
// pic.jpg, pic (2).jpg, ...; a name already numbered (pic (3).jpg) counts on from its number.
std::string UniqueFileName(const std::string& path);
// The path's name cut at its first "." and then numbered 0, 1, ... within 8 characters, in
// the path's folder, with the given extension (".uue").
std::string Unique83FileName(const std::string& path, const std::string& extension);

// Files.
// Size found by a directory search, 0 when nothing is found.
int64_t FileSizeOf(const std::string& path);
// The DOS date and time of a file's last write (local time), -1 when there is no such file.
int64_t FileAge(const std::string& path);
bool FileSetDate(const std::string& path, uint32_t dosTime);

// Result codes of the copy.
enum : int {
  kCopyOK = 0,
  kCopySourceNotOpened = 2,
  kCopyTargetNotCreated = 3,
  kCopyShortWrite = 4,
  kCopyReadError = 5,  // the source ended before its length: a read error in the middle
};
// Called before copying with (0, total) and after every block with (bytes done, total).
using TCopyProgress = std::function<void(int64_t done, int64_t total)>;
// Copies source from start offset on into target, with the source's date and time. The copy
// is written beside the target and takes its place only when complete: after any failure
// an earlier target is unchanged and no partial copy is left behind.
int CopyFileWithProgress(int64_t startOffset, const std::string& source, const std::string& target,
                         const TCopyProgress& progress);
int CopyFileFromStart(const std::string& source, const std::string& target,
                      const TCopyProgress& progress);
// The copy loop between two open streams, blocks of 8192 bytes: kCopyOK, kCopyShortWrite or
// kCopyReadError. The source is positioned at start offset first.
int CopyStreamWithProgress(int64_t startOffset, TStream& source, TStream& target,
                           const TCopyProgress& progress);
// The file copy from an open source: kCopyOK, kCopyTargetNotCreated, kCopyShortWrite or
// kCopyReadError. The target gets the DOS date and time when it is not negative.
int CopyStreamToFile(int64_t startOffset, TStream& source, int64_t dosTime,
                     const std::string& target, const TCopyProgress& progress);
// Writes the text's bytes as the whole file (nothing at all for an empty text); false when
// the file could not be written.
bool SaveStringToFile(const std::string& text, const std::string& path);
// Appends the stream's bytes from its position to its end; false when the reads ended before
// the end (a read error part way), so that a cut text is never taken for the whole.
bool ReadWholeStream(TStream& in, std::string& text);
// The file's bytes, '' when it cannot be opened or not read whole.
std::string LoadStringFromFile(const std::string& path);

// Disks.
bool IsRemovableDriveType(int driveType);  // 2 removable, 5 CD-ROM
bool IsRemoteDriveType(int driveType);     // 4 remote
// Free and total bytes of a drive by letter; false (outputs untouched) when it cannot be read.
bool GetDiskSpace(char driveLetter, uint64_t& freeBytes, uint64_t& totalBytes);
// Cluster geometry of the drive of a root path ("C:\"); false (outputs untouched) on failure.
bool GetDiskGeometry(const std::string& root, uint32_t& sectorsPerCluster, uint32_t& bytesPerSector,
                     uint32_t& freeClusters, uint32_t& totalClusters);

// Measures and shows elapsed time. Times are date-time values (days); both 0 at first.
class tStopwatch {
 public:
  virtual ~tStopwatch() = default;
  void Start();
  void Stop();
  // Stop time minus start time, in days.
  TDateTime Elapsed() const;
  // 0: the start time, 1: the elapsed time, other values: the stop time; as "hh:nn:ss.zzz"
  // of the time of day (the day count is not shown).
  std::string TimeText(int which) const;
  std::string ElapsedText() const { return TimeText(1); }

  TDateTime StartTime = 0;
  TDateTime StopTime = 0;
};
