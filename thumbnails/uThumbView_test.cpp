#include "thumbnails/uThumbView.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>

#include "imaging/formats/gJPG.h"
#include "imaging/uImageOps.h"
#include "thumbnails/uThumbMake.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {

// A file list's side of the view: its entries and the images it was given.
class tListHost : public tThumbListHost {
 public:
  std::map<std::string, std::unique_ptr<TSrchRec>> entries;
  std::vector<std::pair<int, int>> images;  // width, height
  int redraws = 0;
  std::string current;

  void Add(const std::string& name) {
    tFoundItem item;
    item.Name = name;
    entries[name] = std::make_unique<TSrchRec>(item, static_cast<int32_t>(entries.size() + 1));
  }
  int AddImage(const tMemBmp& image, const tMemBmp& mask) override {
    EXPECT_EQ(mask.Width(), image.Width());
    images.emplace_back(image.Width(), image.Height());
    return static_cast<int>(images.size()) - 1;
  }
  TSrchRec* FindEntry(const std::string& name) override {
    auto it = entries.find(name);
    return it == entries.end() ? nullptr : it->second.get();
  }
  void EntryChanged(TSrchRec&) override { ++redraws; }
  TSrchRec* CurrentEntry() override { return FindEntry(current); }
};

class ThumbViewTest : public testsupport::tPlainPlatformTest {
 protected:
  void SetUp() override {
    tPlainPlatformTest::SetUp();
    RegisterAllFormats();
  }
  fs::path dir_;
  std::string base_;

  void MakeFolder(const std::string& name) {
    dir_ = testsupport::ScratchDir(name);
    base_ = (dir_ / "db.thm").string();
    fs::create_directory(dir_ / "pics");
    fs::create_directory(dir_ / "pics" / "sub");
    Copy("png/basn2c08.png", "a.png");
    Copy("gif/video-001.gif", "b.gif");
    Copy("jpeg/video-001.jpeg", "c.jpg");
    testsupport::WriteFile(dir_ / "pics" / "readme.txt", {'h', 'i'});
    testsupport::WriteFile(dir_ / "pics" / "junk.xyz", std::vector<uint8_t>(100, 7));
  }
  void Copy(const std::string& from, const std::string& to) {
    fs::copy_file(testsupport::TestData(from), dir_ / "pics" / to,
                  fs::copy_options::overwrite_existing);
    // The shared data is read-only; Windows refuses to delete a read-only copy.
    fs::permissions(dir_ / "pics" / to, fs::perms::owner_write, fs::perm_options::add);
  }
  std::string Pics() const { return (dir_ / "pics").string(); }
  std::unique_ptr<tDirectoryView> View(tThumbnails& db, tThumbListHost* host = nullptr) {
    auto view = std::make_unique<tDirectoryView>(db, host, nullptr);
    view->OpenFolder(Pics(), "", 0, 3);
    return view;
  }
  static int Scan(tDirectoryView& view) {
    view.BeginUpdate();
    int steps = 0;
    while (view.UpdateStep(0)) ++steps;
    return steps;
  }
  static int Live(tThumbnails& db) { return static_cast<int>(db.ActiveCount()); }
};

}  // namespace

TEST_F(ThumbViewTest, ScanStoresPicturesThenKeepsThem) {
  MakeFolder("thumbview_scan");
  tThumbnails db(base_);
  auto view = View(db);
  EXPECT_EQ(view->Status, 'A');
  EXPECT_EQ(view->Volume, 0);
  EXPECT_EQ(view->ItemCount, 0);
  Scan(*view);
  const auto& c = view->Counters();
  EXPECT_EQ(c.Seen, 5);
  EXPECT_EQ(c.Skipped, 1);  // readme.txt
  EXPECT_EQ(c.NotIdentified, 1);
  EXPECT_EQ(c.Stored, 3);
  EXPECT_EQ(db.RecordCount(), 3u);
  EXPECT_EQ(view->ItemCount, 3);
  for (int i = 0; i < 3; ++i) {
    TThumbnailRecord r;
    ASSERT_TRUE(ReadThumbnail(db, static_cast<uint32_t>(view->RecordOfItem(i)), &r, nullptr,
                              nullptr));
    const fs::path file = dir_ / "pics" / view->ItemNames()[size_t(i)];
    EXPECT_EQ(+r.FileSize, fs::file_size(file));
    EXPECT_EQ(+r.DosTime, uint32_t(FileAge(file.string())));
    EXPECT_EQ(+r.Status, 'A');
  }

  auto again = View(db);
  EXPECT_EQ(again->ItemCount, 3);
  Scan(*again);
  EXPECT_EQ(again->Counters().Unchanged, 3);
  EXPECT_EQ(again->Counters().Stored, 0);
  EXPECT_EQ(db.RecordCount(), 3u);
}

