#include "shell/uSTreeScan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {

// A drive held in memory: folder path (with trailing backslash) -> entries.
class tMemoryDrive : public tFolderEnumerator {
 public:
  std::map<std::string, std::vector<tFoundItem>> Folders;
  std::map<std::string, uint64_t> Ids;
  uint32_t SectorsPerCluster = 8, BytesPerSector = 512, TotalClusters = 1000;
  bool GeometryKnown = true;
  std::vector<std::string> Listed;

  void List(const std::string& folder, std::vector<tFoundItem>& items) override {
    Listed.push_back(folder);
    items.push_back({".", 0, 16, 0});
    items.push_back({"..", 0, 16, 0});
    auto it = Folders.find(folder);
    if (it != Folders.end()) items.insert(items.end(), it->second.begin(), it->second.end());
  }
  bool FolderIdentity(const std::string& folder, uint64_t& id) override {
    auto it = Ids.find(folder);
    if (it == Ids.end()) return false;
    id = it->second;
    return true;
  }
  bool Geometry(const std::string&, uint32_t& spc, uint32_t& bps, uint32_t& freeC,
                uint32_t& totalC) override {
    if (!GeometryKnown) return false;
    spc = SectorsPerCluster;
    bps = BytesPerSector;
    freeC = 10;
    totalC = TotalClusters;
    return true;
  }
};

tFoundItem File(const char* name, int64_t size, bool archive = true) {
  return {name, size, archive ? 32u : 0u, 0};
}
tFoundItem Dir(const char* name, uint32_t extra = 0) { return {name, 0, 16u | extra, 0}; }

class STreeScanTest : public testsupport::tPlainPlatformTest {};

}  // namespace

TEST_F(STreeScanTest, CountsSumsAndClusters) {
  tMemoryDrive d;  // 4096-byte clusters
  d.Folders["C:\\"] = {File("a.txt", 1), File("win386.swp", 8192), Dir("zeta"), Dir("Alpha"),
                       Dir(".git")};
  d.Folders["C:\\Alpha\\"] = {File("b.bin", 4096), File("c.bin", 4097, false), Dir("deep")};
  d.Folders["C:\\Alpha\\deep\\"] = {File("d", 0), File("e", 10000)};
  d.Folders["C:\\zeta\\"] = {};
  d.Folders["C:\\.git\\"] = {File("never", 5)};
  tSTreeScan scan(&d);
  std::vector<std::string> retrieved;
  scan.OnRetrieve = [&](const std::string& p) { retrieved.push_back(p); };
  scan.Scan("C:\\");

  EXPECT_EQ(scan.ClusterSize(), 4096);
  EXPECT_EQ(scan.ClusterShift(), 12);
  EXPECT_EQ(scan.DriveSize(), 4096 * 1000);
  // Scan order: parents first, children sorted ignoring case, depth first; ".git" is not read.
  ASSERT_EQ(scan.Records().size(), 4u);
  EXPECT_EQ(scan.FolderPath(0), "C:\\");
  EXPECT_EQ(scan.FolderPath(1), "C:\\Alpha");
  EXPECT_EQ(scan.FolderPath(2), "C:\\Alpha\\deep");
  EXPECT_EQ(scan.FolderPath(3), "C:\\zeta");
  EXPECT_EQ(retrieved, (std::vector<std::string>{"C:\\", "C:\\Alpha\\", "C:\\Alpha\\deep\\",
                                                 "C:\\zeta\\"}));

  struct Case {
    int record, statistic;
    int64_t plain, modified;
  };
  const Case cases[] = {
      // Root: a.txt (1 byte, one cluster) and the swap file (counted, never modified).
      {0, 0, 2, 2},          {0, 1, 2, 1},          {0, 2, 8193, 1},
      {0, 3, 3 * 4096, 4096},
      // Below the root: Alpha (2 files, 3 clusters) and deep (2 files, 0 + 3 clusters).
      {0, 4, 1, 1},          {0, 5, 4, 3},          {0, 6, 4096 + 4097 + 10000, 4096 + 10000},
      {0, 7, 6 * 4096, 4 * 4096},
      {0, 8, 3, 3},          {0, 9, 6, 4},          {0, 10, 8193 + 18193, 1 + 14096},
      {0, 11, 9 * 4096, 5 * 4096},
      {0, 12, 4096000, 4096000},
      {1, 0, 1, 1},          {1, 3, 3 * 4096, 4096}, {1, 7, 3 * 4096, 3 * 4096},
      {1, 11, 6 * 4096, 4 * 4096},
      {3, 11, 0, 0},
  };
  for (const Case& c : cases) {
    scan.ModifiedOnly = false;
    EXPECT_EQ(scan.Stat(c.record, c.statistic), c.plain) << c.record << "/" << c.statistic;
    scan.ModifiedOnly = true;
    EXPECT_EQ(scan.Stat(c.record, c.statistic), c.modified) << c.record << "/" << c.statistic;
  }
  scan.ModifiedOnly = false;
  EXPECT_EQ(scan.GetStatText(0, 10), "26,386");
  EXPECT_EQ(scan.GetStatText(0, 13), "\\");
  EXPECT_EQ(scan.GetStatText(2, 13), "deep");
}

