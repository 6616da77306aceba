// The thumbnail tools window over a real drive: a Wine drive letter pointed at a fixture folder
// (a link in the prefix's dosdevices), brought into the database whole, its folder report,
// a vanished folder marked and removed, and Cancel in the middle of a walk.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <winioctl.h>
#include <filesystem>

#include "foundation/DialogDriver_test.h"
#include "foundation/uFormat.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Label.h"
#include "framework/ListView.h"
#include "framework/PageControl.h"
#include "framework/StatusBar.h"
#include "imaging/uGraphic.h"
#include "tests/TestSupport.h"
#include "thumbnails/ThumbToolsForm.h"
#include "thumbnails/uThumbnails.h"

namespace {
namespace fs = std::filesystem;
using dialogtest::Pump;

// Points a drive letter of the prefix at a Unix folder, or takes it away (an empty path), through
// Wine's mount manager as its configuration program does; false when the manager refuses.
bool DefineUnixDrive(char letter, const std::string& unixPath, UINT type) {
  struct tUnixDrive {  // the mount manager's request
    ULONG Size, Type, FsType;
    DWORD Serial;
    ULONGLONG UnixDev;
    WCHAR Letter;
    USHORT MountPoint, Device, Label;
  };
  static_assert(sizeof(tUnixDrive) == 32);
  std::vector<char> request(sizeof(tUnixDrive));
  tUnixDrive drive{};
  drive.Type = type;
  drive.Letter = static_cast<WCHAR>(std::tolower(letter));
  if (!unixPath.empty()) {
    drive.MountPoint = static_cast<USHORT>(request.size());
    request.insert(request.end(), unixPath.begin(), unixPath.end());
    request.push_back('\0');
  }
  drive.Size = static_cast<ULONG>(request.size());
  std::memcpy(request.data(), &drive, sizeof drive);
  HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE) return false;
  DWORD returned = 0;
  const DWORD code = CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
  const BOOL ok = DeviceIoControl(manager, code, request.data(), static_cast<DWORD>(request.size()),
                                  nullptr, 0, &returned, nullptr);
  CloseHandle(manager);
  return ok != FALSE;
}

void Copy(const std::string& from, const fs::path& to) {
  fs::create_directories(to.parent_path());
  fs::copy_file(testsupport::TestData(from), to, fs::copy_options::overwrite_existing);
  fs::permissions(to, fs::perms::owner_write, fs::perm_options::add);
}