// Records the size of every picture the scan decodes.
class tSizeScanner : public tThumbScanner {
 public:
  std::vector<std::pair<int, int>> decoded;
  void Decode(tGraphicID& decoder, intptr_t window) override {
    tThumbScanner::Decode(decoder, window);
    decoded.emplace_back(decoder.Bitmap->Width(), decoder.Bitmap->Height());
  }
};

// A large JPEG is decoded at the DCT scale that keeps twice the box on each side; the record
// still tells the file's size, and the thumbnail is the one the whole picture gives, up to the
// little the scaling changes.
TEST_F(ThumbViewTest, LargeJpegIsDecodedAtAReducedScale) {
  dir_ = testsupport::ScratchDir("thumbview_scaled");
  fs::create_directory(dir_ / "pics");
  {
    auto id = std::make_unique<tGraphicID>(new tBuffStream(
        "c.jpg", OpenFileStream(testsupport::TestData("jpeg/video-001.jpeg").string()), false));
    ASSERT_TRUE(id->IdentifyPicture());
    id->LoadPicture();
    tMemBmpPtr big = ResizeImage(*id->Bitmap, 800, 560, 1);
    tBuffStream out("big.jpg", CreateFileStream((dir_ / "pics" / "big.jpg").string()), true);
    WriteJPEG(*big, out, "", 90, false);
    out.Flush();
  }
  tMemBmpPtr thumbs[2];
  for (int full = 0; full < 2; ++full) {
    SCOPED_TRACE(full ? "full size" : "scaled");
    tThumbnails db((dir_ / (full ? "full.thm" : "scaled.thm")).string());
    auto scanner = std::make_unique<tSizeScanner>();
    tSizeScanner& sizes = *scanner;
    tDirectoryView view(db, nullptr, std::move(scanner));
    view.OpenFolder(Pics(), "", 0, 3);
    view.BeginUpdate();
    if (full) view.Scanner().MinimumSide = 0;
    while (view.UpdateStep(0)) {
    }
    ASSERT_EQ(db.RecordCount(), 1u);
    // Box 91: 1/2 leaves 400 x 280, at least 182 each side; 1/4 would leave 200 x 140.
    ASSERT_EQ(sizes.decoded.size(), 1u);
    EXPECT_EQ(sizes.decoded[0], full ? std::pair(800, 560) : std::pair(400, 280));
    TThumbnailRecord r;
    ASSERT_TRUE(ReadThumbnail(db, 1, &r, &thumbs[full], nullptr));
    EXPECT_EQ(ThumbnailCaption(r), "800 x 560 x 16m JPEG");
    EXPECT_EQ(+r.ThumbWidth, 91);
    EXPECT_EQ(+r.ThumbHeight, 64);
  }
  // Compared through the palette in blocks of 7 x 8 pixels, over which the dithering evens
  // out: the block colours stay close.
  const tRGBPalette palette = ThumbnailPalette();
  double sum = 0;
  int count = 0;
  for (int by = 0; by < 64; by += 8)
    for (int bx = 0; bx < 91; bx += 7)
      for (int c = 0; c < 3; ++c, ++count) {
        int block[2] = {0, 0};
        for (int k = 0; k < 2; ++k)
          for (int y = by; y < by + 8; ++y)
            for (int x = bx; x < bx + 7; ++x) block[k] += palette[thumbs[k]->ScanLine(y)[x] * 3 + c];
        sum += std::abs(block[0] - block[1]) / 56.0;
      }
  EXPECT_LT(sum / count, 3.0);
}

