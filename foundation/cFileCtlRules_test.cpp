#include "foundation/cFileCtlRules.h"

#include <gtest/gtest.h>

#include <memory>

#include "foundation/uFileList.h"

namespace {
// Rows like a folder listing: kinds from the names ("dir/" a folder), all untagged.
struct Rows {
  explicit Rows(std::vector<std::string> names) {
    int n = 0;
    for (const std::string& name : names) {
      tFoundItem item;
      bool folder = !name.empty() && name.back() == '/';
      item.Name = folder ? name.substr(0, name.size() - 1) : name;
      item.Attributes = folder ? 16 : 32;
      item.Size = 100 * (n + 1);
      owned.push_back(std::make_unique<TSrchRec>(item, ++n));
      rows.push_back(owned.back().get());
    }
  }
  std::vector<std::unique_ptr<TSrchRec>> owned;
  std::vector<TSrchRec*> rows;
};

int Spaces(int n) { return 7 * n; }  // a fixed-pitch font 7 pixels wide
}  // namespace

TEST(FileListRules, HeaderSectionsAndTheNameColumn) {
  EXPECT_EQ(HeaderSectionWidths(11, 16, Spaces), (std::vector<int>{15, 18, 91, 84, 77, 70}));
  EXPECT_EQ(FitNameColumn(91, Spaces), 14);  // 13 spaces fit exactly: 14 is the first wider
  EXPECT_EQ(FitNameColumn(0, Spaces), 1);
  EXPECT_EQ(FitNameColumn(100000, Spaces), 255);
  EXPECT_EQ(FitNameColumn(5, [](int) { return 0; }), 255);  // a font without width ends too
}

TEST(FileListRules, RowWidthAndColumnsFromTheWidth) {
  tRowLayout l;
  l.CheckWidth = 11;
  l.GlyphWidth = 16;
  l.LongestName = 12;
  l.DateLength = 10;
  // Without a header: (12 + 1) + 12 + (10 + 1) + 10 = 46 spaces after the glyph area.
  EXPECT_EQ(RowWidth(l, Spaces), 33 + 46 * 7);
  l.Details = FileDetailBit(fdName);
  EXPECT_EQ(RowWidth(l, Spaces), 33 + 13 * 7);
  l.Header = true;
  l.Details = FileDetailBit(fdName) | FileDetailBit(fdTime);
  l.Sections[0] = 91;
  l.Sections[3] = 70;
  EXPECT_EQ(RowWidth(l, Spaces), 33 + 91 + 70);
  struct {
    int width, row, columns;
  } cases[] = {{373, 200, 0}, {400, 200, 2}, {399, 200, 0}, {1000, 120, 8}, {100, 0, 0}};
  for (const auto& c : cases) EXPECT_EQ(ColumnsFor(c.width, c.row), c.columns) << c.width;
}

TEST(FileListRules, OnlyFilesAreTagged) {
  Rows r({"sub/", "a.gif"});
  for (int mode : {kUntag, kToggleTag, kTag}) EXPECT_FALSE(TagFor(*r.rows[0], mode)) << mode;
  EXPECT_TRUE(TagFor(*r.rows[1], kTag));
  EXPECT_TRUE(TagFor(*r.rows[1], kToggleTag));
  r.rows[1]->Tagged = true;
  EXPECT_FALSE(TagFor(*r.rows[1], kToggleTag));
  EXPECT_FALSE(TagFor(*r.rows[1], kUntag));
}

TEST(FileListRules, TagRangeLooksBackFirstThenForward) {
  Rows r({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
  EXPECT_FALSE(TagRangeFor(r.rows, 5).has_value());
  r.rows[8]->Tagged = true;
  EXPECT_EQ(TagRangeFor(r.rows, 5), std::make_pair(5, 7));
  r.rows[2]->Tagged = true;
  EXPECT_EQ(TagRangeFor(r.rows, 5), std::make_pair(3, 5));  // the row before wins
  EXPECT_FALSE(TagRangeFor(r.rows, 10).has_value());
  EXPECT_EQ(TagRangeFor(r.rows, 3), std::make_pair(3, 3));
}

TEST(FileListRules, NameListsStartWithTheFolder) {
  Rows r({"sub/", "a.gif", "b.jpg", "c.txt"});
  EXPECT_TRUE(TaggedNameList("C:\\pics", r.rows).empty());
  r.rows[1]->Tagged = r.rows[3]->Tagged = true;
  EXPECT_EQ(TaggedNameList("C:\\pics", r.rows),
            (std::vector<std::string>{"C:\\pics\\", "a.gif", "c.txt"}));
  EXPECT_EQ(TaggedNameList("C:\\", r.rows)[0], "C:\\");
  // No row has a thumbnail: no list at all, not one holding only the folder.
  EXPECT_TRUE(ThumbnailedNameList("C:\\pics", r.rows).empty());
  r.rows[1]->ThumbIndex = 0;
  r.rows[2]->ThumbIndex = 1;
  EXPECT_EQ(ThumbnailedNameList("C:\\pics", r.rows),
            (std::vector<std::string>{"C:\\pics\\", "a.gif"}));  // tagged rows only
  r.rows[1]->Tagged = r.rows[3]->Tagged = false;
  EXPECT_EQ(ThumbnailedNameList("C:\\pics", r.rows),
            (std::vector<std::string>{"C:\\pics\\", "a.gif", "b.jpg"}));
}

TEST(FileListRules, IndexOfNameIgnoresCase) {
  Rows r({"sub/", "Beach.GIF", "b.jpg"});
  EXPECT_EQ(IndexOfName(r.rows, "beach.gif"), 1);
  EXPECT_EQ(IndexOfName(r.rows, "b.jpg"), 2);
  EXPECT_EQ(IndexOfName(r.rows, "b"), -1);  // whole names only, not the first letter
}
