#include "foundation/uRecordSort.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include "foundation/uBuffStream.h"
#include "foundation/uPlatform.h"

namespace {

constexpr uint32_t kPages = 256;
constexpr uint32_t kPageLimit = 65536;   // a page holds less than this
constexpr uint32_t kPointerMin = 64;     // records this large and more are sorted by pointer,
constexpr uint32_t kPointerEnd = 65532;  // as long as record + pointer still fits a page
constexpr int kMergeWays = 5;
constexpr int kSmallRange = 16;  // shorter ranges take the middle record as pivot
constexpr int kStackPairs = 32;  // the larger part is pushed, so depth stays below log2(count)
constexpr uint32_t kMaxRuns = 65535;

// One run being read: its own page as buffer, the current record inside it.
struct tActiveRun {
  uint16_t run = 0;
  std::unique_ptr<TStream> file;
  uint8_t* buffer = nullptr;
  uint32_t bytes = 0;    // valid bytes in the buffer
  uint32_t readPos = 0;  // offset of the record that the next step makes current
  uint64_t left = 0;     // bytes of the run file not read yet
  const uint8_t* current = nullptr;
};

enum class tPhase { idle, receiving, delivering };

struct tSortState {
  uint16_t error = 0;
  void* context = nullptr;
  tSortLessFunc less = nullptr;
  tSortTempNameFunc tempName = nullptr;
  tPhase phase = tPhase::idle;

  uint32_t recSize = 0;
  bool pointerMode = false;
  uint32_t slotSize = 0;
  uint32_t perPage = 0;  // P
  uint32_t shift = 0, mask = 0;
  uint32_t blockSize = 0;
  uint32_t capacity = 0;
  std::vector<std::unique_ptr<uint8_t[]>> pages;

