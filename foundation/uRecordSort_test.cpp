#include "foundation/uRecordSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <stdexcept>
#include <vector>

#include "foundation/uPlatform.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {

// Run files of a test go to its own scratch folder, so a test can see and damage them.
std::string gRunFolder;
uint16_t gHighestRun = 0;
std::string ScratchRunName(uint16_t run) {
  gHighestRun = std::max(gHighestRun, run);
  return gRunFolder + "/run" + std::to_string(run) + ".tmp";
}
void UseScratchRuns(const std::string& test) {
  gRunFolder = testsupport::ScratchDir(test).string();
  gHighestRun = 0;
}
size_t FilesIn(const std::string& folder) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// Records of `size` >= 12 bytes: an 8-byte key (few distinct values, so ties occur), the record's
// 4-byte index, and a body that follows from the index. Only the key is compared, so the output
// shows whether records kept their bodies and whether each came exactly once.
enum tOrder { kRandom, kDescending, kAllEqual };
struct tKeyed {
  uint16_t size;
  uint32_t n;
  tOrder order;
  uint32_t seed;
  std::vector<uint64_t> keys;
  std::vector<uint8_t> seen;
  uint64_t lastKey = 0;
  uint32_t delivered = 0;
  bool bad = false;
  bool outputCalled = false;
  // Called at the start of the output procedure (e.g. to damage a run file).
  void (*beforeOutput)() = nullptr;

  uint8_t BodyByte(uint32_t index, uint32_t offset) const {
    return static_cast<uint8_t>(index * 131u + offset * 7u + (offset >> 8));
  }
  void Make(uint32_t index, uint8_t* record) const {
    uint64_t k = keys[index];
    for (int b = 0; b < 8; ++b) record[b] = static_cast<uint8_t>(k >> (56 - 8 * b));  // big-endian
    std::memcpy(record + 8, &index, 4);
    for (uint32_t o = 12; o < size; ++o) record[o] = BodyByte(index, o);
  }
};

tKeyed MakeKeyed(uint16_t size, uint32_t n, tOrder order, uint32_t seed) {
  tKeyed t{size, n, order, seed, {}, {}};
  std::mt19937 rng(seed);
  for (uint32_t i = 0; i < n; ++i) {
    switch (order) {
      case kRandom:
        t.keys.push_back(rng() % 5000);
        break;
      case kDescending:
        t.keys.push_back(n - i);
        break;
      case kAllEqual:
        t.keys.push_back(42);
        break;
    }
  }
  t.seen.assign(n, 0);
  return t;
}

bool KeyLess(void*, const void* a, const void* b) { return std::memcmp(a, b, 8) < 0; }

void KeyedInput(void* context) {
  auto& t = *static_cast<tKeyed*>(context);
  std::vector<uint8_t> record(t.size);
  for (uint32_t i = 0; i < t.n; ++i) {
    t.Make(i, record.data());
    if (!SortPutRecord(record.data())) return;
  }
}

void KeyedOutput(void* context) {
  auto& t = *static_cast<tKeyed*>(context);
  t.outputCalled = true;
  if (t.beforeOutput) t.beforeOutput();
  std::vector<uint8_t> record(t.size), expected(t.size);
  while (SortGetRecord(record.data())) {
    uint32_t index;
    std::memcpy(&index, record.data() + 8, 4);
    if (index >= t.n || t.seen[index]) {
      t.bad = true;
      return;
    }
    t.seen[index] = 1;
    t.Make(index, expected.data());
    uint64_t key = t.keys[index];
    if (record != expected || key < t.lastKey) t.bad = true;
    t.lastKey = key;
    ++t.delivered;
  }
}

struct tKeyedCase {
  uint16_t size;
  uint32_t n;
  tOrder order;
  uint16_t highestRun;  // run files the sort must have named (0: none, it fits the pool)
};

class RecordSortKeyed : public testing::TestWithParam<tKeyedCase> {};

