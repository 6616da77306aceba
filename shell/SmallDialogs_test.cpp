// The small dialogs under Wine: file, folder and drive properties, driven on real entries.
#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/DialogDriver_test.h"
#include "framework/Button.h"
#include "framework/ChoiceButton.h"
#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/TabControl.h"
#include "shell/FilePropertiesDialog.h"
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