// Drive T: of the prefix pointed at a fresh folder under /tmp, for the test's length.
class MappedDrive : public testing::Test {
 protected:
  static constexpr char kLetter = 'T';
  void SetUp() override {
    RegisterAllFormats();
    unix_ = Format("/tmp/tavis-drive-%d", {static_cast<int>(GetCurrentProcessId())});
    root_ = fs::path("Z:" + unix_);
    std::error_code ec;
    fs::remove_all(root_, ec);
    fs::create_directories(root_);
    Map(DRIVE_FIXED);
    if (HasFatalFailure()) return;
    db_ = std::make_unique<tThumbnails>((testsupport::ScratchDir("thumbtools-db") / "thumbs").string());
  }
  void TearDown() override {
    db_.reset();
    if (mapped_) DefineUnixDrive(kLetter, "", DRIVE_NO_ROOT_DIR);
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  void Map(UINT type) {
    mapped_ = DefineUnixDrive(kLetter, unix_, type);
    ASSERT_TRUE(mapped_) << "the mount manager did not take drive T:";
    ASSERT_TRUE(fs::is_directory("T:\\")) << "the drive letter did not appear";
    ASSERT_EQ(GetDriveTypeW(L"T:\\"), type);
  }
  TThumbToolsForm* Open() {
    tThumbToolsHost host;
    host.Ask = [this](const std::string& text, bool) {
      asked_.push_back(text);
      return true;
    };
    host.PlaySound = [this](int event) { sounds_.push_back(event); };
    host.NotifyThumbnailsChanged = [this] { ++notified_; };
    host.ShowFileInViewerForm = [this](const std::string& path) { shown_.push_back(path); };
    TThumbToolsForm* form = ShowThumbnailTools(&Application, *db_, host);
    Pump();
    return form;
  }
  std::vector<std::string> Grid(TThumbToolsForm* form) {
    std::vector<std::string> rows;
    for (int i = 0; i < form->StringGrid1->Count(); ++i)
      rows.push_back(form->StringGrid1->ItemText(i, 0) + "|" + form->StringGrid1->ItemText(i, 1) + "|" +
                     form->StringGrid1->ItemText(i, 2));
    return rows;
  }

  std::string unix_;
  bool mapped_ = false;
  fs::path root_;
  std::unique_ptr<tThumbnails> db_;
  std::vector<std::string> asked_, shown_;
  std::vector<int> sounds_;
  int notified_ = 0;
};

TEST_F(MappedDrive, BringsTheDriveInThenMarksAndRemovesAVanishedFolder) {
  Copy("jpeg/video-001.jpeg", root_ / "2019" / "a.jpg");
  Copy("gif/flag_fr.gif", root_ / "2019" / "b.gif");
  Copy("png/basn2c08.png", root_ / "2019" / "sub" / "c.png");
  Copy("jpeg/video-005.gray.jpeg", root_ / "2020" / "d.jpg");
  Copy("gif/triangle-001.gif", root_ / "skip" / "e.gif");
  fs::create_directories(root_ / "notes");
  testsupport::WriteFile(root_ / "notes" / "readme.txt", {'h', 'i'});
  db_->ToggleOmittedFolder("T:\\skip");

  TThumbToolsForm* form = Open();
  EXPECT_EQ(form->StringGrid1->Count(), 0);  // an empty database has no report
  form->PageControl1->SetPageIndex(1);
  ASSERT_TRUE(form->UpdateDrive(kLetter));
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_NE(asked_[0].find("T:"), std::string::npos) << asked_[0];
  EXPECT_EQ(form->StatusBar1->PanelText(0), "Drive T: update complete");
  EXPECT_EQ(sounds_, (std::vector<int>{1, 2}));
  EXPECT_EQ(notified_, 1);
  // root, 2019, 2019\sub, 2020, notes (skip is omitted)
  EXPECT_EQ(form->Counters[1]->Caption(), "5");
  EXPECT_EQ(form->Counters[5]->Caption(), "4");
  EXPECT_EQ(db_->ActiveCount(), 4u);
  dialogtest::Screenshot(form->Handle(), "tools-update");

  // The report: one row per folder, in full-name order.
  form->PageControl1->SetPageIndex(0);
  sounds_.clear();
  form->btnFshow->Click();
  EXPECT_EQ(sounds_, (std::vector<int>{1, 2}));
  EXPECT_EQ(Grid(form), (std::vector<std::string>{"|2|T:\\2019", "|1|T:\\2019\\sub", "|1|T:\\2020"}));
  EXPECT_EQ(form->StatusBar1->PanelText(0), "4 total items");
  EXPECT_EQ(form->StatusBar1->PanelText(1), "0 \"YES\" folders");

  // A folder gone from the (fixed) drive comes marked.
  fs::remove_all(root_ / "2020");
  form->btnFshow->Click();
  EXPECT_EQ(Grid(form), (std::vector<std::string>{"|2|T:\\2019", "|1|T:\\2019\\sub", "YES|1|T:\\2020"}));
  EXPECT_EQ(form->StatusBar1->PanelText(1), "1 \"YES\" folders");
  EXPECT_EQ(form->StatusBar1->PanelText(2), "1 thumbnails to delete");
  dialogtest::Screenshot(form->Handle(), "tools-folders");
  // The Delete key marks and unmarks a row.
  form->StringGrid1->SetSelected(1);
  form->StringGrid1->SetFocus();
  SendMessageW(form->StringGrid1->Handle(), WM_KEYDOWN, VK_DELETE, 0);
  Pump();
  EXPECT_EQ(form->StatusBar1->PanelText(2), "2 thumbnails to delete");
  SendMessageW(form->StringGrid1->Handle(), WM_KEYDOWN, VK_DELETE, 0);
  Pump();
  EXPECT_EQ(form->StatusBar1->PanelText(2), "1 thumbnails to delete");
  // A double-click shows the row's first picture.
  form->StringGrid1->SetSelected(0);
  SendMessageW(form->StringGrid1->Handle(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(30, 30));
  Pump();
  EXPECT_EQ(shown_, std::vector<std::string>{"T:\\2019\\a.jpg"});

  form->btnFgo->Click();
  EXPECT_EQ(Grid(form), (std::vector<std::string>{"|2|T:\\2019", "|1|T:\\2019\\sub"}));
  EXPECT_EQ(db_->ActiveCount(), 3u);
  form->Close();
  Pump();
}

TEST_F(MappedDrive, RemovableDiskNeedsItsLabelAndIsNeverMarked) {
  Copy("jpeg/video-001.jpeg", root_ / "trip" / "a.jpg");
  Copy("gif/flag_fr.gif", root_ / "trip" / "b.gif");
  Map(DRIVE_REMOVABLE);
  ASSERT_FALSE(HasFatalFailure());
  TThumbToolsForm* form = Open();
  EXPECT_FALSE(form->UpdateDrive(kLetter));
  EXPECT_EQ(asked_, std::vector<std::string>{"I can't update a removable disk unless it has a Volume Label"});
  EXPECT_EQ(db_->RecordCount(), 0u);
  // Another disk, with a label (Wine reads it from a file in the drive's root as the drive
  // comes).
  testsupport::WriteFile(root_ / ".windows-label", {'T', 'R', 'I', 'P', 'S', '\n'});
  Map(DRIVE_REMOVABLE);
  ASSERT_TRUE(form->UpdateDrive(kLetter));
  EXPECT_EQ(db_->ActiveCount(), 2u);
  TThumbnailRecord r{};
  db_->ReadRecord(1, r);
  ASSERT_GT(r.Volume, 0u);
  EXPECT_EQ(db_->VolumeLabelOf(static_cast<int>(r.Volume)), "TRIPS");
  // Gone from the drive is no reason to go from the database: the disk may be another one.
  fs::remove_all(root_ / "trip");
  form->btnFshow->Click();
  EXPECT_EQ(Grid(form), std::vector<std::string>{"|2|[TRIPS]  T:\\trip"});
  EXPECT_EQ(form->StatusBar1->PanelText(1), "0 \"YES\" folders");
  form->Close();
  Pump();
}

TEST_F(MappedDrive, CancelKeepsWhatWasStored) {
  const char* const pictures[] = {"jpeg/video-001.jpeg", "jpeg/video-005.gray.jpeg", "gif/flag_fr.gif"};
  for (int f = 0; f < 6; ++f)
    for (int i = 0; i < 3; ++i)
      Copy(pictures[i], root_ / Format("f%d", {f}) / Format("p%d%s", {i, i == 2 ? ".gif" : ".jpg"}));
  TThumbToolsForm* form = Open();
  dialogtest::TDriver driver;
  driver.Then([&] {
    if (!form->Updating || db_->ActiveCount() < 2) return false;
    form->btnCancel->Click();
    return true;
  });
  driver.Start();
  ASSERT_TRUE(form->UpdateDrive(kLetter));
  EXPECT_TRUE(driver.Finished());
  EXPECT_EQ(form->StatusBar1->PanelText(0), "====> Drive T: update CANCELLED <====");
  const uint32_t stored = db_->ActiveCount();
  EXPECT_GE(stored, 2u);
  EXPECT_LT(stored, 18u);
  EXPECT_EQ(sounds_, std::vector<int>{1});  // no "done" sound
  EXPECT_EQ(notified_, 1);
  form->Close();
  Pump();
}

}  // namespace
