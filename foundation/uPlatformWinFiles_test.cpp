// The Win32 platform under the file routines and the file list: locale comparison, the
// folder reader with hidden and system items, DOS times, locale texts, disks.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "foundation/uBuffStream.h"
#include "foundation/uFileList.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uLocaleText.h"
#include "framework/Text.h"
#include "tests/TestSupport.h"

namespace {

std::string Scratch(const std::string& name) {
  const std::u8string s = testsupport::ScratchDir(name).u8string();
  return std::string(s.begin(), s.end());
}

void MakeFile(const std::string& path, const std::string& text, DWORD attributes = 0) {
  ASSERT_TRUE(SaveStringToFile(text, path));
  if (attributes) {
    ASSERT_TRUE(SetFileAttributesW(Utf8ToWide(path).c_str(), attributes));
  }
}

uint32_t Dos(int y, int mo, int d, int h, int mi, int s) {
  tDateTimeFields f;
  f.Year = y, f.Month = mo, f.Day = d, f.Hour = h, f.Minute = mi, f.Second = s;
  return FieldsToDosDateTime(f);
}

std::vector<std::string> SortedNames(const TSortableList& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.Objects(i)->Name);
  std::sort(names.begin(), names.end());
  return names;
}

// A source that fails after its first block.
class tBrokenSource : public TStream {
 public:
  int32_t Read(void* buffer, int32_t count) override {
    if (pos_ >= 8192) return 0;
    const int32_t n = std::min<int32_t>(count, 8192 - static_cast<int32_t>(pos_));
    std::fill_n(static_cast<char*>(buffer), n, 'n');
    pos_ += n;
    return n;
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  int64_t Seek(int64_t offset, tSeekOrigin origin) override {
    pos_ = origin == soFromEnd ? 100000 + offset : origin == soFromCurrent ? pos_ + offset : offset;
    return pos_;
  }

 private:
  int64_t pos_ = 0;
};

}  // namespace

TEST(Win32Files, LocaleComparisonIgnoresCaseAndKnowsAccents) {
  EXPECT_EQ(Platform().CompareTextLocale("abc", "ABC"), 0);
  EXPECT_EQ(Platform().CompareTextLocale("a", "B"), -1);
  EXPECT_EQ(Platform().CompareTextLocale("B", "a"), 1);
  const std::string eclair = "\u00e9clair";  // UTF-8
  EXPECT_EQ(Platform().CompareTextLocale(eclair, "fig"), -1);
  EXPECT_EQ(tPlainPlatform().CompareTextLocale(eclair, "fig"), 1);  // bytes put it last

  TSortableList list;
  for (const char* name : {"Fig.txt", "\u00c9clair.txt", "apple.txt"}) {
    tFoundItem item;
    item.Name = name;
    list.Add(std::make_unique<TSrchRec>(item, list.Count() + 1));
  }
  list.Sort(true, SS_name);
  EXPECT_EQ(list.Objects(0)->Name, "apple.txt");
  EXPECT_EQ(list.Objects(1)->Name, "\u00c9clair.txt");
  EXPECT_EQ(list.Objects(2)->Name, "Fig.txt");
}

TEST(Win32Files, SortKeysOrderAsTheLocaleCompares) {
  // Sorting goes by one locale sort key per entry; each neighbour pair must still be in
  // order by the comparison itself.
  const char* const names[] = {
      "co-op",      "coop",         "Co-Op", "it's",  "its",           "a10", "a9",     "A1",
      "\u00e4rger", "arger",        "Zebra", "zebra", "\u00e9t\u00e9", "ete", "_under", "~tilde",
      "1st",        "\u65e5\u672c", "",      "a.b",   "a b",           "ab"};
  TSortableList list;
  for (int repeat = 0; repeat < 3; ++repeat) {
    for (const char* name : names) {
      tFoundItem item;
      item.Name = name;
      item.Attributes = repeat == 1 ? 16 : 0;
      list.Add(std::make_unique<TSrchRec>(item, list.Count() + 1));
    }
  }
  for (sfb_SS sequence : {SS_name, SS_extension, SS_unsorted}) {
    for (bool ascending : {true, false}) {
      list.Sort(ascending, sequence);
      for (int i = 0; i + 1 < list.Count(); ++i)
        ASSERT_LE(list.CompareItems(i, i + 1), 0)
            << list.Objects(i)->Name << " / " << list.Objects(i + 1)->Name;
    }
  }
}

