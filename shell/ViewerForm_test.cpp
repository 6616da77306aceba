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
#include "thumbnails/SlideShowWindow.h"
#include "viewers/hex/HexWindow.h"
#include "viewers/media/VideoWindow.h"
#include "viewers/picture/PictureWindow.h"
#include "viewers/text/TextWindow.h"
#include "viewers/zip/ZipForm.h"
#include "shell/ScratchSettings_test.h"
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

// The test program's own arguments are no file to open: the window starts as the browser.
// Settings go to a scratch folder unless a test names another.
struct BrowserStart {
  BrowserStart() {
    StartCommandLine = "Tavishore32.exe";
    testsettings::UseScratchSettings("viewerform_ini");
  }
} browserStart;

// Settings in a folder of the test's own, holding only the program's version; returns the INI's
// path.
fs::path UseScratchSettings(const std::string& name, const std::string& more = "") {
  return testsettings::UseScratchSettings("viewerform_ini_" + name, more);
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
  // The program's name, then the folder shown.
  EXPECT_EQ(form->Caption().rfind("Tavishore 32 [ ", 0), 0u);
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

namespace {
std::string MakePictureFolder(const char* name) {
  fs::path dir = testsupport::ScratchDir(name);
  fs::copy_file(testsupport::TestData("gif/flag_fr.gif"), dir / "flag.gif");
  fs::copy_file(testsupport::TestData("png/basn2c08.png"), dir / "square.png");
  testsupport::WriteFile(dir / "notes.txt", std::vector<uint8_t>(100, 'x'));
  return dir.string();
}

template <class T>
int CountForms() {
  int n = 0;
  for (TForm* f : Screen.Forms) n += dynamic_cast<T*>(f) != nullptr;
  return n;
}

// A main window made as the program makes its first one.
TViewerForm* FirstWindow(const std::string& folder) {
  Application.Terminated = false;
  auto* form = Application.CreateForm<TViewerForm>();
  form->Orvex_DirList1->SetDirectory(folder);
  form->Show();
  Pump();
  return form;
}

void EndProgram() {
  Application.DestroyComponents();
  Application.MainForm = nullptr;
  Application.Terminated = false;
}
}  // namespace

TEST(ViewerForm, TheFirstWindowIsTheBrowserWithItsFullLayout) {
  TViewerForm* form = FirstWindow(MakePictureFolder("first"));
  EXPECT_EQ(form->StartMode, smInteractive);
  EXPECT_TRUE(form->Interactive);
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(form->btnMaster->Down());
  EXPECT_TRUE(form->btn_f->Down());
  EXPECT_TRUE(form->btn_n->Down());
  EXPECT_FALSE(form->btn_h->Down());
  EXPECT_TRUE(form->AcceptingDrops);
  EXPECT_TRUE(form->TempFiles != nullptr);
  EXPECT_EQ(form->nbookLeftTop->PageIndex(), 0);
  EXPECT_NE(form->Caption().find("[ "), std::string::npos);
  EXPECT_TRUE(form->btnOptions->Enabled());
  EXPECT_TRUE(form->btnAbout->Enabled());
  EXPECT_TRUE(form->btnClone->Enabled());
  EXPECT_EQ(form->filePopup->FindItemByTag(17)->Caption, "P&roperties");
  EXPECT_EQ(form->dirPopup->FindItemByTag(6)->Caption, "&Bookmark");
  // The status bar: files listed and their size.
  EXPECT_EQ(form->StatusBar1->PanelText(2).rfind("3 (", 0), 0u) << form->StatusBar1->PanelText(2);
  // Header section 0 cycles the notebook's pages.
  for (int expected : {1, 2, 0}) {
    form->HeaderControl1->OnSectionClick(form->HeaderControl1, 0);
    EXPECT_EQ(form->nbookLeftTop->PageIndex(), expected);
  }
  EXPECT_EQ(form->HeaderControl1->SectionText(0), "DRIVES / history / bookmarks");
  // The sort buttons: one of each group is down; H toggles.
  form->btn_d->Click();
  EXPECT_TRUE(form->btn_d->Down());
  EXPECT_FALSE(form->btn_n->Down());
  EXPECT_EQ(form->Orvex_FileList1->SortSequence(), SS_date);
  form->btn_b->Click();
  EXPECT_FALSE(form->Orvex_FileList1->SortAscending());
  MINMAXINFO info{};
  form->Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 560);
  EXPECT_EQ(info.ptMinTrackSize.y, 200);
  EndProgram();
}