TEST_F(ThumbViewTest, ChangedDeletedAndAddedFiles) {
  MakeFolder("thumbview_changes");
  tThumbnails db(base_);
  Scan(*View(db));
  ASSERT_EQ(db.RecordCount(), 3u);

  // Re-dated in-process: the Windows build of these tests cannot start Unix tools.
  const fs::path changed = dir_ / "pics" / "a.png";
  fs::last_write_time(changed, fs::last_write_time(changed) - std::chrono::hours(24 * 365 * 5));
  fs::remove(dir_ / "pics" / "b.gif");
  Copy("bmp/rgb24.bmp", "d.bmp");

  auto view = View(db);
  ASSERT_EQ(view->ItemCount, 3);
  Scan(*view);
  const auto& c = view->Counters();
  EXPECT_EQ(c.Unchanged, 1);
  EXPECT_EQ(c.Changed, 1);
  EXPECT_EQ(c.Stored, 2);  // the changed a.png and the new d.bmp
  EXPECT_EQ(c.Vanished, 2);  // the old a.png record and b.gif
  EXPECT_EQ(db.RecordCount(), 5u);
  EXPECT_EQ(Live(db), 3);
  // The changed file's new item keeps its name; the old one and b.gif are gone.
  std::vector<std::string> names = view->ItemNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), std::string(">|<")), 2);
  EXPECT_EQ(std::count(names.begin(), names.end(), std::string("a.png")), 1);
  for (size_t i = 0; i < names.size(); ++i) {
    view->Forget();
    EXPECT_EQ(view->IsRecordLive(static_cast<uint32_t>(view->RecordOfItem(int(i)))),
              names[i] != ">|<")
        << names[i];
  }
  auto after = View(db);
  EXPECT_EQ(after->ItemCount, 3);
}

TEST_F(ThumbViewTest, FileListGetsItsImagesAndCaptions) {
  MakeFolder("thumbview_host");
  tThumbnails db(base_);
  tListHost host;
  for (const char* n : {"a.png", "b.gif", "c.jpg", "readme.txt", "junk.xyz"}) host.Add(n);
  int added = 0;
  {
    auto view = View(db, &host);
    view->OnItemAdded = [&] { ++added; };
    Scan(*view);
  }
  EXPECT_EQ(added, 3);
  EXPECT_EQ(host.images.size(), 3u);
  EXPECT_EQ(host.images[0], std::make_pair(91, 91));
  EXPECT_GE(host.FindEntry("a.png")->ThumbIndex, 0);
  EXPECT_EQ(host.FindEntry("junk.xyz")->ThumbIndex, -1);

  // A second window shows the stored ones, one per call, then finds nothing new.
  tListHost second;
  for (const char* n : {"a.png", "b.gif", "c.jpg"}) second.Add(n);
  auto view = View(db, &second);
  for (int i = 0; i < view->ItemCount; ++i) view->ShowStoredThumbnail(i);
  EXPECT_EQ(second.images.size(), 3u);
  EXPECT_EQ(view->Captions().size(), 3u);
  Scan(*view);
  EXPECT_EQ(view->Counters().Unchanged, 3);
  std::vector<uint32_t> records;
  EXPECT_TRUE(view->GetTaggedRecords(records, true));
  EXPECT_EQ(records.size(), 3u);
  second.FindEntry("b.gif")->Tagged = true;
  second.current = "b.gif";
  EXPECT_TRUE(view->GetTaggedRecords(records, true));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(RecordPathText([&] {
              TThumbnailRecord r;
              db.ReadRecord(records[0], r);
              return r;
            }()).substr(Pics().size()),
            "\\b.gif");
  view->RenameFile("b.gif", "bee.gif");
  view->Forget();
  EXPECT_EQ(view->RecordPath(records[0]), Pics() + "\\bee.gif");
}

