#include "shell/uSTreeScan.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"

namespace {

constexpr uint32_t kAttrDirectory = 16, kAttrArchive = 32;
// Deeper than any path a directory search can reach; a safety net against loops the
// enumerator cannot see.
constexpr int kMaxDepth = 200;

bool IsSwapFile(const std::string& name) {
  static const char kSwap[] = "WIN386.SWP";
  if (name.size() != sizeof(kSwap) - 1) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != kSwap[i]) return false;
  }
  return true;
}

std::string NumberText(int64_t value) { return Format("%.0n", {static_cast<double>(value)}); }

}  // namespace

void tPlatformFolderEnumerator::List(const std::string& folder, std::vector<tFoundItem>& items) {
  Platform().FindItems(folder + "*.*", items);
}

bool tPlatformFolderEnumerator::Geometry(const std::string& root, uint32_t& sectorsPerCluster,
                                         uint32_t& bytesPerSector, uint32_t& freeClusters,
                                         uint32_t& totalClusters) {
  return GetDiskGeometry(root, sectorsPerCluster, bytesPerSector, freeClusters, totalClusters);
}

tSTreeScan::tSTreeScan(tFolderEnumerator* enumerator) : enumerator_(enumerator) {
  if (!enumerator_) {
    own_ = std::make_unique<tPlatformFolderEnumerator>();
    enumerator_ = own_.get();
  }
}

void tSTreeScan::Clear() {
  records_.clear();
  driveSize_ = 0;
}

void tSTreeScan::Scan(const std::string& root) {
  Clear();
  uint32_t sectors = 0, bytes = 0, freeClusters = 0, totalClusters = 0;
  clusterSize_ = 1;
  if (enumerator_->Geometry(root, sectors, bytes, freeClusters, totalClusters) && sectors > 0 &&
      bytes > 0)
    clusterSize_ = static_cast<int64_t>(sectors) * bytes;
  else
    totalClusters = 0;  // unknown geometry: disk use is counted in bytes
  driveSize_ = clusterSize_ * static_cast<int64_t>(totalClusters);
  clusterShift_ = 0;
  while ((int64_t(1) << clusterShift_) < clusterSize_) ++clusterShift_;

  TOrvex_TreeData rootRecord;
  rootRecord.Name = root;
  records_.push_back(rootRecord);
  std::vector<uint64_t> seen;
  ScanFolder(0, seen, 0);

  for (size_t i = records_.size(); i-- > 1;) {
    TOrvex_TreeData& r = records_[i];
    TOrvex_TreeData& parent = records_[static_cast<size_t>(r.Parent)];
    for (int k = 0; k < kcCount; ++k) parent.Sub[k] += r.Own[k] + r.Sub[k];
  }
}

void tSTreeScan::ScanFolder(int index, std::vector<uint64_t>& seen, int depth) {
  const std::string path = AddBackslash(FolderPath(index));
  uint64_t id = 0;
  if (enumerator_->FolderIdentity(path, id)) {
    // A folder reached again through a link would be counted twice, or forever.
    if (std::find(seen.begin(), seen.end(), id) != seen.end()) return;
    seen.push_back(id);
  }
  if (OnRetrieve) OnRetrieve(path);
  std::vector<tFoundItem> items;
  enumerator_->List(path, items);
  std::vector<std::string> folders;
  int64_t* own = records_[static_cast<size_t>(index)].Own;
  for (const tFoundItem& item : items) {
    if (item.Attributes & kAttrDirectory) {
      if (item.Name.empty() || item.Name[0] == '.') continue;
      // Symbolic links and junctions may lead back up the tree; their target is counted where
      // it really lies.
      if (item.Attributes & kAttrReparsePoint) continue;
      folders.push_back(item.Name);
      continue;
    }
    const int64_t size = std::max<int64_t>(item.Size, 0);
    const int64_t clusters = (size + clusterSize_ - 1) >> clusterShift_;
    ++own[kcFiles];
    own[kcBytes] += size;
    own[kcClusters] += clusters;
    if ((item.Attributes & kAttrArchive) && !IsSwapFile(item.Name)) {
      ++own[kcModFiles];
      own[kcModBytes] += size;
      own[kcModClusters] += clusters;
    }
  }
  std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
    return Platform().CompareTextLocale(a, b) < 0;
  });
  own[kcSubFolders] = static_cast<int64_t>(folders.size());
  if (depth >= kMaxDepth) return;
  for (const std::string& name : folders) {
    TOrvex_TreeData child;
    child.Name = name;
    child.Parent = index;
    records_.push_back(child);
    ScanFolder(static_cast<int>(records_.size()) - 1, seen, depth + 1);
  }
}

int64_t tSTreeScan::Stat(int index, int statistic) const {
  if (index < 0 || index >= static_cast<int>(records_.size())) return 0;
  const TOrvex_TreeData& r = records_[static_cast<size_t>(index)];
  if (statistic == 12) return driveSize_;
  if (statistic < 0 || statistic > 11) return 0;
  const int group = statistic / 4, kind = statistic % 4;
  // Kinds: sub-folders, files, bytes, clusters; the modified counters sit one group before.
  static const int kPlain[] = {kcSubFolders, kcFiles, kcBytes, kcClusters};
  static const int kModified[] = {kcSubFolders, kcModFiles, kcModBytes, kcModClusters};
  const int counter = ModifiedOnly ? kModified[kind] : kPlain[kind];
  int64_t value = 0;
  if (group == 0 || group == 2) value += r.Own[counter];
  if (group == 1 || group == 2) value += r.Sub[counter];
  return kind == 3 ? value * clusterSize_ : value;
}

