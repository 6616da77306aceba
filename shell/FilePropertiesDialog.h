// The properties of a file, folder or drive: the file page shows the shell's type name and icon,
// names, times and the attribute boxes, and sets changed attributes on OK; the drive page shows
// the drive's type, label, serial number, file system, space and clusters, and sets a new
// volume label on OK.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Form.h"
#include "shell/uPropertiesText.h"

class TButton;
class TCheckBox;
class TEdit;
class TGroupBox;
class TLabel;
class TNotebook;
class TPropertiesIcon;
class TWindow;

class TFilePropertiesDialog : public TForm {
 public:
  explicit TFilePropertiesDialog(TComponent* owner);
  ~TFilePropertiesDialog() override;

  TNotebook* Pages = nullptr;  // 0 "DirAndFile", 1 "Drive"
  TPropertiesIcon* Icon = nullptr;
  TLabel *lblType = nullptr, *lblName = nullptr, *lblShortName = nullptr,
         *lblLocation = nullptr, *lblCreated = nullptr, *lblModified = nullptr,
         *lblAccessed = nullptr;
  TLabel *capModified = nullptr, *capAccessed = nullptr;
  TGroupBox* grpAttributes = nullptr;
  TCheckBox *chkReadOnly = nullptr, *chkHidden = nullptr, *chkSystem = nullptr,
            *chkArchive = nullptr;
  TLabel *lblDriveType = nullptr, *lblDriveLabel = nullptr, *lblSerial = nullptr,
         *lblFileSystem = nullptr;
  TLabel *lblCapacity = nullptr, *lblCapacitySize = nullptr, *lblUsed = nullptr,
         *lblUsedSize = nullptr, *lblFree = nullptr, *lblFreeSize = nullptr;
  TLabel *lblBytesPerSector = nullptr, *lblSectorsPerCluster = nullptr, *lblClusters = nullptr;
  TEdit* edLabel = nullptr;
  TButton *btnLabelDisk = nullptr, *btnOK = nullptr, *btnCancel = nullptr, *btnHelp = nullptr;

  // Fills the file page for an entry; false when there is no such entry.
  bool ShowEntry(const std::string& path);
  // Fills the drive page.
  void ShowDrive(char letter);
  // Sets the attributes when the boxes changed them; true when they were set.
  bool ApplyAttributes();
  // Sets the volume label when it was changed; true when it was set.
  bool ApplyLabel();

  std::string Path;
  uint32_t OldAttributes = 0;
  char Drive = 0;
  std::string OldLabel, NextLabel;

 private:
  void SetIcon(HICON icon);
  std::vector<TWindow*> AttributeControls() const;
};

// The properties of a file or folder, modally; true when an attribute was changed.
bool ShowFileProperties(TComponent* owner, const std::string& path);
// The properties of a drive, modally; true when the volume label was set.
bool ShowDriveProperties(TComponent* owner, char letter);