TEST_F(STreeScanTest, LinksAndLoopsAreNotFollowed) {
  tMemoryDrive d;
  d.Folders["Z:\\"] = {Dir("home"), Dir("link", kAttrReparsePoint)};
  d.Folders["Z:\\home\\"] = {File("f", 100), Dir("again")};
  // "again" leads back to the root, which the enumerator knows by its identity.
  d.Folders["Z:\\home\\again\\"] = {Dir("home")};
  d.Ids = {{"Z:\\", 1}, {"Z:\\home\\", 2}, {"Z:\\home\\again\\", 1}};
  d.Folders["Z:\\link\\"] = {File("never", 1)};
  tSTreeScan scan(&d);
  scan.Scan("Z:\\");
  EXPECT_EQ(scan.Records().size(), 3u);
  EXPECT_EQ(scan.Stat(0, 9), 1);
  for (const std::string& listed : d.Listed) EXPECT_EQ(listed.find("link"), std::string::npos);
}

TEST_F(STreeScanTest, UnknownGeometryCountsBytes) {
  tMemoryDrive d;
  d.GeometryKnown = false;
  d.Folders["D:\\"] = {File("a", 1), File("b", 5000)};
  tSTreeScan scan(&d);
  scan.Scan("D:\\");
  EXPECT_EQ(scan.Stat(0, 3), 5001);
  EXPECT_EQ(scan.Stat(0, 12), 0);
}

TEST_F(STreeScanTest, RealFolderThroughThePlatform) {
  const fs::path root = testsupport::ScratchDir("stree");
  fs::create_directories(root / "b" / "inner");
  fs::create_directories(root / "a");
  fs::create_directories(root / ".hidden");
  testsupport::WriteFile(root / "top.bin", std::vector<uint8_t>(10));
  testsupport::WriteFile(root / "a" / "x.bin", std::vector<uint8_t>(5000));
  testsupport::WriteFile(root / "b" / "inner" / "y.bin", std::vector<uint8_t>(1));
  testsupport::WriteFile(root / ".hidden" / "z.bin", std::vector<uint8_t>(99));
  std::error_code ec;
  // A loop back to the top. Wine cannot always make folder links; the rest still counts then.
  fs::create_directory_symlink(root, root / "b" / "loop", ec);
  tSTreeScan scan;
  scan.Scan(root.string() + "/");
  ASSERT_EQ(scan.Records().size(), 4u);  // root, a, b, b/inner
  EXPECT_EQ(scan.Records()[1].Name, "a");
  EXPECT_EQ(scan.Records()[3].Name, "inner");
  EXPECT_EQ(scan.Stat(0, 9), 3);
  EXPECT_EQ(scan.Stat(0, 10), 5011);
  // The plain platform gives 4096-byte clusters: 1 + 2 + 1 of them.
  EXPECT_EQ(scan.Stat(0, 11), 4 * 4096);
}

