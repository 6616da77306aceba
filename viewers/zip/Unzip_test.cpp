#include "viewers/zip/Unzip.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tests/TestSupport.h"
#include "viewers/zip/ZipTestKit.h"

namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

struct tRecorded {
  std::string name;
  int32_t value;
  int32_t code;
  uint32_t size, packed;
  int ratio;
  bool dir;
};

void Record(void* data, int32_t value, TZipEntryInfo* info) {
  static_cast<std::vector<tRecorded>*>(data)->push_back(
      {info->Name, value, info->RecordCode, info->Size, info->PackedSize, info->Ratio,
       info->IsDirectory != 0});
}

std::vector<tRecorded> List(const fs::path& archive, int32_t& result,
                            const std::string& mask = "*.*") {
  std::vector<tRecorded> seen;
  result = ZipProcess(archive.string(), mask, Record, &seen);
  return seen;
}

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed, int alphabet = 256) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = static_cast<uint8_t>(rng() % static_cast<uint32_t>(alphabet));
  return v;
}

// A tree of files for Info-ZIP to pack: text, incompressible bytes, an empty file, a folder.
std::map<std::string, std::vector<uint8_t>> MakeTree(const fs::path& root) {
  std::map<std::string, std::vector<uint8_t>> files;
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "line " + std::to_string(i * 7 % 113) + " of the text\n";
  files["a.txt"] = std::vector<uint8_t>(text.begin(), text.end());
  files["sub/random.bin"] = RandomBytes(70000, 1);
  files["sub/deeper/low.bin"] = RandomBytes(100000, 2, 4);
  files["empty.dat"] = {};
  for (auto& [name, data] : files) {
    fs::create_directories((root / name).parent_path());
    WriteFile(root / name, data);
  }
  return files;
}

class UnzipTest : public testsupport::tPlainPlatformTest {
 protected:
  void SetUp() override {
    tPlainPlatformTest::SetUp();
    ZipReset();
    dir_ = testsupport::ScratchDir("unzip");
  }
  fs::path dir_;
};

TEST(ZipMask, Table) {
  struct {
    const char* mask;
    const char* name;
    bool match;
  } cases[] = {
      {"*.*", "noext", true},      {"", "x", true},          {"*.TXT", "readme.txt", true},
      {"*.txt", "readme.doc", false}, {"?.txt", "a.txt", true}, {"?.txt", "ab.txt", false},
      {"?.txt", ".txt", false},    {"a*b", "ab", true},      {"a*b", "axxb", true},
      {"a*b", "axxbc", false},     {"*", "", true},          {"sub\\*", "SUB\\x.bin", true},
  };
  for (const auto& c : cases) EXPECT_EQ(ZipMaskMatches(c.mask, c.name), c.match) << c.mask << " " << c.name;
}

TEST(ZipRatio, Table) {
  EXPECT_EQ(ZipRatio(0, 5), 0);
  EXPECT_EQ(ZipRatio(100, 25), 75);
  EXPECT_EQ(ZipRatio(3, 2), 34);  // 100 - 200 / 3 with integer division
  EXPECT_EQ(ZipRatio(100, 100), 0);
  EXPECT_EQ(ZipRatio(1, 3), -128);  // far larger than the original: clamped, never wrapped
  // Above 21,474,836 packed bytes both sizes are divided by 100 first.
  EXPECT_EQ(ZipRatio(4000000000u, 30000000u), 100 - 300000 * 100 / 40000000);
}

