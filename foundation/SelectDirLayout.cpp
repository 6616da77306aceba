#include "foundation/SelectDirLayout.h"

#include "foundation/uFiles.h"
#include "foundation/uUtil.h"

int ScaleFrom96(int value, int pixelsPerInch) { return MulDivRound(value, pixelsPerInch, 96); }

namespace {
tBox Scaled(tBox b, int ppi) {
  return {ScaleFrom96(b.Left, ppi), ScaleFrom96(b.Top, ppi), ScaleFrom96(b.Width, ppi),
          ScaleFrom96(b.Height, ppi)};
}
}  // namespace

tBox SelectDirClient(int pixelsPerInch) { return Scaled({0, 0, 424, 255}, pixelsPerInch); }

std::array<tBox, kSelectDirItems> SelectDirLayout(bool withHelp, int pixelsPerInch) {
  std::array<tBox, kSelectDirItems> b = {{
      {8, 8, 92, 13},       // "Directory &Name:"
      {120, 8, 213, 13},    // the folder as a label
      {8, 24, 313, 20},     // the folder as an edit box
      {8, 56, 66, 13},      // "&Directories:"
      {8, 72, 213, 138},    // folder list
      {232, 56, 57, 13},    // "&Files: (*.*)"
      {232, 72, 185, 93},   // file list
      {232, 176, 41, 13},   // "D&rives:"
      {232, 192, 185, 19},  // drive combo
      {8, 224, 77, 27},     // Network...
      {172, 224, 77, 27},   // OK
      {256, 224, 77, 27},   // Cancel
      {340, 224, 77, 27},   // Help
  }};
  if (!withHelp) {
    b[sdiOKButton].Left = 256;
    b[sdiCancelButton].Left = 340;
  }
  for (tBox& box : b) box = Scaled(box, pixelsPerInch);
  return b;
}

void CentreOnScreen(int screenWidth, int screenHeight, tBox& box) {
  box.Left = screenWidth / 2 - box.Width / 2;
  box.Top = screenHeight / 2 - box.Height / 2;
}

bool SelectDirStartFolder(const std::string& fullFolder, char& drive, std::string& folder) {
  if (fullFolder.empty()) return false;
  std::string path = AddBackslash(fullFolder) + "*.*";
  if (path.size() < 3 || path[1] != ':') return false;
  drive = path[0];
  folder = RemoveBackslash(ExtractFilePath(path));
  return true;
}
