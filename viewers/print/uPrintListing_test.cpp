#include "viewers/print/uPrintListing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Pages as a printer would make them: a form feed starts the next one.
struct tPages : tListingOutput {
  std::vector<std::vector<std::string>> pages{{}};
  int PageNumber() override { return static_cast<int>(pages.size()); }
  void WriteLine(const std::string& text, uint32_t) override {
    std::string t = text;
    if (!t.empty() && t[0] == '\f') {
      pages.emplace_back();
      t.erase(0, 1);
    }
    pages.back().push_back(t);
  }
};

TEST(PrintListing, PagesAndHeaders) {
  EXPECT_EQ(ListingLinesPerPage(6600, 100, 1, 1), 56);
  EXPECT_EQ(ListingTitleHeader("12/10/2026", "20:05", "C:\\f.bin"), "12/10/2026  20:05     C:\\f.bin");
  tPages p;
  const int lpp = 10;
  WriteTextListing(
      p, 20, [](int i, uint32_t&) { return "line " + std::to_string(i); }, "HDR", 1, 6, lpp);
  // 8 text lines per page (lines per page - 2), so 20 lines make 3 pages.
  ASSERT_EQ(p.pages.size(), 3u);
  const std::string margin(7, ' ');
  for (size_t k = 0; k < p.pages.size(); ++k) {
    const auto& page = p.pages[k];
    EXPECT_EQ(page[0], "");
    EXPECT_EQ(page[1], "");
    EXPECT_EQ(page[2], margin);
    EXPECT_EQ(page[3], margin + "Page " + std::to_string(k + 1) + "   HDR");
    const size_t texts = page.size() - 4;
    EXPECT_EQ(texts, k < 2 ? 8u : 4u);
    EXPECT_EQ(page[4], margin + "line " + std::to_string(k * 8));
  }
}

TEST(PrintListing, EmptyListingWritesNothing) {
  tPages p;
  WriteTextListing(p, 0, [](int, uint32_t&) { return std::string(); }, "HDR", 2, 6, 50);
  EXPECT_TRUE(p.pages[0].empty());
}

}  // namespace
