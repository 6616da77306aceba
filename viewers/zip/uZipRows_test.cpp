#include "viewers/zip/uZipRows.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/TestSupport.h"

namespace {

class ZipRowsTest : public testsupport::tPlainPlatformTest {};

TZipEntryInfo Info(const char* name, uint32_t size, uint32_t packed) {
  TZipEntryInfo info{};
  std::strcpy(info.Name, name);
  info.DateTime = static_cast<int32_t>((((2017 - 1980) << 9 | 9 << 5 | 12) << 16) | (18 << 11 | 57 << 5 | 3));
  info.Size = size;
  info.PackedSize = packed;
  info.Ratio = static_cast<int8_t>(ZipRatio(size, packed));
  info.RecordCode = kZipRecProgress;
  return info;
}

TEST_F(ZipRowsTest, RowTexts) {
  tZipRow row;
  ASSERT_TRUE(ZipRowOf(Info("docs\\sub\\read me.txt", 1234567, 234567), row));
  EXPECT_EQ(row.Caption, "read me.txt");
  ASSERT_EQ(row.SubItems.size(), 6u);
  EXPECT_EQ(row.SubItems[0], "09/12/17");
  EXPECT_EQ(row.SubItems[1], "18:57");
  EXPECT_EQ(row.SubItems[2], "  1,234,567");
  EXPECT_EQ(row.SubItems[3], "82%");
  EXPECT_EQ(row.SubItems[4], "    234,567");
  EXPECT_EQ(row.SubItems[5], "docs\\sub\\");
  EXPECT_FALSE(ZipRowOf(Info("docs\\", 0, 0), row));
  TZipEntryInfo end = Info("a.zip", 0, 0);
  end.RecordCode = kZipRecRunEnd;
  EXPECT_FALSE(ZipRowOf(end, row));
}

TEST_F(ZipRowsTest, StatusTexts) {
  EXPECT_EQ(ZipSummaryText(0, 0), "0 files 0 bytes");
  EXPECT_EQ(ZipSummaryText(3, 1234567), "3 files 1,234,567 bytes");
  EXPECT_EQ(ZipExtractResultText(-9, 0), "ERROR CODE -9");
  EXPECT_EQ(ZipExtractResultText(4, 4), "4 files extracted");
  EXPECT_EQ(ZipPartialWarning(2, 3), "2 of 3 files extracted (some may be password protected)");
  EXPECT_EQ(ZipPartialWarning(3, 3), "");
  EXPECT_EQ(ZipViewFolder("C:\\TEMP\\", 42), "C:\\TEMP\\Tavishore zip 42\\");
}

}  // namespace
