// The main window browsing a folder, its layout, and (when asked by scripts/screenshot-main) a
// picture of it as a user sees it.
#include "shell/ViewerForm.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "foundation/DialogDriver_test.h"
#include "foundation/uFiles.h"
#include "framework/Application.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {
// A folder of files of every category and two subfolders.
std::string MakeFolder() {
  fs::path dir = testsupport::ScratchDir("viewerform");
  for (const char* name : {"beach.gif", "holiday photo.jpg", "notes.txt", "setup.exe",
                           "archive.zip", "tune.mid", "boom.wav", "clip.avi", "data.bin"})
    testsupport::WriteFile(dir / name, std::vector<uint8_t>(std::strlen(name) * 100, 'x'));
  fs::create_directory(dir / "Summer");
  fs::create_directory(dir / "Winter");
  return dir.string();
}

// Settings in a folder of the test's own, starting from no INI file; returns the INI's path.
fs::path UseScratchSettings(const std::string& name) {
  fs::path dir = testsupport::ScratchDir("viewerform_ini_" + name);
  SettingsProgramFile = (dir / "Tavishore32.exe").string();
  return dir / "Tavishore32.ini";
}

void Pump() {
  for (int i = 0; i < 20; ++i) {
    Application.ProcessMessages();
    Sleep(10);
  }
}
}  // namespace

TEST(ViewerForm, IsLaidOutLikeTheMainWindow) {
  UseScratchSettings("layout");
  auto* form = new TViewerForm(nullptr);
  form->FinishCreate();
  form->Show();
  EXPECT_EQ(ViewerForm, form);
  EXPECT_EQ(form->Caption(), "Tavishore 32");
  EXPECT_EQ(form->Width(), 630);
  EXPECT_EQ(form->Height(), 475);
  EXPECT_TRUE(form->KeyPreview);
  THeaderControl* h = form->HeaderControl1;
  ASSERT_EQ(h->SectionCount(), 7);
  EXPECT_EQ(h->SectionText(0), "DRIVES / history / bookmarks");
  EXPECT_EQ(h->SectionWidth(0), form->pnlLeft->Width());
  // The file list's columns begin under the header's second section.
  RECT list, header;
  GetWindowRect(form->Orvex_FileList1->Handle(), &list);
  GetWindowRect(h->Handle(), &header);
  EXPECT_EQ(list.left - header.left, h->SectionWidth(0));
  // The tag and glyph sections are held at their widths.
  int tag = h->SectionWidth(1);
  h->SetSectionWidth(1, tag + 20);
  EXPECT_EQ(h->SectionWidth(1), tag);
  // Dragging the first section moves the left panel's edge.
  h->SetSectionWidth(0, 220);
  EXPECT_EQ(form->pnlLeft->Width(), 220);
  EXPECT_EQ(form->Orvex_DirList1->Width(), 220);
  // The chain is linked.
  EXPECT_EQ(form->Orvex_DriveCombo1->DirList(), form->Orvex_DirList1);
  EXPECT_EQ(form->Orvex_DirList1->FileList(), form->Orvex_FileList1);
  EXPECT_EQ(form->Orvex_FilterCombo1->FileList(), form->Orvex_FileList1);
  EXPECT_EQ(form->Orvex_FilterCombo1->Count(), 5);
  // The lists' font as the settings start it, on the folder list too.
  EXPECT_EQ(form->Orvex_FileList1->Font().Name(), "Courier New");
  EXPECT_EQ(form->Orvex_DirList1->Font().Name(), "Courier New");
  delete form;
  EXPECT_EQ(ViewerForm, nullptr);
}

