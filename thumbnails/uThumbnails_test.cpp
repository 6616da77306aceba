#include "thumbnails/uThumbnails.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <random>

#include "tests/TestSupport.h"

namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

// Raw database files written byte by byte, as another program (or damage) leaves them.
struct tRawDb {
  fs::path dir;
  std::string base;
  explicit tRawDb(const std::string& name) : dir(testsupport::ScratchDir(name)) {
    base = (dir / "Tavishore32.thm").string();
  }
  fs::path File(int n) const { return dir / ("Tavishore32.th" + std::to_string(n)); }

  static TThumbnailHeader Header(uint32_t count, uint32_t purged = 0) {
    TThumbnailHeader h{};
    SetShortString(h.Signature, 8, "Tavis");
    h.SizeCode = 7;
    h.Count = count;
    h.Flags = 26;
    h.Purged = purged;
    return h;
  }
  static TThumbnailRecord Record(char status, const std::string& path, uint32_t offset,
                                 uint16_t length) {
    TThumbnailRecord r{};
    r.Status = status;
    SetRecordPathText(r, path);
    r.Group = ' ';
    r.DataOffset = offset;
    r.DataLength = length;
    r.ThumbWidth = r.ThumbHeight = 1;
    return r;
  }
  // Header, records and the data of each record (its bytes are its number, repeated).
  void Write(const TThumbnailHeader& h, const std::vector<TThumbnailRecord>& records,
             size_t cutIndexTo = SIZE_MAX) const {
    std::vector<uint8_t> index(reinterpret_cast<const uint8_t*>(&h),
                               reinterpret_cast<const uint8_t*>(&h) + sizeof h);
    std::vector<uint8_t> data;
    for (const TThumbnailRecord& r : records) {
      auto* p = reinterpret_cast<const uint8_t*>(&r);
      index.insert(index.end(), p, p + sizeof r);
      // Data of a record that points far away is left out: it lies past the file's end.
      if (r.DataOffset < (1u << 20) && data.size() < r.DataOffset + r.DataLength)
        data.resize(r.DataOffset + r.DataLength);
    }
    if (cutIndexTo < index.size()) index.resize(cutIndexTo);
    WriteFile(File(0), index);
    WriteFile(File(1), data);
  }
};

TThumbnailHeader HeaderOf(const fs::path& th0) {
  auto bytes = ReadFile(th0);
  TThumbnailHeader h{};
  std::memcpy(&h, bytes.data(), std::min(bytes.size(), sizeof h));
  return h;
}

class ThumbnailsTest : public testsupport::tPlainPlatformTest {};

}  // namespace