TEST(ViewerForm, ADoubleClickedPictureOpensInItsWindow) {
  TViewerForm* form = FirstWindow(MakePictureFolder("dblclick"));
  TOrvex_FileList& files = *form->Orvex_FileList1;
  files.SetItemIndex(files.IndexOfName("flag.gif"));
  const int before = CountForms<TPictureWindow>();
  RECT r = files.ItemRect(files.ItemIndex());
  files.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(r.left + 40, r.top + 2));
  files.Send(WM_LBUTTONUP, 0, MAKELPARAM(r.left + 40, r.top + 2));
  Pump();
  ASSERT_EQ(CountForms<TPictureWindow>(), before + 1);
  // Closing the picture in a browsing window leaves the window's count alone.
  for (TForm* f : Screen.Forms)
    if (dynamic_cast<TPictureWindow*>(f)) f->Close();
  Pump();
  EXPECT_EQ(CountForms<TPictureWindow>(), before);
  EXPECT_EQ(form->OpenViewers, 0);
  EXPECT_TRUE(form->Visible());
  EndProgram();
}

namespace {
// Double-clicks the named row of the file list as a user does.
void DoubleClick(TOrvex_FileList& files, const std::string& name) {
  files.SetItemIndex(files.IndexOfName(name));
  RECT r = files.ItemRect(files.ItemIndex());
  files.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 40, r.top + 2));
  files.Send(WM_LBUTTONUP, 0, MAKELPARAM(r.left + 40, r.top + 2));
  files.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(r.left + 40, r.top + 2));
  files.Send(WM_LBUTTONUP, 0, MAKELPARAM(r.left + 40, r.top + 2));
  Pump();
}

void CloseViewers() {
  for (TForm* f : std::vector<TForm*>(Screen.Forms.begin(), Screen.Forms.end()))
    if (!dynamic_cast<TViewerForm*>(f)) f->Close();
  Pump();
}
}  // namespace

