#include "foundation/cFileCtlRules.h"

#include "foundation/uFileList.h"
#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"

std::vector<int> HeaderSectionWidths(int checkWidth, int glyphWidth, const TSpacesWidth& spaces) {
  return {checkWidth + 4, glyphWidth + 2, spaces(13), spaces(12), spaces(11), spaces(10)};
}

int FitNameColumn(int available, const TSpacesWidth& spaces) {
  int n = 1;
  while (n < 255 && spaces(n) <= available) ++n;
  return n;
}

int RowWidth(const tRowLayout& l, const TSpacesWidth& spaces) {
  int width = l.CheckWidth + 4 + l.GlyphWidth + 2;
  if (l.Header) {
    for (int d = fdName; d <= fdTime; ++d)
      if (l.Details & (1u << d)) width += l.Sections[d];
    return width;
  }
  int run = 0;
  if (l.Details & FileDetailBit(fdName)) run += l.LongestName + 1;
  if (l.Details & FileDetailBit(fdSize)) run += 12;
  if (l.Details & FileDetailBit(fdDate)) run += l.DateLength + 1;
  if (l.Details & FileDetailBit(fdTime)) run += 10;
  return width + spaces(run);
}

int ColumnsFor(int controlWidth, int rowWidth) {
  if (rowWidth <= 0) return 0;
  int columns = controlWidth / rowWidth;
  return columns < 2 ? 0 : columns;
}

bool TagFor(const TSrchRec& entry, int mode) {
  if (entry.Kind() != '3') return false;
  switch (mode) {
    case kUntag:
      return false;
    case kToggleTag:
      return !entry.Tagged;
    default:
      return true;
  }
}

std::optional<std::pair<int, int>> TagRangeFor(const std::vector<TSrchRec*>& rows, int i) {
  const int n = static_cast<int>(rows.size());
  if (i < 0 || i >= n) return std::nullopt;
  for (int t = i - 1; t >= 0; --t)
    if (rows[static_cast<size_t>(t)]->Tagged) return std::make_pair(t + 1, i);
  for (int t = i + 1; t < n; ++t)
    if (rows[static_cast<size_t>(t)]->Tagged) return std::make_pair(i, t - 1);
  return std::nullopt;
}

namespace {
std::vector<std::string> NameList(const std::string& folder, const std::vector<TSrchRec*>& rows,
                                  const std::function<bool(const TSrchRec&)>& pick) {
  std::vector<std::string> list{AddBackslash(folder)};
  for (const TSrchRec* e : rows)
    if (pick(*e)) list.push_back(e->Name);
  if (list.size() < 2) list.clear();
  return list;
}
}  // namespace

std::vector<std::string> TaggedNameList(const std::string& folder,
                                        const std::vector<TSrchRec*>& rows) {
  return NameList(folder, rows, [](const TSrchRec& e) { return e.Tagged; });
}

std::vector<std::string> ThumbnailedNameList(const std::string& folder,
                                             const std::vector<TSrchRec*>& rows) {
  bool anyTagged = false;
  for (const TSrchRec* e : rows) anyTagged = anyTagged || e->Tagged;
  return NameList(folder, rows, [anyTagged](const TSrchRec& e) {
    return e.ThumbIndex >= 0 && (!anyTagged || e.Tagged);
  });
}

int IndexOfName(const std::vector<TSrchRec*>& rows, const std::string& name) {
  for (size_t i = 0; i < rows.size(); ++i)
    if (Platform().CompareTextLocale(rows[i]->Name, name) == 0) return static_cast<int>(i);
  return -1;
}