TEST_F(ThumbnailsTest, FreshDatabaseHasHeaderEmptyDataAndZeroSettings) {
  tRawDb raw("thumbdb_fresh");
  {
    tThumbnails db(raw.base);
    EXPECT_EQ(db.RecordCount(), 0u);
    EXPECT_EQ(db.BoxSize(), 91);
    EXPECT_TRUE(db.SkipsNonPictures());
  }
  auto th0 = ReadFile(raw.File(0));
  ASSERT_EQ(th0.size(), 347u);
  const uint8_t expect[27] = {0, 5, 'T', 'a', 'v', 'i', 's', 0, 0, 0, 7, 0, 0, 0, 0,
                              0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(th0.data(), expect, sizeof expect), 0);
  EXPECT_TRUE(std::all_of(th0.begin() + 27, th0.end(), [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(fs::file_size(raw.File(1)), 0u);
  auto th3 = ReadFile(raw.File(3));
  EXPECT_EQ(th3, std::vector<uint8_t>(508, 0));
  // Both lists are written on close, empty.
  EXPECT_TRUE(fs::exists(raw.File(2)));
  EXPECT_EQ(fs::file_size(raw.File(4)), 0u);
}

TEST_F(ThumbnailsTest, FileNamesReplaceTheLastExtension) {
  EXPECT_EQ(ThumbnailFileName("C:\\a.b\\prog.thm", ".th2"), "C:\\a.b\\prog.th2");
  EXPECT_EQ(ThumbnailFileName("C:\\a.b\\prog", ".th0"), "C:\\a.b\\prog.th0");
  EXPECT_EQ(ThumbnailFileName("C:prog", ".th1"), "C:prog.th1");
  const int boxes[] = {160, 128, 106, 91, 80, 71, 64, 58, 53};
  for (int code = 4; code <= 12; ++code) EXPECT_EQ(ThumbnailBoxSize(code), boxes[code - 4]);
  EXPECT_EQ(ThumbnailBoxSize(3), 91);
  EXPECT_EQ(ThumbnailBoxSize(13), 91);
}

TEST_F(ThumbnailsTest, OpenRepairsCountsAndHeaders) {
  struct Case {
    const char* what;
    uint32_t claimed;
    int records;
    size_t cutTo;  // index length, SIZE_MAX: whole
    uint32_t expectCount;
    uint16_t expectChanges;
  } cases[] = {
      {"header claims 10 in a 6-record file", 10, 5, SIZE_MAX, 5, 1},
      {"count as present", 5, 5, SIZE_MAX, 5, 0},
      {"partial last record", 4, 4, 347 * 4 + 100, 3, 1},
      {"no whole header", 4, 4, 100, 0, 0},
      {"empty file", 4, 4, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    tRawDb raw("thumbdb_repair");
    std::vector<TThumbnailRecord> records;
    for (int i = 0; i < c.records; ++i) records.push_back(tRawDb::Record('A', "C:\\x.gif", i, 1));
    raw.Write(tRawDb::Header(c.claimed), records, c.cutTo);
    tThumbnails db(raw.base);
    EXPECT_EQ(db.RecordCount(), c.expectCount);
    EXPECT_EQ(+db.Header.ChangeCounter, c.expectChanges);
    EXPECT_EQ(+HeaderOf(raw.File(0)).Count, c.expectCount);
    EXPECT_EQ(ShortString(db.Header.Signature, 8), "Tavis");
  }
}

TEST_F(ThumbnailsTest, OpenSetsFlagBit3WhenNeitherBit2Nor3) {
  tRawDb raw("thumbdb_flags");
  auto h = tRawDb::Header(0);
  h.Flags = 0x10;
  raw.Write(h, {});
  { tThumbnails db(raw.base); }
  EXPECT_EQ(+HeaderOf(raw.File(0)).Flags, 0x18);
}

TEST_F(ThumbnailsTest, ShortSettingsFileReadsWhatIsThereAndZeroesTheRest) {
  tRawDb raw("thumbdb_settings");
  raw.Write(tRawDb::Header(0), {});
  std::vector<uint8_t> th3(20, 0);
  th3[8] = 3;    // sort key
  th3[9] = 1;    // backward
  th3[10] = 2;   // status "AD"
  th3[11] = 'A';
  th3[12] = 'D';
  th3[13] = 200;  // groups: a length past the capacity
  WriteFile(raw.File(3), th3);
  tThumbnails db(raw.base);
  EXPECT_EQ(+db.Gallery.SortKey, 3);
  EXPECT_EQ(+db.Gallery.Order, 1);
  EXPECT_EQ(StatusFilter(db.Gallery), "AD");
  EXPECT_EQ(GroupsFilter(db.Gallery).size(), 26u);  // clamped, zeros past the file
  EXPECT_EQ(KeywordsFilter(db.Gallery), "");
  TGallerySettings s = db.Gallery;
  SetKeywordsFilter(s, std::string(70, 'k'));
  db.SaveGallerySettings(s);
  auto bytes = ReadFile(raw.File(3));
  ASSERT_EQ(bytes.size(), 508u);
  EXPECT_EQ(bytes[67], 60);
}

TEST_F(ThumbnailsTest, DamagedFieldsAreClamped) {
  TThumbnailRecord r{};
  std::memset(r.Path, 'x', sizeof r.Path);  // no terminator
  r.Keywords[0] = 255;
  std::memset(r.Keywords + 1, 'k', 52);
  EXPECT_EQ(RecordPathText(r).size(), 260u);
  EXPECT_EQ(RecordKeywords(r), std::string(52, 'k'));
  SetRecordPathText(r, std::string(300, 'p'));
  EXPECT_EQ(r.Path[260], 0);
  EXPECT_EQ(RecordPathText(r), std::string(260, 'p'));
}

TEST_F(ThumbnailsTest, AFolderWhereTheIndexShouldBeIsNotReplaced) {
  tRawDb raw("thumbdb_folder");
  fs::create_directory(raw.File(0));
  EXPECT_THROW(tThumbnails db(raw.base), EInOutError);
  EXPECT_TRUE(fs::is_directory(raw.File(0)));
}

TEST_F(ThumbnailsTest, SizeCodeChangesOnlyWhenEmptyAndInRange) {
  tRawDb raw("thumbdb_size");
  tThumbnails db(raw.base);
  db.SetThumbnailSizeCode(3);
  db.SetThumbnailSizeCode(13);
  EXPECT_EQ(db.ThumbnailSizeCode(), 7);
  db.SetThumbnailSizeCode(4);
  EXPECT_EQ(db.BoxSize(), 160);
  EXPECT_EQ(+HeaderOf(raw.File(0)).SizeCode, 4);
  db.WriteRecord(1, tRawDb::Record('A', "C:\\a.gif", 0, 0));
  db.SetRecordCount(1);
  db.SetThumbnailSizeCode(5);
  EXPECT_EQ(db.ThumbnailSizeCode(), 4);
  db.Clear();
  EXPECT_EQ(db.RecordCount(), 0u);
  EXPECT_EQ(db.ThumbnailSizeCode(), 7);
  EXPECT_EQ(fs::file_size(raw.File(0)), 347u);
}

TEST_F(ThumbnailsTest, StatisticsCountRepairAndTurnDeletedIntoPurged) {
  tRawDb raw("thumbdb_stats");
  std::vector<TThumbnailRecord> records = {
      tRawDb::Record('A', "C:\\1.gif", 0, 10), tRawDb::Record('D', "C:\\2.gif", 10, 20),
      tRawDb::Record('p', "C:\\3.gif", 30, 5), tRawDb::Record('A', "C:\\4.gif", 35, 7)};
  raw.Write(tRawDb::Header(4, 0), records);
  auto index = ReadFile(raw.File(0));
  index.resize(index.size() + 30, 0xEE);  // a partial record
  WriteFile(raw.File(0), index);
  tThumbnails db(raw.base);
  TThumbnailStats s;
  db.GetStatistics(s);
  EXPECT_EQ(+s.Scanned, 4u);
  EXPECT_EQ(+s.Active, 2u);
  EXPECT_EQ(+s.Other, 2u);
  EXPECT_EQ(+s.ActiveBytes, 17u);
  EXPECT_EQ(+s.OtherBytes, 25u);
  EXPECT_EQ(+s.AllBytes, 42u);
  EXPECT_EQ(+s.IndexBytes, 347u * 5 + 30);
  EXPECT_EQ(+s.IndexRecords, 5u);
  EXPECT_EQ(+s.DataBytes, 42u);
  EXPECT_EQ(+s.BoxWidth, 91u);
  EXPECT_EQ(ShortString(s.NextLabel, 11), "Tavis000001");
  EXPECT_EQ(fs::file_size(raw.File(0)), 347u * 5);  // the partial record is cut
  EXPECT_EQ(+db.Header.Purged, 2u);
  EXPECT_EQ(db.ActiveCount(), 2u);
  TThumbnailRecord r;
  db.ReadRecord(2, r);
  EXPECT_EQ(+r.Status, 'p');
  db.Pack();
  EXPECT_EQ(db.RecordCount(), 2u);
  db.ReadRecord(2, r);
  EXPECT_EQ(RecordPathText(r), "C:\\4.gif");
}

TEST_F(ThumbnailsTest, PackWithNothingPurgedChangesNothing) {
  tRawDb raw("thumbdb_pack_none");
  raw.Write(tRawDb::Header(2), {tRawDb::Record('A', "C:\\1.gif", 0, 3),
                                 tRawDb::Record('D', "C:\\2.gif", 3, 4)});
  auto before0 = ReadFile(raw.File(0));
  auto before1 = ReadFile(raw.File(1));
  {
    tThumbnails db(raw.base);
    db.Pack();
  }
  EXPECT_EQ(ReadFile(raw.File(0)), before0);
  EXPECT_EQ(ReadFile(raw.File(1)), before1);
}

TEST_F(ThumbnailsTest, PackMovesLaterRecordsAndTheirDataDown) {
  tRawDb raw("thumbdb_pack_small");
  raw.Write(tRawDb::Header(4, 2),
            {tRawDb::Record('A', "C:\\1.gif", 0, 3), tRawDb::Record('p', "C:\\2.gif", 3, 4),
             tRawDb::Record('p', "C:\\3.gif", 7, 5), tRawDb::Record('A', "C:\\4.gif", 12, 6)});
  auto data = ReadFile(raw.File(1));
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
  WriteFile(raw.File(1), data);
  std::vector<int> progress;
  {
    tThumbnails db(raw.base);
    db.Progress = [&](int position, int total) {
      EXPECT_EQ(total, 4);
      progress.push_back(position);
    };
    db.Pack();
    EXPECT_EQ(db.RecordCount(), 2u);
    EXPECT_EQ(db.ActiveCount(), 2u);
  }
  EXPECT_EQ(progress, (std::vector<int>{0, 1, 2, 3, 4, -1}));
  EXPECT_EQ(fs::file_size(raw.File(0)), 347u * 3);
  EXPECT_EQ(ReadFile(raw.File(1)), (std::vector<uint8_t>{0, 1, 2, 12, 13, 14, 15, 16, 17}));
  tThumbnails db(raw.base);
  TThumbnailRecord r;
  db.ReadRecord(2, r);
  EXPECT_EQ(RecordPathText(r), "C:\\4.gif");
  EXPECT_EQ(+r.DataOffset, 3u);
  EXPECT_EQ(+r.DataLength, 6);
  EXPECT_EQ(+db.Header.Purged, 0u);
}

// Many records, most moved, far past the write-behind limits, against a simple model.
TEST_F(ThumbnailsTest, PackAgreesWithAModel) {
  tRawDb raw("thumbdb_pack_model");
  std::mt19937 random(16);
  std::vector<TThumbnailRecord> records;
  std::vector<uint8_t> data;
  struct Kept {
    std::string path;
    std::vector<uint8_t> bytes;
  };
  std::vector<Kept> model;
  uint32_t purged = 0;
  for (int i = 1; i <= 2000; ++i) {
    const char status = "AApD"[random() % 4];
    const uint16_t length = static_cast<uint16_t>(random() % 400);
    std::vector<uint8_t> bytes(length);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    const std::string path = "C:\\pics\\" + std::to_string(i) + ".jpg";
    records.push_back(tRawDb::Record(status, path, static_cast<uint32_t>(data.size()), length));
    data.insert(data.end(), bytes.begin(), bytes.end());
    if (status == 'p')
      ++purged;
    else
      model.push_back({path, bytes});
  }
  // A record whose data lies past the end of the data file keeps its place, empty.
  records.push_back(tRawDb::Record('A', "C:\\pics\\past.jpg", 1u << 30, 100));
  model.push_back({"C:\\pics\\past.jpg", {}});
  raw.Write(tRawDb::Header(2001, purged), records);
  WriteFile(raw.File(1), data);
  {
    tThumbnails db(raw.base);
    db.Pack();
    EXPECT_EQ(db.RecordCount(), model.size());
  }
  tThumbnails db(raw.base);
  ASSERT_EQ(db.RecordCount(), model.size());
  size_t expectData = 0;
  for (uint32_t n = 1; n <= db.RecordCount(); ++n) {
    TThumbnailRecord r;
    db.ReadRecord(n, r);
    const Kept& k = model[n - 1];
    ASSERT_EQ(RecordPathText(r), k.path);
    ASSERT_EQ(+r.DataOffset, expectData);
    ASSERT_EQ(+r.DataLength, k.bytes.size());
    std::vector<uint8_t> got(r.DataLength);
    if (!got.empty()) db.ReadData(r.DataOffset, got.data(), got.size());
    ASSERT_EQ(got, k.bytes);
    expectData += k.bytes.size();
  }
  EXPECT_EQ(db.DataSize(), int64_t(expectData));
  EXPECT_FALSE(fs::exists(raw.dir / "Tavishore32.th0.part"));
}

TEST_F(ThumbnailsTest, PackThatCannotFinishLeavesTheDatabaseAsItWas) {
  tRawDb raw("thumbdb_pack_fail");
  raw.Write(tRawDb::Header(3, 1),
            {tRawDb::Record('A', "C:\\1.gif", 0, 3), tRawDb::Record('p', "C:\\2.gif", 3, 4),
             tRawDb::Record('A', "C:\\3.gif", 7, 5)});
  auto before0 = ReadFile(raw.File(0));
  auto before1 = ReadFile(raw.File(1));
  {
    tThumbnails db(raw.base);
    int calls = 0;
    // An error raised part way (here by the progress procedure) leaves the old files whole.
    db.Progress = [&](int position, int) {
      if (++calls == 3) throw EInOutError("stop");
    };
    EXPECT_THROW(db.Pack(), EInOutError);
    EXPECT_EQ(db.RecordCount(), 3u);
    TThumbnailRecord r;
    db.ReadRecord(3, r);
    EXPECT_EQ(RecordPathText(r), "C:\\3.gif");
  }
  EXPECT_EQ(ReadFile(raw.File(0)), before0);
  EXPECT_EQ(ReadFile(raw.File(1)), before1);
}

TEST_F(ThumbnailsTest, OmittedFolders) {
  tRawDb raw("thumbdb_omit");
  {
    tThumbnails db(raw.base);
    db.ToggleOmittedFolder("C:\\Windows");
    db.ToggleOmittedFolder("D:\\tmp\\");
    EXPECT_TRUE(db.IsFolderInOmitList("c:\\windows", true));
    EXPECT_TRUE(db.IsFolderInOmitList("C:\\Windows\\System", false));
    EXPECT_FALSE(db.IsFolderInOmitList("C:\\Windows\\System", true));
    EXPECT_FALSE(db.IsFolderInOmitList("C:\\Windows2", false));
    EXPECT_FALSE(db.IsFolderOmitted("C:\\Pics", false));
    db.MasterSwitch = 0;
    EXPECT_TRUE(db.IsFolderOmitted("C:\\Pics", false));
    db.MasterSwitch = 1;
    db.ToggleOmittedFolder("C:\\WINDOWS\\");
    EXPECT_FALSE(db.IsFolderInOmitList("C:\\Windows", true));
  }
  EXPECT_EQ(ReadFile(raw.File(4)), (std::vector<uint8_t>{'D', ':', '\\', 't', 'm', 'p', '\\',
                                                         '\r', '\n'}));
  // Empty lines in the file are no entries (an empty entry would cover every folder).
  WriteFile(raw.File(4), {'\r', '\n', 'E', ':', '\\', '\n', '\n'});
  tThumbnails db(raw.base);
  EXPECT_EQ(db.OmittedFolders().Count(), 1);
  EXPECT_FALSE(db.IsFolderInOmitList("C:\\Pics", false));
  EXPECT_TRUE(db.IsFolderInOmitList("E:\\Pics", false));
}

TEST_F(ThumbnailsTest, VolumeLabels) {
  tRawDb raw("thumbdb_labels");
  {
    tThumbnails db(raw.base);
    EXPECT_EQ(db.NewVolumeLabel(), "Tavis000001");
    EXPECT_EQ(db.AddVolumeLabel("ZULU"), 1);
    EXPECT_EQ(db.AddVolumeLabel("ALPHA"), 2);
    EXPECT_EQ(db.AddVolumeLabel("zulu"), 1);  // already listed: nothing added
    EXPECT_EQ(db.VolumeLabels().Count(), 2);
    EXPECT_EQ(db.VolumeLabels().Lines()[0], "ALPHA=2");  // sorted by text
    EXPECT_EQ(db.VolumeLabelOf(1), "ZULU");
    EXPECT_EQ(db.VolumeLabelOf(3), "");
    EXPECT_EQ(db.VolumeLabelOf(0), "");
    EXPECT_EQ(db.VolumeNumberOf("MISSING"), -1);
    db.IncVolumeSerial();
    EXPECT_EQ(db.NewVolumeLabel(), "Tavis000002");
  }
  EXPECT_EQ(+HeaderOf(raw.File(0)).VolumeSerial, 1u);
  WriteFile(raw.File(2), {'B', 'A', 'D', '=', 'x', '\r', '\n', 'E', 'M', 'P', 'T', 'Y', '=', '\r',
                          '\n', 'O', 'K', '=', '7', '\r', '\n'});
  tThumbnails db(raw.base);
  EXPECT_EQ(db.VolumeNumberOf("BAD"), -1);
  EXPECT_EQ(db.VolumeNumberOf("EMPTY"), -1);
  EXPECT_EQ(db.VolumeNumberOf("ok"), 7);
  const int number = db.AddVolumeLabel("BAD");
  EXPECT_EQ(db.VolumeNumberOf("BAD"), number);
  EXPECT_EQ(db.VolumeLabels().Count(), 3);
}

TEST_F(ThumbnailsTest, NonPictureFiles) {
  tRawDb raw("thumbdb_nonpic");
  tThumbnails db(raw.base);
  EXPECT_EQ(tThumbnails::NonPictureExtension(0), "$$$");
  EXPECT_EQ(tThumbnails::NonPictureExtension(69), "ZIP");
  EXPECT_EQ(tThumbnails::NonPictureExtension(70), "");
  struct Case {
    const char* name;
    bool skip;
  } cases[] = {{"readme.txt", true}, {"A.Zip", true}, {"x.c", true},     {"pic.gif", false},
               {"noext", false},     {"dot.", false}, {"a.txt.jpg", false}};
  for (const Case& c : cases) EXPECT_EQ(db.IsNonPictureFile(c.name), c.skip) << c.name;
  db.Header.Flags = 0x08;
  EXPECT_FALSE(db.IsNonPictureFile("readme.txt"));
}