TEST_F(UnzipTest, InfoZipArchivesListAndExtract) {
  if (!testsupport::HaveTool("zip")) GTEST_SKIP() << "Info-ZIP zip missing";
  const fs::path src = dir_ / "src";
  const auto files = MakeTree(src);
  for (const char* level : {"-0", "-9", "-1"}) {
    const fs::path archive = dir_ / (std::string("t") + level + ".zip");
    ASSERT_EQ(testsupport::Run("cd " + src.string() + " && zip -q -r " + level + " " +
                               archive.string() + " . && echo 'a comment' | zip -q -z " +
                               archive.string()),
              0);
    int32_t count = 0;
    auto seen = List(archive, count);
    // Folders are entries too (sub/ and sub/deeper/).
    ASSERT_EQ(count, 6) << level;
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen.back().code, kZipRecRunEnd);
    EXPECT_EQ(seen.back().value, 6);
    int dirs = 0;
    for (size_t i = 0; i + 1 < seen.size(); ++i) {
      dirs += seen[i].dir;
      if (!seen[i].dir) {
        std::string unixName = seen[i].name;
        std::replace(unixName.begin(), unixName.end(), '\\', '/');
        ASSERT_TRUE(files.count(unixName)) << unixName;
        EXPECT_EQ(seen[i].size, files.at(unixName).size());
      }
    }
    EXPECT_EQ(dirs, 2);

    const fs::path out = dir_ / (std::string("out") + level);
    fs::create_directories(out);
    std::vector<tRecorded> events;
    EXPECT_EQ(ZipExtractAll(archive.string(), out.string(), "*.*", nullptr, nullptr, Record, &events),
              6);
    for (const auto& [name, data] : files) EXPECT_EQ(ReadFile(out / name), data) << name << level;
    EXPECT_EQ(events.front().code, kZipRecRunStart);
    EXPECT_EQ(events.back().code, kZipRecRunEnd);
    EXPECT_EQ(events.back().value, kZipRecRunEnd);
    // No temporary names are left beside the files.
    int leftovers = 0;
    for (auto& p : fs::recursive_directory_iterator(out)) leftovers += p.path().extension() == ".part";
    EXPECT_EQ(leftovers, 0);
  }
}

TEST_F(UnzipTest, OneEntryByIndexWithJunkPaths) {
  if (!testsupport::HaveTool("zip")) GTEST_SKIP();
  const fs::path src = dir_ / "src";
  const auto files = MakeTree(src);
  const fs::path archive = dir_ / "t.zip";
  ASSERT_EQ(testsupport::Run("cd " + src.string() + " && zip -q -r " + archive.string() + " ."), 0);
  // Index counts files only, in directory order: find the index of the deep one.
  int32_t count = 0;
  auto seen = List(archive, count);
  int index = -1, wanted = -1;
  for (size_t i = 0; i + 1 < seen.size(); ++i) {
    if (seen[i].dir) continue;
    ++index;
    if (seen[i].name == "sub\\deeper\\low.bin") wanted = index;
  }
  ASSERT_GE(wanted, 0);
  EXPECT_FALSE(ZipSetJunkPaths(true));
  const fs::path out = dir_ / "view";
  fs::create_directories(out);
  EXPECT_EQ(ZipExtractEntry(archive.string(), out.string(), wanted, nullptr, nullptr, nullptr, nullptr), 1);
  EXPECT_TRUE(ZipSetJunkPaths(false));
  EXPECT_EQ(ReadFile(out / "low.bin"), files.at("sub/deeper/low.bin"));
  EXPECT_FALSE(fs::exists(out / "sub"));
}

TEST_F(UnzipTest, OldMethodsFromPkzip) {
  const fs::path archive = testsupport::TestData("zip/many_formats.zip");
  if (!fs::exists(archive)) GTEST_SKIP();
  int32_t count = 0;
  auto seen = List(archive, count);
  ASSERT_EQ(count, 14);
  std::vector<uint8_t> reference;
  int index = 0;
  for (size_t i = 0; i + 1 < seen.size(); ++i, ++index) {
    const fs::path out = dir_ / ("m" + std::to_string(index));
    fs::create_directories(out);
    std::vector<tRecorded> events;
    const int32_t r = ZipExtractEntry(archive.string(), out.string(), index, nullptr, nullptr, Record, &events);
    const std::string& name = seen[i].name;
    // Stored, shrunk, imploded (PKZIP 1.01 and 1.10) and deflated entries decode; the rest are
    // methods this reader does not have.
    const bool ours = name.find("$00") == 0 || name.find("$05") == 0 || name.find("$06") == 0 ||
                      name.find("$07") == 0 || name.find("$11") == 0 || name.find("$12") == 0 ||
                      name.find("$13") == 0;
    if (ours) {
      EXPECT_EQ(r, 1) << name;
      auto data = ReadFile(out / name);
      if (reference.empty()) reference = data;
      EXPECT_EQ(data.size(), 81682u) << name;
      EXPECT_EQ(data, reference) << name;
    } else {
      EXPECT_EQ(r, 0) << name;
      bool reported = false;
      for (auto& e : events) reported |= e.code == kZipRecFailed && e.value == kZipUnsupported;
      EXPECT_TRUE(reported) << name;
      EXPECT_FALSE(fs::exists(out / name)) << name;
    }
  }
}

