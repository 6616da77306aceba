// What the file and drive properties dialogs show and decide, without a window: the attribute
// check boxes and the word written back, the entry's name and time texts, and the drive's type,
// label, space and cluster lines.
#pragma once
#include <cstdint>
#include <string>

#include "foundation/uPlatform.h"

enum : uint32_t {
  faReadOnly = 1,
  faHidden = 2,
  faSysFile = 4,
  faDirectory = 16,
  faArchive = 32,
};

struct tAttributeChecks {
  bool ReadOnly = false, Hidden = false, System = false, Archive = false;
  bool operator==(const tAttributeChecks&) const = default;
};
tAttributeChecks AttributeChecks(uint32_t attributes);
// The word the checks give: read-only, hidden, system and archive from the boxes, every other
// bit as it was (the directory bit and the ones the dialog does not show). Equal to old when
// nothing was changed.
uint32_t AttributesFromChecks(uint32_t old, const tAttributeChecks& checks);

// name + " properties".
std::string PropertiesCaption(const std::string& path);
// The entry's short name (at most 14 characters), or its name when it has none.
std::string ShortNameText(const std::string& shortName, const std::string& name);
// The shell's type name, at most 80 characters.
std::string TypeNameText(const std::string& typeName);
// A local DOS date-time as "dddd, mmmm d, yyyy h:nn:ss am/pm", or without the time;
// "(unknown)" when the time could not be converted.
std::string EntryTimeText(bool known, uint32_t dosDateTime, bool withTime,
                          const tFormatSettings& settings);

// Drive kinds as the system numbers them.
enum : int {
  dtUnknown = 0,
  dtNoRoot = 1,
  dtRemovable = 2,
  dtFixed = 3,
  dtRemote = 4,
  dtCdRom = 5,
  dtRamDisk = 6,
};
// The type line: a removable drive shows the shell's type name without a trailing " Drive" and
// with " Disk" added unless it names a disk or disc already; the others their own words, or the
// shell's name for a kind without one.
std::string DriveTypeText(int driveType, const std::string& shellTypeName);
// "X: (label)", with "?" for a label that could not be read.
std::string DriveLabelLine(char letter, bool readable, const std::string& label);
std::string DriveSerialText(uint32_t serial);
// "Label disk "Tavis000001"".
std::string LabelDiskCaption(const std::string& nextLabel);

struct tDriveSpace {
  uint64_t TotalBytes = 0, FreeBytes = 0;
  bool ClustersKnown = false;
  uint64_t SectorsPerCluster = 0, BytesPerSector = 0, FreeClusters = 0, TotalClusters = 0;
};
struct tDriveSpaceTexts {
  std::string Capacity, CapacitySize, Used, UsedSize, Free, FreeSize;
  std::string BytesPerSector, SectorsPerCluster, Clusters;
};
// Capacity, used and free space in bytes and in the program's size format; the cluster lines,
// "(unknown)" when the system gave none or they cannot hold the free space it reports (large
// drives report at most 2 GB worth of clusters).
tDriveSpaceTexts DriveSpaceTexts(const tDriveSpace& space);
