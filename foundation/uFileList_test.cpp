#include "foundation/uFileList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uLocaleText.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {

uint32_t Dos(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  tDateTimeFields f;
  f.Year = y, f.Month = mo, f.Day = d, f.Hour = h, f.Minute = mi, f.Second = s;
  return FieldsToDosDateTime(f);
}

tFoundItem Item(const std::string& name, uint32_t attributes = 0, int64_t size = 0,
                uint32_t dosTime = 0) {
  tFoundItem item;
  item.Name = name;
  item.Attributes = attributes;
  item.Size = size;
  item.DosTime = dosTime;
  return item;
}

std::vector<std::string> NamesOf(const TSortableList& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.Objects(i)->Name);
  return names;
}

std::string Scratch(const std::string& name) {
  const std::u8string s = testsupport::ScratchDir(name).u8string();
  return std::string(s.begin(), s.end());
}

// The program's "\\" as this host's separator, for the test's own file access.
fs::path PathOf(std::string utf8) {
#ifndef _WIN32
  for (char& c : utf8)
    if (c == '\\') c = '/';
#endif
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

void Touch(const std::string& path, size_t size) {
  testsupport::WriteFile(PathOf(path), std::vector<uint8_t>(size, 'x'));
}

}  // namespace

TEST(FileList, AnEntryFromASearchResult) {
  const TSrchRec file(Item("Photo.Jpeg", 32, 1234, Dos(2001, 2, 3, 13, 5, 8)), 7);
  EXPECT_EQ(file.Kind(), '3');
  EXPECT_EQ(file.ExtText(), "JPEG");
  EXPECT_EQ(file.NameText(), "PHOTO.JPEG");
  EXPECT_EQ(file.Number, 7);
  EXPECT_EQ(file.Size, 1234);
  EXPECT_EQ(file.Attr, 32u);
  EXPECT_FALSE(file.Tagged);
  EXPECT_EQ(file.ThumbIndex, -1);
  EXPECT_EQ(TSrchRec(Item("zeta", 16), 1).Kind(), '2');
  const TSrchRec label(Item("MY.DISK.1", 8 | 16), 1);
  EXPECT_EQ(label.Kind(), '1');
  EXPECT_EQ(label.Name, "MYDISK1");
  EXPECT_EQ(TSrchRec(Item("readme"), 1).ExtText(), "");
  EXPECT_EQ(TSrchRec(Item(".."), 1).ExtText(), "");
  EXPECT_EQ(TSrchRec(Item("a." + std::string(300, 'x')), 1).ExtText(), std::string(259, 'X'));
}

TEST(FileList, Categories) {
  const struct {
    const char* name;
    uint32_t attributes;
    int category;
  } cases[] = {
      {"photo.JPEG", 0, kCategoryPicture},   {"readme", 0, kCategoryUnknown},
      {"setup.exe", 0, kCategoryExecutable}, {"..", 16, kCategoryParent},
      {"zeta", 16, kCategoryFolder},         {"pics.gif", 16, kCategoryFolder},
      {"LABEL", 8, kCategoryFolder},         {"a.zip", 0, kCategoryZip},
      {"page.HTML", 0, kCategoryDocument},   {"clip.wmv", 0, kCategoryMovie},
      {"song.rmi", 0, kCategoryMusic},       {"song.mp3", 0, kCategorySound},
      {"x.tar.gz", 0, kCategoryUnknown},     {"short.jp", 0, kCategoryUnknown},
      {"a.lnk", 0, kCategoryExecutable},     {"a.tiff", 0, kCategoryPicture},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TSrchRec(Item(c.name, c.attributes), 1).Category(), c.category) << c.name;
  EXPECT_EQ(CategoryListText(kCategoryLists[5].ResourceId), " MID MIDI RMI ");
}

TEST(FileList, ColumnTextsFromACopyOfTheSettings) {
  tFormatSettings s;  // M/d/yyyy and h:mm:ss tt
  const TSrchRec file(Item("a.gif", 0, 1234567, Dos(2001, 2, 3, 13, 5, 8)), 1);
  EXPECT_EQ(file.DateText(s), "2/3/2001");
  EXPECT_EQ(file.TimeText(s), " 1:05:08PM");
  EXPECT_EQ(s.LongTimeFormat, "h:mm:ss tt");
  s.ShortDateFormat = "dd.MM.yyyy";
  s.LongTimeFormat = "HH:mm:ss";
  EXPECT_EQ(file.DateText(s), "03.02.2001");
  EXPECT_EQ(file.TimeText(s), "  13:05:08");

  tPlainPlatform platform;
  SetPlatform(&platform);
  platform.Formats.LongTimeFormat = "h:mm:ss tt";
  EXPECT_EQ(file.TimeText(), " 1:05:08PM");
  EXPECT_EQ(file.DateText(), "2/3/2001");
  EXPECT_EQ(platform.FormatSettings().LongTimeFormat, "h:mm:ss tt");  // left as it was
  EXPECT_EQ(file.SizeText(), "  1,234,567");
  platform.ThousandSep = ".";
  EXPECT_EQ(file.SizeText(), "  1.234.567");
  EXPECT_EQ(TSrchRec(Item("big", 0, 5000000000LL), 1).SizeText(), "5.000.000.000");
  EXPECT_EQ(TSrchRec(Item("d", 16), 1).SizeText(), "<dir>");
  EXPECT_EQ(TSrchRec(Item("v", 8), 1).SizeText(), "<vol>");
  SetPlatform(nullptr);
}

