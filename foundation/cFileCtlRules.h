// The file list's decisions that need no window: column widths and the number of columns, the
// tagging rules, and the name lists it hands out. The control measures text in its font and
// passes the measurements in.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class TSrchRec;

// The detail columns of the file list: a set of TFileDetail, bit (1 << detail).
enum TFileDetail { fdName, fdSize, fdDate, fdTime };
using TFileDetails = unsigned;
constexpr TFileDetails FileDetailBit(TFileDetail d) { return 1u << d; }
constexpr TFileDetails kAllFileDetails = 15;

// Text width in the list's font of a run of n spaces.
using TSpacesWidth = std::function<int(int n)>;

// Widths of the header sections 1 to 6 (tag, glyph, name, size, date, time) that the file list
// sets: the tag glyph's width + 4, the category glyph's width + 2, then 13, 12, 11 and 10
// spaces. The name column is then 13 characters wide.
constexpr int kHeaderNameColumn = 13;
std::vector<int> HeaderSectionWidths(int checkWidth, int glyphWidth, const TSpacesWidth& spaces);

// Characters of the name column for an available width: the smallest n from 1 on whose run of
// spaces is wider (at most 255).
int FitNameColumn(int available, const TSpacesWidth& spaces);

// What one row of the file list needs in width.
struct tRowLayout {
  int CheckWidth = 0;  // FG_CHECK glyph
  int GlyphWidth = 0;  // KNOWNFILE glyph
  TFileDetails Details = kAllFileDetails;
  // With a header control: the widths of its sections 3 to 6 (name, size, date, time).
  bool Header = false;
  int Sections[4] = {0, 0, 0, 0};
  // Without: the longest name and the length of today's date text, in characters.
  int LongestName = 0;
  int DateLength = 0;
};
int RowWidth(const tRowLayout& layout, const TSpacesWidth& spaces);
// Columns of a list of a width: width div row width, and 0 (one column scrolled vertically)
// when that is below 2.
int ColumnsFor(int controlWidth, int rowWidth);

// Tagging modes of SetTag.
enum : int { kUntag = 0, kToggleTag = 1, kTag = 2 };
// The tag a row gets: files follow the mode, other rows are never tagged.
bool TagFor(const TSrchRec& entry, int mode);
// The rows TagRange tags for row i: from the nearest tagged row before i (up to i), or when
// there is none, from i up to the nearest tagged row after it; none when no row is tagged.
std::optional<std::pair<int, int>> TagRangeFor(const std::vector<TSrchRec*>& rows, int i);

// The name lists the file list hands out: line 0 the folder with a trailing backslash, then
// names in row order. Empty (no list) when there would be no name.
// The tagged rows.
std::vector<std::string> TaggedNameList(const std::string& folder,
                                        const std::vector<TSrchRec*>& rows);
// The rows with a thumbnail, only the tagged ones among them when any row is tagged.
std::vector<std::string> ThumbnailedNameList(const std::string& folder,
                                             const std::vector<TSrchRec*>& rows);

// Row of the first entry whose name equals name without regard to case; -1 when none.
int IndexOfName(const std::vector<TSrchRec*>& rows, const std::string& name);