TEST_F(ThumbViewTest, OmittedAndRemovableFoldersAndVolumes) {
  MakeFolder("thumbview_volumes");
  tThumbnails db(base_);
  // Records of this folder on a fixed disk, on volume 2 and on volume 300.
  auto id = std::make_unique<tGraphicID>(nullptr);
  id->Bitmap = std::make_unique<tMemBmp>();
  id->Bitmap->Allocate(4, 4, false, nullptr, 0, 24);
  id->Width = id->Height = 4;
  for (uint32_t volume : {0u, 2u, 300u})
    StoreThumbnail(db, *id, 'A', volume, nullptr, nullptr, nullptr,
                   {Pics() + "\\v" + std::to_string(volume) + ".bmp", 1, 1});
  db.AddVolumeLabel("ONE");
  db.AddVolumeLabel("TWO");

  tDirectoryView fixed(db, nullptr, nullptr);
  fixed.OpenFolder(Pics() + "\\", "", 0, 3);
  EXPECT_EQ(fixed.Folder, Pics());
  EXPECT_EQ(fixed.ItemCount, 1);  // volume 300 never; volume 2 only on that disk

  tListHost host;
  tDirectoryView removable(db, &host, nullptr);
  removable.OpenFolder(Pics(), "TWO", 0, 2);
  EXPECT_EQ(+removable.Status, 'A');
  EXPECT_EQ(+removable.Volume, 2);
  EXPECT_EQ(removable.ItemCount, 2);
  EXPECT_TRUE(removable.IsTemporaryFolder());
  EXPECT_FALSE(removable.AutoThumbnailsAllowed(Pics()));

  tDirectoryView unknown(db, &host, nullptr);
  unknown.OpenFolder(Pics(), "NEW DISK", 0, 5);
  EXPECT_EQ(+unknown.Status, 'p');
  EXPECT_EQ(+unknown.Volume, 0);  // the fixed-disk record was found
  unknown.BeginUpdate();
  while (unknown.UpdateStep(0)) {
  }
  EXPECT_EQ(unknown.Counters().Stored, 3);
  // Stored as 'p' until catalogued; the fixed-disk record's file is not there.
  EXPECT_EQ(unknown.Counters().Vanished, 1);
  EXPECT_EQ(+db.Header.Purged, 4u);
  EXPECT_FALSE(unknown.CatalogRemovable("   ", true));
  EXPECT_TRUE(unknown.CatalogRemovable(" NEW DISK ", true));
  EXPECT_EQ(+unknown.Volume, 3);
  EXPECT_EQ(db.VolumeNumberOf("NEW DISK"), 3);
  EXPECT_EQ(+db.Header.Purged, 0u);

  // A folder in the omit list: its new records are temporary.
  db.ToggleOmittedFolder(Pics());
  tDirectoryView omitted(db, &host, nullptr);
  omitted.OpenFolder(Pics(), "", 0, 3);
  EXPECT_TRUE(omitted.IsFolderOmitted(Pics() + "\\sub"));
  EXPECT_TRUE(omitted.IsFolderListed(Pics()));
  EXPECT_FALSE(omitted.IsFolderListed(Pics() + "\\sub"));
  EXPECT_FALSE(omitted.AutoThumbnailsAllowed(Pics() + "\\sub"));
  EXPECT_EQ(+omitted.Status, 'p');
}

TEST_F(ThumbViewTest, PurgeAndRenameFolderMatchWholeFolders) {
  MakeFolder("thumbview_purge");
  tThumbnails db(base_);
  auto id = std::make_unique<tGraphicID>(nullptr);
  id->Bitmap = std::make_unique<tMemBmp>();
  id->Bitmap->Allocate(2, 2, false, nullptr, 0, 24);
  const char* paths[] = {"C:\\Pics\\a.jpg", "C:\\Pics\\sub\\b.jpg", "C:\\Pics2\\c.jpg",
                         "c:\\pics\\d.jpg"};
  for (const char* p : paths) StoreThumbnail(db, *id, 'A', 0, nullptr, nullptr, nullptr, {p, 1, 1});
  tThumbnailView view(db);
  view.RenameFolder("C:\\", "Pics", "Photos");
  EXPECT_EQ(view.RecordPath(1), "C:\\Photos\\a.jpg");
  EXPECT_EQ(view.RecordPath(2), "C:\\Photos\\sub\\b.jpg");
  EXPECT_EQ(view.RecordPath(3), "C:\\Pics2\\c.jpg");
  EXPECT_EQ(view.RecordPath(4), "C:\\Photos\\d.jpg");
  view.PurgeFolder("C:\\Photos\\sub");
  view.PurgeFolder("C:\\Pics");
  EXPECT_TRUE(view.IsRecordLive(1));
  EXPECT_FALSE(view.IsRecordLive(2));
  EXPECT_TRUE(view.IsRecordLive(3));
  EXPECT_EQ(+db.Header.Purged, 1u);
  // The purged count follows only real changes between 'A' and the rest.
  view.SetRecordActive(2, false);
  EXPECT_EQ(+db.Header.Purged, 1u);
  view.LoadRecord(3);
  view.Record.Status = 'D';
  view.SaveRecord(3);
  db.Header.Purged = 2;
  view.SetRecordActive(3, false);
  EXPECT_EQ(+db.Header.Purged, 2u);
  view.SetRecordActive(3, true);
  view.SetRecordActive(2, true);
  EXPECT_EQ(+db.Header.Purged, 0u);
}

