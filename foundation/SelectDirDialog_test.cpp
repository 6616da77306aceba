// The select-directory dialog on the screen: its layout, and choosing, typing, confirming and
// creating folders through its own controls.
#include "foundation/SelectDirDialog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/DialogDriver_test.h"
#include "foundation/uFiles.h"
#include "tests/TestSupport.h"

using namespace dialogtest;
namespace fs = std::filesystem;

namespace {
std::string MakeFolder(const std::string& name) {
  fs::path dir = testsupport::ScratchDir(name);
  fs::create_directory(dir / "Holidays");
  fs::create_directory(dir / "Scans");
  for (const char* f : {"beach.gif", "notes.txt", "tune.mid"})
    testsupport::WriteFile(dir / f, std::vector<uint8_t>(100, 'x'));
  return dir.string();
}

RECT Bounds(TWindow* w) { return w->BoundsRect(); }
bool Same(const RECT& r, const tBox& b) {
  return r.left == b.Left && r.top == b.Top && r.right - r.left == b.Width &&
         r.bottom - r.top == b.Height;
}

// Types a folder name into the dialog's edit box.
TDriver::Step Type(const std::string& text) {
  return [text] {
    HWND dialog = FindForm("Select Directory");
    if (!dialog) return false;
    auto* form = dynamic_cast<TSelectDirDlg*>(TWindow::FromHandle(dialog));
    if (!form || !form->DirEdit->Visible()) return false;
    form->DirEdit->SetText(text);
    return true;
  };
}
}  // namespace

TEST(SelectDirDialog, LaidOutAsDesigned) {
  TSelectDirDlg dialog(nullptr, 96);
  EXPECT_EQ(dialog.Caption(), "Select Directory");
  EXPECT_EQ(dialog.ClientWidth(), 424);
  EXPECT_EQ(dialog.ClientHeight(), 255);
  auto b = SelectDirLayout(true, 96);
  EXPECT_TRUE(Same(Bounds(dialog.DirList), b[sdiDirList]));
  EXPECT_TRUE(Same(Bounds(dialog.FileList), b[sdiFileList]));
  EXPECT_TRUE(Same(Bounds(dialog.DirEdit), b[sdiDirEdit]));
  EXPECT_TRUE(Same(Bounds(dialog.OKButton), b[sdiOKButton]));
  EXPECT_EQ(dialog.DirList->ItemHeight(), 17);
  EXPECT_EQ(dialog.FileList->ItemHeight(), 13);
  EXPECT_EQ(dialog.FileList->Font().Color(), clGrayText);
  EXPECT_EQ(dialog.FileList->Mask(), "*.*");
  EXPECT_EQ(dialog.DefaultButton, dialog.OKButton);
  EXPECT_EQ(dialog.CancelButton, dialog.CancelButton);
  // The old network entry is not there under the NT family: the button stays hidden.
  EXPECT_FALSE(IsWindowVisible(dialog.NetButton->Handle()) &&
               GetWindowLongW(dialog.NetButton->Handle(), GWL_STYLE) & WS_VISIBLE);
  // Creating off: the folder is a label.
  EXPECT_FALSE(GetWindowLongW(dialog.DirEdit->Handle(), GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(GetWindowLongW(dialog.DirLabel->Handle(), GWL_STYLE) & WS_VISIBLE);
  dialog.HideHelp();
  EXPECT_EQ(dialog.OKButton->Left(), 256);
  EXPECT_EQ(dialog.CancelButton->Left(), 340);
  EXPECT_FALSE(GetWindowLongW(dialog.HelpButton->Handle(), GWL_STYLE) & WS_VISIBLE);
  // On a screen of 120 pixels per inch everything grows by a quarter.
  TSelectDirDlg large(nullptr, 120);
  EXPECT_EQ(large.ClientWidth(), 530);
  EXPECT_TRUE(Same(Bounds(large.DirList), SelectDirLayout(true, 120)[sdiDirList]));
}

TEST(SelectDirDialog, ChoosesTheShownFolder) {
  std::string dir = MakeFolder("selectdir_choose");
  std::string folder = dir;
  TDriver driver;
  std::string label, files;
  driver.Then([&] {
    HWND h = FindForm("Select Directory");
    auto* form = h ? dynamic_cast<TSelectDirDlg*>(TWindow::FromHandle(h)) : nullptr;
    if (!form) return false;
    label = form->DirLabel->Caption();
    files = std::to_string(form->FileList->Count());
    // A double click on the "Scans" row opens that folder.
    TOrvex_DirList& list = *form->DirList;
    for (int i = 0; i < list.Count(); ++i)
      if (ExtractFileName(list.GetItemPath(i)) == "Scans") {
        RECT r = list.ItemRect(i);
        list.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 30, r.top + 3));
        list.Send(WM_LBUTTONUP, 0, MAKELPARAM(r.left + 30, r.top + 3));
        list.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(r.left + 30, r.top + 3));
        list.Send(WM_LBUTTONUP, 0, MAKELPARAM(r.left + 30, r.top + 3));
      }
    return true;
  });
  driver.Then([] { return PressButton("Select Directory", "OK"); });
  driver.Start();
  EXPECT_TRUE(BrowseForDirectory(folder, 0, 0));
  EXPECT_FALSE(driver.TimedOut());
  EXPECT_EQ(label, RemoveBackslash(dir));
  EXPECT_EQ(files, "3");
  EXPECT_EQ(folder, JoinPath(dir, "Scans"));
  // Cancel leaves the folder as it was.
  TDriver cancel;
  cancel.Then([] { return PressButton("Select Directory", "Cancel"); });
  cancel.Start();
  EXPECT_FALSE(BrowseForDirectory(folder, 0, 0));
  EXPECT_EQ(folder, JoinPath(dir, "Scans"));
}

