#include "foundation/uFiles.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "foundation/uLocaleText.h"
#include "foundation/uPlatform.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {

std::string Utf8(const fs::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

// A scratch folder as the program writes paths: no trailing separator.
std::string Scratch(const std::string& name) { return Utf8(testsupport::ScratchDir(name)); }

// The program's "\\" as this host's separator, for the test's own file access.
fs::path PathOf(std::string utf8) {
#ifndef _WIN32
  for (char& c : utf8)
    if (c == '\\') c = '/';
#endif
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

void Touch(const std::string& path, size_t size = 0) {
  testsupport::WriteFile(PathOf(path), std::vector<uint8_t>(size, 'x'));
}

// A plain platform with answers of our own, installed for the life of the object.
struct TestPlatform : tPlainPlatform {
  TestPlatform() { SetPlatform(this); }
  ~TestPlatform() override { SetPlatform(nullptr); }
  std::string Temp;
  bool DisksWork = true;
  std::string EnvVariable(const std::string& name) override { return name == "TEMP" ? Temp : ""; }
  bool DiskFreeBytes(const std::string& root, uint64_t& freeBytes, uint64_t& totalBytes) override {
    if (!DisksWork) return false;
    freeBytes = root == "C:\\" ? 1000 : 1;
    totalBytes = 5000;
    return true;
  }
  bool DiskClusters(const std::string& root, uint32_t& spc, uint32_t& bps, uint32_t& freeC,
                    uint32_t& totalC) override {
    if (!DisksWork) return false;
    spc = 8, bps = 512, freeC = 10, totalC = 20;
    return true;
  }
};

}  // namespace

TEST(Files, PathTexts) {
  EXPECT_EQ(AddBackslash(""), "");
  EXPECT_EQ(AddBackslash("C:"), "C:\\");
  EXPECT_EQ(AddBackslash("C:\\A\\"), "C:\\A\\");
  EXPECT_EQ(RemoveBackslash("C:\\"), "C:\\");
  EXPECT_EQ(RemoveBackslash("C:\\A\\"), "C:\\A");
  EXPECT_EQ(RemoveBackslash("AB\\"), "AB\\");
  EXPECT_EQ(JoinPath("C:\\", "a.gif"), "C:\\a.gif");
  EXPECT_EQ(JoinPath("C:\\pics", "a.gif"), "C:\\pics\\a.gif");
  EXPECT_EQ(ExtractFilePath("C:\\pics\\a.b.gif"), "C:\\pics\\");
  EXPECT_EQ(ExtractFileName("C:\\pics\\a.b.gif"), "a.b.gif");
  EXPECT_EQ(ExtractFileExt("C:\\pics\\a.b.gif"), ".gif");
  EXPECT_EQ(ExtractFileExt("C:\\pi.cs\\readme"), "");
  EXPECT_EQ(ExtractFileName("C:a.gif"), "a.gif");
  EXPECT_EQ(ExtractFilePath("/tmp/x/a.gif"), "/tmp/x/");
}

TEST(Files, ExpandFolderListPutsTheFolderInFront) {
  std::vector<std::string> list{"C:\\pics", "a.gif", "b.jpg"};
  ExpandFolderList(list);
  EXPECT_EQ(list, (std::vector<std::string>{"C:\\pics\\a.gif", "C:\\pics\\b.jpg"}));
  std::vector<std::string> root{"C:\\", "a.gif"};
  ExpandFolderList(root);
  EXPECT_EQ(root, std::vector<std::string>{"C:\\a.gif"});
}

TEST(Files, NewFolderNameSkipsTakenNames) {
  const std::string dir = Scratch("newfolder");
  EXPECT_EQ(NewFolderName(dir), "New Folder");
  CreateDirectoryPath(JoinPath(dir, "New Folder"));
  Touch(JoinPath(dir, "New Folder (2)"));  // a file takes the name as well
  EXPECT_EQ(NewFolderName(dir), "New Folder (3)");
}

TEST(Files, UniqueFileNameCountsOn) {
  const std::string dir = Scratch("unique");
  for (const char* name : {"pic.jpg", "pic (3).jpg", "report (x).txt", "n (9).gif", "n (10).gif",
                           "(4).png", "big (99999999999).jpg"})
    Touch(JoinPath(dir, name));
  const struct {
    const char* given;
    const char* result;
  } cases[] = {
      {"pic.jpg", "pic (2).jpg"},
      {"pic (3).jpg", "pic (4).jpg"},
      {"pic (5).jpg", "pic (5).jpg"},  // free: unchanged
      {"free.jpg", "free.jpg"},
      {"report (x).txt", "report (x) (2).txt"},
      {"n (9).gif", "n (11).gif"},
      {"(4).png", "(4) (2).png"},  // "(" must not be the first character
      {"big (99999999999).jpg", "big (99999999999) (2).jpg"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(UniqueFileName(JoinPath(dir, c.given)), JoinPath(dir, c.result)) << c.given;
}

TEST(Files, Unique83FileNameStaysWithinEightCharacters) {
  const std::string dir = Scratch("unique83");
  EXPECT_EQ(Unique83FileName(JoinPath(dir, "longername.txt"), ".uue"),
            JoinPath(dir, "longername.uue"));  // the first candidate is not shortened
  Touch(JoinPath(dir, "longername.uue"));
  EXPECT_EQ(Unique83FileName(JoinPath(dir, "longername.txt"), ".uue"),
            JoinPath(dir, "longern0.uue"));
  Touch(JoinPath(dir, "pic.uue"));
  Touch(JoinPath(dir, "pic0.uue"));
  EXPECT_EQ(Unique83FileName(JoinPath(dir, "pic.a.b"), ".uue"), JoinPath(dir, "pic1.uue"));
  for (int i = 0; i < 10; ++i) Touch(JoinPath(dir, "abcdefg" + std::to_string(i) + ".xxe"));
  Touch(JoinPath(dir, "abcdefgh.xxe"));
  EXPECT_EQ(Unique83FileName(JoinPath(dir, "abcdefgh.gif"), ".xxe"), JoinPath(dir, "abcdef10.xxe"));
}

TEST(Files, FoldersAreTestedAndCreated) {
  const std::string dir = Scratch("folders");
  const std::string deep = JoinPath(JoinPath(JoinPath(dir, "a"), "b"), "c");
  EXPECT_FALSE(FolderExists(deep));
  CreateDirectoryPath(AddBackslash(deep));
  EXPECT_TRUE(FolderExists(deep));
  EXPECT_TRUE(FolderExists(AddBackslash(deep)));
  EXPECT_TRUE(IsDirectory(deep));
  CreateDirectoryPath(deep);  // again: nothing to do, no error
  Touch(JoinPath(dir, "file"));
  EXPECT_FALSE(FolderExists(JoinPath(dir, "file")));
  EXPECT_FALSE(IsDirectory(JoinPath(dir, "file")));
  EXPECT_FALSE(IsDirectory(JoinPath(dir, "none")));
  EXPECT_TRUE(FolderExists("Q:\\"));  // a drive root is not probed
  // Neither another three-character name nor a wildcard counts as a folder.
  EXPECT_FALSE(FolderExists("abc"));
  EXPECT_FALSE(FolderExists("Q:x"));
  EXPECT_FALSE(FolderExists(JoinPath(dir, "*")));
  EXPECT_FALSE(FolderExists(JoinPath(dir, "?")));
  EXPECT_THROW(CreateDirectoryPath(""), std::runtime_error);
  try {
    CreateDirectoryPath("");
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Unable to create directory");
  }
}

TEST(Files, SizeAndDateOfAFile) {
  const std::string dir = Scratch("sizedate");
  const std::string file = JoinPath(dir, "f.bin");
  Touch(file, 1234);
  EXPECT_EQ(FileSizeOf(file), 1234);
  EXPECT_EQ(FileSizeOf(JoinPath(dir, "none")), 0);
  EXPECT_EQ(FileAge(JoinPath(dir, "none")), -1);
  EXPECT_EQ(FileAge(dir), -1);  // a folder has no file age
  tDateTimeFields f;
  f.Year = 2003, f.Month = 7, f.Day = 14, f.Hour = 10, f.Minute = 20, f.Second = 30;
  const uint32_t dos = FieldsToDosDateTime(f);
  ASSERT_TRUE(FileSetDate(file, dos));
  EXPECT_EQ(FileAge(file), dos);
}

TEST(Files, WindowsAndTempFolders) {
  TestPlatform platform;
  platform.WindowsDir = "D:\\WINNT";
  EXPECT_EQ(WindowsDirectory(), "D:\\WINNT");
  EXPECT_EQ(WindowsDrive(), "D:\\");
  platform.Temp = "E:\\tmp";
  EXPECT_EQ(TempDirectory(), "E:\\tmp");
  platform.Temp = "";
  EXPECT_EQ(TempDirectory(), "D:\\WINNT\\TEMP");
  EXPECT_EQ(FindAssociatedProgram("D:\\a.txt"), "");
}

TEST(Files, DiskSpaceAndGeometry) {
  EXPECT_TRUE(IsRemovableDriveType(2));
  EXPECT_TRUE(IsRemovableDriveType(5));
  EXPECT_FALSE(IsRemovableDriveType(3));
  EXPECT_TRUE(IsRemoteDriveType(4));
  EXPECT_FALSE(IsRemoteDriveType(2));
  TestPlatform platform;
  uint64_t freeBytes = 7, totalBytes = 7;
  ASSERT_TRUE(GetDiskSpace('c', freeBytes, totalBytes));  // the root is upper-cased
  EXPECT_EQ(freeBytes, 1000u);
  EXPECT_EQ(totalBytes, 5000u);
  uint32_t spc = 1, bps = 1, freeC = 1, totalC = 1;
  ASSERT_TRUE(GetDiskGeometry("C:\\", spc, bps, freeC, totalC));
  EXPECT_EQ(spc * bps, 4096u);
  EXPECT_EQ(totalC, 20u);
  platform.DisksWork = false;
  freeBytes = totalBytes = 7;
  EXPECT_FALSE(GetDiskSpace('C', freeBytes, totalBytes));
  EXPECT_EQ(freeBytes, 7u);  // untouched
  EXPECT_EQ(totalBytes, 7u);
  spc = bps = freeC = totalC = 1;
  EXPECT_FALSE(GetDiskGeometry("C:\\", spc, bps, freeC, totalC));
  EXPECT_EQ(spc + bps + freeC + totalC, 4u);
}

TEST(Files, PlainDiskSpaceOfTheScratchFolder) {
  uint64_t freeBytes = 0, totalBytes = 0;
  ASSERT_TRUE(Platform().DiskFreeBytes(Scratch("disk"), freeBytes, totalBytes));
  EXPECT_GT(totalBytes, 0u);
  EXPECT_LE(freeBytes, totalBytes);
}

TEST(Stopwatch, StartsAtZeroAndMeasures) {
  tStopwatch watch;
  EXPECT_EQ(watch.StartTime, 0);
  EXPECT_EQ(watch.StopTime, 0);
  watch.Start();
  watch.Stop();
  EXPECT_GT(watch.StartTime, 0);
  EXPECT_GE(watch.StopTime, watch.StartTime);
  EXPECT_GE(watch.Elapsed(), 0);
}

TEST(Stopwatch, Texts) {
  TestPlatform platform;
  tDateTimeFields f;
  f.Year = 2001, f.Month = 2, f.Day = 3, f.Hour = 4, f.Minute = 5, f.Second = 6,
  f.Millisecond = 789;
  const double start = EncodeDateTime(f);
  tStopwatch watch;
  platform.FixedNow = start;
  watch.Start();
  platform.FixedNow = start + 90.5 / 86400;
  watch.Stop();
  EXPECT_EQ(watch.TimeText(0), "04:05:06.789");
  EXPECT_EQ(watch.ElapsedText(), "00:01:30.500");
  EXPECT_EQ(watch.TimeText(2), "04:06:37.289");
  EXPECT_EQ(watch.TimeText(7), "04:06:37.289");
  platform.FixedNow = start + 25.0 / 24;
  watch.Stop();
  EXPECT_EQ(watch.ElapsedText(), "01:00:00.000");  // the day count is not shown
}