TEST(FileList, SortKeys) {
  const TSrchRec file(Item("b.Jpg", 0, 42, Dos(2001, 2, 3, 13, 5, 8)), 7);
  EXPECT_EQ(file.SortKey(SS_unsorted), "          7");
  EXPECT_EQ(file.SortKey(SS_name), "3B.JPG");
  EXPECT_EQ(file.SortKey(SS_extension), "3JPG B.JPG");
  EXPECT_EQ(file.SortKey(SS_size), "3                  42B.JPG");
  // Sizes of any magnitude order by their keys: 100 GB comes after 99 GB.
  const int64_t sizes[] = {0, 99999999999LL, 100000000000LL, INT64_MAX};
  for (size_t i = 1; i < std::size(sizes); ++i)
    EXPECT_LT(TSrchRec(Item("a", 0, sizes[i - 1]), 1).SortKey(SS_size),
              TSrchRec(Item("a", 0, sizes[i]), 1).SortKey(SS_size))
        << sizes[i];
  EXPECT_EQ(file.SortKey(SS_date), "32001 2 313 5 8b.Jpg");
  EXPECT_EQ(TSrchRec(Item("x.jpeg"), 1).SortKey(SS_extension), "3JPEGX.JPEG");
  EXPECT_EQ(TSrchRec(Item("x.longer"), 1).SortKey(SS_extension), "3LONGERX.LONGER");
  EXPECT_EQ(TSrchRec(Item("zeta", 16), 1).SortKey(SS_name), "2ZETA");
}

TEST(FileList, SortSequences) {
  const tFoundItem items[] = {
      Item("b.gif", 32, 300, Dos(2001, 5, 1, 10)), Item("A.TXT", 32, 100, Dos(2002, 1, 1)),
      Item("zeta", 16, 0, Dos(1985, 1, 1)),        Item("a.jpeg", 0, 300, Dos(2001, 5, 1, 10)),
      Item("b.jpg", 0, 50, Dos(2000, 1, 1)),       Item("..", 16, 0, Dos(1990, 1, 1)),
      Item("VOL.ONE", 8, 0, Dos(1995, 1, 1)),      Item("readme", 0, 0, Dos(2003, 1, 1)),
  };
  using Names = std::vector<std::string>;
  const struct {
    sfb_SS sequence;
    Names ascending;
  } cases[] = {
      {SS_unsorted, {"b.gif", "A.TXT", "zeta", "a.jpeg", "b.jpg", "..", "VOLONE", "readme"}},
      {SS_name, {"VOLONE", "..", "zeta", "a.jpeg", "A.TXT", "b.gif", "b.jpg", "readme"}},
      {SS_extension, {"VOLONE", "..", "zeta", "readme", "b.gif", "a.jpeg", "b.jpg", "A.TXT"}},
      {SS_size, {"VOLONE", "..", "zeta", "readme", "b.jpg", "A.TXT", "a.jpeg", "b.gif"}},
      {SS_date, {"VOLONE", "zeta", "..", "b.jpg", "a.jpeg", "b.gif", "A.TXT", "readme"}},
  };
  for (const auto& c : cases) {
    for (bool ascending : {true, false}) {
      TSortableList list;
      for (const tFoundItem& item : items)
        list.Add(std::make_unique<TSrchRec>(item, list.Count() + 1));
      list.Sort(ascending, c.sequence);
      Names expected = c.ascending;
      if (!ascending) std::reverse(expected.begin(), expected.end());
      EXPECT_EQ(NamesOf(list), expected) << "sequence " << c.sequence << " ascending " << ascending;
      EXPECT_EQ(list.SortSequence, c.sequence);
      EXPECT_EQ(list.SortAscending, ascending);
      for (int i = 0; i < list.Count(); ++i)  // texts travel with their entries
        EXPECT_EQ(list.Strings(i), list.Objects(i)->Name.substr(0, 1));
    }
  }
}

TEST(FileList, SortsTheFolderFirstThenNamesWithoutCase) {
  TSortableList list;
  list.Add(std::make_unique<TSrchRec>(Item("b.gif"), 1));
  list.Add(std::make_unique<TSrchRec>(Item("A.TXT"), 2));
  list.Add(std::make_unique<TSrchRec>(Item("zeta", 16), 3));
  list.Sort(true, SS_name);
  EXPECT_EQ(NamesOf(list), (std::vector<std::string>{"zeta", "A.TXT", "b.gif"}));
  list.Sort(false, SS_name);
  EXPECT_EQ(NamesOf(list), (std::vector<std::string>{"b.gif", "A.TXT", "zeta"}));

  TSortableList one;
  one.Add(std::make_unique<TSrchRec>(Item("only"), 1));
  one.Sort(false, SS_size);
  EXPECT_EQ(one.Count(), 1);
  EXPECT_FALSE(one.SortAscending);
  EXPECT_EQ(one.SortSequence, SS_size);
}