// Pool capacities: 12 bytes 1048574 records, 63 bytes (direct) 262142, 64 bytes (pointer)
// 130559, 32764, 40000 and 65532 bytes 254; one record more spills the pool into run 1 and
// the rest becomes run 2. With 12 runs, runs 1-5 merge into 13 and 6-10 into 14;
// 11 to 14 are merged while delivering.
TEST_P(RecordSortKeyed, MatchesSortedKeysAndKeepsEveryRecordWhole) {
  const tKeyedCase& c = GetParam();
  UseScratchRuns("sort_keyed_" + std::to_string(c.size) + "_" + std::to_string(c.n));
  tKeyed t = MakeKeyed(c.size, c.n, c.order, 1234 + c.size);
  ASSERT_EQ(SortRecords(&t, c.size, KeyedInput, KeyLess, KeyedOutput, ScratchRunName), sortOk);
  EXPECT_FALSE(t.bad);
  EXPECT_EQ(t.delivered, c.n);
  std::vector<uint64_t> oracle = t.keys;
  std::sort(oracle.begin(), oracle.end());
  EXPECT_EQ(t.lastKey, oracle.back());
  EXPECT_EQ(gHighestRun, c.highestRun);
  EXPECT_EQ(FilesIn(gRunFolder), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, RecordSortKeyed,
    testing::Values(tKeyedCase{12, 1, kRandom, 0}, tKeyedCase{12, 3000, kAllEqual, 0},
                    tKeyedCase{12, 1048575, kRandom, 2}, tKeyedCase{63, 15000, kDescending, 0},
                    tKeyedCase{64, 130559, kRandom, 0}, tKeyedCase{1000, 5000, kDescending, 0},
                    tKeyedCase{40000, 254, kDescending, 0}, tKeyedCase{65532, 255, kRandom, 2},
                    tKeyedCase{32764, 11 * 254 + 100, kRandom, 14}),
    [](const testing::TestParamInfo<tKeyedCase>& info) {
      return "size" + std::to_string(info.param.size) + "_n" + std::to_string(info.param.n);
    });

// Tiny records: the whole record is the key, checked against std::sort of the same bytes.
struct tTiny {
  uint16_t size;
  std::vector<uint8_t> in, out;
};
bool TinyLess(void* context, const void* a, const void* b) {
  return std::memcmp(a, b, static_cast<tTiny*>(context)->size) < 0;
}
void TinyInput(void* context) {
  auto& t = *static_cast<tTiny*>(context);
  for (size_t i = 0; i < t.in.size(); i += t.size) SortPutRecord(&t.in[i]);
}
void TinyOutput(void* context) {
  auto& t = *static_cast<tTiny*>(context);
  std::vector<uint8_t> r(t.size);
  while (SortGetRecord(r.data())) t.out.insert(t.out.end(), r.begin(), r.end());
}

TEST(RecordSort, TinyRecordsMatchStdSort) {
  for (uint16_t size : {1, 3, 8}) {
    tTiny t{size, {}, {}};
    std::mt19937 rng(size);
    for (int i = 0; i < 7000 * size; ++i) t.in.push_back(static_cast<uint8_t>(rng() % 7));
    EXPECT_EQ(SortRecords(&t, size, TinyInput, TinyLess, TinyOutput, nullptr), sortOk);
    std::vector<size_t> order(t.in.size() / size);
    for (size_t i = 0; i < order.size(); ++i) order[i] = i * size;
    std::sort(order.begin(), order.end(),
              [&](size_t x, size_t y) { return std::memcmp(&t.in[x], &t.in[y], size) < 0; });
    std::vector<uint8_t> flat;
    for (size_t at : order) flat.insert(flat.end(), t.in.begin() + at, t.in.begin() + at + size);
    EXPECT_EQ(t.out, flat) << "record size " << size;
  }
}

// The program's own names: in the temporary folder, with this process's id, and gone after a
// sort that spilled.
TEST(RecordSort, DefaultRunFilesAreOwnedByTheProcessAndRemoved) {
  std::string name = SortTempFileName(7);
  std::string prefix = Platform().TempFolder() + "SOR" + std::to_string(Platform().ProcessId());
  EXPECT_EQ(name, prefix + "_7.TMP");
  EXPECT_NE(SortTempFileName(8), name);

  tKeyed t = MakeKeyed(32764, 3 * 254, kRandom, 9);
  ASSERT_EQ(SortRecords(&t, 32764, KeyedInput, KeyLess, KeyedOutput, nullptr), sortOk);
  EXPECT_FALSE(t.bad);
  EXPECT_EQ(t.delivered, t.n);
  for (uint16_t run = 1; run <= 3; ++run) {
    std::string runName = SortTempFileName(run);
    EXPECT_FALSE(fs::exists(fs::path(std::u8string(runName.begin(), runName.end()))));
  }
}

void NoInput(void*) {}
bool gOutputCalled = false;
void MarkOutput(void*) { gOutputCalled = true; }

TEST(RecordSort, RecordSizeZeroAndNoRecords) {
  gOutputCalled = false;
  EXPECT_EQ(SortRecords(nullptr, 0, NoInput, KeyLess, MarkOutput, nullptr), sortBadRecordSize);
  EXPECT_EQ(SortRecords(nullptr, 16, NoInput, KeyLess, MarkOutput, nullptr), sortNoRecords);
  EXPECT_FALSE(gOutputCalled);
  uint8_t r[16] = {};
  EXPECT_FALSE(SortPutRecord(r));  // outside a sort
  EXPECT_FALSE(SortGetRecord(r));
}

std::string UnwritableRunName(uint16_t run) {
  return gRunFolder + "/missing-folder/run" + std::to_string(run) + ".tmp";
}

TEST(RecordSort, RunFileThatCannotBeCreatedGivesError4) {
  UseScratchRuns("sort_create_error");
  tKeyed t = MakeKeyed(32764, 300, kRandom, 5);
  EXPECT_EQ(SortRecords(&t, 32764, KeyedInput, KeyLess, KeyedOutput, UnwritableRunName),
            sortCreateError);
  EXPECT_FALSE(t.outputCalled);
}

// A run file that loses its tail while it is read must not pass for a shorter run: the
// records would be lost while the sort reported success.
void TruncateRunFiles() {
  for (auto& entry : fs::directory_iterator(gRunFolder)) fs::resize_file(entry.path(), 32764);
}

TEST(RecordSort, ShortReadOfARunFileGivesReadError) {
  UseScratchRuns("sort_read_error");
  tKeyed t = MakeKeyed(32764, 3 * 254, kRandom, 6);
  t.beforeOutput = TruncateRunFiles;
  EXPECT_EQ(SortRecords(&t, 32764, KeyedInput, KeyLess, KeyedOutput, ScratchRunName),
            sortReadError);
  EXPECT_TRUE(t.outputCalled);
  EXPECT_LT(t.delivered, t.n);
  EXPECT_EQ(FilesIn(gRunFolder), 0u);
}

void Throw() { throw std::runtime_error("callback failed"); }

TEST(RecordSort, CallbackThatThrowsLeavesNoRunFiles) {
  UseScratchRuns("sort_throw");
  tKeyed t = MakeKeyed(32764, 3 * 254, kRandom, 7);
  t.beforeOutput = Throw;
  EXPECT_THROW(SortRecords(&t, 32764, KeyedInput, KeyLess, KeyedOutput, ScratchRunName),
               std::runtime_error);
  EXPECT_EQ(FilesIn(gRunFolder), 0u);
  tKeyed again = MakeKeyed(32764, 3 * 254, kRandom, 8);  // and the next sort starts afresh
  EXPECT_EQ(SortRecords(&again, 32764, KeyedInput, KeyLess, KeyedOutput, ScratchRunName), sortOk);
  EXPECT_FALSE(again.bad);
  EXPECT_EQ(again.delivered, again.n);
  EXPECT_EQ(FilesIn(gRunFolder), 0u);
}

}  // namespace