TEST(ViewerForm, EveryKindOfFileOpensInItsOwnWindow) {
  std::string folder = MakePictureFolder("everykind");
  fs::copy_file(testsupport::TestData("zip/dd.zip"), fs::path(folder) / "archive.zip");
  fs::copy_file(testsupport::TestData("media/boom.wav"), fs::path(folder) / "boom.wav");
  std::vector<uint8_t> binary(3000);
  for (size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<uint8_t>(i * 7 + 1);
  testsupport::WriteFile(fs::path(folder) / "data.bin", binary);
  testsupport::WriteFile(fs::path(folder) / "empty.txt", {});
  TViewerForm* form = FirstWindow(folder);
  // Files no viewer knows go to the hex window without the question.
  form->HexWindow = true;
  TOrvex_FileList& files = *form->Orvex_FileList1;
  struct Case {
    const char* name;
    std::function<int()> count;
  } cases[] = {
      {"flag.gif", CountForms<TPictureWindow>},
      {"notes.txt", CountForms<TTextWindow>},
      {"archive.zip", CountForms<TZipForm>},
      {"boom.wav", CountForms<TVideoWindow>},
      {"data.bin", CountForms<THexWindow>},
  };
  for (const Case& c : cases) {
    const int before = c.count();
    const size_t forms = Screen.Forms.size();
    DoubleClick(files, c.name);
    EXPECT_EQ(c.count(), before + 1) << c.name;
    EXPECT_EQ(Screen.Forms.size(), forms + 1) << c.name;
    CloseViewers();
  }
  // An empty file opens nothing and asks nothing.
  const size_t forms = Screen.Forms.size();
  DoubleClick(files, "empty.txt");
  EXPECT_EQ(Screen.Forms.size(), forms);
  // Alt shows even a picture as hex.
  files.SetItemIndex(files.IndexOfName("flag.gif"));
  form->ShiftState = ssAlt;
  form->OpenSelectedFiles();
  Pump();
  EXPECT_EQ(CountForms<THexWindow>(), 1);
  EXPECT_EQ(CountForms<TPictureWindow>(), 0);
  CloseViewers();
  // Two tagged pictures: a double-click on one of them starts a slide show of both; with Ctrl
  // held nothing opens; an untagged file opens alone.
  files.SetTag(files.IndexOfName("flag.gif"), kTag);
  files.SetTag(files.IndexOfName("square.png"), kTag);
  files.SetItemIndex(files.IndexOfName("square.png"));
  form->ShiftState = ssCtrl;
  form->OpenSelectedFiles();
  Pump();
  EXPECT_EQ(Screen.Forms.size(), forms);
  DoubleClick(files, "square.png");
  EXPECT_EQ(CountForms<TSlideShowWindow>(), 1);
  CloseViewers();
  EXPECT_EQ(CountForms<TSlideShowWindow>(), 0);
  DoubleClick(files, "notes.txt");
  EXPECT_EQ(CountForms<TTextWindow>(), 1);
  EXPECT_EQ(CountForms<TSlideShowWindow>(), 0);
  CloseViewers();
  // The folder went to the top of the history.
  ASSERT_GT(form->cbDir->Count(), 0);
  EXPECT_EQ(form->cbDir->String(0), files.Directory());
  EXPECT_EQ(form->OpenViewers, 0);
  EndProgram();
}

TEST(ViewerForm, NewWindowsFollowTheirCallerAndAreKeptInStep) {
  std::string a = MakePictureFolder("stepa"), b = MakePictureFolder("stepb");
  TViewerForm* first = FirstWindow(a);
  first->btn_s->Click();
  first->HeaderControl1->SetSectionWidth(0, 210);
  TViewerForm* second = OpenViewerFormAt(first, a);
  TViewerForm* third = OpenViewerFormAt(first, b);
  Pump();
  EXPECT_EQ(ViewerForm, first);
  EXPECT_EQ(CountForms<TViewerForm>(), 3);
  EXPECT_EQ(second->btnExit->Caption(), "&Close");
  EXPECT_FALSE(second->btnMaster->Visible());
  EXPECT_TRUE(second->btn_s->Down());
  EXPECT_EQ(second->HeaderControl1->SectionWidth(0), 210);
  EXPECT_EQ(second->pnlLeft->Width(), 210);
  EXPECT_EQ(RemoveBackslash(second->Orvex_FileList1->Directory()), RemoveBackslash(a));
  EXPECT_EQ(RemoveBackslash(third->Orvex_FileList1->Directory()), RemoveBackslash(b));
  // A folder that does not exist: the first window's folder instead.
  TViewerForm* fourth = OpenViewerFormAt(first, a + "\\gone");
  EXPECT_EQ(fourth->Orvex_FileList1->Directory(), first->Orvex_FileList1->Directory());
  // A file appears in folder a; command 5 rescans the windows showing a, not the one on b.
  testsupport::WriteFile(fs::path(a) / "new.txt", std::vector<uint8_t>(10, 'y'));
  const int countB = third->Orvex_FileList1->Count();
  first->ChangedFolder = first->Orvex_FileList1->Directory();
  first->NotifyAllViewerForms(5);
  EXPECT_TRUE(first->ChangedFolder.empty());
  Pump();
  for (TViewerForm* f : {first, second, fourth})
    EXPECT_GE(f->Orvex_FileList1->IndexOfName("new.txt"), 0);
  EXPECT_EQ(third->Orvex_FileList1->Count(), countB);
  // Closing a new window frees it; the first stays.
  second->Close();
  Pump();
  EXPECT_EQ(CountForms<TViewerForm>(), 3);
  EndProgram();
}

TEST(ViewerForm, ShowFileSelectsItInAWindowOfItsFolder) {
  std::string a = MakePictureFolder("showa"), b = MakePictureFolder("showb");
  TViewerForm* first = FirstWindow(a);
  // A folder no window shows: a new window opens there with the file selected.
  first->ShowFileInViewerForm(JoinPath(b, "square.png"));
  Pump();
  ASSERT_EQ(CountForms<TViewerForm>(), 2);
  TViewerForm* other = nullptr;
  for (TForm* f : Screen.Forms)
    if (auto* v = dynamic_cast<TViewerForm*>(f); v && v != first) other = v;
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->Orvex_FileList1->GetCurrentName(), "square.png");
  // A file of the first window's folder is selected there, with no new window.
  first->ShowFileInViewerForm(JoinPath(a, "flag.gif"));
  Pump();
  EXPECT_EQ(CountForms<TViewerForm>(), 2);
  EXPECT_EQ(first->Orvex_FileList1->GetCurrentName(), "flag.gif");
  // A missing file: nothing.
  first->ShowFileInViewerForm(JoinPath(a, "missing.gif"));
  Pump();
  EXPECT_EQ(CountForms<TViewerForm>(), 2);
  EndProgram();
}