  uint32_t count = 0;
  uint64_t total = 0;
  uint32_t runCount = 0, mergedCount = 0;
  std::vector<uint64_t> runBytes;  // by run number: what was written, so a short read shows
  tActiveRun active[kMergeWays];
  int activeCount = 0;
  uint32_t outputIndex = 0;
};

tSortState S;

uint8_t* Slot(uint32_t i) { return S.pages[i >> S.shift].get() + (i & S.mask) * S.slotSize; }

uint32_t LoadRef(const uint8_t* slot) {
  uint32_t ref;
  std::memcpy(&ref, slot, sizeof ref);
  return ref;
}

// The record at sorted position i of the pool.
uint8_t* Record(uint32_t i) {
  if (!S.pointerMode) return Slot(i);
  return Slot(LoadRef(Slot(i))) + 4;
}

uint8_t* PivotCopy() {
  return S.pointerMode ? Slot(255 * S.perPage - 1) + 4 : Slot(kPages * S.perPage - 2);
}

bool Less(const void* a, const void* b) { return S.less(S.context, a, b); }

void Exchange(uint32_t i, uint32_t j) {
  if (S.pointerMode) {
    uint8_t* a = Slot(i);
    uint8_t* b = Slot(j);
    uint8_t t[4];
    std::memcpy(t, a, 4);
    std::memcpy(a, b, 4);
    std::memcpy(b, t, 4);
  } else {
    uint8_t* x = Slot(kPages * S.perPage - 1);
    std::memcpy(x, Slot(i), S.recSize);
    std::memcpy(Slot(i), Slot(j), S.recSize);
    std::memcpy(Slot(j), x, S.recSize);
  }
}

int64_t MedianOfThree(int64_t l, int64_t m, int64_t r) {
  const uint8_t* a = Record(static_cast<uint32_t>(l));
  const uint8_t* b = Record(static_cast<uint32_t>(m));
  const uint8_t* c = Record(static_cast<uint32_t>(r));
  if (Less(a, b)) return Less(b, c) ? m : (Less(c, a) ? l : r);
  return !Less(c, a) ? l : (Less(b, c) ? r : m);
}

// Iterative quicksort of pool positions low..high. The scans are also held inside the range,
// which a consistent less-than never needs but an inconsistent one cannot then overrun.
void QuickSort(int64_t low, int64_t high) {
  struct tRange {
    int64_t l, r;
  } stack[kStackPairs];
  int sp = 0;
  stack[sp++] = {low, high};
  uint8_t* pivot = PivotCopy();
  while (sp > 0) {
    int64_t l = stack[--sp].l;
    int64_t r = stack[sp].r;
    while (l < r) {
      int64_t m = l + (r - l + 1) / 2;
      int64_t p = r - l + 1 >= kSmallRange ? MedianOfThree(l, m, r) : m;
      std::memcpy(pivot, Record(static_cast<uint32_t>(p)), S.recSize);
      int64_t i = l, j = r;
      do {
        while (i < r && Less(Record(static_cast<uint32_t>(i)), pivot)) ++i;
        while (j > l && Less(pivot, Record(static_cast<uint32_t>(j)))) --j;
        if (S.error) return;
        if (i == j) {
          ++i;
          --j;
        } else if (i < j) {
          Exchange(static_cast<uint32_t>(i), static_cast<uint32_t>(j));
          ++i;
          --j;
        }
      } while (i <= j);
      if (j - l < r - i) {
        if (i < r && sp < kStackPairs) stack[sp++] = {i, r};
        r = j;
      } else {
        if (l < j && sp < kStackPairs) stack[sp++] = {l, j};
        l = i;
      }
    }
  }
}

std::filesystem::path PathOf(const std::string& name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

void DeleteRunFile(uint16_t run) {
  std::error_code ec;  // a run file that is already gone is no error
  std::filesystem::remove(PathOf(S.tempName(run)), ec);
}

// Creates the next run file; null (with the error code set) on failure.
std::unique_ptr<TStream> CreateRun() {
  if (S.runCount >= kMaxRuns) {
    S.error = sortTooManyRuns;
    return nullptr;
  }
  ++S.runCount;
  auto file =
      TFileStream::Open(S.tempName(static_cast<uint16_t>(S.runCount)), TFileStream::fmCreate);
  if (!file) {
    --S.runCount;
    S.error = sortCreateError;
  }
  return file;
}

void WriteBlock(TStream& file, const uint8_t* data, uint32_t n, uint64_t& written) {
  if (S.error || n == 0) return;
  int32_t done = file.Write(data, static_cast<int32_t>(n));
  if (done != static_cast<int32_t>(n)) S.error = sortWriteError;
  written += n;
}

void RecordRunBytes(uint64_t bytes) {
  if (S.runBytes.size() <= S.runCount) S.runBytes.resize(S.runCount + 1);
  S.runBytes[S.runCount] = bytes;
}

// Writes the sorted pool as one more run.
void WritePoolRun() {
  auto file = CreateRun();
  if (!file) return;
  uint64_t written = 0;
  if (S.pointerMode) {
    uint8_t* out = S.pages[255].get();
    uint32_t used = 0;
    for (uint32_t k = 0; k < S.count && !S.error; ++k) {
      if (used + S.recSize > S.blockSize) {
        WriteBlock(*file, out, used, written);
        used = 0;
      }
      std::memcpy(out + used, Record(k), S.recSize);
      used += S.recSize;
    }
    WriteBlock(*file, out, used, written);
  } else {
    uint64_t left = static_cast<uint64_t>(S.count) * S.recSize;
    for (uint32_t p = 0; left > 0 && !S.error; ++p) {
      uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(left, S.blockSize));
      WriteBlock(*file, S.pages[p].get(), n, written);
      left -= n;
    }
  }
  RecordRunBytes(written);
}

// Drops active run k: its file is closed and deleted, the last active run takes its slot.
void DropRun(int k) {
  tActiveRun& r = S.active[k];
  r.file.reset();
  DeleteRunFile(r.run);
  if (k != S.activeCount - 1) r = std::move(S.active[S.activeCount - 1]);
  S.active[S.activeCount - 1] = tActiveRun();
  --S.activeCount;
}

// Makes the next record of active run k current, or drops the run at its end. A run file that
// gives fewer bytes than were written to it is a read error, not an early end.
void Advance(int k) {
  tActiveRun& r = S.active[k];
  if (r.readPos >= r.bytes) {
    uint32_t want = static_cast<uint32_t>(std::min<uint64_t>(S.blockSize, r.left));
    int32_t got = want > 0 ? r.file->Read(r.buffer, static_cast<int32_t>(want)) : 0;
    if (want == 0 || got != static_cast<int32_t>(want)) {
      if (want > 0 && !S.error) S.error = sortReadError;
      DropRun(k);
      return;
    }
    r.left -= want;
    r.bytes = want;
    r.readPos = 0;
  }
  r.current = r.buffer + r.readPos;
  r.readPos += S.recSize;
}

// Opens up to five runs after the merged count, each with the page of its place in the group.
void OpenRunGroup() {
  S.activeCount = 0;
  for (int g = 0; g < kMergeWays && S.mergedCount < S.runCount && !S.error; ++g) {
    uint16_t run = static_cast<uint16_t>(++S.mergedCount);
    auto file = TFileStream::Open(S.tempName(run), TFileStream::fmOpenRead);
    if (!file) {
      S.error = sortOpenError;
      break;
    }
    int k = S.activeCount++;
    tActiveRun& r = S.active[k];
    r.run = run;
    r.file = std::move(file);
    r.buffer = S.pages[g].get();
    r.bytes = r.readPos = 0;
    r.left = run < S.runBytes.size() ? S.runBytes[run] : 0;
    Advance(k);
  }
}

// The active run whose current record is smallest; ties keep the lower slot. -1 when none.
int ChooseRun() {
  if (S.activeCount == 0) return -1;
  int best = 0;
  for (int k = 1; k < S.activeCount; ++k)
    if (Less(S.active[k].current, S.active[best].current)) best = k;
  return best;
}

// Merges groups of five runs into new runs until five or fewer are left, then opens those for
// the output.
void Merge() {
  uint8_t* out = S.pages[5].get();
  while (!S.error && S.runCount - S.mergedCount > static_cast<uint32_t>(kMergeWays)) {
    OpenRunGroup();
    if (S.error) break;
    auto file = CreateRun();
    if (!file) break;
    uint64_t written = 0;
    uint32_t used = 0;
    for (int k = ChooseRun(); k >= 0 && !S.error; k = ChooseRun()) {
      if (used + S.recSize > S.blockSize) {
        WriteBlock(*file, out, used, written);
        used = 0;
        if (S.error) break;
      }
      std::memcpy(out + used, S.active[k].current, S.recSize);
      used += S.recSize;
      Advance(k);
    }
    WriteBlock(*file, out, used, written);
    RecordRunBytes(written);
  }
  if (!S.error) OpenRunGroup();
}

void SetUp(uint16_t recordSize) {
  S.recSize = recordSize;
  S.pointerMode = recordSize >= kPointerMin && recordSize < kPointerEnd;
  S.slotSize = S.pointerMode ? recordSize + 4u : recordSize;
  S.perPage = 1;
  S.shift = 0;
  while (S.perPage * 2 * S.slotSize < kPageLimit) {
    S.perPage *= 2;
    ++S.shift;
  }
  S.mask = S.perPage - 1;
  uint32_t pageBytes = S.perPage * S.slotSize;
  S.blockSize = pageBytes / S.recSize * S.recSize;
  S.capacity = S.pointerMode ? 255 * S.perPage - 1 : kPages * S.perPage - 2;
  // Counts first: should the pages not be had, the cleanup then finds no runs of this sort.
  S.count = S.runCount = S.mergedCount = S.outputIndex = 0;
  S.total = 0;
  S.activeCount = 0;
  S.runBytes.clear();
  S.pages.clear();
  for (uint32_t p = 0; p < kPages; ++p) S.pages.emplace_back(new uint8_t[pageBytes]);
}

void CleanUp() {
  while (S.activeCount > 0) DropRun(S.activeCount - 1);
  for (uint32_t run = S.mergedCount + 1; run <= S.runCount; ++run)
    DeleteRunFile(static_cast<uint16_t>(run));
  S.pages.clear();
  S.pages.shrink_to_fit();
  S.runBytes.clear();
  S.runBytes.shrink_to_fit();
  S.phase = tPhase::idle;
}

// Cleans up however the sort ends, also when memory runs out or a callback throws.
struct tCleanUpGuard {
  tCleanUpGuard() = default;
  tCleanUpGuard(const tCleanUpGuard&) = delete;
  tCleanUpGuard& operator=(const tCleanUpGuard&) = delete;
  ~tCleanUpGuard() { CleanUp(); }
};

}  // namespace

