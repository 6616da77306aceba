// The folder-size scan behind the folder-size tree: one record per folder of a drive, in scan
// order (parents before children), with the counts and sizes of the folder's own files and of
// everything below it, the disk space they take in whole clusters, and the texts the window,
// its printed listing and its pie chart show.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/uPlatform.h"

// Counters kept for a folder's own files and again summed over its sub-folders.
enum : int {
  kcSubFolders = 0,
  kcModFiles,
  kcModBytes,
  kcModClusters,
  kcFiles,
  kcBytes,
  kcClusters,
  kcCount
};

struct TOrvex_TreeData {
  intptr_t Node = 0;  // the tree node showing the record (the window sets it)
  std::string Name;   // the drive root "X:\" for the first record
  int Parent = -1;
  int64_t Own[kcCount] = {};
  int64_t Sub[kcCount] = {};
};

// How the scan lists a folder and knows a folder it has already been in.
class tFolderEnumerator {
 public:
  virtual ~tFolderEnumerator() = default;
  // Appends the entries of folder (with a trailing backslash), hidden and system ones included.
  virtual void List(const std::string& folder, std::vector<tFoundItem>& items) = 0;
  // An identity of the folder that is the same for every path reaching it; false when the
  // enumerator cannot tell.
  virtual bool FolderIdentity(const std::string& folder, uint64_t& id) { return false; }
  // Cluster geometry of the drive root; false when it cannot be read.
  virtual bool Geometry(const std::string& root, uint32_t& sectorsPerCluster,
                        uint32_t& bytesPerSector, uint32_t& freeClusters,
                        uint32_t& totalClusters) = 0;
};

// Lists through the platform's directory search ("*.*").
class tPlatformFolderEnumerator : public tFolderEnumerator {
 public:
  void List(const std::string& folder, std::vector<tFoundItem>& items) override;
  bool Geometry(const std::string& root, uint32_t& sectorsPerCluster, uint32_t& bytesPerSector,
                uint32_t& freeClusters, uint32_t& totalClusters) override;
};

constexpr uint32_t kAttrReparsePoint = 0x400;

// The statistic texts of a record (see Stat).
class tSTreeScan {
 public:
  explicit tSTreeScan(tFolderEnumerator* enumerator = nullptr);  // null: the platform's

  // Scans the drive's root "X:\" (or any folder given as root) and sums up. The records are
  // replaced.
  void Scan(const std::string& root);
  void Clear();

  std::function<void(const std::string& path)> OnRetrieve;

  const std::vector<TOrvex_TreeData>& Records() const { return records_; }
  std::vector<TOrvex_TreeData>& Records() { return records_; }
  int64_t ClusterSize() const { return clusterSize_; }
  int64_t DriveSize() const { return driveSize_; }
  int ClusterShift() const { return clusterShift_; }
  bool ModifiedOnly = false;

  // Statistic 0..12 of a record (see the window's labels); 13 has no number.
  int64_t Stat(int index, int statistic) const;
  // Format("%.0n") of the statistic, or the name for 13 ("\" for a drive "X:").
  std::string GetStatText(int index, int statistic) const;
  std::string FolderPath(int index) const;

  // Record indices of the n largest folders by their own disk use, largest first.
  std::vector<int> LargestFolders(int n) const;

 private:
  void ScanFolder(int index, std::vector<uint64_t>& seen, int depth);

  tFolderEnumerator* enumerator_;
  std::unique_ptr<tFolderEnumerator> own_;
  std::vector<TOrvex_TreeData> records_;
  int64_t clusterSize_ = 1;
  int64_t driveSize_ = 0;
  int clusterShift_ = 0;
};

// One node of the tree as shown, in tree order, for the printed listing.
struct tListingNode {
  int Record = 0;
  int Level = 0;
  bool Expanded = false;
  bool HasChildren = false;
  bool Visible = true;
};
std::vector<std::string> TreeListing(const tSTreeScan& scan, const std::vector<tListingNode>& nodes,
                                     bool visibleOnly);

// The pie chart of the largest folders and its list lines.
struct tChartSlice {
  std::string Label;
  double Value = 0;
};
struct tFolderChart {
  std::vector<std::string> Lines;  // the list beside the chart
  std::vector<tChartSlice> Slices;  // ranks 1..n, then "other"
  std::vector<std::string> Title;
  std::string Foot;
};
// largest: the kept indices (LargestFolders(20)); n the wanted count.
tFolderChart BuildFolderChart(const tSTreeScan& scan, const std::vector<int>& largest, int n,
                              char driveLetter);
// Percent of part in whole as "%5.1f%%"; a whole of 0 gives 0.0%.
std::string PercentText(double part, double whole);
// The chart's count control takes 2..20; anything else becomes 8.
int ChartCountValue(int value);

// Geometry of a pie in a square: angles in degrees, counter-clockwise from three o'clock, as
// Win32 AngleArc and Pie take them.
struct tPieWedge {
  double Start = 0, Sweep = 0;
  TPoint LabelAt;  // just outside the rim, at the middle of the wedge
};
std::vector<tPieWedge> PieWedges(const std::vector<tChartSlice>& slices, const TRect& square);