TEST(ViewerForm, ClosingRules) {
  TViewerForm* first = FirstWindow(MakePictureFolder("closing"));
  // A running thumbnail pass holds the window.
  first->Thumbs->ThumbState = 1;
  EXPECT_FALSE(first->CloseQuery());
  first->Thumbs->ThumbState = 0;
  // With the tray icon, closing minimises instead.
  first->TrayIcon->SetActive(true);
  first->Close();
  Pump();
  EXPECT_FALSE(Application.Terminated);
  EXPECT_TRUE(IsIconic(first->Handle()));
  first->TrayIcon->SetActive(false);
  ShowWindow(first->Handle(), SW_RESTORE);
  EXPECT_TRUE(first->CloseQuery());
  EXPECT_TRUE(first->Closing);
  EndProgram();
}

TEST(ViewerForm, AHiddenFileStartClosesWithItsLastViewer) {
  std::string folder = MakePictureFolder("hiddenstart");
  StartCommandLine = "Tavishore32.exe /kvorn \"" + JoinPath(folder, "flag.gif") + "\"";
  Application.Terminated = false;
  auto* form = Application.CreateForm<TViewerForm>();
  StartCommandLine = "Tavishore32.exe";
  EXPECT_EQ(form->StartMode, smOpenFile);
  EXPECT_TRUE(form->HiddenOptions);
  EXPECT_FALSE(form->Interactive);
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(form->Enabled());
  EXPECT_GE(form->Left(), GetSystemMetrics(SM_CXSCREEN));
  Pump();  // the deferred start opens the file
  EXPECT_EQ(form->OpenViewers, 1);
  ASSERT_EQ(CountForms<TPictureWindow>(), 1);
  for (TForm* f : Screen.Forms)
    if (dynamic_cast<TPictureWindow*>(f)) f->Close();
  // The last viewer closing asks the window to close, which ends the program.
  EXPECT_EQ(Application.Run(), 0);
  EXPECT_EQ(ViewerForm, nullptr);
  Application.Terminated = false;
}