TEST_F(UnzipTest, DataDescriptorsAndOtherWriters) {
  // Go's test archives: descriptors with and without signature, trailing junk, a prefix.
  struct {
    const char* file;
    int32_t extracted;
  } cases[] = {{"dd.zip", 1},         {"go-with-datadesc-sig.zip", 2}, {"test-trailing-junk.zip", 2},
               {"winxp.zip", 4},      {"crc32-not-streamed.zip", 2},   {"test-prefix.zip", kZipNotZip}};
  for (const auto& c : cases) {
    const fs::path archive = testsupport::TestData(std::string("zip/") + c.file);
    if (!fs::exists(archive)) continue;
    const fs::path out = dir_ / c.file;
    fs::create_directories(out);
    std::vector<tRecorded> events;
    EXPECT_EQ(ZipExtractAll(archive.string(), out.string(), "*.*", nullptr, nullptr, Record, &events),
              c.extracted)
        << c.file;
    if (c.extracted > 0 && testsupport::HaveTool("unzip")) {
      const fs::path ref = dir_ / (std::string("ref_") + c.file);
      testsupport::Run("unzip -qq -o " + archive.string() + " -d " + ref.string() + " 2>/dev/null");
      for (auto& p : fs::recursive_directory_iterator(ref)) {
        if (!p.is_regular_file()) continue;
        EXPECT_EQ(ReadFile(out / fs::relative(p.path(), ref)), ReadFile(p.path())) << p.path();
      }
    }
  }
}

TEST_F(UnzipTest, EncryptedEntryEndsTheRun) {
  if (!testsupport::HaveTool("zip")) GTEST_SKIP();
  const fs::path src = dir_ / "src";
  fs::create_directories(src);
  WriteFile(src / "1.txt", {'o', 'n', 'e'});
  WriteFile(src / "2.txt", {'t', 'w', 'o'});
  WriteFile(src / "3.txt", {'3'});
  const fs::path archive = dir_ / "e.zip";
  ASSERT_EQ(testsupport::Run("cd " + src.string() + " && zip -q " + archive.string() +
                             " 1.txt && zip -q -P secret " + archive.string() +
                             " 2.txt && zip -q " + archive.string() + " 3.txt"),
            0);
  const fs::path out = dir_ / "out";
  fs::create_directories(out);
  std::vector<tRecorded> events;
  EXPECT_EQ(ZipExtractAll(archive.string(), out.string(), "*.*", nullptr, nullptr, Record, &events), 1);
  bool reported = false;
  for (auto& e : events) reported |= e.code == kZipRecFailed && e.value == kZipEncrypted;
  EXPECT_TRUE(reported);
  EXPECT_TRUE(fs::exists(out / "1.txt"));
  EXPECT_FALSE(fs::exists(out / "2.txt"));
  EXPECT_FALSE(fs::exists(out / "3.txt"));
}

std::vector<uint8_t> StoredZip(const std::vector<std::pair<std::string, std::string>>& entries,
                               uint32_t crcOverride = 0) {
  std::vector<tRawEntry> raw;
  for (auto& [name, data] : entries) raw.push_back({name, data, data});
  return MakeZip(raw, crcOverride);
}

