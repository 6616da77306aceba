// Sort engine for fixed-size records that may not fit in memory. The caller streams records in
// from its input procedure (SortPutRecord) and takes them back in order from its output
// procedure (SortGetRecord). Records are sorted in a pool of 256 pages; a full pool is spilled
// to a run file, and the runs are merged five at a time.
//
// The engine's state is process-wide: one sort at a time, and the callbacks run inside
// SortRecords.
#pragma once
#include <cstdint>
#include <string>

// Error codes of SortRecords.
enum : uint16_t {
  sortOk = 0,
  sortOpenError = 2,        // a run file could not be opened for reading
  sortCreateError = 4,      // a run file could not be created
  sortReadError = 100,      // a run file gave fewer bytes than were written to it
  sortWriteError = 101,     // a run file write stored fewer bytes than asked
  sortBadRecordSize = 106,  // record size 0
  sortNoRecords = 213,      // the input procedure added no record
  sortTooManyRuns = 214,    // more than 65535 runs would be needed
};

using tSortInputProc = void (*)(void* context);
using tSortOutputProc = void (*)(void* context);
// True when record a sorts before record b.
using tSortLessFunc = bool (*)(void* context, const void* a, const void* b);
// The file name of run number `run` (1..65535); distinct names for distinct numbers.
using tSortTempNameFunc = std::string (*)(uint16_t run);

// Sorts the records that `input` adds and hands them to `output` in order (not stable).
// `tempName` null means SortTempFileName. Returns one of the codes above; after an error the
// output procedure is not called. Every run file is gone when it returns.
uint16_t SortRecords(void* context, uint16_t recordSize, tSortInputProc input, tSortLessFunc less,
                     tSortOutputProc output, tSortTempNameFunc tempName);

// From within the input procedure: copies one record (record size bytes) into the engine.
// False after an error: the input procedure should stop.
bool SortPutRecord(const void* record);

// From within the output procedure: copies the next record in order into `buffer`. False when
// no record is left or after an error.
bool SortGetRecord(void* buffer);

// The program's run file names: "SOR<process id>_<run>.TMP" in the temporary folder, so that
// two running copies never share a run file.
std::string SortTempFileName(uint16_t run);
