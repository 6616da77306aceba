// The drive combo: an owner-drawn drop-down list of the drives with their glyph and volume
// label (or network name). Picking a drive passes it to a linked folder list; a removable or
// CD-ROM drive picked again is read again (a new disk).
#pragma once
#include <cstdint>
#include <string>

#include "framework/Bitmap.h"
#include "framework/ComboBox.h"

class TOrvex_DirList;

enum TTextCase { tcLowerCase, tcUpperCase };

class TOrvex_DriveCombo : public TComboBox {
 public:
  TOrvex_DriveCombo(TComponent* owner, TWindow* parent, int x = 0, int y = 0, int width = 145,
                    int height = 300);

  TOrvex_DirList* DirList() const { return dirList_; }
  // Links the folder list both ways.
  void SetDirList(TOrvex_DirList* list);
  // The current drive letter in the text case (0: none, a network folder).
  char Drive() const { return drive_; }
  // Drives that may be listed: bit i for letter a + i.
  uint32_t DriveMask = 0xFFFFFFFFu;
  TTextCase TextCase() const { return textCase_; }
  void SetTextCase(TTextCase textCase);
  TNotifyEvent OnRightClick;

  virtual void BuildList();
  void SetDrive(char letter);
  bool DriveIsRemovable() const;
  // Reads a removable or CD-ROM drive again: true; false for other drives.
  bool RefreshRemovable();
  int DriveType() const { return driveType_; }
  const std::string& VolumeName() const { return volumeName_; }
  uint32_t VolumeSerial() const { return volumeSerial_; }
  void Loaded() override;

 protected:
  friend class TOrvex_DirList;
  virtual void LoadGlyphs();
  void Select() override;
  void Click() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DrawItem(int index, const RECT& rect, UINT state) override;
  void Notification(TComponent* component, TOperation operation) override;
  void FontChanged() override;

 private:
  void MeasureRowHeight();
  char InCase(char letter) const;
  int IndexOfDrive(char letter) const;

  TOrvex_DirList* dirList_ = nullptr;
  char drive_ = '\0';
  TTextCase textCase_ = tcLowerCase;
  int driveType_ = 0;
  std::string volumeName_;
  uint32_t volumeSerial_ = 0;
  // FLOPPY, HARD, NETWORK, CDROM, RAM.
  TBitmap glyphs_[5];
};

// The volume label of a drive ('' when it has none or cannot be read), critical-error dialogs
// off meanwhile; also the volume's serial number.
std::string DriveVolumeLabel(char letter, uint32_t* serial = nullptr);
// "[label]" in the drive letter's case; for a network drive its remote name, or the volume text
// when that is unknown.
std::string DriveVolumeText(char letter);
std::string DriveNetworkName(char letter);