TEST(Win32Files, ReadsHiddenAndSystemItemsByFileType) {
  const std::string dir = Scratch("win_read");
  MakeFile(JoinPath(dir, "normal.txt"), "n");
  MakeFile(JoinPath(dir, "hidden.txt"), "hh", FILE_ATTRIBUTE_HIDDEN);
  MakeFile(JoinPath(dir, "system.txt"), "sss", FILE_ATTRIBUTE_SYSTEM);
  MakeFile(JoinPath(dir, "both.txt"), "bbbb", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  MakeFile(JoinPath(dir, "readonly.txt"), "rrrrr", FILE_ATTRIBUTE_READONLY);
  CreateDirectoryPath(JoinPath(dir, "sub"));
  CreateDirectoryPath(JoinPath(dir, "hidsub"));
  ASSERT_TRUE(SetFileAttributesW(Utf8ToWide(JoinPath(dir, "hidsub")).c_str(),
                                 FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY));
  ASSERT_TRUE(GetFileAttributesW(Utf8ToWide(JoinPath(dir, "hidden.txt")).c_str()) &
              FILE_ATTRIBUTE_HIDDEN);

  using Names = std::vector<std::string>;
  const TFileType normal = FileTypeBit(ftNormal), hidden = FileTypeBit(ftHidden),
                  system = FileTypeBit(ftSystem), dirs = FileTypeBit(ftDirectory);
  const struct {
    TFileType type;
    Names names;
  } cases[] = {
      {normal, {"normal.txt", "readonly.txt"}},
      {normal | hidden, {"hidden.txt", "normal.txt", "readonly.txt"}},
      {normal | hidden | system,
       {"both.txt", "hidden.txt", "normal.txt", "readonly.txt", "system.txt"}},
      {normal | dirs, {"..", "normal.txt", "readonly.txt", "sub"}},
      {normal | dirs | hidden, {"..", "hidden.txt", "hidsub", "normal.txt", "readonly.txt", "sub"}},
      {hidden, {"hidden.txt"}},
      {FileTypeBit(ftReadOnly), {"readonly.txt"}},
  };
  TSortableList list;
  for (const auto& c : cases) {
    ReadFolder(list, dir, "*.*", c.type);
    EXPECT_EQ(SortedNames(list), c.names) << "type " << c.type;
  }
  const tFolderReading reading = ReadFolder(list, dir, "*.txt", normal | hidden | system);
  EXPECT_EQ(reading.FileCount, 5);
  EXPECT_EQ(reading.TotalSize, 1 + 2 + 3 + 4 + 5);
  for (int i = 0; i < list.Count(); ++i) {
    const TSrchRec& e = *list.Objects(i);
    if (e.Name == "both.txt") {
      EXPECT_EQ(e.Attr & 6, 6u);
    }
    if (e.Name == "readonly.txt") {
      EXPECT_EQ(e.Attr & 1, 1u);
    }
  }
  SetFileAttributesW(Utf8ToWide(JoinPath(dir, "readonly.txt")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Win32Files, DosTimesAndCopies) {
  const std::string dir = Scratch("win_copy");
  const std::string source = JoinPath(dir, "src.bin"), target = JoinPath(dir, "dst.bin");
  MakeFile(source, std::string(20000, 's'));
  const uint32_t dos = Dos(2002, 3, 4, 5, 6, 8);
  ASSERT_TRUE(FileSetDate(source, dos));
  EXPECT_EQ(FileAge(source), dos);
  TSortableList list;
  ReadFolder(list, dir, "src.bin", FileTypeBit(ftNormal));
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Objects(0)->Time, dos);

  MakeFile(target, "old");
  EXPECT_EQ(CopyFileFromStart(source, target, nullptr), kCopyOK);
  EXPECT_EQ(LoadStringFromFile(target), std::string(20000, 's'));
  EXPECT_EQ(FileAge(target), dos);
  tBrokenSource broken;
  EXPECT_EQ(CopyStreamToFile(0, broken, -1, target, nullptr), kCopyReadError);
  EXPECT_EQ(LoadStringFromFile(target), std::string(20000, 's'));
  ReadFolder(list, dir, "*.*", FileTypeBit(ftNormal));
  EXPECT_EQ(SortedNames(list), (std::vector<std::string>{"dst.bin", "src.bin"}));
}

TEST(Win32Files, ColumnTextsAgreeWithTheSystemFormatting) {
  const tFormatSettings settings = Platform().FormatSettings();
  ASSERT_FALSE(settings.ShortDateFormat.empty());
  ASSERT_FALSE(settings.LongTimeFormat.empty());
  tFoundItem item;
  item.Name = "a.gif";
  item.Size = 1234567;
  item.DosTime = Dos(2001, 2, 3, 13, 5, 8);
  const TSrchRec entry(item, 1);
  SYSTEMTIME st{};
  st.wYear = 2001, st.wMonth = 2, st.wDay = 3, st.wDayOfWeek = 6;
  st.wHour = 13, st.wMinute = 5, st.wSecond = 8;
  wchar_t buf[100];
  ASSERT_GT(GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, 100), 0);
  EXPECT_EQ(entry.DateText(), WideToUtf8(buf));
  std::wstring picture = Utf8ToWide(settings.LongTimeFormat);
  const size_t space = picture.find(L' ');
  if (space != std::wstring::npos) picture.erase(space, 1);
  ASSERT_GT(GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, picture.c_str(), buf, 100), 0);
  std::string expected = WideToUtf8(buf);
  if (expected.size() < 10) expected.insert(0, 10 - expected.size(), ' ');
  EXPECT_EQ(entry.TimeText(), expected);
  const std::string sep = Platform().ThousandSeparator();
  EXPECT_EQ(entry.SizeText(), Format("%11s", {"1" + sep + "234" + sep + "567"}));
  EXPECT_EQ(Platform().FormatSettings().LongTimeFormat, settings.LongTimeFormat);
}

