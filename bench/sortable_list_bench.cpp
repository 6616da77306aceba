// Sorting a folder listing of 100,000 entries by each sequence, both ways: the time the file
// list spends in TSortableList.Sort for a very large folder. Plain platform (byte comparison).
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "foundation/uFileList.h"
#include "foundation/uLocaleText.h"

namespace {

constexpr int kEntries = 100000;

void Fill(TSortableList& list) {
  static const char* const kExtensions[] = {"jpg", "gif", "png", "txt", "exe", "bmp", "tif", ""};
  std::mt19937 random(20240601);
  list.Clear();
  for (int i = 0; i < kEntries; ++i) {
    tFoundItem item;
    std::string name;
    const int length = 4 + static_cast<int>(random() % 12);
    for (int k = 0; k < length; ++k) name += static_cast<char>('a' + random() % 26);
    const char* extension = kExtensions[random() % 8];
    if (*extension) name += std::string(".") + extension;
    item.Name = name;
    item.Attributes = random() % 50 == 0 ? 16 : 32;
    item.Size = static_cast<int64_t>(random() % 5000000);
    tDateTimeFields f;
    f.Year = 1995 + static_cast<int>(random() % 30);
    f.Month = 1 + static_cast<int>(random() % 12);
    f.Day = 1 + static_cast<int>(random() % 28);
    f.Hour = static_cast<int>(random() % 24);
    f.Minute = static_cast<int>(random() % 60);
    f.Second = static_cast<int>(random() % 60);
    item.DosTime = FieldsToDosDateTime(f);
    list.Add(std::make_unique<TSrchRec>(item, i + 1));
  }
}

}  // namespace

int main() {
  const struct {
    sfb_SS sequence;
    const char* name;
  } sequences[] = {{SS_unsorted, "unsorted"},
                   {SS_name, "name"},
                   {SS_extension, "extension"},
                   {SS_size, "size"},
                   {SS_date, "date"}};
  TSortableList list;
  std::printf("TSortableList.Sort of %d entries (seconds)\n", kEntries);
  double total = 0;
  for (const auto& s : sequences) {
    for (bool ascending : {true, false}) {
      Fill(list);  // every run starts from the same reading order
      const auto start = std::chrono::steady_clock::now();
      list.Sort(ascending, s.sequence);
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      total += took.count();
      std::printf("  %-10s %-10s %.3f\n", s.name, ascending ? "ascending" : "descending",
                  took.count());
    }
  }
  std::printf("  all ten sorts %.3f\n", total);
  return 0;
}
