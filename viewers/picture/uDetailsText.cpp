#include "viewers/picture/uDetailsText.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "foundation/uFiles.h"

std::vector<tDetailLine> DetailLines(const std::vector<std::string>& info, bool all,
                                     int& optionalCount) {
  std::vector<tDetailLine> out;
  optionalCount = 0;
  for (const std::string& line : info) {
    const char kind = line.empty() ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(line[0])));
    const bool optional = kind == 'G' || kind == 'M';
    if (optional) ++optionalCount;
    if (optional && !all) continue;
    tDetailLine d;
    d.Text = line.empty() ? std::string() : line.substr(1);
    d.Color = kind == 'B' ? 0xFF0000u : kind == 'G' ? 0x008000u : kind == 'R' ? 0x0000FFu : 0u;
    out.push_back(std::move(d));
  }
  return out;
}

std::string DetailsCaption(const std::string& fileName, bool hasRemarks) {
  return ExtractFileName(fileName) + " details" + (hasRemarks ? " and comments" : "");
}

int DetailsRows(int lineCount) { return std::clamp(lineCount, 5, 20); }

bool ClipTooSmall(const TRect& clip) {
  return std::abs(clip.Right - clip.Left) < 8 || std::abs(clip.Bottom - clip.Top) < 8;
}

std::string CommentsFileName(const std::string& programFile) {
  const std::string ext = ExtractFileExt(programFile);
  return programFile.substr(0, programFile.size() - ext.size()) + ".cmt";
}

std::string CommentsCaption(const std::string& comments) {
  return comments.empty() ? "Enter Comments" : "Edit Comments";
}
