#include "thumbnails/uThumbMake.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "foundation/uFormat.h"
#include "foundation/uUtil.h"
#include "imaging/Palettes.h"
#include "imaging/PictureTestUtil.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {

// A finished decoder holding a picture, as the views hand it over.
std::unique_ptr<tGraphicID> Decoded(int width, int height, int bits, const std::string& name) {
  auto id = std::make_unique<tGraphicID>(nullptr);
  id->Bitmap = pictest::Pattern(width, height, bits);
  id->Width = static_cast<uint16_t>(width);
  id->Height = static_cast<uint16_t>(height);
  id->FormatId = fmtBMP;
  id->FileName = name;
  id->AspectX = id->AspectY = 1;
  return id;
}

class ThumbMakeTest : public testsupport::tPlainPlatformTest {
 protected:
  std::string Base(const std::string& name) {
    return (testsupport::ScratchDir(name) / "t.thm").string();
  }
};

}  // namespace

TEST_F(ThumbMakeTest, ThumbnailsFitTheBox) {
  struct Case {
    int w, h, box, tw, th;
  } cases[] = {{200, 100, 91, 91, 45}, {1, 1000, 91, 1, 91}, {1000, 1, 53, 53, 1},
               {40, 40, 160, 160, 160}, {91, 91, 91, 91, 91}};
  for (const Case& c : cases) {
    auto id = Decoded(c.w, c.h, 24, "x.bmp");
    auto thumb = MakeThumbnailPicture(*id, c.box);
    ASSERT_TRUE(thumb);
    EXPECT_EQ(thumb->Width(), c.tw) << c.w << "x" << c.h;
    EXPECT_NEAR(thumb->Height(), c.th, 1) << c.w << "x" << c.h;
    EXPECT_EQ(thumb->BitCount(), 8);
    uint8_t palette[768];
    thumb->GetPalette(palette);
    EXPECT_EQ(std::memcmp(palette, ThumbnailPalette().data(), 768), 0);
  }
  // A display aspect stretches the picture first.
  auto id = Decoded(100, 100, 8, "x.bmp");
  id->AspectX = 1;
  id->AspectY = 2;
  id->DisplayWidth = 200;
  id->DisplayHeight = 100;
  auto thumb = MakeThumbnailPicture(*id, 91);
  EXPECT_EQ(thumb->Width(), 91);
  EXPECT_NEAR(thumb->Height(), 45, 1);
}

TEST_F(ThumbMakeTest, StoredThumbnailsReadBackAsMade) {
  const std::string base = Base("thumbmake_store");
  tThumbnails db(base);
  auto a = Decoded(200, 100, 24, "c:\\pics\\a.bmp");
  auto b = Decoded(30, 70, 8, "D:\\b.bmp");
  std::string caption;
  TThumbnailRecord copy;
  tMemBmpPtr display;
  tThumbFileFacts facts{"", 1234, 0x5A215C00};
  EXPECT_EQ(StoreThumbnail(db, *a, 'A', 0, &caption, &copy, &display, facts), 1u);
  EXPECT_EQ(StoreThumbnail(db, *b, 'p', 3, nullptr, nullptr, nullptr, {"D:\\b.bmp", 99, 1}), 2u);
  EXPECT_EQ(db.RecordCount(), 2u);
  EXPECT_EQ(+db.Header.Purged, 1u);
  EXPECT_EQ(caption, Format("200 x 100 x %s %s", {ColorCountText(copy.ColorCode), FormatName(fmtBMP)}));
  EXPECT_EQ(RecordPathText(copy), "C:\\pics\\a.bmp");
  EXPECT_EQ(+copy.Status, 'A');
  EXPECT_EQ(+copy.FileSize, 1234u);
  EXPECT_EQ(+copy.DosTime, 0x5A215C00u);
  EXPECT_EQ(+copy.Group, ' ');
  EXPECT_EQ(RecordKeywords(copy), "");
  EXPECT_EQ(+copy.DataOffset, 0u);
  EXPECT_EQ(+copy.ThumbWidth, 91);
  EXPECT_EQ(+copy.Width, 200);
  EXPECT_EQ(+copy.FormatId, fmtBMP);

  TThumbnailRecord second;
  tMemBmpPtr picture;
  ASSERT_TRUE(ReadThumbnail(db, 2, &second, &picture, &caption));
  EXPECT_EQ(+second.DataOffset, +copy.DataLength);
  EXPECT_EQ(+second.Volume, 3u);
  EXPECT_EQ(+second.Status, 'p');
  EXPECT_EQ(int64_t(+second.DataOffset) + +second.DataLength, db.DataSize());
  auto expected = MakeThumbnailPicture(*b, 91);
  ASSERT_EQ(picture->Width(), expected->Width());
  ASSERT_EQ(picture->Height(), expected->Height());
  EXPECT_EQ(std::memcmp(picture->Bits, expected->Bits, expected->ImageSize), 0);
  ASSERT_TRUE(ReadThumbnail(db, 1, nullptr, &picture, nullptr));
  EXPECT_EQ(std::memcmp(picture->Bits, display->Bits, display->ImageSize), 0);

  EXPECT_FALSE(ReadThumbnail(db, 0, nullptr, nullptr, nullptr));
  EXPECT_FALSE(ReadThumbnail(db, 3, nullptr, nullptr, nullptr));
  TThumbnailRecord empty{};
  db.WriteRecord(3, empty);
  db.SetRecordCount(3);
  EXPECT_FALSE(ReadThumbnail(db, 3, nullptr, &picture, nullptr));
}

