// A random permutation of 0..n-1 for shuffling a slide show's file list. The generator is seeded
// from the time of day, so two shuffles started within the same millisecond give the same order.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Milliseconds since midnight of the current UTC time: ((h x 60 + m) x 60 + s) x 1000 + ms.
uint32_t UtcMillisecondsOfDay();

class tShuffler {
 public:
  // Entries are 16 bits and 65535 marks a free one, so the largest list that can be shuffled
  // has 65535 entries; a longer one gets no buffer and keeps its order rather than lose files.
  static constexpr uint32_t kMaxCount = 65535;
  static constexpr uint16_t kFree = 0xFFFF;
  using tClock = std::function<uint32_t()>;

  // Without a clock the UTC time of day seeds the generator. When the buffer cannot be had
  // (too many entries, no memory) the shuffler is empty and Shuffle gives false.
  explicit tShuffler(uint32_t count, tClock clock = {});

  uint32_t Count() const { return static_cast<uint32_t>(buffer_.size()); }
  // The permutation: entry i is the old position that goes to position i. The buffer is the
  // shuffler's own and stays valid until the next Shuffle or the shuffler's end.
  bool Shuffle(const uint16_t*& permutation);

  // The generator: seed := seed x $08088405 + 1, the result the high half of seed x n.
  static uint32_t Random(uint32_t& seed, uint32_t n);

 private:
  std::vector<uint16_t> buffer_;
  tClock clock_;
};

// Reorders a list by a fresh permutation (new entry i := old entry p[i]). False, with the list
// unchanged, when the shuffler has no buffer for it.
bool ShuffleList(std::vector<std::string>& list, const tShuffler::tClock& clock = {});