TEST(Win32Files, DisksAndSystemFolders) {
  uint64_t freeBytes = 0, totalBytes = 0;
  ASSERT_TRUE(GetDiskSpace('c', freeBytes, totalBytes));
  EXPECT_GT(totalBytes, 0u);
  EXPECT_LE(freeBytes, totalBytes);
  uint32_t spc = 0, bps = 0, freeC = 0, totalC = 0;
  ASSERT_TRUE(GetDiskGeometry("C:\\", spc, bps, freeC, totalC));
  EXPECT_GT(spc * bps, 0u);
  const DWORD drives = GetLogicalDrives();
  char missing = 0;
  for (char letter = 'Y'; letter >= 'D' && !missing; --letter)
    if (!(drives & (1u << (letter - 'A')))) missing = letter;
  ASSERT_NE(missing, 0);
  freeBytes = totalBytes = 7;
  EXPECT_FALSE(GetDiskSpace(missing, freeBytes, totalBytes));
  EXPECT_EQ(freeBytes + totalBytes, 14u);

  const std::string windows = WindowsDirectory();
  EXPECT_TRUE(IsDirectory(windows));
  EXPECT_TRUE(FolderExists(windows));
  EXPECT_EQ(WindowsDrive(), windows.substr(0, 3));
  EXPECT_FALSE(TempDirectory().empty());
  EXPECT_EQ(FindAssociatedProgram(JoinPath(Scratch("win_assoc"), "none.zzqq")), "");
  EXPECT_EQ(NewFolderName(Scratch("win_newfolder")), "New Folder");
}

TEST(Win32Files, StopwatchOnTheSystemClock) {
  tStopwatch watch;
  watch.Start();
  Sleep(20);
  watch.Stop();
  EXPECT_GE(watch.Elapsed(), 0);
  EXPECT_EQ(watch.ElapsedText().size(), 12u);
}