uint16_t SortRecords(void* context, uint16_t recordSize, tSortInputProc input, tSortLessFunc less,
                     tSortOutputProc output, tSortTempNameFunc tempName) {
  S.error = sortOk;
  if (recordSize == 0) return sortBadRecordSize;
  S.context = context;
  S.less = less;
  S.tempName = tempName ? tempName : SortTempFileName;
  const tCleanUpGuard guard;
  SetUp(recordSize);

  S.phase = tPhase::receiving;
  input(context);
  S.total += S.count;
  if (S.total == 0 && !S.error) S.error = sortNoRecords;

  if (!S.error && S.count >= 1) {
    QuickSort(0, static_cast<int64_t>(S.count) - 1);
    if (S.runCount > 0 && !S.error) WritePoolRun();
  }
  if (!S.error && S.runCount > 0) Merge();
  S.phase = tPhase::delivering;
  if (!S.error) output(context);
  return S.error;
}

bool SortPutRecord(const void* record) {
  if (S.phase != tPhase::receiving || S.error) return false;
  if (S.count >= S.capacity) {
    QuickSort(0, static_cast<int64_t>(S.count) - 1);
    if (!S.error) WritePoolRun();
    if (S.error) return false;
    S.total += S.count;
    S.count = 0;
  }
  uint8_t* slot = Slot(S.count);
  if (S.pointerMode) {
    std::memcpy(slot, &S.count, 4);
    slot += 4;
  }
  std::memcpy(slot, record, S.recSize);
  ++S.count;
  return true;
}

bool SortGetRecord(void* buffer) {
  if (S.phase != tPhase::delivering || S.error) return false;
  if (S.runCount > 0) {
    int k = ChooseRun();
    if (k < 0) return false;
    std::memcpy(buffer, S.active[k].current, S.recSize);
    Advance(k);
    return true;
  }
  if (S.outputIndex >= S.count) return false;
  std::memcpy(buffer, Record(S.outputIndex++), S.recSize);
  return true;
}

std::string SortTempFileName(uint16_t run) {
  return Platform().TempFolder() + "SOR" + std::to_string(Platform().ProcessId()) + "_" +
         std::to_string(run) + ".TMP";
}