std::string tSTreeScan::GetStatText(int index, int statistic) const {
  if (statistic == 13) {
    if (index < 0 || index >= static_cast<int>(records_.size())) return "";
    const std::string& name = records_[static_cast<size_t>(index)].Name;
    if (name.size() >= 2 && name.size() <= 3 && name[1] == ':') return "\\";
    return name;
  }
  return NumberText(Stat(index, statistic));
}

std::string tSTreeScan::FolderPath(int index) const {
  if (index < 0 || index >= static_cast<int>(records_.size())) return "";
  const TOrvex_TreeData& r = records_[static_cast<size_t>(index)];
  if (r.Parent < 0) return r.Name;
  return AddBackslash(FolderPath(r.Parent)) + r.Name;
}

std::vector<int> tSTreeScan::LargestFolders(int n) const {
  struct tKey {
    int64_t Value;
    int Index;
  };
  std::vector<tKey> keys;
  for (size_t i = 0; i < records_.size(); ++i) {
    const int64_t clusters = records_[i].Own[ModifiedOnly ? kcModClusters : kcClusters];
    keys.push_back({clusters * clusterSize_, static_cast<int>(i)});
  }
  // Largest first; among equal sizes the later record first.
  std::sort(keys.begin(), keys.end(), [](const tKey& a, const tKey& b) {
    return a.Value != b.Value ? a.Value > b.Value : a.Index > b.Index;
  });
  n = std::clamp(n, 0, static_cast<int>(keys.size()));
  std::vector<int> result;
  for (int i = 0; i < n; ++i) result.push_back(keys[static_cast<size_t>(i)].Index);
  return result;
}

std::vector<std::string> TreeListing(const tSTreeScan& scan, const std::vector<tListingNode>& nodes,
                                     bool visibleOnly) {
  std::vector<std::string> lines;
  if (scan.Records().empty()) return lines;
  const std::string total = scan.GetStatText(0, 11);
  const int w = static_cast<int>(total.size());
  for (const tListingNode& node : nodes) {
    if (visibleOnly && !node.Visible) continue;
    const std::string value = scan.GetStatText(node.Record, node.Expanded ? 3 : 11);
    const std::string mark = !node.Expanded && node.HasChildren ? "+" : " ";
    lines.push_back(Format("%*s%s%s%s", {w, value, std::string(2 * node.Level, ' '), mark,
                                         scan.Records()[static_cast<size_t>(node.Record)].Name}));
  }
  lines.push_back(std::string(static_cast<size_t>(w), '='));
  lines.push_back(total);
  return lines;
}

std::string PercentText(double part, double whole) {
  // An empty drive, or modified files only with none modified: nothing to divide by.
  const double percent = whole > 0 ? part * 100 / whole : 0.0;
  return Format("%5.1f%%", {percent});
}

int ChartCountValue(int value) { return value >= 2 && value <= 20 ? value : 8; }

tFolderChart BuildFolderChart(const tSTreeScan& scan, const std::vector<int>& largest, int n,
                              char driveLetter) {
  tFolderChart chart;
  n = std::clamp(n, 0, static_cast<int>(largest.size()));
  if (scan.Records().empty()) return chart;
  const int counter = scan.ModifiedOnly ? kcModClusters : kcClusters;
  const TOrvex_TreeData& root = scan.Records()[0];
  const double whole = static_cast<double>(root.Own[counter] + root.Sub[counter]);
  const int width =
      largest.empty() ? 0 : static_cast<int>(scan.GetStatText(largest[0], 3).size());
  double sum = 0;
  for (int r = 1; r <= n; ++r) {
    const int f = largest[static_cast<size_t>(r - 1)];
    const double part = static_cast<double>(scan.Records()[static_cast<size_t>(f)].Own[counter]);
    chart.Lines.push_back(Format("%2d%s %*s %s", {r, PercentText(part, whole), width,
                                                  scan.GetStatText(f, 3), scan.FolderPath(f)}));
    chart.Slices.push_back({std::to_string(r), part});
    sum += part;
  }
  chart.Slices.push_back({"other", std::max(0.0, whole - sum)});
  chart.Title.push_back(Format("%d largest folders on drive %s", {n, driveLetter}));
  if (scan.ModifiedOnly) chart.Title.push_back("(Modified files only)");
  chart.Foot = Format("%d folders contain%s of space used", {n, PercentText(sum, whole)});
  return chart;
}

std::vector<tPieWedge> PieWedges(const std::vector<tChartSlice>& slices, const TRect& square) {
  std::vector<tPieWedge> wedges;
  double total = 0;
  for (const tChartSlice& s : slices) total += std::max(0.0, s.Value);
  if (total <= 0) return wedges;
  const double cx = (square.Left + square.Right) / 2.0, cy = (square.Top + square.Bottom) / 2.0;
  const double radius = std::min(square.Right - square.Left, square.Bottom - square.Top) / 2.0;
  double start = 90;  // the first slice starts at twelve o'clock and runs clockwise
  for (const tChartSlice& s : slices) {
    tPieWedge w;
    w.Sweep = -360.0 * std::max(0.0, s.Value) / total;
    w.Start = start;
    const double mid = (start + w.Sweep / 2) * std::numbers::pi / 180;
    w.LabelAt = {static_cast<int32_t>(std::lround(cx + std::cos(mid) * radius * 1.12)),
                 static_cast<int32_t>(std::lround(cy - std::sin(mid) * radius * 1.12))};
    start += w.Sweep;
    wedges.push_back(w);
  }
  return wedges;
}