TEST(SelectDirDialog, AMissingFolderIsConfirmedFirst) {
  std::string dir = MakeFolder("selectdir_prompt");
  std::string folder = dir, missing = JoinPath(dir, "New pictures");
  TDriver driver;
  driver.Then(Type(missing))
      .Then([] { return PressButton("Select Directory", "OK"); })
      .Then([] { return PressButton("Confirm", "&No"); })  // No keeps the dialog open
      .Then([] { return !FindForm("Confirm") && PressButton("Select Directory", "OK"); })
      .Then([] { return PressButton("Confirm", "&Yes"); });
  driver.Start();
  EXPECT_TRUE(BrowseForDirectory(folder, sdAllowCreate | sdPrompt, 0));
  EXPECT_FALSE(driver.TimedOut());
  EXPECT_EQ(folder, missing);
  EXPECT_FALSE(fs::exists(fs::u8path(missing)));  // asked, not created
}

TEST(SelectDirDialog, CreatesTheTypedFolderWithItsParents) {
  std::string dir = MakeFolder("selectdir_create");
  std::string folder = dir, missing = JoinPath(JoinPath(dir, "2001"), "Summer");
  TDriver driver;
  driver.Then(Type(missing)).Then([] { return PressButton("Select Directory", "OK"); });
  driver.Start();
  EXPECT_TRUE(BrowseForDirectory(folder, sdAllowCreate | sdPerformCreate, 0));
  EXPECT_FALSE(driver.TimedOut());
  EXPECT_EQ(folder, missing);
  EXPECT_TRUE(fs::is_directory(fs::u8path(missing)));
}

// A folder that cannot be made is reported and the dialog stays for another choice (it used to
// answer true with no folder there).
TEST(SelectDirDialog, AFailedCreateIsReportedAndTheDialogStays) {
  std::string dir = MakeFolder("selectdir_fail");
  std::string folder = dir, impossible = JoinPath(JoinPath(dir, "notes.txt"), "inside");
  bool stayed = false;
  TDriver driver;
  driver.Then(Type(impossible))
      .Then([] { return PressButton("Select Directory", "OK"); })
      .Then([] { return PressButton("Error", "OK"); })
      .Then([&] {
        if (FindForm("Error") || !FindForm("Select Directory")) return false;
        stayed = true;
        return PressButton("Select Directory", "Cancel");
      });
  driver.Start();
  EXPECT_FALSE(BrowseForDirectory(folder, sdAllowCreate | sdPerformCreate, 0));
  EXPECT_FALSE(driver.TimedOut());
  EXPECT_TRUE(stayed);
  EXPECT_EQ(folder, dir);
  EXPECT_FALSE(fs::exists(fs::u8path(impossible)));
}

TEST(SelectDirDialog, HelpButtonAndScreenshot) {
  std::string dir = MakeFolder("selectdir_shot");
  std::string folder = JoinPath(dir, "Holidays");
  fs::create_directory(fs::u8path(JoinPath(folder, "Day one")));
  fs::create_directory(fs::u8path(JoinPath(folder, "Day two")));
  for (const char* f : {"beach.gif", "harbour.jpg", "sunset.png", "map.bmp"})
    testsupport::WriteFile(fs::u8path(JoinPath(folder, f)), std::vector<uint8_t>(10, 'x'));
  std::vector<int> asked;
  Application.OnHelp = [&](int context) { asked.push_back(context); };
  TDriver driver;
  int ticks = 0;
  driver
      .Then([&] {
        HWND h = FindForm("Select Directory");
        if (!h || ++ticks < 5) return false;
        Screenshot(h, "select-directory");
        return true;
      })
      .Then([] { return PressButton("Select Directory", "&Help"); })
      .Then([&] { return !asked.empty() && PressButton("Select Directory", "Cancel"); });
  driver.Start();
  EXPECT_FALSE(BrowseForDirectory(folder, sdAllowCreate, 345));
  EXPECT_FALSE(driver.TimedOut());
  EXPECT_EQ(asked, std::vector<int>{345});
  Application.OnHelp = nullptr;
}
