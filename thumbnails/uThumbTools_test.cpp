#include "thumbnails/uThumbTools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "foundation/uFiles.h"
#include "tests/TestSupport.h"
#include "thumbnails/uThumbnails.h"

namespace {
namespace fs = std::filesystem;

class ThumbToolsTest : public testsupport::tPlainPlatformTest {
 protected:
  void SetUp() override {
    tPlainPlatformTest::SetUp();
    dir_ = testsupport::ScratchDir("thumbtools");
    db_ = std::make_unique<tThumbnails>((dir_ / "db").string());
  }
  void Add(char status, const std::string& path, uint32_t volume = 0) {
    TThumbnailRecord r{};
    r.Status = status;
    SetRecordPathText(r, path);
    r.Volume = volume;
    db_->WriteRecord(++count_, r);
    db_->SetRecordCount(count_);
    if (status != 'A') ++db_->Header.Purged;
    db_->WriteHeader();
  }
  fs::path dir_;
  std::unique_ptr<tThumbnails> db_;
  uint32_t count_ = 0;
};

TEST_F(ThumbToolsTest, OneRowPerFolderMarkedWhenAFixedDiskLostIt) {
  const int holiday = db_->AddVolumeLabel("HOLIDAY");
  // Out of order on purpose: the report sorts by full name. "p" records are left out.
  Add('A', "C:\\pics\\b.jpg");
  Add('A', "C:\\gone\\x.jpg");
  Add('D', "C:\\pics\\a.jpg");
  Add('A', "E:\\trips\\beach.jpg", static_cast<uint32_t>(holiday));
  Add('p', "C:\\old\\z.jpg");
  Add('A', "C:\\PICS\\c.jpg");
  Add('A', "R:\\ram\\r.jpg");
  Add('A', "E:\\trips\\sea.jpg", static_cast<uint32_t>(holiday));
  Add('A', "F:\\cd\\disc.jpg");
  TGallerySettings gallery = db_->GallerySettings();
  SetStatusFilter(gallery, "A");
  SetKeywordsFilter(gallery, "sea");
  gallery.SortKey = 3;
  db_->SaveGallerySettings(gallery);

  std::vector<std::string> asked;
  const std::map<char, int> types = {{'C', 3}, {'E', 2}, {'F', 5}, {'R', 6}};
  tThumbFolderProbe probe;
  probe.FolderExists = [&](const std::string& folder) {
    asked.push_back(folder);
    return folder == "C:\\pics" || folder == "C:\\PICS";
  };
  probe.DriveType = [&](const std::string& root) { return types.at(root[0]); };
  tDatabaseView view(*db_);
  const std::vector<tThumbFolderRow> rows = BuildThumbFolderRows(view, probe);
  struct Expected {
    bool mark;
    uint32_t count;
    const char* folder;
  };
  const Expected expected[] = {{true, 1, "C:\\gone"},
                               {false, 3, "C:\\pics"},
                               {false, 2, "[HOLIDAY]  E:\\trips"},
                               {false, 1, "F:\\cd"},
                               {true, 1, "R:\\ram"}};
  ASSERT_EQ(rows.size(), std::size(expected));
  uint32_t first = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].Delete, expected[i].mark) << i;
    EXPECT_EQ(rows[i].Count, expected[i].count) << i;
    EXPECT_EQ(rows[i].Folder, expected[i].folder) << i;
    EXPECT_EQ(rows[i].First, first) << i;
    first += rows[i].Count;
  }
  // A removable disk's folder is never looked for: its disk may simply be out.
  EXPECT_EQ(std::count(asked.begin(), asked.end(), "E:\\trips"), 0);
  EXPECT_EQ(ThumbFolderMarksText(rows), "2 \"YES\" folders");
  EXPECT_EQ(ThumbDeleteCountText(rows), "2 thumbnails to delete");
  // The user's gallery selection stays as it was.
  EXPECT_EQ(StatusFilter(db_->GallerySettings()), "A");
  EXPECT_EQ(KeywordsFilter(db_->GallerySettings()), "sea");
  EXPECT_EQ(db_->GallerySettings().SortKey, 3);

  // Apply: the marked folders' records go; a toggled-off mark keeps its folder's.
  std::vector<tThumbFolderRow> marked = rows;
  marked[4].Delete = false;
  marked[1].Delete = true;
  const uint32_t purgedBefore = db_->Header.Purged;
  EXPECT_EQ(PurgeMarkedFolders(view, marked), 1 + 3);
  // Only the two "A" records of C:\pics and the one of C:\gone count as newly purged.
  EXPECT_EQ(uint32_t{db_->Header.Purged}, purgedBefore + 3);
  const std::vector<tThumbFolderRow> after = BuildThumbFolderRows(view, probe);
  ASSERT_EQ(after.size(), 3u);
  EXPECT_EQ(after[0].Folder, "[HOLIDAY]  E:\\trips");
  EXPECT_EQ(after[2].Folder, "R:\\ram");
}

TEST_F(ThumbToolsTest, EmptyDatabaseHasNoRows) {
  tDatabaseView view(*db_);
  EXPECT_TRUE(BuildThumbFolderRows(view, {}).empty());
  EXPECT_EQ(ThumbFolderMarksText({}), "0 \"YES\" folders");
}

TEST_F(ThumbToolsTest, DriveWalkIsInOutlineOrder) {
  for (const char* folder : {"walk/b", "walk/B2", "walk/a/zz", "walk/a/Y", "walk/c/d/e"})
    fs::create_directories(dir_ / folder);
  testsupport::WriteFile(dir_ / "walk" / "a" / "file.jpg", {1, 2, 3});
  const std::string root = (dir_ / "walk").string();
  tThumbFolderWalk walk(root);
  std::vector<std::string> seen;
  std::string folder;
  while (walk.Next(folder)) seen.push_back(folder.substr(root.size()));
  const char sep = root.find('\\') != std::string::npos ? '\\' : '/';
  std::vector<std::string> expected = {"", "/a", "/a/Y", "/a/zz", "/b", "/B2", "/c", "/c/d", "/c/d/e"};
  for (std::string& e : expected) std::replace(e.begin(), e.end(), '/', sep);
  // AddBackslash joins with a backslash on every platform.
  for (std::string& s : seen) std::replace(s.begin(), s.end(), '\\', sep);
  EXPECT_EQ(seen, expected);
}

}  // namespace