TEST_F(ThumbMakeTest, DamagedDataNeverLeavesThePicture) {
  const std::string base = Base("thumbmake_damaged");
  tThumbnails db(base);
  auto a = Decoded(200, 100, 24, "C:\\a.bmp");
  StoreThumbnail(db, *a, 'A', 0, nullptr, nullptr, nullptr, {"", 1, 1});
  TThumbnailRecord r;
  db.ReadRecord(1, r);
  // Data of a large picture claimed for a tiny thumbnail.
  auto big = Decoded(400, 400, 24, "C:\\big.bmp");
  TThumbnailRecord bigRecord;
  StoreThumbnail(db, *big, 'A', 0, nullptr, &bigRecord, nullptr, {"", 1, 1});
  bigRecord.ThumbWidth = 3;
  bigRecord.ThumbHeight = 2;
  db.WriteRecord(2, bigRecord);
  tMemBmpPtr picture;
  ASSERT_TRUE(ReadThumbnail(db, 2, nullptr, &picture, nullptr));
  EXPECT_EQ(picture->Width(), 3);
  // Data past the end of the data file is a read error.
  r.DataOffset = 1u << 30;
  db.WriteRecord(1, r);
  EXPECT_THROW(ReadThumbnail(db, 1, nullptr, &picture, nullptr), EInOutError);
  // Zero sizes still give a picture; a length of 0 keeps its rows zero.
  r.DataLength = 0;
  r.ThumbWidth = r.ThumbHeight = 0;
  db.WriteRecord(1, r);
  ASSERT_TRUE(ReadThumbnail(db, 1, nullptr, &picture, nullptr));
  EXPECT_EQ(picture->Width(), 1);
  EXPECT_EQ(picture->Bits[0], 0);
  // Data that decodes to nothing (a size byte other than 2 to 8) keeps them zero as well.
  const uint8_t nine[] = {9, 0, 2, 4};
  r.DataOffset = static_cast<uint32_t>(db.DataSize());
  db.WriteData(r.DataOffset, nine, sizeof nine);
  r.DataLength = sizeof nine;
  r.ThumbWidth = r.ThumbHeight = 2;
  db.WriteRecord(1, r);
  ASSERT_TRUE(ReadThumbnail(db, 1, nullptr, &picture, nullptr));
  EXPECT_EQ(picture->Width(), 2);
  EXPECT_EQ(picture->Bits[0], 0);
}

// A write that fails leaves no record behind: data first, then the record, then the header.
TEST_F(ThumbMakeTest, FailedWriteLeavesNoPhantomRecord) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const std::string base = Base("thumbmake_full");
  {
    tThumbnails db(base);
    auto a = Decoded(50, 50, 24, "C:\\a.bmp");
    StoreThumbnail(db, *a, 'A', 0, nullptr, nullptr, nullptr, {"", 1, 1});
  }
  const fs::path th1 = fs::path(base).replace_extension(".th1");
  fs::remove(th1);
  fs::create_symlink("/dev/full", th1);
  {
    tThumbnails db(base);
    auto b = Decoded(50, 50, 24, "C:\\b.bmp");
    EXPECT_THROW(StoreThumbnail(db, *b, 'A', 0, nullptr, nullptr, nullptr, {"", 1, 1}),
                 EInOutError);
    EXPECT_EQ(db.RecordCount(), 1u);
  }
  fs::remove(th1);
  tThumbnails db(base);
  EXPECT_EQ(db.RecordCount(), 1u);
  EXPECT_EQ(fs::file_size(fs::path(base).replace_extension(".th0")), 347u * 2);
}

