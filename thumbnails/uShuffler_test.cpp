#include "thumbnails/uShuffler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace {

// The arithmetic written out step by step, as plainly as it can be: 32-bit wrap of the seed,
// high half of the 64-bit product, probing to the next free slot.
std::vector<uint32_t> Model(uint32_t n, int h, int m, int s, int ms) {
  uint64_t seed = ((uint64_t(h) * 60 + m) * 60 + s) * 1000 + ms;
  std::vector<uint32_t> slots(n, 65535);
  for (uint32_t v = 0; v < n; ++v) {
    seed = (seed * 0x08088405ull + 1) % 4294967296ull;
    uint64_t i = (seed * n) / 4294967296ull;
    while (slots[i] != 65535) i = (i + 1) % n;
    slots[i] = v;
  }
  return slots;
}

std::vector<uint32_t> Permutation(uint32_t n, uint32_t clock) {
  tShuffler shuffler(n, [clock] { return clock; });
  const uint16_t* p = nullptr;
  EXPECT_TRUE(shuffler.Shuffle(p));
  return std::vector<uint32_t>(p, p + n);
}

TEST(Shuffler, MatchesTheArithmeticForFixedClocks) {
  struct {
    uint32_t n;
    int h, m, s, ms;
  } cases[] = {{1, 0, 0, 0, 0},     {2, 0, 0, 0, 1},     {6, 12, 34, 56, 789},
               {7, 23, 59, 59, 999}, {100, 8, 0, 0, 0}, {1000, 17, 45, 3, 250}};
  for (const auto& c : cases) {
    const uint32_t clock = ((c.h * 60 + c.m) * 60 + c.s) * 1000 + c.ms;
    EXPECT_EQ(Permutation(c.n, clock), Model(c.n, c.h, c.m, c.s, c.ms)) << "n=" << c.n;
  }
}

TEST(Shuffler, OneEntryGivesZeroAndEqualClocksEqualOrders) {
  EXPECT_EQ(Permutation(1, 123456), std::vector<uint32_t>{0});
  EXPECT_EQ(Permutation(50, 4711), Permutation(50, 4711));
  EXPECT_NE(Permutation(50, 4711), Permutation(50, 4712));
}

TEST(Shuffler, LargeListsAreFullPermutations) {
  for (uint32_t n : {40000u, 65535u}) {
    std::vector<uint32_t> p = Permutation(n, 86399999);
    ASSERT_EQ(p.size(), n);
    std::sort(p.begin(), p.end());
    std::vector<uint32_t> all(n);
    std::iota(all.begin(), all.end(), 0u);
    EXPECT_EQ(p, all) << n;
  }
}

TEST(Shuffler, ListsBeyondSixteenBitsKeepTheirOrder) {
  tShuffler big(65536, [] { return 1u; });
  const uint16_t* p = reinterpret_cast<const uint16_t*>(1);
  EXPECT_FALSE(big.Shuffle(p));
  EXPECT_EQ(p, nullptr);
  std::vector<std::string> list(70000);
  for (size_t i = 0; i < list.size(); ++i) list[i] = std::to_string(i);
  const auto before = list;
  EXPECT_FALSE(ShuffleList(list, [] { return 5u; }));
  EXPECT_EQ(list, before);
}

TEST(Shuffler, ShuffleListTakesOldEntryAtEachPosition) {
  std::vector<std::string> list = {"a", "b", "c", "d", "e", "f", "g"};
  const auto p = Permutation(7, 999);
  ASSERT_TRUE(ShuffleList(list, [] { return 999u; }));
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(list[i], std::string(1, char('a' + p[i])));
}

TEST(Shuffler, ClockIsTimeOfDay) {
  EXPECT_LT(UtcMillisecondsOfDay(), 86400000u);
}

}  // namespace
