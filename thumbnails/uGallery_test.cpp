#include "thumbnails/uGallery.h"

#include <gtest/gtest.h>

#include "tests/TestSupport.h"

namespace {

TEST(Gallery, Pages) {
  const std::tuple<uint32_t, int, int, int, int> table[] = {
      // count, per page, pages, items on the last page, first index of the last page
      {81, 40, 3, 1, 80}, {80, 40, 2, 40, 40}, {1, 40, 1, 1, 0},
      {0, 40, 0, 0, 0},   {5, 0, 1, 5, 0},     {100, 7, 15, 2, 98},
  };
  for (const auto& [count, perPage, pages, last, first] : table) {
    EXPECT_EQ(GalleryPageCount(count, perPage), pages) << count << "/" << perPage;
    if (pages == 0) continue;
    EXPECT_EQ(GalleryPageItems(count, pages - 1, perPage), last) << count;
    EXPECT_EQ(GalleryPageFirst(pages - 1, perPage), static_cast<uint32_t>(first)) << count;
    EXPECT_EQ(GalleryPageItems(count, pages, perPage), 0) << count;
  }
  EXPECT_EQ(GalleryPageOfPosition(0, 40), 0);
  EXPECT_EQ(GalleryPageOfPosition(40, 40), 0);
  EXPECT_EQ(GalleryPageOfPosition(41, 40), 1);
  EXPECT_EQ(GalleryPageText(1, 0), "Page 1 of 0");  // an empty selection
  EXPECT_EQ(GalleryTaggedText(3), "3 tagged");
}

TEST(Gallery, EditTargets) {
  const std::vector<bool> tags{false, true, false, true};
  EXPECT_EQ(GalleryEditTargets(tags, 1), (std::vector<int>{1, 3}));  // focused one tagged
  EXPECT_EQ(GalleryEditTargets(tags, 2), (std::vector<int>{2}));
  EXPECT_EQ(GalleryEditTargets(tags, -1), (std::vector<int>{}));
  EXPECT_EQ(GalleryEditTargets(tags, 4), (std::vector<int>{}));
}

class GalleryTexts : public testsupport::tPlainPlatformTest {};

TEST_F(GalleryTexts, RowOfARecord) {
  TThumbnailRecord r{};
  r.Status = 'A';
  SetRecordPathText(r, "E:\\trips\\2001\\beach.jpg");
  r.Volume = 3;
  r.DosTime = (uint32_t((2001 - 1980) << 9 | 7 << 5 | 4) << 16) | (13 << 11 | 5 << 5 | 10);
  r.FileSize = 1234567;
  r.Width = 640;
  r.Height = 480;
  r.ColorCode = 280;
  r.FormatId = 12;
  r.Group = 'B';
  SetRecordKeywords(r, "sand sea");
  const tGalleryItemText t = GalleryItemTexts(r, "HOLIDAY");
  EXPECT_EQ(t.Caption, "beach.jpg");
  ASSERT_EQ(t.SubItems.size(), 6u);
  EXPECT_EQ(t.SubItems[1], "[HOLIDAY]  E:\\trips\\2001");
  EXPECT_EQ(t.SubItems[2], "B");
  EXPECT_EQ(t.SubItems[3], "sand sea" + std::string(44, ' '));
  EXPECT_EQ(t.SubItems[4], "  1,234,567");
  EXPECT_EQ(t.SubItems[5], "7/4/2001 1:05:20 PM");
  r.Volume = 0;
  EXPECT_EQ(GalleryLocationText(r, ""), "E:\\trips\\2001");
  SetRecordPathText(r, "C:\\root.gif");
  EXPECT_EQ(GalleryLocationText(r, ""), "C:\\");
}

TEST_F(GalleryTexts, Edits) {
  TThumbnailRecord r{};
  r.Status = 'A';
  SetGalleryKeywords(r, std::string(60, 'k'));
  EXPECT_EQ(RecordKeywords(r), std::string(52, 'k'));
  SetGalleryGroup(r, "family");
  EXPECT_EQ(r.Group, 'f');
  SetGalleryGroup(r, "");
  EXPECT_EQ(r.Group, ' ');
  const std::pair<char, char> toggles[] = {{'A', 'D'}, {'D', 'A'}, {'p', 'p'}, {0, 0}};
  for (const auto& [from, to] : toggles) {
    r.Status = from;
    ToggleGalleryDeleted(r);
    EXPECT_EQ(r.Status, to) << from;
  }
  EXPECT_TRUE(SameVolumeLabel(" holiday ", "HOLIDAY"));
  EXPECT_FALSE(SameVolumeLabel("WORK", "HOLIDAY"));
}

}  // namespace
