// The program's own zip reader: lists the entries of an archive through a callback and
// extracts entries (all that match a mask, or one by its index) into a folder, checking each
// entry's CRC-32. Methods: 0 stored, 1 shrunk, 6 imploded, 8 deflated; every other method is
// reported as not supported. The engine keeps its state for the whole unit: one listing or
// extraction at a time.
#pragma once
#include <cstdint>
#include <string>

// The record handed to the callbacks (packed: the fields follow one another without gaps).
#pragma pack(push, 1)
struct TZipEntryInfo {
  // The entry's name when listing, the output path when extracting, the archive's name in the
  // start and end records; always zero-terminated.
  char Name[260];
  int32_t DateTime;    // DOS time (low word) and date (high word); -1 in the end record
  uint32_t Size;       // uncompressed (totals in the start and end records)
  uint32_t PackedSize;  // compressed
  int32_t Attributes;  // DOS attribute byte; -1 in the end record
  uint16_t Method;     // 9 for an entry that was not overwritten
  int8_t Ratio;        // per cent saved
  int32_t RecordCode;  // kZipRec... or, after a fatal entry error, the error code
  uint8_t IsDirectory;  // the entry's name ends in "/" or "\"
};
#pragma pack(pop)
static_assert(sizeof(TZipEntryInfo) == 284, "the callback record has no gaps");

// Record codes.
enum : int32_t {
  kZipRecEntryStart = -1000,
  kZipRecProgress = -1001,
  kZipRecExtracted = -1002,
  kZipRecFailed = -1003,
  kZipRecRunStart = -1004,
  kZipRecRunEnd = -1005,
};

// Result codes (0 or more: entries listed or extracted; one entry: success).
enum : int32_t {
  kZipCrcError = -1,
  kZipWriteError = -2,
  kZipReadError = -3,
  kZipBadData = -4,
  kZipAborted = -5,
  kZipUnsupported = -6,
  kZipEncrypted = -7,
  kZipBusy = -8,
  kZipNoDirectory = -9,
  kZipNoMoreEntries = -10,
  kZipCannotRead = -11,
  kZipNotZip = -12,
  kZipCannotOpen = -14,
  kZipFatalValue = -100,
  kZipBadArguments = -500,
};

using TZipCallback = void (*)(void* userData, int32_t value, TZipEntryInfo* info);
// Called when the output file exists; false keeps the old file.
using TZipQuestion = bool (*)(void* userData, TZipEntryInfo* info);
// Called before each block of an entry's data is read, with the per cent of the entry read so
// far: the place to handle pending window messages. True asks to abort the extraction.
using TZipPump = bool (*)(void* userData, int percent);

// Lists every entry whose name matches the mask: one kZipRecProgress record per entry
// (value 0), then the kZipRecRunEnd record (value = count). Returns the count or a code.
int32_t ZipProcess(const std::string& archive, const std::string& mask, TZipCallback callback,
                   void* userData);
// Extracts every entry matching the mask (index below 0) or only the entry with that index,
// counting entries in directory order from 0 and skipping those whose names end in a separator.
int32_t ZipExtract(const std::string& archive, const std::string& folder, const std::string& mask,
                   TZipQuestion question, void* questionData, TZipCallback callback,
                   void* userData, int32_t index);
int32_t ZipExtractAll(const std::string& archive, const std::string& folder,
                      const std::string& mask, TZipQuestion question, void* questionData,
                      TZipCallback callback, void* userData);
int32_t ZipExtractEntry(const std::string& archive, const std::string& folder, int32_t index,
                        TZipQuestion question, void* questionData, TZipCallback callback,
                        void* userData);

// When set, entries go into the target folder without their folders, and directory entries
// give no callback records. Returns the previous flag.
bool ZipSetJunkPaths(bool junk);
// Returns the previous callback.
TZipCallback ZipSetCallback(TZipCallback callback, void* userData);
// The pump that extraction calls between blocks (none at start-up).
void ZipSetPump(TZipPump pump, void* userData);
// Clears all engine state.
void ZipReset();

// The uncompressed total over all entries; packedTotal gets the compressed total. For a file
// that is not a zip archive packedTotal is the file's size and the result 0.
uint32_t ZipTotalSizes(const std::string& archive, uint32_t& packedTotal);
// False for a folder; true when the file opens and begins with "PK" 3 4.
bool IsZipFile(const std::string& name);
// The mask rule: "*.*" and "" match everything; "*" any run, "?" one character, no case.
bool ZipMaskMatches(const std::string& mask, const std::string& name);
// 100 - packed x 100 / size (both divided by 100 first for large packed sizes); 0 for size 0.
int ZipRatio(uint32_t size, uint32_t packed);
