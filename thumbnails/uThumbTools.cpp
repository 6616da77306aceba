#include "thumbnails/uThumbTools.h"

#include <algorithm>

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"
#include "thumbnails/uRPG.h"

namespace {

constexpr int kDriveFixed = 3, kDriveRam = 6;

const TThumbnailRecord& AsRecord(const uint8_t* bytes) {
  return *reinterpret_cast<const TThumbnailRecord*>(bytes);
}

std::string FolderOfRecord(const TThumbnailRecord& record) {
  return RemoveBackslash(ExtractFilePath(RecordPathText(record)));
}

// "C:\" of a path on a lettered drive, else "".
std::string DriveRoot(const std::string& path) {
  if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0])))
    return "";
  return path.substr(0, 2) + "\\";
}

}  // namespace

std::string ThumbFolderKey(const TThumbnailRecord& record, const std::string& volumeLabel) {
  const std::string folder = FolderOfRecord(record);
  if (record.Volume == 0) return folder;
  return Format("[%s]  ", {volumeLabel}) + folder;
}

std::vector<tThumbFolderRow> BuildThumbFolderRows(tDatabaseView& view,
                                                  const tThumbFolderProbe& probe) {
  TGallerySettings& s = view.Settings;
  SetStatusFilter(s, "AD");
  SetGroupsFilter(s, "");
  SetDrivesFilter(s, "");
  SetKeywordsFilter(s, "");
  s.SortKey = 0;
  s.Order = 0;
  view.Forget();
  view.Select();
  view.Sort();

  std::vector<tThumbFolderRow> rows;
  const auto key = [&](const TThumbnailRecord& r) {
    return ThumbFolderKey(r, r.Volume > 0 ? view.Database.VolumeLabelOf(static_cast<int>(r.Volume)) : "");
  };
  tRPG report(kThumbRecordSize);
  tLevel folder;
  folder.Test = [&](int, const uint8_t* current, const uint8_t* previous) {
    return Platform().CompareTextLocale(key(AsRecord(current)), key(AsRecord(previous))) != 0;
  };
  uint32_t position = 0;
  folder.Begin = [&](int, const uint8_t* record) {
    tThumbFolderRow row;
    row.Folder = key(AsRecord(record));
    row.First = position;
    rows.push_back(row);
  };
  folder.End = [&](int, const uint8_t* record) {
    tThumbFolderRow& row = rows.back();
    const TThumbnailRecord& r = AsRecord(record);
    const std::string path = FolderOfRecord(r);
    const std::string root = DriveRoot(path);
    if (r.Volume == 0 && !root.empty() && probe.DriveType && probe.FolderExists) {
      const int type = probe.DriveType(root);
      row.Delete = (type == kDriveFixed || type == kDriveRam) && !probe.FolderExists(path);
    }
  };
  report.SetLevel(1, folder);
  tLevel detail;
  detail.Begin = [&](int, const uint8_t*) {
    ++rows.back().Count;
    ++position;
  };
  report.SetLevel(0, detail);
  TThumbnailRecord record{};
  for (uint32_t i = 0; i < view.SelectionCount(); ++i) {
    view.Database.ReadRecord(view.SelectedRecord(i), record);
    report.Feed(&record);
  }
  report.Finish();
  return rows;
}

std::string ThumbFolderMarksText(const std::vector<tThumbFolderRow>& rows) {
  const auto marked = std::count_if(rows.begin(), rows.end(), [](const auto& r) { return r.Delete; });
  return Format("%d \"YES\" folders", {static_cast<int>(marked)});
}

std::string ThumbDeleteCountText(const std::vector<tThumbFolderRow>& rows) {
  int count = 0;
  for (const tThumbFolderRow& r : rows)
    if (r.Delete) count += static_cast<int>(r.Count);
  return Format("%d thumbnails to delete", {count});
}

int PurgeMarkedFolders(tDatabaseView& view, const std::vector<tThumbFolderRow>& rows) {
  int purged = 0;
  view.Forget();
  for (const tThumbFolderRow& row : rows) {
    if (!row.Delete) continue;
    for (uint32_t i = row.First; i < row.First + row.Count && i < view.SelectionCount(); ++i) {
      const uint32_t n = view.SelectedRecord(i);
      if (!view.IsRecordLive(n)) continue;
      view.SetRecordActive(n, false);
      ++purged;
    }
  }
  view.Forget();
  return purged;
}

tThumbFolderWalk::tThumbFolderWalk(const std::string& root) { pending_.push_back(root); }

bool tThumbFolderWalk::Next(std::string& folder) {
  if (pending_.empty()) return false;
  folder = pending_.back();
  pending_.pop_back();
  std::vector<tFoundItem> items;
  Platform().FindItems(AddBackslash(folder) + "*.*", items);
  std::vector<std::string> children;
  for (const tFoundItem& item : items)
    if ((item.Attributes & 16) != 0 && item.Name != "." && item.Name != "..")
      children.push_back(item.Name);
  std::sort(children.begin(), children.end(), [](const std::string& a, const std::string& b) {
    return Platform().CompareTextLocale(a, b) < 0;
  });
  // The first child is visited next: pushed last.
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    pending_.push_back(AddBackslash(folder) + *it);
  return true;
}