TEST(ViewerForm, LoadsItsSettingsAtStartAndSavesThemAtClose) {
  std::string folder = MakeFolder();
  std::string text =
      "[Main Window]\r\nFont Name=Arial\r\nFont Size=12\r\n"
      "[Directory]\r\nColumn widths=200,18,18\r\nLast=" +
      folder +
      "\r\nFile date=0\r\n[Preferences]\r\nTool tip=0\r\n"
      "[Scripts]\r\nScript 1=kept\r\n";
  fs::path ini = UseScratchSettings("settings", text);
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

namespace {
// A folder of count small pictures of several formats.
std::string MakeManyPictures(const char* name, int count) {
  fs::path dir = testsupport::ScratchDir(name);
  const char* sources[] = {"gif/flag_fr.gif", "png/basn2c08.png", "jpeg/video-001.q50.420.jpeg",
                           "png/basi3p02.png", "gif/video-005.gray.gif"};
  for (int i = 0; i < count; ++i) {
    const std::string source = sources[i % 5];
    const std::string ext = fs::path(source).extension().string();
    fs::copy_file(testsupport::TestData(source), dir / ("pic" + std::to_string(1000 + i) + ext));
  }
  return dir.string();
}

// One message, as the program's loop takes them (each step of the chain is one message).
void PumpOne() {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) || Application.PreTranslate(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

// Runs the window's messages until the pass ends (the guard only ends a run that hangs).
void PumpUntilIdle(TViewerForm* form) {
  for (int i = 0; i < 200000 && (form->ThumbState() != 0 || i < 20); ++i) {
    Application.ProcessMessages();
    if (i % 50 == 0) Sleep(1);
  }
}
}  // namespace

TEST(ViewerForm, TheThumbnailViewOfAFolderFillsIn) {
  UseScratchSettings("thumbs");
  const std::string many = MakeManyPictures("thumbs200", 200);
  const std::string few = MakeManyPictures("thumbs7", 7);
  // Made as FirstWindow does, but without running its messages: the pass is stepped below.
  Application.Terminated = false;
  auto* form = Application.CreateForm<TViewerForm>();
  form->Orvex_DirList1->SetDirectory(many);
  form->Show();
  ASSERT_NE(form->Thumbnails, nullptr);
  ASSERT_NE(form->ThumbView, nullptr);
  TOrvex_FileList& files = *form->Orvex_FileList1;
  // Change folders midway through the first pass: the other folder is done, then the first
  // fills in when the user comes back.
  for (int i = 0; i < 60; ++i) PumpOne();
  EXPECT_NE(form->ThumbState(), 0);
  EXPECT_LT(files.ThumbnailCount(), 200);
  form->Orvex_DirList1->SetDirectory(few);
  PumpUntilIdle(form);
  EXPECT_EQ(files.ThumbnailCount(), 7);
  form->Orvex_DirList1->SetDirectory(many);
  PumpUntilIdle(form);
  EXPECT_EQ(files.ThumbnailCount(), 200);
  EXPECT_EQ(form->Thumbnails->RecordCount(), 207u);
  EXPECT_EQ(form->StatusBar1->PanelText(3), "207 active (207 total)");
  form->ToggleThumbnailDisplay();
  EXPECT_TRUE(form->ShowsThumbnails());
  Pump();
  dialogtest::Screenshot(form->Handle(), "main-thumbnails");
  // A second visit shows the stored thumbnails and makes none.
  form->Orvex_DirList1->SetDirectory(few);
  PumpUntilIdle(form);
  form->Orvex_DirList1->SetDirectory(many);
  PumpUntilIdle(form);
  EXPECT_EQ(files.ThumbnailCount(), 200);
  EXPECT_EQ(form->Thumbnails->RecordCount(), 207u);
  EXPECT_EQ(form->ThumbView->Counters().Stored, 0);
  EXPECT_EQ(form->ThumbView->Counters().Unchanged, 200);
  // The master switch off: the list drops its thumbnails and a new pass only reports.
  form->btnMaster->Click();
  EXPECT_FALSE(form->btnMaster->Down());
  Pump();
  EXPECT_EQ(files.ThumbnailCount(), 0);
  form->btnMaster->Click();
  PumpUntilIdle(form);
  EXPECT_EQ(files.ThumbnailCount(), 200);
  // Closing midway is refused until the pass ends, and then carried out.
  form->Orvex_DirList1->SetDirectory(few);
  PumpUntilIdle(form);
  form->Orvex_DirList1->SetDirectory(many);
  for (int i = 0; i < 40; ++i) PumpOne();
  ASSERT_NE(form->ThumbState(), 0);
  form->Close();
  EXPECT_TRUE(form->Visible());
  EXPECT_FALSE(form->Closing);
  PumpUntilIdle(form);
  EXPECT_TRUE(form->Closing);
  EndProgram();
}