// Browses a folder with some files tagged; with TAVIS_SCREENSHOT set (a .bmp path), saves the
// window's picture there, and with TAVIS_SCREENSHOT_FOLDER browses that folder instead.
TEST(ViewerForm, BrowsesAFolderWithSomeFilesTagged) {
  const char* shot = std::getenv("TAVIS_SCREENSHOT");
  const char* given = std::getenv("TAVIS_SCREENSHOT_FOLDER");
  std::string folder = given && *given ? std::string(given) : MakeFolder();
  UseScratchSettings("browse");
  auto* form = new TViewerForm(nullptr);
  form->FinishCreate();
  form->SetBounds(40, 30, 630, 475);
  form->Show();
  TOrvex_FileList& files = *form->Orvex_FileList1;
  form->Orvex_DirList1->SetDirectory(folder);
  EXPECT_EQ(files.Directory(), RemoveBackslash(folder));
  ASSERT_GE(files.Count(), 6);
  // Tag a few files the way a user does: Ctrl-clicks, then a Shift-click for a range.
  auto click = [&files](int row, WPARAM keys) {
    RECT r = files.ItemRect(row);
    files.Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(r.left + 40, r.top + 2));
    files.Send(WM_LBUTTONUP, keys, MAKELPARAM(r.left + 40, r.top + 2));
  };
  click(1, MK_CONTROL);
  click(3, MK_SHIFT);
  click(5, MK_CONTROL);
  click(4, 0);
  EXPECT_EQ(files.TaggedCount(), 4);
  EXPECT_EQ(files.GetCurrentName(), files.GetItemName(4));
  files.SetFocus();
  Pump();
  form->Repaint();
  Pump();
  if (shot && *shot) {
    EXPECT_TRUE(dialogtest::SaveScreenPicture(form->Handle(), shot));
  }
  delete form;
}

TEST(ViewerForm, ClosingTheMainWindowEndsTheProgramsLoop) {
  UseScratchSettings("close");
  Application.Terminated = false;
  TViewerForm* form = Application.CreateForm<TViewerForm>();
  EXPECT_EQ(Application.MainForm, form);
  form->Show();
  form->Post(WM_CLOSE);
  EXPECT_EQ(Application.Run(), 0);
  // The loop ended and the application freed its forms.
  EXPECT_EQ(Application.ComponentCount(), 0);
  EXPECT_EQ(Application.MainForm, nullptr);
  EXPECT_EQ(ViewerForm, nullptr);
  Application.Terminated = false;
}

TEST(ViewerForm, LoadsItsSettingsAtStartAndSavesThemAtClose) {
  fs::path ini = UseScratchSettings("settings");
  std::string folder = MakeFolder();
  std::string text =
      "[Main Window]\r\nFont Name=Arial\r\nFont Size=12\r\n"
      "[Directory]\r\nColumn widths=200,18,18\r\nLast=" +
      folder +
      "\r\nFile date=0\r\n[Preferences]\r\nTool tip=0\r\n"
      "[Scripts]\r\nScript 1=kept\r\n";
  testsupport::WriteFile(ini, std::vector<uint8_t>(text.begin(), text.end()));
  Application.Terminated = false;
  TViewerForm* form = Application.CreateForm<TViewerForm>();
  EXPECT_EQ(form->Orvex_FileList1->Font().Name(), "Arial");
  EXPECT_EQ(form->Orvex_FileList1->Font().Size(), 12);
  EXPECT_EQ(form->Orvex_DirList1->Font().Name(), "Arial");
  EXPECT_EQ(form->pnlLeft->Width(), 200);
  EXPECT_EQ(form->Orvex_FileList1->Directory(), RemoveBackslash(folder));
  EXPECT_EQ(form->Orvex_FileList1->FileDetails(), 1u | 2u | 8u);
  EXPECT_FALSE(Application.ShowHint);
  EXPECT_EQ(form->ZoomPercent, 125);
  form->Show();
  form->SetBounds(50, 60, 700, 500);
  form->Post(WM_CLOSE);
  EXPECT_EQ(Application.Run(), 0);
  Application.Terminated = false;
  Application.ShowHint = true;

  auto bytes = testsupport::ReadFile(ini);
  std::string saved(bytes.begin(), bytes.end());
  for (const char* line :
       {"Width=700\r\n", "Height=500\r\n", "Font Name=Arial\r\n", "File date=0\r\n",
        "Tool tip=0\r\n", "Zoom percent=125\r\n", "Script 1=kept\r\n"})
    EXPECT_NE(saved.find(line), std::string::npos) << line;
  EXPECT_NE(saved.find("Last=" + RemoveBackslash(folder) + "\r\n"), std::string::npos);
}
