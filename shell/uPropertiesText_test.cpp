#include "shell/uPropertiesText.h"

#include <gtest/gtest.h>

#include "foundation/uLocaleText.h"
#include "foundation/uUtil.h"
#include "tests/TestSupport.h"

TEST(PropertiesText, AttributeWordKeepsWhatTheBoxesDoNotShow) {
  struct {
    uint32_t old;
    tAttributeChecks checks;
    uint32_t word;
  } cases[] = {
      {faReadOnly | faArchive, {true, false, false, true}, faReadOnly | faArchive},  // unchanged
      {faReadOnly | faArchive, {false, false, false, true}, faArchive},  // read-only cleared
      {faDirectory, {false, true, true, false}, faDirectory | faHidden | faSysFile},
      {0x2000 | faArchive, {false, false, false, false}, 0x2000},  // not indexed stays
      {0, {true, true, true, true}, faReadOnly | faHidden | faSysFile | faArchive},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AttributesFromChecks(c.old, c.checks), c.word) << c.old;
    EXPECT_EQ(AttributeChecks(c.word), c.checks) << c.word;
  }
  EXPECT_EQ(AttributesFromChecks(0x2021, AttributeChecks(0x2021)), 0x2021u);
}

TEST(PropertiesText, NamesAndTimes) {
  EXPECT_EQ(PropertiesCaption("C:\\photos\\beach.jpg"), "beach.jpg properties");
  EXPECT_EQ(ShortNameText("", "short.txt"), "short.txt");
  EXPECT_EQ(ShortNameText("LONGFI~1.JPE", "long file name.jpeg"), "LONGFI~1.JPE");
  EXPECT_EQ(ShortNameText("ABCDEFGHIJKLMNOP", "x"), "ABCDEFGHIJKLMN");
  EXPECT_EQ(TypeNameText(std::string(100, 't')), std::string(80, 't'));
  const tFormatSettings settings;
  struct {
    int year, month, day, hour, minute, second;
    bool withTime;
    const char* text;
  } cases[] = {
      {2026, 12, 11, 15, 5, 8, true, "Friday, December 11, 2026 3:05:08 pm"},
      {1999, 1, 1, 0, 0, 0, true, "Friday, January 1, 1999 12:00:00 am"},
      {2000, 2, 29, 11, 59, 58, false, "Tuesday, February 29, 2000"},
  };
  for (const auto& c : cases) {
    const uint32_t dos =
        FieldsToDosDateTime({c.year, c.month, c.day, c.hour, c.minute, c.second, 0});
    EXPECT_EQ(EntryTimeText(true, dos, c.withTime, settings), c.text);
  }
  EXPECT_EQ(EntryTimeText(false, 0, true, settings), "(unknown)");
  EXPECT_EQ(EntryTimeText(true, 0, true, settings), "(unknown)");  // no such day
}

TEST(PropertiesText, DriveLines) {
  struct {
    int type;
    const char* shell;
    const char* text;
  } types[] = {
      {dtRemovable, "3\xC2\xBD Floppy Drive", "3\xC2\xBD Floppy Disk"},
      {dtRemovable, "Removable Disk", "Removable Disk"},
      {dtRemovable, "ZIP disc drive", "ZIP disc"},
      {dtRemovable, "Removable", "Removable Disk"},
      {dtFixed, "Local Disk", "Fixed Disk"},
      {dtRemote, "", "Network Drive"},
      {dtCdRom, "", "CD-ROM Disc"},
      {dtRamDisk, "", "RAM Disk"},
      {dtUnknown, "Unknown", "Unknown"},
  };
  for (const auto& t : types) EXPECT_EQ(DriveTypeText(t.type, t.shell), t.text) << t.shell;
  EXPECT_EQ(DriveLabelLine('C', true, "SYSTEM"), "C: (SYSTEM)");
  EXPECT_EQ(DriveLabelLine('A', false, ""), "A: (?)");
  EXPECT_EQ(DriveSerialText(0x1234abcd), "1234ABCD");
  EXPECT_EQ(LabelDiskCaption("Tavis000002"), "Label disk \"Tavis000002\"");
}

class DriveSpace : public testsupport::tPlainPlatformTest {};

TEST_F(DriveSpace, BytesAndClusters) {
  tDriveSpace s;
  s.TotalBytes = 1474560;
  s.FreeBytes = 512 * 1000;
  s.ClustersKnown = true;
  s.SectorsPerCluster = 1;
  s.BytesPerSector = 512;
  s.FreeClusters = 1000;
  s.TotalClusters = 2847;
  tDriveSpaceTexts t = DriveSpaceTexts(s);
  EXPECT_EQ(t.Capacity, "    1,474,560 bytes");
  EXPECT_EQ(t.Used, "      962,560 bytes");
  EXPECT_EQ(t.Free, "      512,000 bytes");
  EXPECT_EQ(t.CapacitySize, SizeText(1474560));
  EXPECT_EQ(t.Clusters, "1,000 (of 2,847) clusters free");
  EXPECT_EQ(t.BytesPerSector, "512 bytes per sector");
  EXPECT_EQ(t.SectorsPerCluster, "1 sectors per cluster");
  // A large drive whose clusters cannot hold the free space it reports, and one without
  // cluster figures.
  s.FreeBytes = 512 * 1001;
  t = DriveSpaceTexts(s);
  EXPECT_EQ(t.Clusters, "(unknown)");
  EXPECT_EQ(t.BytesPerSector, "(unknown)");
  EXPECT_EQ(t.SectorsPerCluster, "(unknown)");
  s.FreeBytes = 0;
  s.ClustersKnown = false;
  EXPECT_EQ(DriveSpaceTexts(s).Clusters, "(unknown)");
  // Free space above the total (quotas) does not wrap the used space.
  s.TotalBytes = 10;
  s.FreeBytes = 20;
  EXPECT_EQ(DriveSpaceTexts(s).Used, "            0 bytes");
}
