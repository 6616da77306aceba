// What the zip window shows of the reader's records: one list row per file entry, and the
// texts of its status bar.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "viewers/zip/Unzip.h"

struct tZipRow {
  std::string Caption;                // the file name
  std::vector<std::string> SubItems;  // date, time, size, ratio, packed size, folder
};

// False for the end record and for folder entries (a name without a file part).
bool ZipRowOf(const TZipEntryInfo& info, tZipRow& row);
// "%d files %.0n bytes".
std::string ZipSummaryText(int rows, int64_t sizeTotal);
// Status panel 1 after extracting all: the error code, or the count extracted.
std::string ZipExtractResultText(int32_t result, int extracted);
// The warning after a run that extracted fewer files than the list holds ('' when all were).
std::string ZipPartialWarning(int extracted, int rows);
// A private folder for the entries opened for viewing, inside the temporary folder (with a
// trailing separator): other programs' files of the same name are left alone.
std::string ZipViewFolder(const std::string& tempFolder, uint32_t processId);
