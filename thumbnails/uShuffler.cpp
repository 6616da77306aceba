#include "thumbnails/uShuffler.h"

#include <chrono>
#include <new>

uint32_t UtcMillisecondsOfDay() {
  using namespace std::chrono;
  const auto now = time_point_cast<milliseconds>(system_clock::now()).time_since_epoch();
  const auto day = duration_cast<milliseconds>(hours(24)).count();
  auto ms = now.count() % day;
  if (ms < 0) ms += day;
  return static_cast<uint32_t>(ms);
}

tShuffler::tShuffler(uint32_t count, tClock clock) : clock_(std::move(clock)) {
  if (count > kMaxCount) return;
  try {
    buffer_.assign(count, kFree);
  } catch (const std::bad_alloc&) {
    buffer_.clear();
  }
}

uint32_t tShuffler::Random(uint32_t& seed, uint32_t n) {
  seed = seed * 0x08088405u + 1u;
  return static_cast<uint32_t>((static_cast<uint64_t>(seed) * n) >> 32);
}

bool tShuffler::Shuffle(const uint16_t*& permutation) {
  permutation = nullptr;
  if (buffer_.empty()) return false;
  const uint32_t n = Count();
  for (auto& entry : buffer_) entry = kFree;
  uint32_t seed = clock_ ? clock_() : UtcMillisecondsOfDay();
  for (uint32_t v = 0; v < n; ++v) {
    uint32_t i = Random(seed, n);
    // Linear probing: the next free slot after the drawn one, wrapping round.
    while (buffer_[i] != kFree) i = (i + 1 == n) ? 0 : i + 1;
    buffer_[i] = static_cast<uint16_t>(v);
  }
  permutation = buffer_.data();
  return true;
}

bool ShuffleList(std::vector<std::string>& list, const tShuffler::tClock& clock) {
  if (list.size() > tShuffler::kMaxCount) return false;
  tShuffler shuffler(static_cast<uint32_t>(list.size()), clock);
  const uint16_t* p = nullptr;
  if (!shuffler.Shuffle(p)) return false;
  std::vector<std::string> shuffled(list.size());
  for (size_t i = 0; i < list.size(); ++i) shuffled[i] = std::move(list[p[i]]);
  list.swap(shuffled);
  return true;
}
