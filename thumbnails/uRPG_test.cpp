#include "thumbnails/uRPG.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records of 2 bytes: a folder letter and an item letter.
struct Report {
  std::vector<std::string> events;
  tRPG rpg{2};
  explicit Report(bool withTest) {
    for (int level = 0; level <= 10; ++level) {
      tLevel l;
      l.Begin = [this](int lv, const uint8_t* r) { Log("begin", lv, r); };
      l.End = [this](int lv, const uint8_t* r) { Log("end", lv, r); };
      if (level == 1 && withTest)
        l.Test = [](int, const uint8_t* cur, const uint8_t* prev) { return cur[0] != prev[0]; };
      rpg.SetLevel(level, std::move(l));
    }
  }
  void Log(const char* what, int level, const uint8_t* r) {
    events.push_back(std::string(what) + " " + std::to_string(level) + " " +
                     std::string(reinterpret_cast<const char*>(r), 2));
  }
  void Feed(const char* r) { rpg.Feed(r); }
};

std::vector<std::string> Range(const char* what, int from, int to, const char* record) {
  std::vector<std::string> v;
  for (int l = from; from <= to ? l <= to : l >= to; from <= to ? ++l : --l)
    v.push_back(std::string(what) + " " + std::to_string(l) + " " + record);
  return v;
}

}  // namespace

TEST(RPG, FolderBreaks) {
  Report report(true);
  report.Feed("A1");
  EXPECT_EQ(report.events, Range("begin", 9, 0, "A1"));
  report.events.clear();
  report.Feed("A2");
  EXPECT_EQ(report.events, (std::vector<std::string>{"end 0 A1", "begin 0 A2"}));
  report.events.clear();
  report.Feed("B3");
  EXPECT_EQ(report.events,
            (std::vector<std::string>{"end 0 A2", "end 1 A2", "begin 1 B3", "begin 0 B3"}));
  EXPECT_EQ(report.rpg.BreakLevel(), 1);
  report.events.clear();
  report.rpg.Finish();
  EXPECT_EQ(report.events, Range("end", 0, 10, "B3"));
  EXPECT_EQ(report.rpg.Count(), 3u);
}

TEST(RPG, FinishWithoutRecordsDoesNothing) {
  Report report(true);
  report.rpg.Finish();
  EXPECT_TRUE(report.events.empty());
}

TEST(RPG, AbsentHandlersAndLevelsAreSkipped) {
  tRPG rpg(1);
  std::vector<int> ends;
  tLevel l;
  l.End = [&](int level, const uint8_t*) { ends.push_back(level); };
  rpg.SetLevel(3, l);
  rpg.SetLevel(11, l);  // ignored
  rpg.SetLevel(-1, l);
  const uint8_t r = 0;
  rpg.Feed(&r);
  rpg.Feed(&r);
  EXPECT_TRUE(ends.empty());
  rpg.Finish();
  EXPECT_EQ(ends, std::vector<int>{3});
}
