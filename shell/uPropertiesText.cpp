#include "shell/uPropertiesText.h"

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uLocaleText.h"
#include "foundation/uUtil.h"

namespace {
constexpr uint32_t kCheckBits = faReadOnly | faHidden | faSysFile | faArchive;
const char kUnknown[] = "(unknown)";

// The first count characters (code points) of text.
std::string FirstChars(const std::string& text, int count) {
  return Format("%.*s", {count, text});
}

std::string LowerCase(std::string text) {
  for (char& c : text) c = LowerChar(c);
  return text;
}

bool HoldsNoCase(const std::string& text, const std::string& part) {
  return LowerCase(text).find(part) != std::string::npos;
}
}  // namespace

tAttributeChecks AttributeChecks(uint32_t attributes) {
  return {(attributes & faReadOnly) != 0, (attributes & faHidden) != 0,
          (attributes & faSysFile) != 0, (attributes & faArchive) != 0};
}

uint32_t AttributesFromChecks(uint32_t old, const tAttributeChecks& checks) {
  uint32_t word = old & ~kCheckBits;
  if (checks.ReadOnly) word |= faReadOnly;
  if (checks.Hidden) word |= faHidden;
  if (checks.System) word |= faSysFile;
  if (checks.Archive) word |= faArchive;
  return word;
}

std::string PropertiesCaption(const std::string& path) {
  return ExtractFileName(path) + " properties";
}

std::string ShortNameText(const std::string& shortName, const std::string& name) {
  return shortName.empty() ? name : FirstChars(shortName, 14);
}

std::string TypeNameText(const std::string& typeName) { return FirstChars(typeName, 80); }

std::string EntryTimeText(bool known, uint32_t dosDateTime, bool withTime,
                          const tFormatSettings& settings) {
  if (!known) return kUnknown;
  const tDateTimeFields f = DosDateTimeToFields(dosDateTime);
  if (f.Month < 1 || f.Month > 12 || f.Day < 1) return kUnknown;
  std::string text = FormatDatePicture("dddd, MMMM d, yyyy", f, settings);
  if (withTime)
    text += " " + FormatTimePicture("h:mm:ss", f, settings) + (f.Hour < 12 ? " am" : " pm");
  return text;
}

std::string DriveTypeText(int driveType, const std::string& shellTypeName) {
  switch (driveType) {
    case dtRemovable: {
      std::string name = shellTypeName;
      const std::string drive = " drive";
      if (name.size() >= drive.size() && LowerCase(name.substr(name.size() - drive.size())) == drive)
        name.erase(name.size() - drive.size());
      if (HoldsNoCase(name, "disk") || HoldsNoCase(name, "disc")) return name;
      return Format("%s Disk", {name});
    }
    case dtFixed:
      return "Fixed Disk";
    case dtRemote:
      return "Network Drive";
    case dtCdRom:
      return "CD-ROM Disc";
    case dtRamDisk:
      return "RAM Disk";
    default:
      return shellTypeName;
  }
}

std::string DriveLabelLine(char letter, bool readable, const std::string& label) {
  return Format("%s (%s)", {std::string(1, letter) + ":", readable ? label : std::string("?")});
}

std::string DriveSerialText(uint32_t serial) { return Format("%.8x", {serial}); }

std::string LabelDiskCaption(const std::string& nextLabel) {
  return Format("Label disk \"%s\"", {nextLabel});
}

tDriveSpaceTexts DriveSpaceTexts(const tDriveSpace& s) {
  tDriveSpaceTexts t;
  const uint64_t used = s.TotalBytes >= s.FreeBytes ? s.TotalBytes - s.FreeBytes : 0;
  auto bytes = [](uint64_t n) { return Format("%13.0n bytes", {static_cast<double>(n)}); };
  t.Capacity = bytes(s.TotalBytes);
  t.Used = bytes(used);
  t.Free = bytes(s.FreeBytes);
  t.CapacitySize = SizeText(static_cast<int64_t>(s.TotalBytes));
  t.UsedSize = SizeText(static_cast<int64_t>(used));
  t.FreeSize = SizeText(static_cast<int64_t>(s.FreeBytes));
  const uint64_t clusterBytes = s.SectorsPerCluster * s.BytesPerSector;
  if (!s.ClustersKnown || s.FreeBytes > s.FreeClusters * clusterBytes) {
    t.BytesPerSector = t.SectorsPerCluster = t.Clusters = kUnknown;
    return t;
  }
  t.BytesPerSector = Format("%.0n bytes per sector", {static_cast<double>(s.BytesPerSector)});
  t.SectorsPerCluster =
      Format("%.0n sectors per cluster", {static_cast<double>(s.SectorsPerCluster)});
  t.Clusters = Format("%.0n (of %.0n) clusters free", {static_cast<double>(s.FreeClusters),
                                                       static_cast<double>(s.TotalClusters)});
  return t;
}
