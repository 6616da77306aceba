#include "viewers/zip/uZipRows.h"

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uLocaleText.h"

namespace {
std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}
}  // namespace

bool ZipRowOf(const TZipEntryInfo& info, tZipRow& row) {
  if (info.RecordCode == kZipRecRunEnd) return false;
  const std::string name(info.Name);
  const std::string file = Trim(ExtractFileName(name));
  if (file.empty()) return false;
  const std::string folder = Trim(ExtractFilePath(name));
  const tDateTimeFields f = DosDateTimeToFields(static_cast<uint32_t>(info.DateTime));
  row.Caption = file;
  row.SubItems = {Format("%.2d/%.2d/%.2d", {f.Month, f.Day, f.Year % 100}),
                  Format("%.2d:%.2d", {f.Hour, f.Minute}),
                  Format("%11.0n", {static_cast<double>(info.Size)}),
                  Format("%d%%", {static_cast<int>(info.Ratio)}),
                  Format("%11.0n", {static_cast<double>(info.PackedSize)}),
                  folder};
  return true;
}

std::string ZipSummaryText(int rows, int64_t sizeTotal) {
  return Format("%d files %.0n bytes", {rows, static_cast<double>(sizeTotal)});
}

std::string ZipExtractResultText(int32_t result, int extracted) {
  return result < 0 ? Format("ERROR CODE %d", {result}) : Format("%d files extracted", {extracted});
}

std::string ZipPartialWarning(int extracted, int rows) {
  if (extracted == rows) return "";
  return Format("%d of %d files extracted (some may be password protected)", {extracted, rows});
}

std::string ZipViewFolder(const std::string& tempFolder, uint32_t processId) {
  return AddBackslash(tempFolder) + Format("Tavishore zip %u", {processId}) + "\\";
}