// An imploding encoder of the simplest kind, for all four kinds of implode stream: trees of
// equal code lengths (8 bits for literals, 6 for lengths and distances), literals, and matches
// wherever the text repeats itself at a fixed distance.
class tBitWriter {
 public:
  void Put(uint32_t value, int bits) {
    for (int i = 0; i < bits; ++i) {
      acc_ |= ((value >> i) & 1u) << n_;
      if (++n_ == 8) {
        out.push_back(static_cast<char>(acc_));
        acc_ = 0;
        n_ = 0;
      }
    }
  }
  // A tree code: the canonical code, reversed and inverted, as the format reads it.
  void Code(uint32_t symbol, int length) {
    uint32_t reversed = 0;
    for (int b = 0; b < length; ++b) reversed |= ((symbol >> b) & 1u) << (length - 1 - b);
    Put(reversed ^ ((1u << length) - 1), length);
  }
  std::string Finish() {
    if (n_) out.push_back(static_cast<char>(acc_));
    return out;
  }
  std::string out;

 private:
  uint32_t acc_ = 0;
  int n_ = 0;
};

std::string Implode(const std::string& data, bool bigWindow, bool literalTree, uint32_t period) {
  tBitWriter w;
  auto tree = [&](int count, int length) {  // equal lengths: runs of 16
    w.out.push_back(static_cast<char>(count / 16 - 1));
    for (int i = 0; i < count / 16; ++i) w.out.push_back(static_cast<char>(0xF0 | (length - 1)));
  };
  if (literalTree) tree(256, 8);
  tree(64, 6);
  tree(64, 6);
  const int lowBits = bigWindow ? 7 : 6;
  const uint32_t minMatch = literalTree ? 3 : 2;
  size_t i = 0;
  while (i < data.size()) {
    size_t run = 0;
    if (i >= period)
      while (i + run < data.size() && data[i + run] == data[i + run - period] && run < minMatch + 63 + 255)
        ++run;
    if (run >= minMatch) {
      w.Put(0, 1);
      const uint32_t d = period - 1;
      w.Put(d & ((1u << lowBits) - 1), lowBits);
      w.Code(d >> lowBits, 6);
      const uint32_t l = static_cast<uint32_t>(run) - minMatch;
      w.Code(l < 63 ? l : 63, 6);
      if (l >= 63) w.Put(l - 63, 8);
      i += run;
    } else {
      w.Put(1, 1);
      if (literalTree)
        w.Code(static_cast<uint8_t>(data[i]), 8);
      else
        w.Put(static_cast<uint8_t>(data[i]), 8);
      ++i;
    }
  }
  return w.Finish();
}

TEST_F(UnzipTest, NamesThatLeaveTheFolderAreRefused) {
  for (const char* evil : {"../evil.txt", "a/../../evil.txt", "/evil.txt", "\\evil.txt", "C:evil.txt",
                           "..\\evil.txt"}) {
    const fs::path archive = dir_ / "slip.zip";
    WriteFile(archive, StoredZip({{evil, "gotcha"}, {"fine.txt", "ok"}}));
    const fs::path out = dir_ / "in" / "deep";
    fs::create_directories(out);
    std::vector<tRecorded> events;
    EXPECT_EQ(ZipExtractAll(archive.string(), out.string(), "*.*", nullptr, nullptr, Record, &events), 0)
        << evil;
    bool refused = false;
    for (auto& e : events) refused |= e.code == kZipRecFailed && e.value == kZipWriteError;
    EXPECT_TRUE(refused) << evil;
    EXPECT_FALSE(fs::exists(dir_ / "in" / "evil.txt"));
    EXPECT_FALSE(fs::exists(dir_ / "evil.txt"));
    EXPECT_FALSE(fs::exists("/evil.txt"));
  }
}