// ---- tDatabaseView

namespace {

struct tRow {
  char status;
  const char* path;
  char group;
  const char* keywords;
  uint32_t size;
  uint32_t date;
  uint16_t colors;
};

void Fill(tThumbnails& db, const std::vector<tRow>& rows) {
  uint32_t n = 0;
  for (const tRow& row : rows) {
    TThumbnailRecord r{};
    r.Status = row.status;
    SetRecordPathText(r, row.path);
    r.Group = row.group;
    SetRecordKeywords(r, row.keywords);
    r.FileSize = row.size;
    r.DosTime = row.date;
    r.ColorCode = row.colors;
    db.WriteRecord(++n, r);
  }
  db.SetRecordCount(n);
}

std::vector<std::string> Selection(tDatabaseView& view) {
  std::vector<std::string> paths;
  for (uint32_t i = 0; i < view.SelectionCount(); ++i)
    paths.push_back(view.RecordPath(view.SelectedRecord(i)));
  return paths;
}

using Paths = std::vector<std::string>;

}  // namespace

TEST_F(ThumbViewTest, DatabaseViewSelects) {
  MakeFolder("thumbview_select");
  tThumbnails db(base_);
  Fill(db, {{'A', "C:\\p\\cat.jpg", 'x', "cat dog", 1, 1, 256},
            {'A', "C:\\p\\kitten.jpg", 'y', "category", 2, 2, 280},
            {'D', "D:\\q\\none.jpg", ' ', "", 3, 3, 16},
            {'p', "C:\\p\\gone.jpg", 'x', "cat", 4, 4, 2},
            {'A', "D:\\cat\\pic.jpg", 'X', "  ", 5, 5, 2}});
  struct Case {
    const char* status;
    const char* drives;
    const char* groups;
    const char* keywords;
    bool fileNames;
    Paths expect;
  } cases[] = {
      {"", "", "", "", false, {"C:\\p\\cat.jpg", "C:\\p\\kitten.jpg", "D:\\cat\\pic.jpg"}},
      {"AD", "D", "", "", false, {"D:\\q\\none.jpg", "D:\\cat\\pic.jpg"}},
      {"A", "", "x", "", false, {"C:\\p\\cat.jpg"}},
      {"AD", "", "", "[]", false, {"D:\\q\\none.jpg", "D:\\cat\\pic.jpg"}},
      {"A", "", "", "[cat]", false, {"C:\\p\\cat.jpg"}},
      {"A", "", "", "cat", false, {"C:\\p\\cat.jpg", "C:\\p\\kitten.jpg"}},
      {"A", "", "", "pic", true, {"D:\\cat\\pic.jpg"}},
      {"A", "", "", "bird DOG", false, {"C:\\p\\cat.jpg"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.status) + "/" + c.drives + "/" + c.groups + "/" + c.keywords);
    TGallerySettings s{};
    SetStatusFilter(s, c.status);
    SetDrivesFilter(s, c.drives);
    SetGroupsFilter(s, c.groups);
    SetKeywordsFilter(s, c.keywords);
    db.SaveGallerySettings(s);
    db.FileNameKeywords = c.fileNames;
    tDatabaseView view(db);
    view.Select();
    EXPECT_EQ(Selection(view), c.expect);
  }
}

