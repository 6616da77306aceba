// The select-directory dialog's decisions that need no window: its option bits, where each of
// its controls goes (scaled to the screen's pixels per inch, with or without the Help button),
// where the dialog goes on a screen of another resolution, and the drive and folder that a given
// folder opens on.
#pragma once
#include <array>
#include <string>

enum : int {
  sdAllowCreate = 1,    // the folder name is typed (else shown)
  sdPerformCreate = 2,  // the chosen folder is created on OK
  sdPrompt = 4,         // a folder that does not exist needs the user's yes
  sdShowHidden = 8,     // hidden folders are listed
};

enum tSelectDirItem {
  sdiNameLabel,
  sdiDirLabel,
  sdiDirEdit,
  sdiDirsLabel,
  sdiDirList,
  sdiFilesLabel,
  sdiFileList,
  sdiDrivesLabel,
  sdiDriveList,
  sdiNetButton,
  sdiOKButton,
  sdiCancelButton,
  sdiHelpButton,
  kSelectDirItems
};

struct tBox {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  friend bool operator==(const tBox&, const tBox&) = default;
};

// The client size (424 x 255 at 96 pixels per inch).
tBox SelectDirClient(int pixelsPerInch);
// Every control's bounds. Without help the Help button's place is unused and OK and Cancel
// move right into the places of Cancel and Help.
std::array<tBox, kSelectDirItems> SelectDirLayout(bool withHelp, int pixelsPerInch);
// A value scaled from 96 pixels per inch.
int ScaleFrom96(int value, int pixelsPerInch);
// The dialog centred on the screen: left = screen width div 2 - width div 2, top likewise.
void CentreOnScreen(int screenWidth, int screenHeight, tBox& box);
// The drive and folder (no trailing backslash except at a drive root) that a given folder, in
// its full form, opens on: false when it names no drive ("x:").
bool SelectDirStartFolder(const std::string& fullFolder, char& drive, std::string& folder);