TEST_F(UnzipTest, BadCrcKeepsTheOldFile) {
  const fs::path archive = dir_ / "crc.zip";
  WriteFile(archive, StoredZip({{"f.txt", "new contents"}}, 0x12345678));
  const fs::path out = dir_ / "out";
  fs::create_directories(out);
  WriteFile(out / "f.txt", {'o', 'l', 'd'});
  std::vector<tRecorded> events;
  EXPECT_EQ(ZipExtractAll(archive.string(), out.string(), "*.*", nullptr, nullptr, Record, &events), 0);
  bool crc = false;
  for (auto& e : events) crc |= e.code == kZipRecFailed && e.value == kZipCrcError;
  EXPECT_TRUE(crc);
  EXPECT_EQ(ReadFile(out / "f.txt"), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
}

// The DOS attribute byte of entries made on MS-DOS goes onto the extracted file; entries made
// elsewhere get none. A read-only file in the way is replaced, but only by a sound entry.
TEST_F(UnzipTest, DosAttributesReachTheFiles) {
  if (!testsupport::HaveTool("python3")) GTEST_SKIP();
  const fs::path archive = dir_ / "attr.zip";
  const std::string script =
      "import sys, zipfile\n"
      "z = zipfile.ZipFile(sys.argv[1], 'w')\n"
      "for name, system, attr in (('ro.txt', 0, 0x21), ('plain.txt', 0, 0x20), ('unix.txt', 3, 0x01)):\n"
      "    i = zipfile.ZipInfo(name, (2020, 5, 6, 7, 8, 10))\n"
      "    i.create_system = system\n"
      "    i.external_attr = attr | (0o444 << 16 if system == 3 else 0)\n"
      "    z.writestr(i, name * 3)\n"
      "z.close()\n";
  WriteFile(dir_ / "make.py", std::vector<uint8_t>(script.begin(), script.end()));
  ASSERT_EQ(testsupport::Run("python3 " + (dir_ / "make.py").string() + " " + archive.string()), 0);
  const fs::path out = dir_ / "out";
  fs::create_directories(out);
  auto readOnly = [&](const char* name) { return (Platform().ItemAttributes((out / name).string()) & 1) != 0; };
  for (int round = 0; round < 2; ++round) {  // the second run replaces the read-only file
    EXPECT_EQ(ZipExtractAll(archive.string(), out.string(), "*.*", nullptr, nullptr, nullptr, nullptr), 3);
    EXPECT_TRUE(readOnly("ro.txt")) << round;
    EXPECT_FALSE(readOnly("plain.txt")) << round;
    EXPECT_FALSE(readOnly("unix.txt")) << round;
  }
  // A broken entry leaves the read-only file as it was, attributes and all.
  const fs::path bad = dir_ / "bad.zip";
  WriteFile(bad, MakeZip({{"ro.txt", "other", "other", 0, 0, 0x20}}, 0x12345678));
  EXPECT_EQ(ZipExtractAll(bad.string(), out.string(), "*.*", nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_TRUE(readOnly("ro.txt"));
  const std::string kept = "ro.txtro.txtro.txt";
  EXPECT_EQ(ReadFile(out / "ro.txt"), std::vector<uint8_t>(kept.begin(), kept.end()));
  // Info-ZIP sees what the entries carry.
  std::vector<uint8_t> listing;
  testsupport::Run("zipinfo " + archive.string(), &listing);
  const std::string text(listing.begin(), listing.end());
  EXPECT_NE(text.find("-r--a--"), std::string::npos) << text;
}

TEST_F(UnzipTest, OverwriteQuestion) {
  const fs::path archive = dir_ / "q.zip";
  WriteFile(archive, StoredZip({{"f.txt", "new"}}));
  const fs::path out = dir_ / "out";
  fs::create_directories(out);
  WriteFile(out / "f.txt", {'o', 'l', 'd'});
  auto no = [](void*, TZipEntryInfo*) { return false; };
  std::vector<tRecorded> events;
  EXPECT_EQ(ZipExtractAll(archive.string(), out.string(), "*.*", no, nullptr, Record, &events), 1);
  EXPECT_EQ(ReadFile(out / "f.txt"), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(ZipExtractAll(archive.string(), out.string(), "*.*", nullptr, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(ReadFile(out / "f.txt"), (std::vector<uint8_t>{'n', 'e', 'w'}));
}

TEST_F(UnzipTest, DirectoryProblems) {
  // The directory offset points past the end record.
  auto zip = StoredZip({{"a.txt", "abc"}});
  const size_t end = zip.size() - 22;
  zip[end + 16] = 0xFF;
  zip[end + 17] = 0xFF;
  const fs::path archive = dir_ / "d.zip";
  WriteFile(archive, zip);
  int32_t r = 0;
  List(archive, r);
  EXPECT_EQ(r, kZipNoDirectory);
  EXPECT_EQ(ZipExtractAll(archive.string(), dir_.string(), "*.*", nullptr, nullptr, nullptr, nullptr),
            kZipNoDirectory);
  // An end record within the first 46 bytes: no entries can be there.
  auto tiny = StoredZip({{"", ""}});
  tiny.erase(tiny.begin() + 30, tiny.end() - 22);
  WriteFile(archive, tiny);
  List(archive, r);
  EXPECT_EQ(r, kZipNoDirectory);
  // Not a zip, and bad arguments.
  WriteFile(archive, {'n', 'o', 'p', 'e'});
  List(archive, r);
  EXPECT_EQ(r, kZipNotZip);
  EXPECT_EQ(ZipProcess("", "*.*", Record, nullptr), kZipBadArguments);
  EXPECT_EQ(ZipExtractAll(archive.string(), " ", "*.*", nullptr, nullptr, nullptr, nullptr), kZipBadArguments);
}

TEST_F(UnzipTest, LongCommentStillFindsTheEnd) {
  auto zip = StoredZip({{"a.txt", "abc"}});
  const uint16_t commentLen = 65535;
  zip[zip.size() - 2] = commentLen & 0xFF;
  zip[zip.size() - 1] = commentLen >> 8;
  for (int i = 0; i < commentLen; ++i) zip.push_back(static_cast<uint8_t>('c'));
  const fs::path archive = dir_ / "c.zip";
  WriteFile(archive, zip);
  int32_t r = 0;
  auto seen = List(archive, r);
  EXPECT_EQ(r, 1);
  uint32_t packed = 0;
  EXPECT_EQ(ZipTotalSizes(archive.string(), packed), 3u);
  EXPECT_EQ(packed, 3u);
}

TEST_F(UnzipTest, TruncatedArchivesFailCleanly) {
  if (!testsupport::HaveTool("zip")) GTEST_SKIP();
  const fs::path src = dir_ / "src";
  fs::create_directories(src);
  std::string text;
  for (int i = 0; i < 200; ++i) text += "some words, some more words " + std::to_string(i % 17);
  WriteFile(src / "a.txt", std::vector<uint8_t>(text.begin(), text.end()));
  const fs::path archive = dir_ / "full.zip";
  ASSERT_EQ(testsupport::Run("cd " + src.string() + " && zip -q -9 " + archive.string() + " a.txt"), 0);
  const auto full = ReadFile(archive);
  const fs::path cut = dir_ / "cut.zip";
  const fs::path out = dir_ / "out";
  fs::create_directories(out);
  for (size_t n = 0; n < full.size(); ++n) {
    WriteFile(cut, std::vector<uint8_t>(full.begin(), full.begin() + static_cast<ptrdiff_t>(n)));
    const int32_t r = ZipExtractAll(cut.string(), out.string(), "*.*", nullptr, nullptr, nullptr, nullptr);
    EXPECT_LE(r, 0) << n;
    if (fs::exists(out / "a.txt")) {
      EXPECT_EQ(ReadFile(out / "a.txt").size(), text.size()) << n;
      fs::remove(out / "a.txt");
    }
  }
}

TEST_F(UnzipTest, AbortAndBusy) {
  if (!testsupport::HaveTool("zip")) GTEST_SKIP();
  const fs::path src = dir_ / "src";
  fs::create_directories(src);
  WriteFile(src / "big.bin", RandomBytes(300000, 5));
  const fs::path archive = dir_ / "b.zip";
  ASSERT_EQ(testsupport::Run("cd " + src.string() + " && zip -q " + archive.string() + " big.bin"), 0);
  const fs::path out = dir_ / "out";
  fs::create_directories(out);
  // A second extraction started from inside the pump finds the engine busy.
  struct tState {
    std::string archive, folder;
    int32_t inner = 1;
    int calls = 0;
  } st{archive.string(), out.string()};
  ZipSetPump(
      [](void* data, int) {
        auto* s = static_cast<tState*>(data);
        if (++s->calls == 3)
          s->inner = ZipExtractAll(s->archive, s->folder + "/x", "*.*", nullptr, nullptr, nullptr, nullptr);
        return s->calls >= 5;  // then the user presses Esc
      },
      &st);
  std::vector<tRecorded> events;
  EXPECT_EQ(ZipExtractAll(archive.string(), out.string(), "*.*", nullptr, nullptr, Record, &events),
            kZipAborted);
  EXPECT_EQ(st.inner, kZipBusy);
  EXPECT_EQ(events.back().code, kZipAborted);
  EXPECT_EQ(events.back().value, kZipFatalValue);
  EXPECT_FALSE(fs::exists(out / "big.bin"));
  ZipSetPump(nullptr, nullptr);
  EXPECT_EQ(ZipExtractAll(archive.string(), out.string(), "*.*", nullptr, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(ReadFile(out / "big.bin"), ReadFile(src / "big.bin"));
}

TEST_F(UnzipTest, LargeZeroRunStreamsThrough) {
  if (!testsupport::HaveTool("zip")) GTEST_SKIP();
  const fs::path src = dir_ / "src";
  fs::create_directories(src);
  WriteFile(src / "zeros", std::vector<uint8_t>(20 << 20, 0));
  const fs::path archive = dir_ / "z.zip";
  ASSERT_EQ(testsupport::Run("cd " + src.string() + " && zip -q -9 " + archive.string() + " zeros"), 0);
  EXPECT_LT(fs::file_size(archive), 100000u);
  const fs::path out = dir_ / "out";
  fs::create_directories(out);
  uint64_t written = 0;
  auto count = [](void* data, int32_t value, TZipEntryInfo* info) {
    if (info->RecordCode == kZipRecProgress) *static_cast<uint64_t*>(data) += static_cast<uint32_t>(value);
  };
  EXPECT_EQ(ZipExtractAll(archive.string(), out.string(), "*.*", nullptr, nullptr, count, &written), 1);
  EXPECT_EQ(written, 20u << 20);
  EXPECT_EQ(fs::file_size(out / "zeros"), 20u << 20);
}

TEST_F(UnzipTest, AllFourImplodeKinds) {
  std::string data;
  for (int i = 0; i < 3000; ++i) data += static_cast<char>('a' + (i * 7) % 26);
  data += std::string(700, 'z');
  std::vector<tRawEntry> entries;
  for (int kind = 0; kind < 4; ++kind) {
    const bool big = kind & 1, lit = kind & 2;
    const uint32_t period = big ? 5000 : 26;  // a distance only the 8 KB window reaches
    std::string text = data;
    if (big) text = data + data.substr(0, 2000) + data;
    entries.push_back({"kind" + std::to_string(kind) + ".txt", text, Implode(text, big, lit, big ? static_cast<uint32_t>(data.size()) + 2000 : period),
                       6, static_cast<uint16_t>((big ? 2 : 0) | (lit ? 4 : 0))});
  }
  const fs::path archive = dir_ / "implode.zip";
  WriteFile(archive, MakeZip(entries));
  if (testsupport::HaveTool("unzip"))
    EXPECT_EQ(testsupport::Run("unzip -tqq " + archive.string() + " >/dev/null 2>&1"), 0) << "Info-ZIP disagrees";
  const fs::path out = dir_ / "out";
  fs::create_directories(out);
  EXPECT_EQ(ZipExtractAll(archive.string(), out.string(), "*.*", nullptr, nullptr, nullptr, nullptr), 4);
  for (const auto& e : entries) {
    EXPECT_LT(e.packed.size(), e.data.size()) << e.name;
    EXPECT_EQ(ReadFile(out / e.name), std::vector<uint8_t>(e.data.begin(), e.data.end())) << e.name;
  }
}

}  // namespace