TEST_F(ThumbViewTest, DatabaseViewSortsAndJumps) {
  MakeFolder("thumbview_sort");
  tThumbnails db(base_);
  Fill(db, {{'A', "C:\\b\\Zeta.jpg", 'b', "", 3000000000u, 0xF0000000u, 256},
            {'A', "C:\\a\\beta.jpg", 'a', "", 1000, 0x10000000u, 16},
            {'A', "C:\\a\\Alpha.jpg", 'b', "", 2000000000u, 0x20000000u, 280},
            {'A', "C:\\b\\alpha.jpg", 'a', "", 5, 0x20000000u, 2}});
  auto sorted = [&](int key, int order) {
    TGallerySettings s{};
    s.SortKey = static_cast<uint8_t>(key);
    s.Order = static_cast<uint8_t>(order);
    db.SaveGallerySettings(s);
    auto view = std::make_unique<tDatabaseView>(db);
    view->Select();
    view->Sort();
    return view;
  };
  EXPECT_EQ(Selection(*sorted(0, 0)),
            (Paths{"C:\\a\\Alpha.jpg", "C:\\a\\beta.jpg", "C:\\b\\alpha.jpg", "C:\\b\\Zeta.jpg"}));
  EXPECT_EQ(Selection(*sorted(0, 1)),
            (Paths{"C:\\b\\Zeta.jpg", "C:\\b\\alpha.jpg", "C:\\a\\beta.jpg", "C:\\a\\Alpha.jpg"}));
  // Sizes of 2 GB and more, and late dates, sort after the others.
  EXPECT_EQ(Selection(*sorted(3, 0)),
            (Paths{"C:\\b\\alpha.jpg", "C:\\a\\beta.jpg", "C:\\a\\Alpha.jpg", "C:\\b\\Zeta.jpg"}));
  EXPECT_EQ(Selection(*sorted(2, 0)),
            (Paths{"C:\\a\\beta.jpg", "C:\\a\\Alpha.jpg", "C:\\b\\alpha.jpg", "C:\\b\\Zeta.jpg"}));
  EXPECT_EQ(Selection(*sorted(6, 0)),
            (Paths{"C:\\a\\beta.jpg", "C:\\b\\alpha.jpg", "C:\\a\\Alpha.jpg", "C:\\b\\Zeta.jpg"}));

  // Jump positions come from the sorted order.
  auto byName = sorted(1, 0);
  EXPECT_EQ(Selection(*byName),
            (Paths{"C:\\a\\Alpha.jpg", "C:\\b\\alpha.jpg", "C:\\a\\beta.jpg", "C:\\b\\Zeta.jpg"}));
  EXPECT_EQ(byName->FirstPosition('A'), 1u);
  EXPECT_EQ(byName->FirstPosition('B'), 3u);
  EXPECT_EQ(byName->FirstPosition('Z'), 4u);
  EXPECT_EQ(byName->FirstPosition('Q'), 0u);
  EXPECT_EQ(byName->IndexText('B'), "File name B");
  auto byColors = sorted(5, 0);
  EXPECT_EQ(byColors->FirstPosition('1'), 1u);
  EXPECT_EQ(byColors->FirstPosition('4'), 2u);
  EXPECT_EQ(byColors->FirstPosition('8'), 3u);
  EXPECT_EQ(byColors->FirstPosition('E'), 4u);
  EXPECT_EQ(byColors->IndexText('Z'), "unknown colors ");
  auto bySize = sorted(3, 1);
  EXPECT_EQ(bySize->FirstPosition('!'), 1u);
  EXPECT_EQ(bySize->IndexText('!'), "item 1");
}

TEST(ThumbViewColors, ColorLetters) {
  struct Case {
    const char* key;
    char letter;
  } cases[] = {{"    2xx", '1'}, {"    4", '2'},  {"    5", '3'},   {"   16", '4'}, {"   17", '5'},
               {"   64", '6'},   {"  128", '7'},  {"  256", '8'},   {"  268", 'A'}, {"  271", 'B'},
               {"  272", 'C'},   {"  274", 'D'},  {"  280", 'E'},   {"  257", 'Z'}, {"    1", 'Z'},
               {"abc", 'Z'},     {"", 'Z'},       {"99999", 'Z'}};
  for (const Case& c : cases) EXPECT_EQ(tDatabaseView::ColorLetter(c.key), c.letter) << c.key;
  EXPECT_EQ(tDatabaseView::ColorOfLetter('E'), 280);
  EXPECT_EQ(tDatabaseView::ColorOfLetter('Z'), 0);
}
