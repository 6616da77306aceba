// The inspector over a folder of pictures under the real window system: the pictures decoded
// into the window as they are chosen, the click setting, rows, and deleting to the last item,
// which closes the window and has the main window rescan its folder.
#include "shell/InspectorForm.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "foundation/DialogDriver_test.h"
#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "imaging/uGraphic.h"
#include "shell/ViewerForm.h"
#include "shell/ScratchSettings_test.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {
struct Formats {
  Formats() {
    RegisterAllFormats();
    StartCommandLine = "Tavishore32.exe";
    testsettings::UseScratchSettings("inspect_ini");
  }
} formats;

fs::path PictureFolder() {
  fs::path dir = testsupport::ScratchDir("inspect");
  fs::copy_file(testsupport::TestData("bmp/pal8.bmp"), dir / "a pal8.bmp");
  fs::copy_file(testsupport::TestData("bmp/bit16_565.bmp"), dir / "b 565.bmp");
  fs::copy_file(testsupport::TestData("bmp/pal4.bmp"), dir / "c pal4.bmp");
  // The test data is read-only; the copies are the user's own pictures.
  for (const auto& e : fs::directory_iterator(dir))
    fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add);
  return dir;
}

bool Alive(HWND h) { return IsWindow(h) != 0; }

// The main window the inspector belongs to, showing the folder.
TViewerForm* MainWindowAt(const fs::path& dir) {
  auto* main = new TViewerForm(nullptr);
  main->FinishCreate();
  main->Show();
  main->Orvex_DirList1->SetDirectory(dir.string());
  dialogtest::Pump();
  return main;
}

void Click(TWindow* w, int x, int y, bool dbl = false) {
  w->Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  w->Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  if (dbl) {
    w->Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    w->Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  dialogtest::Pump(4);
}

void ShiftDelete(TWindow* w) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  w->Send(WM_KEYDOWN, VK_DELETE, 1);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  dialogtest::Pump(4);
}
}  // namespace

TEST(Inspector, GoesThroughAFolderAndClosesAfterTheLastDelete) {
  const fs::path dir = PictureFolder();
  TViewerForm* main = MainWindowAt(dir);
  ASSERT_EQ(main->Orvex_FileList1->Count(), 3);

  const std::vector<std::string> names{dir.string() + "\\", "a pal8.bmp", "b 565.bmp",
                                       "c pal4.bmp"};
  TInspectorForm* f = ShowInspector(main, nullptr, {}, &names);
  ASSERT_NE(f, nullptr);
  const HWND handle = f->Handle();
  EXPECT_EQ(f->Caption(), "Inspect " + dir.string());
  EXPECT_EQ(f->HelpContext, 57);
  EXPECT_EQ(f->StatusBar->PanelText(0), "3 pictures");
  // The first picture is shown at once.
  EXPECT_FALSE(f->Busy);
  EXPECT_EQ(f->Shown, 0);
  ASSERT_TRUE(f->Picture);
  EXPECT_FALSE(f->Picture->Empty());
  EXPECT_EQ(f->StatusBar->PanelText(1), "a pal8.bmp");
  EXPECT_EQ(f->PictureHint, "Click to open");
  dialogtest::Pump();
  dialogtest::Screenshot(handle, "inspector");

  // At "Click" a single click shows; at "Double-click" it only selects.
  RECT second = f->ListBox->ItemRect(1);
  Click(f->ListBox, second.left + 5, second.top + 5);
  EXPECT_EQ(f->Shown, 1);
  f->tbClick->SetPosition(0);
  RECT third = f->ListBox->ItemRect(2);
  Click(f->ListBox, third.left + 5, third.top + 5);
  EXPECT_EQ(f->ListBox->ItemIndex(), 2);
  EXPECT_EQ(f->Shown, 1);
  Click(f->ListBox, third.left + 5, third.top + 5, true);
  EXPECT_EQ(f->Shown, 2);

  // "+" adds a row only while the picture keeps 200 pixels.
  const int rows = f->Rows;
  f->SetBounds(5, 5, 500, 320);
  f->LayOut();
  f->AddRow();
  EXPECT_EQ(f->Rows, rows);

  // Deleting every picture: the last delete closes the window; the main window rescans.
  // Deleting for good: the shell asks each time.
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(Alive(handle));
    f->ListBox->SetItemIndex(0);
    dialogtest::TDriver yes;
    yes.Then([] { return dialogtest::PressButton("Confirm file deletion", "&Yes"); });
    yes.Start();
    ShiftDelete(f->ListBox);
    EXPECT_TRUE(yes.Finished() && !yes.TimedOut());
  }
  for (int i = 0; i < 50 && Alive(handle); ++i) dialogtest::Pump(2);
  EXPECT_FALSE(Alive(handle));
  dialogtest::Pump();
  EXPECT_TRUE(fs::is_empty(dir));
  EXPECT_EQ(main->Orvex_FileList1->Count(), 0);
  delete main;
}

TEST(Inspector, NothingWithoutPictures) {
  const std::vector<std::string> folderOnly{"C:\\"};
  EXPECT_EQ(ShowInspector(nullptr, nullptr, {}, &folderOnly), nullptr);
  EXPECT_EQ(ShowInspector(nullptr, nullptr, {}, nullptr), nullptr);
}

// "Properties" of the selected picture: a read-only box set there reaches the disk and marks the
// folder changed (the owner rescans when the inspector closes); OK without a change marks
// nothing.
TEST(Inspector, PropertiesOfTheSelectedPicture) {
  const fs::path dir = PictureFolder();
  TViewerForm* main = MainWindowAt(dir);
  const std::vector<std::string> names{dir.string() + "\\", "a pal8.bmp", "b 565.bmp"};
  TInspectorForm* f = ShowInspector(main, nullptr, {}, &names);
  ASSERT_NE(f, nullptr);
  f->ListBox->SetItemIndex(1);
  const std::wstring file = (dir / "b 565.bmp").wstring();
  for (const bool readOnly : {false, true}) {
    SCOPED_TRACE(readOnly ? "read-only set" : "nothing changed");
    dialogtest::TDriver driver;
    driver.Then([readOnly] {
      HWND form = dialogtest::FindForm("b 565.bmp properties");
      HWND box = form ? dialogtest::FindChild(form, L"Button", "&Read-only") : nullptr;
      if (!box) return false;
      if (readOnly) SendMessageW(box, BM_CLICK, 0, 0);
      return dialogtest::PressButton("b 565.bmp properties", "OK");
    });
    driver.Start();
    f->Popup->Handle();
    ASSERT_TRUE(f->Popup->DispatchCommand(f->miProperties->Command()));
    dialogtest::Pump();
    EXPECT_TRUE(driver.Finished() && !driver.TimedOut());
    EXPECT_EQ(f->Changed, readOnly);
    EXPECT_EQ((GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY) != 0, readOnly);
  }
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  f->Close();
  dialogtest::Pump();
  delete main;
}
