// A control-break report engine: records of a fixed size are fed in sorted order; per level a
// test says whether a record starts a new group, a begin handler writes the group's heading
// and an end handler its footing. Level 0 is the detail level (every record ends and begins
// it), level 10 the grand total (ended only by Finish); tests are asked for levels 9 down to 1.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct tLevel {
  // True when the group of that level changes between the previous and the current record.
  std::function<bool(int level, const uint8_t* current, const uint8_t* previous)> Test;
  std::function<void(int level, const uint8_t* record)> Begin;
  std::function<void(int level, const uint8_t* record)> End;
};

class tRPG {
 public:
  static constexpr int kLevels = 11;

  explicit tRPG(size_t recordSize);
  // Levels 0..10 only (a larger one is ignored); replaces an earlier level.
  void SetLevel(int level, tLevel handlers);
  void Feed(const void* record);
  // Ends every level with the last record; nothing when no record was fed.
  void Finish();

  int BreakLevel() const { return breakLevel_; }
  uint32_t Count() const { return count_; }

 private:
  std::array<std::unique_ptr<tLevel>, kLevels> levels_;
  std::vector<uint8_t> current_, previous_;
  int breakLevel_ = 0;
  uint32_t count_ = 0;
  size_t recordSize_;
};
