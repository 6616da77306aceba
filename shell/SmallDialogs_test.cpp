// The small dialogs under Wine: file, folder and drive properties on real entries, the jump
// dialog and the folder chooser.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "foundation/DialogDriver_test.h"
#include "foundation/cFileCtlDirList.h"
#include "foundation/cFileCtlFileList.h"
#include "foundation/cOrvexComboBox.h"
#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/Edit.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/Menu.h"
#include "framework/TabControl.h"
#include "shell/FilePropertiesDialog.h"
#include "shell/JumpDialog.h"
#include "shell/ScratchSettings_test.h"
#include "shell/SelectFolderDialog.h"
#include "shell/ViewerForm.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

TEST(FileProperties, ClearsReadOnlyOnlyWhenTheBoxChanged) {
  const fs::path dir = testsupport::ScratchDir("fileprops");
  const fs::path file = dir / "holiday notes.txt";
  testsupport::WriteFile(file, {'h', 'i'});
  const std::wstring wfile = file.wstring();
  SetFileAttributesW(wfile.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  {
    TFilePropertiesDialog dlg(nullptr);
    ASSERT_TRUE(dlg.ShowEntry(file.string()));
    EXPECT_EQ(dlg.Caption(), "holiday notes.txt properties");
    EXPECT_EQ(dlg.lblName->Caption(), "holiday notes.txt");
    EXPECT_EQ(dlg.lblLocation->Caption(), dir.string() + "\\");
    EXPECT_FALSE(dlg.lblShortName->Caption().empty());
    EXPECT_FALSE(dlg.lblType->Caption().empty());
    EXPECT_NE(dlg.lblModified->Caption().find(", 20"), std::string::npos)
        << dlg.lblModified->Caption();
    EXPECT_TRUE(dlg.chkReadOnly->Checked());
    EXPECT_TRUE(dlg.chkArchive->Checked());
    EXPECT_FALSE(dlg.chkHidden->Checked());
    EXPECT_EQ(dlg.HelpContext, 8);
    ShowWindow(dlg.Handle(), SW_SHOWNA);
    dialogtest::Pump();
    dialogtest::Screenshot(dlg.Handle(), "file-properties");
    EXPECT_FALSE(dlg.ApplyAttributes()) << "nothing changed";
    dlg.chkReadOnly->SetChecked(false);
    EXPECT_TRUE(dlg.ApplyAttributes());
  }
  EXPECT_EQ(GetFileAttributesW(wfile.c_str()), DWORD(FILE_ATTRIBUTE_ARCHIVE));
  // Through the modal entry: OK without a change says nothing changed.
  dialogtest::TDriver driver;
  driver.Then([] { return dialogtest::PressButton("holiday notes.txt properties", "OK"); });
  driver.Start();
  EXPECT_FALSE(ShowFileProperties(nullptr, file.string()));
  EXPECT_TRUE(driver.Finished());
  EXPECT_FALSE(ShowFileProperties(nullptr, (dir / "missing.txt").string()));
}

TEST(FileProperties, AFolderHasNoModifiedOrAccessedLine) {
  const fs::path dir = testsupport::ScratchDir("folderprops");
  fs::create_directories(dir / "photos");
  TFilePropertiesDialog dlg(nullptr);
  ASSERT_TRUE(dlg.ShowEntry((dir / "photos").string() + "\\"));
  EXPECT_EQ(dlg.Caption(), "photos properties");
  ShowWindow(dlg.Handle(), SW_SHOWNA);
  dialogtest::Pump();
  EXPECT_FALSE(IsWindowVisible(dlg.lblModified->Handle()));
  EXPECT_FALSE(IsWindowVisible(dlg.lblAccessed->Handle()));
  EXPECT_TRUE(IsWindowVisible(dlg.lblCreated->Handle()));
  EXPECT_EQ(dlg.grpAttributes->Top(), 146);
  dialogtest::Screenshot(dlg.Handle(), "folder-properties");
}

TEST(DriveProperties, ShowsTheDrive) {
  TFilePropertiesDialog dlg(nullptr);
  dlg.ShowDrive('C');
  EXPECT_EQ(dlg.Caption(), "Drive C: properties");
  EXPECT_EQ(dlg.HelpContext, 9);
  EXPECT_EQ(dlg.Pages->PageIndex(), 1);
  EXPECT_EQ(dlg.lblDriveType->Caption(), "Fixed Disk");
  EXPECT_EQ(dlg.lblDriveLabel->Caption().substr(0, 4), "C: (");
  EXPECT_EQ(dlg.lblSerial->Caption().size(), 8u);
  EXPECT_NE(dlg.lblCapacity->Caption().find(" bytes"), std::string::npos);
  EXPECT_FALSE(IsWindowEnabled(dlg.btnLabelDisk->Handle())) << "offered for removable disks only";
  ShowWindow(dlg.Handle(), SW_SHOWNA);
  dialogtest::Pump();
  dialogtest::Screenshot(dlg.Handle(), "drive-properties");
  EXPECT_FALSE(dlg.ApplyLabel()) << "label unchanged";
}

namespace {
BOOL CALLBACK AddCombo(HWND h, LPARAM p) {
  wchar_t cls[32];
  GetClassNameW(h, cls, 32);
  if (lstrcmpiW(cls, L"ComboBox") == 0 && IsWindowVisible(h))
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
  return TRUE;
}

// The form's visible combo boxes, in creation order.
std::vector<HWND> Combos(HWND form) {
  std::vector<HWND> found;
  EnumChildWindows(form, &AddCombo, reinterpret_cast<LPARAM>(&found));
  return found;
}

// What the user's choice of a row sends.
void ChooseRow(HWND combo, int row) {
  SendMessageW(combo, CB_SETCURSEL, row, 0);
  PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}
}  // namespace

TEST(JumpDialog, ReturnsYesOnlyWhenTheLookupListWasUsed) {
  const std::vector<std::string> lookup = {"Drive C", "File name a", "File name b"};
  for (int used : {0, 1, -1}) {  // the page list, the lookup list, Cancel
    dialogtest::TDriver driver;
    driver.Then([&] {
      HWND form = dialogtest::FindForm("Jump");
      if (!form) return false;
      const std::vector<HWND> combos = Combos(form);
      if (combos.size() != 2) return false;
      EXPECT_EQ(SendMessageW(combos[0], CB_GETCOUNT, 0, 0), 5);
      EXPECT_EQ(SendMessageW(combos[0], CB_GETCURSEL, 0, 0), 1);
      EXPECT_EQ(dialogtest::WindowText(combos[0]), "page 2");
      if (used == 0) dialogtest::Screenshot(form, "jump");
      if (used < 0)
        dialogtest::PressButton("Jump", "Cancel");
      else
        ChooseRow(combos[used], 2);
      return true;
    });
    driver.Start();
    int page = 1, index = 0;
    const int result = ExecuteJumpDialog(nullptr, page, 5, lookup, index);
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(result, used == 1 ? mrYes : used == 0 ? mrOk : mrCancel) << used;
    EXPECT_EQ(page, used == 0 ? 2 : 1) << used;
    EXPECT_EQ(index, used == 1 ? 2 : 0) << used;
  }
}

TEST(SelectFolder, OpensAtTheFolderAndTakesTheOneChosen) {
  const fs::path dir = testsupport::ScratchDir("selectfolder");
  fs::create_directories(dir / "albums");
  fs::create_directories(dir / "backup");
  const std::string albums = (dir / "albums").string(), backup = (dir / "backup").string();
  {
    TSelectFolderDialog dlg(nullptr, "Copy", "3 files", {backup, "C:\\no such folder"}, false);
    dlg.OpenFolder(albums);
    EXPECT_EQ(dlg.HelpContext, 60);
    EXPECT_EQ(dlg.lblCaption->Caption(), "Copy");
    EXPECT_EQ(dlg.lblText->Caption(), "3 files");
    EXPECT_EQ(dlg.Folder(), albums);
    EXPECT_EQ(dlg.lblFolder->Caption(), albums);
    EXPECT_EQ(dlg.Pages->PageIndex(), 0);
    EXPECT_EQ(dlg.btnPages->Caption(), "DRIVES / history");
    ShowWindow(dlg.Handle(), SW_SHOWNA);
    dialogtest::Pump();
    dialogtest::Screenshot(dlg.Handle(), "select-folder");
    dlg.FlipPages();
    EXPECT_EQ(dlg.Pages->PageIndex(), 1);
    EXPECT_EQ(dlg.btnPages->Caption(), "drives / HISTORY");
    ChooseRow(dlg.cbHistory->Handle(), 0);
    dialogtest::Pump();
    EXPECT_EQ(dlg.Folder(), backup);
    ChooseRow(dlg.cbHistory->Handle(), 1);
    dialogtest::Pump();
    EXPECT_EQ(dlg.Folder(), backup) << "a folder gone from the disk leaves the list where it was";
    dlg.FlipPages();
    EXPECT_EQ(dlg.btnPages->Caption(), "DRIVES / history");
  }
  for (bool ok : {true, false}) {
    dialogtest::TDriver driver;
    driver.Then([ok] { return dialogtest::PressButton("Select folder", ok ? "OK" : "Cancel"); });
    driver.Start();
    std::string folder = albums;
    EXPECT_EQ(ExecuteSelectFolder(nullptr, POINT{40, 40}, "Move", folder, "Folder x"), ok);
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(folder, albums);
  }
}

// The main window's file menu opens the properties of the current file; clearing read-only there
// and pressing OK reaches the disk.
TEST(FileProperties, OpensFromTheMainWindowsFileMenu) {
  StartCommandLine = "Tavishore32.exe";
  testsettings::UseScratchSettings("props_ini");
  const fs::path dir = testsupport::ScratchDir("props_menu");
  const fs::path file = dir / "menu.txt";
  testsupport::WriteFile(file, {'x'});
  SetFileAttributesW(file.wstring().c_str(), FILE_ATTRIBUTE_READONLY);
  auto* form = new TViewerForm(nullptr);
  form->FinishCreate();
  form->Show();
  form->Orvex_DirList1->SetDirectory(dir.string());
  dialogtest::Pump();
  TOrvex_FileList& files = *form->Orvex_FileList1;
  files.SetItemIndex(files.IndexOfName("menu.txt"));
  dialogtest::TDriver driver;
  driver.Then([] {
    HWND f = dialogtest::FindForm("menu.txt properties");
    HWND box = f ? dialogtest::FindChild(f, L"Button", "&Read-only") : nullptr;
    if (!box) return false;
    SendMessageW(box, BM_CLICK, 0, 0);
    return dialogtest::PressButton("menu.txt properties", "OK");
  });
  driver.Start();
  form->popupClick(form->filePopup->FindItemByTag(17));
  EXPECT_TRUE(driver.Finished());
  EXPECT_EQ(GetFileAttributesW(file.wstring().c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  delete form;
}