TEST(FileList, SortsManyEntriesWithEqualKeys) {
  std::mt19937 random(12345);
  TSortableList list;
  for (int i = 0; i < 3000; ++i) {
    const std::string name = std::string(1, static_cast<char>('a' + random() % 3)) +
                             (random() % 2 ? "." : ".x") +
                             std::string(1, static_cast<char>('A' + random() % 3));
    list.Add(std::make_unique<TSrchRec>(
        Item(name, random() % 5 == 0 ? 16 : 0, random() % 4, Dos(2000 + random() % 3, 1, 1)),
        i + 1));
  }
  for (sfb_SS sequence : {SS_unsorted, SS_name, SS_extension, SS_size, SS_date}) {
    for (bool ascending : {true, false}) {
      list.Sort(ascending, sequence);
      ASSERT_EQ(list.Count(), 3000);
      std::vector<int> numbers;
      for (int i = 0; i < list.Count(); ++i) numbers.push_back(list.Objects(i)->Number);
      for (int i = 0; i + 1 < list.Count(); ++i) ASSERT_LE(list.CompareItems(i, i + 1), 0) << i;
      std::sort(numbers.begin(), numbers.end());
      for (int i = 0; i < 3000; ++i) ASSERT_EQ(numbers[static_cast<size_t>(i)], i + 1);
    }
  }
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(FileList, ReadsAFolderByMasksAndFileType) {
  const std::string dir = Scratch("readfolder");
  Touch(JoinPath(dir, "a.gif"), 10);
  Touch(JoinPath(dir, "b.GIF"), 20);
  Touch(JoinPath(dir, "c.jpg"), 30);
  Touch(JoinPath(dir, "readme"), 5);
  Touch(JoinPath(dir, ".hidden"), 7);
  CreateDirectoryPath(JoinPath(dir, "sub"));
  ASSERT_TRUE(FileSetDate(JoinPath(dir, "a.gif"), Dos(2004, 6, 7, 8, 9, 10)));

  auto sortedNames = [](const TSortableList& list) {
    std::vector<std::string> names = NamesOf(list);
    std::sort(names.begin(), names.end());
    return names;
  };
  using Names = std::vector<std::string>;
  const TFileType normal = FileTypeBit(ftNormal);
  const TFileType dirs = FileTypeBit(ftDirectory);
  const TFileType hidden = FileTypeBit(ftHidden);
  const struct {
    const char* mask;
    TFileType type;
    Names names;
  } cases[] = {
      {"*.*", normal, {"a.gif", "b.GIF", "c.jpg", "readme"}},
      {"*", normal | dirs, {"..", "a.gif", "b.GIF", "c.jpg", "readme", "sub"}},
      {"*.*", dirs, {"..", "sub"}},
      {"*.*", normal | hidden, {".hidden", "a.gif", "b.GIF", "c.jpg", "readme"}},
      {"*.gif;*.jpg", normal, {"a.gif", "b.GIF", "c.jpg"}},
      {"*.gif;*.g*", normal, {"a.gif", "a.gif", "b.GIF", "b.GIF"}},
      {"", normal | dirs, {}},
      {";;readme;", normal, {"readme"}},
      {"*.png", normal, {}},
  };
  TSortableList list;
  for (const auto& c : cases) {
    ReadFolder(list, dir, c.mask, c.type);
    EXPECT_EQ(sortedNames(list), c.names) << c.mask << " type " << c.type;
    for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(list.Objects(i)->Number, i + 1);
  }

  const tFolderReading reading = ReadFolder(list, AddBackslash(dir), "*.*", normal | dirs);
  EXPECT_EQ(reading.FileCount, 4);
  EXPECT_EQ(reading.TotalSize, 65);
  EXPECT_EQ(reading.LongestName, 6);
  for (int i = 0; i < list.Count(); ++i) {
    const TSrchRec& e = *list.Objects(i);
    if (e.Name == "a.gif") {
      EXPECT_EQ(e.Size, 10);
      EXPECT_EQ(e.Time, Dos(2004, 6, 7, 8, 9, 10));
      EXPECT_EQ(e.Kind(), '3');
    }
    if (e.Name == "sub") {
      EXPECT_EQ(e.Kind(), '2');
    }
  }
}

TEST(FileList, ManyEntriesAreAnnouncedOnce) {
  const std::string dir = Scratch("readmany");
  for (int i = 0; i < 150; ++i) Touch(JoinPath(dir, Format("f%d.txt", {i})), 1);
  TSortableList list;
  int calls = 0;
  int countAtCall = 0;
  ReadFolder(list, dir, "*.txt", FileTypeBit(ftNormal), [&] {
    ++calls;
    countAtCall = list.Count();
  });
  EXPECT_EQ(list.Count(), 150);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(countAtCall, 101);
  ReadFolder(list, dir, "f1.txt", FileTypeBit(ftNormal), [&] { ++calls; });
  EXPECT_EQ(list.Count(), 1);  // cleared first
  EXPECT_EQ(calls, 1);
}