TEST_F(STreeScanTest, LargestFoldersListingAndChart) {
  tMemoryDrive d;  // 4096-byte clusters
  d.Folders["C:\\"] = {File("r", 4096), Dir("big"), Dir("mid"), Dir("none")};
  d.Folders["C:\\big\\"] = {File("a", 5 * 4096), Dir("sub")};
  d.Folders["C:\\big\\sub\\"] = {File("s", 2 * 4096, false)};
  d.Folders["C:\\mid\\"] = {File("m", 2 * 4096)};
  d.Folders["C:\\none\\"] = {};
  tSTreeScan scan(&d);
  scan.Scan("C:\\");
  // Records: 0 root, 1 big, 2 big\sub, 3 mid, 4 none.
  EXPECT_EQ(scan.LargestFolders(3), (std::vector<int>{1, 3, 2}));
  EXPECT_EQ(scan.LargestFolders(99).size(), 5u);

  const tFolderChart chart = BuildFolderChart(scan, scan.LargestFolders(20), 2, 'C');
  EXPECT_EQ(chart.Lines, (std::vector<std::string>{" 1 50.0% 20,480 C:\\big",
                                                   " 2 20.0%  8,192 C:\\mid"}));
  ASSERT_EQ(chart.Slices.size(), 3u);
  EXPECT_EQ(chart.Slices[2].Label, "other");
  EXPECT_EQ(chart.Slices[2].Value, 3);
  EXPECT_EQ(chart.Title, (std::vector<std::string>{"2 largest folders on drive C"}));
  EXPECT_EQ(chart.Foot, "2 folders contain 70.0% of space used");

  // Modified only with no modified file below: a whole of 0 shows 0.0%.
  tMemoryDrive empty;
  empty.Folders["E:\\"] = {File("plain", 10, false), Dir("f")};
  tSTreeScan none(&empty);
  none.ModifiedOnly = true;
  none.Scan("E:\\");
  const tFolderChart zero = BuildFolderChart(none, none.LargestFolders(20), 8, 'E');
  EXPECT_EQ(zero.Lines[0], " 1  0.0% 0 E:\\f");
  EXPECT_EQ(zero.Title.back(), "(Modified files only)");
  EXPECT_EQ(zero.Foot, "2 folders contain  0.0% of space used");
  EXPECT_TRUE(PieWedges(zero.Slices, {0, 0, 100, 100}).empty());

  // Listing: expanded nodes show their own use, collapsed ones the total with "+".
  const std::vector<tListingNode> nodes = {
      {0, 0, true, true, true}, {1, 1, false, true, true}, {2, 2, false, false, false},
      {3, 1, false, false, true}, {4, 1, false, false, true}};
  EXPECT_EQ(TreeListing(scan, nodes, true),
            (std::vector<std::string>{" 4,096 C:\\", "28,672  +big", " 8,192   mid",
                                      "     0   none", "======", "40,960"}));
  EXPECT_EQ(TreeListing(scan, nodes, false).size(), 7u);
}

TEST(FolderChart, CountValueAndWedges) {
  EXPECT_EQ(ChartCountValue(21), 8);
  EXPECT_EQ(ChartCountValue(1), 8);
  EXPECT_EQ(ChartCountValue(2), 2);
  EXPECT_EQ(ChartCountValue(20), 20);
  EXPECT_EQ(PercentText(1, 3), " 33.3%");
  const std::vector<tPieWedge> w =
      PieWedges({{"1", 1}, {"2", 1}, {"other", 2}}, {0, 0, 200, 200});
  ASSERT_EQ(w.size(), 3u);
  EXPECT_DOUBLE_EQ(w[0].Start, 90);
  EXPECT_DOUBLE_EQ(w[0].Sweep, -90);
  EXPECT_DOUBLE_EQ(w[1].Start, 0);
  EXPECT_DOUBLE_EQ(w[2].Sweep, -180);
  // The first wedge's label sits up and to the right, outside the rim.
  EXPECT_GT(w[0].LabelAt.X, 100 + 70);
  EXPECT_LT(w[0].LabelAt.Y, 100 - 70);
}
